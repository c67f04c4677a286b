// Measures how soon the page is ready (window.dulmeri.ready: loaded, first
// tick possible), from the start of navigation, in Debian's Chromium: the
// site over HTTP from the loopback address (first visit and a reload served
// by the service worker) and the single file from file://. A measurement, not
// a test: it prints medians and passes or fails nothing.
//
//   node load_time.mjs SITE_FOLDER SINGLE_FILE [RUNS]
import { readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { chromium } from '@playwright/test';

const [site, single, runs = '9'] = process.argv.slice(2);
const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://x').pathname;
  const file = resolve(site, '.' + (path.endsWith('/') ? path + 'index.html' : path));
  if (!file.startsWith(resolve(site)) || !statSync(file, { throwIfNoEntry: false })?.isFile()) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' });
  response.end(readFileSync(file));
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run'],
});

const readyAt = (page) => page.evaluate(async () => {
  await window.dulmeri.ready;
  return performance.getEntriesByName('dulmeri-ready')[0].startTime;
});
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1].toFixed(0);

const times = { site: [], 'site, reloaded': [], 'single file': [] };
for (let i = 0; i < Number(runs); i++) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  times.site.push(await readyAt(page));
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await page.reload();
  times['site, reloaded'].push(await readyAt(page));
  await page.goto(pathToFileURL(single).href);
  times['single file'].push(await readyAt(page));
  await context.close();
}
for (const [name, values] of Object.entries(times)) {
  console.log(`${name}: ready after ${median(values)} ms (median of ${values.length})`);
}
await browser.close();
server.close();
