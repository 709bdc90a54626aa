// Exported quiz pages played in Debian's Chromium and Firefox with real key
// events: verdicts and colours, both views, the answers kept across a reload
// and apart between quizzes, hostile texts, phones, a browser that refuses
// storage, and the verdict table in the page's own module. Every request a
// page makes is logged; any beyond the page itself and its data: pictures
// fails the test. Then a smoke test in WebKit (WebKitGTK's WebDriver, with
// selenium-webdriver). Ends with "browser tests: N passed, M failed".
//
// Environment: ZORBEL_QUIZMAKE, a native quizmake; ZORBEL_WEB_OUT, a folder
// for the exported pages (default build/web-tests).
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { Builder, By, Key } from 'selenium-webdriver';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const out = path.resolve(process.env.ZORBEL_WEB_OUT || path.join(root, 'build/web-tests'));
const quizmake = process.env.ZORBEL_QUIZMAKE || path.join(root, 'build/native/tools/quizmake/quizmake');

// --- The quizzes --------------------------------------------------------------

rmSync(out, { recursive: true, force: true });
mkdirSync(out, { recursive: true });
const hostileName = '</script><script>window.__pwned = 1</script> & <img src=x onerror="window.__pwned = 2">';
writeFileSync(path.join(out, 'hostile.toml'), [
  `name = ${JSON.stringify(hostileName)}`,
  'creator = "<b>Moi</b> & toi"',
  'explanation = "Tapez &amp; <i>sans</i> accents."',
  'comment_mode = 2',
  'codes = ["<script>window.__pwned = 3</script>"]',
  '[[question]]', 'answer = "L\'ÉTÉ"', 'comment = "<img src=x onerror=\\"window.__pwned = 4\\">"',
  '[[question]]', 'answer = "CHÂTEAU"',
].join('\n'));
function exportQuiz(name, source) {
  const page = path.join(out, `${name}.html`);
  execFileSync(quizmake, ['web', source, '-o', page]);
  return pathToFileURL(page).href;
}
const quizzes = {
  demo: exportQuiz('demo', path.join(root, 'samples/demo/demo.toml')),
  oneAnswer: exportQuiz('one_answer', path.join(root, 'tests/e2e/quizzes/one_answer.toml')),
  twoAnswers: exportQuiz('two_answers', path.join(root, 'tests/e2e/quizzes/two_answers.toml')),
  hostile: exportQuiz('hostile', path.join(out, 'hostile.toml')),
};
const verdictRows = readFileSync(path.join(root, 'tests/data/verdict_cases.tsv'), 'utf8').split('\n')
  .filter((line) => line && !line.startsWith('#')).map((line) => line.split('\t'));

// --- Driving a page ------------------------------------------------------------

const browsers = [
  { name: 'chromium', options: { browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--no-first-run', '--disable-sync'] } },
  { name: 'firefox', options: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr' } },
];

const control = (id) => `[data-control="${id}"]`;

// A page with its requests and policy violations logged; `before` runs in it
// before any of its own scripts.
async function open(browser, url, { viewport = { width: 1280, height: 800 }, before = null } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const requests = [];
  const errors = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('dialog', (dialog) => dialog.accept());
  await page.evaluateOnNewDocument(() => {
    window.__violations = [];
    document.addEventListener('securitypolicyviolation', (event) => window.__violations.push(event.violatedDirective));
  });
  if (before) await page.evaluateOnNewDocument(before);
  await page.goto(url);
  await page.waitForSelector('html[data-ready="true"]', { timeout: 15000 });
  page.checkQuiet = async () => {
    const foreign = requests.filter((address) => address !== url && !address.startsWith('data:image/'));
    assert.deepEqual(foreign, [], 'the page asked for nothing but its own pictures');
    assert.deepEqual(await page.evaluate(() => window.__violations), [], 'no policy violation');
    assert.deepEqual(errors, [], 'no script error');
  };
  return page;
}

const text = (page, selector) => page.$eval(selector, (e) => (e.tagName === 'INPUT' ? e.value : e.textContent));
const shown = (page, selector) => page.$eval(selector, (e) => !e.closest('[hidden]') && getComputedStyle(e).display !== 'none');
const background = (page, selector) => page.$eval(selector, (e) => getComputedStyle(e).backgroundColor);
const focusedControl = (page) => page.evaluate(() => document.activeElement && document.activeElement.dataset.control);

async function typeInto(page, selector, typed) {
  await page.focus(selector);
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  if (typed) await page.keyboard.type(typed);
}

async function answer(page, selector, typed) {
  await typeInto(page, selector, typed);
  await page.keyboard.press('Enter');
}

// --- The tests -------------------------------------------------------------------

const tests = [];
const test = (name, run) => tests.push({ name, run });

test('plays the demo with real keys, in both views', async (browser) => {
  const page = await open(browser, quizzes.demo);
  assert.equal(await focusedControl(page), '9000', 'the answer field has the focus at once');
  assert.equal(await page.title(), 'Le ciel et la nature');
  await page.keyboard.type('soliel');
  await page.keyboard.press('Enter');
  assert.equal(await text(page, control(9500)), 'Anagramme');
  assert.equal(await background(page, control(9500)), 'rgb(255, 100, 0)');
  await answer(page, control(9000), 'Soleil ');
  assert.equal(await text(page, control(9500)), 'BRAVO');
  assert.equal(await background(page, control(9500)), 'rgb(0, 255, 0)');
  assert.equal(await text(page, control(32)), ' 1 / 12');
  assert.equal(await text(page, control(30)), 'F');
  await page.click(control(9905));
  await page.click(control(9905));
  assert.equal(await page.$eval(control(10000), (e) => e.selectedOptions[0].textContent), 'Image n°3');
  await answer(page, control(9000), 'étoile');
  assert.equal(await text(page, control(9500)), 'Quasiment', 'accents are not folded');
  assert.equal(await background(page, control(9500)), 'rgb(255, 203, 38)');
  await answer(page, control(9000), 'zzz');
  assert.equal(await background(page, control(9500)), 'rgb(255, 0, 0)');
  await page.keyboard.press('F3');
  assert.ok(await shown(page, control(4001)) && !(await shown(page, control(9000))), 'F3 shows the overview');
  assert.equal(await focusedControl(page), '4003', "the focus is in the shown question's field");
  assert.equal(await text(page, control(5001)), 'BRAVO');
  assert.equal(await text(page, control(4003)), 'zzz', 'the answers come along');
  await page.keyboard.press('Tab');
  assert.equal(await focusedControl(page), '4004');
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  assert.equal(await focusedControl(page), '4002');
  await page.keyboard.type('lune');
  await page.keyboard.press('Enter');
  assert.equal(await text(page, control(5002)), 'BRAVO');
  assert.equal(await text(page, control(32)), ' 2 / 12');
  await page.click(control('switch'));
  assert.ok(await shown(page, control(9000)), 'the button switches back');
  assert.equal(await text(page, control(9000)), 'zzz');
  await page.checkQuiet();
  await page.close();
});

test('keeps the answers across a reload and apart for each quiz', async (browser) => {
  const context = await browser.createBrowserContext();
  const first = await open(context, quizzes.oneAnswer);
  await answer(first, control(9000), 'tour eiffel');
  await first.click(control(9905));
  await typeInto(first, control(9000), 'pari');
  await first.reload();
  await first.waitForSelector('html[data-ready="true"]');
  assert.equal(await text(first, control(32)), ' 1 / 3');
  assert.equal(await text(first, control(9000)), 'tour eiffel');
  assert.equal(await text(first, control(9501)), 'Construite en 1889.');
  await first.click(control(9905));
  assert.equal(await text(first, control(9000)), 'pari', 'kept on leaving the field, without Enter');
  const other = await open(context, quizzes.twoAnswers);
  assert.equal(await text(other, control(32)), ' 0 / 2', 'another quiz keeps its own answers');
  await first.bringToFront();
  await first.click(control('restart'));
  await first.reload();
  await first.waitForSelector('html[data-ready="true"]');
  assert.equal(await text(first, control(9000)), '', 'Recommencer clears the answers');
  assert.equal(await text(first, control(32)), ' 0 / 3');
  await first.checkQuiet();
  await other.checkQuiet();
  await context.close();
});

test('two answers, comments and F1 in the overview', async (browser) => {
  const page = await open(browser, quizzes.twoAnswers);
  await page.keyboard.press('F3');
  assert.deepEqual(await page.$$eval(control(156), (labels) => labels.map((l) => l.textContent)),
    ['Ville', 'Pays', 'Ville', 'Pays']);
  await answer(page, control(4001), 'paris');
  await answer(page, control(4002), 'france');
  await answer(page, control(4003), 'rome');
  assert.ok(!(await shown(page, control(8001))), 'comment mode 4: nothing before every answer is right');
  await typeInto(page, control(4004), 'italie');
  await page.keyboard.press('F1');
  assert.equal(await text(page, control(4001)), 'paris', 'F1 leaves the right answers alone');
  assert.equal(await text(page, control(5004)), 'BRAVO');
  assert.ok(await shown(page, control(8001)) && await shown(page, control(8002)), 'every comment once all are right');
  await answer(page, control(4003), 'roma');
  assert.ok(await shown(page, control(8001)) && !(await shown(page, control(8002))), 'a wrong answer hides its own');
  assert.equal(await text(page, control(32)), ' 2 / 2');
  await page.checkQuiet();
  await page.close();
});

test('shows the texts as written, runs none of them, composes what is typed', async (browser) => {
  const page = await open(browser, quizzes.hostile);
  assert.equal(await page.title(), hostileName);
  assert.equal(await text(page, control(29)), hostileName);
  assert.equal(await text(page, control(26)), '<b>Moi</b> & toi');
  await answer(page, control(9000), 'l’ÉTÉ');
  assert.equal(await text(page, control(9500)), 'BRAVO', 'the phone apostrophe is an apostrophe');
  assert.equal(await text(page, control(9501)), '<img src=x onerror="window.__pwned = 4">');
  assert.equal(await text(page, control(30)), '<script>window.__pwned = 3</script>');
  await page.click(control(9905));
  await answer(page, control(9000), 'CHA\u0302TEAU');
  assert.equal(await text(page, control(9500)), 'BRAVO', 'a decomposed Â is composed first');
  await page.keyboard.press('F3');
  assert.equal(await page.evaluate(() => window.__pwned), undefined);
  await page.checkQuiet();
  await page.close();
});

test('the verdict table in the page\'s module', async (browser) => {
  const page = await open(browser, quizzes.demo);
  const wrong = await page.evaluate(async (rows) => {
    const api = zorbelApi(await ZorbelModule());
    return rows.filter(([expected, typed, view, verdict]) => api.grade(expected, typed, view === 'overview') !== verdict)
      .map((row) => row.join(' | '));
  }, verdictRows);
  assert.ok(verdictRows.length >= 500);
  assert.deepEqual(wrong, []);
  await page.close();
});

test('fits a phone: no sideways scrolling, phone keyboards tamed, accent keys', async (browser) => {
  const page = await open(browser, quizzes.demo, { viewport: { width: 360, height: 740, isMobile: true, hasTouch: true } });
  const sideways = () => page.evaluate(() => document.documentElement.scrollWidth - document.documentElement.clientWidth);
  assert.equal(await sideways(), 0, 'single view');
  const field = await page.$eval(control(9000), (e) => ['lang', 'autocapitalize', 'autocomplete', 'autocorrect', 'spellcheck']
    .map((name) => e.getAttribute(name)));
  assert.deepEqual(field, ['fr', 'none', 'off', 'off', 'false']);
  const top = await page.$eval(control(9907), (e) => e.getBoundingClientRect().top);
  const bottom = await page.$eval(control(9000), (e) => e.getBoundingClientRect().bottom);
  assert.ok(bottom - top <= 740 * 0.55, `picture and field fit above a keyboard that takes 45 % (${bottom - top} px)`);
  assert.ok(await shown(page, '[data-control="accent"]'), 'the accent keys show while typing');
  await page.keyboard.type('tre');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  await page.click('[data-control="accent"]:nth-child(5)');  // é
  assert.equal(await text(page, control(9000)), 'tére', 'inserted at the caret');
  await page.click(control('switch'));
  assert.equal(await sideways(), 0, 'overview');
  await page.checkQuiet();
  await page.close();
});

test('plays on when the browser refuses to keep anything', async (browser) => {
  const page = await open(browser, quizzes.oneAnswer, {
    before: () => Object.defineProperty(window, 'localStorage', { get() { throw new Error('refused'); } }),
  });
  assert.match(await text(page, '#notice'), /ne garde pas les réponses/);
  await answer(page, control(9000), 'tour eiffel');
  assert.equal(await text(page, control(9500)), 'BRAVO');
  await page.close();
});

// --- Running them ---------------------------------------------------------------

let passed = 0;
let failed = 0;
for (const { name, options } of browsers) {
  let browser;
  try {
    browser = await puppeteer.launch({ headless: true, ...options });
  } catch (error) {
    console.log(`not ok - ${name} does not start: ${error.message}`);
    failed += tests.length;
    continue;
  }
  for (const { name: testName, run } of tests) {
    try {
      await run(browser);
      console.log(`ok - ${testName} [${name}]`);
      passed += 1;
    } catch (error) {
      console.log(`not ok - ${testName} [${name}]\n  ${String(error.stack || error).split('\n').slice(0, 6).join('\n  ')}`);
      failed += 1;
    }
  }
  await browser.close();
}
// --- WebKit, as Safari's engine: a smoke test through its WebDriver ---------------

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// WebKitGTK's MiniBrowser needs a display: a virtual one when there is none.
async function withDisplay(run) {
  if (process.env.DISPLAY) return run(process.env.DISPLAY);
  let number = 140;
  while (existsSync(`/tmp/.X11-unix/X${number}`) || existsSync(`/tmp/.X${number}-lock`)) number += 1;
  const server = spawn('Xvfb', [`:${number}`, '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'], { stdio: 'ignore' });
  try {
    for (let i = 0; i < 50 && !existsSync(`/tmp/.X11-unix/X${number}`); i += 1) await sleep(100);
    return await run(`:${number}`);
  } finally {
    server.kill();
  }
}

async function webkitSmoke() {
  const port = 4400 + (process.pid % 500);
  await withDisplay(async (display) => {
    const driverProcess = spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY: display } });
    try {
      await sleep(500);
      const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] },
      }).build();
      try {
        await driver.get(quizzes.demo);
        await driver.wait(async () => (await driver.executeScript('return document.documentElement.dataset.ready')) === 'true', 15000);
        const textOf = async (id) => driver.executeScript('return arguments[0].textContent', await driver.findElement(By.css(control(id))));
        await driver.findElement(By.css(control(9000))).sendKeys('soleil', Key.ENTER);
        assert.equal(await textOf(9500), 'BRAVO');
        assert.equal(await textOf(32), ' 1 / 12');
        await driver.findElement(By.css(control('switch'))).click();
        assert.equal(await textOf(5001), 'BRAVO');
      } finally {
        await driver.quit();
      }
    } finally {
      driverProcess.kill();
    }
  });
}

try {
  await webkitSmoke();
  console.log('ok - plays the demo [webkit]');
  passed += 1;
} catch (error) {
  console.log(`not ok - plays the demo [webkit]\n  ${String(error.stack || error).split('\n').slice(0, 6).join('\n  ')}`);
  failed += 1;
}

console.log(`browser tests: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
