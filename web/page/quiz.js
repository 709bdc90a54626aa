// The page of one quiz: it draws the player's controls as the grading module
// holds them and passes on what the player does. Every rule (verdicts, score,
// code line, comments, what each key does to the answers, the progress format)
// is the module's; this script only finds elements, reads input and paints.
'use strict';

(async () => {
  const Header = 0;
  const Single = 1;
  const Overview = 2;
  const AnswerField = 9000;
  const VerdictLabel = 9500;
  const PictureFrame = 9907;
  const Selector = 10000;
  const FieldBase = 4000;
  const VerdictBase = 5000;
  const CommentBase = 8000;
  const PictureBase = 9900;
  const SystemColours = 0;
  const FocusElsewhere = 0;  // the player's main window
  const NextButton = 9905;
  const PreviousButton = 9906;
  const SaveButton = 27;
  const Stroke = { Down: 0, Repeat: 1, Up: 2 };
  const Scroll = { Top: 0, Bottom: 1, PageUp: 2, PageDown: 3, ShowSlot: 4 };

  const page = {
    header: document.querySelector('.header'),
    single: document.getElementById('single'),
    overview: document.getElementById('overview'),
    notice: document.getElementById('notice'),
    switchButton: document.querySelector('[data-control="switch"]'),
    copyButton: document.querySelector('[data-control="copy"]'),
    restartButton: document.querySelector('[data-control="restart"]'),
  };
  const control = (root, id) => root.querySelector(`[data-control="${id}"]`);
  const field = control(page.single, AnswerField);
  const selector = control(page.single, Selector);
  const picture = control(page.single, PictureFrame);
  const overviewElements = new Map();  // control id -> element, once the overview is built
  let lastOverviewSlot = 0;

  const data = JSON.parse(document.getElementById('quiz').textContent);
  const bytesOf = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const definition = bytesOf(data.definition);
  const codes = data.codes === null ? null : bytesOf(data.codes);
  const pictureUri = (index) => {
    const stored = data.pictures[index];
    return stored ? `data:image/${stored.type};base64,${stored.data}` : null;
  };

  // --- Keeping the answers in the browser ------------------------------------

  function openStorage(key) {
    try {
      const store = window.localStorage;
      const probe = `${key}:probe`;
      store.setItem(probe, '1');
      store.removeItem(probe);
      return {
        kept: true,
        load() {
          const text = store.getItem(key) || '';
          return Uint8Array.from(text, (c) => c.charCodeAt(0));
        },
        save(bytes) {
          let text = '';
          for (const byte of bytes) text += String.fromCharCode(byte);
          try {
            store.setItem(key, text);
          } catch (refused) {
            // Full or withdrawn: the game goes on unsaved.
          }
        },
        clear() { store.removeItem(key); },
      };
    } catch (refused) {
      return { kept: false, load: () => new Uint8Array(0), save() {}, clear() {} };
    }
  }

  function tell(text) {
    page.notice.textContent = page.notice.hidden ? text : `${page.notice.textContent} ${text}`;
    page.notice.hidden = false;
  }

  const api = zorbelApi(await ZorbelModule());
  // Under a learning platform the platform holds the attempt, not the browser.
  const lms = zorbelFindPlatformApi(window);
  const platform = lms ? zorbelPlatform(lms, api, tell) : null;
  const storage = platform ? null : openStorage(`zorbel:${data.key}`);

  function save() {
    if (platform) {
      platform.keep();
      return;
    }
    const bytes = api.progress();
    if (bytes) storage.save(bytes);
  }

  // --- Drawing the controls --------------------------------------------------

  function elementOf(window, id) {
    if (window === Header) return control(page.header, id);
    if (window === Single) return control(page.single, id);
    return overviewElements.get(id) || null;
  }

  function paintVerdict(element, window, id) {
    const colourClass = api.verdictColour(window, id);
    const rgb = colourClass === SystemColours ? -1 : api.colour(colourClass);
    element.classList.toggle('coloured', rgb >= 0);
    element.style.background = rgb >= 0 ? `#${rgb.toString(16).padStart(6, '0')}` : '';
  }

  // Only the controls the module holds; the page's own (arrows, selector, pictures) stay as they are.
  function draw(window, id) {
    const element = elementOf(window, id);
    if (!element || !api.controlExists(window, id)) return;
    const text = api.controlText(window, id);
    if (element.tagName === 'INPUT') {
      if (element.value !== text) element.value = text;
    } else {
      element.textContent = text;
    }
    element.hidden = !api.controlVisible(window, id);
    if (element.classList.contains('verdict')) paintVerdict(element, window, id);
  }

  function drawChanges() {
    for (const window of [Header, Single, Overview]) {
      for (const id of api.changes(window)) draw(window, id);
    }
  }

  function drawEverything() {
    api.changes(Header);
    api.changes(Single);
    api.changes(Overview);
    page.header.querySelectorAll('[data-control]').forEach((e) => draw(Header, Number(e.dataset.control)));
    page.single.querySelectorAll('[data-control]').forEach((e) => draw(Single, Number(e.dataset.control)));
    overviewElements.forEach((element, id) => draw(Overview, id));
  }

  let shownQuestion = -1;
  function drawShownQuestion() {
    const index = api.currentQuestion();
    if (index === shownQuestion) return;
    shownQuestion = index;
    selector.value = String(index);
    const uri = api.questionCount() > 0 ? pictureUri(index) : null;
    if (uri) picture.src = uri;
    else picture.removeAttribute('src');
  }

  function drawView() {
    const overview = api.overviewShown();
    if (overview) buildOverview();
    page.single.hidden = overview;
    page.overview.hidden = !overview;
    page.copyButton.hidden = !overview;
    page.switchButton.textContent = overview ? 'Une question (F3)' : "Vue d'ensemble (F3)";
  }

  // --- Acting --------------------------------------------------------------

  // The page's own focus moves (after a switch, or where the game puts the
  // focus) are not the player's: the game is not told of them.
  let pageMovesFocus = false;
  function focusQuietly(element) {
    if (!element || document.activeElement === element) return;
    pageMovesFocus = true;
    element.focus();
    pageMovesFocus = false;
  }

  function scrollOverview(request) {
    const field = overviewField(request.slot);
    switch (request.kind) {
      case Scroll.Top: window.scrollTo({ top: 0 }); break;
      case Scroll.Bottom: window.scrollTo({ top: document.documentElement.scrollHeight }); break;
      case Scroll.PageUp: window.scrollBy({ top: -window.innerHeight * 0.9 }); break;
      case Scroll.PageDown: window.scrollBy({ top: window.innerHeight * 0.9 }); break;
      default: if (field) field.closest('.question').scrollIntoView({ block: 'nearest' }); break;
    }
  }

  function fieldOfControl(id) {
    if (id === AnswerField) return field;
    return id > FieldBase && id <= FieldBase + api.slotCount() ? overviewElements.get(id) : null;
  }

  // The game's focus, where it is in a field; after a switch the page puts
  // the typing in the shown view's field, as its own help.
  function placeFocus(viewSwitched) {
    const target = fieldOfControl(api.focused());
    if (target) focusQuietly(target);
    else if (viewSwitched) focusAnswerField();
  }

  // After every action the module decided: the page draws what changed,
  // does what the game asks and keeps the answers.
  function paint() {
    const effects = api.effects();
    drawChanges();
    drawShownQuestion();
    if (effects.viewSwitched) drawView();
    effects.scrolls.forEach(scrollOverview);
    placeFocus(effects.viewSwitched);
    save();
    if (effects.saveRequested && platform) platform.commit();
  }

  function act(action) {
    action();
    paint();
  }

  // The game control an event concerns: an answer field, an arrow, the
  // selector, or the main window for the rest of the page.
  function controlOf(element) {
    if (element === field) return AnswerField;
    const slot = slotOf(element);
    if (slot !== 0) return FieldBase + slot;
    const id = Number(element && element.dataset ? element.dataset.control : 0);
    return [NextButton, PreviousButton, Selector].includes(id) ? id : FocusElsewhere;
  }

  const isField = (id) => id === AnswerField || (id > FieldBase && id <= FieldBase + api.slotCount());

  // Typing or a key in a field the page focused on its own: the player put it there.
  function playerIsIn(element) {
    const control = controlOf(element);
    if (isField(control) && api.focused() !== control) api.focus(control);
  }

  // --- The single-question view ----------------------------------------------


  function buildSingle() {
    field.maxLength = api.maxTextLength();
    selector.replaceChildren(...Array.from({ length: api.questionCount() }, (_, i) => {
      const option = document.createElement('option');
      option.value = String(i);
      option.textContent = api.questionItem(i);
      return option;
    }));
    const empty = api.questionCount() === 0;
    for (const element of [field, selector, control(page.single, 9905), control(page.single, 9906)]) {
      element.disabled = empty;
    }
  }

  // A touch leaves the keyboard closed; a click or a key brings the typing back.
  function moveQuestion(event, move) {
    act(move);
    if (event.pointerType !== 'touch') focusQuietly(field);
  }

  control(page.single, NextButton).addEventListener('click', (event) => moveQuestion(event, () => api.clickArrow(NextButton)));
  control(page.single, PreviousButton).addEventListener('click', (event) => moveQuestion(event, () => api.clickArrow(PreviousButton)));
  selector.addEventListener('change', (event) => moveQuestion(event, () => api.choose(Number(selector.value))));

  // --- The overview ----------------------------------------------------------

  let overviewBuilt = false;

  function overviewField(slot) { return overviewElements.get(FieldBase + slot); }

  function buildSlot(slot, answerName) {
    const row = document.createElement('div');
    row.className = answerName === null ? 'slot' : `slot ${answerName.second ? 'second' : 'first'}-answer`;
    const input = document.createElement('input');
    Object.assign(input, { type: 'text', lang: 'fr', autocomplete: 'off', spellcheck: false, maxLength: api.maxTextLength() });
    input.setAttribute('autocapitalize', 'none');
    input.setAttribute('autocorrect', 'off');
    input.setAttribute('enterkeyhint', 'done');
    input.dataset.control = String(FieldBase + slot);
    input.dataset.slot = String(slot);
    const verdict = document.createElement('output');
    verdict.className = 'verdict';
    verdict.dataset.control = String(VerdictBase + slot);
    if (answerName !== null) {
      const name = document.createElement('label');
      name.className = 'name';
      name.dataset.control = '156';
      name.textContent = answerName.text;
      input.setAttribute('aria-label', answerName.text);
      row.append(name);
    }
    row.append(input, verdict);
    overviewElements.set(FieldBase + slot, input);
    overviewElements.set(VerdictBase + slot, verdict);
    return row;
  }

  function buildQuestion(question, answers, names) {
    const card = document.createElement('div');
    card.className = 'question';
    const uri = pictureUri(question - 1);
    if (api.showsPictures() && uri) {
      const image = document.createElement('img');
      Object.assign(image, { src: uri, alt: '', loading: 'lazy', decoding: 'async' });
      image.dataset.control = String(PictureBase + question);
      card.append(image);
    }
    const number = document.createElement('span');
    number.className = 'number';
    number.dataset.control = '153';
    number.textContent = api.questionNumber(question);
    card.append(number);
    for (let k = 1; k <= answers; k += 1) {
      const slot = api.slot(question, k);
      if (slot > api.slotCount()) break;
      const name = answers === 2 ? { text: names[k - 1], second: k === 2 } : null;
      card.append(buildSlot(slot, name));
    }
    if (api.controlExists(Overview, CommentBase + question)) {
      const comment = document.createElement('p');
      comment.className = 'comment';
      comment.dataset.control = String(CommentBase + question);
      overviewElements.set(CommentBase + question, comment);
      card.append(comment);
    }
    return card;
  }

  function buildOverview() {
    if (overviewBuilt) return;
    overviewBuilt = true;
    const answers = api.answersPerQuestion();
    const names = api.answerNames();
    const cards = [];
    for (let question = 1; question <= api.questionCount(); question += 1) {
      cards.push(buildQuestion(question, answers, names));
    }
    page.overview.replaceChildren(...cards);
    overviewElements.forEach((element, id) => draw(Overview, id));
  }

  const slotOf = (element) => Number(element && element.dataset ? element.dataset.slot : 0) || 0;

  page.copyButton.addEventListener('mousedown', (event) => event.preventDefault());
  page.copyButton.addEventListener('click', () => {
    act(() => {
      const slot = lastOverviewSlot || 1;
      api.focus(FieldBase + slot);
      api.key(FieldBase + slot, 'F1', Stroke.Up, false);
    });
  });

  // --- Both views --------------------------------------------------------------

  // The answer field where typing goes on: the one with the focus, or the last one.
  function answerFieldInUse() {
    const active = document.activeElement;
    if (active === field || slotOf(active) !== 0) return active;
    return api.overviewShown() ? overviewField(lastOverviewSlot || 1) : field;
  }

  function focusAnswerField() {
    if (api.questionCount() === 0) return;
    if (!api.overviewShown()) {
      focusQuietly(field);
      return;
    }
    const first = page.overview.querySelectorAll('.question')[api.currentQuestion()];
    focusQuietly(first && first.querySelector('input'));
  }

  function switchView() {
    if (!overviewBuilt) buildOverview();
    act(() => api.switchView());
  }

  function restart() {
    if (platform) return;
    if (!window.confirm('Effacer toutes les réponses de ce quiz et recommencer ?')) return;
    storage.clear();
    api.start(definition, codes, new Uint8Array(0));
    shownQuestion = -1;
    drawEverything();
    drawShownQuestion();
    drawView();
    focusAnswerField();
  }

  // Keys go to the game, which says which of them are its own and acts once
  // per press: on release, in the control where the key went down. F3 in a
  // field the page put the caret in, and the player has not typed or clicked
  // in, is the main window's, as the player's focus is still there.
  const pressedIn = new Map();  // key -> the control its press went to
  function onKey(event, stroke) {
    if (event.isComposing || event.altKey || event.ctrlKey || event.metaKey) return;
    if (!overviewBuilt && event.key === 'F3') buildOverview();
    const control = controlOf(event.target);
    const notYetThePlayers = isField(control) && api.focused() !== control && event.key === 'F3';
    const heard = notYetThePlayers ? FocusElsewhere : control;
    if (stroke === Stroke.Down) pressedIn.set(event.key, heard);
    if (stroke === Stroke.Up && pressedIn.get(event.key) !== heard) return;
    pressedIn.delete(stroke === Stroke.Up ? event.key : '');
    const result = api.key(heard, event.key, stroke, event.shiftKey);
    if (result.prevent) event.preventDefault();
    if (result.acted) paint();
  }
  document.addEventListener('keydown', (event) => onKey(event, event.repeat ? Stroke.Repeat : Stroke.Down));
  document.addEventListener('keyup', (event) => onKey(event, Stroke.Up));

  // The focus coming and going in the answer fields, as the player's fields hear of it.
  document.addEventListener('focusin', (event) => {
    const control = controlOf(event.target);
    if (isField(control)) event.target.select();  // the whole text, as the player's fields do
    if (isField(control) && control !== AnswerField) lastOverviewSlot = control - FieldBase;
    if (control === FocusElsewhere || pageMovesFocus) return;
    act(() => api.focus(control));
  });
  document.addEventListener('focusout', (event) => {
    const control = controlOf(event.target);
    if (control === FocusElsewhere || pageMovesFocus || api.focused() !== control) return;
    act(() => api.focus(FocusElsewhere));
  });
  document.addEventListener('pointerdown', (event) => playerIsIn(event.target));
  document.addEventListener('input', (event) => {
    const control = controlOf(event.target);
    if (!isField(control)) return;
    playerIsIn(event.target);
    api.type(control, event.target.value.normalize('NFC'));
  });

  page.switchButton.addEventListener('click', switchView);
  page.restartButton.addEventListener('click', restart);

  // The accent keys show on a phone while an answer is being typed.
  document.addEventListener('focusin', (event) => {
    if (event.target.matches('input[type="text"]')) document.body.classList.add('typing');
  });
  document.addEventListener('focusout', (event) => {
    if (event.target.matches('input[type="text"]')) document.body.classList.remove('typing');
  });

  // Leaving the page keeps what is typed, as closing the player does.
  const keepTyping = save;
  window.addEventListener('pagehide', () => {
    keepTyping();
    if (platform) platform.finish();
  });
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState !== 'hidden') return;
    keepTyping();
    if (platform) platform.commit();
  });
  // Back from the browser's cache after the attempt was suspended: the platform no longer listens.
  window.addEventListener('pageshow', (event) => {
    if (event.persisted && platform && platform.finished()) {
      tell('La tentative a été fermée sur la plateforme : rechargez la page pour que vos nouvelles réponses y soient gardées.');
    }
  });

  document.querySelectorAll('[data-control="accent"]').forEach((button) => {
    button.addEventListener('pointerdown', (event) => event.preventDefault());
    button.addEventListener('mousedown', (event) => event.preventDefault());
    button.addEventListener('click', () => {
      const input = answerFieldInUse();
      if (!input || input.disabled) return;
      const start = input.selectionStart ?? input.value.length;
      const end = input.selectionEnd ?? start;
      if (input.value.length - (end - start) >= input.maxLength) return;
      input.setRangeText(button.textContent, start, end, 'end');
      input.focus();
    });
  });

  // --- Start -----------------------------------------------------------------

  const messages = api.start(definition, codes, platform ? platform.restored() : storage.load());
  if (platform) platform.begin();
  page.restartButton.hidden = Boolean(platform);
  document.title = api.quizName();
  const rgb = api.background();
  document.documentElement.style.setProperty('--quiz-background', `#${rgb.toString(16).padStart(6, '0')}`);
  document.documentElement.style.setProperty('--overview-text', api.overviewTextBlack() ? '#000' : '#fff');
  buildSingle();
  drawEverything();
  drawShownQuestion();
  drawView();
  focusAnswerField();
  if (messages.length > 0) tell(messages.join(' '));
  else if (storage && !storage.kept) tell('Ce navigateur ne garde pas les réponses : elles seront perdues en fermant la page.');
  document.documentElement.dataset.ready = 'true';
  performance.mark('zorbel-ready');
  // The overview is made while the player looks at the first question.
  setTimeout(buildOverview, 0);
})();
