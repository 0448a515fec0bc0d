// contract_test.mjs -- the contract suite (tests/contract) in headless
// Chromium: its page (build-web/contract/) served and opened, sound allowed
// to start without a viewer's click, its lines passed through from the
// console until the count comes. Fails when a case failed, the page threw,
// or the count did not come within five minutes.
import {launch, options, serve} from './browser.mjs';

const o = options(process.argv);
const site = await serve(o.site);
const chromium = await launch(['--autoplay-policy=no-user-gesture-required']);
let verdict = 'the suite did not finish';
try {
  const page = await chromium.browser.newPage();
  const done = new Promise((resolve) => {
    page.on('console', (message) => {
      const line = message.text();
      console.log(line);
      const count = /^contract: web: \d+ cases, \d+ passed, \d+ skipped, (\d+) failed$/.exec(line);
      if (count) resolve(count[1] === '0' ? null : `${count[1]} cases failed`);
    });
    page.on('pageerror', (error) => resolve(`the page threw: ${error.message}`));
  });
  await page.goto(site.url);
  verdict = await Promise.race([done, new Promise((resolve) => setTimeout(() => resolve(verdict), 300000).unref())]);
} finally {
  await chromium.close();
  site.stop();
}
if (verdict) {
  console.log(`FAIL: contract: ${verdict}`);
  process.exit(1);
}
