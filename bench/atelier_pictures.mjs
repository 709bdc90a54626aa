// The Atelier's pictures in headless Chromium: a 4000 x 3000 photo prepared
// (the module's rules, decoded, reduced and encoded in the worker), then
// twelve such photos added at once; against the bare decoding of the same
// photo by the browser, measured in the same page, and with the longest stall
// of the page's thread while the twelve are prepared.
// Usage: node bench/atelier_pictures.mjs (ZORBEL_ATELIER_MODULE: the module)
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.join(here, '..');
const puppeteer = createRequire(path.join(root, 'tests/web/browser/package.json'))('puppeteer-core');
const modulePath = process.env.ZORBEL_ATELIER_MODULE || path.join(root, 'build/native/web/atelier/zorbel_atelier_module.js');
const folder = path.join(root, 'build/bench');
mkdirSync(folder, { recursive: true });

// A photo's worth of detail: shading under fine noise.
const photoPath = path.join(folder, 'photo_4000x3000.jpg');
execFileSync('convert', ['-size', '4000x3000', 'gradient:rgb(200,150,90)-rgb(30,70,140)', '-attenuate', '0.3',
  '+noise', 'Gaussian', '-interlace', 'none', '-quality', '90', photoPath]);
const photo = readFileSync(photoPath);

const source = (name) => readFileSync(path.join(root, 'web/atelier', name), 'utf8');
const pagePath = path.join(folder, 'atelier_pictures.html');
writeFileSync(pagePath, `<!doctype html>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; script-src 'unsafe-inline' 'wasm-unsafe-eval'; worker-src blob:">
<script type="text/plain" id="picture-worker">${source('picture_worker.js')}</script>
<script>${readFileSync(modulePath, 'utf8')}</script>
<script>${source('picture_preparer.js')}</script>
<script>
window.preparerReady = (async () =>
  createPicturePreparer(await ZorbelAtelierModule(), document.getElementById('picture-worker').textContent))();
</script>`);

async function measure(base64) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const preparer = await window.preparerReady;
  const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
  async function timed(work) {
    const start = performance.now();
    await work();
    return performance.now() - start;
  }
  // The page's thread, ticking every 5 ms: its longest gap while `work` runs.
  async function withStalls(work) {
    let last = performance.now();
    let longest = 0;
    const ticker = setInterval(() => {
      const now = performance.now();
      longest = Math.max(longest, now - last);
      last = now;
    }, 5);
    const time = await timed(work);
    clearInterval(ticker);
    return { time, longest };
  }
  const prepareOne = async () => {
    const result = await preparer.prepare('photo.jpg', bytes, 0xffffff, 0);
    if (result.error || result.kind !== 1) throw new Error(result.error || 'not a JPEG');
  };
  await prepareOne();  // warm-up
  const decodes = [];
  const singles = [];
  for (let run = 0; run < 7; run += 1) {
    decodes.push(await timed(async () => (await createImageBitmap(new Blob([bytes]))).close()));
    singles.push(await timed(prepareOne));
  }
  const twelves = [];
  for (let run = 0; run < 3; run += 1) {
    twelves.push(await withStalls(() => Promise.all(Array.from({ length: 12 }, prepareOne))));
  }
  twelves.sort((a, b) => a.time - b.time);
  return { decode: median(decodes), single: median(singles), twelve: twelves[1].time, stall: twelves[1].longest };
}

const browser = await puppeteer.launch({
  browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
try {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(pagePath).href);
  const figures = await page.evaluate(measure, photo.toString('base64'));
  const ms = (value) => `${value.toFixed(0)} ms`;
  console.log(`photo: 4000 x 3000 JPEG, ${(photo.length / 1048576).toFixed(1)} MB; Chromium ${await browser.version()}`);
  console.log(`one photo prepared: ${ms(figures.single)} (median of 7), target 150 ms; ` +
    `${(figures.single / figures.decode).toFixed(2)} x the bare decoding (${ms(figures.decode)})`);
  console.log(`twelve at once: ${ms(figures.twelve)} (median of 3), target 2000 ms; ` +
    `longest stall of the page's thread ${ms(figures.stall)}`);
} finally {
  await browser.close();
}
