// web_bench.mjs -- the browser build's figures, each also as a
// `bench: NAME VALUE UNIT` line: presents a second and their 95th-percentile
// interval over 20 s of the show (640x480, windowed, headless Chromium on
// its software rasterizer), the show's own work per frame, the time from OK
// to the first frame of the show, what the site weighs and how soon the form
// comes over a 1.5 Mbit/s line (served as make serve-web does), the parity with the
// Linux build, how far the order drawn lags or leads the order heard, and
// what a stall of the page's main thread does to the sound at the output.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {click, launch, openPage, options, outputReport, serve, stall, tapOutput, until} from './browser.mjs';
import {parityFrames, renderParity} from './parity.mjs';

const o = options(process.argv);
const kSeconds = 20;

function bench(name, value, unit) {
  console.log(`bench: ${name} ${Number.isInteger(value) ? value : value.toFixed(3)} ${unit}`);
}

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
}

// The show for kSeconds after its first frame.
async function liveRun(browser, url) {
  const page = await openPage(browser, url);
  await click(page, 'full screen');
  await page.evaluate(() => {
    const ok = [...document.querySelectorAll('.kw-options .kw-button')].find((b) => b.textContent === 'OK');
    ok.addEventListener('click', () => { window.okAt = performance.now(); }, {capture: true});
  });
  await click(page, 'OK');
  await until(page, () => kaveld.presents.some((p) => p.running));
  await new Promise((r) => setTimeout(r, kSeconds * 1000));
  const run = await page.evaluate(() => {
    const stamp = kaveld.audio.getOutputTimestamp(), s = kaveld.song;
    // Order starts as the context time they play at (song frames from the song player's start).
    const starts = 'startFrame' in s ? kaveld.orderStarts.map(([o, f]) => [o, (s.startFrame + f) / s.rate])
                                     : kaveld.orderStarts;
    return {okAt: window.okAt, presents: kaveld.presents, orderStarts: starts, stamp};
  });
  await page.close();
  return run;
}

// From the address to the options form over a 1.5 Mbit/s line, the time the
// page then spends making the show's data, and when that is done (ms).
async function formOverSlowLine(browser, url) {
  const page = await browser.newPage();
  await page.emulateNetworkConditions({download: 1.5e6 / 8, upload: 1.5e6 / 8, latency: 40});
  await page.goto(url);
  await page.waitForSelector('.kw-options .kw-button', {timeout: 300000});
  const form = await page.evaluate(() => performance.now());
  await page.waitForFunction(() => window.kaveldDataMade, {timeout: 60000});
  const [from, to] = await page.evaluate(() => window.kaveldDataMade);
  await page.close();
  return {form, making: to - from, ready: to};
}

// The show with its output recorded, its main thread held for 1.2 s after 5 s.
async function stallRun(browser, url) {
  const page = await openPage(browser, url, tapOutput);
  await click(page, 'full screen');
  await click(page, 'OK');
  await until(page, () => kaveld.presents.some((p) => p.running));
  await new Promise((r) => setTimeout(r, 5000));
  const held = await stall(page, 1200);
  await new Promise((r) => setTimeout(r, 3000));
  const report = await page.evaluate(outputReport, -1);
  await page.close();
  return {held, ...report};
}

// Presents of order o shown before its first sound was heard (negative) or after.
function syncErrors(run) {
  const toPage = (contextTime) => run.stamp.performanceTime + (contextTime - run.stamp.contextTime) * 1000;
  const errors = [];
  for (const [order, contextTime] of run.orderStarts) {
    const first = run.presents.find((p) => p.running && p.order === order);
    if (first && first.shown) errors.push(first.shown - toPage(contextTime));
  }
  return errors;
}

const site = await serve(o.site);
const chromium = await launch();
try {
  const run = await liveRun(chromium.browser, site.url);
  const show = run.presents.filter((p) => p.running && p.shown);
  const intervals = show.slice(1).map((p, i) => p.shown - show[i].shown);
  const work = show.slice(1).map((p, i) => p.at - show[i].shown);
  bench('web.fps', (1000 * intervals.length) / (show[show.length - 1].shown - show[0].shown), 'fps');
  bench('web.frame_interval.median_ms', percentile(intervals, 0.5), 'ms');
  bench('web.frame_interval.p95_ms', percentile(intervals, 0.95), 'ms');
  bench('web.frame_work.median_ms', percentile(work, 0.5), 'ms');
  bench('web.ok_to_first_frame_ms', show[0].at - run.okAt, 'ms');
  const errors = syncErrors(run);
  if (errors.length) {
    bench('web.sync_error_ms', errors.reduce((a, e) => a + Math.abs(e), 0) / errors.length, 'ms');
    bench('web.sync_lag_ms', errors.reduce((a, e) => a + e, 0) / errors.length, 'ms');  // + drawn after heard
  }

  const stalled = await stallRun(chromium.browser, site.url);
  bench('web.stall.held_ms', stalled.held, 'ms');
  bench('web.stall.gap_ms', stalled.gapMs, 'ms');
  bench('web.stall.burst_db', stalled.burstDb, 'dB');
  bench('web.stall.clipped_samples', stalled.clipped, 'samples');

  let total = 0, gzip = 0;
  for (const name of fs.readdirSync(o.site)) {
    const bytes = fs.readFileSync(path.join(o.site, name));
    const packed = zlib.gzipSync(bytes, {level: 9}).length;
    total += bytes.length;
    gzip += packed;
    const unit = name.replace(/^.*\./, '');
    if (name.startsWith('kaveld.')) bench(`web.${unit}_bytes`, bytes.length, 'bytes');
    if (name.startsWith('kaveld.')) bench(`web.${unit}_bytes_gzip`, packed, 'bytes');
  }
  bench('web.total_bytes', total, 'bytes');
  bench('web.total_bytes_gzip', gzip, 'bytes');
  const slow = await formOverSlowLine(chromium.browser, site.url);
  bench('web.form_at_1_5mbit_ms', slow.form, 'ms');
  bench('web.data_made_in_page_ms', slow.making, 'ms');
  bench('web.data_ready_at_1_5mbit_ms', slow.ready, 'ms');

  const scratch = fs.mkdtempSync(path.join(process.env.TMPDIR || os.tmpdir(), 'kaveld-parity-'));
  try {
    const parity = await renderParity(chromium.browser, site.url, o.linuxBuild, parityFrames(o.linuxBuild, scratch),
                                      scratch);
    const means = parity.map((f) => f.mean);
    bench('web.parity.mean_abs_diff', means.reduce((a, m) => a + m, 0) / means.length, 'levels');
    bench('web.parity.worst_p99_diff', Math.max(...parity.map((f) => f.p99)), 'levels');
  } finally {
    fs.rmSync(scratch, {recursive: true, force: true});
  }
} finally {
  await chromium.close();
  site.stop();
}
