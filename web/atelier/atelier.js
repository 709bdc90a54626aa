// The Atelier's page: it finds its elements, reads what the author does and
// paints the document the module holds. Every rule (the document and its
// history, the review, the verdicts, the files' formats, the pictures'
// preparation) is the module's.
'use strict';

(() => {
  const module = ZorbelAtelierModule();
  const api = atelierApi(module);
  const preparer = createPicturePreparer(module, document.getElementById('picture-worker').textContent);

  const $ = (selector) => document.querySelector(selector);
  const field = (name) => $(`[data-field="${name}"]`);
  const action = (name) => $(`[data-action="${name}"]`);
  const control = (name) => $(`[data-control="${name}"]`);

  let state = api.state();
  let selected = -1;        // 0-based; -1 when the quiz has no question
  let saveHandle = null;    // where Ctrl+S writes again, where the browser allows it
  let savedFile = null;     // what that file was once written: { lastModified, size }
  let busy = 0;             // edits waiting for their pictures
  const thumbnails = new Map();  // picture number → object URL

  // ----- Messages -----

  function say(text) {
    control('status').textContent = text;
  }

  function warn(text) {
    control('alert').textContent = text;
  }

  // Work over a second says how far it is.
  function progressSayer(what, total) {
    const started = performance.now();
    let done = 0;
    return () => {
      done += 1;
      if (performance.now() - started > 1000 || done === total) say(`${what} ${done} / ${total}`);
    };
  }

  // ----- Painting -----

  function pictureUrl(question) {
    const serial = state.questions[question].picture;
    if (!serial) return '';
    if (!thumbnails.has(serial)) {
      thumbnails.set(serial, URL.createObjectURL(new Blob([api.preparedPicture(question)])));
    }
    return thumbnails.get(serial);
  }

  // Object URLs of pictures no longer shown are let go.
  function forgetUnusedPictures() {
    const used = new Set(state.questions.map((q) => q.picture));
    for (const [serial, url] of thumbnails) {
      if (!used.has(serial)) {
        URL.revokeObjectURL(url);
        thumbnails.delete(serial);
      }
    }
  }

  // The field being typed in keeps what is typed (the module may hold it
  // tidied, its last empty line dropped) until an edit is refused or undone.
  let typing = null;

  function setValue(element, value) {
    if (element === typing) return;
    if (element.type === 'checkbox') {
      if (element.checked !== value) element.checked = value;
    } else if (element.value !== value) {
      element.value = value;
      endNote(element);  // the note spoke of a text no longer there
    }
  }

  // Painting touches only what changed: an undo repaints everything.
  function setText(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  // A list of lines, redrawn only when they changed.
  function paintLines(list, lines) {
    if (list.dataset.lines === lines.join('\n')) return;
    list.dataset.lines = lines.join('\n');
    list.replaceChildren(...lines.map((line) => {
      const item = document.createElement('li');
      item.textContent = line;
      return item;
    }));
  }

  function paintQuiz() {
    setValue(field('name'), state.name);
    setValue(field('creator'), state.creator);
    setValue(field('explanation'), state.explanation);
    paintLines(control('header-notes'), state.headerNotes);
    setValue(field('first-label'), state.firstLabel);
    setValue(field('second-label'), state.secondLabel);
    setValue(field('answers-per-question'), String(state.answersPerQuestion));
    setValue(field('comment-mode'), String(state.commentMode));
    setText(control('comment-mode-help'), commentModes[state.commentMode]?.help ?? '');
    setValue(field('pictures-in-overview'), state.picturesInOverview);
    setValue(field('background'), state.background);
    setValue(field('codes'), state.codes.replace(/\r\n/g, '\n'));
    const title = `${state.modified ? '* ' : ''}${state.name || 'Sans nom'} – Zorbel Atelier`;
    if (document.title !== title) document.title = title;
  }

  function rowText(question, index) {
    return `${index + 1}. ${question.answer}`;
  }

  function paintRow(item, question, index) {
    if (item.dataset.question !== String(index + 1)) {
      item.dataset.question = String(index + 1);
      item.id = `question-${index + 1}`;
    }
    const image = item.querySelector('img');
    const url = pictureUrl(index);
    if (image.getAttribute('src') !== url) {
      if (url) image.src = url; else image.removeAttribute('src');
    }
    const text = rowText(question, index);
    setText(item.querySelector('.text'), text);
    // Only what changed is touched: an undo repaints every row.
    const points = question.points.join('\n');
    if (item.title !== points) {
      item.classList.toggle('marked', points !== '');
      item.title = points;
      item.querySelector('.points').textContent = points ? ` (!) ${question.points.join(' ')}` : '';
    }
    const chosen = String(index === selected);
    if (item.getAttribute('aria-selected') !== chosen) item.setAttribute('aria-selected', chosen);
    const tabIndex = index === selected || (selected < 0 && index === 0) ? 0 : -1;
    if (item.tabIndex !== tabIndex) item.tabIndex = tabIndex;
  }

  function newRow() {
    const item = document.createElement('li');
    item.setAttribute('role', 'option');
    const image = document.createElement('img');
    image.alt = '';
    image.decoding = 'async';
    image.loading = 'lazy';
    const text = document.createElement('span');
    text.className = 'text';
    const points = document.createElement('span');
    points.className = 'points';
    item.append(image, text, points);
    return item;
  }

  // Rows follow their pictures: a question deleted, moved or brought back
  // moves its row, and the other rows keep their thumbnails loaded.
  const rowsByKey = new Map();

  function rowKeys() {
    const used = new Set();
    return state.questions.map((question, index) => {
      let key = question.picture ? `p${question.picture}` : `i${index}`;
      if (used.has(key)) key = `${key}-${index}`;
      used.add(key);
      return key;
    });
  }

  function paintList() {
    const list = control('list');
    const keys = rowKeys();
    const wanted = new Set(keys);
    for (const [key, item] of rowsByKey) {
      if (!wanted.has(key)) {
        item.remove();
        rowsByKey.delete(key);
      }
    }
    keys.forEach((key, index) => {
      let item = rowsByKey.get(key);
      if (!item) {
        item = newRow();
        rowsByKey.set(key, item);
      }
      if (list.children[index] !== item) list.insertBefore(item, list.children[index] ?? null);
      paintRow(item, state.questions[index], index);
    });
    if (selected >= 0) list.setAttribute('aria-activedescendant', `question-${selected + 1}`);
    else list.removeAttribute('aria-activedescendant');
    control('empty-hint').hidden = state.questions.length > 0;
  }

  function paintQuestion() {
    const question = state.questions[selected];
    const none = question === undefined;
    setText(control('question-number'), none ? '' : String(selected + 1));
    for (const name of ['answer', 'second-answer', 'location', 'comment', 'try']) field(name).disabled = none;
    for (const name of ['delete-question', 'move-up', 'move-down', 'turn-left', 'turn-right']) action(name).disabled = none;
    action('move-up').disabled = none || selected === 0;
    action('move-down').disabled = none || selected === state.questions.length - 1;
    action('turn-left').disabled = none || !question.picture;
    action('turn-right').disabled = none || !question.picture;
    setValue(field('answer'), none ? '' : question.answer);
    setValue(field('second-answer'), none ? '' : question.secondAnswer);
    setValue(field('location'), none ? '' : question.location);
    setValue(field('comment'), none ? '' : question.comment.replace(/\r\n/g, '\n'));
    control('second-answer-row').hidden = state.answersPerQuestion !== 2;
    const preview = control('preview');
    const url = none ? '' : pictureUrl(selected);
    if (url) {
      if (preview.getAttribute('src') !== url) preview.src = url;
      preview.alt = `Image de la question ${selected + 1}`;
    } else {
      preview.removeAttribute('src');
      preview.alt = '';
    }
    preview.hidden = !url;
    paintTrial();
  }

  function paintTrial() {
    const trial = api.tryAnswer(selected, field('try').value);
    setText(control('single-verdict'), trial.single);
    setText(control('overview-verdict'), trial.overview);
    paintLines(control('warnings'), trial.warnings);
  }

  function paintHistory() {
    action('undo').disabled = state.undo === null;
    action('redo').disabled = state.redo === null;
    action('undo').title = state.undo ? `Annuler ${state.undo}` : 'Rien à annuler';
    action('redo').title = state.redo ? `Rétablir ${state.redo}` : 'Rien à rétablir';
  }

  function paint() {
    state = api.state();
    if (selected >= state.questions.length) selected = state.questions.length - 1;
    if (selected < 0 && state.questions.length > 0) selected = 0;
    paintQuiz();
    paintList();
    paintQuestion();
    paintHistory();
    forgetUnusedPictures();
    keepSoon();
  }

  function select(index, focus = false) {
    if (index < 0 || index >= state.questions.length) return;
    api.endTyping();
    if (index !== selected) for (const name of questionTexts) endNote(field(name));
    selected = index;
    field('try').value = '';
    paint();
    const item = control('list').children[index];
    item.scrollIntoView({ block: 'nearest' });
    if (focus) item.focus();
  }

  // ----- Notes under the text fields -----

  // What a field's text could not keep as entered, or why its change was
  // refused, said under it until the field is given another text, or changed
  // again after the author left it. It never takes the focus.
  const notes = new Map();  // field → { element, left }

  function noteUnder(element, text) {
    let note = notes.get(element);
    if (!note) {
      const shown = document.createElement('p');
      shown.className = 'field-note';
      shown.dataset.note = element.dataset.field;
      shown.id = `note-${element.dataset.field}`;
      shown.setAttribute('role', 'status');
      element.closest('label').after(shown);
      element.setAttribute('aria-describedby',
        [element.getAttribute('aria-describedby'), shown.id].filter(Boolean).join(' '));
      note = { element: shown, left: false };
      notes.set(element, note);
    }
    note.element.textContent = text;
    note.element.hidden = false;
    note.left = false;
  }

  function endNote(element) {
    const note = notes.get(element);
    if (!note || note.element.hidden) return;
    note.element.hidden = true;
    note.element.textContent = '';
  }

  // The field's text as the rule keeps it, shown with the caret where it was.
  function entered(element) {
    const result = api.enteredText(element.value);
    if (result.text !== element.value) {
      const caret = api.enteredText(element.value.slice(0, element.selectionStart ?? element.value.length)).text.length;
      element.value = result.text;
      element.setSelectionRange(caret, caret);
    }
    if (result.note) noteUnder(element, result.note);
    else if (notes.get(element)?.left) endNote(element);
    return result.text;
  }

  // ----- Edits -----

  // An edit's refusal is said (under its field, for a text) and the field
  // shows the document again.
  function edited(refusal, field = null) {
    if (!field) warn(refusal);
    typing = refusal ? null : field;
    paint();
    typing = null;
    if (field && refusal) noteUnder(field, refusal);
  }

  const quizTexts = ['name', 'creator', 'explanation', 'first-label', 'second-label'];
  const questionTexts = ['answer', 'second-answer', 'location', 'comment'];

  // Typed and pasted text alike: the field's whole text goes through the rule.
  function onTyped(event) {
    const name = event.target.dataset.field;
    const typed = event.target;
    if (quizTexts.includes(name)) edited(api.setQuizText(name, entered(typed)), typed);
    else if (questionTexts.includes(name) && selected >= 0) edited(api.setQuestionText(selected, name, entered(typed)), typed);
    else if (name === 'codes') edited(api.setCodes(entered(typed)), typed);
    else if (name === 'try') paintTrial();
  }

  function onChosen(event) {
    const name = event.target.dataset.field;
    if (name === 'answers-per-question') edited(api.setAnswersPerQuestion(Number(event.target.value)));
    else if (name === 'comment-mode') edited(api.setCommentMode(Number(event.target.value)));
    else if (name === 'pictures-in-overview') edited(api.setPicturesInOverview(event.target.checked) ?? '');
    else if (name === 'background') changeBackground(event.target.value);
    else if (quizTexts.includes(name) || questionTexts.includes(name) || name === 'codes') {
      api.endTyping();
      paint();
    }
  }

  const rgbOf = (colour) => parseInt(colour.slice(1), 16);

  // Each picture prepared as an edit needs it, offered to the module before the edit.
  async function offer(pictures, background, what) {
    const step = progressSayer(what, pictures.length);
    await Promise.all(pictures.map(async ({ name, bytes, turns }) => {
      const prepared = await preparer.prepare(name, bytes, background, turns);
      api.offerPrepared(bytes, prepared, background, turns);
      step();
    }));
  }

  async function whileBusy(work) {
    busy += 1;
    document.body.setAttribute('aria-busy', 'true');
    try {
      await work();
    } catch (error) {
      warn(`Erreur inattendue : ${error.message}`);
    } finally {
      busy -= 1;
      if (busy === 0) document.body.removeAttribute('aria-busy');
    }
  }

  const readFile = async (file) => new Uint8Array(await file.arrayBuffer());

  function addFiles(files) {
    return whileBusy(async () => {
      if (files.length === 0) return;
      const order = api.orderByName(files.map((file) => file.name));
      const pictures = await Promise.all(order.map(async (i) => ({ name: files[i].name, bytes: await readFile(files[i]), turns: 0 })));
      await offer(pictures, rgbOf(state.background), 'Préparation des images…');
      api.endTyping();
      api.stage(pictures);
      const before = state.questions.length;
      const added = api.addStaged();
      const refused = added.refused.map((r) => `« ${r.name} » : ${r.reason}`);
      warn(refused.length ? `Refusé : ${refused.join(' ; ')}` : '');
      say(added.added ? `${added.added} image${added.added > 1 ? 's' : ''} ajoutée${added.added > 1 ? 's' : ''}.` : '');
      paint();
      if (added.added) select(before);
    });
  }

  // The pictures the module says an edit needs, as the author gave them.
  const neededPictures = (needed) => needed.map(({ question, turns }) => ({
    name: state.questions[question].pictureName, bytes: api.originalPicture(question), turns,
  }));

  function turn(direction) {
    if (selected < 0 || !state.questions[selected].picture) return Promise.resolve();
    const question = selected;
    return whileBusy(async () => {
      await offer(neededPictures(api.picturesForTurn(question, direction)), rgbOf(state.background), 'Image tournée…');
      edited(api.turnPicture(question, direction));
    });
  }

  function changeBackground(colour) {
    return whileBusy(async () => {
      const pictures = neededPictures(api.picturesForBackground(rgbOf(colour)));
      await offer(pictures, rgbOf(colour), 'Images posées sur la nouvelle couleur…');
      api.setBackground(rgbOf(colour));
      paint();
    });
  }

  function removeSelected() {
    if (selected < 0) return;
    api.endTyping();
    api.removeQuestion(selected);
    say(`Question ${selected + 1} supprimée (Ctrl+Z l'annule).`);
    paint();
  }

  function moveSelected(direction) {
    if (selected < 0) return;
    api.endTyping();
    if (api.moveQuestion(selected, direction)) selected += direction;
    paint();
    control('list').children[selected]?.focus();
  }

  function undoOrRedo(redo) {
    api.endTyping();
    const name = redo ? state.redo : state.undo;
    if (!(redo ? api.redo() : api.undo())) return;
    say(`${redo ? 'Rétabli' : 'Annulé'} : ${name}.`);
    paint();
  }

  // ----- Files -----

  const playerBytes = (() => {
    const text = document.getElementById('player-exe').textContent.trim();
    if (!text) return new Uint8Array(0);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i += 1) bytes[i] = binary.charCodeAt(i);
    return bytes;
  })();

  function download(bytes, fileName, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = fileName;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  const canPickFiles = typeof window.showSaveFilePicker === 'function';

  async function writeWithPicker(bytes, fileName, description, extension, handle) {
    const target = handle ?? await window.showSaveFilePicker({
      suggestedName: fileName,
      types: [{ description, accept: { 'application/octet-stream': [extension] } }],
    });
    const writable = await target.createWritable();
    await writable.write(bytes);
    await writable.close();
    return target;
  }

  // The points that will surprise the players, shown before any save or
  // export; resolves true to go on. "Revenir" selects the first question concerned.
  function reviewed() {
    const points = api.review();
    if (points.length === 0) return Promise.resolve(true);
    const dialog = control('save-check');
    control('save-check-points').replaceChildren(...points.map((point) => {
      const item = document.createElement('li');
      item.textContent = point.text;
      return item;
    }));
    return new Promise((resolve) => {
      const answer = (goOn) => {
        dialog.close();
        action('save-anyway').onclick = null;
        action('go-back').onclick = null;
        if (!goOn) {
          const first = points.find((point) => point.question !== null);
          if (first) select(first.question - 1, true);
        }
        resolve(goOn);
      };
      action('save-anyway').onclick = () => answer(true);
      action('go-back').onclick = () => answer(false);
      dialog.oncancel = (event) => {
        event.preventDefault();
        answer(false);
      };
      dialog.showModal();
      action('save-anyway').focus();
    });
  }

  // The file about to be written again changed since this page wrote it
  // (another tab, another Atelier, a copy): 'replace', 'save-as' or 'cancel'.
  async function changedElsewhere(handle) {
    const now = await handle.getFile();
    if (!savedFile || (now.lastModified === savedFile.lastModified && now.size === savedFile.size)) return 'replace';
    const said = api.changedElsewhere(handle.name);
    control('changed-elsewhere-text').textContent = `${said.message}.`;
    control('changed-elsewhere-advice').textContent = said.advice;
    const dialog = control('changed-elsewhere');
    return new Promise((resolve) => {
      const answer = (choice) => {
        dialog.close();
        resolve(choice);
      };
      action('save-as-instead').onclick = () => answer('save-as');
      action('replace-anyway').onclick = () => answer('replace');
      action('cancel-save').onclick = () => answer('cancel');
      dialog.oncancel = () => answer('cancel');
      dialog.showModal();
      action('save-as-instead').focus();
    });
  }

  async function save(again) {
    api.endTyping();
    if (!await reviewed()) return;
    const made = api.saveExecutable(playerBytes);
    if (made.error) return warn(made.error);
    const fileName = `${state.fileStem}.exe`;
    try {
      let inPlace = again && saveHandle;
      if (inPlace) {
        const choice = await changedElsewhere(saveHandle);
        if (choice === 'cancel') return;
        inPlace = choice === 'replace';
      }
      if (canPickFiles) {
        saveHandle = await writeWithPicker(made.bytes, fileName, 'Quiz Zorbel', '.exe', inPlace ? saveHandle : null);
        const written = await saveHandle.getFile();
        savedFile = { lastModified: written.lastModified, size: written.size };
      } else download(made.bytes, fileName, 'application/octet-stream');
    } catch (error) {
      if (error.name !== 'AbortError') warn(`Le quiz n'a pas été enregistré : ${error.message}`);
      return;
    }
    api.markSaved();
    say(`Quiz enregistré : ${saveHandle?.name ?? fileName}.`);
    paint();
  }

  async function exportFile(made, extension, description, type) {
    if (made.error) return warn(made.error);
    const fileName = `${state.fileStem}${extension}`;
    try {
      if (canPickFiles) await writeWithPicker(made.bytes, fileName, description, extension, null);
      else download(made.bytes, fileName, type);
    } catch (error) {
      if (error.name !== 'AbortError') warn(`Rien n'a été exporté : ${error.message}`);
      return;
    }
    say(`Exporté : ${fileName}.`);
  }

  async function exportWeb() {
    api.endTyping();
    if (!await reviewed()) return;
    await exportFile(api.webPage(null), '.html', 'Page web', 'text/html');
  }

  async function exportScorm() {
    api.endTyping();
    if (!await reviewed()) return;
    const dialog = control('pass-mark-dialog');
    const input = field('pass-mark');
    const mark = await new Promise((resolve) => {
      const finish = (value) => {
        dialog.close();
        resolve(value);
      };
      action('export-scorm-confirm').onclick = () => {
        const typed = api.typedPassMark(input.value);
        if (typed === undefined) {
          warn('La note pour réussir est un pourcentage entier de 0 à 100, ou rien.');
          input.focus();
          return;
        }
        finish(typed);
      };
      action('cancel').onclick = () => finish(undefined);
      dialog.oncancel = () => finish(undefined);
      dialog.showModal();
      input.focus();
    });
    if (mark === undefined) return;
    await exportFile(api.scormPackage(mark), '.zip', 'Paquet SCORM', 'application/zip');
  }

  function play() {
    api.endTyping();
    const made = api.webPage(null);
    if (made.error) return warn(made.error);
    const frame = control('player-frame');
    if (frame.src) URL.revokeObjectURL(frame.src);
    frame.src = URL.createObjectURL(new Blob([made.bytes], { type: 'text/html' }));
    const dialog = control('player');
    dialog.showModal();
    frame.focus();
  }

  function confirmLoss() {
    return !state.modified || window.confirm('Le quiz a des changements non enregistrés. Les abandonner ?');
  }

  const extensionOf = (name) => name.slice(name.lastIndexOf('.') + 1).toLowerCase();

  // A quiz .exe, a source with its pictures (chosen together, or their
  // folder), or pictures alone, which are added.
  function openFiles(files) {
    return whileBusy(async () => {
      const quiz = files.find((file) => extensionOf(file.name) === 'exe');
      const source = files.find((file) => extensionOf(file.name) === 'toml');
      if (!quiz && !source) return addFiles(files);
      if (!confirmLoss()) return;
      let error;
      if (quiz) {
        error = api.openExecutable(await readFile(quiz));
      } else {
        error = await openSource(source, files);
      }
      if (error) return warn(error);
      saveHandle = null;
      savedFile = null;
      selected = -1;
      warn(api.openNotes().join(' '));
      say(`Ouvert : ${(quiz ?? source).name}.`);
      paint();
      if (state.questions.length) select(0);
    });
  }

  async function openSource(source, files) {
    const parsed = api.parseSource(await source.text());
    if (parsed.error) return parsed.error;
    const byName = new Map(files.map((file) => [(file.webkitRelativePath || file.name).toLowerCase(), file]));
    const folder = (source.webkitRelativePath || '').replace(/[^/]*$/, '').toLowerCase();
    const pictures = [];
    for (const [i, name] of parsed.pictures.entries()) {
      if (!name) {
        pictures.push(null);
        continue;
      }
      const file = parsed.candidates[i].map((candidate) => candidate.toLowerCase())
        .flatMap((candidate) => [byName.get(folder + candidate), byName.get(candidate)]).find(Boolean);
      if (!file) return `Image introuvable : ${name}. Choisissez la source avec ses images (ou leur dossier).`;
      pictures.push({ name, bytes: await readFile(file), turns: 0 });
    }
    const present = pictures.filter(Boolean);
    await offer(present, rgbOf(parsed.background), 'Préparation des images…');
    api.stage(pictures);
    return api.openParsedSource();
  }

  // ----- Nothing lost -----

  const Store = { name: 'zorbel-atelier', table: 'recovery', key: 'document' };
  let database = null;
  let storageRefused = false;

  function refuseStorage() {
    if (storageRefused) return;
    storageRefused = true;
    say('Le navigateur ne garde rien pour cette page : si elle se ferme, ce qui n\'est pas enregistré sera perdu.');
  }

  function openStore() {
    return new Promise((resolve) => {
      let request;
      try {
        request = indexedDB.open(Store.name, 1);
      } catch {
        resolve(null);
        return;
      }
      request.onupgradeneeded = () => request.result.createObjectStore(Store.table);
      request.onsuccess = () => {
        // Another page of the Atelier deleting or upgrading the store is not held up by this one.
        request.result.onversionchange = () => request.result.close();
        resolve(request.result);
      };
      request.onerror = () => resolve(null);
      request.onblocked = () => resolve(null);
    });
  }

  function stored(mode, work) {
    return new Promise((resolve, reject) => {
      const transaction = database.transaction(Store.table, mode);
      const request = work(transaction.objectStore(Store.table));
      transaction.oncomplete = () => resolve(request.result);
      transaction.onerror = () => reject(transaction.error);
      transaction.onabort = () => reject(transaction.error);
    });
  }

  let keepTimer = 0;
  // body[data-kept] says where the copy stands: "pending", then "copy" or "none".
  let keptChange = 0;
  function keepSoon() {
    clearTimeout(keepTimer);
    keptChange += 1;
    document.body.dataset.kept = 'pending';
    keepTimer = setTimeout(keep, 300);
  }

  // A changed document is kept, pictures and all; a saved or new one is not.
  // Until the author has answered about the copy found at the start, the
  // copy stays as it was: the empty new quiz must not replace it.
  let recoveryAnswered = false;

  async function keep() {
    if (!database || !recoveryAnswered) return;
    const change = keptChange;
    try {
      if (state.modified) {
        await stored('readwrite', (table) => table.put({ name: state.name, bundle: api.bundle(), when: Date.now() }, Store.key));
      } else {
        await stored('readwrite', (table) => table.delete(Store.key));
      }
      if (change === keptChange) document.body.dataset.kept = state.modified ? 'copy' : 'none';
    } catch {
      refuseStorage();
    }
  }

  function askRecovery(name) {
    const dialog = control('recovery');
    control('recovery-text').textContent = `Le quiz « ${name || 'sans nom'} » n'a pas été enregistré. Le récupérer ?`;
    return new Promise((resolve) => {
      const answer = (yes) => {
        dialog.close();
        resolve(yes);
      };
      action('recover-yes').onclick = () => answer(true);
      action('recover-no').onclick = () => answer(false);
      dialog.oncancel = () => answer(false);
      dialog.showModal();
      action('recover-yes').focus();
    });
  }

  async function offerRecovery() {
    database = await openStore();
    if (!database) return refuseStorage();
    let kept;
    try {
      kept = await stored('readonly', (table) => table.get(Store.key));
    } catch {
      return refuseStorage();
    }
    if (kept) {
      document.body.setAttribute('data-ready', 'true');
      const recover = await askRecovery(kept.name);
      recoveryAnswered = true;
      if (recover) {
        const error = api.openBundle(new Uint8Array(kept.bundle));
        if (error) warn(error);
        else say(`Quiz « ${kept.name} » récupéré.`);
        selected = -1;
      }
    }
    recoveryAnswered = true;
    paint();
  }

  // ----- Input -----

  const commentModes = api.commentModes();
  field('comment-mode').replaceChildren(...commentModes.map((mode, i) => new Option(mode.name, String(i))));

  const keys = {
    'ctrl+z': () => undoOrRedo(false),
    'ctrl+y': () => undoOrRedo(true),
    'ctrl+shift+z': () => undoOrRedo(true),
    'ctrl+s': () => save(true),
    'ctrl+o': () => action('open').click(),
    'ctrl+l': () => turn(-1),
    'ctrl+r': () => turn(1),
    'ctrl+arrowup': () => moveSelected(-1),
    'ctrl+arrowdown': () => moveSelected(1),
    f5: () => play(),
  };

  function keyName(event) {
    const parts = [];
    if (event.ctrlKey || event.metaKey) parts.push('ctrl');
    if (event.shiftKey) parts.push('shift');
    parts.push(event.key.length === 1 ? event.key.toLowerCase() : event.key.toLowerCase());
    return parts.join('+');
  }

  document.addEventListener('keydown', (event) => {
    if (document.querySelector('dialog[open]')) return;
    const run = keys[keyName(event)];
    if (!run) return;
    event.preventDefault();
    run();
  });

  control('list').addEventListener('click', (event) => {
    const item = event.target.closest('[data-question]');
    if (item) select(Number(item.dataset.question) - 1, true);
  });

  control('list').addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const moves = { ArrowUp: -1, ArrowDown: 1, Home: -Infinity, End: Infinity };
    if (event.key in moves) {
      event.preventDefault();
      const to = Math.max(0, Math.min(state.questions.length - 1, selected + moves[event.key]));
      select(to, true);
    } else if (event.key === 'Delete') {
      event.preventDefault();
      removeSelected();
    }
  });

  document.addEventListener('input', (event) => {
    if (event.target.dataset.field && event.target.type !== 'color' && event.target.tagName !== 'SELECT' &&
        event.target.type !== 'checkbox') onTyped(event);
  });
  document.addEventListener('change', (event) => {
    if (event.target.dataset.field) onChosen(event);
  });
  document.addEventListener('focusout', (event) => {
    const note = notes.get(event.target);
    if (note) note.left = true;
  });

  for (const [name, run] of Object.entries({
    'delete-question': removeSelected,
    'move-up': () => moveSelected(-1),
    'move-down': () => moveSelected(1),
    'turn-left': () => turn(-1),
    'turn-right': () => turn(1),
    undo: () => undoOrRedo(false),
    redo: () => undoOrRedo(true),
    save: () => save(true),
    'export-web': exportWeb,
    'export-scorm': exportScorm,
    play,
    'close-player': () => control('player').close(),
  })) action(name).addEventListener('click', run);

  action('add-pictures').addEventListener('change', (event) => {
    const files = [...event.target.files];
    event.target.value = '';
    addFiles(files);
  });
  for (const name of ['open', 'open-folder']) {
    action(name).addEventListener('change', (event) => {
      const files = [...event.target.files];
      event.target.value = '';
      openFiles(files);
    });
  }

  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const files = [...event.dataTransfer.files];
    if (files.length) openFiles(files);
  });

  window.addEventListener('beforeunload', (event) => {
    if (!state.modified) return;
    event.preventDefault();
    event.returnValue = '';
  });

  paint();
  offerRecovery().then(() => document.body.setAttribute('data-ready', 'true'));
})();
