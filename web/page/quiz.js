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

  // Every action: the module decides, the page draws what changed and keeps the answers.
  function act(action) {
    action();
    drawChanges();
    drawShownQuestion();
    save();
  }

  // --- The single-question view ----------------------------------------------

  const typed = (input) => input.value.normalize('NFC');
  const keepSingle = () => api.setControlText(Single, AnswerField, typed(field));

  function buildSingle() {
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
    act(() => {
      keepSingle();
      api.leaveField();
      move();
    });
    if (event.pointerType !== 'touch') field.focus();
  }

  field.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      act(() => {
        keepSingle();
        api.gradeShown();
      });
    }
  });
  field.addEventListener('focus', () => field.select());
  field.addEventListener('blur', () => {
    if (!api.overviewShown()) act(() => {
      keepSingle();
      api.leaveField();
    });
  });
  control(page.single, 9905).addEventListener('click', (event) => moveQuestion(event, api.next));
  control(page.single, 9906).addEventListener('click', (event) => moveQuestion(event, api.previous));
  selector.addEventListener('change', (event) => moveQuestion(event, () => api.showQuestion(Number(selector.value))));

  // --- The overview ----------------------------------------------------------

  let overviewBuilt = false;

  function overviewField(slot) { return overviewElements.get(FieldBase + slot); }

  function buildSlot(slot, answerName) {
    const row = document.createElement('div');
    row.className = answerName === null ? 'slot' : `slot ${answerName.second ? 'second' : 'first'}-answer`;
    const input = document.createElement('input');
    Object.assign(input, { type: 'text', lang: 'fr', autocomplete: 'off', spellcheck: false, maxLength: 259 });
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
      const slot = (question - 1) * answers + k;
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
  const keepSlot = (slot) => api.setControlText(Overview, FieldBase + slot, typed(overviewField(slot)));

  function gradeSlot(slot) {
    act(() => {
      keepSlot(slot);
      api.gradeSlot(slot);
    });
  }

  function copyToUnsolved(slot) {
    if (slot === 0) return;
    act(() => {
      keepSlot(slot);
      api.copyToUnsolved(slot);
    });
    overviewField(slot).focus();
  }

  // Tab goes round the answer fields, the last leading back to the first.
  function tabFrom(slot, backwards) {
    const total = api.slotCount();
    const next = ((slot - 1 + (backwards ? -1 : 1) + total) % total) + 1;
    overviewField(next).focus();
  }

  page.overview.addEventListener('keydown', (event) => {
    const slot = slotOf(event.target);
    if (slot === 0) return;
    if (event.key === 'Enter') {
      event.preventDefault();
      gradeSlot(slot);
    } else if (event.key === 'Tab') {
      event.preventDefault();
      tabFrom(slot, event.shiftKey);
    } else if (event.key === 'F1') {
      event.preventDefault();
      copyToUnsolved(slot);
    }
  });
  page.overview.addEventListener('focusin', (event) => {
    const slot = slotOf(event.target);
    if (slot === 0) return;
    lastOverviewSlot = slot;
    event.target.select();
  });
  page.overview.addEventListener('focusout', (event) => {
    const slot = slotOf(event.target);
    if (slot !== 0 && api.overviewShown()) gradeSlot(slot);
  });
  page.copyButton.addEventListener('mousedown', (event) => event.preventDefault());
  page.copyButton.addEventListener('click', () => copyToUnsolved(lastOverviewSlot || 1));

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
      field.focus();
      return;
    }
    const first = page.overview.querySelectorAll('.question')[api.currentQuestion()];
    const input = first && first.querySelector('input');
    if (input) input.focus();
  }

  function switchView() {
    const active = document.activeElement;
    act(() => {
      if (active === field) {
        keepSingle();
        api.leaveField();
      } else if (slotOf(active) !== 0) {
        keepSlot(slotOf(active));
        api.gradeSlot(slotOf(active));
      }
      if (!overviewBuilt) buildOverview();
      api.switchView();
    });
    drawView();
    focusAnswerField();
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

  document.addEventListener('keydown', (event) => {
    if (event.key === 'F3') {
      event.preventDefault();
      switchView();
    } else if (event.key === 'F2') {
      event.preventDefault();
      save();
      if (platform) platform.commit();
    } else if (event.key === 'F1') {
      event.preventDefault();
    }
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
  function keepTyping() {
    const active = document.activeElement;
    if (active === field && !api.overviewShown()) keepSingle();
    else if (slotOf(active) !== 0 && api.overviewShown()) keepSlot(slotOf(active));
    save();
  }
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
