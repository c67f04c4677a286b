// The web page end to end in Chromium, in both its deliveries: the static
// site served over HTTP (in English, so numbers are written with a point, and
// installed for offline use) and the single HTML file opened from file:// with
// every network request refused (in Bulgarian: a decimal comma). Time is
// driven with Playwright's clock, never waited for. The checks every engine
// runs (layout, text widths, the explanation's scroll bar) and the design's
// colours and tab order come from page_checks.mjs, shared with the Firefox and
// WebKit tests.
//
//   DULMERI_WEB_SITE         the site folder (build/web/src/web/site)
//   DULMERI_WEB_SINGLE       the single file (build/web/src/web/dulmeri.html)
//   DULMERI_EXPECTED_LAYOUT  the design's layout and colours, in pixels (written at
//                            build time from the design table)
//   DULMERI_WEB_ONLY         "site" or "single file": only that delivery
//   DULMERI_WEB_TEST_OUTPUT  Playwright's output; the site's measured text
//                            widths are written there too
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import AxeBuilder from '@axe-core/playwright';
import { expect, test } from '@playwright/test';

import * as checks from './page_checks.mjs';
import { COLOURS, COLOUR_POINTS, READOUT, TAB_ORDER, near } from './page_checks.mjs';
import { decodePng } from './png.mjs';
import { serve } from './static_server.mjs';

const SITE = process.env.DULMERI_WEB_SITE;
const SINGLE = process.env.DULMERI_WEB_SINGLE;
const OUTPUT = process.env.DULMERI_WEB_TEST_OUTPUT || 'test-results';
const LAYOUT = checks.readDesign();

const DELIVERIES = [
  { name: 'site', locale: 'en-US', separator: '.' },
  { name: 'single file', locale: 'bg-BG', separator: ',' },
];

const ONLY = process.env.DULMERI_WEB_ONLY;
for (const delivery of DELIVERIES.filter((each) => !ONLY || each.name === ONLY)) {
  test.describe(delivery.name, () => {
    let server, url;
    const problems = [];  // console errors, uncaught exceptions, refused requests

    test.use({ locale: delivery.locale });

    test.beforeAll(async () => {
      if (delivery.name === 'site') {
        ({ server, url } = await serve(SITE));
      } else {
        url = pathToFileURL(SINGLE).href;
      }
    });
    test.afterAll(async () => server?.close());

    // Opens the page with a fake clock; the single file with no network at all.
    async function open(page, context) {
      problems.length = 0;
      page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
      page.on('pageerror', (error) => problems.push(String(error)));
      if (delivery.name !== 'site') {
        await context.route('**', (route) => {
          const requested = route.request().url();
          if (requested.startsWith('file:') || requested.startsWith('data:')) return route.continue();
          problems.push('network request: ' + requested);
          return route.abort();
        });
      }
      await page.clock.install();
      await page.goto(url);
      await ready(page);
    }

    // Waits for the page's first tick to be possible, then stops the clock:
    // from here on, time moves only when the test says so.
    async function ready(page) {
      expect(await page.evaluate(() => window.dulmeri.ready)).toBe(true);
      await page.clock.pauseAt(await page.evaluate(() => Date.now() + 1000));
    }

    test.afterEach(() => expect(problems).toEqual([]));

    // The temperature the readout shows, and the one the scroll bar last
    // gave screen readers.
    const temperature = (page) => page.locator('#Label1_1').textContent().then((text) => Number(text.slice(READOUT.length)));
    const reported = (page) => page.locator('#VScroll1').getAttribute('aria-valuenow').then(Number);
    const tick = (page, count = 1) => page.clock.runFor(100 * count);

    // [r, g, b] at points given relative to each widget's box (negative: from its far edge).
    async function colours(page, points) {
      const shot = decodePng(await page.screenshot());
      const found = {};
      for (const [name, [id, dx, dy]] of Object.entries(points)) {
        const box = await page.locator('#' + id).boundingBox();
        found[name] = shot.at(box.x + (dx < 0 ? box.width + dx : dx), box.y + (dy < 0 ? box.height + dy : dy));
      }
      return found;
    }

    // The window's size and every shown widget's box within it, in CSS
    // pixels (to a hundredth), as the design lays them out.
    async function layout(page) {
      const round = (values) => values.map((value) => Math.round(value * 100) / 100);
      const form = await page.locator('#MainForm').boundingBox();
      const seen = { client: round([form.width, form.height]) };
      for (const [name, widget] of Object.entries(LAYOUT.widgets)) {
        if (!widget.visible) continue;
        const box = await page.locator('#' + name).boundingBox();
        seen[name] = box && round([box.x - form.x, box.y - form.y, box.width, box.height]);
      }
      return seen;
    }
    const designedLayout = () => Object.fromEntries([['client', LAYOUT.client],
      ...Object.entries(LAYOUT.widgets).filter(([, widget]) => widget.visible).map(([name, widget]) => [name, widget.box])]);

    test('shows the design and runs the thermostat', async ({ page, context }) => {
      await open(page, context);
      await expect(page).toHaveTitle(/Дулмери - терморегулатор$/);
      await expect(page.locator('html')).toHaveAttribute('lang', 'bg');
      await expect(page.locator('#Text1_0')).toBeFocused();
      await expect(page.locator('#Text1_1')).toBeHidden();
      // The metric twin of Times New Roman that the page brings, for devices without it.
      expect(await page.evaluate(async () => (await document.fonts.load('16px "Dulmeri Serif"', 'Дулмери')).length))
        .toBe(1);

      expect(await layout(page)).toEqual(designedLayout());

      // The design's colours on real pixels.
      const expected = { ...COLOURS, gaugeTop: COLOURS.gaugeBlue, gaugeBottom: COLOURS.gaugeBlue };
      let seen = await colours(page, COLOUR_POINTS);
      for (const name of Object.keys(COLOUR_POINTS)) expect(near(seen[name], expected[name]), `${name}: ${seen[name]}`).toBe(true);

      // Every message the live region receives.
      await page.evaluate(() => {
        window.spoken = [];
        new MutationObserver((records) => {
          for (const record of records) for (const node of record.addedNodes) window.spoken.push(node.textContent);
        }).observe(document.getElementById('announcer'), { childList: true });
      });

      // "Пусни" twice keeps one timer: ten ticks in a second, heating from 0.
      await page.locator('#Command1_0').click();
      await page.locator('#Command1_0').click();
      await tick(page, 10);
      expect(await temperature(page)).toBe(10);
      await expect(page.locator('#Label1_1')).toHaveText(READOUT + '10');
      await expect(page.locator('#Picture1')).toHaveAttribute('aria-valuenow', '10');
      await expect(page.locator('#Option1_0 input')).toBeChecked();
      seen = await colours(page, COLOUR_POINTS);
      expect(near(seen.gaugeBottom, COLOURS.gaugeRed), `${seen.gaugeBottom}`).toBe(true);
      expect(near(seen.gaugeTop, COLOURS.gaugeBlue), `${seen.gaugeTop}`).toBe(true);
      // Starts and the heater's switch are spoken; the run's steps are not.
      expect(await page.evaluate(() => window.spoken)).toEqual(
        ['Симулацията е пусната', 'Симулацията е пусната', 'Включено']);
      // A message stays in the region after the next one, for a screen reader
      // that reads it late: one whose node is gone is never spoken.
      expect(await page.locator('#announcer p').allTextContents()).toEqual(
        ['Симулацията е пусната', 'Симулацията е пусната', 'Включено']);
      await expect(page.locator('#announcer')).toHaveAttribute('role', 'status');
      await expect(page.locator('#announcer')).toHaveAttribute('aria-live', 'polite');

      // A stall (a hidden tab, a sleeping laptop) brings no burst of ticks.
      // Five seconds pass at once: the late timer ticks once, then the rhythm
      // starts again from now.
      await page.clock.fastForward(5_000);
      expect(await temperature(page)).toBe(11);
      await tick(page, 1);
      expect(await temperature(page)).toBe(12);

      // Stop: the timer ends, "Изключено" shows, screen readers get the value.
      await page.locator('#Command1_1').click();
      const stoppedAt = await temperature(page);
      expect(await reported(page)).toBe(stoppedAt);
      await tick(page, 5);
      expect(await temperature(page)).toBe(stoppedAt);
      await expect(page.locator('#Option1_1 input')).toBeChecked();
      expect((await page.evaluate(() => window.spoken)).slice(-2)).toEqual(['Изключено', 'Симулацията е спряна']);
    });

    // The checks every engine runs, through Playwright.
    test('matches the design: layout, text widths, the explanation\'s scroll bar', async ({ page, context }) => {
      await open(page, context);
      await page.clock.resume();  // nothing runs yet; the screenshots wait for frames
      const driver = {
        evaluate: (expression) => page.evaluate(expression),
        click: (x, y) => page.mouse.click(x, y),
        moveMouse: (x, y) => page.mouse.move(x, y),
        press: (key) => page.keyboard.press(key),
        type: (text) => page.keyboard.type(text),
        screenshot: () => page.screenshot(),
      };
      await checks.checkLayout(driver, checks.readDesign());
      await checks.checkScrollBarShows(driver);
      await checks.checkTextWidths(driver, (widths) => {
        if (delivery.name === 'site') {
          mkdirSync(OUTPUT, { recursive: true });
          writeFileSync(join(OUTPUT, 'text-widths.json'), JSON.stringify(widths, null, 1));
        }
      });
    });

    test('validates the thresholds and limits typing', async ({ page, context }) => {
      await open(page, context);
      const lower = page.locator('#Text2_0'), upper = page.locator('#Text2_2');
      for (const [box, text] of [[lower, '99'], [upper, '11']]) {
        await box.click();
        await page.keyboard.press('Control+A');
        await page.keyboard.type(text);
      }
      await page.locator('#Command1_0').click();
      await tick(page);
      const written = `13${delivery.separator}2`;
      await expect(lower).toHaveValue('11');
      await expect(upper).toHaveValue(written);  // the program's own text is never cut

      // Typing more into the full box is refused; typing is cut to two characters.
      await upper.click();
      await page.keyboard.press('End');
      await page.keyboard.type('5');
      await expect(upper).toHaveValue(written);
      await lower.click();
      await page.keyboard.press('Control+A');
      await page.keyboard.type('123');
      await expect(lower).toHaveValue('12');

      // A rewrite of unchanged text does not touch the box, so its caret and
      // selection stay.
      await lower.evaluate((box) => {
        const value = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value');
        window.lowerWrites = 0;
        Object.defineProperty(box, 'value', {
          get() { return value.get.call(this); },
          set(text) { window.lowerWrites++; value.set.call(this, text); },
        });
        box.setSelectionRange(0, 1);
      });
      await tick(page);
      expect(await page.evaluate(() => window.lowerWrites)).toBe(0);
      expect(await lower.evaluate((box) => [box.selectionStart, box.selectionEnd])).toEqual([0, 1]);
      // 13,2 is read back as 13 (the reader takes only a point); 13.2 stays.
      await expect(upper).toHaveValue(delivery.separator === '.' ? '13.2' : '13');
      await expect(page.locator('#Text2_1')).toHaveValue('100');
      await expect(page.locator('#Text2_1')).toHaveAttribute('readonly', '');
    });

    test('is operated by pointer and keyboard, and named for screen readers', async ({ page, context }) => {
      await open(page, context);

      // Tab order, from the explanation that has the focus at start.
      const order = [await page.evaluate(() => document.activeElement.id)];
      for (let i = 1; i < TAB_ORDER.length; i++) {
        await page.keyboard.press('Tab');
        order.push(await page.evaluate(() => document.activeElement.id));
      }
      expect(order).toEqual(TAB_ORDER);

      // Enter and Space press the focused button.
      await page.locator('#Command1_0').focus();
      await page.keyboard.press('Enter');
      await tick(page, 3);
      expect(await temperature(page)).toBe(3);
      await page.locator('#Command1_1').focus();
      await page.keyboard.press('Space');
      await tick(page, 3);
      expect(await temperature(page)).toBe(3);

      // The option buttons cannot be operated, by pointer or keyboard, and are not greyed.
      const on = page.locator('#Option1_0 input'), off = page.locator('#Option1_1 input');
      const box = await page.locator('#Option1_0').boundingBox();
      await page.mouse.click(box.x + 8, box.y + box.height / 2);
      await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
      await on.focus();
      await page.keyboard.press('Space');
      await page.keyboard.press('ArrowLeft');
      await expect(off).toBeChecked();
      await expect(on).not.toBeChecked();
      await expect(on).toBeEnabled();

      // The scroll bar: arrows and track move by one, keys too, each told to
      // screen readers at once; a drag reports once, on release.
      const both = async () => [await temperature(page), await reported(page)];
      await page.locator('#VScroll1 [data-part="up"]').click();
      expect(await both()).toEqual([4, 4]);
      await page.locator('#VScroll1 [data-part="down"]').click();
      expect(await both()).toEqual([3, 3]);
      await page.locator('#VScroll1 [data-part="track"]').click({ position: { x: 12, y: 5 } });
      expect(await both()).toEqual([4, 4]);
      await page.locator('#VScroll1').focus();
      await page.keyboard.press('ArrowUp');
      expect(await both()).toEqual([5, 5]);
      await page.keyboard.press('ArrowDown');
      expect(await both()).toEqual([4, 4]);
      // Pages and ends: the top of the bar is the highest temperature.
      for (const [key, expected] of [['Home', 100], ['PageDown', 99], ['End', 0], ['PageUp', 1]]) {
        await page.keyboard.press(key);
        expect(await both(), key).toEqual([expected, expected]);
      }
      for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowUp');
      expect(await both()).toEqual([4, 4]);
      const thumb = await page.locator('#VScroll1 [data-part="thumb"]').boundingBox();
      await page.mouse.move(thumb.x + thumb.width / 2, thumb.y + thumb.height / 2);
      await page.mouse.down();
      await page.mouse.move(thumb.x + thumb.width / 2, thumb.y - 60, { steps: 4 });
      await expect(page.locator('#Label1_1')).toHaveText(READOUT + '4');  // not yet
      await page.mouse.up();
      expect(await temperature(page)).toBeGreaterThan(40);
      expect(await reported(page)).toBe(await temperature(page));

      // The slider and the gauge report the temperature; names as in the desktop programs.
      const scale = page.locator('#VScroll1');
      await expect(scale).toHaveAttribute('aria-orientation', 'vertical');
      await expect(scale).toHaveAttribute('aria-valuemin', '0');
      await expect(scale).toHaveAttribute('aria-valuemax', '100');
      const cdp = await context.newCDPSession(page);
      const { nodes } = await cdp.send('Accessibility.getFullAXTree');
      const meter = nodes.find((node) => node.role?.value === 'meter');
      expect(meter?.name?.value).toBe('Термометър');
      expect(String(meter?.value?.value)).toBe(String(await temperature(page)));
      await expect(page.locator('#MainForm')).toMatchAriaSnapshot(`
        - textbox "Обяснение": /Хистерезисът е физично явление/
        - text: Дулмери - температурен хистерезис
        - meter "Термометър"
        - slider "Температура"
        - text: /Моментна стойност/
        - textbox "Долен праг"
        - text: "Горен праг: Температура: Базова максимална стойност:"
        - textbox "Базова максимална стойност": "100"
        - textbox "Горен праг"
        - text: "Долен праг:"
        - button "Пусни"
        - button "Спри"
        - group "Състояние на системата:":
          - text: "Състояние на системата:"
          - radio "Включено"
          - text: Включено
          - radio "Изключено" [checked]
          - text: Изключено
      `);

      await page.clock.resume();  // axe-core needs running timers
      const axe = await new AxeBuilder({ page }).withTags(['wcag2a', 'wcag2aa']).analyze();
      expect(axe.violations.map((violation) => `${violation.id}: ${violation.nodes.map((n) => n.target)}`)).toEqual([]);
    });

    test('the scroll bar tells screen readers its value once a second while its thumb moves every tick',
      async ({ page, context }) => {
        await open(page, context);
        const bar = page.locator('#VScroll1');
        // After each tick: the clock, the thumb's place, the value screen
        // readers have and the readout's temperature.
        const sample = () => page.evaluate((prefix) => ({
          at: Date.now(),
          thumb: document.querySelector('#VScroll1 [data-part="thumb"]').offsetTop,
          value: document.getElementById('VScroll1').getAttribute('aria-valuenow'),
          temperature: Number(document.getElementById('Label1_1').textContent.slice(prefix.length)),
        }), READOUT);
        const steps = [await sample()];
        await page.locator('#Command1_0').click();
        for (let i = 0; i < 35; i++) {
          await tick(page);
          steps.push(await sample());
        }
        const runTime = steps.at(-1).at - steps[0].at;
        for (let i = 1; i < steps.length; i++) {
          expect(steps[i].temperature, `tick ${i}`).toBe(steps[i - 1].temperature + 1);
          expect(steps[i].thumb, `tick ${i}: the thumb moves up`).toBeLessThan(steps[i - 1].thumb);
        }
        // The value changes to the temperature of the moment, at most once a
        // second, and does change while the run goes on.
        const reports = steps.filter((step, i) => i > 0 && step.value !== steps[i - 1].value);
        for (const report of reports) expect(Number(report.value)).toBe(report.temperature);
        for (let i = 1; i < reports.length; i++) {
          expect(reports[i].at - reports[i - 1].at).toBeGreaterThanOrEqual(1000);
        }
        expect(reports.length).toBeGreaterThanOrEqual(Math.floor(runTime / 1000));
        expect(reports.length).toBeLessThan(steps.length / 5);

        // The user's own move is told at once, during the run as well.
        await bar.focus();
        await tick(page);
        expect(await reported(page)).not.toBe(await temperature(page));
        await page.keyboard.press('ArrowUp');
        expect(await reported(page)).toBe(await temperature(page));
        // So is where the run stopped.
        await tick(page, 3);
        expect(await reported(page)).not.toBe(await temperature(page));
        await page.locator('#Command1_1').click();
        expect(await reported(page)).toBe(await temperature(page));
      });

    test('a fatal error shows its message and leaves the page inert', async ({ page, context }) => {
      await open(page, context);
      await page.locator('#Command1_0').click();
      await tick(page, 2);
      // The bar's position outside the scale, as no user can ask for it: the
      // program's own export, which the page's scope holds.
      await page.evaluate(() => _dulmeri_VScroll1_UserChange(designData.scrollRequest.position, 101));
      const dialog = page.locator('#fatal');
      await expect(dialog).toBeVisible();
      await expect(dialog).toContainText('Грешка по време на изпълнение: Недопустима стойност на свойство');
      await expect(dialog).toContainText('Презаредете страницата');
      await expect(page.locator('#fatal-reload')).toBeFocused();
      await expect(page.locator('#MainForm')).toHaveAttribute('inert', '');
      await page.keyboard.press('Escape');
      await expect(dialog).toBeVisible();
      const before = await page.locator('#Label1_1').textContent();
      await tick(page, 5);  // the timer has stopped
      const button = await page.locator('#Command1_0').boundingBox();
      await page.mouse.click(button.x + 5, button.y + 5);
      await tick(page, 5);
      await expect(page.locator('#Label1_1')).toHaveText(before);
      // The dialog's one button starts the page again.
      await page.locator('#fatal-reload').click();
      await expect(page.locator('#fatal')).toBeHidden();
      await expect(page.locator('#MainForm')).not.toHaveAttribute('inert', '');
      await expect(page.locator('#Label1_1')).toHaveText('Моментна стойност: 0');
    });

    test.describe('on a phone', () => {
      test.use({ viewport: { width: 360, height: 640 }, hasTouch: true, isMobile: true });

      test('the whole window fits the screen and works with a finger', async ({ page, context }) => {
        await open(page, context);
        const window = await page.locator('#MainForm').boundingBox();
        expect(window.x).toBeGreaterThanOrEqual(0);
        expect(window.x + window.width).toBeLessThanOrEqual(360.5);
        expect(window.width).toBeGreaterThan(350);  // scaled down, not cut
        expect(await page.evaluate(() => document.scrollingElement.scrollWidth)).toBeLessThanOrEqual(360);
        const tap = async (selector) => {
          const box = await page.locator(selector).boundingBox();
          await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
        };
        await tap('#Command1_0');
        await tick(page, 3);
        expect(await temperature(page)).toBe(3);
        await tap('#Command1_1');
        await tap('#VScroll1 [data-part="up"]');
        expect(await temperature(page)).toBe(4);
        await tap('#VScroll1 [data-part="track"]');  // above the thumb, which is near the bottom
        expect(await temperature(page)).toBe(5);
        await tap('#Text2_0');
        await expect(page.locator('#Text2_0')).toBeFocused();
        await expect(page.locator('#Text2_0')).toHaveAttribute('inputmode', 'decimal');
      });
    });

    if (delivery.name === 'site') {
      test('the installed app opens offline', async ({ page, context }) => {
        await open(page, context);
        await expect(page.locator('link[rel="manifest"]')).toHaveAttribute('href', 'manifest.webmanifest');
        const manifest = JSON.parse(readFileSync(join(SITE, 'manifest.webmanifest'), 'utf8'));
        expect(manifest).toMatchObject({ name: 'Дулмери - терморегулатор', lang: 'bg', display: 'standalone' });
        expect(manifest.icons.map((icon) => icon.sizes)).toEqual(expect.arrayContaining(['192x192', '512x512']));
        await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
        await context.setOffline(true);
        await page.reload();
        await ready(page);
        await page.locator('#Command1_0').click();
        await tick(page, 4);
        await expect(page.locator('#Label1_1')).toHaveText(READOUT + '4');
        problems.length = 0;  // the browser's own notes about the missing network
      });
    }
  });
}
