// The page's texts: every one is the core's, looked up by its key in the
// language the program speaks. index.html marks its texts with data-text="Key"
// (an element's text) and data-text-NAME="Key" (its attribute NAME); the
// build fills them in Spanish, and fillTexts fills them again in another
// language. The language chosen is kept in the browser for the next visit.

let TEXTS = {};
let TEXTS_CORE = null;
const KEPT_LANGUAGE = 'calvetra-language';

// The texts of the language the core now speaks.
export function takeTexts(core) {
  TEXTS = core.texts();
  TEXTS_CORE = core;
}

// The text of a key; with arguments, the core puts them in for %1, %2 ...
export function text(key, ...args) {
  const pattern = TEXTS[key];
  if (pattern === undefined) throw new Error(`no text ${key}`);
  return args.length ? TEXTS_CORE.formatText(key, args.map(String)) : pattern;
}

export function fillTexts(root = document) {
  for (const element of root.querySelectorAll('[data-text]')) element.textContent = text(element.dataset.text);
  for (const element of root.querySelectorAll('*')) {
    for (const { name, value } of [...element.attributes]) {
      if (name.startsWith('data-text-')) element.setAttribute(name.slice('data-text-'.length), text(value));
    }
  }
}

// The language chosen on an earlier visit, or null. Storage may be refused
// (turned off, a sandboxed frame): the page then speaks Spanish, or the link's.
export function keptLanguage() {
  try {
    return localStorage.getItem(KEPT_LANGUAGE);
  } catch {
    return null;
  }
}

export function keepLanguage(code) {
  try {
    localStorage.setItem(KEPT_LANGUAGE, code);
  } catch {
    // not kept: this visit still speaks it
  }
}

// The page bar's choice of language: each language by its own name; the
// choice is made at once. choose(code): what the page does with it.
export class LanguageChoice {
  constructor(languages, choose) {
    this.select = document.getElementById('language');
    for (const { code, name } of languages) {
      const option = Object.assign(document.createElement('option'), { value: code, textContent: name, lang: code });
      this.select.append(option);
    }
    this.select.addEventListener('change', () => choose(this.select.value));
  }

  // The language the page speaks now.
  show(code) {
    this.select.value = code;
  }
}
