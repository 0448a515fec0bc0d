// parity.mjs -- the browser's frames against the Linux build's: the capture
// tool runs the show offline (seed 1, 640x480) writing its trace and every
// 50th frame; one of those from the middle of each row of the timeline (and
// three from the credits) is chosen; the page's deterministic mode steps
// the same show to the same frames and hands them over; parity.py measures
// the differences.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {click, openPage, repo, until} from './browser.mjs';

const kEvery = 50;
// The timeline's rows by order: [from, below).
const kRows = [[0, 2], [2, 5], [5, 7], [7, 8], [8, 9], [9, 12], [12, 13], [13, 14], [14, 24], [24, 26], [26, 27],
               [27, 1000]];

// How far a frame may differ, the same for every row. Two software
// rasterizers (Mesa's llvmpipe, Chromium's SwiftShader) fill the same
// triangles with the same matrices (bit for bit: tests/platform/
// web_math_test.cpp), texture coordinates and blends, but differ in which
// pixel an edge or a line falls on, in filtering weights and in the last bit
// of rounding: measured over every row of the timeline a mean of 0.8 at most
// and a 99th percentile of 10 at most (the morph scene's sphere-mapped mesh
// and its wireframe), the bounds leaving room for other machines' Chromium.
// Wireframe edges that fight the solid pass over depth put the morph rows'
// 99th percentile near 130; a missing texture generation puts those frames at
// means of 13 to 14 and the other meshes' at 6 to 13; additive squares
// blended as plain alpha put nearly every other frame at means of 11 to 53.
export const kParityBounds = {mean: 1.0, p99: 16};

export function parityFrames(linuxBuild, work) {
  const trace = path.join(work, 'trace.jsonl');
  const select = Array.from({length: 240}, (_, k) => k * kEvery).join(',');
  execFileSync('timeout', ['-k', '10', '900', path.join(linuxBuild, 'kaveld-capture'), '--seed', '1', '--size',
    '640x480', '--data', path.join(linuxBuild, 'data'), '--trace', trace, '--select', select, '--out',
    path.join(work, 'linux')], {stdio: ['ignore', 'ignore', 'inherit']});
  const orders = fs.readFileSync(trace, 'utf8').trim().split('\n').map((l) => JSON.parse(l).musicOrder);
  const chosen = [];
  for (const [from, below] of kRows) {
    const inRow = orders.map((o, f) => (o >= from && o < below && f % kEvery === 0 ? f : -1)).filter((f) => f >= 0);
    if (inRow.length === 0) throw new Error(`no captured frame in orders ${from}..${below - 1}`);
    const picks = below === 1000 ? [0.2, 0.5, 0.8] : [0.5];
    for (const p of picks) chosen.push({frame: inRow[Math.floor(p * (inRow.length - 1))], order: orders[inRow[0]]});
  }
  return chosen.map((c) => ({frame: c.frame, order: orders[c.frame]}));
}

// The page's frames (RGBA, bottom row first) written to work/web_NNNNNN.rgba,
// then compared; resolves to [{frame, order, mean, p99}].
export async function renderParity(browser, url, linuxBuild, frames, work, extra = '') {
  const list = frames.map((f) => f.frame).join(',');
  const page = await openPage(browser, `${url}?step&seed=1&frames=${list}${extra}`);
  await click(page, 'full screen');
  await click(page, 'OK');
  await until(page, () => window.kaveldEnded === true, 1200000);
  if (page.errors.length) throw new Error(`page errors: ${page.errors.join('; ')}`);
  for (const f of frames) {
    const data = await page.evaluate((n) => {
      const pixels = kaveld.captures[n];
      if (!pixels) return null;
      let text = '';
      for (let i = 0; i < pixels.length; i += 32768) text += String.fromCharCode.apply(null, pixels.subarray(i, i + 32768));
      return btoa(text);
    }, f.frame);
    if (!data) throw new Error(`the page did not hand over frame ${f.frame}`);
    fs.writeFileSync(path.join(work, `web_${String(f.frame).padStart(6, '0')}.rgba`), Buffer.from(data, 'base64'));
  }
  await page.close();
  const out = execFileSync('/usr/bin/python3', [path.join(repo, 'tests/web/parity.py'), work, path.join(work, 'linux'),
    ...frames.map((f) => String(f.frame))], {encoding: 'utf8'});
  return JSON.parse(out).map((r) => ({...r, order: frames.find((f) => f.frame === r.frame).order}));
}
