// The web page of a quiz in headless Chromium: from navigation start to the
// first question ready for typing, and from a key to its verdict in the page
// (text and colour applied); the page's bytes against its pictures' and the
// grading module's WebAssembly. Usage: node web_page_bench.mjs QUIZ.exe QUIZMAKE
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const puppeteer = createRequire(path.join(here, '../tests/web/browser/package.json'))('puppeteer-core');
const [quiz, quizmake] = process.argv.slice(2);
const folder = path.join(here, '../build/bench');
mkdirSync(folder, { recursive: true });
const pagePath = path.join(folder, `${path.basename(quiz, '.exe')}.html`);
execFileSync(quizmake, ['web', quiz, '-o', pagePath]);
const url = pathToFileURL(pagePath).href;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;

// --- Bytes -----------------------------------------------------------------------
const html = readFileSync(pagePath, 'utf8');
const data = JSON.parse(html.match(/<script type="application\/json" id="quiz">(.*?)<\/script>/s)[1]);
const pictureBytes = data.pictures.reduce((sum, p) => sum + (p ? Buffer.from(p.data, 'base64').length : 0), 0);
const wasmBytes = Buffer.from(html.match(/data:application\/octet-stream;base64,([A-Za-z0-9+/=]+)/)[1], 'base64').length;
const pageBytes = Buffer.byteLength(html);
const allowed = 1.37 * pictureBytes + 150 * 1024;

// --- Times -------------------------------------------------------------------------
const browser = await puppeteer.launch({
  browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
const readyTimes = [];
for (let run = 0; run < 9; run += 1) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForSelector('html[data-ready="true"]');
  readyTimes.push(await page.evaluate(() => performance.getEntriesByName('zorbel-ready')[0].startTime));
  await context.close();
}

const page = await browser.newPage();
await page.goto(url);
await page.waitForSelector('html[data-ready="true"]');
await page.evaluate(() => {
  window.__verdictTimes = [];
  const field = document.querySelector('[data-control="9000"]');
  const verdict = document.querySelector('[data-control="9500"]');
  let pressed = 0;
  field.addEventListener('keydown', (event) => { if (event.key === 'Enter') pressed = event.timeStamp; }, true);
  new MutationObserver(() => {
    getComputedStyle(verdict).backgroundColor;  // the colour applied too
    window.__verdictTimes.push(performance.now() - pressed);
  }).observe(verdict, { childList: true, characterData: true, subtree: true });
});
const typings = ['reponse', 'reponse 1', 'xyz', 'REPONSE 1', 'reponse 11'];
for (let i = 0; i < 60; i += 1) {
  await page.$eval('[data-control="9000"]', (e) => { e.value = ''; });
  await page.keyboard.type(typings[i % typings.length]);
  await page.keyboard.press('Enter');
}
const verdictTimes = await page.evaluate(() => window.__verdictTimes);
await browser.close();

console.log(`web page of ${path.basename(quiz)} (${data.pictures.length} questions), headless Chromium`);
console.log(`  navigation start to the first question ready: median ${median(readyTimes).toFixed(1)} ms of ${readyTimes.length}` +
  ` (min ${Math.min(...readyTimes).toFixed(1)}, max ${Math.max(...readyTimes).toFixed(1)}; goal <= 300 ms)`);
console.log(`  Enter to its verdict in the page: median ${median(verdictTimes).toFixed(2)} ms of ${verdictTimes.length}` +
  ` (max ${Math.max(...verdictTimes).toFixed(2)}; goal <= 5 ms)`);
console.log(`  page ${kb(pageBytes)}, pictures ${kb(pictureBytes)}: ${(pageBytes / pictureBytes).toFixed(3)} x the pictures;` +
  ` allowed 1.37 x + 150 KB = ${kb(allowed)} (${pageBytes <= allowed ? 'within' : 'OVER'})`);
console.log(`  grading module: ${kb(wasmBytes)} of WebAssembly (goal <= 60 KB)`);
