// Exported quiz pages played in Debian's Chromium and Firefox with real key
// events: verdicts and colours, both views, the answers and the place kept
// across a reload and apart between quizzes, hostile texts, phones and 200 %
// zoom, accent keys, axe-core's WCAG 2.2 rules, screen readers, the keyboard
// alone, a browser that refuses storage, and the verdict table in the page's
// own module. Every request a
// page makes is logged; any beyond the page itself and its data: pictures
// fails the test. The SCORM package unzipped and played in a frame of a
// learning platform's page, served from this machine, whose window holds a
// real SCORM 1.2 runtime (scorm-again's) behind an API that records every
// call (the record of a short game is kept in ZORBEL_WEB_OUT). Then a smoke
// test in WebKit (WebKitGTK's WebDriver, with selenium-webdriver). Ends with
// "browser tests: N passed, M failed".
//
// Environment: ZORBEL_QUIZMAKE, a native quizmake; ZORBEL_WEB_OUT, a folder
// for the exported pages (default build/web-tests).
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
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
// Accents in capitals and small letters, a ligature, one letter last; a dark
// red background, on which text must be white.
writeFileSync(path.join(out, 'accents.toml'), ['name = "Des accents"', 'comment_mode = 2', 'background = [200, 0, 0]',
  ...[['FORÊT', 'soleil'], ['cœur', 'lune'], ['Noël', 'etoile'], ['café', 'maison']].flatMap(([answer, picture]) => ['[[question]]',
    `answer = "${answer}"`, 'comment = "Vu."', `picture = ${JSON.stringify(path.join(root, `samples/demo/pictures/${picture}.jpg`))}`]),
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
  accents: exportQuiz('accents', path.join(out, 'accents.toml')),
};
// The SCORM packages, unzipped as a platform unzips them.
function exportPackage(name, source, ...options) {
  const zip = path.join(out, `${name}.zip`);
  execFileSync(quizmake, ['web', '--scorm', ...options, source, '-o', zip]);
  execFileSync('python3', ['-m', 'zipfile', '-e', zip, path.join(out, name)]);
  return zip;
}
const packages = {
  demo: exportPackage('scorm-demo', path.join(root, 'samples/demo/demo.toml')),
  oneAnswer: exportPackage('scorm-one', path.join(root, 'tests/e2e/quizzes/one_answer.toml')),
  passMark: exportPackage('scorm-pass', path.join(root, 'samples/demo/demo.toml'), '--pass', '80'),
};
// Games made and played by the session natively: the page must show, after
// every step, what the session shows. Seeds 1 to 3, 60 steps each, as the
// player's own run (tests/differential/game_script.h); ZORBEL_GAMES=N plays
// N games a quiz.
const gamePlayer = process.env.ZORBEL_GAME_DIFFERENTIAL
  || path.join(root, 'build/native/tests/differential/game_differential');
const gameSeeds = Number(process.env.ZORBEL_GAMES) || 3;
const sessionGames = [];
for (const name of ['one_answer', 'two_answers']) {
  const source = path.join(root, `tests/e2e/quizzes/${name}.toml`);
  for (let seed = 1; seed <= gameSeeds; seed += 1) {
    const file = path.join(out, `game-${name}-${seed}.txt`);
    writeFileSync(file, execFileSync(gamePlayer, ['generate', String(seed), '60', source], { encoding: 'utf8' }));
    const expected = execFileSync(gamePlayer, ['replay', source, file], { encoding: 'utf8' }).trim().split('\n');
    const steps = readFileSync(file, 'utf8').replace(/\n$/, '').split('\n');  // a step may end in a space
    sessionGames.push({ name: `${name} ${seed}`, url: quizzes[name === 'one_answer' ? 'oneAnswer' : 'twoAnswers'], steps, expected });
  }
}
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

// `page` may be a frame: the keys go through its page.
async function typeInto(page, selector, typed) {
  const { keyboard } = page.keyboard ? page : page.page();
  await page.focus(selector);
  await keyboard.down('Control');
  await keyboard.press('KeyA');
  await keyboard.up('Control');
  await keyboard.press('Backspace');
  if (typed) await keyboard.type(typed);
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
  assert.equal(await first.$eval(control(10000), (e) => e.value), '1', 'back on the question it was on');
  assert.equal(await text(first, control(9000)), 'pari', 'kept on leaving the field, without Enter');
  await first.click(control(9906));
  assert.equal(await text(first, control(9000)), 'tour eiffel');
  assert.equal(await text(first, control(9501)), 'Construite en 1889.');
  await first.click(control('switch'));
  await first.reload();
  await first.waitForSelector('html[data-ready="true"]');
  assert.ok(await shown(first, control(4001)) && !(await shown(first, control(9000))), 'and in the view it was in');
  assert.equal(await focusedControl(first), '4001', "the typing goes into the shown question's field");
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

// What the page shows, in the session's terms (see tests/differential/game_script.h).
function pageState(page, withSaved) {
  return page.evaluate((saved) => {
    const c = (id) => document.querySelector(`[data-control="${id}"]`);
    const value = (e) => (e ? (e.tagName === 'INPUT' ? e.value : e.textContent) : '');
    const slots = [];
    for (let s = 1; c(4000 + s); s += 1) slots.push([value(c(4000 + s)), value(c(5000 + s))]);
    const comments = [];
    for (let j = 1; j <= slots.length; j += 1) if (c(8000 + j) && !c(8000 + j).hidden) comments.push(j);
    const state = {
      view: document.getElementById('overview').hidden ? 'single' : 'overview',
      question: Number(c(10000).value), score: value(c(32)), code: value(c(30)),
      field: value(c(9000)), verdict: value(c(9500)), comment: value(c(9501)), slots, comments,
    };
    if (saved) {
      const key = Object.keys(localStorage).find((k) => k.startsWith('zorbel:'));
      const bytes = Uint8Array.from(localStorage.getItem(key) || '', (ch) => ch.charCodeAt(0));
      state.saved = new TextDecoder('windows-1252').decode(bytes);
    }
    return state;
  }, withSaved);
}

const keyNames = { Up: 'ArrowUp', Down: 'ArrowDown' };
async function playStep(page, step) {
  const [verb, ...rest] = step.split(' ');
  if (verb === 'type') {
    const selector = control(rest[0]);
    await page.click(selector);
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyA');
    await page.keyboard.up('Control');
    await page.keyboard.press('Backspace');
    const typed = rest.slice(1).join(' ');
    if (typed) await page.keyboard.type(typed);
  } else if (verb === 'press' && rest[0] === 'ShiftTab') {
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
  } else if (verb === 'press' && rest[0] === 'F3held') {
    for (let i = 0; i < 4; i += 1) await page.keyboard.down('F3');
    await page.keyboard.up('F3');
  } else if (verb === 'press') {
    await page.keyboard.press(keyNames[rest[0]] || rest[0]);
  } else if (verb === 'click') {
    await page.click(control(rest[0] === 'next' ? 9905 : 9906));
  } else if (verb === 'select') {
    await page.select(control(10000), rest[0]);
  } else if (verb === 'reopen') {
    // The player started again, not a reload: the tab's place is forgotten.
    await page.evaluate(() => sessionStorage.clear());
    await page.reload();
    await page.waitForSelector('html[data-ready="true"]');
  }
  await page.waitForSelector(control(4001));
}

test('plays the session\'s games step for step as the session does', async (browser, browserName) => {
  let steps = 0;
  for (const game of sessionGames) {
    const context = await browser.createBrowserContext();
    const page = await open(context, game.url);
    await page.waitForSelector(control(4001));
    for (let i = 0; i < game.steps.length; i += 1) {
      await playStep(page, game.steps[i]);
      const expected = JSON.parse(game.expected[i]);
      const shownNow = await pageState(page, 'saved' in expected);
      assert.deepEqual(shownNow, expected, `${game.name}, step ${i + 1} (${game.steps[i]}) in ${browserName}`);
      steps += 1;
    }
    await page.checkQuiet();
    await context.close();
  }
  console.log(`# ${browserName}: ${sessionGames.length} games, ${steps} steps, each state as the session's`);
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

// Element rectangles, in the visual viewport's terms.
const rectangles = (page, selectors) => page.evaluate((wanted) => {
  const view = window.visualViewport;
  return Object.fromEntries(wanted.map((selector) => {
    const box = document.querySelector(selector).getBoundingClientRect();
    return [selector, { left: box.left - view.offsetLeft, top: box.top - view.offsetTop, right: box.right - view.offsetLeft,
      bottom: box.bottom - view.offsetTop, width: view.width, height: view.height }];
  }));
}, selectors);
const inSight = (r) => r.left >= 0 && r.top >= 0 && r.right <= r.width + 0.5 && r.bottom <= r.height + 0.5 && r.bottom > r.top;
const apart = (a, b) => a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;

test('phones either way up, the keyboard up, 200 % zoom: field, verdict and accent keys in sight, apart', async (browser, browserName) => {
  const screens = [
    ['phone-upright', { width: 360, height: 740, isMobile: true, hasTouch: true }],
    ['phone-sideways', { width: 740, height: 360, isMobile: true, hasTouch: true }],
    ['keyboard-up', { width: 360, height: 380, isMobile: true, hasTouch: true }],
    ['zoom-200', { width: 640, height: 400, deviceScaleFactor: 2 }],  // a 1280 x 800 laptop at 200 %
  ];
  const parts = [control(9000), control('validate'), control(9500), '.accents', '.frame'];
  for (const [name, viewport] of screens) {
    const page = await open(browser, quizzes.accents, { viewport });
    assert.deepEqual(await page.$eval(control(9000), (e) => ['lang', 'autocapitalize', 'autocomplete', 'autocorrect', 'spellcheck']
      .map((name) => e.getAttribute(name))), ['fr', 'none', 'off', 'off', 'false'], 'phone keyboards tamed');
    await answer(page, control(9000), 'foret');
    await page.waitForFunction(() => document.getAnimations().length === 0);  // the verdict's brief ring
    const boxes = await rectangles(page, parts);
    for (const part of parts.slice(0, 4)) assert.ok(inSight(boxes[part]), `${name}: ${part} in sight ${JSON.stringify(boxes[part])}`);
    for (const [i, a] of parts.entries()) {
      for (const b of parts.slice(i + 1)) assert.ok(apart(boxes[a], boxes[b]), `${name}: ${a} and ${b} apart`);
    }
    assert.ok(boxes['.frame'].bottom - boxes['.frame'].top >= 60, `${name}: a picture is still shown`);
    const sideways = () => page.evaluate(() => document.documentElement.scrollWidth - document.documentElement.clientWidth);
    assert.equal(await sideways(), 0, `${name}: no sideways scrolling`);
    await page.screenshot({ path: path.join(out, `screen-${name}-${browserName}.png`) });
    // The overview: the focused field stays where it was scrolled to, its pictures' room reserved.
    await page.click(control('switch'));
    await page.keyboard.type('no');
    await new Promise((resolve) => setTimeout(resolve, 300));
    const field = await rectangles(page, [control(4001), '.question .accents']);
    assert.ok(inSight(field[control(4001)]) && inSight(field['.question .accents']), `${name}: the overview's field and keys in sight`);
    assert.equal(await sideways(), 0, `${name}: overview, no sideways scrolling`);
    await page.screenshot({ path: path.join(out, `screen-${name}-overview-${browserName}.png`) });
    await page.checkQuiet();
    await page.close();
  }
});

test('accent keys: the letters the expected answers use beyond a to z, in their case, typed where the caret is', async (browser) => {
  const rows = [[quizzes.demo, []], [quizzes.oneAnswer, ['Â']], [quizzes.hostile, ['Â', 'É']], [quizzes.accents, ['œ', 'Ê', 'é', 'ë']]];
  for (const [url, letters] of rows) {
    const page = await open(browser, url);
    assert.deepEqual(await page.$$eval('[data-control="accent"]', (keys) => keys.map((key) => key.textContent)), letters, url);
    assert.equal(await shown(page, '.accents'), letters.length > 0, `${url}: a row only when there are letters`);
    await page.close();
  }
  const page = await open(browser, quizzes.accents);
  await page.select(control(10000), '3');
  await page.keyboard.type('caf');
  await page.click('[data-control="accent"]:nth-child(3)');
  await page.keyboard.press('Enter');
  assert.equal(await text(page, control(9500)), 'BRAVO', 'a letter typed last with its key counts');
  await page.select(control(10000), '0');
  await typeInto(page, control(9000), 'FORT');
  await page.keyboard.press('ArrowLeft');
  await page.click('[data-control="accent"]:nth-child(2)');
  assert.equal(await text(page, control(9000)), 'FORÊT', 'inserted at the caret, in capitals');
  await page.checkQuiet();
  await page.close();
});

// --- Screen readers and keyboards ---------------------------------------------------

const axeSource = readFileSync(path.join(root, 'tests/web/browser/node_modules/axe-core/axe.min.js'), 'utf8');
async function withAxe(page) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.evaluate(axeSource);
}

// axe-core's WCAG 2.2 A and AA rules: each violation as its rule and where.
async function violations(page) {
  await withAxe(page);
  await page.waitForFunction(() => document.getAnimations().length === 0);  // the steady page, not a verdict's brief ring
  return page.evaluate(() => axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] } })
    .then((result) => result.violations.map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(' ')).join(', ')}`)));
}

test('axe: no WCAG 2.2 A or AA violation in either view, before and after answers', async (browser) => {
  const games = [
    [quizzes.oneAnswer, 'tour eiffel', 'pari'],
    [quizzes.twoAnswers, 'paris', 'espagne'],
    [quizzes.accents, 'FORÊT', 'foret'],  // white text on dark red
  ];
  for (const [url, right, wrong] of games) {
    const page = await open(browser, url);
    const found = { single: await violations(page) };
    await page.keyboard.press('F3');
    found.overview = await violations(page);
    await page.keyboard.press('F3');
    await answer(page, control(9000), right);  // its comment shows
    await page.click(control(9905));
    await answer(page, control(9000), wrong);
    found.singleAnswered = await violations(page);
    await page.keyboard.press('F3');
    await answer(page, control(4003), wrong);
    found.overviewAnswered = await violations(page);
    assert.deepEqual(found, { single: [], overview: [], singleAnswered: [], overviewAnswered: [] }, url);
    await page.close();
  }
});

// The names a screen reader is given, as axe-core computes them from the DOM
// (puppeteer has no accessibility tree from Firefox).
async function accessibleNames(page) {
  await withAxe(page);
  return page.evaluate(() => {
    axe.setup(document);
    const names = (selector) => [...document.querySelectorAll(selector)]
      .filter((e) => e.checkVisibility({ visibilityProperty: true })).map((e) => axe.commons.text.accessibleText(e));
    const found = { pictures: names('img'), fields: names('input') };
    axe.teardown();
    return found;
  });
}

// Every text the live region is given, from now on.
const listen = (page) => page.evaluate(() => {
  window.__said = [];
  const region = document.getElementById('announce');
  new MutationObserver(() => { if (region.textContent) window.__said.push(region.textContent); })
    .observe(region, { childList: true, characterData: true, subtree: true });
});

test('screen readers and the keyboard alone: names, every grading said and seen, Escape out of the field and the overview', async (browser) => {
  const page = await open(browser, quizzes.oneAnswer);
  const keys = page.keyboard;
  assert.deepEqual(await accessibleNames(page), { pictures: ['Image de la question 1'], fields: ['Réponse à la question 1'] });
  await listen(page);
  for (const typed of ['zzz', 'yyy', 'tour eiffel']) {
    await answer(page, control(9000), typed);
    assert.ok(await page.$eval(control(9500), (e) => e.getAnimations().length > 0), `${typed}: the verdict is seen to change`);
  }
  await keys.press('Escape');
  assert.equal(await focusedControl(page), 'validate', 'Escape leaves the field');
  await keys.press('Tab');
  await keys.press('Enter');
  assert.equal(await focusedControl(page), '9000', 'the next question, the typing back in its field');
  assert.deepEqual(await accessibleNames(page), { pictures: ['Image de la question 2'], fields: ['Réponse à la question 2'] });
  await keys.type('paris');
  await keys.press('Enter');
  await keys.press('F3');
  assert.deepEqual(await accessibleNames(page), { pictures: [1, 2, 3].map((n) => `Image de la question ${n}`),
    fields: [1, 2, 3].map((n) => `Réponse à la question ${n}`) });
  await keys.press('Tab');
  await keys.type('CHÂTEAU');
  await keys.press('Enter');
  await keys.press('Tab');
  assert.equal(await focusedControl(page), '4001', "Tab goes round the overview's fields, as in the player");
  assert.ok(await shown(page, '#finished'));
  await page.waitForFunction(() => window.__said.length >= 5);
  assert.deepEqual(await page.evaluate(() => window.__said), ['Question 1 : FAUX. Score : 0 sur 3.', 'Question 1 : FAUX. Score : 0 sur 3.',
    'Question 1 : BRAVO. Construite en 1889. Score : 1 sur 3.', 'Question 2 : BRAVO. La capitale. Score : 2 sur 3.',
    'Question 3 : BRAVO. Un château fort. Score : 3 sur 3. Félicitations : toutes les questions sont trouvées !']);
  await keys.press('Escape');
  assert.ok(await shown(page, control(9000)) && !(await shown(page, control(4001))), 'Escape: back to one question');
  assert.equal(await focusedControl(page), '9000');
  await page.checkQuiet();
  await page.close();
  const two = await open(browser, quizzes.twoAnswers);
  assert.equal(await text(two, '.second-hint'), "La deuxième réponse, « Pays », se tape dans la vue d'ensemble. Taper « Pays »");
  await two.click(control('second'));
  assert.equal(await focusedControl(two), '4002', 'the button goes to the second answer');
  await two.keyboard.press('Escape');
  assert.deepEqual(await accessibleNames(two), { pictures: [], fields: ['Ville, réponse à la question 1'] });
  await two.keyboard.press('F3');
  assert.deepEqual((await accessibleNames(two)).fields, ['Ville, réponse à la question 1', 'Pays, réponse à la question 1',
    'Ville, réponse à la question 2', 'Pays, réponse à la question 2']);
  await two.close();
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

// --- In a learning platform ---------------------------------------------------------

// The platform's page: scorm-again's runtime, set up as window.__setup says
// (attempt: data the platform holds; fault: how it errs), behind an API that
// records each call with its answer; the package's page in a frame.
const platformPage = `<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Plateforme d'essai</title>
<script src="/scorm-again/scorm12.js"></script></head>
<body><script>
const setup = window.__setup || {};
const runtime = new Scorm12API({ autocommit: false, logLevel: 5, autoCompleteLessonStatus: true });
if (setup.attempt) runtime.loadFromJSON(setup.attempt);
if (setup.fault === 'closed') {
  runtime.LMSInitialize('');
  runtime.LMSFinish('');
}
const faults = {
  refuses: { LMSSetValue: () => 'false', LMSCommit: () => 'false', LMSGetLastError: () => '351' },
  throws: new Proxy({}, { get: () => () => { throw new Error('platform down'); } }),
};
window.__runtime = runtime;
window.__calls = [];
window.API = {};
for (const name of ['LMSInitialize', 'LMSFinish', 'LMSGetValue', 'LMSSetValue', 'LMSCommit', 'LMSGetLastError',
  'LMSGetErrorString', 'LMSGetDiagnostic']) {
  const faulty = (faults[setup.fault] || {})[name];
  window.API[name] = (...args) => {
    try {
      const answer = faulty ? faulty(...args) : runtime[name](...args);
      window.__calls.push([name, ...args, answer]);
      return answer;
    } catch (error) {
      window.__calls.push([name, ...args, 'threw']);
      throw error;
    }
  };
}
const frame = document.createElement('iframe');
frame.id = 'sco';
frame.style.cssText = 'width: 1000px; height: 720px';
frame.src = '/' + new URLSearchParams(location.search).get('package') + '/index.html';
document.body.append(frame);
</script></body></html>`;

// Served from this machine only, as a platform serves its pages: the page and
// its frame of one origin.
const servedFiles = new Map([
  ['/platform.html', { text: platformPage, type: 'text/html; charset=utf-8' }],
  ['/scorm-again/scorm12.js', { file: path.join(root, 'tests/web/browser/node_modules/scorm-again/dist/scorm12.js'),
    type: 'text/javascript' }],
]);
for (const name of ['scorm-demo', 'scorm-one', 'scorm-pass']) {
  servedFiles.set(`/${name}/index.html`, { file: path.join(out, name, 'index.html'), type: 'text/html; charset=utf-8' });
}
const server = createServer((request, response) => {
  const served = servedFiles.get(new URL(request.url, 'http://localhost').pathname);
  if (!served) {
    response.writeHead(404);
    response.end();
    return;
  }
  response.writeHead(200, { 'Content-Type': served.type, 'Cache-Control': 'no-store' });
  response.end(served.text ?? readFileSync(served.file));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

// The package's page in the platform's frame, in a browser context of its own.
async function openInPlatform(browser, packageName, setup = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1100, height: 800 });
  const requests = [];
  const errors = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => errors.push(error.message));
  await page.evaluateOnNewDocument((given) => {
    window.__setup = given;
    window.__violations = [];
    document.addEventListener('securitypolicyviolation', (event) => window.__violations.push(event.violatedDirective));
  }, setup);
  await page.goto(`${origin}/platform.html?package=${packageName}`);
  const frame = await (await page.waitForSelector('#sco')).contentFrame();
  await frame.waitForSelector('html[data-ready="true"]', { timeout: 15000 });
  return {
    context,
    frame,
    calls: () => page.evaluate(() => window.__calls),
    // What the runtime holds, as a platform would store it.
    held: () => page.evaluate(() => {
      const { core, suspend_data: suspendData } = window.__runtime.cmi;
      return { raw: core.score.raw, min: core.score.min, max: core.score.max, status: core.lesson_status, suspendData };
    }),
    async answer(typed) {
      await typeInto(frame, control(9000), typed);
      await page.keyboard.press('Enter');
    },
    // Away from the page, as when the pupil goes back to the course.
    async leave() {
      await page.evaluate(() => { document.getElementById('sco').src = 'about:blank'; });
      await page.waitForFunction(() => document.getElementById('sco').contentDocument.URL === 'about:blank');
    },
    async checkQuiet() {
      const own = [`${origin}/platform.html?package=${packageName}`, `${origin}/scorm-again/scorm12.js`,
        `${origin}/${packageName}/index.html`, 'about:blank', `${origin}/favicon.ico`];
      assert.deepEqual(requests.filter((address) => !own.includes(address) && !address.startsWith('data:image/')), [],
        'the page asked for nothing but its own pictures');
      assert.deepEqual(errors, [], 'no script error');
    },
  };
}

// Each call as `name(arguments) → answer`, the error checks left out unless
// asked for; a session time of the right form as "HH:MM:SS.SS" unless asked as sent.
const callLines = (calls, { errorChecks = false, asSent = false } = {}) => calls
  .filter(([name]) => errorChecks || name !== 'LMSGetLastError')
  .map(([name, ...rest]) => `${name}(${rest.slice(0, -1).map((a) => JSON.stringify(a)).join(', ')}) → ${JSON.stringify(rest.at(-1))}`)
  .map((line) => (asSent ? line : line.replace(/^(LMSSetValue\("cmi\.core\.session_time", )"\d{2,4}:\d{2}:\d{2}\.\d{2}"/, '$1"HH:MM:SS.SS"')));

const scoreCalls = (raw, status, suspendData) => [
  `LMSSetValue("cmi.core.score.raw", "${raw}") → "true"`,
  'LMSSetValue("cmi.core.score.min", "0") → "true"',
  'LMSSetValue("cmi.core.score.max", "100") → "true"',
  `LMSSetValue("cmi.core.lesson_status", "${status}") → "true"`,
  `LMSSetValue("cmi.suspend_data", ${JSON.stringify(suspendData)}) → "true"`,
  'LMSCommit("") → "true"',
];
const leavingCalls = ['LMSSetValue("cmi.core.session_time", "HH:MM:SS.SS") → "true"',
  'LMSSetValue("cmi.core.exit", "suspend") → "true"', 'LMSFinish("") → "true"'];
// A first visit's opening: no answers kept, no mastery score, the attempt started.
const firstOpening = (masteryScore = '') => [
  'LMSInitialize("") → "true"',
  'LMSGetValue("cmi.suspend_data") → ""',
  `LMSGetValue("cmi.student_data.mastery_score") → ${JSON.stringify(masteryScore)}`,
  'LMSGetValue("cmi.core.lesson_status") → "not attempted"',
  'LMSSetValue("cmi.core.lesson_status", "incomplete") → "true"',
  'LMSCommit("") → "true"',
];

test('the package holds the manifest and the very page of the web export', async () => {
  const manifest = path.join(out, 'scorm-demo', 'imsmanifest.xml');
  execFileSync('xmllint', ['--noout', manifest]);
  assert.match(readFileSync(manifest, 'utf8'), /<title>Le ciel et la nature<\/title>/);
  assert.ok(readFileSync(path.join(out, 'scorm-demo', 'index.html')).equals(readFileSync(path.join(out, 'demo.html'))));
});

test('in a learning platform: the score and the answers after each question solved, then a second visit', async (browser, browserName) => {
  const first = await openInPlatform(browser, 'scorm-demo');
  const opening = firstOpening();
  assert.deepEqual(callLines(await first.calls()), opening);
  assert.ok(!(await shown(first.frame, control('restart'))), 'the platform holds the attempt: no Recommencer');
  await first.answer('soliel');
  assert.equal(await text(first.frame, control(9500)), 'Anagramme');
  await first.answer('soleil');
  assert.equal(await text(first.frame, control(9500)), 'BRAVO');
  assert.equal(await text(first.frame, control(32)), ' 1 / 12');
  assert.equal(await text(first.frame, control(30)), 'F', 'the code line as in the player');
  await first.frame.click(control(9905));
  await first.answer('lune');
  assert.equal(await text(first.frame, control(30)), 'FE');
  assert.deepEqual(await first.frame.evaluate(() => Object.keys(localStorage)), [], 'nothing kept in the browser');
  await first.leave();
  const calls = await first.calls();
  assert.deepEqual(callLines(calls), [
    ...opening,
    'LMSSetValue("cmi.suspend_data", "Z1|soliel") → "true"',
    ...scoreCalls(8, 'incomplete', 'Z1|soleil'),
    ...scoreCalls(17, 'incomplete', 'Z1|soleil|lune'),
    ...leavingCalls,
  ]);
  assert.ok(calls.filter(([name]) => name === 'LMSGetLastError').every((call) => call[1] === '0'), 'no error');
  writeFileSync(path.join(out, `scorm-calls-${browserName}.txt`), `${callLines(calls, { errorChecks: true, asSent: true }).join('\n')}\n`);
  const held = await first.held();
  assert.deepEqual(held, { raw: '17', min: '0', max: '100', status: 'incomplete', suspendData: 'Z1|soleil|lune' });
  await first.checkQuiet();
  await first.context.close();

  const again = await openInPlatform(browser, 'scorm-demo', {
    attempt: { core: { lesson_status: held.status, score: { raw: held.raw, min: held.min, max: held.max } },
      suspend_data: held.suspendData },
  });
  assert.equal(await text(again.frame, control(32)), ' 2 / 12', 'the answers are back');
  assert.equal(await text(again.frame, control(9000)), 'soleil');
  assert.equal(await text(again.frame, control(9500)), 'BRAVO');
  assert.equal(await text(again.frame, control(30)), 'FE');
  await again.frame.click(control(9905));
  await again.frame.click(control(9905));
  await again.answer('etoile');
  await again.leave();
  assert.deepEqual(callLines(await again.calls()), [
    'LMSInitialize("") → "true"',
    'LMSGetValue("cmi.suspend_data") → "Z1|soleil|lune"',
    'LMSGetValue("cmi.student_data.mastery_score") → ""',
    'LMSGetValue("cmi.core.lesson_status") → "incomplete"',
    ...scoreCalls(25, 'incomplete', 'Z1|soleil|lune|etoile'),
    ...leavingCalls,
  ]);
  await again.checkQuiet();
  await again.context.close();
});

test('in a learning platform: completed once every question is solved', async (browser) => {
  const run = await openInPlatform(browser, 'scorm-one');
  await run.answer('tour eiffel');
  await run.frame.click(control(9905));
  await run.answer('paris');
  await run.frame.click(control(9905));
  await run.answer('CHÂTEAU');
  assert.equal(await text(run.frame, control(32)), ' 3 / 3');
  assert.deepEqual((await run.held()).status, 'completed');
  assert.deepEqual((await run.held()).raw, '100');
  assert.deepEqual(callLines(await run.calls()).slice(-6), scoreCalls(100, 'completed', 'Z1|tour eiffel|paris|CH%C2TEAU'));
  await run.leave();
  await run.checkQuiet();
  await run.context.close();
});

test('in a learning platform, a pass mark of 80 at export: passed at 10 questions of 12', async (browser, browserName) => {
  const manifest = readFileSync(path.join(out, 'scorm-pass', 'imsmanifest.xml'), 'utf8');
  const [, masteryScore] = manifest.match(/<adlcp:masteryscore>(\d+)<\/adlcp:masteryscore>/);
  // The platform gives the manifest's mastery score to the page, as Moodle does.
  const run = await openInPlatform(browser, 'scorm-pass', { attempt: { student_data: { mastery_score: masteryScore } } });
  const answers = ['soleil', 'lune', 'etoile', 'maison', 'arbre', 'bateau', 'poisson', 'montagne', 'fleur', 'nuage'];
  for (const typed of answers) {
    await run.answer(typed);
    await run.frame.click(control(9905));
  }
  assert.equal(await text(run.frame, control(32)), ' 10 / 12');
  await run.leave();
  const calls = await run.calls();
  const scores = [8, 17, 25, 33, 42, 50, 58, 67, 75, 83];
  const scored = scores.flatMap((score, i) => scoreCalls(score, score >= 80 ? 'passed' : 'incomplete', `Z1|${answers.slice(0, i + 1).join('|')}`));
  assert.deepEqual(callLines(calls), [...firstOpening(masteryScore), ...scored, ...leavingCalls]);
  writeFileSync(path.join(out, `scorm-pass-calls-${browserName}.txt`), `${callLines(calls, { asSent: true }).join('\n')}\n`);
  assert.equal((await run.held()).status, 'passed');
  await run.checkQuiet();
  await run.context.close();
});

test('in a learning platform: an attempt left untouched stays incomplete, with no score', async (browser) => {
  const run = await openInPlatform(browser, 'scorm-demo');
  await run.leave();
  assert.deepEqual(callLines(await run.calls()), [...firstOpening(), ...leavingCalls]);
  const held = await run.held();
  assert.deepEqual([held.raw, held.status, held.suspendData], ['', 'incomplete', ''], 'no score, not completed');
  await run.checkQuiet();
  await run.context.close();
});

test('in a learning platform that errs, the game goes on', async (browser) => {
  const faults = [
    { fault: 'refuses', notice: /signale une erreur \(351\).*Le jeu continue/, keptInBrowser: false },
    { fault: 'closed', notice: /n'a pas ouvert la tentative \(erreur [1-9][0-9]*\).*gardées dans ce navigateur/, keptInBrowser: true },
    { fault: 'throws', notice: /n'a pas ouvert la tentative \(erreur \?\)/, keptInBrowser: true },
  ];
  for (const { fault, notice, keptInBrowser } of faults) {
    const run = await openInPlatform(browser, 'scorm-demo', { fault });
    await run.answer('soleil');
    assert.equal(await text(run.frame, control(9500)), 'BRAVO', fault);
    assert.equal(await text(run.frame, control(32)), ' 1 / 12', fault);
    assert.equal(await text(run.frame, control(30)), 'F', fault);
    assert.match(await text(run.frame, '#notice'), notice, fault);
    assert.equal((await run.frame.evaluate(() => Object.keys(localStorage))).length, keptInBrowser ? 1 : 0,
      `${fault}: the answers kept in the browser only when the platform holds no attempt`);
    await run.leave();
    await run.checkQuiet();
    await run.context.close();
  }
});

// --- Running them ---------------------------------------------------------------

let passed = 0;
let failed = 0;
// A longer run of the games (ZORBEL_GAMES) plays them alone.
const testsToRun = process.env.ZORBEL_GAMES ? tests.filter((t) => t.name.includes('session\'s games')) : tests;
for (const { name, options } of browsers) {
  let browser;
  try {
    browser = await puppeteer.launch({ headless: true, ...options });
  } catch (error) {
    console.log(`not ok - ${name} does not start: ${error.message}`);
    failed += testsToRun.length;
    continue;
  }
  for (const { name: testName, run } of testsToRun) {
    try {
      await run(browser, name);
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

server.close();
console.log(`browser tests: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
