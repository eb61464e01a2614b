// The catalogue's compiler refuses a translation that would show the user
// a wrong or missing text: a key left out, a placeholder lost, an entry
// marked fuzzy, a translation of Spanish that has since changed, a key the
// program does not have. A complete one compiles, with its texts in the table.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import assert from 'node:assert/strict';

const here = path.dirname(new URL(import.meta.url).pathname);
const po = path.join(here, '..');
const tool = path.join(po, 'catalogue.mjs');
const help = path.join(po, '..', 'help', 'ayuda.html');
const english = fs.readFileSync(path.join(po, 'en.po'), 'utf8');

function build(enText) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'catalogue-'));
  fs.copyFileSync(path.join(po, 'calvetra.pot'), path.join(dir, 'calvetra.pot'));
  fs.writeFileSync(path.join(dir, 'en.po'), enText);
  try {
    execFileSync(process.execPath, [tool, 'build', dir, help, path.join(dir, 'out')], { stdio: 'pipe' });
    return { ok: true, table: fs.readFileSync(path.join(dir, 'out', 'catalogue_table.cpp'), 'latin1') };
  } catch (error) {
    return { ok: false, message: error.stderr.toString() };
  }
}

const entry = (key) => new RegExp(`(msgctxt "${key}"\\nmsgid "[^\\n]*"\\nmsgstr ")([^\\n]*)(")`);
const broken = {
  'a key left out': [english.replace(/\n(#[^\n]*\n)*msgctxt "CalculateCaption"\nmsgid "[^\n]*"\nmsgstr "[^\n]*"\n/, '\n'), /"CalculateCaption".*no translation/],
  'a placeholder lost': [english.replace(entry('Overflow'), '$1Overflow$3'), /"Overflow" must keep %1/],
  'an entry marked fuzzy': [english.replace('msgctxt "ExitCaption"', '#, fuzzy\nmsgctxt "ExitCaption"'), /"ExitCaption" is marked fuzzy/],
  'an empty translation': [english.replace(entry('ExitCaption'), '$1$3'), /"ExitCaption" is empty/],
  'Spanish that has changed': [english.replace('msgid "Salir"', 'msgid "Salir del programa"'), /"ExitCaption".*Spanish has changed/],
  'a key the program does not have': [english + '\nmsgctxt "NoSuchKey"\nmsgid "x"\nmsgstr "y"\n', /"NoSuchKey" is not a text of the program/],
  'a header for another language': [english.replace('Language: en', 'Language: fr'), /Language: fr/],
};
for (const [what, [text, expected]] of Object.entries(broken)) {
  const result = build(text);
  assert.equal(result.ok, false, `${what}: compiled`);
  assert.match(result.message, expected, `${what}: ${result.message}`);
}
const complete = build(english);
assert.equal(complete.ok, true, complete.message);
assert.match(complete.table, /"Calculate"/);
console.log(`catalogue: ${Object.keys(broken).length} broken translations refused, the complete one compiled`);
