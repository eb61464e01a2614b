// The page inside a course platform (Moodle, Canvas, Blackboard) that plays
// it as a SCORM 1.2 package. The platform's run-time is an object named API
// in a window above the page's frame, or above the window that opened it.
// With one, the platform records the attempt: "incomplete" on the first
// visit, "completed" once a run has been drawn, and the set-up (the same
// text as the link's fragment) as the student's suspend_data, which the next
// launch applies as a link. Without one the page is the plain page.
//
// The run-time is another's code in another window: whatever it throws or
// answers, the page goes on.

// SCORM 1.2 keeps at most 4096 characters of suspend_data. The longest
// set-up is about 660 (nine numbers of up to 24 characters and three runs of
// six), and the link's parser reads no more than 2000.
const SUSPEND_DATA_LIMIT = 4096;
const PLATFORM_WRITE_MS = 1000;
// Platforms put the API a few frames up; the walk stops in any case.
const API_SEARCH_DEPTH = 10;

// The API in win or one of the windows above it. A window of another origin
// cannot be read (it throws) and holds none for this page; the walk goes on
// above it.
function scormApiAbove(win) {
  for (let depth = 0; win && depth < API_SEARCH_DEPTH; depth++) {
    try {
      if (typeof win.API?.LMSInitialize === 'function') return win.API;
    } catch {
      // another origin's window
    }
    if (win.parent === win) return null;
    win = win.parent;
  }
  return null;
}

function findScormApi() {
  try {
    return scormApiAbove(window) ?? scormApiAbove(window.opener);
  } catch {
    return null;
  }
}

// HHHH:MM:SS.SS, SCORM 1.2's span of time.
function scormTimespan(milliseconds) {
  const hundredths = Math.min(Math.round(milliseconds / 10), 9999 * 360000 + 359999);
  const two = (n) => String(n).padStart(2, '0');
  const seconds = Math.floor(hundredths / 100) % 60;
  const minutes = Math.floor(hundredths / 6000) % 60;
  const hours = Math.floor(hundredths / 360000);
  return `${String(hours).padStart(4, '0')}:${two(minutes)}:${two(seconds)}.${two(hundredths % 100)}`;
}

export class CoursePlatform {
  constructor(session) {
    this.session = session;
    this.api = findScormApi();
    if (this.api && this.call('LMSInitialize', '') !== 'true') this.api = null;
    if (!this.api) return;
    this.started = performance.now();
    this.written = null;      // the set-up as the platform holds it
    this.completed = false;
    this.statusToWrite = null;
    this.pending = false;
    this.timer = null;
    this.lastWrite = -Infinity;
    addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') this.write();
    });
    // A page kept by the browser to come back to is not the session's end.
    addEventListener('pagehide', (event) => {
      this.write();
      if (!event.persisted) this.finish();
    });
  }

  // One call of the run-time, its answer as text; "" where it throws.
  call(name, ...args) {
    try {
      return String(this.api[name](...args));
    } catch (error) {
      console.warn(`SCORM ${name}`, error);
      return '';
    }
  }

  // On a freshly loaded program: the set-up the platform kept, applied as a
  // link is (what the parser rejects is named in the link's one message).
  // Returns whether the platform holds the student's attempt: then what it
  // kept, or nothing on a first visit, is the set-up, and not what the tab
  // kept of an earlier launch, maybe another student's; without a platform,
  // the page's address and the tab's set-up apply.
  restore() {
    if (!this.api) return false;
    const status = this.call('LMSGetValue', 'cmi.core.lesson_status');
    const entry = this.call('LMSGetValue', 'cmi.core.entry');
    const saved = this.call('LMSGetValue', 'cmi.suspend_data');
    this.completed = status === 'completed' || status === 'passed';
    // Written with the first set-up, in one commit.
    if (!this.completed && (entry === 'ab-initio' || !saved)) this.statusToWrite = 'incomplete';
    if (!saved) return true;
    this.written = saved;
    this.session.openLink(`#${saved}`);
    return true;
  }

  // After every action: the set-up and the status written within a second of
  // the last write, in a task of their own.
  update() {
    if (!this.api) return;
    if (!this.completed && this.session.drawnRunCount() > 0) {
      this.completed = true;
      this.statusToWrite = 'completed';
    }
    if (this.pending) return;
    this.pending = true;
    this.timer = setTimeout(() => this.write(), Math.max(0, this.lastWrite + PLATFORM_WRITE_MS - performance.now()));
  }

  // What waits, written and committed now. The session is read only for an
  // action that came after the last write, so that none is read once it has
  // ended.
  write() {
    if (!this.api || !this.pending) return;
    this.pending = false;
    clearTimeout(this.timer);
    const fragment = this.session.link();
    let changed = false;
    // A set-up that would not fit is not written: the platform keeps the last one that did.
    if (fragment !== this.written && fragment.length <= SUSPEND_DATA_LIMIT) {
      this.call('LMSSetValue', 'cmi.suspend_data', fragment);
      this.written = fragment;
      changed = true;
    }
    if (this.statusToWrite) {
      this.call('LMSSetValue', 'cmi.core.lesson_status', this.statusToWrite);
      this.statusToWrite = null;
      changed = true;
    }
    if (!changed) return;
    this.call('LMSCommit', '');
    this.lastWrite = performance.now();
  }

  // The session's end: its time, and "suspend" so that the next launch
  // resumes it.
  finish() {
    this.call('LMSSetValue', 'cmi.core.session_time', scormTimespan(performance.now() - this.started));
    this.call('LMSSetValue', 'cmi.core.exit', 'suspend');
    this.call('LMSCommit', '');
    this.call('LMSFinish', '');
    this.api = null;
  }
}
