// The page as a student's phone meets it: Lighthouse's mobile preset (a
// mid-range phone, CPU slowed 4x, slow 4G, simulated), on the site served
// compressed as the static hosts the README names serve it.
//
//   node web/bench/lighthouse/lighthouse.mjs SITE_DIR [--runs N]
//
// Prints each run's four scores, total blocking time, largest contentful
// paint and the longest main-thread task with what it ran, then their
// medians. Lighthouse's version is pinned in package.json beside this file,
// installed apart from the test command's packages (bash scripts/dev.sh
// lighthouse does both).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';

const site = path.resolve(process.argv[2] ?? '');
const at = process.argv.indexOf('--runs');
const runs = at > 0 ? Math.max(1, Number(process.argv[at + 1]) || 3) : 3;
if (!process.argv[2] || !fs.existsSync(path.join(site, 'index.html'))) {
  console.error('usage: node web/bench/lighthouse/lighthouse.mjs SITE_DIR [--runs N]');
  process.exit(2);
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml', '.png': 'image/png', '.webmanifest': 'application/manifest+json', '.zip': 'application/zip',
};
const COMPRESSED = new Set(['.html', '.css', '.js', '.wasm', '.svg', '.webmanifest']);

// Every file gzipped once, as a host keeps it; sent compressed to a browser
// that takes gzip.
const cache = new Map();
function body(file) {
  if (!cache.has(file)) {
    const raw = fs.readFileSync(file);
    cache.set(file, { raw, gzip: COMPRESSED.has(path.extname(file)) ? zlib.gzipSync(raw, { level: 9 }) : null });
  }
  return cache.get(file);
}
const server = http.createServer((request, response) => {
  let name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  if (name.endsWith('/')) name += 'index.html';
  const file = path.join(site, path.normalize(name));
  if (!file.startsWith(path.resolve(site)) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    response.writeHead(404);
    response.end();
    return;
  }
  const { raw, gzip } = body(file);
  const headers = { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream', 'cache-control': 'max-age=600' };
  if (gzip && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
    response.writeHead(200, { ...headers, 'content-encoding': 'gzip', 'content-length': gzip.length });
    response.end(gzip);
  } else {
    response.writeHead(200, { ...headers, 'content-length': raw.length });
    response.end(raw);
  }
});
await new Promise((ready) => server.listen(0, '127.0.0.1', ready));
const url = `http://127.0.0.1:${server.address().port}/`;

const chrome = await chromeLauncher.launch({
  chromePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'],
});
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const results = [];
try {
  for (let k = 0; k < runs; k++) {
    const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json', logLevel: 'error' });
    if (lhr.runtimeError) throw new Error(`Lighthouse: ${lhr.runtimeError.code}: ${lhr.runtimeError.message}`);
    const score = (c) => Math.round(lhr.categories[c].score * 100);
    const tasks = lhr.audits['long-tasks']?.details?.items ?? [];
    const longest = tasks.reduce((a, t) => (t.duration > (a?.duration ?? 0) ? t : a), null);
    const failed = Object.values(lhr.categories).flatMap((c) => c.auditRefs)
      .map((r) => lhr.audits[r.id]).filter((a) => a.score !== null && a.score < 1 && a.scoreDisplayMode === 'binary')
      .map((a) => a.id);
    const r = {
      performance: score('performance'), accessibility: score('accessibility'),
      bestPractices: score('best-practices'), seo: score('seo'),
      tbt: Math.round(lhr.audits['total-blocking-time'].numericValue),
      lcp: Math.round(lhr.audits['largest-contentful-paint'].numericValue),
      fcp: Math.round(lhr.audits['first-contentful-paint'].numericValue),
      longest: longest ? `${Math.round(longest.duration)} ms (${longest.url})` : 'none over 50 ms',
      failed: [...new Set(failed)].join(' ') || 'none',
      // Lighthouse's own measure of this machine's speed: its simulation
      // slows what it saw here 4x, so a slower machine reports longer tasks.
      benchmarkIndex: Math.round(lhr.environment.benchmarkIndex),
    };
    results.push(r);
    console.log(`run ${k + 1}: performance ${r.performance}, accessibility ${r.accessibility}, best practices ` +
      `${r.bestPractices}, SEO ${r.seo}; TBT ${r.tbt} ms, LCP ${r.lcp} ms, FCP ${r.fcp} ms; longest task ` +
      `${r.longest}; failed audits: ${r.failed}; benchmark index ${r.benchmarkIndex}`);
  }
} finally {
  await chrome.kill();
  server.close();
}
const m = (key) => median(results.map((r) => r[key]));
console.log(`median of ${runs}: performance ${m('performance')}, accessibility ${m('accessibility')}, best practices ` +
  `${m('bestPractices')}, SEO ${m('seo')}; TBT ${m('tbt')} ms, LCP ${m('lcp')} ms, FCP ${m('fcp')} ms; ` +
  `benchmark index ${m('benchmarkIndex')}`);
