// Bundles the page's scripts into the one the site loads: calvetra.js, the
// entry, with every module it imports (page/*.js), into calvetra-page.js, a
// plain script that runs after the core's module (calvetra-core.js) has
// defined createCalvetra. calvetra.html and the SCORM package take the same
// file from the site.
//
//   node bundle_page.mjs ENTRY OUTPUT
import path from 'node:path';

const [entry, output] = process.argv.slice(2);
let esbuild;
try {
  esbuild = await import('esbuild');
} catch {
  console.error(`${path.basename(process.argv[1])}: esbuild is missing: run "npm ci" in web/ (bash scripts/dev.sh does)`);
  process.exit(1);
}
await esbuild.build({
  entryPoints: [entry],
  outfile: output,
  bundle: true,
  // One function scope: nothing of the page's is a global of the document.
  format: 'iife',
  minify: true,
  // A script of the page names only what it imports; any other free name
  // is the browser's or the core's (createCalvetra).
  logLevel: 'warning',
});
