// Writes the whole page into one self-contained HTML file that works opened
// from the disk: every script and style sheet of index.html inlined in its
// order, the icons and the documents the page loads while it runs as data:
// addresses, and the module built with its WebAssembly inside it.
//
//   node single_file.mjs SITE_DIR SINGLE_FILE_MODULE OUTPUT
//
// Scripts go at the end of the body, in their order: deferred scripts run
// there too, once the document has been read.
import fs from 'node:fs';
import path from 'node:path';

const [site, module, output] = process.argv.slice(2);
const MODULE = 'calvetra-core.js';
const TYPES = { '.svg': 'image/svg+xml', '.png': 'image/png', '.html': 'text/html;charset=utf-8' };

const read = (name) => fs.readFileSync(name === MODULE ? module : path.join(site, name));
const dataUrl = (name) => `data:${TYPES[path.extname(name)]};base64,${read(name).toString('base64')}`;
// Text that goes inside a <script> or <style> element: nothing in it may
// end the element or open an HTML comment.
const inert = (text) => text.replace(/<\/(script|style)/gi, '<\\/$1').replace(/<!--/g, '<\\!--');

const attribute = (tag, name) => tag.match(new RegExp(`\\s${name}="([^"]*)"`))?.[1];
const text = (name) => inert(read(name).toString('utf8'));

let html = read('index.html').toString('utf8');
const scripts = [];
html = html.replace(/<script\b[^>]*><\/script>\n?/g, (tag) => {
  const name = attribute(tag, 'src');
  if (!name) return tag;
  scripts.push(`<script>\n${text(name)}\n</script>\n`);
  return '';
});
html = html.replace(/<link\b[^>]*>/g, (tag) => {
  const [rel, href] = [attribute(tag, 'rel'), attribute(tag, 'href')];
  if (rel === 'stylesheet') return `<style>\n${text(href)}\n</style>`;
  if (rel === 'icon') return tag.replace(`href="${href}"`, `href="${dataUrl(href)}"`);
  // From the disk there is nothing to install and no worker to keep the site.
  if (rel === 'manifest') return '';
  // The module carries its WebAssembly: a separate file would only be asked
  // for in vain (from a course platform's server, as a missing file).
  if (rel === 'preload') return '';
  return tag;
});

// The documents the page loads while it runs: the diagram, the help.
const documents = fs.readdirSync(site).filter((name) => /\.(svg|html)$/.test(name) && name !== 'index.html');
const files = Object.fromEntries(documents.map((name) => [name, dataUrl(name)]));
scripts.unshift(`<script>\nglobalThis.CALVETRA_FILES = ${JSON.stringify(files)};\n</script>\n`);

if (!html.includes('</body>')) throw new Error('index.html: no </body>');
html = html.replace('</body>', () => scripts.join('') + '</body>');
fs.writeFileSync(output, html);
