// Measures how soon the page is ready (window.dulmeri.ready: loaded, first
// tick possible), from the start of navigation, in Debian's Chromium: the
// site over HTTP from the loopback address (first visit and a reload served
// by the service worker) and the single file from file://. A measurement, not
// a test: it prints medians and passes or fails nothing.
//
//   node load_time.mjs SITE_FOLDER SINGLE_FILE [RUNS]
import { pathToFileURL } from 'node:url';

import { chromium } from '@playwright/test';

import { serve } from './static_server.mjs';

const [site, single, runs = '9'] = process.argv.slice(2);
const { server, url } = await serve(site);
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
  await page.goto(url);
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
