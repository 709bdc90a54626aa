// Screenshots of an exported quiz page, as a desktop and a phone show it:
// node screenshots.mjs PAGE.html FOLDER (writes web_desktop*.png, web_phone*.png).
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [page, folder] = process.argv.slice(2);
const browser = await puppeteer.launch({
  browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
const shots = [
  ['web_desktop', { width: 1280, height: 800 }],
  ['web_phone', { width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 }],
];
for (const [name, viewport] of shots) {
  const tab = await browser.newPage();
  await tab.setViewport(viewport);
  await tab.goto(pathToFileURL(path.resolve(page)).href);
  await tab.waitForSelector('html[data-ready="true"]');
  await tab.keyboard.type('Soleil');
  await tab.keyboard.press('Enter');
  await tab.screenshot({ path: path.join(folder, `${name}.png`) });
  await tab.click('[data-control="switch"]');
  await tab.keyboard.type('lune');
  await tab.keyboard.press('Tab');
  await new Promise((resolve) => setTimeout(resolve, 300));
  await tab.screenshot({ path: path.join(folder, `${name}_overview.png`) });
  await tab.close();
}
await browser.close();
