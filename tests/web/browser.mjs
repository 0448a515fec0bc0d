// browser.mjs -- what the browser tests and the benchmark share: the site
// served on 127.0.0.1 (scripts/serve-web), headless Chromium with WebGL on
// its software rasterizer, a page that records its errors, and the options
// form's controls.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import puppeteer from 'puppeteer-core';

export const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');

export function options(argv) {
  const o = {site: 'dist/kaveld-1.0-web', linuxBuild: 'build'};
  for (let i = 2; i < argv.length; i += 2) {
    if (argv[i] === '--site') o.site = argv[i + 1];
    else if (argv[i] === '--linux-build') o.linuxBuild = argv[i + 1];
    else throw new Error(`unknown option ${argv[i]}`);
  }
  o.site = path.resolve(repo, o.site);
  o.linuxBuild = path.resolve(repo, o.linuxBuild);
  return o;
}

// The site on a free port; resolves to {url, stop}.
export function serve(site) {
  const server = spawn('/usr/bin/python3', [path.join(repo, 'scripts/serve-web'), site, '0'], {stdio: ['ignore', 'pipe', 'inherit']});
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    readline.createInterface({input: server.stdout}).once('line', (url) => resolve({url, stop: () => server.kill()}));
  });
}

// extraArgs: more of Chromium's switches.
export async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(process.env.TMPDIR || os.tmpdir(), 'kaveld-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    userDataDir: profile,
    headless: true,
    protocolTimeout: 600000,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--use-angle=swiftshader',
           '--enable-unsafe-swiftshader', '--window-size=1280,900', ...extraArgs],
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return {browser, close};
}

// A page of the site whose errors (uncaught, and WebGL's own complaints) are
// kept in page.errors and its console's lines in page.lines. `respond`, when
// given, answers the page's requests for the site's files: a response for
// puppeteer's request.respond, or null to let the request through. Resolves
// once the options form is offered (or, with form false, once the page is loaded).
export async function openPage(browser, url, before, {form = true, respond = null} = {}) {
  const page = await browser.newPage();
  page.errors = [];
  page.lines = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  page.on('console', (m) => {
    page.lines.push(m.text());
    if (/GL_INVALID|GL ERROR|WebGL: |exception|abort/i.test(m.text())) page.errors.push(m.text());
  });
  await page.setViewport({width: 1280, height: 900});
  if (before) await page.evaluateOnNewDocument(before);
  if (respond) {
    await page.setRequestInterception(true);
    page.on('request', (request) => {
      const answer = respond(new URL(request.url()).pathname.replace(/^.*\//, ''));
      if (answer) request.respond(answer);
      else request.continue();
    });
  }
  await page.goto(url);
  if (form) await page.waitForSelector('.kw-options .kw-button', {timeout: 120000});
  return page;
}

// The form's controls in order: caption, kind, checked, and position in the client area.
export function controls(page) {
  return page.$$eval('.kw-options .kw-button', (nodes) => nodes.map((n) => ({
    text: n.textContent,
    kind: n.tagName === 'BUTTON' ? 'push' : n.kwBox.type,
    checked: n.kwBox ? n.kwBox.checked : null,
    x: parseInt(n.style.left), y: parseInt(n.style.top), w: parseInt(n.style.width), h: parseInt(n.style.height),
  })));
}

export async function click(page, text, count = 1) {
  const handles = await page.$$('.kw-options .kw-button');
  for (const h of handles) {
    if ((await h.evaluate((n) => n.textContent)) === text) return h.click({count});
  }
  throw new Error(`no control "${text}"`);
}

// Waits until fn (run in the page) is true, checking every 50 ms.
export function until(page, fn, timeout = 120000, arg) {
  return page.waitForFunction(fn, {timeout, polling: 50}, arg);
}

// For evaluateOnNewDocument: records what reaches the page's audio output. A
// tap (an AudioWorkletNode that passes its input through) goes in before the
// destination of every audio context; whatever the page connects to the
// destination goes through it (rerouted once the tap's module is loaded).
// Each block is kept with the context frame it played at, in
// window.kaveldTap.blocks; the chunks the page posts to a song player are
// copied into window.kaveldTap.posted as they go.
export function tapOutput() {
  const source = `registerProcessor('kaveld-tap', class extends AudioWorkletProcessor {
    constructor() { super(); this.blocks = []; }
    process(inputs, outputs) {
      const input = inputs[0], output = outputs[0], n = output[0].length, block = new Float32Array(2 * n);
      for (let c = 0; c < 2; c++) {
        const from = input[c] || input[0];
        if (from) { output[c].set(from); block.set(from, c * n); } else output[c].fill(0);
      }
      this.blocks.push({frame: currentFrame, samples: block});
      if (this.blocks.length == 8) { this.port.postMessage(this.blocks); this.blocks = []; }
      return true;
    }
  });`;
  const url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
  const tap = window.kaveldTap = {blocks: [], posted: []};
  const connect = AudioNode.prototype.connect;
  const Real = window.AudioContext;
  window.AudioContext = class extends Real {
    constructor(...args) {
      super(...args);
      const direct = this.kwDirect = [];
      this.kwTap = null;
      this.audioWorklet.addModule(url).then(() => {
        const node = new AudioWorkletNode(this, 'kaveld-tap', {numberOfInputs: 1, numberOfOutputs: 1,
          outputChannelCount: [2], channelCount: 2, channelCountMode: 'explicit'});
        node.port.onmessage = (e) => { for (const b of e.data) tap.blocks.push(b); };
        connect.call(node, this.destination);
        this.kwTap = node;
        for (const n of direct) {
          try { n.disconnect(this.destination); } catch (e) { continue; }
          connect.call(n, node);
        }
      });
    }
  };
  AudioNode.prototype.connect = function(target, ...rest) {
    const context = this.context;
    if (!(target instanceof AudioDestinationNode) || !('kwTap' in context) || this === context.kwTap)
      return connect.call(this, target, ...rest);
    if (context.kwTap) return connect.call(this, context.kwTap);
    context.kwDirect.push(this);
    return connect.call(this, target, ...rest);
  };
  const post = MessagePort.prototype.postMessage;
  MessagePort.prototype.postMessage = function(data, ...rest) {
    if (data && data.samples instanceof Float32Array && typeof data.first == 'number')
      tap.posted.push({first: data.first, frames: data.frames, samples: data.samples.slice()});
    return post.call(this, data, ...rest);
  };
}

// Run in the page after tapOutput recorded a show: what reached the output,
// from the first sound on. gapMs: the longest run of digital silence (to the
// end of the recording, if the sound never came back);
// burstDb: the loudest 10 ms in the half second after that gap against the
// loudest anywhere else (above 0 dB: late sound played at once); clipped: samples at or
// beyond full scale. With the chunks the page posted (startFrame: the context
// frame of the song's first frame), misplaced counts the samples that are
// neither silence nor the song's own sample at their time, and resumed the
// song's samples heard in their place after the gap.
export function outputReport(startFrame) {
  const rate = 44100, blocks = window.kaveldTap.blocks;
  const ref = new Map();
  for (const c of window.kaveldTap.posted) ref.set(c.first, c);
  const firsts = [...ref.keys()].sort((a, b) => a - b);
  const song = (f) => {  // the posted chunk holding song frame f, by binary search
    let lo = 0, hi = firsts.length - 1, found = null;
    while (lo <= hi) {
      const mid = (lo + hi) >> 1;
      if (firsts[mid] <= f) { found = ref.get(firsts[mid]); lo = mid + 1; } else hi = mid - 1;
    }
    return found && f < found.first + found.frames ? found : null;
  };
  let clipped = 0, misplaced = 0, heardFrom = -1, run = 0, gap = 0, gapEnd = -1;
  const windows = [];  // [context frame, rms] per 10 ms
  let sum = 0, count = 0, windowAt = -1;
  for (const b of blocks) {
    const n = b.samples.length / 2;
    for (let i = 0; i < n; i++) {
      const l = b.samples[i], r = b.samples[n + i], at = b.frame + i;
      if (Math.abs(l) >= 1 || Math.abs(r) >= 1) clipped++;
      const silent = l === 0 && r === 0;
      if (heardFrom < 0 && !silent) heardFrom = at;
      if (heardFrom < 0) continue;
      if (startFrame >= 0 && !silent) {
        const c = song(at - startFrame), k = at - startFrame - (c ? c.first : 0);
        if (!c || c.samples[k] !== l || c.samples[c.frames + k] !== r) misplaced++;
      }
      if (silent) run++;
      else {
        if (run > gap) { gap = run; gapEnd = at; }
        run = 0;
      }
      if (windowAt < 0) windowAt = at;
      sum += l * l + r * r;
      if (++count === rate / 100) {
        windows.push([windowAt, Math.sqrt(sum / (2 * count))]);
        sum = 0; count = 0; windowAt = -1;
      }
    }
  }
  const end = blocks.length ? blocks[blocks.length - 1].frame + blocks[blocks.length - 1].samples.length / 2 : 0;
  if (run > gap) { gap = run; gapEnd = end; }  // a silence to the end is a gap too
  const loudest = (inside) => windows.filter((w) => inside(w[0])).reduce((m, w) => Math.max(m, w[1]), 0);
  const afterGap = loudest((at) => at >= gapEnd && at < gapEnd + rate / 2);
  const before = loudest((at) => at < gapEnd || at >= gapEnd + rate / 2);
  let resumed = 0;
  if (startFrame >= 0) for (const w of windows) if (w[0] >= gapEnd && w[1] > 0) resumed++;
  return {gapMs: (1000 * gap) / rate, burstDb: before > 0 && afterGap > 0 ? 20 * Math.log10(afterGap / before) : 0,
          clipped, misplaced, resumed, recordedMs: (1000 * blocks.length * 128) / rate};
}

// Holds the page's main thread for ms (as a long garbage collection or a busy machine would).
export function stall(page, ms) {
  return page.evaluate((ms) => {
    const from = performance.now();
    while (performance.now() - from < ms) {}
    return performance.now() - from;
  }, ms);
}
