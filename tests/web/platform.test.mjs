// The page's talk with a learning platform (web/page/platform.js) under node,
// with the grading module: the API found through frames of other sites and
// an opener, and platforms that refuse, throw or lie, none of which stops the
// game. The real runtime in real browsers is tests/web/browser's.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

const require = createRequire(import.meta.url);
const ZorbelModule = require(process.env.ZORBEL_WEB_MODULE);
const zorbelApi = require(process.env.ZORBEL_WEB_API);
const { zorbelFindPlatformApi, zorbelPlatform, zorbelSessionTime } = require(process.env.ZORBEL_WEB_PLATFORM);
const game = zorbelApi(await ZorbelModule());

// --- Finding the API -------------------------------------------------------------

// A window: its API and parent, either of which another site's window refuses.
function view({ api = null, parent = null, opener = null, foreign = false, parentRefused = false } = {}) {
  const win = { opener };
  Object.defineProperty(win, 'API', { get() { if (foreign) throw new Error('SecurityError'); return api; } });
  Object.defineProperty(win, 'parent', {
    configurable: true,
    get() { if (parentRefused) throw new Error('SecurityError'); return parent || win; },
  });
  return win;
}
const lmsNamed = (name) => ({ name, LMSInitialize: () => 'true' });

test('the API is found up the frames, then from the opener, past other sites', () => {
  const top = view({ api: lmsNamed('top') });
  const foreignMiddle = view({ parent: top, foreign: true });
  const looping = view();
  Object.defineProperty(looping, 'parent', { get: () => view({ parent: looping }) });
  const cases = [
    ['the page itself', view({ api: lmsNamed('self') }), 'self'],
    ['its parent', view({ parent: top }), 'top'],
    ['the nearest first', view({ parent: view({ api: lmsNamed('frame'), parent: top }) }), 'frame'],
    ["past another site's frame", view({ parent: foreignMiddle }), 'top'],
    ['an object that is not an API is passed over', view({ api: { LMSInitialize: 'no' }, parent: top }), 'top'],
    ["the opener's parent", view({ opener: view({ parent: top }) }), 'top'],
    ['a parent refused: the opener', view({ parentRefused: true, opener: top }), 'top'],
    ['none anywhere', view({ parent: view({ foreign: true }) }), null],
    ['parents without end', looping, null],
  ];
  for (const [name, start, expected] of cases) {
    const found = zorbelFindPlatformApi(start);
    assert.equal(found ? found.name : null, expected, name);
  }
  const refusedOpener = view();
  Object.defineProperty(refusedOpener, 'opener', { get() { throw new Error('SecurityError'); } });
  assert.equal(zorbelFindPlatformApi(refusedOpener), null, 'an opener that cannot be read');
});

// --- Talking to platforms ----------------------------------------------------------

const testData = process.env.ZORBEL_TEST_DATA;
const folder = mkdtempSync(path.join(tmpdir(), 'zorbel-platform-'));
const bytes = (base64) => new Uint8Array(Buffer.from(base64, 'base64'));
function quizData(source) {
  const page = path.join(folder, 'quiz.html');
  execFileSync(process.env.ZORBEL_QUIZMAKE, ['web', source, '-o', page]);
  const html = readFileSync(page, 'utf8');
  const data = JSON.parse(html.match(/<script type="application\/json" id="quiz">(.*?)<\/script>/s)[1]);
  return { definition: bytes(data.definition), codes: data.codes === null ? null : bytes(data.codes) };
}
const threeQuestions = quizData(path.join(testData, '../e2e/quizzes/one_answer.toml'));
writeFileSync(path.join(folder, 'many.toml'), Array.from({ length: 96 }, (_, i) => `[[question]]\nanswer = "R${i}"\n`).join('\n'));
const ninetySix = quizData(path.join(folder, 'many.toml'));

// A platform keeping values as a runtime does, each method replaceable; its calls recorded.
function platformWith(overrides = {}) {
  const values = new Map([['cmi.core.lesson_status', 'not attempted']]);
  const calls = [];
  const methods = {
    LMSInitialize: () => 'true',
    LMSGetValue: (element) => values.get(element) ?? '',
    LMSSetValue: (element, value) => { values.set(element, value); return 'true'; },
    LMSCommit: () => 'true',
    LMSFinish: () => 'true',
    LMSGetLastError: () => '0',
    ...overrides,
  };
  const lms = {};
  for (const [name, method] of Object.entries(methods)) {
    lms[name] = (...args) => { calls.push([name, ...args]); return method(...args); };
  }
  return { lms, values, calls };
}

// The page's steps: open, start the game from the platform's answers, begin.
function play(platform, quiz = threeQuestions, passMark = null) {
  const told = [];
  const attempt = zorbelPlatform(platform.lms, game, (line) => told.push(line), passMark);
  game.start(quiz.definition, quiz.codes, attempt ? attempt.restored() : new Uint8Array(0));
  if (attempt) attempt.begin();
  return { attempt, told };
}
function answer(attempt, typed) {
  game.focus(9000);
  game.type(9000, typed);
  game.key(9000, 'Enter', 2, false);
  attempt.keep();
}

test('a first visit: incomplete at once, then the score after each question solved', () => {
  const platform = platformWith();
  const { attempt, told } = play(platform);
  assert.equal(platform.values.get('cmi.core.lesson_status'), 'incomplete');
  answer(attempt, 'tour eifel');
  assert.equal(platform.values.get('cmi.suspend_data'), 'Z1|tour eifel');
  assert.equal(platform.values.get('cmi.core.score.raw'), undefined, 'no score before a question is solved');
  answer(attempt, 'tour eiffel');
  game.clickArrow(9905);
  answer(attempt, 'paris');
  game.clickArrow(9905);
  answer(attempt, 'CHÂTEAU');
  assert.equal(platform.values.get('cmi.core.score.raw'), '100');
  assert.equal(platform.values.get('cmi.core.lesson_status'), 'completed');
  assert.equal(platform.values.get('cmi.suspend_data'), 'Z1|tour eiffel|paris|CH%C2TEAU');
  assert.equal(platform.calls.filter(([name]) => name === 'LMSCommit').length, 4, 'at the start and after each solved');
  attempt.finish();
  attempt.finish();
  assert.deepEqual(platform.calls.slice(-2), [['LMSSetValue', 'cmi.core.exit', 'suspend'], ['LMSFinish', '']]);
  assert.match(platform.values.get('cmi.core.session_time'), /^00:00:\d\d\.\d\d$/);
  assert.deepEqual(told, []);
});

test('a pass mark: passed once the score reaches it, the platform\'s own mastery score first', () => {
  const cases = [  // pass mark at export, the platform's mastery score, the status after each of 3 questions solved
    [67, '', ['incomplete', 'passed', 'passed']], [67, '30', ['passed', 'passed', 'passed']],
    [67, 'beaucoup', ['incomplete', 'passed', 'passed']], [null, '', ['incomplete', 'incomplete', 'completed']],
  ];
  for (const [passMark, mastery, expected] of cases) {
    const platform = platformWith();
    platform.values.set('cmi.student_data.mastery_score', mastery);
    const { attempt } = play(platform, threeQuestions, passMark);
    const statuses = ['tour eiffel', 'paris', 'CHÂTEAU'].map((typed) => {
      answer(attempt, typed);
      game.clickArrow(9905);
      return platform.values.get('cmi.core.lesson_status');
    });
    assert.deepEqual(statuses, expected, `${passMark} / "${mastery}"`);
  }
  const times = [[0, '00:00:00.00'], [61004, '00:01:01.00'], [3723450, '01:02:03.45'], [360000000, '100:00:00.00'], [1e12, '9999:59:59.99']];
  for (const [milliseconds, text] of times) assert.equal(zorbelSessionTime(milliseconds), text, 'the session time, HHHH:MM:SS.SS');
});

test('platforms that refuse, throw or lie never stop the game', () => {
  const thrower = () => { throw new Error('platform down'); };
  const cases = [
    { name: 'throws at every call', overrides: Object.fromEntries(['LMSInitialize', 'LMSGetValue', 'LMSSetValue', 'LMSCommit',
      'LMSFinish', 'LMSGetLastError'].map((name) => [name, thrower])), opened: false, told: /n'a pas ouvert la tentative \(erreur \?\)/ },
    { name: 'refuses the attempt', overrides: { LMSInitialize: () => 'false', LMSGetLastError: () => '101' }, opened: false,
      told: /n'a pas ouvert la tentative \(erreur 101\)/ },
    { name: 'refuses every value', overrides: { LMSSetValue: () => 'false', LMSCommit: () => false, LMSGetLastError: () => '351' },
      opened: true, told: /signale une erreur \(351\).*Le jeu continue/ },
    { name: 'lies', overrides: { LMSGetValue: () => ({ toString() { throw new Error('lie'); } }), LMSSetValue: () => 42,
      LMSCommit: undefined, LMSFinish: () => null }, opened: true, told: /signale une erreur \(0\)/ },
    { name: 'hands back what is not ours', overrides: { LMSGetValue: () => 'viewed=1,2,3|lastviewedslide=31' }, opened: true,
      told: null },
  ];
  for (const c of cases) {
    const { attempt, told } = play(platformWith(c.overrides));
    assert.equal(attempt !== null, c.opened, c.name);
    assert.equal(game.controlText(0, 32), ' 0 / 3', `${c.name}: the game starts with no answer`);
    game.focus(9000);
    game.type(9000, 'tour eiffel');
    game.key(9000, 'Enter', 2, false);
    if (attempt) {
      attempt.keep();
      attempt.finish();
    }
    assert.equal(game.controlText(1, 9500), 'BRAVO', c.name);
    assert.equal(game.controlText(0, 30), 'UN', `${c.name}: the code line as in the player`);
    if (c.told) {
      assert.equal(told.length, 1, `${c.name}: told once`);
      assert.match(told[0], c.told, c.name);
    } else {
      assert.deepEqual(told, [], c.name);
    }
  }
});

test('answers beyond what the platform keeps: the longest left out, said once', () => {
  const platform = platformWith();
  const { attempt, told } = play(platform, ninetySix);
  game.switchView();
  for (let slot = 1; slot <= 96; slot += 1) game.type(4000 + slot, 'X'.repeat(40));
  attempt.keep();
  assert.equal(platform.values.get('cmi.suspend_data').length, 3938, '96 answers of 40 characters fit');
  assert.deepEqual(told, []);
  for (let slot = 2; slot <= 96; slot += 1) game.type(4000 + slot, 'Y'.repeat(60));
  game.focus(4001);
  game.type(4001, 'r0');
  game.key(4001, 'Enter', 2, false);
  attempt.keep();
  const kept = platform.values.get('cmi.suspend_data');
  assert.ok(kept.length <= 4096, `${kept.length} characters`);
  assert.ok(kept.startsWith('Z1|r0|'), 'the solved answer kept');
  assert.equal(platform.values.get('cmi.core.score.raw'), '1');
  assert.equal(told.length, 1);
  assert.match(told[0], /trop longues pour la plateforme/);
  attempt.keep();
  assert.equal(told.length, 1, 'said once');
});
