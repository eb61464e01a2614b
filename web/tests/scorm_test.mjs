// The SCORM 1.2 package in a course platform: the built zip's manifest, and
// its page framed by a parent page whose run-time is scorm-again's, the same
// SCORM 1.2 API a platform puts there. The engine is CALVETRA_BROWSER's.
//
//   CALVETRA_SITE=build-web/site CALVETRA_BROWSER=firefox node web/tests/scorm_test.mjs
//
// The package is CALVETRA_SCORM, by default calvetra-scorm.zip beside the
// site. Exits 77 (skipped) when the package, the npm packages, unzip or the
// engine is missing.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

const site = process.env.CALVETRA_SITE ?? 'build-web/site';
const zip = process.env.CALVETRA_SCORM ?? path.join(site, '..', 'calvetra-scorm.zip');
const runtime = new URL('../node_modules/scorm-again/dist/scorm12.js', import.meta.url);
const hasUnzip = () => {
  try {
    execFileSync('unzip', ['-v'], { stdio: 'ignore' });
    return true;
  } catch {
    return false;
  }
};
const missing = !fs.existsSync(zip) ? `no package at ${zip}`
  : !fs.existsSync(new URL('../node_modules/puppeteer-core', import.meta.url)) ? 'puppeteer-core not installed (npm ci)'
    : !fs.existsSync(runtime) ? 'scorm-again not installed (npm ci)' : !hasUnzip() ? 'unzip not installed' : '';
if (missing) {
  console.log(`SCORM tests skipped: ${missing}`);
  process.exit(77);
}
const { can, contextWithDownloads, control, engine, executable, graphPixels, launch, serve } = await import('./browser.mjs');
if (!fs.existsSync(executable)) {
  console.log(`SCORM tests skipped: ${executable} (${engine}) not installed`);
  process.exit(77);
}

const VERSION = fs.readFileSync(new URL('../../CMakeLists.txt', import.meta.url), 'utf8').match(/project\(\S+ VERSION (\S+)/)[1];
const BOX_NAMES = ['Text1(0)', 'Text1(1)', 'Text1(2)', 'Text1(3)', 'Text1(4)', 'Text1(5)', 'Text1(6)', 'Text1(7)', 'Text2'];
const DEFAULTS = ['5.4', '10', '20', '20000', '100', '20', '10.00', '1000', '0'];

// The platform: its page at the root, with the run-time and launch(data,
// sandbox), which puts a fresh API with the student's data in the window
// and the package's page in a 900 x 600 frame; every call the page makes is
// recorded in calls, with the run-time's error code after it.
const LMS_PAGE = `<!doctype html>
<meta charset="utf-8"><title>Plataforma</title>
<style>body { margin: 0 } iframe { border: 0; width: 900px; height: 600px; display: block }</style>
<script src="scorm12.js"></script>
<script>
function launch(data, { sandbox, src = 'package/calvetra.html' } = {}) {
  window.calls = [];
  window.API = new Scorm12API({ logLevel: 5 });
  if (data) API.loadFromFlattenedJSON(data);
  const record = (name) => (element, value) =>
    calls.push({ name, element, value, error: String(API.lastErrorCode), at: performance.now() });
  for (const name of ['LMSInitialize', 'LMSCommit', 'LMSFinish']) API.on(name, record(name));
  for (const name of ['LMSGetValue', 'LMSSetValue']) API.on(name + '.cmi.*', record(name));
  const frame = document.createElement('iframe');
  if (sandbox) frame.setAttribute('sandbox', sandbox);
  frame.src = src;
  document.body.replaceChildren(frame);
}
</script>`;

let root, server, browser;
const listed = execFileSync('unzip', ['-Z1', zip]).toString().trim().split('\n');
before(async () => {
  root = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-lms-'));
  execFileSync('unzip', ['-q', zip, '-d', path.join(root, 'package')]);
  fs.copyFileSync(runtime, path.join(root, 'scorm12.js'));
  fs.writeFileSync(path.join(root, 'index.html'), LMS_PAGE);
  server = await serve(root);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
  if (root) fs.rmSync(root, { recursive: true, force: true });
});

// The platform's page with the package launched in its frame, ready.
async function platform(context, data, options = {}) {
  const page = await context.newPage();
  page.errors = [];
  page.requests = [];
  page.on('pageerror', (error) => page.errors.push(error));
  page.on('request', (request) => page.requests.push(request.url()));
  await page.setViewport({ width: 1000, height: 700 });
  await page.goto(server.url);
  return { page, frame: await relaunch(page, data, options) };
}
// The frame is the one the new iframe brings: asked of the iframe element
// at once, a driver may still hand back the frame it replaced.
async function relaunch(page, data, options = {}) {
  const earlier = page.frames();
  await page.evaluate((data, options) => launch(data, options), data, options);
  const frame = await page.waitForFrame((f) => !earlier.includes(f) && f.url().endsWith('calvetra.html'), { timeout: 30000 });
  // The whole program in one file, its module decoded and compiled in the
  // frame: slow on a loaded machine.
  await frame.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 30000 });
  return frame;
}
// The frame sent away, as the platform does when the student leaves: the
// page's session ends.
async function leave(page) {
  await page.evaluate(() => { document.querySelector('iframe').src = 'about:blank'; });
  await page.waitForFunction(() => calls.some((c) => c.name === 'LMSFinish'), { timeout: 10000 });
}
const calls = (page) => page.evaluate(() => calls);
const callText = ({ name, element, value }) => [name, element, value].filter((x) => x !== undefined).join(' ');

async function perform(page, frame, actions) {
  for (const action of actions) {
    if (action === 'calcular') {
      await frame.click(control('Command1'));
      continue;
    }
    const [box, text] = action.split('=');
    await frame.$eval(control(BOX_NAMES[box]), (e) => { e.focus(); e.select(); });
    await page.keyboard.type(text);
  }
}
const dialogText = (frame) => frame.$eval('#message', (d) => (d.open ? d.querySelector('p').textContent : null));
const shown = async (frame) => ({
  boxes: await Promise.all(BOX_NAMES.map((n) => frame.$eval(control(n), (e) => e.value))),
  legend: await Promise.all([0, 1, 2].map((k) => frame.$eval(control(`Label4(${k})`), (e) => e.textContent))),
  query: await frame.$eval(control('Label2'), (e) => e.textContent),
  graph: await graphPixels(frame),
});

test('the package: imsmanifest.xml read as XML has every element a platform needs, and every file it lists is in the zip', async () => {
  execFileSync('unzip', ['-tq', zip]);
  assert.deepEqual(listed.sort(), ['calvetra.html', 'imsmanifest.xml']);
  const page = await browser.newPage();
  await page.goto(server.url);
  const manifest = await page.evaluate(async () => {
    const xml = new DOMParser().parseFromString(await (await fetch('package/imsmanifest.xml')).text(), 'application/xml');
    const CP = 'http://www.imsproject.org/xsd/imscp_rootv1p1p2', ADLCP = 'http://www.adlnet.org/xsd/adlcp_rootv1p2';
    const all = (parent, name) => [...parent.children].filter((e) => e.namespaceURI === CP && e.localName === name);
    const one = (parent, name) => (all(parent, name).length === 1 ? all(parent, name)[0] : null);
    const m = xml.documentElement;
    if (xml.getElementsByTagName('parsererror').length || m.namespaceURI !== CP || m.localName !== 'manifest') return { error: 'not a manifest' };
    const metadata = one(m, 'metadata'), organizations = one(m, 'organizations'), resources = one(m, 'resources');
    const organization = all(organizations, 'organization');
    const items = organization.flatMap((o) => all(o, 'item'));
    const resource = all(resources, 'resource');
    return {
      identifier: m.getAttribute('identifier'), version: m.getAttribute('version'),
      schema: one(metadata, 'schema')?.textContent, schemaversion: one(metadata, 'schemaversion')?.textContent,
      defaultIsTheOrganization: organization.length === 1 && organizations.getAttribute('default') === organization[0].getAttribute('identifier'),
      organizationTitle: one(organization[0], 'title')?.textContent,
      items: items.map((i) => ({ title: one(i, 'title')?.textContent, resource: i.getAttribute('identifierref') })),
      resources: resource.map((r) => ({
        identifier: r.getAttribute('identifier'), type: r.getAttribute('type'),
        scormtype: r.getAttributeNS(ADLCP, 'scormtype'), href: r.getAttribute('href'),
        files: all(r, 'file').map((f) => f.getAttribute('href')),
      })),
    };
  });
  await page.close();
  const { resources, items, ...rest } = manifest;
  assert.deepEqual(rest, {
    identifier: `calvetra-${VERSION}`, version: VERSION, schema: 'ADL SCORM', schemaversion: '1.2',
    defaultIsTheOrganization: true, organizationTitle: 'CALVETRA',
  });
  assert.equal(resources.length, 1);
  const [resource] = resources;
  assert.deepEqual(items, [{ title: 'CALVETRA', resource: resource.identifier }]);
  assert.deepEqual({ type: resource.type, scormtype: resource.scormtype, href: resource.href },
    { type: 'webcontent', scormtype: 'sco', href: 'calvetra.html' });
  assert.ok(resource.files.includes(resource.href), 'the page is among the files');
  for (const file of resource.files) assert.ok(listed.includes(file), `${file} in the zip`);
  console.log(`${path.basename(zip)}: ${fs.statSync(zip).size} bytes`);
});

test('in the platform: initialize, incomplete, completed after a run, the set-up committed at most once a second, the session\'s time and finish; the next launch brings the runs back', async () => {
  const { page, frame } = await platform(browser);
  await perform(page, frame, ['calcular', '4=75', 'calcular', '4=50', 'calcular']);
  await page.waitForFunction(() => calls.filter((c) => c.element === 'cmi.suspend_data').at(-1)?.value.includes('50,1000,20000&fin'));
  // The time edit, and the frame sent away at once: the last set-up is
  // committed as the page is hidden.
  await perform(page, frame, ['3=15000']);
  const left = await shown(frame);
  assert.equal(await dialogText(frame), null);
  const leaving = await page.evaluate(() => performance.now());
  await leave(page);
  const first = await calls(page);
  console.log(`first launch:\n  ${first.map(callText).join('\n  ')}`);

  assert.deepEqual(first.filter((c) => c.error !== '0'), [], 'every call accepted');
  assert.deepEqual(first.slice(0, 4).map(callText), ['LMSInitialize', 'LMSGetValue cmi.core.lesson_status',
    'LMSGetValue cmi.core.entry', 'LMSGetValue cmi.suspend_data']);
  const statuses = first.filter((c) => c.element === 'cmi.core.lesson_status' && c.name === 'LMSSetValue').map((c) => c.value);
  assert.deepEqual(statuses, ['incomplete', 'completed']);
  const firstRun = first.findIndex((c) => c.value?.includes?.('&runs='));
  const completed = first.findIndex((c) => c.value === 'completed');
  assert.ok(firstRun > 0 && completed >= firstRun, 'completed once a run was drawn');
  const end = first.slice(-4);
  assert.deepEqual(end.map((c) => c.name + ' ' + (c.element ?? '')), ['LMSSetValue cmi.core.session_time',
    'LMSSetValue cmi.core.exit', 'LMSCommit ', 'LMSFinish ']);
  assert.match(end[0].value, /^\d{4}:[0-5]\d:[0-5]\d\.\d\d$/);
  const [h, m, s] = end[0].value.split(':').map(Number);
  const seconds = 3600 * h + 60 * m + s;
  assert.ok(seconds > 0 && seconds * 1000 <= end[0].at - first[0].at + 20, `session time ${end[0].value}`);
  assert.equal(end[1].value, 'suspend');
  // Every write is committed, and no commit comes without one.
  let uncommitted = 0;
  for (const c of first) {
    if (c.name === 'LMSSetValue') uncommitted++;
    if (c.name !== 'LMSCommit') continue;
    assert.ok(uncommitted > 0, `a commit at ${Math.round(c.at)} with nothing written before it`);
    uncommitted = 0;
  }
  assert.equal(uncommitted, 0, 'writes left uncommitted');
  // The commits of the session, before the student leaves, come a second
  // apart; there is at least the one of the runs drawn.
  const commits = first.filter((c) => c.name === 'LMSCommit' && c.at < leaving).map((c) => c.at);
  assert.ok(commits.length >= 1, 'the session\'s set-up committed before leaving');
  assert.ok(commits.every((at, k) => k === 0 || at - commits[k - 1] >= 990), `commits at ${commits.map(Math.round)}`);
  const saved = first.filter((c) => c.element === 'cmi.suspend_data').at(-1).value;
  assert.match(saved, /^v=1&.*&t=15000&runs=(5\.4,10,20,\d+,1000,20000;?){3}&fin$/);
  assert.ok(saved.length <= 4096);
  assert.equal(await page.evaluate(() => API.cmi.suspend_data), saved, 'the run-time holds it');

  // The next launch, as the platform resumes a suspended attempt.
  const data = await page.evaluate(() => ({
    'cmi.suspend_data': API.cmi.suspend_data, 'cmi.core.lesson_status': API.cmi.core.lesson_status, 'cmi.core.entry': 'resume',
  }));
  assert.equal(data['cmi.core.lesson_status'], 'completed');
  const again = await relaunch(page, data);
  assert.deepEqual(await shown(again), left, 'the boxes, the legend and the graph as they were left');
  assert.equal(await dialogText(again), null);
  await leave(page);
  const second = await calls(page);
  console.log(`second launch:\n  ${second.map(callText).join('\n  ')}`);
  assert.deepEqual(second.filter((c) => c.error !== '0'), []);
  assert.deepEqual(second.map((c) => c.name + ' ' + (c.element ?? '')), ['LMSInitialize ', 'LMSGetValue cmi.core.lesson_status',
    'LMSGetValue cmi.core.entry', 'LMSGetValue cmi.suspend_data', 'LMSSetValue cmi.core.session_time',
    'LMSSetValue cmi.core.exit', 'LMSCommit ', 'LMSFinish '], 'nothing changed, nothing written');
  // A new attempt in the same tab (another student's, say), with nothing
  // kept by the platform: the defaults, not what the tab kept before.
  const fresh = await relaunch(page, null);
  assert.deepEqual((await shown(fresh)).boxes, DEFAULTS);
  assert.deepEqual((await shown(fresh)).legend, ['', '', '']);
  await leave(page);
  assert.deepEqual(page.errors, []);
  // The package's page is the whole program: it asks the platform for nothing else.
  assert.deepEqual([...new Set(page.requests.filter((url) => url.startsWith(`${server.url}package/`)))],
    [`${server.url}package/calvetra.html`]);
  await page.close();
});

test('a suspend_data the link\'s parser rejects: its one Spanish message and the defaults; a run-time that throws or another origin\'s window: the plain page', async () => {
  const { page } = await platform(browser);
  for (const [bad, named] of [['v=9&V=3&fin', /versión/], [`v=1&V=3&${'x'.repeat(5000)}&fin`, /demasiado largo/]]) {
    const frame = await relaunch(page, { 'cmi.suspend_data': bad, 'cmi.core.lesson_status': 'incomplete', 'cmi.core.entry': 'resume' });
    await frame.waitForSelector('#message[open]');
    const message = await dialogText(frame);
    console.log(`${bad.slice(0, 20)}… -> ${message}`);
    assert.match(message, named);
    assert.match(message, /enlace/);
    await frame.click('#message button');
    assert.equal(await dialogText(frame), null, 'one message');
    assert.deepEqual(await Promise.all(BOX_NAMES.map((n) => frame.$eval(control(n), (e) => e.value))), DEFAULTS);
    // The defaults replace what could not be read.
    await page.waitForFunction(() => calls.some((c) => c.element === 'cmi.suspend_data' && c.name === 'LMSSetValue'));
    assert.match(await page.evaluate(() => API.cmi.suspend_data), /^v=1&V=5\.4&.*&fin$/);
  }

  // A run-time whose every call throws, and one the page cannot reach (the
  // frame of another origin): the page starts as the plain page.
  const earlier = page.frames();
  await page.evaluate(() => {
    window.API = new Proxy({}, { get: () => () => { throw new Error('the run-time failed'); } });
    document.body.replaceChildren(Object.assign(document.createElement('iframe'), { src: 'package/calvetra.html' }));
  });
  let frame = await page.waitForFrame((f) => !earlier.includes(f) && f.url().endsWith('calvetra.html'), { timeout: 30000 });
  await frame.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 30000 });
  await frame.click(control('Command1'));
  assert.equal(await dialogText(frame), null);
  const elsewhere = server.url.replace('127.0.0.1', 'localhost');
  frame = await relaunch(page, null, { src: `${elsewhere}package/calvetra.html` });
  await frame.click(control('Command1'));
  assert.equal(await dialogText(frame), null);
  assert.deepEqual(await calls(page), [], 'another origin\'s page never reached the API');
  assert.deepEqual(page.errors, []);
  await page.close();
});

async function choose(page, frame, item) {
  await frame.focus(control('Picture2'));
  await page.keyboard.down('Shift');
  await page.keyboard.press('F10');
  await page.keyboard.up('Shift');
  await frame.click(`#results-menu [data-item="${item}"]`);
}

test('in the platform\'s frame: the results menu\'s download, copy and print; a sandboxed frame says what it refuses', { skip: !can.downloads && `no downloads through ${engine}'s driver` }, async () => {
  const { context, downloaded } = await contextWithDownloads(browser);
  if (engine === 'chromium') await context.overridePermissions(server.url, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const { page, frame } = await platform(context);
  await frame.click(control('Command1'));
  await frame.evaluate(() => {
    window.printed = 0;
    window.print = () => { printed++; };
  });
  await choose(page, frame, 'export');
  // The file is named by the day it is saved on, the frame's own date.
  const csv = await downloaded(await frame.evaluate(() => {
    const d = new Date(), two = (n) => String(n).padStart(2, '0');
    return `calvetra-${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}.csv`;
  }));
  assert.ok(csv.toString('utf8').includes('q = 1000 (W)'));
  await choose(page, frame, 'print');
  assert.equal(await frame.evaluate(() => printed), 1);
  assert.ok(await frame.$eval('#print-sheet svg', (svg) => svg.querySelectorAll('circle').length > 0), 'the sheet drawn');
  if (can.clipboard) {
    await choose(page, frame, 'link');
    await frame.waitForFunction(async () => document.getElementById('message').open ||
      (await navigator.clipboard.readText()) === location.href, { timeout: 5000 });
    assert.equal(await dialogText(frame), null);
  }

  // Sandboxed without downloads or the print dialog: a message for each, the page goes on.
  const sandboxed = await relaunch(page, null, { sandbox: 'allow-scripts allow-same-origin' });
  await sandboxed.click(control('Command1'));
  for (const [item, said] of [['export', /no permite descargar/], ['save', /no permite descargar/], ['print', /no permite imprimir/]]) {
    await choose(page, sandboxed, item);
    await sandboxed.waitForSelector('#message[open]');
    assert.match(await dialogText(sandboxed), said, item);
    await sandboxed.click('#message button');
    assert.equal(await dialogText(sandboxed), null);
  }
  assert.equal(await sandboxed.$eval('#save-graph', (d) => d.open), false);
  assert.deepEqual(page.errors, []);
  await context.close();
});
