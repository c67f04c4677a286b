// The page's end-to-end checks shared by its tests in the three browser
// engines: Chromium (Playwright, page.spec.mjs), Firefox (Puppeteer over
// WebDriver BiDi, firefox.test.mjs) and WebKit (WebKitWebDriver driving
// MiniBrowser, webkit.test.mjs). Here: what the window must show (its layout
// from the design, its colours, its tab order), the script each test puts
// into the page before the page's own (a fake clock and an error trap), and
// the checks, written against a small driver that each engine's test gives:
//
//   evaluate(expression)  the value of a JavaScript expression in the page
//                         (awaited when it is a promise), as JSON
//   click(x, y)           a real pointer click at a point of the viewport
//   moveMouse(x, y)       the pointer moved there, nothing pressed
//   press(key)            one key: 'Tab', 'End', 'Backspace', 'F2'
//   type(text)            one key press for each character
//   screenshot()          a PNG of the viewport
//
// Every action is real input: the page is never called by the tests.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import { decodePng } from './png.mjs';

// The design's colours, as the window must show them, and the page's own
// white text boxes and light scroll bar track.
const LAYOUT = readDesign();
const background = (name) => LAYOUT.widgets[name].background;
export const COLOURS = {
  window: LAYOUT.colours.window, label: background('Label1_4'), box: [255, 255, 255], track: [224, 224, 224],
  start: background('Command1_0'), stop: background('Command1_1'), on: background('Option1_0'),
  off: background('Option1_1'), gaugeRed: LAYOUT.colours.gaugeRed, gaugeBlue: LAYOUT.colours.gaugeBlue,
};
// Where each colour is looked for: [widget, dx, dy] within the widget's box
// (negative: from its far edge).
export const COLOUR_POINTS = {
  window: ['MainForm', 3, 100], label: ['Label1_4', -3, -3], box: ['Text2_0', 5, -5],
  track: ['VScroll1', 12, 40], start: ['Command1_0', 5, -5], stop: ['Command1_1', 5, -5],
  on: ['Option1_0', -3, -3], off: ['Option1_1', -3, -3],
  gaugeTop: ['Picture1', 48, 10], gaugeBottom: ['Picture1', 48, -6],
};
export const TAB_ORDER = ['Text1_0', 'Picture1', 'VScroll1', 'Text2_0', 'Text2_1', 'Text2_2', 'Command1_0', 'Command1_1'];
export const READOUT = 'Моментна стойност: ';
const PERIOD_MS = 100;

export const near = (actual, expected, tolerance = 2) =>
  actual.every((value, i) => Math.abs(value - expected[i]) <= tolerance);

// The window's layout as the design places it, in CSS pixels of the window
// (tests/design/design_layout.cpp writes it at build time).
export function readDesign(file = process.env.DULMERI_EXPECTED_LAYOUT) {
  assert.ok(file, 'DULMERI_EXPECTED_LAYOUT names the expected layout');
  return JSON.parse(readFileSync(file, 'utf8'));
}

// Every shown widget's box within the window; Frame1's option buttons are
// given in the window's coordinates too.
export function expectedLayout(layout) {
  const [width, height] = layout.client;
  const boxes = { MainForm: { left: 0, top: 0, width, height } };
  const hidden = [];
  for (const [name, widget] of Object.entries(layout.widgets)) {
    if (!widget.visible) {
      hidden.push(name);
      continue;
    }
    const [left, top, boxWidth, boxHeight] = widget.box;
    boxes[name] = { left, top, width: boxWidth, height: boxHeight };
  }
  return { boxes, hidden };
}

// The same for the view "Наблюдение" (ObservationTable()), within the view.
export function expectedViewLayout(layout) {
  const [width, height] = layout.observation;
  const boxes = { Observation: { left: 0, top: 0, width, height } };
  for (const [name, widget] of Object.entries(layout.observationWidgets)) {
    const [left, top, boxWidth, boxHeight] = widget.box;
    boxes[name] = { left, top, width: boxWidth, height: boxHeight };
  }
  return { boxes, hidden: [] };
}

// ---- Put into the page before its own scripts run.
//
// The fake clock: setTimeout, clearTimeout, performance.now and Date follow a
// time that moves only when the test runs window.testClock.runFor(ms), which
// fires the due timers in order, each at its own time. The error trap keeps
// uncaught errors, rejected promises and console errors in
// window.testErrors, for the engines whose driver does not pass them on.
function installInPage() {
  const errors = [];
  window.testErrors = errors;
  window.addEventListener('error', (event) => errors.push('error: ' + (event.error || event.message)));
  window.addEventListener('unhandledrejection', (event) => errors.push('unhandled rejection: ' + event.reason));
  const consoleError = console.error.bind(console);
  console.error = (...parts) => {
    errors.push('console: ' + parts.join(' '));
    consoleError(...parts);
  };

  const RealDate = Date;
  const epoch = RealDate.now();
  let now = 0;
  let lastId = 0;
  const timers = new Map();
  window.setTimeout = (callback, delay, ...args) => {
    const id = ++lastId;
    timers.set(id, { due: now + Math.max(0, Number(delay) || 0), callback, args });
    return id;
  };
  window.clearTimeout = (id) => { timers.delete(id); };
  performance.now = () => now;
  class FakeDate extends RealDate {
    constructor(...args) {
      if (args.length === 0) super(epoch + now);
      else super(...args);
    }
    static now() { return epoch + now; }
  }
  window.Date = FakeDate;
  window.testClock = {
    runFor(ms) {
      const end = now + ms;
      for (;;) {
        let nextId = 0, next = null;
        for (const [id, timer] of timers) {
          if (timer.due <= end && (!next || timer.due < next.due)) { nextId = id; next = timer; }
        }
        if (!next) break;
        timers.delete(nextId);
        now = next.due;
        try {
          if (typeof next.callback === 'function') next.callback(...next.args);
        } catch (error) {
          errors.push('error in a timer: ' + error);
        }
      }
      now = end;
    },
  };
}
export const INIT_SCRIPT = `(${installInPage})();`;
// An HTML page with INIT_SCRIPT as the first script in its head, for a driver
// that cannot add a script to every new document itself.
export function withInitScript(html) {
  const head = html.indexOf('<head>');
  assert.ok(head >= 0, 'the page has a <head>');
  const at = head + '<head>'.length;
  return html.slice(0, at) + '<script>' + INIT_SCRIPT + '</script>' + html.slice(at);
}

// ---- Small steps, in every engine alike.
const call = (fn, ...args) => `(${fn})(...${JSON.stringify(args)})`;

// Waits until the window is shown (the program has loaded and started).
export async function waitUntilShown(driver, timeoutMs = 30_000) {
  const deadline = Date.now() + timeoutMs;
  while (!(await driver.evaluate(call(() => {
    const form = document.getElementById('MainForm');
    return !!form && !form.classList.contains('loading') && document.activeElement?.id === 'Text1_0';
  })))) {
    const errors = await driver.evaluate('window.testErrors || []');
    assert.deepEqual(errors, [], 'errors while the page loads');
    assert.ok(Date.now() < deadline, 'the window is shown within ' + timeoutMs / 1000 + ' s');
    await new Promise((done) => setTimeout(done, 50));  // polling the page's start, not its ticks
  }
}

export const tick = (driver, count = 1) => driver.evaluate(`window.testClock.runFor(${PERIOD_MS * count})`);

// A widget's box in the viewport.
export const boxOf = (driver, id) => driver.evaluate(call((id) => {
  const rect = document.getElementById(id).getBoundingClientRect();
  return { x: rect.x, y: rect.y, width: rect.width, height: rect.height };
}, id));

export async function clickWidget(driver, id) {
  const box = await boxOf(driver, id);
  await driver.click(box.x + box.width / 2, box.y + box.height / 2);
}

const valueOf = (driver, id) => driver.evaluate(call((id) => document.getElementById(id).value, id));
const textOf = (driver, id) => driver.evaluate(call((id) => document.getElementById(id).textContent, id));
const focused = (driver) => driver.evaluate('document.activeElement && document.activeElement.id');

// Screenshot pixels once the page has painted its latest changes.
export async function pixels(driver) {
  await driver.evaluate('new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done(true))))');
  return decodePng(await driver.screenshot());
}

// [r, g, b] at each of COLOUR_POINTS.
export async function colours(driver) {
  const shot = await pixels(driver);
  const found = {};
  for (const [name, [id, dx, dy]] of Object.entries(COLOUR_POINTS)) {
    const box = await boxOf(driver, id);
    found[name] = shot.at(box.x + (dx < 0 ? box.width + dx : dx), box.y + (dy < 0 ? box.height + dy : dy));
  }
  return found;
}

// ---- The checks.

// No error so far: uncaught, rejected or logged (the page's own trap).
export async function checkNoErrors(driver) {
  assert.deepEqual(await driver.evaluate('window.testErrors'), [], 'errors in the page');
}

// Every widget where the design puts it, at its size (to half a pixel); the
// invisible widgets not shown at all. The window's, or with `view` the view
// "Наблюдение"'s (open).
export async function checkLayout(driver, design, { view = false } = {}) {
  const expected = view ? expectedViewLayout(design) : expectedLayout(design);
  const measured = await driver.evaluate(call((root, names, hidden) => {
    const form = document.getElementById(root).getBoundingClientRect();
    const scale = form.width / document.getElementById(root).offsetWidth;
    const boxes = {};
    for (const name of names) {
      const rect = document.getElementById(name).getBoundingClientRect();
      boxes[name] = { left: (rect.left - form.left) / scale, top: (rect.top - form.top) / scale,
                      width: rect.width / scale, height: rect.height / scale };
    }
    return { boxes, shown: hidden.filter((name) => document.getElementById(name).getClientRects().length > 0) };
  }, view ? 'Observation' : 'MainForm', Object.keys(expected.boxes), expected.hidden));
  const wrong = [];
  for (const [name, box] of Object.entries(expected.boxes)) {
    const got = measured.boxes[name];
    for (const side of ['left', 'top', 'width', 'height']) {
      if (Math.abs(got[side] - box[side]) > 0.5) wrong.push(`${name}.${side}: ${got[side]} instead of ${box[side]}`);
    }
  }
  assert.deepEqual(wrong, [], 'widgets away from the design');
  assert.deepEqual(measured.shown, [], 'invisible widgets shown');
}

// The explanation box shows its vertical scroll bar without the pointer over
// it: a full-height column at its right edge that is not the box's white,
// holding two shades (the thumb and the track).
export async function checkScrollBarShows(driver) {
  const overflow = await driver.evaluate(call(() => {
    const box = document.getElementById('Text1_0');
    return box.scrollHeight - box.clientHeight;
  }));
  assert.ok(overflow > 0, 'the explanation is longer than its box');
  await driver.moveMouse(1, 1);
  const box = await boxOf(driver, 'Text1_0');
  const shot = await pixels(driver);
  const white = (pixel) => near(pixel, [255, 255, 255], 8);
  const top = Math.ceil(box.y) + 3, bottom = Math.floor(box.y + box.height) - 3;
  const right = Math.floor(box.x + box.width) - 1;  // the last column inside the border
  const columns = [];
  for (let x = right - 14; x <= right - 2; x++) {
    let filled = 0;
    const shades = [];
    for (let y = top; y < bottom; y++) {
      const pixel = shot.at(x, y);
      if (white(pixel)) continue;
      filled++;
      if (!shades.some((shade) => near(shade, pixel, 10))) shades.push(pixel);
    }
    columns.push({ x, filled: filled / (bottom - top), shades: shades.length });
  }
  // The fullest column, and of those the one with the most shades (through the thumb).
  const best = columns.reduce((a, b) => (b.filled > a.filled + 0.01 ||
    (Math.abs(b.filled - a.filled) <= 0.01 && b.shades > a.shades) ? b : a));
  assert.ok(best.filled >= 0.95, `a scroll bar at the right edge of the explanation: the fullest column ` +
            `(x ${best.x}) is ${(best.filled * 100).toFixed(0)} % not white`);
  assert.ok(best.shades >= 2, `the scroll bar shows its thumb on the track (x ${best.x}: ${best.shades} shade)`);
}

// The width of every text run of the window (the captions), measured in the
// page at its size and the same text at 1600 px scaled down: the font's own
// widths, free of any rounding to the screen's pixels, and the same in every
// engine. Each run must be within half a pixel of that, so any two engines
// agree within a pixel. Measured with the fonts the page gets on this
// machine, then with its own web font (what a device without Times New Roman
// shows). `record` gets the measurements first, even when they fail.
export async function checkTextWidths(driver, record = () => {}) {
  const measure = async (fontFamily) => driver.evaluate(call(async (fontFamily) => {
    const style = document.createElement('style');
    if (fontFamily) {
      style.textContent = `#MainForm,#MainForm *{font-family:${fontFamily} !important}`;
      document.head.appendChild(style);
      await document.fonts.load(`16px ${fontFamily}`, 'Дулмери');
    }
    const form = document.getElementById('MainForm');
    const scale = form.getBoundingClientRect().width / form.offsetWidth;
    const probe = document.createElement('span');
    document.body.appendChild(probe);
    const runs = [];
    const walker = document.createTreeWalker(form, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      const text = node.textContent.trim();
      if (!text || node.parentElement.closest('textarea')) continue;
      const range = document.createRange();
      range.selectNodeContents(node);
      const font = getComputedStyle(node.parentElement);
      probe.style.cssText = 'position:absolute;left:0;top:0;white-space:nowrap;visibility:hidden;font-size:1600px';
      for (const property of ['fontFamily', 'fontStyle', 'fontWeight', 'fontStretch']) probe.style[property] = font[property];
      probe.textContent = node.textContent;
      runs.push({ widget: node.parentElement.closest('[id]').id, text,
                  width: range.getBoundingClientRect().width / scale,
                  font: probe.getBoundingClientRect().width / 100 });
    }
    probe.remove();
    style.remove();
    return runs;
  }, fontFamily));
  const measured = { page: await measure(null), webFont: await measure('"Dulmeri Serif"') };
  record(measured);
  const wrong = [];
  for (const [fonts, runs] of Object.entries(measured)) {
    assert.ok(runs.length >= 10, 'the captions are measured');
    for (const run of runs) {
      if (Math.abs(run.width - run.font) > 0.5) {
        wrong.push(`${fonts} ${run.widget} "${run.text}": ${run.width.toFixed(2)} px, the font's ${run.font.toFixed(2)}`);
      }
    }
  }
  assert.deepEqual(wrong, [], 'text runs wider or narrower than their font makes them');
}

// The design's colours on the screen, with the gauge all blue at 0.
export async function checkColours(driver) {
  const seen = await colours(driver);
  const expected = { ...COLOURS, gaugeTop: COLOURS.gaugeBlue, gaugeBottom: COLOURS.gaugeBlue };
  for (const name of Object.keys(COLOUR_POINTS)) {
    assert.ok(near(seen[name], expected[name]), `${name}: ${seen[name]} instead of ${expected[name]}`);
  }
}

// Tab goes through the widgets in the design's order, from the explanation
// that has the focus when the window opens.
export async function checkTabOrder(driver) {
  const order = [await focused(driver)];
  for (let i = 1; i < TAB_ORDER.length; i++) {
    await driver.press('Tab');
    order.push(await focused(driver));
  }
  assert.deepEqual(order, TAB_ORDER);
}

// "Пусни" and ten ticks: the readout counts them, the gauge fills red from
// the bottom, the heater switches on and the live region says so; "Спри"
// stops the run and the heater, and says that too.
export async function checkRunAndStop(driver) {
  await driver.evaluate(call(() => {
    window.spoken = [];
    new MutationObserver((records) => {
      for (const record of records) for (const node of record.addedNodes) window.spoken.push(node.textContent);
    }).observe(document.getElementById('announcer'), { childList: true });
  }));
  await clickWidget(driver, 'Command1_0');
  await tick(driver, 10);
  assert.equal(await textOf(driver, 'Label1_1'), READOUT + '10');
  const seen = await colours(driver);
  assert.ok(near(seen.gaugeBottom, COLOURS.gaugeRed), `gauge bottom: ${seen.gaugeBottom}`);
  assert.ok(near(seen.gaugeTop, COLOURS.gaugeBlue), `gauge top: ${seen.gaugeTop}`);
  assert.equal(await driver.evaluate(call(() => document.querySelector('#Option1_0 input').checked)), true);
  assert.deepEqual(await driver.evaluate('window.spoken'), ['Симулацията е пусната', 'Включено']);
  assert.equal(await driver.evaluate(call(() => document.getElementById('announcer').getAttribute('aria-live'))),
               'polite');

  await clickWidget(driver, 'Command1_1');
  const stopped = await textOf(driver, 'Label1_1');
  await tick(driver, 5);
  assert.equal(await textOf(driver, 'Label1_1'), stopped, 'no tick after "Спри"');
  assert.equal(await driver.evaluate(call(() => document.querySelector('#Option1_1 input').checked)), true);
  assert.deepEqual((await driver.evaluate('window.spoken')).slice(-2), ['Изключено', 'Симулацията е спряна']);
}

// The threshold boxes take at most two typed characters; a full box takes no
// more.
export async function checkThresholdTyping(driver) {
  for (const id of ['Text2_0', 'Text2_2']) {
    await clickWidget(driver, id);
    assert.equal(await focused(driver), id);
    await driver.press('End');
    for (let i = 0; i < 4; i++) await driver.press('Backspace');
    assert.equal(await valueOf(driver, id), '');
    await driver.type('123');
    assert.equal(await valueOf(driver, id), '12', `${id} after typing 123`);
    await driver.type('4');
    assert.equal(await valueOf(driver, id), '12', `${id} full`);
  }
}

// The view "Наблюдение": F2 from a widget opens it, its button under the
// window closes it; a run at the thresholds the window starts with (81 and
// 90) switches 21 times in its first 90 + 180 ticks (the climb to 90, then
// ten whole cycles). The view then shows as many drawings as the design has
// picture boxes, in their order, each an image named by its title with a
// drawing of its own: pixels not of its box's background, unlike any other's.
export async function checkObservationView(driver, design = LAYOUT) {
  const state = () => driver.evaluate(call(() => ({
    hidden: document.getElementById('Observation').hidden,
    expanded: document.getElementById('ObservationButton').getAttribute('aria-expanded'),
  })));
  assert.deepEqual(await state(), { hidden: true, expanded: 'false' });
  await clickWidget(driver, 'Text2_0');
  await driver.press('F2');
  assert.deepEqual(await state(), { hidden: false, expanded: 'true' });
  assert.equal(await focused(driver), 'Text2_0', 'F2 leaves the focus where it is');
  assert.equal(await valueOf(driver, 'Text2_0'), '81', 'F2 types nothing');
  await clickWidget(driver, 'Command1_0');
  await tick(driver, 90 + 180);
  assert.equal(await textOf(driver, 'Figure_0'), 'Превключвания: 21');
  await checkViewDrawings(driver, design);
  await clickWidget(driver, 'ObservationButton');
  assert.deepEqual(await state(), { hidden: true, expanded: 'false' });
  await clickWidget(driver, 'Command1_1');
}

// Each picture box of the view's design a drawing on the screen (the view
// open, after a run): as many images as picture boxes, each in its box, and
// inside its sunken edge at least a hundred pixels away from the box's
// background, not the same pixels as any other drawing's.
export async function checkViewDrawings(driver, design = LAYOUT) {
  const pictures = Object.entries(design.observationWidgets).filter(([, widget]) => widget.kind === 'PictureBox')
    .map(([name]) => name);
  assert.ok(pictures.length >= 2, `the design has its drawings (${pictures})`);
  const shown = await driver.evaluate(call(() => [...document.querySelectorAll('#Observation svg[role=img]')]
    .map((image) => ({ box: image.closest('[id]').id, name: image.getAttribute('aria-label'),
      background: getComputedStyle(image.closest('[id]')).backgroundColor }))));
  assert.deepEqual(shown.map((image) => image.box), pictures, 'one image for each picture box, in the design\'s order');
  const shot = await pixels(driver);
  const drawings = [];
  for (const [index, name] of pictures.entries()) {
    assert.ok(shown[index].name, `${name} is named`);
    const background = shown[index].background.match(/\d+/g).slice(0, 3).map(Number);
    const box = await boxOf(driver, name);
    const inset = 4;
    const drawn = [];
    for (let y = Math.ceil(box.y) + inset; y < Math.floor(box.y + box.height) - inset; y++) {
      for (let x = Math.ceil(box.x) + inset; x < Math.floor(box.x + box.width) - inset; x++) {
        if (!near(shot.at(x, y), background, 24)) drawn.push(`${x - Math.ceil(box.x)},${y - Math.ceil(box.y)}`);
      }
    }
    assert.ok(drawn.length >= 100, `${name} draws ${drawn.length} pixels on its background ${background}`);
    drawings.push({ name, drawn: drawn.join(' ') });
  }
  for (let a = 0; a < drawings.length; a++) {
    for (let b = a + 1; b < drawings.length; b++) {
      assert.notEqual(drawings[a].drawn, drawings[b].drawn, `${drawings[a].name} and ${drawings[b].name} alike`);
    }
  }
}
