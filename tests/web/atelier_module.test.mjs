// The Atelier's module under node, as its page drives it: edits and their
// refusals, the history's names, pictures offered then added, the kept copy
// read back, and the small rules the page asks for.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import path from 'node:path';

const require = createRequire(import.meta.url);
const module = require(process.env.ZORBEL_ATELIER_MODULE)();
const api = require(process.env.ZORBEL_ATELIER_API)(module);
const testData = process.env.ZORBEL_TEST_DATA;

test('each edit is done or refused in French, and named in the history', () => {
  api.reset();
  const cases = [
    [() => api.setQuizText('name', 'x'.repeat(300)), /^259 caractères au plus/, null],
    [() => api.setQuizText('name', 'Ciel 😀'), /« 😀 » \(U\+1F600\) ne peut pas figurer/, null],
    [() => api.setQuizText('name', 'Le "ciel"\\\n'), /^$/, 'la saisie du nom du quiz'],
    [() => api.setCodes('A\nB\n\n'), /^$/, 'la saisie des codes'],
    [() => api.setAnswersPerQuestion(3), /./, 'la saisie des codes'],
    [() => api.setCommentMode(4), /^$/, 'le choix des commentaires'],
  ];
  for (const [edit, refusal, undoName] of cases) {
    api.endTyping();
    assert.match(edit(), refusal);
    assert.equal(api.state().undo, undoName);
  }
  const state = api.state();
  assert.equal(state.name, 'Le "ciel"\\\n', 'quotes, backslashes and line ends come back through the JSON');
  assert.equal(state.codes, 'A\r\nB');
  assert.equal(state.commentMode, 4);
  assert.equal(state.modified, true);
  while (api.undo());
  assert.equal(api.state().name, '');
  assert.equal(api.state().modified, false, 'undone back to where it started');
});

test('pictures offered prepared become questions; a refused one says why', () => {
  api.reset();
  const jpeg = readFileSync(path.join(testData, 'pictures/sideways.jpg'));
  const text = new TextEncoder().encode('pas une image');
  const background = parseInt(api.state().background.slice(1), 16);
  api.offerPrepared(jpeg, { kind: 1, bytes: jpeg }, background, 0);
  api.offerPrepared(text, examined(text), background, 0);
  api.stage([{ name: 'dossier/tour_eiffel.jpg', bytes: jpeg }, { name: 'notes.txt', bytes: text }, null]);
  const added = api.addStaged();
  assert.equal(added.added, 2);
  assert.deepEqual(added.refused.map((r) => r.name), ['notes.txt']);
  assert.match(added.refused[0].reason, /n'est pas une image/);
  const questions = api.state().questions;
  assert.deepEqual(questions.map((q) => [q.answer, q.pictureName, q.picture > 0]),
    [['tour eiffel', 'tour_eiffel.jpg', true], ['', '', false]]);
  assert.deepEqual(api.preparedPicture(0), new Uint8Array(jpeg));
  assert.ok(questions[1].points.some((point) => /^Pas d'image/.test(point)), 'the question without a picture is marked');
  // A picture not prepared by the page is refused, not shown empty.
  api.stage([{ name: 'autre.jpg', bytes: new Uint8Array([...jpeg, 0]) }]);
  assert.equal(api.addStaged().added, 0);
});

// The picture rules' answer about a file, as the page's preparer asks it.
function examined(bytes, quarterTurns = 0) {
  const at = module._zqp_buffer(bytes.length);
  module.HEAPU8.set(bytes, at);
  const address = module._zqp_examine(bytes.length, quarterTurns);
  let end = address;
  while (module.HEAPU8[end] !== 0) end += 1;
  return JSON.parse(new TextDecoder().decode(module.HEAPU8.subarray(address, end)));
}

function undecoded(bytes, inflated) {
  const at = module._zqp_buffer(bytes.length);
  module.HEAPU8.set(bytes, at);
  const address = module._zqp_undecoded(bytes.length, inflated);
  let end = address;
  while (module.HEAPU8[end] !== 0) end += 1;
  return JSON.parse(new TextDecoder().decode(module.HEAPU8.subarray(address, end)));
}

// picture_problem.h's numbers.
const Problem = { EmptyFile: 1, NotAPicture: 2, FormatNotReadHere: 3, NotDecodedHere: 4, Damaged: 5, CutShort: 6 };
const Reader = { System: 0, Browser: 1 };

test('the picture rules hand the page typed reasons, and the document says them in French', () => {
  const jpeg = readFileSync(path.join(testData, 'pictures/sideways.jpg'));
  const heic = new Uint8Array([0, 0, 0, 24, ...new TextEncoder().encode('ftypheic'), 0, 0, 0, 0]);
  const avif = new Uint8Array([0, 0, 0, 24, ...new TextEncoder().encode('ftypavif'), 0, 0, 0, 0]);
  assert.equal(examined(new Uint8Array(0)).reason.problem, Problem.EmptyFile, 'an empty file is empty');
  assert.equal(examined(new TextEncoder().encode('bonjour')).reason.problem, Problem.NotAPicture);
  assert.equal(examined(jpeg.subarray(0, jpeg.length - 2)).reason.problem, Problem.CutShort);
  // Where the browser's decoder refuses: HEIC only some browsers read; a JPEG
  // or an AVIF every browser reads, so its refusal is no proof of damage.
  assert.deepEqual([examined(heic).unreadable.reason.problem, examined(heic).unreadable.reason.reader],
    [Problem.FormatNotReadHere, Reader.Browser]);
  assert.equal(examined(avif).unreadable.reason.problem, Problem.NotDecodedHere);
  assert.equal(examined(jpeg).unreadable.reason.problem, Problem.NotDecodedHere);
  // Once the browser's decoder refused a PNG: damaged if its image data stops
  // short, else only not read by this browser.
  const png = readFileSync(path.join(testData, 'pictures/transparent.png'));
  const { inflatesTo } = examined(png).imageData;
  assert.equal(undecoded(png, inflatesTo - 1).reason.problem, Problem.Damaged);
  assert.equal(undecoded(png, inflatesTo).reason.problem, Problem.NotDecodedHere);
  assert.equal(undecoded(png, -1).reason.problem, Problem.NotDecodedHere);
  assert.equal(undecoded(heic, -1).reason.problem, Problem.FormatNotReadHere);

  api.reset();
  const background = parseInt(api.state().background.slice(1), 16);
  const refusals = [
    ['photo.heic', heic, examined(heic).unreadable, /ce navigateur ne sait pas lire les photos HEIC : enregistrez-la en JPEG ou ajoutez-la depuis l'Atelier pour Windows/],
    ['photo.jpg', new Uint8Array([...jpeg, 1]), examined(jpeg).unreadable, /ce navigateur n'a pas su lire cette image/],
    ['coupée.jpg', jpeg.subarray(0, jpeg.length - 2), examined(jpeg.subarray(0, jpeg.length - 2)), /tronqué/],
    ['page.jpg', new Uint8Array([...jpeg, 2]), { error: 'the picture worker stopped' }, /ce navigateur n'a pas su lire/],
  ];
  for (const [, bytes, prepared] of refusals) api.offerPrepared(bytes, prepared, background, 0);
  api.stage(refusals.map(([name, bytes]) => ({ name, bytes })));
  const added = api.addStaged();
  assert.equal(added.added, 0);
  assert.deepEqual(added.refused.map((r) => r.name), refusals.map(([name]) => name));
  for (const [i, [name, , , said]] of refusals.entries()) {
    assert.match(added.refused[i].reason, said, name);
    assert.doesNotMatch(added.refused[i].reason, /endommagé/, name);
  }
});

test('the kept copy opens again as an unsaved quiz, pictures and all', () => {
  api.reset();
  const jpeg = readFileSync(path.join(testData, 'pictures/sideways.jpg'));
  api.offerPrepared(jpeg, { kind: 1, bytes: jpeg }, parseInt(api.state().background.slice(1), 16), 0);
  api.stage([{ name: 'lune.jpg', bytes: jpeg }]);
  api.addStaged();
  api.setQuizText('name', 'Gardé');
  const copy = api.bundle();
  api.reset();
  assert.equal(api.openBundle(copy), '');
  const state = api.state();
  assert.deepEqual([state.name, state.questions.length, state.questions[0].answer, state.modified], ['Gardé', 1, 'lune', true]);
  assert.match(api.openBundle(copy.slice(0, 20)), /abîmée/);
  assert.equal(api.state().name, 'Gardé', 'a damaged copy leaves the document as it was');
});

test('the module names the pictures a turn or a new colour needs; what the author must hear is its own', () => {
  api.reset();
  const jpeg = readFileSync(path.join(testData, 'pictures/sideways.jpg'));
  const png = readFileSync(path.join(testData, 'pictures/transparent.png'));
  const background = parseInt(api.state().background.slice(1), 16);
  api.offerPrepared(jpeg, { kind: 1, bytes: jpeg }, background, 0);
  api.offerPrepared(png, { kind: 2, bytes: png }, background, 0);
  api.stage([{ name: 'a.jpg', bytes: jpeg }, null, { name: 'b.png', bytes: png }]);
  assert.equal(api.addStaged().added, 3);
  assert.deepEqual(api.picturesForTurn(0, -1), [{ question: 0, turns: 3 }]);
  assert.deepEqual(api.picturesForTurn(1, 1), [], 'no picture, nothing to prepare');
  assert.deepEqual(api.picturesForBackground(0xff0000), [{ question: 2, turns: 0 }], 'only what may hold transparency');
  assert.deepEqual(api.picturesForBackground(background), [], 'the same colour needs nothing');
  api.setQuizText('name', 'Les grands monuments de France');
  assert.deepEqual(api.state().headerNotes, ['Le nom sera coupé après « Les grands monuments de »'],
    'the same cut as the Windows Atelier says, from the same widths');
  assert.ok(api.review().some((point) => point.text.startsWith('Le nom sera coupé')), 'and before saving');
  const said = api.changedElsewhere('partage.exe');
  assert.equal(said.message, '« partage.exe » a été modifié ailleurs depuis son ouverture');
  assert.match(said.advice, /Enregistrer sous…/);
});

test('the names of chosen files in question order, and pass marks as typed', () => {
  assert.deepEqual(api.orderByName(['b.jpg', 'A.jpg', 'a.jpg', 'dossier/Z.png']), [1, 2, 0, 3]);
  for (const [typed, mark] of [[' 80 % ', 80], ['', null], ['0', 0], ['100', 100], ['101', undefined], ['abc', undefined]]) {
    assert.equal(api.typedPassMark(typed), mark, typed);
  }
});

test('typed and pasted text: the code page\'s letters kept, the others mended or named', () => {
  const cases = [
    // [entered, kept, note (a pattern; null: none)]
    ['Le cœur de la ville, une Œuvre d’art', 'Le cœur de la ville, une Œuvre d’art', null],
    ['Škoda, Žižkov, ŸSSINGEAUX', 'Škoda, Žižkov, ŸSSINGEAUX', null],
    ['Łódź et Wrocław', 'Lódz et Wroclaw', /^« Ł » \(U\+0141\) devient « L », « ź » \(U\+017A\) devient « z », « ł » \(U\+0142\) devient « l » : le lecteur ne sait pas les afficher\.$/],
    ['François Iᵉʳ', 'François Ier', /« ᵉ » \(U\+1D49\) devient « e »/],
    ['Ciel 😀 bleu', 'Ciel  bleu', /« 😀 » \(U\+1F600\) ne peut pas figurer dans un quiz/],
    ['a|b', 'a/b', /sépare les textes du quiz/],
    ['x\uD800y', 'xy', /U\+FFFD/],  // a lone surrogate, as a broken paste may hold
  ];
  for (const [text, kept, note] of cases) {
    const result = api.enteredText(text);
    assert.equal(result.text, kept, text);
    if (note) assert.match(result.note, note, text);
    else assert.equal(result.note, '', text);
  }
  const mended = api.enteredText('Łe 中');
  assert.deepEqual(mended.mended, [{ character: 'Ł', code: 'U+0141', replacement: 'L' }]);
  assert.deepEqual(mended.refused, [{ character: '中', code: 'U+4E2D', replacement: '' }]);

  // What the rule keeps, the document takes as it is.
  api.reset();
  assert.equal(api.setQuizText('name', api.enteredText('Łódź, cœur ’ 😀').text), '');
  assert.equal(api.state().name, 'Lódz, cœur ’ ');
});
