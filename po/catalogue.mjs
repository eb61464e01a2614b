// The program's texts: po/calvetra.pot holds every text in Spanish, the
// program's own language, each under a key (its msgctxt); po/<code>.po holds
// one more language. At build time this script checks every catalogue and
// writes what the program is compiled with: the keys as a C++ enumeration,
// every language's texts as a C++ table, and the help in every language.
// Nothing reads a catalogue while the program runs.
//
//   node po/catalogue.mjs build PO_DIR HELP_HTML OUT_DIR
//   node po/catalogue.mjs help-entries HELP_HTML          the help's entries for the .pot
//   node po/catalogue.mjs help-po HELP_HTML TRANSLATED_HTML   a translated help, as .po entries
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

// The help's entries are its blocks, keyed "help"; the msgid is the block's
// inner HTML as it stands in the Spanish document.
const HELP = 'help';
const BLOCK = /<(title|h1|h2|h3|p|li|th|td|dt|dd|caption)(\s[^>]*)?>([\s\S]*?)<\/\1>/g;
// A block worth translating has a word in it (not "ºC", "m³/s" or "T<sub>0</sub>").
const hasWords = (html) => /\p{L}{3,}/u.test(html.replace(/<[^>]*>|\{\{[^}]*\}\}/g, ' '));

function fail(message) {
  console.error(`catalogue: ${message}`);
  process.exit(1);
}

function unquote(line, where) {
  const m = /^"((?:[^"\\]|\\.)*)"$/.exec(line);
  if (!m) fail(`${where}: not a quoted string: ${line}`);
  return m[1].replace(/\\(.)/g, (_, c) => ({ n: '\n', t: '\t', '"': '"', '\\': '\\' })[c] ??
    fail(`${where}: unknown escape \\${c}`));
}

// Entries of a .po or .pot file: { ctx, id, str, flags, line }.
export function parsePo(file) {
  const lines = fs.readFileSync(file, 'utf8').split('\n');
  const entries = [];
  let entry = null;
  let field = null;
  const start = (n) => { if (!entry) entry = { ctx: null, id: null, str: null, flags: [], line: n }; };
  const finish = () => { if (entry?.id !== null && entry) entries.push(entry); entry = null; field = null; };
  lines.forEach((raw, i) => {
    const where = `${file}:${i + 1}`;
    const line = raw.trim();
    if (line === '') return finish();
    if (line.startsWith('#,')) { start(i + 1); entry.flags.push(...line.slice(2).split(',').map((f) => f.trim())); return; }
    if (line.startsWith('#')) { if (entry?.id !== null && entry) finish(); return; }
    const m = /^(msgctxt|msgid|msgstr)\s+(".*")$/.exec(line);
    if (m) {
      if (m[1] === 'msgctxt' && entry?.id !== null && entry) finish();
      start(i + 1);
      field = m[1] === 'msgctxt' ? 'ctx' : m[1] === 'msgid' ? 'id' : 'str';
      entry[field] = unquote(m[2], where);
    } else if (line.startsWith('"') && entry && field) {
      entry[field] += unquote(line, where);
    } else {
      fail(`${where}: cannot read this line: ${line}`);
    }
  });
  finish();
  return entries;
}

const header = (entries) => entries.find((e) => e.id === '' && e.ctx === null)?.str ?? '';
const placeholders = (text) => [...text.matchAll(/%\d|\{\{[^}]*\}\}/g)].map((m) => m[0]).sort().join(' ');

function helpBlocks(html) {
  return [...html.matchAll(BLOCK)].map((m) => ({ id: m[3], at: m.index + m[0].indexOf('>') + 1 }))
    .filter((b) => !/<(p|li|td|th|h\d)[\s>]/.test(b.id) && hasWords(b.id));
}

function poString(text) {
  const esc = (s) => s.replace(/\\/g, '\\\\').replace(/"/g, '\\"').replace(/\t/g, '\\t');
  const parts = text.split(/(?<=\n)/);
  if (parts.length === 1) return `"${esc(text).replace(/\n/g, '\\n')}"`;
  return '""\n' + parts.map((p) => `"${esc(p).replace(/\n/g, '\\n')}"`).join('\n');
}

function entryText(ctx, id, str) {
  return `msgctxt ${poString(ctx)}\nmsgid ${poString(id)}\nmsgstr ${poString(str)}\n`;
}

// The source catalogue: keys in order, each with its Spanish text.
function readSource(dir, helpHtml) {
  const pot = parsePo(path.join(dir, 'calvetra.pot')).filter((e) => e.id !== '');
  const seen = new Set();
  for (const e of pot) {
    if (e.ctx === null) fail(`calvetra.pot:${e.line}: every text needs a key (msgctxt)`);
    if (e.ctx !== HELP && !/^[A-Z][A-Za-z0-9]*$/.test(e.ctx)) fail(`calvetra.pot:${e.line}: the key "${e.ctx}" is not a name like SaveGraph`);
    const k = `${e.ctx}\u0004${e.id}`;
    if (seen.has(k)) fail(`calvetra.pot:${e.line}: "${e.ctx}" twice`);
    seen.add(k);
  }
  const texts = pot.filter((e) => e.ctx !== HELP);
  const help = pot.filter((e) => e.ctx === HELP).map((e) => e.id);
  const wanted = [...new Set(helpBlocks(helpHtml).map((b) => b.id))];
  if (wanted.join('\0') !== help.join('\0'))
    fail('the help\'s entries in calvetra.pot are not those of the help; write them again with ' +
      '"node po/catalogue.mjs help-entries help/ayuda.html"');
  return { texts, help };
}

// A further language, checked against the source: every key, no other, the
// same placeholders, nothing fuzzy or empty, its Spanish up to date.
function readLanguage(file, source) {
  const code = path.basename(file, '.po');
  const entries = parsePo(file);
  const language = /^Language:\s*(\S+)/m.exec(header(entries))?.[1];
  if (language !== code) fail(`${file}: its header says "Language: ${language ?? ''}"; the file's name says ${code}`);
  const byKey = new Map();
  for (const e of entries.filter((e) => e.id !== '')) {
    const k = `${e.ctx}\u0004${e.id}`;
    if (byKey.has(k)) fail(`${file}:${e.line}: "${e.ctx}" twice`);
    byKey.set(k, e);
  }
  const problems = [];
  const lookup = (ctx, id) => {
    const e = byKey.get(`${ctx}\u0004${id}`);
    byKey.delete(`${ctx}\u0004${id}`);
    if (!e) problems.push(`"${ctx}" (${JSON.stringify(id.slice(0, 40))}) has no translation, or its Spanish has changed`);
    else if (e.flags.includes('fuzzy')) problems.push(`${e.line}: "${ctx}" is marked fuzzy`);
    else if (e.str === '') problems.push(`${e.line}: "${ctx}" is empty`);
    else if (placeholders(e.str) !== placeholders(id)) problems.push(`${e.line}: "${ctx}" must keep ${placeholders(id) || 'no placeholder'}`);
    else return e.str;
    return id;
  };
  const texts = source.texts.map((e) => lookup(e.ctx, e.id));
  const help = new Map(source.help.map((id) => [id, lookup(HELP, id)]));
  for (const e of byKey.values()) problems.push(`${e.line}: "${e.ctx}" is not a text of the program`);
  if (problems.length) fail(`${file}:\n  ${problems.join('\n  ')}`);
  return { code, texts, help };
}

function translatedHelp(html, language) {
  let out = '';
  let from = 0;
  for (const block of helpBlocks(html)) {
    out += html.slice(from, block.at) + language.help.get(block.id);
    from = block.at + block.id.length;
  }
  return (out + html.slice(from)).replace('<html lang="es">', `<html lang="${language.code}">`);
}

const cString = (s) => '"' + Buffer.from(s, 'utf8').toString('latin1').replace(/[\\"]/g, '\\$&')
  .replace(/\n/g, '\\n').replace(/[\x00-\x1f]/g, (c) => `\\${c.charCodeAt(0).toString(8).padStart(3, '0')}`)
  .replace(/[\x80-\xff]/g, (c) => `\\${c.charCodeAt(0).toString(8)}`) + '"';

function writeIfChanged(file, text) {
  if (!fs.existsSync(file) || fs.readFileSync(file, 'utf8') !== text) fs.writeFileSync(file, text);
}

function build(dir, helpFile, out) {
  const helpHtml = fs.readFileSync(helpFile, 'utf8');
  const source = readSource(dir, helpHtml);
  const languages = [{ code: 'es', texts: source.texts.map((e) => e.id) }];
  const files = fs.readdirSync(dir).filter((f) => f.endsWith('.po')).sort();
  for (const f of files) languages.push(readLanguage(path.join(dir, f), source));
  const keys = source.texts.map((e) => e.ctx);
  if (!keys.includes('LanguageName')) fail('calvetra.pot needs the key LanguageName: the language\'s own name');

  fs.mkdirSync(path.join(out, 'help'), { recursive: true });
  writeIfChanged(path.join(out, 'catalogue_keys.h'), [
    '// Written by po/catalogue.mjs from po/calvetra.pot: do not edit.',
    '#pragma once', '', 'namespace calvetra {', '',
    '// Every text of the program, by its key in the catalogue.',
    'enum class Text : unsigned short {', ...keys.map((k) => `    ${k},`), '};', '',
    `inline constexpr int kTextCount = ${keys.length};`,
    `inline constexpr int kLanguageCount = ${languages.length};`, '', '}  // namespace calvetra', ''].join('\n'));
  writeIfChanged(path.join(out, 'catalogue_table.cpp'), [
    '// Written by po/catalogue.mjs from po/*.po: do not edit.',
    '#include "toolkit/catalogue_table.h"', '', 'namespace calvetra::catalogue {', '',
    'const char* const kKeyNames[kTextCount] = {', ...keys.map((k) => `    ${cString(k)},`), '};', '',
    ...languages.map((l) => [`static const char* const texts_${l.code}[kTextCount] = {`,
      ...l.texts.map((t) => `    ${cString(t)},`), '};', ''].join('\n')),
    'const LanguageTable kLanguages[kLanguageCount] = {',
    ...languages.map((l) => `    {${cString(l.code)}, texts_${l.code}},`), '};', '',
    '}  // namespace calvetra::catalogue', ''].join('\n'));
  for (const l of languages.slice(1)) writeIfChanged(path.join(out, 'help', `ayuda.${l.code}.html`), translatedHelp(helpHtml, l));
  writeIfChanged(path.join(out, 'help', 'ayuda.html'), helpHtml);
  writeIfChanged(path.join(out, 'help', 'languages.txt'), languages.map((l) => l.code).join('\n') + '\n');
  // A language whose catalogue has gone leaves no help behind.
  const written = new Set(languages.slice(1).map((l) => `ayuda.${l.code}.html`));
  for (const f of fs.readdirSync(path.join(out, 'help')))
    if (/^ayuda\.[^.]+\.html$/.test(f) && !written.has(f)) fs.rmSync(path.join(out, 'help', f));
}

// Run as a command, not when another build script imports parsePo.
const [command, ...args] = process.argv.slice(2);
if (fileURLToPath(import.meta.url) !== path.resolve(process.argv[1] ?? '')) {
  // imported
} else if (command === 'build' && args.length === 3) {
  build(...args);
} else if (command === 'help-entries' && args.length === 1) {
  const ids = [...new Set(helpBlocks(fs.readFileSync(args[0], 'utf8')).map((b) => b.id))];
  process.stdout.write(ids.map((id) => entryText(HELP, id, '')).join('\n'));
} else if (command === 'help-po' && args.length === 2) {
  const [es, xx] = args.map((f) => helpBlocks(fs.readFileSync(f, 'utf8')));
  if (es.length !== xx.length) fail(`${args[1]} has ${xx.length} blocks to translate, the help ${es.length}`);
  const seen = new Set();
  process.stdout.write(es.map((b, i) => (seen.has(b.id) || !seen.add(b.id) ? '' : entryText(HELP, b.id, xx[i].id)))
    .filter(Boolean).join('\n'));
} else {
  fail('usage: catalogue.mjs build PO_DIR HELP_HTML OUT_DIR | help-entries HELP_HTML | help-po HELP_HTML TRANSLATED_HTML');
}
