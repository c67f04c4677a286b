// The web page end to end in WebKit, Safari's engine: Debian's WebKitGTK
// MiniBrowser on a private Xvfb, driven through WebKitWebDriver
// (webkit2gtk-driver) with selenium-webdriver. The checks are the ones every
// engine runs (page_checks.mjs), on the site served over 127.0.0.1 and on the
// single file opened from file://.
//
// The driver speaks classic WebDriver only: it can neither add a script to
// every new document nor pass on the console. So the test's own script (the
// fake clock and the error trap) goes into the page as its first script: the
// server puts it into the site's HTML, and the single file is opened from a
// copy with it. The trap catches what the console would have shown.
//
// WebKitGTK takes its font hinting from the desktop's X settings (XSETTINGS),
// which a bare X server lacks: it then hints fully and every glyph's advance
// changes (whole pixels with the fonts' own hints, and 3-4 % wider with the
// page's unhinted web font), whatever the page's style says. So MiniBrowser
// runs as on a desktop: an X settings manager (xsettingsd) gives it the
// slight hinting that GNOME and most desktops set.
//
//   DULMERI_WEB_SITE         the site folder
//   DULMERI_WEB_SINGLE       the single file
//   DULMERI_EXPECTED_LAYOUT  the window's layout as JSON (tests/design/design_layout)
//   DULMERI_WEB_TEST_OUTPUT  the browser's profile, its X settings and the
//                            measured text widths go here
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { join, resolve } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { Builder, Key, Origin } from 'selenium-webdriver';

import * as checks from './page_checks.mjs';
import { serve } from './static_server.mjs';

const MINIBROWSER = process.env.DULMERI_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const OUTPUT = resolve(process.env.DULMERI_WEB_TEST_OUTPUT || 'test-results/webkit');
const WIDTHS = join(OUTPUT, 'text-widths.json');
const PROFILE = join(OUTPUT, 'profile');
rmSync(WIDTHS, { force: true });
rmSync(PROFILE, { recursive: true, force: true });
mkdirSync(PROFILE, { recursive: true });

const started = [];  // the processes this test started, stopped in reverse order

function start(command, args, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'], ...options });
  let log = '';
  child.stderr?.on('data', (chunk) => { log += chunk; });
  child.log = () => log;
  started.push(child);
  return child;
}

// Xvfb on a free display; resolves to the display's name.
function startXvfb() {
  const xvfb = start('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24', '-dpi', '96', '-nolisten', 'tcp'],
                     { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  return new Promise((done, fail) => {
    let number = '';
    xvfb.stdio[3].on('data', (chunk) => {
      number += chunk;
      if (number.endsWith('\n')) done(':' + number.trim());
    });
    xvfb.on('exit', (code) => fail(new Error(`Xvfb exited (${code}): ${xvfb.log()}`)));
  });
}

// The desktop's X settings for fonts: anti-aliased, slightly hinted.
function startXsettings(display) {
  const settings = join(PROFILE, 'xsettingsd.conf');
  writeFileSync(settings, 'Xft/Antialias 1\nXft/Hinting 1\nXft/HintStyle "hintslight"\nXft/RGBA "none"\n');
  const manager = start('xsettingsd', ['--config', settings], { env: { ...process.env, DISPLAY: display } });
  return new Promise((done, fail) => {
    manager.stderr.on('data', () => { if (manager.log().includes('Took ownership of selection')) done(); });
    manager.on('exit', (code) => fail(new Error(`xsettingsd exited (${code}): ${manager.log()}`)));
  });
}

function freePort() {
  return new Promise((done) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    });
  });
}

async function waitForDriver(url, process) {
  for (let attempt = 0; attempt < 200; attempt++) {
    if (process.exitCode !== null) throw new Error('WebKitWebDriver exited: ' + process.log());
    try {
      if ((await fetch(url + '/status')).ok) return;
    } catch { /* not listening yet */ }
    await new Promise((done) => setTimeout(done, 50));
  }
  throw new Error('WebKitWebDriver did not answer');
}

let session, server, siteUrl, singleUrl;
before(async () => {
  ({ server, url: siteUrl } = await serve(process.env.DULMERI_WEB_SITE, { rewriteHtml: checks.withInitScript }));
  const single = join(OUTPUT, 'dulmeri.html');
  writeFileSync(single, checks.withInitScript(readFileSync(process.env.DULMERI_WEB_SINGLE, 'utf8')));
  singleUrl = pathToFileURL(single).href;

  const display = await startXvfb();
  await startXsettings(display);
  const environment = {
    ...process.env, DISPLAY: display,
    // The browser's caches, data and settings stay in the test's folder.
    HOME: PROFILE, XDG_CACHE_HOME: join(PROFILE, 'cache'), XDG_DATA_HOME: join(PROFILE, 'data'),
    XDG_CONFIG_HOME: join(PROFILE, 'config'),
  };
  const port = await freePort();
  const driver = start('WebKitWebDriver', [`--port=${port}`], { env: environment });
  const driverUrl = `http://127.0.0.1:${port}`;
  await waitForDriver(driverUrl, driver);
  session = await new Builder().usingServer(driverUrl).withCapabilities({
    browserName: 'MiniBrowser',
    'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
  }).build();
  await session.manage().window().setRect({ x: 0, y: 0, width: 640, height: 520 });
});
after(async () => {
  await session?.quit();
  for (const child of started.reverse()) child.kill();
  server?.close();
});

const KEYS = { Tab: Key.TAB, End: Key.END, Backspace: Key.BACK_SPACE, F2: Key.F2 };
const point = (x, y) => ({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT });

// A driver for page_checks.mjs over the WebDriver session.
const page = {
  async evaluate(expression) {
    const result = await session.executeAsyncScript(`const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${expression})).then(
        (value) => done({ value: value === undefined ? null : value }),
        (error) => done({ error: String(error && error.stack || error) }));`);
    if (result.error) throw new Error('in the page: ' + result.error);
    return result.value;
  },
  click: (x, y) => session.actions().move(point(x, y)).press().release().perform(),
  moveMouse: (x, y) => session.actions().move(point(x, y)).perform(),
  press: (key) => session.actions().sendKeys(KEYS[key] ?? key).perform(),
  type: (text) => session.actions().sendKeys(text).perform(),
  screenshot: async () => Buffer.from(await session.takeScreenshot(), 'base64'),
};

const design = checks.readDesign();
const deliveries = [
  { name: 'site', url: () => siteUrl },
  { name: 'single file', url: () => singleUrl },
];

for (const delivery of deliveries) {
  describe(`WebKit, ${delivery.name}, the view "Наблюдение"`, () => {
    before(async () => {
      await session.get(delivery.url());
      await checks.waitUntilShown(page);
    });

    test('F2 and its button open and close it; its figures follow the run', async () => {
      await checks.checkObservationView(page);
      await checks.checkNoErrors(page);
    });
  });

  describe(`WebKit, ${delivery.name}`, () => {
    before(async () => {
      await session.get(delivery.url());
      await checks.waitUntilShown(page);
    });

    test('loads without errors', () => checks.checkNoErrors(page));
    test('every widget where the design puts it', () => checks.checkLayout(page, design));
    test('the explanation shows its scroll bar', () => checks.checkScrollBarShows(page));
    test('text as wide as its font makes it', () => checks.checkTextWidths(page, (widths) => {
      if (delivery.name === 'site') writeFileSync(WIDTHS, JSON.stringify(widths, null, 1));
    }));
    test('the design\'s colours', () => checks.checkColours(page));
    test('Tab order', () => checks.checkTabOrder(page));
    test('"Пусни", ticks, the heater spoken, "Спри"', () => checks.checkRunAndStop(page));
    test('two characters at most in the threshold boxes', () => checks.checkThresholdTyping(page));
    test('no errors after all that', async () => {
      await checks.checkNoErrors(page);
      if (delivery.name === 'single file') {
        const fetched = await page.evaluate(
          'performance.getEntriesByType("resource").map((entry) => entry.name).filter((name) => !/^(data|file):/.test(name))');
        assert.deepEqual(fetched, []);
      }
    });
  });
}
