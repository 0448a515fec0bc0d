// web_test.mjs -- the show in headless Chromium: the options form and its
// rules, a windowed show from OK to Esc, full screen, CANCEL, a module that
// does not load, and the frames of every row of the timeline against the
// capture tool's PNGs of the same frames (tests/web/parity.py).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, describe, it} from 'node:test';
import {click, controls, launch, openPage, options, repo, serve, until} from './browser.mjs';
import {boundsFor, parityFrames, renderParity} from './parity.mjs';

const o = options(process.argv);
let site, chromium;

before(async () => {
  site = await serve(o.site);
  chromium = await launch();
});
after(async () => {
  await chromium.close();
  site.stop();
});

const ended = (page) => until(page, () => window.kaveldEnded === true);

describe('the options form', () => {
  it('has the caption, the eight controls and their first marks', async () => {
    const page = await openPage(chromium.browser, site.url);
    assert.equal(await page.$eval('.kw-options .kw-caption span', (n) => n.textContent), 'morvane :: k a v e l d');
    assert.deepEqual(await page.$eval('.kw-options', (n) => [n.offsetWidth, n.offsetHeight]), [294, 206]);
    assert.deepEqual(await controls(page), [
      {text: 'OK', kind: 'push', checked: null, x: 35, y: 120, w: 75, h: 23},
      {text: 'CANCEL', kind: 'push', checked: null, x: 170, y: 120, w: 75, h: 23},
      {text: 'full screen', kind: 'checkbox', checked: true, x: 96, y: 80, w: 88, h: 23},
      {text: '640x480', kind: 'radio', checked: true, x: 0, y: 0, w: 88, h: 23},
      {text: '800x600', kind: 'radio', checked: false, x: 0, y: 23, w: 88, h: 23},
      {text: '1024x768', kind: 'radio', checked: false, x: 0, y: 46, w: 88, h: 23},
      {text: '16bpp', kind: 'radio', checked: true, x: 206, y: 0, w: 88, h: 23},
      {text: '32bpp', kind: 'radio', checked: false, x: 206, y: 23, w: 88, h: 23},
    ]);
    await page.close();
  });

  it('marks only what the program marks', async () => {
    const page = await openPage(chromium.browser, site.url);
    const marks = async () => (await controls(page)).filter((c) => c.checked).map((c) => c.text);
    await click(page, '1024x768');
    await until(page, () => document.querySelectorAll('.kw-options input')[3].checked);
    assert.deepEqual(await marks(), ['full screen', '1024x768', '16bpp']);
    await click(page, '1024x768');  // the checked one: stays as it is
    await click(page, '32bpp');
    await until(page, () => document.querySelectorAll('.kw-options input')[5].checked);
    assert.deepEqual(await marks(), ['full screen', '1024x768', '32bpp']);
    await click(page, '32bpp', 2);  // a double click on a radio button: its second press does nothing
    await click(page, 'full screen');
    await until(page, () => !document.querySelectorAll('.kw-options input')[0].checked);
    assert.deepEqual(await marks(), ['1024x768', '32bpp']);
    await click(page, 'full screen');
    await until(page, () => document.querySelectorAll('.kw-options input')[0].checked);
    await click(page, '640x480');
    await until(page, () => document.querySelectorAll('.kw-options input')[1].checked);
    assert.deepEqual(await marks(), ['full screen', '640x480', '32bpp']);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
});

describe('the show', () => {
  it('runs from OK, its frames drawn and changing, and ends with Esc', async () => {
    const page = await openPage(chromium.browser, site.url + '?probe');
    await click(page, 'full screen');
    await click(page, 'OK');
    await until(page, () => kaveld.presents.filter((p) => p.running).length >= 90);
    const canvas = await page.$eval('canvas', (c) => [c.width, c.height, !!c.closest('.kw-display')]);
    assert.deepEqual(canvas, [640, 480, true]);
    const presents = await page.evaluate(() => kaveld.presents);
    const loading = presents.filter((p) => !p.running).map((p) => p.brightness);
    const show = presents.filter((p) => p.running).map((p) => p.brightness);
    // The loading image, then its fade: 201 presents, each darker than the one before it.
    assert.equal(loading.length, 202);
    assert.ok(loading[1] > 2, `loading image brightness ${loading[1]}`);
    for (let i = 2; i < loading.length; i++) assert.ok(loading[i] <= loading[i - 1], `fade at ${i}`);
    assert.ok(loading[loading.length - 1] < 1);
    // The show fades in: later frames are brighter, and they differ from each other.
    assert.ok(show[89] > show[0] + 1, `show brightness ${show[0]} -> ${show[89]}`);
    assert.ok(new Set(show.slice(0, 90).map((b) => b.toFixed(3))).size > 30);
    // Presents keep coming: another 30 within 30 s (software rasterizer, shared cores).
    const count = presents.length;
    await until(page, (n) => kaveld.presents.length >= n + 30, 30000, count);
    await page.keyboard.press('Escape');
    await ended(page);
    assert.equal(await page.$eval('#ended', (n) => n.hidden), false);
    assert.equal(await page.$$eval('canvas', (c) => c.length), 0);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  it('keeps the music in a hidden tab, and the picture catches up with the order heard', async () => {
    const page = await openPage(chromium.browser, site.url);
    await click(page, 'full screen');
    await click(page, 'OK');
    await until(page, () => kaveld.presents.filter((p) => p.running).length >= 30);
    const state = () => page.evaluate(() => ({presents: kaveld.presents.length, scheduled: kaveld.song.frames,
                                              visibility: document.visibilityState}));
    const before = await state();
    const other = await chromium.browser.newPage();
    await other.bringToFront();
    await new Promise((r) => setTimeout(r, 6000));
    const hidden = await state();
    await other.close();
    await page.bringToFront();
    await until(page, (n) => kaveld.presents.length >= n + 10, 30000, hidden.presents);
    assert.equal(hidden.visibility, 'hidden');
    assert.ok(hidden.presents - before.presents <= 2, 'no frames drawn while hidden');
    assert.ok(hidden.scheduled - before.scheduled >= 5 * 44100, 'the music went on');
    // The order drawn again is the one heard now, from the song's own order log.
    const {drawn, heard} = await page.evaluate(() => {
      const s = kaveld.song, frame = (kaveld.audio.currentTime - kaveld.latency() - s.start) * s.rate;
      const starts = kaveld.orderStarts.filter((o) => (o[1] - s.start) * s.rate <= frame);
      return {drawn: kaveld.presents[kaveld.presents.length - 1].order, heard: starts.length ? starts[starts.length - 1][0] : 0};
    });
    assert.ok(Math.abs(drawn - heard) <= 1 && drawn > 0, `drawn order ${drawn}, heard ${heard}`);
    await page.keyboard.press('Escape');
    await ended(page);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  it('in full screen draws the chosen size scaled to fit, and leaving full screen ends it as Esc does', async () => {
    const page = await openPage(chromium.browser, site.url);
    await click(page, '800x600');
    await click(page, 'OK');
    await until(page, () => kaveld.presents.filter((p) => p.running).length >= 5);
    const shown = await page.evaluate(() => {
      const c = document.querySelector('canvas'), r = c.getBoundingClientRect();
      return {full: document.fullscreenElement === c.parentNode, size: [c.width, c.height], box: [r.width, r.height],
              screen: [innerWidth, innerHeight]};
    });
    assert.ok(shown.full);
    assert.deepEqual(shown.size, [800, 600]);
    assert.deepEqual(shown.box, shown.screen);  // the element fills the screen; the picture keeps 4:3 inside it
    assert.equal(await page.$eval('canvas', (c) => getComputedStyle(c).objectFit), 'contain');
    await page.evaluate(() => document.exitFullscreen());
    await ended(page);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  it('ends at CANCEL with nothing drawn', async () => {
    const page = await openPage(chromium.browser, site.url);
    await click(page, 'CANCEL');
    await ended(page);
    assert.equal(await page.evaluate(() => kaveld.presents.length), 0);
    assert.equal(await page.$$eval('canvas', (c) => c.length), 0);
    assert.equal(await page.$eval('#failures', (n) => n.textContent), '');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  it('ends when the options window is closed', async () => {
    const page = await openPage(chromium.browser, site.url);
    await page.click('.kw-options .kw-close');
    await ended(page);
    assert.equal(await page.evaluate(() => kaveld.presents.length), 0);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // What the browser refuses: full screen (the show's message box, answered
  // in the page's dialog), WebGL, Web Audio. Each is a failed start: no frame
  // of the show, and the end page says what failed.
  for (const [what, refuse, fullScreen, line] of [
    ['full screen', () => { Element.prototype.requestFullscreen = () => Promise.reject(new TypeError('denied')); }, true,
     /the browser did not allow full screen/],
    ['WebGL', () => { HTMLCanvasElement.prototype.getContext = () => null; }, false,
     /cannot create a WebGL context/],
    ['Web Audio', () => { delete window.AudioContext; }, false,
     /cannot open the sound output: the browser has no Web Audio/],
    ['to start the sound', () => {
      const Real = AudioContext;
      window.AudioContext = class extends Real { resume() { return this.suspend(); } };
    }, false, /cannot open the sound output: the browser's audio output did not start/],
  ]) {
    it(`says so when the browser refuses ${what}`, async () => {
      const page = await openPage(chromium.browser, site.url, refuse);
      if (!fullScreen) await click(page, 'full screen');
      await click(page, 'OK');
      if (fullScreen) {
        await until(page, () => document.getElementById('kw-box').open);
        assert.deepEqual(await page.$eval('#kw-box', (b) => [b.querySelector('.kw-caption span').textContent,
                                                               b.querySelector('.kw-text').textContent]),
                         ['video mode fail', 'sorry the video mode you wanted could not be set']);
        await page.click('#kw-box .kw-ok');
      }
      await ended(page);
      assert.match(await page.$eval('#failures', (n) => n.textContent), line);
      assert.equal(await page.evaluate(() => kaveld.presents.filter((p) => p.running).length), 0);
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  }

  it('says so when the music module does not load, and draws no frame of the show', async () => {
    const page = await openPage(chromium.browser, site.url, () => {
      window.kaveldBeforeMain = (m) => m.FS.writeFile('data/demotune.xm', new Uint8Array(5000).fill(7));
    });
    await click(page, 'full screen');
    await click(page, 'OK');
    await ended(page);
    assert.match(await page.$eval('#failures', (n) => n.textContent), /cannot load the music module data\/demotune\.xm/);
    assert.equal(await page.evaluate(() => kaveld.presents.filter((p) => p.running).length), 0);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
});

describe('parity with the Linux build', () => {
  it('draws every row of the timeline as the capture tool does', async () => {
    const work = fs.mkdtempSync(path.join(process.env.TMPDIR || os.tmpdir(), 'kaveld-parity-'));
    try {
      const frames = parityFrames(o.linuxBuild, work);
      const result = await renderParity(chromium.browser, site.url, o.linuxBuild, frames, work);
      for (const r of result) console.log(`# frame ${r.frame} (order ${r.order}): mean ${r.mean.toFixed(3)} p99 ${r.p99}`);
      for (const r of result) {
        const bounds = boundsFor(r.order);
        assert.ok(r.mean <= bounds.mean, `frame ${r.frame} (order ${r.order}): mean difference ${r.mean}`);
        assert.ok(r.p99 <= bounds.p99, `frame ${r.frame} (order ${r.order}): 99th percentile ${r.p99}`);
      }
    } finally {
      fs.rmSync(work, {recursive: true, force: true});
    }
  });
});
