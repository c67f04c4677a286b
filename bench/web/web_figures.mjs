// The browser build's figures, measured in Debian's Chromium, headless:
//
//   node bench/web/web_figures.mjs [BUILD_DIR] [--runs N] [--lighthouse-runs N] [--json FILE]
//                                  [--floor-only] [--floor-rounds N] [--page FILE]...
//
// BUILD_DIR is the web preset's build folder (build/web); the page is its
// single file src/web/dulmeri.html (or FILE; with --floor-only, each FILE
// given, to compare builds side by side) and the site src/web/site/. It prints
// Markdown tables of:
//   - sizes: the single file and every file of the site, raw and gzipped
//     (gzip -9, as a server would send them), and what a first visit to the
//     site fetches;
//   - start-up: from navigation to the first contentful paint, to the largest
//     contentful paint and to the page's own `dulmeri-ready` mark (the first
//     tick is possible), medians of N fresh browser contexts, for the single
//     file from file:// and the site from 127.0.0.1 (also a second, warm
//     visit, and a first visit with the service worker kept out);
//   - the tick: the program's tick called directly many times (in small
//     batches, one to a turn of the event loop), and the main thread's and the processes' time per tick
//     of a real 100 ms run, with the same read while idle, and the layouts
//     each tick costs; both again with the view "Наблюдение" open, which is
//     drawn at every tick;
//   - the tick against the page's floor: side by side in one Chromium, the
//     main thread's time a tick (CDP TaskDuration) of a page of the same size
//     that only changes one label's text every 100 ms, and of the program's
//     page running, with the view "Наблюдение" closed and open, in
//     alternating spans; with what each tick lays out and restyles
//     (--floor-only measures only this, --floor-rounds N spans of each);
//   - memory: the JavaScript heap (CDP Performance.getMetrics) and the
//     renderer's resident memory (VmRSS), against an empty page;
//   - Lighthouse's scores (performance, accessibility, best practices, SEO),
//     mobile and desktop presets, with every audit below full marks.
// These are measurements, not tests: nothing passes or fails.
//
// Set-up once: (cd bench/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci)

import { spawn } from 'node:child_process';
import crypto from 'node:crypto';
import { once } from 'node:events';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import zlib from 'node:zlib';
import { chromium } from 'playwright-core';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const CHROMIUM = process.env.CHROME_PATH || '/usr/bin/chromium';
// No sandbox: the machine runs this as root. No spare renderer, so the one
// renderer process is the page's.
const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run',
  '--disable-features=SpareRendererForSitePerProcess,Translate'];
const RUN_SECONDS = 10;  // idle and running spans for the tick's cost
const LONG_RUN_SECONDS = 30;  // more running, to see whether memory grows
const DIRECT_TICKS = 20000;
const DIRECT_BATCH = 20;  // ticks called in one turn of the event loop

function parseArguments(argv) {
  const options = { build: path.resolve(HERE, '..', '..', 'build', 'web'), runs: 15, lighthouseRuns: 3, json: null,
    floorOnly: false, floorRounds: 5, pages: [] };
  for (let i = 0; i < argv.length; i++) {
    const argument = argv[i];
    if (argument === '--runs') options.runs = Number(argv[++i]);
    else if (argument === '--lighthouse-runs') options.lighthouseRuns = Number(argv[++i]);
    else if (argument === '--json') options.json = argv[++i];
    else if (argument === '--floor-only') options.floorOnly = true;
    else if (argument === '--floor-rounds') options.floorRounds = Number(argv[++i]);
    else if (argument === '--page') options.pages.push(path.resolve(argv[++i]));
    else if (argument.startsWith('-')) throw new Error(`unknown option ${argument}`);
    else options.build = path.resolve(argument);
  }
  return options;
}

// ---- Arithmetic and formatting.

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const summary = (values) => values.length === 0 ? 'n/a'
  : `${median(values).toFixed(1)} (${Math.min(...values).toFixed(1)}–${Math.max(...values).toFixed(1)})`;
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
const bytesAndKib = (bytes) => `${bytes.toLocaleString('en-US')} (${kib(bytes)})`;
const table = (header, rows) => [`| ${header.join(' | ')} |`, `|${header.map(() => '---').join('|')}|`,
  ...rows.map((row) => `| ${row.join(' | ')} |`)].join('\n');

// ---- Sizes.

function filesUnder(folder) {
  return fs.readdirSync(folder, { withFileTypes: true }).flatMap((entry) => {
    const full = path.join(folder, entry.name);
    return entry.isDirectory() ? filesUnder(full) : [full];
  });
}

function sizeOf(file) {
  const data = fs.readFileSync(file);
  return { raw: data.length, gzip: zlib.gzipSync(data, { level: 9 }).length };
}

function measureSizes(singleFile, site) {
  const files = filesUnder(site).sort().map((file) => ({ file: path.relative(site, file), ...sizeOf(file) }));
  const total = files.reduce((sum, f) => ({ raw: sum.raw + f.raw, gzip: sum.gzip + f.gzip }), { raw: 0, gzip: 0 });
  return { single: sizeOf(singleFile), files, total };
}

// ---- A small static server on 127.0.0.1 that answers as a static host
// such as GitHub Pages does: gzip, a validator (ETag) and ten minutes of
// caching.

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.wasm': 'application/wasm', '.css': 'text/css', '.json': 'application/json',
  '.webmanifest': 'application/manifest+json', '.woff2': 'font/woff2', '.png': 'image/png',
  '.svg': 'image/svg+xml', '.ico': 'image/x-icon', '.txt': 'text/plain; charset=utf-8' };
const COMPRESSIBLE = new Set(['.html', '.js', '.mjs', '.wasm', '.css', '.json', '.webmanifest', '.svg', '.ico', '.txt']);

async function serve(folder) {
  const sent = [];  // { path, bytes } of every answer, body as sent
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    let file = path.join(folder, decodeURIComponent(url.pathname));
    if (!file.startsWith(folder)) { response.writeHead(403).end(); return; }
    if (fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
    if (!fs.existsSync(file)) { response.writeHead(404).end(); return; }
    const extension = path.extname(file);
    let body = fs.readFileSync(file);
    const tag = `"${crypto.createHash('sha1').update(body).digest('hex').slice(0, 16)}"`;
    const headers = { 'Content-Type': TYPES[extension] || 'application/octet-stream', 'Cache-Control': 'max-age=600',
      ETag: tag };
    if (request.headers['if-none-match'] === tag) {
      sent.push({ path: url.pathname, bytes: 0 });
      response.writeHead(304, headers).end();
      return;
    }
    if (COMPRESSIBLE.has(extension) && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body, { level: 9 });
      headers['Content-Encoding'] = 'gzip';
      headers.Vary = 'Accept-Encoding';
    }
    headers['Content-Length'] = body.length;
    sent.push({ path: url.pathname, bytes: body.length });
    response.writeHead(200, headers).end(request.method === 'HEAD' ? undefined : body);
  });
  server.listen(0, '127.0.0.1');
  await once(server, 'listening');
  return { server, sent, url: `http://127.0.0.1:${server.address().port}/` };
}

// ---- Chromium's processes, read from /proc.

function processTable() {
  const table = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      // Chromium's forked processes rewrite theirs as one string.
      const cmdline = fs.readFileSync(`/proc/${name}/cmdline`, 'utf8').split('\0').join(' ');
      table.set(Number(name), { ppid: Number(fields[1]), cpuTicks: Number(fields[11]) + Number(fields[12]), cmdline });
    } catch { /* the process ended meanwhile */ }
  }
  return table;
}

function descendants(root) {
  const table = processTable();
  const found = [];
  const visit = (pid) => {
    for (const [child, info] of table) {
      if (info.ppid === pid) { found.push({ pid: child, ...info }); visit(child); }
    }
  };
  visit(root);
  return [{ pid: root, ...table.get(root) }, ...found];
}

// Chromium's browser process: this script's descendant without a --type.
function browserProcess() {
  const main = descendants(process.pid).find((p) => p.pid !== process.pid &&
    /^\S*chromium /.test(p.cmdline) && !/ --type=/.test(p.cmdline));
  if (!main) throw new Error('cannot find Chromium\'s browser process under this script');
  return main.pid;
}

const renderers = (browserPid) => descendants(browserPid)
  .filter((p) => / --type=renderer /.test(p.cmdline) && !/ --(extension-process|top-chrome-webui) /.test(p.cmdline))
  .map((p) => p.pid);

// The renderer of a browser's only page.
function pageRenderer(browserPid) {
  const found = renderers(browserPid);
  if (found.length !== 1) throw new Error(`expected one renderer process for the one page, found ${found.length}`);
  return found[0];
}

// A browser of its own for one measurement, so its page's renderer is the
// only one.
async function launch() {
  const browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: CHROMIUM_ARGS });
  browser.__pid = browserProcess();
  return browser;
}

function residentKib(pid) {
  const match = fs.readFileSync(`/proc/${pid}/status`, 'utf8').match(/^VmRSS:\s+(\d+) kB/m);
  return match ? Number(match[1]) : NaN;
}

const CLOCK_TICKS = 100;  // USER_HZ, the unit of /proc/<pid>/stat's times

// ---- One visit to the page, timed by the page's own performance timeline.

const OBSERVE_PAINTS = () => {
  window.__figures = { lcp: null };
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) {
      const element = entry.element;
      const owner = element && element.closest('[id]');
      window.__figures.lcp = { time: entry.startTime, id: !element ? null
        : element.id ? `#${element.id}` : `${element.tagName.toLowerCase()}${owner ? ` in #${owner.id}` : ''}` };
    }
  }).observe({ type: 'largest-contentful-paint', buffered: true });
};

async function timeVisit(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  return page.evaluate(async () => {
    const readyValue = await window.dulmeri.ready;
    const readyMark = performance.getEntriesByName('dulmeri-ready')[0];
    const readyAt = readyMark ? readyMark.startTime : performance.now();
    // The paint's entry comes once the frame is on the screen, a little
    // after the paint itself.
    const fcp = await new Promise((resolve) => {
      const seen = () => performance.getEntriesByName('first-contentful-paint')[0];
      if (seen()) { resolve(seen()); return; }
      new PerformanceObserver(() => { if (seen()) resolve(seen()); }).observe({ type: 'paint', buffered: true });
      setTimeout(() => resolve(seen() || null), 5000);
    });
    await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
    return { ready: readyAt, readyValue, readyFromMark: Boolean(readyMark), fcp: fcp ? fcp.startTime : null,
      lcp: window.__figures.lcp ? window.__figures.lcp.time : null,
      lcpElement: window.__figures.lcp ? window.__figures.lcp.id : null };
  });
}

// Start-up of the page at url, `runs` times in a fresh context; with a
// server, what the first visit fetched until ready and in all, once the
// service worker has stored the site (2 s later); with warm, a second visit;
// serviceWorkers "block" keeps the service worker out.
async function measureStartup(browser, url, runs, { server = null, warm = false, serviceWorkers = 'allow' } = {}) {
  const cold = [];
  const second = [];
  let transferred = null;
  for (let run = 0; run <= runs; run++) {  // run 0 warms the machine's caches and is dropped
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, serviceWorkers });
    await context.addInitScript(OBSERVE_PAINTS);
    const page = await context.newPage();
    if (server) server.sent.length = 0;
    const visit = await timeVisit(page, url);
    if (run > 0) cold.push(visit);
    if (run === 1 && server) {
      const atReady = server.sent.length;
      await page.waitForTimeout(2000);
      transferred = { atReady: server.sent.slice(0, atReady), all: [...server.sent] };
    }
    if (warm && run > 0) {
      await page.waitForTimeout(300);  // the service worker takes over
      second.push(await timeVisit(page, url));
    }
    await context.close();
  }
  return { cold, second, transferred };
}

// ---- The tick: called directly, and the cost of a real run.

async function measureTick(url) {
  const browser = await launch();
  const browserPid = browser.__pid;
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const page = await context.newPage();
  await page.goto(url, { waitUntil: 'load' });
  await page.evaluate(() => window.dulmeri.ready);
  const rendererPid = pageRenderer(browserPid);
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable');
  const metrics = async () => Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics
    .map((m) => [m.name, m.value]));
  const cpu = () => {
    const all = descendants(browserPid);
    return { all: all.reduce((sum, p) => sum + (p.cpuTicks || 0), 0),
      renderer: all.find((p) => p.pid === rendererPid)?.cpuTicks ?? NaN };
  };
  // Counts the program's ticks by the readout, which changes on every one.
  await page.evaluate(() => {
    window.__readoutChanges = 0;
    window.__readoutObserver = new MutationObserver(() => { window.__readoutChanges++; });
    window.__readoutObserver.observe(document.getElementById('Label1_1'), { childList: true, characterData: true, subtree: true });
  });

  const span = async (seconds) => {
    const before = { metrics: await metrics(), cpu: cpu(), ticks: await page.evaluate(() => window.__readoutChanges) };
    await page.waitForTimeout(seconds * 1000);
    const after = { metrics: await metrics(), cpu: cpu(), ticks: await page.evaluate(() => window.__readoutChanges) };
    const delta = (name) => after.metrics[name] - before.metrics[name];
    return { seconds, ticks: after.ticks - before.ticks,
      task: delta('TaskDuration'), script: delta('ScriptDuration'), layout: delta('LayoutDuration'),
      style: delta('RecalcStyleDuration'), layouts: delta('LayoutCount'), styles: delta('RecalcStyleCount'),
      rendererCpu: (after.cpu.renderer - before.cpu.renderer) / CLOCK_TICKS,
      allCpu: (after.cpu.all - before.cpu.all) / CLOCK_TICKS,
      heap: after.metrics.JSHeapUsedSize, rss: residentKib(rendererPid) };
  };

  const memoryAtReady = { heap: (await metrics()).JSHeapUsedSize, rss: residentKib(rendererPid) };
  await page.waitForTimeout(3000);  // the browser's own start-up work settles
  const idle = await span(RUN_SECONDS);
  await page.click('#Command1_0');
  const running = await span(RUN_SECONDS);
  // Growth: the heap after a garbage collection, now and after a longer run.
  const collected = async () => {
    await cdp.send('HeapProfiler.collectGarbage');
    return { heap: (await metrics()).JSHeapUsedSize, rss: residentKib(rendererPid),
      ticks: await page.evaluate(() => window.__readoutChanges) };
  };
  const afterCollection = [await collected()];
  await page.waitForTimeout(LONG_RUN_SECONDS * 1000);
  afterCollection.push(await collected());

  // The same run with the view "Наблюдение" open (F2), which is drawn at
  // every tick.
  await page.keyboard.press('F2');
  const viewShown = await page.evaluate(() => !document.getElementById('Observation').hidden);
  await page.waitForTimeout(1000);
  const runningWithView = await span(RUN_SECONDS);
  await page.evaluate(() => window.__readoutObserver.disconnect());

  // The tick itself, without the browser's rendering between ticks: the
  // program's exported timer call, in a loop, each time with a clock a second
  // later, so a tick is always due (the page's own timer then finds none due:
  // its schedule is ahead of the page's clock from then on, so this comes
  // last, and a second loop goes on from the first one's clock). Calls go in
  // batches of BATCH, each batch its own turn of the event loop as a timer's
  // tick is. With the view closed, then open.
  const directTicks = async () => {
    const before = await metrics();
    const times = await page.evaluate(async ({ count, batch }) => {
      const fired = globalThis._dulmeri_timer1_fired || globalThis.Module?._dulmeri_timer1_fired;
      if (typeof fired !== 'function') return null;
      let now = Math.max(performance.now(), window.__directClock || 0);
      const tick = () => fired(now += 1000);
      const turn = () => new Promise((resolve) => setTimeout(resolve, 0));
      const round = async (calls) => {
        let spent = 0;
        for (let done = 0; done < calls; done += batch) {
          const start = performance.now();
          for (let i = 0; i < batch; i++) tick();
          spent += performance.now() - start;
          await turn();
        }
        return spent * 1000 / calls;
      };
      await round(200);  // warm up
      const times = [];
      for (let r = 0; r < 5; r++) times.push(await round(count / 5));
      window.__directClock = now;
      return times;
    }, { count: DIRECT_TICKS, batch: DIRECT_BATCH });
    const after = await metrics();
    return { times, layouts: times ? (after.LayoutCount - before.LayoutCount) / (DIRECT_TICKS + 200) : null };
  };
  await page.keyboard.press('F2');
  const { times: direct, layouts: directLayouts } = await directTicks();
  await page.keyboard.press('F2');
  const { times: directWithView, layouts: directWithViewLayouts } = await directTicks();
  await page.click('#Command1_1');
  await browser.close();
  return { rendererPid, memoryAtReady, idle, running, afterCollection, direct, directLayouts, viewShown, runningWithView,
    directWithView, directWithViewLayouts };
}

// The page's floor: a page as large as the program's desk with the view open
// (the window and the view side by side) whose only work is one label's text
// changed every 100 ms, as the program's readout is.
const FLOOR_PAGE = `<!DOCTYPE html><html lang="bg"><meta charset="utf-8"><title>floor</title>
<style>html,body{margin:0;height:100%}body{display:flex;align-items:center;justify-content:center;background:#008080}
#desk{position:relative;width:960px;height:556px;background:#c0c0c0;font:16px serif}
#label{position:absolute;left:16px;top:16px;width:200px;height:22px}</style>
<div id="desk"><div id="label">0</div></div>
<script>let n = 0; const label = document.getElementById('label');
(function tick() { label.textContent = 'Моментна стойност: ' + (n++ % 100); setTimeout(tick, 100); })();</script></html>`;

// Side by side in one browser: the floor page and the program's page (run
// started, the view closed or open), or several builds of it, each span
// SPAN_SECONDS, in rounds of floor, then each page closed and open, so the
// machine's load falls alike on all. Per tick: the main thread's time and
// its script, style and layout parts, and how many layouts and style
// recalculations.
const SPAN_SECONDS = 4;
async function measureAgainstFloor(urls, rounds) {
  const browser = await launch();
  const open = async (goto) => {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    const page = await context.newPage();
    await goto(page);
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    const metrics = async () => Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics
      .map((m) => [m.name, m.value]));
    return { page, metrics };
  };
  const countTicks = (page, id) => page.evaluate((id) => {
    window.__ticks = 0;
    new MutationObserver(() => { window.__ticks++; }).observe(document.getElementById(id),
      { childList: true, characterData: true, subtree: true });
  }, id);
  const floor = await open((page) => page.setContent(FLOOR_PAGE));
  await countTicks(floor.page, 'label');
  const programs = [];
  for (const url of urls) {
    programs.push(await open(async (page) => {
      await page.goto(url, { waitUntil: 'load' });
      await page.evaluate(() => window.dulmeri.ready);
      await countTicks(page, 'Label1_1');
      // Started from the keyboard, so that no pointer rests over the page: the
      // floor page has none either, and a pointer makes Chromium hit-test it
      // after every layout (a fake mouse move, ~0.2 ms a tick).
      await page.focus('#Command1_0');
      await page.keyboard.press('Space');
    }));
  }
  const viewOpen = (page) => page.evaluate(() => !document.getElementById('Observation').hidden);
  const span = async ({ page, metrics }) => {
    const before = { m: await metrics(), ticks: await page.evaluate(() => window.__ticks) };
    await page.waitForTimeout(SPAN_SECONDS * 1000);
    const after = { m: await metrics(), ticks: await page.evaluate(() => window.__ticks) };
    const ticks = after.ticks - before.ticks;
    const per = (name, scale = 1000) => (after.m[name] - before.m[name]) * scale / ticks;
    return { ticks, task: per('TaskDuration'), script: per('ScriptDuration'), style: per('RecalcStyleDuration'),
      layout: per('LayoutDuration'), layouts: per('LayoutCount', 1), styles: per('RecalcStyleCount', 1) };
  };
  await floor.page.waitForTimeout(3000);  // start-up work settles, the runs climb
  const spans = { floor: [], pages: urls.map(() => ({ closed: [], open: [] })) };
  for (let round = 0; round < rounds; round++) {
    spans.floor.push(await span(floor));
    for (const [index, program] of programs.entries()) {
      if (await viewOpen(program.page)) await program.page.keyboard.press('F2');
      spans.pages[index].closed.push(await span(program));
      await program.page.keyboard.press('F2');
      await program.page.waitForTimeout(500);
      if (!(await viewOpen(program.page))) throw new Error('the view "Наблюдение" did not open with F2');
      spans.pages[index].open.push(await span(program));
      await program.page.keyboard.press('F2');  // closed again while the others are measured
    }
  }
  const drawings = await programs[0].page.evaluate(() => document.querySelectorAll('#Observation .picture').length);
  await browser.close();
  return { rounds, spanSeconds: SPAN_SECONDS, drawings, urls, spans };
}

function floorReport(f) {
  const floor = median(f.spans.floor.map((s) => s.task));
  const row = (name, spans) => {
    const of = (key, digits = 3) => median(spans.map((s) => s[key])).toFixed(digits);
    const task = median(spans.map((s) => s.task));
    return [name, `${task.toFixed(3)} (${Math.min(...spans.map((s) => s.task)).toFixed(3)}–` +
      `${Math.max(...spans.map((s) => s.task)).toFixed(3)})`, `${(task / floor).toFixed(2)}x`, of('script'),
      of('style'), of('layout'), of('layouts', 2), of('styles', 2)];
  };
  const named = (index) => f.urls.length > 1 ? `\`${path.basename(f.urls[index])}\`` : 'program';
  return [`The tick against the page's floor: medians (min–max) of ${f.rounds} spans of ${f.spanSeconds} s each, ` +
    `side by side in one Chromium; milliseconds of main thread a tick; the view has ${f.drawings} drawings.`, '',
  table(['page', 'main thread (TaskDuration)', 'against the floor', 'script', 'style', 'layout', 'layouts', 'style recalcs'], [
    row('floor: one label changed every 100 ms', f.spans.floor),
    ...f.spans.pages.flatMap((page, index) => [
      row(`${named(index)}, running, view closed`, page.closed),
      row(`${named(index)}, running, view "Наблюдение" open`, page.open)])])].join('\n');
}

async function blankFloor() {
  const browser = await launch();
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto('about:blank');
  await page.setContent('<!DOCTYPE html><html lang="bg"><title>x</title><p>x</p></html>');
  await page.waitForTimeout(500);
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable');
  const heap = (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'JSHeapUsedSize').value;
  const rss = residentKib(pageRenderer(browser.__pid));
  await browser.close();
  return { heap, rss };
}

// ---- Lighthouse, through its command line, as anyone would run it.

function lighthouse(url, preset) {
  const bin = path.join(HERE, 'node_modules', '.bin', 'lighthouse');
  const args = [url, '--quiet', '--output=json', '--output-path=stdout',
    '--only-categories=performance,accessibility,best-practices,seo',
    `--chrome-flags=--headless=new ${CHROMIUM_ARGS.join(' ')}`];
  if (preset === 'desktop') args.push('--preset=desktop');
  return new Promise((resolve, reject) => {
    const child = spawn(bin, args, { env: { ...process.env, CHROME_PATH: CHROMIUM }, stdio: ['ignore', 'pipe', 'pipe'] });
    let out = '';
    let err = '';
    child.stdout.on('data', (chunk) => { out += chunk; });
    child.stderr.on('data', (chunk) => { err += chunk; });
    child.on('close', (status) => {
      if (status !== 0) { reject(new Error(`lighthouse exited with ${status}: ${err.slice(-2000)}`)); return; }
      const report = JSON.parse(out);
      const scores = Object.fromEntries(Object.entries(report.categories).map(([id, c]) => [id, Math.round(c.score * 100)]));
      const below = [];
      for (const [id, category] of Object.entries(report.categories)) {
        for (const ref of category.auditRefs) {
          const audit = report.audits[ref.id];
          if (audit.score !== null && audit.score < 1 && !['notApplicable', 'informative', 'manual'].includes(audit.scoreDisplayMode)) {
            below.push({ category: id, id: ref.id, weight: ref.weight, score: audit.score, title: audit.title,
              value: audit.displayValue || '', details: audit.details?.items?.slice(0, 3) ?? [] });
          }
        }
      }
      const metrics = Object.fromEntries(['first-contentful-paint', 'largest-contentful-paint', 'total-blocking-time',
        'cumulative-layout-shift', 'speed-index'].map((id) => [id, report.audits[id]?.displayValue]));
      resolve({ scores, below, metrics, runtimeError: report.runtimeError?.message,
        warnings: report.runWarnings });
    });
  });
}

// ---- The whole.

async function main() {
  const options = parseArguments(process.argv.slice(2));
  const singleFile = options.pages[0] || path.join(options.build, 'src', 'web', 'dulmeri.html');
  const site = path.join(options.build, 'src', 'web', 'site');
  for (const needed of [singleFile, path.join(site, 'index.html'), CHROMIUM]) {
    if (!fs.existsSync(needed)) throw new Error(`${needed} is missing (build the web preset first)`);
  }
  const results = { date: new Date().toISOString(), machine: { cpus: os.cpus().length, model: os.cpus()[0]?.model,
    load: os.loadavg() }, options };
  results.sizes = measureSizes(singleFile, site);

  const siteServer = await serve(site);
  const singleServer = await serve(path.dirname(singleFile));
  const singleUrl = pathToFileURL(singleFile).href;
  if (options.floorOnly) {
    siteServer.server.close();
    singleServer.server.close();
    const urls = options.pages.length ? options.pages.map((page) => pathToFileURL(page).href) : [singleUrl];
    results.againstFloor = await measureAgainstFloor(urls, options.floorRounds);
    if (options.json) fs.writeFileSync(options.json, JSON.stringify(results, null, 2));
    console.log(floorReport(results.againstFloor));
    return;
  }
  try {
    const browser = await launch();
    results.chromium = browser.version();
    try {
      results.startup = {
        single: await measureStartup(browser, singleUrl, options.runs),
        site: await measureStartup(browser, siteServer.url, options.runs, { server: siteServer, warm: true }),
        siteWithoutWorker: await measureStartup(browser, siteServer.url, options.runs, { serviceWorkers: 'block' }),
      };
    } finally {
      await browser.close();
    }
    results.floor = await blankFloor();
    results.tick = await measureTick(singleUrl);
    results.againstFloor = await measureAgainstFloor([singleUrl], options.floorRounds);
    results.lighthouse = [];
    for (const [name, url] of [['site', siteServer.url], ['single file', `${singleServer.url}dulmeri.html`]]) {
      for (const preset of options.lighthouseRuns > 0 ? ['mobile', 'desktop'] : []) {
        const runs = [];
        for (let i = 0; i < options.lighthouseRuns; i++) runs.push(await lighthouse(url, preset));
        results.lighthouse.push({ name, preset, runs });
      }
    }
  } finally {
    siteServer.server.close();
    singleServer.server.close();
  }
  results.load = os.loadavg();
  if (options.json) fs.writeFileSync(options.json, JSON.stringify(results, null, 2));
  console.log(report(results));
}

function report(r) {
  const out = [];
  out.push(`Measured ${r.date.slice(0, 16).replace('T', ' ')} UTC, ${r.chromium}, ${r.machine.cpus} CPUs (${r.machine.model}), ` +
    `load average ${r.machine.load.map((l) => l.toFixed(2)).join(' ')} at the start, ${r.load.map((l) => l.toFixed(2)).join(' ')} at the end.`);
  out.push('', table(['file', 'bytes', 'gzip -9'], [
    ['single file `dulmeri.html`', bytesAndKib(r.sizes.single.raw), bytesAndKib(r.sizes.single.gzip)],
    ...r.sizes.files.map((f) => [`site: \`${f.file}\``, bytesAndKib(f.raw), bytesAndKib(f.gzip)]),
    ['**site, all files**', bytesAndKib(r.sizes.total.raw), bytesAndKib(r.sizes.total.gzip)],
  ]));
  const t = r.startup.site.transferred;
  const fetched = (list) => `${bytesAndKib(list.reduce((sum, x) => sum + x.bytes, 0))} in ${list.length} requests ` +
    `(${list.map((x) => `${x.path}${x.bytes ? '' : ' 304'}`).join(', ')})`;
  if (t) {
    out.push('', `A first visit to the site (bodies gzip-encoded, as sent by the server) fetches ${fetched(t.atReady)} ` +
      `until the page is ready, and ${fetched(t.all)} in all once its service worker has stored the site (2 s later).`);
  }
  const column = (visits, key) => visits.map((v) => v[key]).filter((x) => x !== null);
  const rows = [['single file, file://', r.startup.single.cold], ['site, 127.0.0.1, first visit', r.startup.site.cold],
    ['site, 127.0.0.1, second visit', r.startup.site.second],
    ['site, 127.0.0.1, first visit, service worker blocked', r.startup.siteWithoutWorker.cold]];
  out.push('', `Milliseconds from navigation, median (min–max) of ${r.startup.single.cold.length} runs:`, '',
    table(['page', 'first contentful paint', 'largest contentful paint', 'ready (`dulmeri-ready`)'],
      rows.filter(([, v]) => v.length).map(([name, v]) => [name, summary(column(v, 'fcp')), summary(column(v, 'lcp')),
        summary(column(v, 'ready'))])));
  const lcpElements = [...new Set(r.startup.single.cold.map((v) => v.lcpElement).filter(Boolean))];
  const fromMark = r.startup.single.cold.every((v) => v.readyFromMark);
  out.push('', `${lcpElements.length ? `Largest contentful paint: ${lcpElements.join(', ')}. ` : ''}Ready ${fromMark ? 'from the page\'s `dulmeri-ready` mark' : 'when `window.dulmeri.ready` was seen resolved (no mark)'}.`);
  const k = r.tick;
  const perTick = (s, key) => s.ticks ? (s[key] * 1000 / s.ticks).toFixed(3) : 'n/a';
  out.push('', table(['span', 'ticks', 'main thread (TaskDuration)', 'script', 'style', 'layout', 'renderer CPU', 'all of Chromium CPU'],
    [['idle', k.idle], ['running', k.running], ['running, view "Наблюдение" open', k.runningWithView]].map(([name, s]) => [`${name}, ${s.seconds} s`, String(s.ticks),
      `${(s.task * 1000).toFixed(1)} ms${s.ticks ? ` (${perTick(s, 'task')} ms/tick)` : ''}`,
      `${(s.script * 1000).toFixed(1)} ms`, `${(s.style * 1000).toFixed(1)} ms`, `${(s.layout * 1000).toFixed(1)} ms`,
      `${(s.rendererCpu * 1000).toFixed(0)} ms (${(100 * s.rendererCpu / s.seconds).toFixed(2)} %)`,
      `${(s.allCpu * 1000).toFixed(0)} ms (${(100 * s.allCpu / s.seconds).toFixed(2)} %)`])));
  out.push('', `Layouts per tick while running: ${(k.running.layouts / k.running.ticks).toFixed(2)}, style recalculations ${(k.running.styles / k.running.ticks).toFixed(2)}; ` +
    `with the view open ${(k.runningWithView.layouts / k.runningWithView.ticks).toFixed(2)} and ${(k.runningWithView.styles / k.runningWithView.ticks).toFixed(2)}.`);
  if (!k.viewShown) out.push('', 'The view "Наблюдение" did not open with F2: its figures are those of the window alone.');
  out.push('', k.direct ? `The tick called directly (\`_dulmeri_timer1_fired\`, ${DIRECT_TICKS} calls in 5 rounds, ${DIRECT_BATCH} to a turn of the event loop): ` +
    `${k.direct.map((x) => x.toFixed(1)).join(', ')} µs per tick, median ${median(k.direct).toFixed(1)} µs; ` +
    `${k.directLayouts.toFixed(2)} layouts per call; with the view "Наблюдение" open ` +
    `${k.directWithView.map((x) => x.toFixed(1)).join(', ')} µs per tick, median ${median(k.directWithView).toFixed(1)} µs, ` +
    `${k.directWithViewLayouts.toFixed(2)} layouts per call.` : 'The tick could not be called directly (no `_dulmeri_timer1_fired` in the page\'s scope).');
  out.push('', floorReport(r.againstFloor));
  out.push('', table(['memory', 'page', 'empty page'], [
    ['JS heap used, ready', kib(k.memoryAtReady.heap), kib(r.floor.heap)],
    [`JS heap used, after ${k.running.seconds} s running`, kib(k.running.heap), ''],
    ...k.afterCollection.map((c) => [`JS heap used after a garbage collection, running, tick ${c.ticks}`, kib(c.heap), '']),
    ['renderer VmRSS, ready', `${k.memoryAtReady.rss} KiB`, `${r.floor.rss} KiB`],
    [`renderer VmRSS, after ${k.running.seconds} s running`, `${k.running.rss} KiB`, ''],
    ...k.afterCollection.map((c) => [`renderer VmRSS, running, tick ${c.ticks}`, `${c.rss} KiB`, '']),
  ]));
  const categories = ['performance', 'accessibility', 'best-practices', 'seo'];
  if (r.lighthouse.length) out.push('', table(['Lighthouse', ...categories, 'FCP', 'LCP', 'TBT', 'CLS'],
    r.lighthouse.map(({ name, preset, runs }) => [`${name}, ${preset} (${runs.length} runs)`,
      ...categories.map((c) => { const s = runs.map((x) => x.scores[c]); return `${median(s)}${Math.min(...s) !== Math.max(...s) ? ` (${Math.min(...s)}–${Math.max(...s)})` : ''}`; }),
      ...['first-contentful-paint', 'largest-contentful-paint', 'total-blocking-time', 'cumulative-layout-shift']
        .map((m) => runs[0].metrics[m] ?? '')])));
  const below = new Map();
  for (const { name, preset, runs } of r.lighthouse) {
    for (const run of runs) {
      for (const audit of run.below) {
        const key = `${audit.category}/${audit.id}`;
        if (!below.has(key)) below.set(key, { ...audit, where: new Set() });
        below.get(key).where.add(`${name} ${preset}`);
      }
      if (run.runtimeError) out.push(`Lighthouse runtime error (${name}, ${preset}): ${run.runtimeError}`);
    }
  }
  if (below.size) {
    out.push('', 'Audits below full marks:', '');
    for (const audit of below.values()) {
      out.push(`- ${audit.category} / \`${audit.id}\` (weight ${audit.weight}, score ${audit.score}): ${audit.title}` +
        `${audit.value ? ` — ${audit.value}` : ''}; in ${[...audit.where].join(', ')}` +
        `${audit.details.length ? `; e.g. ${JSON.stringify(audit.details).slice(0, 400)}` : ''}`);
    }
  }
  return out.join('\n');
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
