// The Atelier's page (atelier.html) in Chromium and Firefox, driven through
// the marks it gives its controls (data-action, data-field, data-question)
// with real input. What it saves and exports is checked with quizmake.
// Ends with the line "atelier tests: N passed, M failed".
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync, copyFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const out = path.resolve(process.env.ZORBEL_WEB_OUT || path.join(root, 'build/web-tests'), 'atelier');
const pagePath = process.env.ZORBEL_ATELIER_PAGE || path.join(root, 'build/mingw/bin/atelier.html');
const quizmake = process.env.ZORBEL_QUIZMAKE || path.join(root, 'build/native/tools/quizmake/quizmake');
const quiz96 = process.env.ZORBEL_QUIZ_96 || path.join(root, 'build/mingw/bin/quiz_96.exe');
const demoFolder = path.join(root, 'samples/demo');
mkdirSync(out, { recursive: true });

const browsers = [
  { name: 'chromium', options: { browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--no-first-run', '--disable-sync'] } },
  { name: 'firefox', options: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr' } },
];

const action = (name) => `[data-action="${name}"]`;
const field = (name) => `[data-field="${name}"]`;
const control = (name) => `[data-control="${name}"]`;
const pageUrl = pathToFileURL(pagePath).href;

// Saves and exports are downloads here (the File System Access API is taken
// away, as in the browsers that lack it): each one is kept for the test.
function captureDownloads() {
  delete window.showSaveFilePicker;
  window.__downloads = [];
  const blobs = new Map();
  const createObjectURL = URL.createObjectURL;
  URL.createObjectURL = (blob) => {
    const url = createObjectURL(blob);
    blobs.set(url, blob);
    return url;
  };
  const click = HTMLAnchorElement.prototype.click;
  HTMLAnchorElement.prototype.click = function captured() {
    if (!this.download) return click.call(this);
    const name = this.download;
    blobs.get(this.href).arrayBuffer().then((bytes) => window.__downloads.push({ name, bytes: new Uint8Array(bytes) }));
  };
}

// `browser`: the test's own context, so that each test starts with an empty store.
async function open(browser, { viewport = { width: 1366, height: 768 } } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const errors = [];
  const requests = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => requests.push(request.url()));
  page.on('dialog', (dialog) => dialog.accept());
  await page.evaluateOnNewDocument(captureDownloads);
  await page.evaluateOnNewDocument(() => {
    window.__violations = [];
    document.addEventListener('securitypolicyviolation', (event) => window.__violations.push(event.violatedDirective));
  });
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  page.checkQuiet = async () => {
    const foreign = requests.filter((address) => address !== pageUrl && !address.startsWith('blob:') && !address.startsWith('data:'));
    assert.deepEqual(foreign, [], 'the page asked for nothing outside itself');
    assert.deepEqual(await page.evaluate(() => window.__violations), [], 'no policy violation');
    assert.deepEqual(errors, [], 'no script error');
  };
  return page;
}

const rows = (page) => page.$$eval('[data-question]', (items) => items.map((item) => item.querySelector('.text').textContent));
const text = (page, selector) => page.$eval(selector, (e) => e.textContent);
const idle = (page) => page.waitForFunction(() => !document.body.hasAttribute('aria-busy'), { timeout: 30000 });

async function waitForRows(page, count) {
  await page.waitForFunction((n) => document.querySelectorAll('[data-question]').length === n, { timeout: 30000 }, count);
  await idle(page);
}

async function download(page, name) {
  const handle = await page.waitForFunction((wanted) => window.__downloads.find((d) => d.name === wanted), { timeout: 30000 }, name);
  const bytes = await page.evaluate((d) => Array.from(d.bytes), handle);
  return Buffer.from(bytes);
}

async function replaceText(page, selector, value) {
  await page.click(selector, { clickCount: 3 });
  await page.$eval(selector, (e) => e.select());
  await page.keyboard.press('Backspace');
  if (value) await page.type(selector, value);
}

// A keyboard user's way to a control: Tab until it has the focus.
async function tabTo(page, selector) {
  for (let i = 0; i < 80; i += 1) {
    if (await page.evaluate((s) => document.activeElement?.matches(s), selector)) return;
    await page.keyboard.press('Tab');
  }
  throw new Error(`Tab never reached ${selector}`);
}

// The focused file input's chooser, opened with the space bar (pressed again
// if the browser let the first press go by).
async function chooseWithKeys(page) {
  for (let attempt = 1; ; attempt += 1) {
    try {
      const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 5000 }), page.keyboard.press(' ')]);
      return chooser;
    } catch (error) {
      if (attempt === 3) throw error;
    }
  }
}

async function typeWithKeys(page, selector, value) {
  await tabTo(page, selector);
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  await page.keyboard.type(value);
}

function dump(executable) {
  return execFileSync(quizmake, ['dump', executable], { encoding: 'utf8' });
}

const tests = [];
const test = (name, run) => tests.push({ name, run });

test('the demo made with the keyboard only, saved as .exe, is the demo quizmake builds', async (browser, browserName) => {
  const page = await open(browser);
  const toml = readFileSync(path.join(demoFolder, 'demo.toml'), 'utf8');
  const questions = [...toml.matchAll(/\[\[question\]\]\nanswer = "(.*)"\nlocation = "(.*)"\npicture = "(.*)"\ncomment = "(.*)"/g)]
    .map(([, answer, location, picture, comment]) => ({ answer, location, picture, comment }));
  assert.equal(questions.length, 12);
  // The pictures one by one, in the demo's order, through the file chooser opened from the keyboard.
  for (const [i, question] of questions.entries()) {
    await tabTo(page, action('add-pictures'));
    const picture = path.join(demoFolder, question.picture);
    if (browserName === 'chromium') {
      await (await chooseWithKeys(page)).accept([picture]);
    } else {
      // Firefox's remote protocol cannot answer a file chooser: the focused input is given the file.
      await (await page.evaluateHandle(() => document.activeElement)).uploadFile(picture);
    }
    await waitForRows(page, i + 1);
    await typeWithKeys(page, field('answer'), question.answer);
    await typeWithKeys(page, field('location'), question.location);
    await typeWithKeys(page, field('comment'), question.comment);
  }
  const setting = (key) => JSON.parse(toml.match(new RegExp(`^${key} = (.*?)(\\s+#.*)?$`, 'm'))[1]);
  await typeWithKeys(page, field('name'), setting('name'));
  await typeWithKeys(page, field('creator'), setting('creator'));
  await typeWithKeys(page, field('explanation'), setting('explanation'));
  await typeWithKeys(page, field('first-label'), setting('first_answer_label'));
  await typeWithKeys(page, field('second-label'), setting('second_answer_label'));
  await tabTo(page, field('comment-mode'));
  await page.keyboard.press('Tab');
  await typeWithKeys(page, field('codes'), setting('codes').join('\n'));
  // The colour: a keyboard user types it in the picker's own field; the test sets the input.
  const [r, g, b] = setting('background');
  await page.$eval(field('background'), (e, colour) => {
    e.value = colour;
    e.dispatchEvent(new Event('change', { bubbles: true }));
  }, `#${[r, g, b].map((c) => c.toString(16).padStart(2, '0')).join('')}`);
  await idle(page);
  await page.keyboard.down('Control');
  await page.keyboard.press('s');
  await page.keyboard.up('Control');
  const saved = await download(page, 'Le ciel et la nature.exe');
  const made = path.join(out, `demo_from_page_${browserName}.exe`);
  writeFileSync(made, saved);
  const withoutComments = (source) => source.replace(/^#.*\n/gm, '');
  assert.equal(withoutComments(dump(made)), withoutComments(dump(path.join(out, 'demo_quizmake.exe'))),
    'the same texts, settings, code lines and answers as quizmake gives');
  assert.equal(await page.evaluate(() => document.title.startsWith('*')), false, 'saved: not marked as changed');
  await page.checkQuiet();
  await page.close();
});

test('a picture turned, a question deleted and the deletion undone', async (browser) => {
  const page = await open(browser);
  const input = await page.$(action('add-pictures'));
  await input.uploadFile(...['lune.jpg', 'soleil.jpg', 'bateau.jpg'].map((name) => path.join(demoFolder, 'pictures', name)));
  await waitForRows(page, 3);
  assert.deepEqual(await rows(page), ['1. bateau', '2. lune', '3. soleil'], 'in file-name order, each named by its file');
  const size = () => page.$eval(control('preview'), (e) => [e.naturalWidth, e.naturalHeight]);
  await page.waitForFunction(() => document.querySelector('[data-control="preview"]').naturalWidth > 0);
  const [width, height] = await size();
  await page.keyboard.down('Control');
  await page.keyboard.press('r');
  await page.keyboard.up('Control');
  await idle(page);
  // Upright now, and fitted again within the frame (480 high at most).
  await page.waitForFunction(() => document.querySelector('[data-control="preview"]').naturalHeight === 480);
  assert.deepEqual(await size(), [Math.round((height * 480) / width), 480], 'turned a quarter');
  await page.click('[data-question="2"]');
  await page.click(action('delete-question'));
  assert.deepEqual(await rows(page), ['1. bateau', '2. soleil']);
  assert.match(await page.$eval(action('undo'), (e) => e.title), /suppression de la question 2/);
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  assert.deepEqual(await rows(page), ['1. bateau', '2. lune', '3. soleil'], 'the deletion undone');
  await page.click(action('undo'));
  // The turn undone too: the picture as it was.
  await page.waitForFunction((w) => document.querySelector('[data-control="preview"]').naturalWidth === w, {}, width);
  assert.deepEqual(await size(), [width, height]);
  await page.checkQuiet();
  await page.close();
});

test('a drop of three pictures and a text file: the pictures added, the text file refused with its reason', async (browser) => {
  const page = await open(browser);
  const files = ['nuage.jpg', 'fleur.jpg', 'etoile.jpg'].map((name) => path.join(demoFolder, 'pictures', name));
  const note = path.join(out, 'notes.txt');
  writeFileSync(note, 'Pas une image.\n');
  const chosen = [...files, note].map((file) => ({ name: path.basename(file), bytes: Array.from(readFileSync(file)) }));
  await page.evaluate((given) => {
    const transfer = new DataTransfer();
    for (const { name, bytes } of given) transfer.items.add(new File([new Uint8Array(bytes)], name));
    const list = document.querySelector('[data-control="list"]');
    list.dispatchEvent(new DragEvent('dragover', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    list.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, chosen);
  await waitForRows(page, 3);
  assert.deepEqual(await rows(page), ['1. etoile', '2. fleur', '3. nuage']);
  assert.match(await text(page, '[role="alert"]'), /« notes\.txt » : ce n'est pas une image/);
  await page.checkQuiet();
  await page.close();
});

test('a quiz left unsaved when its tab closed is offered back', async (browser) => {
  const page = await open(browser);
  await (await page.$(action('add-pictures'))).uploadFile(path.join(demoFolder, 'pictures', 'maison.jpg'));
  await waitForRows(page, 1);
  await replaceText(page, field('name'), 'Quiz perdu');
  await page.waitForSelector('body[data-kept="copy"]');  // kept a moment after the change
  await page.close({ runBeforeUnload: false });
  const again = await open(browser);
  await again.waitForSelector(`${control('recovery')}[open]`);
  assert.equal(await text(again, control('recovery-text')), 'Le quiz « Quiz perdu » n\'a pas été enregistré. Le récupérer ?');
  await again.click(action('recover-yes'));
  await waitForRows(again, 1);
  assert.equal(await again.$eval(field('name'), (e) => e.value), 'Quiz perdu');
  assert.deepEqual(await rows(again), ['1. maison']);
  await again.waitForSelector('body[data-kept="copy"]');  // the recovered quiz is still unsaved
  // Refused, the copy is gone.
  await again.close({ runBeforeUnload: false });
  const third = await open(browser);
  await third.waitForSelector(`${control('recovery')}[open]`);
  await third.click(action('recover-no'));
  await third.waitForSelector('body[data-kept="none"]');
  await third.close();
  const fourth = await open(browser);
  assert.equal(await fourth.$eval(control('recovery'), (e) => e.open), false);
  await fourth.checkQuiet();
  await fourth.close();
});

test('the 96-question quiz and a source with its pictures open', async (browser) => {
  const page = await open(browser);
  await (await page.$(action('open'))).uploadFile(quiz96);
  await waitForRows(page, 96);
  assert.equal((await rows(page))[95].startsWith('96. '), true);
  const source = path.join(out, 'source');
  mkdirSync(path.join(source, 'pictures'), { recursive: true });
  writeFileSync(path.join(source, 'petit.toml'), 'name = "Petit"\ncreator = "Moi"\n\n[[question]]\nanswer = "LUNE"\npicture = "pictures/lune.jpg"\n');
  copyFileSync(path.join(demoFolder, 'pictures', 'lune.jpg'), path.join(source, 'pictures', 'lune.jpg'));
  await (await page.$(action('open'))).uploadFile(path.join(source, 'petit.toml'), path.join(source, 'pictures', 'lune.jpg'));
  await waitForRows(page, 1);
  assert.deepEqual(await rows(page), ['1. LUNE']);
  assert.equal(await page.$eval(field('creator'), (e) => e.value), 'Moi');
  await page.checkQuiet();
  await page.close();
});

test('the exports: the web page plays, the SCORM zip holds its manifest and page', async (browser, browserName) => {
  const page = await open(browser);
  await (await page.$(action('open'))).uploadFile(path.join(out, 'demo_quizmake.exe'));
  await waitForRows(page, 12);
  await page.click(action('export-web'));
  const html = await download(page, 'Le ciel et la nature.html');
  const exported = path.join(out, `demo_export_${browserName}.html`);
  writeFileSync(exported, html);
  await page.click(action('export-scorm'));
  await page.waitForSelector(`${control('pass-mark-dialog')}[open]`);
  await page.type(field('pass-mark'), '80');
  await page.click(action('export-scorm-confirm'));
  const zip = await download(page, 'Le ciel et la nature.zip');
  const names = zip.toString('latin1');
  assert.match(names, /imsmanifest\.xml/);
  assert.match(names, /index\.html/);
  assert.match(names, /adlcp:masteryscore>80</);
  await page.checkQuiet();
  await page.close();
  // The exported page plays: the first answer is graded.
  const played = await browser.newPage();
  await played.goto(pathToFileURL(exported).href);
  await played.waitForSelector('html[data-ready="true"]', { timeout: 15000 });
  await played.type('[data-control="9000"]', 'SOLEIL');
  await played.keyboard.press('Enter');
  await played.waitForFunction(() => document.querySelector('[data-control="9500"]').textContent === 'BRAVO');
  await played.close();
});

test('typed and pasted text: the quiz\'s letters kept, the others mended or named under the field', async (browser) => {
  const page = await open(browser);
  const value = (name) => page.$eval(field(name), (e) => e.value);
  const note = (name) => page.evaluate((n) => {
    const shown = document.querySelector(`[data-note="${n}"]`);
    return shown && !shown.hidden ? shown.textContent : '';
  }, name);
  // Each change says what it mended.
  await page.click(field('name'));
  await page.keyboard.type('Łó');
  assert.equal(await note('name'), '« Ł » (U+0141) devient « L » : le lecteur ne sait pas l\'afficher.');
  await page.keyboard.type('dź et Wrocław');
  assert.equal(await value('name'), 'Lódz et Wroclaw');
  assert.match(await note('name'), /« ł » \(U\+0142\) devient « l »/);
  assert.equal(await page.evaluate(() => document.activeElement.dataset.field), 'name', 'the note takes no focus');
  await page.keyboard.type('!');
  assert.match(await note('name'), /« ł » \(U\+0142\)/, 'a key the quiz takes keeps the note');

  // A paste (one input of many characters): every letter of the code page kept, the one without a mend named.
  await page.click(field('creator'));
  await page.evaluate(() => document.execCommand('insertText', false, 'Le cœur, une Œuvre, Škoda, Žižkov, Ÿ’ 中 Iᵉʳ'));
  assert.equal(await value('creator'), 'Le cœur, une Œuvre, Škoda, Žižkov, Ÿ’  Ier');
  assert.match(await note('creator'), /« 中 » \(U\+4E2D\) ne peut pas figurer dans un quiz/);
  await page.click(field('first-label'));
  assert.equal(await value('creator'), 'Le cœur, une Œuvre, Škoda, Žižkov, Ÿ’  Ier', 'the document holds what the field shows');
  assert.match(await note('creator'), /U\+4E2D/, 'leaving the field keeps its note');
  assert.match(await note('name'), /U\+0142/);

  // Changed again once left: the note ends.
  await page.click(field('name'));
  await page.keyboard.press('End');
  await page.keyboard.type('?');
  assert.equal(await value('name'), 'Lódz et Wroclaw!?');
  assert.equal(await note('name'), '');
  await page.checkQuiet();
  await page.close();
});

test('axe-core finds nothing on the editor, empty and with questions', async (browser) => {
  const page = await open(browser);
  const axe = readFileSync(path.join(root, 'tests/web/browser/node_modules/axe-core/axe.min.js'), 'utf8');
  const check = async (when) => {
    await page.evaluate(axe);
    const found = await page.evaluate(async () => (await window.axe.run(document, {
      runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] },
    })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
    assert.deepEqual(found, [], `no violation ${when}`);
  };
  await check('when empty');
  await (await page.$(action('add-pictures'))).uploadFile(path.join(demoFolder, 'pictures', 'arbre.jpg'));
  await waitForRows(page, 1);
  await check('with a question');
  await page.click(field('answer'));
  await page.keyboard.type('Łódź');
  await page.waitForSelector('[data-note="answer"]:not([hidden])');
  await check('with a note under a field');
  await page.close();
});

test('the demo opened fits a laptop and a tablet, upright and sideways, without sideways scrolling', async (browser, browserName) => {
  for (const [name, viewport] of [['1366x768', { width: 1366, height: 768 }], ['tablet', { width: 1024, height: 768, hasTouch: true }],
    ['tablet_upright', { width: 768, height: 1024, hasTouch: true }]]) {
    const page = await open(browser, { viewport });
    await (await page.$(action('open'))).uploadFile(path.join(out, 'demo_quizmake.exe'));
    await waitForRows(page, 12);
    await page.click('[data-question="2"]');
    await page.type(field('try'), 'lunne');
    await page.waitForFunction(() => [...document.querySelectorAll('[data-question] img')].slice(0, 8).every((i) => i.complete));
    assert.equal(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), true, `no sideways scrolling at ${name}`);
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: path.join(out, `atelier_${name}_${browserName}.png`) });
    await page.close();
  }
});

let passed = 0;
let failed = 0;
execFileSync(quizmake, ['build', path.join(demoFolder, 'demo.toml'), '-o', path.join(out, 'demo_quizmake.exe'),
  '--player', process.env.ZORBEL_PLAYER || path.join(root, 'build/mingw/bin/zorbel.exe')]);
const only = process.env.ZORBEL_BROWSERS ? process.env.ZORBEL_BROWSERS.split(',') : null;
for (const { name, options } of browsers.filter((b) => !only || only.includes(b.name))) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  // ZORBEL_ATELIER_TESTS: run only the tests whose names hold this text.
  for (const { name: testName, run } of tests.filter((t) => !process.env.ZORBEL_ATELIER_TESTS || t.name.includes(process.env.ZORBEL_ATELIER_TESTS))) {
    const context = await browser.createBrowserContext();
    try {
      await run(context, name);
      passed += 1;
      console.log(`ok - ${name}: ${testName}`);
    } catch (error) {
      const left = (await context.pages()).filter((page) => page.url().startsWith('file:'));
      if (left.length) await left.at(-1).screenshot({ path: path.join(out, `failed-${name}-${tests.indexOf(tests.find((t) => t.name === testName))}.png`) }).catch(() => {});
      failed += 1;
      console.log(`not ok - ${name}: ${testName}\n  ${String(error.stack || error).split('\n').slice(0, 6).join('\n  ')}`);
    }
    await context.close().catch(() => {});
  }
  await browser.close();
}
console.log(`atelier tests: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
