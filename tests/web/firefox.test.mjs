// The web page end to end in Firefox: Debian's firefox-esr, headless, driven
// by Puppeteer over WebDriver BiDi (no geckodriver is needed). The checks are
// the ones every engine runs (page_checks.mjs), on the site served over
// 127.0.0.1 and on the single file opened from file://.
//
//   DULMERI_WEB_SITE         the site folder
//   DULMERI_WEB_SINGLE       the single file
//   DULMERI_EXPECTED_LAYOUT  the window's layout as JSON (tests/design/design_layout)
//   DULMERI_WEB_TEST_OUTPUT  where the measured text widths are written
//   DULMERI_FIREFOX          the browser (/usr/bin/firefox-esr)
import assert from 'node:assert/strict';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import puppeteer from 'puppeteer-core';

import * as checks from './page_checks.mjs';
import { serve } from './static_server.mjs';

const OUTPUT = process.env.DULMERI_WEB_TEST_OUTPUT || 'test-results/firefox';
const WIDTHS = join(OUTPUT, 'text-widths.json');
rmSync(WIDTHS, { force: true });

let browser, server, siteUrl;
before(async () => {
  ({ server, url: siteUrl } = await serve(process.env.DULMERI_WEB_SITE));
  browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.DULMERI_FIREFOX || '/usr/bin/firefox-esr',
    headless: true,
  });
});
after(async () => {
  await browser?.close();
  server?.close();
});

// A driver for page_checks.mjs over one Puppeteer page, which also keeps what
// Firefox reports on its own (console errors, uncaught exceptions).
async function openPage(url) {
  const page = await browser.newPage();
  const reported = [];
  page.on('console', (message) => { if (message.type() === 'error') reported.push(message.text()); });
  page.on('pageerror', (error) => reported.push(String(error)));
  await page.setViewport({ width: 640, height: 480 });
  await page.evaluateOnNewDocument(checks.INIT_SCRIPT);
  await page.goto(url);
  const driver = {
    reported,
    evaluate: (expression) => page.evaluate(expression),
    click: (x, y) => page.mouse.click(x, y),
    moveMouse: (x, y) => page.mouse.move(x, y),
    press: (key) => page.keyboard.press(key),
    type: (text) => page.keyboard.type(text),
    screenshot: () => page.screenshot({ type: 'png' }),
    close: () => page.close(),
  };
  await checks.waitUntilShown(driver);
  return driver;
}

const design = checks.readDesign();
const deliveries = [
  { name: 'site', url: () => siteUrl },
  { name: 'single file', url: () => pathToFileURL(process.env.DULMERI_WEB_SINGLE).href },
];

for (const delivery of deliveries) {
  describe(`Firefox, ${delivery.name}, the view "Наблюдение"`, () => {
    let page;
    before(async () => { page = await openPage(delivery.url()); });
    after(async () => { await page?.close(); });

    test('F2 and its button open and close it; its figures follow the run', async () => {
      await checks.checkObservationView(page);
      await checks.checkNoErrors(page);
      assert.deepEqual(page.reported, []);
    });
  });

  describe(`Firefox, ${delivery.name}`, () => {
    let page;
    before(async () => { page = await openPage(delivery.url()); });
    after(async () => { await page?.close(); });

    test('loads without errors', async () => {
      await checks.checkNoErrors(page);
      assert.deepEqual(page.reported, []);
    });
    test('every widget where the design puts it', () => checks.checkLayout(page, design));
    test('the explanation shows its scroll bar', () => checks.checkScrollBarShows(page));
    test('text as wide as its font makes it', () => checks.checkTextWidths(page, (widths) => {
      if (delivery.name === 'site') {
        mkdirSync(OUTPUT, { recursive: true });
        writeFileSync(WIDTHS, JSON.stringify(widths, null, 1));
      }
    }));
    test('the design\'s colours', () => checks.checkColours(page));
    test('Tab order', () => checks.checkTabOrder(page));
    test('"Пусни", ticks, the heater spoken, "Спри"', () => checks.checkRunAndStop(page));
    test('two characters at most in the threshold boxes', () => checks.checkThresholdTyping(page));
    test('no errors after all that', async () => {
      await checks.checkNoErrors(page);
      assert.deepEqual(page.reported, []);
      if (delivery.name === 'single file') {
        // Everything it needs is inside the file.
        const fetched = await page.evaluate(
          'performance.getEntriesByType("resource").map((entry) => entry.name).filter((name) => !/^(data|file):/.test(name))');
        assert.deepEqual(fetched, []);
      }
    });
  });
}
