// Screenshots of exported quiz pages, as a desktop, phones and a zoomed
// laptop show them: node screenshots.mjs FOLDER DEMO.html ACCENTS.html TWO_ANSWERS.html
// (the browser tests write the last two in build/web-tests) writes web_*.png.
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [folder, demo, accents, twoAnswers] = process.argv.slice(2);
const browser = await puppeteer.launch({
  browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
const phone = { isMobile: true, hasTouch: true, deviceScaleFactor: 2 };
const calm = () => new Promise((resolve) => setTimeout(resolve, 900));  // past the verdict's brief ring
const overview = async (tab) => {
  await tab.click('[data-control="switch"]');
  await tab.keyboard.press('Tab');
  await tab.keyboard.type('lune');
  await tab.keyboard.press('Tab');
};
const shots = [
  ['web_desktop', demo, { width: 1280, height: 800 }, 'Soleil', overview],
  ['web_phone', demo, { width: 360, height: 740, ...phone }, 'Soleil', overview],
  ['web_phone_sideways', accents, { width: 740, height: 360, ...phone }, 'foret'],
  ['web_keyboard_up', accents, { width: 360, height: 380, ...phone }, 'foret'],
  ['web_zoom_200', accents, { width: 640, height: 400, deviceScaleFactor: 2 }, 'foret'],
  ['web_two_answers', twoAnswers, { width: 1280, height: 800 }, 'paris'],
];
for (const [name, page, viewport, typed, then] of shots) {
  const tab = await browser.newPage();
  await tab.setViewport(viewport);
  await tab.goto(pathToFileURL(path.resolve(page)).href);
  await tab.waitForSelector('html[data-ready="true"]');
  await tab.keyboard.type(typed);
  await tab.keyboard.press('Enter');
  await calm();
  await tab.screenshot({ path: path.join(folder, `${name}.png`) });
  if (then) {
    await then(tab);
    await calm();
    await tab.screenshot({ path: path.join(folder, `${name}_overview.png`) });
  }
  await tab.close();
}
await browser.close();
