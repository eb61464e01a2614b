// Writes the site's index.html from web/index.html with the texts in
// Spanish, the program's language, from the catalogue: every element marked
// data-text="Key" gets the text of that key, every data-text-NAME="Key" the
// attribute NAME with it, so the page reads in Spanish before its scripts
// run (and without them). The script fills the same marks again in another
// language. Copies beside it the help in every further language.
//
// The manifest's description is filled the same way, from AppDescription.
//
//   node page_texts.mjs INDEX_HTML CALVETRA_POT GENERATED_HELP_DIR SITE_DIR
import fs from 'node:fs';
import path from 'node:path';
import { parsePo } from '../../po/catalogue.mjs';

const [index, pot, helpDir, site] = process.argv.slice(2);
const manifest = path.join(path.dirname(index), 'manifest.webmanifest');
const texts = new Map(parsePo(pot).filter((e) => e.ctx).map((e) => [e.ctx, e.id]));
const text = (key) => {
  if (!texts.has(key)) throw new Error(`${index}: no text "${key}" in ${pot}`);
  return texts.get(key).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');
};

const source = fs.readFileSync(index, 'utf8');
let filled = 0;
const html = source
  // An element's text: its marks hold nothing in the source.
  .replace(/(<(\w+)\b[^>]*\sdata-text="(\w+)"[^>]*>)(<\/\2>)/g, (_, open, tag, key, close) => {
    filled++;
    return open + text(key) + close;
  })
  .replace(/\sdata-text-([a-z-]+)="(\w+)"/g, (mark, name, key) => ` ${name}="${text(key)}"${mark}`);
const marked = source.match(/\sdata-text="/g)?.length ?? 0;
if (filled !== marked) throw new Error(`${index}: ${marked - filled} data-text element(s) not empty in the source`);
fs.writeFileSync(path.join(site, 'index.html'), html);

const description = '"description": ""';
const app = fs.readFileSync(manifest, 'utf8');
if (!app.includes(description)) throw new Error(`${manifest}: no empty ${description} to fill`);
fs.writeFileSync(path.join(site, 'manifest.webmanifest'),
  app.replace(description, () => `"description": ${JSON.stringify(texts.get('AppDescription'))}`));

for (const code of fs.readFileSync(path.join(helpDir, 'languages.txt'), 'utf8').split('\n').filter(Boolean)) {
  if (code !== 'es') fs.copyFileSync(path.join(helpDir, `ayuda.${code}.html`), path.join(site, `ayuda.${code}.html`));
}
