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

export async function launch() {
  const profile = fs.mkdtempSync(path.join(process.env.TMPDIR || os.tmpdir(), 'kaveld-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    userDataDir: profile,
    headless: true,
    protocolTimeout: 600000,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--use-angle=swiftshader',
           '--enable-unsafe-swiftshader', '--window-size=1280,900'],
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return {browser, close};
}

// A page of the site whose errors (uncaught, and WebGL's own complaints) are kept in page.errors.
export async function openPage(browser, url, before) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  page.on('console', (m) => {
    if (/GL_INVALID|GL ERROR|WebGL: |exception|abort/i.test(m.text())) page.errors.push(m.text());
  });
  await page.setViewport({width: 1280, height: 900});
  if (before) await page.evaluateOnNewDocument(before);
  await page.goto(url);
  await page.waitForSelector('.kw-options .kw-button', {timeout: 120000});
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
