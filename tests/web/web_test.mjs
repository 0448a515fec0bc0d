// web_test.mjs -- the show in headless Chromium: the data the page makes
// against the Linux build's, the options form and its rules, a windowed show
// from OK to Esc, its sound through a stall of the page, full screen, CANCEL,
// a module that does not load, each way the page can fail to start (a file
// missing, short or changed, no WebGL, no Web Audio, the data not made,
// opened from a file), and the frames of every row of the timeline against
// the capture tool's PNGs of the same frames (tests/web/parity.py).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {after, before, describe, it} from 'node:test';
import {click, controls, launch, openPage, options, outputReport, repo, serve, stall, tapOutput, until} from './browser.mjs';
import {kParityBounds, parityFrames, renderParity} from './parity.mjs';

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

describe('the server', () => {
  it('sends the site gzip-compressed where the browser accepts it, each file whole', async () => {
    for (const name of ['kaveld.data', 'kaveld.wasm', 'kaveld.js', '']) {
      const {headers, body} = await new Promise((resolve, reject) => {
        http.get(site.url + name, {headers: {'Accept-Encoding': 'gzip'}}, (response) => {
          const parts = [];
          response.on('data', (d) => parts.push(d));
          response.on('end', () => resolve({headers: response.headers, body: Buffer.concat(parts)}));
        }).on('error', reject);
      });
      const file = fs.readFileSync(path.join(o.site, name || 'index.html'));
      assert.equal(headers['content-encoding'], 'gzip', name);
      assert.ok(body.length < file.length, `${name}: ${body.length} bytes sent for ${file.length}`);
      assert.ok(zlib.gunzipSync(body).equals(file), name);
    }
  });
});

describe('the data made in the page', () => {
  it('is the Linux build\'s data/, byte for byte', async () => {
    const page = await openPage(chromium.browser, site.url);
    await until(page, () => Module.kaveldMakingData === false);
    const made = await page.evaluate(() => Module.FS.readdir('data').filter((n) => n[0] != '.').sort().map((n) => {
      const bytes = Module.FS.readFile('data/' + n);
      return [n, bytes.length, crc32(bytes)];
    }));
    const dir = path.join(o.linuxBuild, 'data');
    const linux = fs.readdirSync(dir).sort().map((n) => {
      const bytes = fs.readFileSync(path.join(dir, n));
      return [n, bytes.length, zlib.crc32(bytes)];
    });
    assert.equal(linux.length, 23);
    assert.deepEqual(made, linux);
    await page.close();
  });
});

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
    const state = () => page.evaluate(() => ({presents: kaveld.presents.length, scheduled: kaveld.song.sent,
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
      const frame = kaveld.playing() - kaveld.latency() * kaveld.song.rate;
      const starts = kaveld.orderStarts.filter((o) => o[1] <= frame);
      return {drawn: kaveld.presents[kaveld.presents.length - 1].order, heard: starts.length ? starts[starts.length - 1][0] : 0};
    });
    assert.ok(Math.abs(drawn - heard) <= 1 && drawn > 0, `drawn order ${drawn}, heard ${heard}`);
    await page.keyboard.press('Escape');
    await ended(page);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // The sound as it reaches the output, across a stall of the page longer
  // than the sound sent ahead: silence where nothing came in time, then the
  // song again at its own place; never late sound played at once.
  it('goes on through a stall of the page without a burst', async () => {
    const page = await openPage(chromium.browser, site.url, tapOutput);
    await click(page, 'full screen');
    await click(page, 'OK');
    await until(page, () => kaveld.presents.filter((p) => p.running).length >= 30);
    await new Promise((r) => setTimeout(r, 1000));
    const held = await stall(page, 1200);
    await new Promise((r) => setTimeout(r, 2000));
    const start = await page.evaluate(() => kaveld.song.startFrame);
    const r = await page.evaluate(outputReport, start);
    console.log(`# stall ${held.toFixed(0)} ms: ${JSON.stringify(r)}`);
    assert.equal(r.clipped, 0, 'clipped samples');
    assert.equal(r.misplaced, 0, 'samples heard away from their place in the song');
    assert.ok(r.gapMs >= 500, `the stall left a gap (${r.gapMs} ms)`);
    assert.ok(r.gapMs <= held - 100, `gap ${r.gapMs} ms for a stall of ${held} ms`);
    assert.ok(r.resumed >= 100, `the song went on after the gap (${r.resumed} windows)`);
    await page.keyboard.press('Escape');
    await ended(page);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  it('fits a window larger than the page to it, and shows it at size with every edge in reach', async () => {
    const page = await openPage(chromium.browser, site.url);
    await page.setViewport({width: 500, height: 400});
    await click(page, 'full screen');
    await click(page, 'OK');
    await until(page, () => kaveld.presents.filter((p) => p.running).length >= 5);
    const boxes = () => page.evaluate(() => {
      const box = (n) => { const r = n.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
      const root = document.documentElement;
      return {win: box(document.querySelector('.kw-display')), canvas: box(document.querySelector('canvas')),
              size: [document.querySelector('canvas').width, document.querySelector('canvas').height],
              page: [root.clientWidth, root.clientHeight]};
    });
    const fit = await boxes();
    assert.deepEqual(fit.size, [640, 480]);  // the picture keeps its size: only its box is scaled
    const [w, h] = [fit.canvas[2] - fit.canvas[0], fit.canvas[3] - fit.canvas[1]];
    assert.ok(fit.win[0] >= 0 && fit.win[1] >= 0 && fit.win[2] <= fit.page[0] && fit.win[3] <= fit.page[1],
              `window ${fit.win} in a page of ${fit.page}`);
    assert.ok(Math.abs(w / h - 4 / 3) < 0.01, `aspect ${w}x${h}`);
    assert.ok(w >= fit.page[0] - 8 || h >= fit.page[1] - 28, `scaled no more than needed: ${w}x${h}`);
    await page.click('.kw-display .kw-size');
    await page.evaluate(() => window.scrollTo(0, 0));
    const atSize = await boxes();
    assert.deepEqual([atSize.canvas[2] - atSize.canvas[0], atSize.canvas[3] - atSize.canvas[1]], [640, 480]);
    assert.ok(atSize.win[0] >= 0 && atSize.win[1] >= 0, `top left edge in reach: ${atSize.win}`);
    await page.evaluate(() => window.scrollTo(100000, 100000));
    const scrolled = await boxes();
    assert.ok(scrolled.win[2] <= scrolled.page[0] && scrolled.win[3] <= scrolled.page[1],
              `bottom right edge in reach: ${scrolled.win} in ${scrolled.page}`);
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

  // What the browser refuses once the show starts: full screen (the show's
  // message box, answered in the page's dialog), a WebGL context for the
  // display, the sound output. Each is a failed start: no frame of the show,
  // and the end page says what failed.
  for (const [what, refuse, fullScreen, line] of [
    ['full screen', () => { Element.prototype.requestFullscreen = () => Promise.reject(new TypeError('denied')); }, true,
     /the browser did not allow full screen/],
    ['WebGL for the display', () => {
      const real = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function(...args) {
        return this.id.startsWith('kaveld-display') ? null : real.apply(this, args);
      };
    }, false, /cannot create a WebGL context/],
    ['to start the sound', () => {
      const Real = AudioContext;
      window.AudioContext = class extends Real { resume() { return this.suspend(); } };
    }, false, /cannot open the sound output: the browser's audio output did not start/],
    ['the song player', () => { AudioWorklet.prototype.addModule = () => Promise.reject(new DOMException('refused')); },
     false, /cannot open the sound output: the browser's audio worklet did not load/],
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

// A page that cannot show the show says why in one line, on the page and in
// its console, before the form is offered (or, once the program runs, on the
// end page), and waits for nothing more.
describe('a page that cannot run the show', () => {
  const file = (name) => fs.readFileSync(path.join(o.site, name));
  const only = (wanted, answer) => (name) => (name === wanted ? answer(name) : null);
  const cases = [
    ['kaveld.data is missing', {respond: only('kaveld.data', () => ({status: 404, body: 'gone'}))},
     /^kaveld\.data did not download: HTTP 404/],
    ['kaveld.wasm is missing', {respond: only('kaveld.wasm', () => ({status: 404, body: 'gone'}))},
     /^kaveld\.wasm did not download: HTTP 404/],
    ['kaveld.js fails on the server', {respond: only('kaveld.js', () => ({status: 500, body: 'broken'}))},
     /^kaveld\.js did not download: HTTP 500/],
    ['kaveld.data arrives short', {respond: only('kaveld.data', (n) => ({status: 200, body: file(n).subarray(0, 20000)}))},
     /^kaveld\.data arrived short: 20000 of its \d+ bytes/],
    ['kaveld.data arrives changed', {respond: only('kaveld.data', (n) => {
      const bytes = Buffer.from(file(n));
      bytes[bytes.length >> 1] ^= 1;
      return {status: 200, body: bytes};
    })}, /^kaveld\.data arrived changed/],
    ['kaveld.wasm does not compile', {before: () => {
      WebAssembly.instantiate = () => Promise.reject(new WebAssembly.CompileError('no such feature'));
    }}, /^kaveld\.wasm did not compile: no such feature/],
    ['the browser has no WebGL', {before: () => { HTMLCanvasElement.prototype.getContext = () => null; }},
     /^this browser has no WebGL/],
    ['the browser has no Web Audio', {before: () => { delete window.AudioContext; }},
     /^this browser has no Web Audio/],
    ['the page is opened from a file', {url: () => 'file://' + path.join(o.site, 'index.html')},
     /^this page must come from a web server.*`make serve-web`/],
  ];
  for (const [what, how, line] of cases) {
    it(`says so when ${what}`, async () => {
      const url = how.url ? how.url() : site.url;
      const page = await openPage(chromium.browser, url, how.before, {form: false, respond: how.respond});
      await until(page, () => typeof window.kaveldFailed == 'string', 60000);
      const shown = await page.$eval('#status', (n) => n.textContent);
      assert.match(shown, line);
      assert.ok(page.lines.includes('kaveld: ' + shown), `console: ${page.lines.join(' | ')}`);
      assert.equal(await page.$$eval('.kw-options', (n) => n.length), 0, 'no form offered');
      assert.equal(await page.$eval('#bar', (n) => n.hidden), true);
      await page.close();
    });
  }

  it('says so when the page cannot make the show\'s data', async () => {
    const page = await openPage(chromium.browser, site.url, () => {
      // The program's fonts are taken away as it starts, before the page makes the data from them.
      let module;
      Object.defineProperty(window, 'Module', {configurable: true, get: () => module, set: (m) => {
        if (module) return;  // kaveld.js assigns it again
        module = m;
        const ready = m.onRuntimeInitialized;
        m.onRuntimeInitialized = () => { m.FS.unlink('fonts/DejaVuSans-Bold.ttf'); ready(); };
      }});
    });
    await ended(page);
    assert.match(await page.$eval('#failures', (n) => n.textContent),
                 /^the show's data could not be made: cannot open font fonts\/DejaVuSans-Bold\.ttf$/);
    assert.ok(page.lines.includes('kaveld: the show\'s data could not be made: cannot open font fonts/DejaVuSans-Bold.ttf'));
    assert.equal(await page.evaluate(() => kaveld.presents.length), 0);
    await page.close();
  });

  it('says so when the program stops while it runs', async () => {
    const page = await openPage(chromium.browser, site.url, () => {
      let calls = 0;
      const real = WebGLRenderingContext.prototype.drawElements;
      WebGLRenderingContext.prototype.drawElements = function(...args) {
        if (++calls > 2000) throw new Error('the context went away');
        return real.apply(this, args);
      };
    });
    await click(page, 'full screen');
    await click(page, 'OK');
    await ended(page);
    assert.match(await page.$eval('#failures', (n) => n.textContent), /the program stopped: .*the context went away/);
    assert.ok(page.lines.some((l) => /^kaveld: the program stopped: .*the context went away/.test(l)));
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
        assert.ok(r.mean <= kParityBounds.mean, `frame ${r.frame} (order ${r.order}): mean difference ${r.mean}`);
        assert.ok(r.p99 <= kParityBounds.p99, `frame ${r.frame} (order ${r.order}): 99th percentile ${r.p99}`);
      }
    } finally {
      fs.rmSync(work, {recursive: true, force: true});
    }
  });
});
