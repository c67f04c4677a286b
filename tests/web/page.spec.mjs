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
    async function open(page, context, query = '') {
      problems.length = 0;
      page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
      page.on('pageerror', (error) => problems.push(String(error)));
      page.on('dialog', (dialog) => { problems.push('dialog: ' + dialog.message()); dialog.dismiss(); });
      if (delivery.name !== 'site') {
        await context.route('**', (route) => {
          const requested = route.request().url();
          if (requested.startsWith('file:') || requested.startsWith('data:')) return route.continue();
          problems.push('network request: ' + requested);
          return route.abort();
        });
      }
      await page.clock.install();
      await page.goto(url + query);
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
          thumb: document.querySelector('#VScroll1 [data-part="thumb"]').getBoundingClientRect().top,
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

    // The view "Наблюдение" on a screen wide enough for it beside the window
    // at full size.
    test('the view "Наблюдение": F2 and its button, its layout, and a run\'s figures, drawing and table, for everyone',
      async ({ page, context }) => {
        await page.setViewportSize({ width: 1100, height: 720 });
        await open(page, context);
        const view = page.locator('#Observation'), button = page.locator('#ObservationButton');
        await expect(view).toBeHidden();
        await expect(button).toHaveAttribute('aria-expanded', 'false');
        await expect(button).toHaveAttribute('aria-controls', 'Observation');

        // F2 wherever the focus is opens and closes it, and types nothing;
        // so does the button under the window.
        for (const id of ['Text1_0', 'Picture1', 'VScroll1', 'Text2_0', 'Command1_1']) {
          await page.locator('#' + id).focus();
          await page.keyboard.press('F2');
          await expect(view, id).toBeVisible();
          await expect(button).toHaveAttribute('aria-expanded', 'true');
          await expect(page.locator('#' + id)).toBeFocused();
          await page.keyboard.press('F2');
          await expect(view, id).toBeHidden();
          await expect(button).toHaveAttribute('aria-expanded', 'false');
        }
        await expect(page.locator('#Text2_0')).toHaveValue('81');
        await button.click();
        await expect(view).toBeVisible();
        await expect(button).toHaveAttribute('aria-expanded', 'true');
        await button.click();
        await expect(view).toBeHidden();
        await page.keyboard.press('F2');
        await expect(view).toBeVisible();

        // Beside the window, at the design's size, every widget where the
        // design puts it; the window itself as before.
        const windowBox = await page.locator('#MainForm').boundingBox(), viewBox = await view.boundingBox();
        expect(viewBox.x).toBeGreaterThanOrEqual(windowBox.x + windowBox.width);
        expect(viewBox.y).toBeCloseTo(windowBox.y, 0);
        const driver = { evaluate: (expression) => page.evaluate(expression) };
        await checks.checkLayout(driver, checks.readDesign(), { view: true });
        await checks.checkLayout(driver, checks.readDesign());

        // Tab goes on from the window's last widget to the button, then into
        // the view: its table and its button.
        await page.locator('#Command1_1').focus();
        for (const id of ['ObservationButton', 'Bands', 'CopyBands']) {
          await page.keyboard.press('Tab');
          await expect(page.locator('#' + id)).toBeFocused();
        }

        // A run at 81 and 90: 90 ticks to the upper threshold, then ten whole
        // cycles of 18. Numbers with the decimal sign of the browser's language.
        const decimal = (text) => text.replace(/(\d)\.(\d)/g, `$1${delivery.separator}$2`);
        await page.locator('#Command1_0').click();
        await tick(page, 90 + 180);
        await expect(page.locator('#Figure_0')).toHaveText('Превключвания: 21');
        await expect(page.locator('#Figure_1')).toHaveText(decimal('Превключвания в минута: 66.7'));
        await expect(page.locator('#Figure_2')).toHaveText(decimal('Средно време между превключванията: 0.9 с'));
        expect(await page.locator('#Bands th').evaluateAll((cells) => cells.map((cell) => [cell.scope, cell.textContent])))
          .toEqual(['Долен праг', 'Горен праг', 'Ширина', 'Превключвания в минута', 'По правилото']
            .map((header) => ['col', header]));
        expect(await page.locator('#Bands tbody tr').evaluateAll((rows) => rows.map((row) =>
          [...row.cells].map((cell) => cell.textContent)))).toEqual([['81', '90', '9', decimal('66.7'), decimal('66.7')]]);

        // The trace as drawn: the two dashed threshold lines (the design's dark
        // grey, one pixel: rows of it broken by gaps, within the box's sunken
        // edge of the same grey), and every red or blue pixel of the steady part
        // (right of where the climb from 0 crosses the lower line) between
        // them, from one to the other, in both colours.
        const shot = decodePng(await page.locator('#Trace svg').screenshot());
        const isDash = (pixel) => near(pixel, [64, 64, 64], 24);
        const isRed = (pixel) => pixel[0] - pixel[1] > 90 && pixel[0] - pixel[2] > 90;
        const isBlue = (pixel) => pixel[2] - pixel[0] > 50 && pixel[2] - pixel[1] > 35;
        const dashRows = [];
        for (let y = 2; y < shot.height - 2; y++) {
          let dashes = 0;
          for (let x = 2; x < shot.width - 2; x++) if (isDash(shot.at(x, y))) dashes++;
          if (dashes > shot.width / 5 && dashes < shot.width * 0.9) dashRows.push(y);
        }
        expect(dashRows.length, `dashed rows ${dashRows}`).toBe(2);
        const [upperRow, lowerRow] = dashRows;
        const trace = [];
        for (let y = 0; y < shot.height; y++) {
          for (let x = 0; x < shot.width; x++) {
            const pixel = shot.at(x, y);
            if (isRed(pixel)) trace.push({ x, y, red: true });
            else if (isBlue(pixel)) trace.push({ x, y, red: false });
          }
        }
        const climbEnds = Math.max(...trace.filter((p) => p.y > lowerRow + 2).map((p) => p.x));
        const steady = trace.filter((p) => p.x > climbEnds + 2);
        expect(steady.length).toBeGreaterThan(300);
        const outside = steady.filter((p) => p.y < upperRow - 2 || p.y > lowerRow + 2);
        expect(outside, `rows ${upperRow}..${lowerRow}`).toEqual([]);
        expect(Math.min(...steady.map((p) => p.y))).toBeLessThanOrEqual(upperRow + 2);
        expect(Math.max(...steady.map((p) => p.y))).toBeGreaterThanOrEqual(lowerRow - 2);
        expect(steady.some((p) => p.red) && steady.some((p) => !p.red)).toBe(true);

        // For screen readers: the drawings are images named by their titles
        // and described as they are now; the description follows the run.
        const cdp = await context.newCDPSession(page);
        const described = async () => {
          const { nodes } = await cdp.send('Accessibility.getFullAXTree');
          return Object.fromEntries(nodes.filter((node) => node.role?.value === 'image')
            .map((node) => [node.name?.value, node.description?.value]));
        };
        expect(await described()).toEqual({
          'Температура във времето': decimal('През последните 27 с температурата е между 1 и 90; долният праг е 81, ' +
            'горният 90; превключва 46.7 пъти в минута.'),
          'Хистерезисна примка': 'Нагревателят се включва при 81 и се изключва при 90. Сега температурата е 90 и ' +
            'нагревателят е включен.',
          'Превключвания според ширината': decimal('Превключвания в минута според ширината: при 9 – 66.7. Опитайте и ' +
            'друга ширина, за да сравните. Сега е в сила ширина 9.'),
        });
        await tick(page, 10);
        expect((await described())['Температура във времето']).toMatch(/^През последните 28 с /);
        await expect(view).toMatchAriaSnapshot(`
          - region "Наблюдение":
            - text: Температура във времето
            - img "Температура във времето"
            - text: Хистерезисна примка
            - img "Хистерезисна примка"
            - text: Превключвания според ширината
            - img "Превключвания според ширината"
            - text: "/Превключвания: \\\\d+ Превключвания в минута: \\\\d+[.,]\\\\d Средно време между превключванията: 0[.,]9 с/"
            - group "Опитани прагове":
              - table "Опитани прагове":
                - caption: Опитани прагове
                - rowgroup:
                  - row "Долен праг Горен праг Ширина Превключвания в минута По правилото":
                    - columnheader "Долен праг"
                    - columnheader "Горен праг"
                    - columnheader "Ширина"
                    - columnheader "Превключвания в минута"
                    - columnheader "По правилото"
                - rowgroup:
                  - row /81 90 9 66[.,]7 66[.,]7/:
                    - cell "81"
                    - cell "90"
                    - cell "9"
                    - cell /66[.,]7/
                    - cell /66[.,]7/
            - button "Копирай таблицата"
        `);
        await page.clock.resume();  // axe-core needs running timers, the screenshots frames
        await checks.checkViewDrawings({ evaluate: (expression) => page.evaluate(expression),
                                         screenshot: () => page.screenshot() }, checks.readDesign());
        const axe = await new AxeBuilder({ page }).withTags(['wcag2a', 'wcag2aa']).analyze();
        expect(axe.violations.map((violation) => `${violation.id}: ${violation.nodes.map((n) => n.target)}`)).toEqual([]);

        // F2 with the focus in the view closes it and leaves the focus on the
        // button that opens it again.
        await page.locator('#CopyBands').focus();
        await page.keyboard.press('F2');
        await expect(view).toBeHidden();
        await expect(button).toBeFocused();
      });

    test('"Копирай таблицата" puts the table on the clipboard, or shows it selected to be copied by hand',
      async ({ context }) => {
        await context.grantPermissions(['clipboard-read', 'clipboard-write']);
        const expected = 'Долен праг\tГорен праг\tШирина\tПревключвания в минута\tПо правилото\n' +
          `81\t90\t9\t66${delivery.separator}7\t66${delivery.separator}7\n`;
        const cases = [
          { way: 'the asynchronous clipboard', refused: [] },
          { way: 'the copy command, where the asynchronous clipboard refuses', refused: ['clipboard'] },
          { way: 'by hand, where both refuse', refused: ['clipboard', 'command'] },
        ];
        for (const { way, refused } of cases) {
          const tab = await context.newPage();
          await tab.addInitScript((refused) => {
            window.copyCommands = 0;
            if (refused.includes('clipboard')) {
              navigator.clipboard.writeText = () => Promise.reject(new DOMException('refused', 'NotAllowedError'));
            }
            const command = document.execCommand.bind(document);
            document.execCommand = (name, ...rest) => {
              if (name === 'copy') window.copyCommands++;
              return refused.includes('command') ? false : command(name, ...rest);
            };
          }, refused);
          await open(tab, context, '?observe');
          await tab.evaluate(() => navigator.clipboard.constructor.prototype.writeText.call(navigator.clipboard, ''));
          await tab.locator('#Command1_0').click();
          await tick(tab, 90 + 180);
          await tab.locator('#CopyBands').click();
          const byHand = tab.locator('#Bands_text');
          if (refused.includes('command')) {
            await expect(byHand, way).toBeVisible();
            await expect(byHand, way).toBeFocused();
            expect(await byHand.evaluate((box) => [box.value, box.selectionStart, box.selectionEnd]), way)
              .toEqual([expected, 0, expected.length]);
            await tab.keyboard.press('Escape');
            await expect(byHand, way).toBeHidden();
            await expect(tab.locator('#CopyBands'), way).toBeFocused();
          } else {
            await expect.poll(() => tab.evaluate(() => navigator.clipboard.readText()), { message: way }).toBe(expected);
            await expect(byHand, way).toBeHidden();
            await expect(tab.locator('#CopyBands'), way).toBeFocused();
          }
          expect(await tab.evaluate(() => window.copyCommands), way).toBe(refused.length === 0 ? 0 : 1);
          expect(problems, way).toEqual([]);
          await tab.close();
        }
      });

    // What a teacher's link carries is typed into the boxes: two characters
    // at most, checked at the first tick by the program's rules (the lower
    // threshold at least 0, the upper one 10 to 95, at most 1.2 times apart,
    // swapped when the wrong way round). Never markup, never a script.
    test('a teacher\'s link fills the threshold boxes as typing would, and nothing else', async ({ page, context }) => {
      await open(page, context);
      const elements = () => page.evaluate(() => document.getElementsByTagName('*').length);
      const plain = await elements();
      const cases = [
        // query                                                     boxes at start    after the first tick
        ['?lower=70&upper=90',                                       ['70', '90'],     ['70', '90']],
        ['?lower=%3Cimg%20src%3Dx%20onerror%3Dwindow.pwned%3D1%3E',  ['<i', '90'],     ['0', '90']],
        ['?upper=%22%3E%3Cscript%3Ewindow.pwned%3D1%3C%2Fscript%3E', ['81', '">'],     ['10', '12']],
        ['?lower=<b>7</b>&upper="><svg/onload=window.pwned=1>',      ['<b', '">'],     ['0', '10']],
        ['?lower=' + '8'.repeat(5000),                               ['88', '90'],     ['88', '90']],
        ['?lower=-5&upper=99999999999999999999',                     ['-5', '99'],     ['0', '95']],
        ['?lower=NaN&upper=1e9',                                     ['Na', '1e'],     ['0', '10']],
        ['?lower=%D9%A7%D9%A0',                                      ['٧٠', '90'],     ['0', '90']],
        ['?lower=60&lower=75&upper=80&upper=85',                     ['60', '80'],     ['60', '80']],
        ['?lower=7+5',                                               ['7 ', '90'],     ['7', '90']],
        ['?lower=%37%35&upper=%38%35',                               ['75', '85'],     ['75', '85']],
        ['?lower=&upper=',                                           ['', ''],         ['0', '10']],
      ];
      for (const [query, atStart, afterTick] of cases) {
        await page.goto(url + query);
        await ready(page);
        const boxes = () => page.evaluate(() => [document.getElementById('Text2_0').value, document.getElementById('Text2_2').value]);
        expect(await boxes(), query).toEqual(atStart);
        expect(await elements(), query).toBe(plain);
        await expect(page.locator('#Observation'), query).toBeHidden();
        await page.locator('#Command1_0').click();
        await tick(page);
        expect(await boxes(), query).toEqual(afterTick);
        expect(await page.evaluate(() => window.pwned), query).toBeUndefined();
        await expect(page.locator('#fatal'), query).toBeHidden();
        expect(problems, query).toEqual([]);
      }
      // "observe" opens the view at start.
      await page.goto(url + '?lower=70&upper=90&observe');
      await ready(page);
      await expect(page.locator('#Observation')).toBeVisible();
      await expect(page.locator('#ObservationButton')).toHaveAttribute('aria-expanded', 'true');
      await expect(page.locator('#Text2_0')).toHaveValue('70');
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

      test('the view "Наблюдение" opens under the window, both scaled to the screen\'s width', async ({ page, context }) => {
        await open(page, context);
        const button = await page.locator('#ObservationButton').boundingBox();
        await page.touchscreen.tap(button.x + button.width / 2, button.y + button.height / 2);
        await expect(page.locator('#Observation')).toBeVisible();
        const window = await page.locator('#MainForm').boundingBox(), view = await page.locator('#Observation').boundingBox();
        expect(view.y).toBeGreaterThanOrEqual(window.y + window.height);
        expect(view.x).toBeCloseTo(window.x, 0);
        for (const box of [window, view]) {
          expect(box.x).toBeGreaterThanOrEqual(0);
          expect(box.x + box.width).toBeLessThanOrEqual(360.5);
          expect(box.y + box.height).toBeLessThanOrEqual(640.5);
        }
        expect(view.width).toBeCloseTo(window.width, 0);
        expect(await page.evaluate(() => document.scrollingElement.scrollWidth)).toBeLessThanOrEqual(360);
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
