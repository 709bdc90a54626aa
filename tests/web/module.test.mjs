// The grading module under node, as the page loads it: the verdict table, and
// a short game on a quiz exported by quizmake web.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

const require = createRequire(import.meta.url);
const ZorbelModule = require(process.env.ZORBEL_WEB_MODULE);
const zorbelApi = require(process.env.ZORBEL_WEB_API);
const testData = process.env.ZORBEL_TEST_DATA;
const api = zorbelApi(await ZorbelModule());

test('every verdict of the table', () => {
  const rows = readFileSync(path.join(testData, 'verdict_cases.tsv'), 'utf8').split('\n')
    .filter((line) => line && !line.startsWith('#')).map((line) => line.split('\t'));
  assert.ok(rows.length >= 500);
  const wrong = rows.filter(([expected, typed, view, verdict]) => api.grade(expected, typed, view === 'overview') !== verdict)
    .map((row) => row.join(' | '));
  assert.deepEqual(wrong, []);
});

test('a short game on an exported quiz', () => {
  const folder = mkdtempSync(path.join(tmpdir(), 'zorbel-web-'));
  const page = path.join(folder, 'quiz.html');
  execFileSync(process.env.ZORBEL_QUIZMAKE, ['web', path.join(testData, '../e2e/quizzes/one_answer.toml'), '-o', page]);
  const html = readFileSync(page, 'utf8');
  const data = JSON.parse(html.match(/<script type="application\/json" id="quiz">(.*?)<\/script>/s)[1]);
  const bytes = (base64) => new Uint8Array(Buffer.from(base64, 'base64'));
  api.start(bytes(data.definition), bytes(data.codes), new TextEncoder().encode('tour eifel\r\nparis\r\n'));
  assert.equal(api.quizName(), "Quiz d'essai");
  assert.equal(api.controlText(0, 32), ' 1 / 3');
  assert.equal(api.controlText(0, 30), 'UN');
  assert.equal(api.controlText(1, 9500), 'Quasiment');
  api.focus(9000);
  api.type(9000, 'tour eiffel');
  assert.deepEqual(api.key(9000, 'Enter', 0, false), { prevent: true, acted: false }, 'Enter acts when released');
  assert.deepEqual(api.key(9000, 'Enter', 2, false), { prevent: true, acted: true });
  assert.equal(api.controlText(1, 9500), 'BRAVO');
  assert.equal(api.controlText(1, 9501), 'Construite en 1889.');
  api.clickArrow(9905);
  api.clickArrow(9905);
  api.focus(9000);
  api.type(9000, 'CHÂTEAU');
  api.focus(0);
  assert.equal(api.controlText(1, 9500), 'BRAVO', 'Â typed is Â held');
  assert.equal(api.controlText(0, 30), 'TROIS');
  assert.equal(new TextDecoder('windows-1252').decode(api.progress()), 'tour eiffel\r\nparis\r\nCHÂTEAU\r\n');
});
