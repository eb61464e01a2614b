// Writes the site's service worker: web/sw.js with the name and SHA-256 of
// every file of the built site, and the version those make.
//
//   node stamp_worker.mjs SOURCE_SW SITE_DIR
//
// The file is rewritten only when it changes, so that an unchanged site keeps
// its worker and the browsers' caches.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

const [source, site] = process.argv.slice(2);
const WORKER = 'sw.js';

function filesOf(dir, prefix = '') {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((entry) => {
    const name = prefix + entry.name;
    return entry.isDirectory() ? filesOf(path.join(dir, entry.name), `${name}/`) : [name];
  });
}

const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');
const files = {};
for (const name of filesOf(site).filter((name) => name !== WORKER).sort())
  files[name] = sha256(fs.readFileSync(path.join(site, name)));
const version = sha256(Object.entries(files).map(([name, hash]) => `${hash}  ${name}\n`).join('')).slice(0, 16);

const template = fs.readFileSync(source, 'utf8');
const line = /^const SITE = .*;$/m;
if (!line.test(template)) throw new Error(`${source}: no "const SITE = ...;" line to fill in`);
const worker = template.replace(line, () => `const SITE = ${JSON.stringify({ version, files })};`);
const target = path.join(site, WORKER);
if (!fs.existsSync(target) || fs.readFileSync(target, 'utf8') !== worker) fs.writeFileSync(target, worker);
