// The page of one quiz: it draws the player's controls as the grading module
// holds them and passes on what the player does. Every rule (verdicts, score,
// code line, comments, what each key does to the answers, the progress format)
// is the module's; this script only finds elements, reads input and paints,
// with the page's own help around the game: a Valider button, accent keys,
// names and announcements for screen readers, a layout that leaves the field
// in sight above a phone's keyboard, and the place it was on kept for a reload.
'use strict';

(async () => {
  const Header = 0;
  const Single = 1;
  const Overview = 2;
  const AnswerField = 9000;
  const VerdictLabel = 9500;
  const CommentLabel = 9501;
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
  const Stroke = { Down: 0, Repeat: 1, Up: 2 };
  const Scroll = { Top: 0, Bottom: 1, PageUp: 2, PageDown: 3, ShowSlot: 4 };
  const OverviewFrame = 210;  // the overview's picture frame, when a picture's size is unknown
  const MinPicture = 64;  // px: below this a picture is no longer worth its room

  const page = {
    header: document.querySelector('.header'),
    single: document.getElementById('single'),
    overview: document.getElementById('overview'),
    cards: document.querySelector('#overview .cards'),
    notice: document.getElementById('notice'),
    finished: document.getElementById('finished'),
    announcer: document.getElementById('announce'),
    frame: document.querySelector('#single .frame'),
    answerName: document.querySelector('#single .answer-name'),
    answerRow: document.querySelector('#single .answer'),
    accents: document.querySelector('.accents'),
    secondAnswer: document.querySelector('#single .second-hint'),
    switchButton: document.querySelector('[data-control="switch"]'),
    copyButton: document.querySelector('[data-control="copy"]'),
    restartButton: document.querySelector('[data-control="restart"]'),
  };
  const control = (root, id) => root.querySelector(`[data-control="${id}"]`);
  const field = control(page.single, AnswerField);
  const selector = control(page.single, Selector);
  const picture = control(page.single, PictureFrame);
  const validateButton = control(page.single, 'validate');
  const secondButton = control(page.single, 'second');
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
  const fittedSize = (index) => (data.pictures[index] && data.pictures[index].fitted) || [OverviewFrame, OverviewFrame];

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
  const platform = lms ? zorbelPlatform(lms, api, tell, data.passMark ?? null) : null;
  const storage = platform ? null : openStorage(`zorbel:${data.key}`);

  function save() {
    if (platform) {
      platform.keep();
      return;
    }
    const bytes = api.progress();
    if (bytes) storage.save(bytes);
  }

  // The view and question the page is on, for this tab: a reload opens there again.
  const placeKey = `zorbel:${data.key}:place`;
  let keptPlace = '';
  function rememberPlace() {
    const place = `${api.overviewShown() ? 'overview' : 'single'} ${api.currentQuestion()}`;
    if (place === keptPlace) return;  // written when it changes only, not on every grading
    keptPlace = place;
    try {
      window.sessionStorage.setItem(placeKey, place);
    } catch (refused) {
      // Without storage a reload starts on the first question, as the player does.
    }
  }

  function restorePlace() {
    let saved = '';
    try {
      saved = window.sessionStorage.getItem(placeKey) || '';
    } catch (refused) {
      return;
    }
    keptPlace = saved;
    const [view, question] = saved.split(' ');
    const index = Number(question);
    if (Number.isInteger(index) && index > 0 && index < api.questionCount()) api.choose(index);
    if (view === 'overview' && api.questionCount() > 0) {
      buildOverview();
      api.switchView();
    }
    api.focus(FocusElsewhere);
    api.effects();  // drawn with everything else at the start
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

  // A field's name for screen readers: its question, and in a two-answer quiz its answer's label.
  function answerLabel(k) {
    const label = api.answerNames()[k - 1];
    return label || (k === 1 ? 'Première réponse' : 'Deuxième réponse');
  }
  function fieldName(question, k) {
    if (api.answersPerQuestion() !== 2) return `Réponse à la question ${question}`;
    const label = api.answerNames()[k - 1];
    return label ? `${label}, réponse à la question ${question}` : `${answerLabel(k)} à la question ${question}`;
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
    picture.alt = api.questionCount() > 0 ? `Image de la question ${index + 1}` : '';
    field.setAttribute('aria-label', fieldName(index + 1, 1));
  }

  // A button's text, with its key where a keyboard is likely to have it.
  function labelButton(button, text, keys) {
    const key = document.createElement('span');
    key.className = 'key';
    key.textContent = ` (${keys})`;
    button.replaceChildren(text, key);
  }

  function drawView() {
    const overview = api.overviewShown();
    if (overview) buildOverview();
    page.single.hidden = overview;
    page.overview.hidden = !overview;
    page.copyButton.hidden = !overview;
    labelButton(page.switchButton, overview ? 'Une question' : "Vue d'ensemble", overview ? 'F3 ou Échap' : 'F3');
    if (!overview) placeAccents(field);
    fitPicture();
  }

  function drawFinished() {
    const count = api.questionCount();
    page.finished.hidden = !(count > 0 && api.solvedCount() === count);
  }

  // --- Fitting the screen ----------------------------------------------------

  // The part of the page in sight: the visual viewport, which a phone's
  // keyboard or a pinch makes smaller than the window.
  const viewport = window.visualViewport || null;
  const inSight = () => (viewport ? { top: viewport.offsetTop, height: viewport.height } : { top: 0, height: window.innerHeight });

  // What must stay in sight while a field is typed in: its row, and under it
  // the accent keys and, in the single view, the line about the second answer.
  function typingBlock(input) {
    const parts = input === field ? [page.answerName, page.answerRow, page.secondAnswer] : [input.closest('.slot')];
    if (page.accents.parentElement === (input === field ? page.single : input.closest('.question'))) parts.push(page.accents);
    return parts.filter((element) => element && !element.hidden && element.getClientRects().length > 0);
  }

  // The single view's picture takes the height left once the header, the
  // field's row and what goes with it are in sight, at every size.
  function fitPicture() {
    if (page.single.hidden) return;
    const block = typingBlock(field);
    if (block.length === 0) return;
    const bottom = Math.max(...block.map((element) => element.getBoundingClientRect().bottom)) + window.scrollY;
    const frameHeight = page.frame.getBoundingClientRect().height;
    const room = `${Math.max(MinPicture, Math.floor(frameHeight + inSight().height - bottom - 8))}px`;
    const style = document.documentElement.style;
    if (style.getPropertyValue('--picture-room') !== room) style.setProperty('--picture-room', room);
  }

  // Scrolls only as far as needed; a block taller than the view shows its top.
  function keepInView(elements) {
    if (elements.length === 0) return;
    const rects = elements.map((element) => element.getBoundingClientRect());
    const top = Math.min(...rects.map((r) => r.top));
    const bottom = Math.max(...rects.map((r) => r.bottom));
    const view = inSight();
    if (top < view.top || bottom - top > view.height) window.scrollBy(0, top - view.top - 4);
    else if (bottom > view.top + view.height) window.scrollBy(0, bottom - view.top - view.height + 4);
  }

  function keepTypingInView() {
    const active = document.activeElement;
    if (isField(controlOf(active))) keepInView(typingBlock(active));
  }

  function onResize() {
    fitPicture();
    keepTypingInView();
  }
  if (viewport) viewport.addEventListener('resize', onResize);
  window.addEventListener('resize', onResize);

  // --- Saying what a grading gave --------------------------------------------

  const typedIn = new Set();  // fields typed in since their grading was last told
  let toldFinished = false;

  const questionOfField = (id) => (id === AnswerField
    ? api.currentQuestion() + 1 : Math.ceil((id - FieldBase) / Math.max(1, api.answersPerQuestion())));
  const verdictOf = (id) => (id === AnswerField ? control(page.single, VerdictLabel) : overviewElements.get(VerdictBase + id - FieldBase));
  const commentOf = (id) => (id === AnswerField
    ? control(page.single, CommentLabel) : overviewElements.get(CommentBase + questionOfField(id)));
  const shownText = (element) => (element && !element.hidden ? element.textContent.trim() : '');

  // The comment of a field's question the player saw before an action.
  const commentSeen = (id) => shownText(commentOf(id));

  // A polite live region hears a change: emptied, then filled on the next
  // frame, so that the same words twice are said twice.
  function announce(text) {
    page.announcer.textContent = '';
    requestAnimationFrame(() => { page.announcer.textContent = text; });
  }

  // A brief ring in the verdict's own text colour, its text fading back in:
  // the eye catches it even when the verdict reads as before, and nothing moves.
  function flash(element) {
    element.animate([{ boxShadow: 'inset 0 0 0 4px currentColor', opacity: 0.3 }, { boxShadow: 'inset 0 0 0 0 currentColor', opacity: 1 }],
      { duration: 700, easing: 'ease-out' });
  }

  function tellGrading(id, commentBefore) {
    const verdict = verdictOf(id);
    if (!verdict) return;
    typedIn.delete(id);
    flash(verdict);
    const said = verdict.textContent === '?' ? 'sans réponse' : verdict.textContent;
    const parts = [`Question ${questionOfField(id)} : ${said}.`];
    const comment = shownText(commentOf(id));
    if (comment && comment !== commentBefore) parts.push(comment);
    parts.push(`Score : ${api.solvedCount()} sur ${api.questionCount()}.`);
    const all = !page.finished.hidden;
    if (all && !toldFinished) parts.push(page.finished.textContent);
    toldFinished = all;
    announce(parts.join(' '));
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
    const target = overviewField(request.slot);
    switch (request.kind) {
      case Scroll.Top: window.scrollTo({ top: 0 }); break;
      case Scroll.Bottom: window.scrollTo({ top: document.documentElement.scrollHeight }); break;
      case Scroll.PageUp: window.scrollBy({ top: -inSight().height * 0.9 }); break;
      case Scroll.PageDown: window.scrollBy({ top: inSight().height * 0.9 }); break;
      default: if (target) target.closest('.question').scrollIntoView({ block: 'nearest' }); break;
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
    drawFinished();
    if (effects.viewSwitched) drawView();
    effects.scrolls.forEach(scrollOverview);
    placeFocus(effects.viewSwitched);
    save();
    rememberPlace();
    if (effects.saveRequested && platform) platform.commit();
    fitPicture();
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
    const id = controlOf(element);
    if (isField(id) && api.focused() !== id) api.focus(id);
  }

  // "Valider": what Enter does in the field, said as Enter's grading is.
  function validate(input) {
    const id = controlOf(input);
    if (!isField(id) || input.disabled) return;
    playerIsIn(input);
    const commentBefore = commentSeen(id);
    act(() => api.key(id, 'Enter', Stroke.Up, false));
    tellGrading(id, commentBefore);
    if (document.activeElement !== input) focusQuietly(input);
  }

  // Buttons that act on a field keep the caret (and a phone's keyboard) in it.
  function keepsTheCaret(element) {
    element.addEventListener('pointerdown', (event) => event.preventDefault());
    element.addEventListener('mousedown', (event) => event.preventDefault());
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
    for (const element of [field, validateButton, selector, control(page.single, 9905), control(page.single, 9906)]) {
      element.disabled = empty;
    }
    buildSecondAnswerLine();
  }

  // Two answers: the field is the first's; the second is typed in the overview.
  function buildSecondAnswerLine() {
    const two = api.answersPerQuestion() === 2 && api.questionCount() > 0;
    page.answerName.hidden = !two;
    page.secondAnswer.hidden = !two;
    if (!two) return;
    const second = api.answerNames()[1];
    page.answerName.textContent = answerLabel(1);
    field.placeholder = answerLabel(1);
    page.secondAnswer.firstElementChild.textContent = second
      ? `La deuxième réponse, « ${second} », se tape dans la vue d'ensemble.`
      : "La deuxième réponse se tape dans la vue d'ensemble.";
    secondButton.textContent = second ? `Taper « ${second} »` : 'Taper la deuxième réponse';
  }

  // A touch leaves the keyboard closed; a click or a key brings the typing back.
  function moveQuestion(event, move) {
    act(move);
    if (event.pointerType !== 'touch') focusQuietly(field);
  }

  control(page.single, NextButton).addEventListener('click', (event) => moveQuestion(event, () => api.clickArrow(NextButton)));
  control(page.single, PreviousButton).addEventListener('click', (event) => moveQuestion(event, () => api.clickArrow(PreviousButton)));
  selector.addEventListener('change', (event) => moveQuestion(event, () => api.choose(Number(selector.value))));
  keepsTheCaret(validateButton);
  validateButton.addEventListener('click', () => validate(field));
  secondButton.addEventListener('click', () => {
    const slot = api.slot(api.currentQuestion() + 1, 2);
    switchView();
    focusQuietly(overviewField(slot));
  });

  // --- The overview ----------------------------------------------------------

  let overviewBuilt = false;

  function overviewField(slot) { return overviewElements.get(FieldBase + slot); }

  function buildField(slot, name, placeholder) {
    const input = document.createElement('input');
    Object.assign(input, { type: 'text', lang: 'fr', autocomplete: 'off', spellcheck: false, maxLength: api.maxTextLength(),
      id: `field-${slot}`, placeholder });
    input.setAttribute('autocapitalize', 'none');
    input.setAttribute('autocorrect', 'off');
    input.setAttribute('enterkeyhint', 'done');
    input.setAttribute('aria-label', name);
    input.setAttribute('aria-describedby', `verdict-${slot}`);
    input.dataset.control = String(FieldBase + slot);
    input.dataset.slot = String(slot);
    return input;
  }

  // answer: 0 in a one-answer quiz, else 1 or 2.
  function buildSlot(slot, question, answer) {
    const row = document.createElement('div');
    row.className = answer === 0 ? 'slot' : `slot ${answer === 2 ? 'second' : 'first'}-answer`;
    const name = fieldName(question, answer || 1);
    const input = buildField(slot, name, answer === 0 ? 'Votre réponse' : answerLabel(answer));
    const validateSlot = document.createElement('button');
    Object.assign(validateSlot, { type: 'button', className: 'validate', textContent: 'Valider', tabIndex: -1 });
    validateSlot.setAttribute('aria-label', `Valider : ${name}`);
    keepsTheCaret(validateSlot);
    validateSlot.addEventListener('click', () => validate(input));
    const verdict = document.createElement('span');
    verdict.className = 'verdict';
    verdict.id = `verdict-${slot}`;
    verdict.dataset.control = String(VerdictBase + slot);
    if (answer !== 0) {
      const label = document.createElement('label');
      Object.assign(label, { className: 'name', htmlFor: input.id, textContent: api.answerNames()[answer - 1] });
      label.dataset.control = '156';
      row.append(label);
    }
    row.append(input, validateSlot, verdict);
    overviewElements.set(FieldBase + slot, input);
    overviewElements.set(VerdictBase + slot, verdict);
    return row;
  }

  function buildPicture(question) {
    const [width, height] = fittedSize(question - 1);
    const image = document.createElement('img');
    Object.assign(image, { src: pictureUri(question - 1), alt: `Image de la question ${question}`, width, height,
      loading: 'lazy', decoding: 'async' });
    image.dataset.control = String(PictureBase + question);
    return image;
  }

  function buildQuestion(question, answers) {
    const card = document.createElement('div');
    card.className = 'question';
    if (api.showsPictures() && pictureUri(question - 1)) card.append(buildPicture(question));
    const number = document.createElement('h3');
    number.className = 'number';
    number.dataset.control = '153';
    number.textContent = api.questionNumber(question);
    number.setAttribute('aria-label', `Question ${question}`);
    card.append(number);
    for (let k = 1; k <= answers; k += 1) {
      const slot = api.slot(question, k);
      if (slot > api.slotCount()) break;
      card.append(buildSlot(slot, question, answers === 2 ? k : 0));
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
    const cards = [];
    for (let question = 1; question <= api.questionCount(); question += 1) {
      cards.push(buildQuestion(question, answers));
    }
    page.cards.replaceChildren(...cards);
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
    const first = page.cards.querySelectorAll('.question')[api.currentQuestion()];
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
    drawFinished();
    drawView();
    rememberPlace();
    focusAnswerField();
  }

  // Whether a key acted on in a field grades it in a way the player asked to hear.
  function gradesAsked(name, typed) {
    const overview = api.overviewShown();
    if (name === 'Enter' || (name === 'F1' && overview)) return true;
    return typed && (name === 'F3' || (name === 'Tab' && overview));
  }

  // Keys go to the game, which says which of them are its own and acts once
  // per press: on release, in the control where the key went down. F3 in a
  // field the page put the caret in, and the player has not typed or clicked
  // in, is the main window's, as the player's focus is still there. Escape is
  // the page's: F3 in the overview, and out of the single view's field.
  const pressedIn = new Map();  // key -> the control its press went to
  function onKey(event, stroke) {
    if (event.isComposing || event.altKey || event.ctrlKey || event.metaKey) return;
    const name = event.key === 'Escape' && api.overviewShown() ? 'F3' : event.key;
    if (name === 'Escape') {
      if (stroke === Stroke.Up && event.target === field) validateButton.focus();
      return;
    }
    if (!overviewBuilt && name === 'F3') buildOverview();
    const id = controlOf(event.target);
    const notYetThePlayers = isField(id) && api.focused() !== id && name === 'F3';
    const heard = notYetThePlayers ? FocusElsewhere : id;
    if (stroke === Stroke.Down) pressedIn.set(event.key, heard);
    if (stroke === Stroke.Up && pressedIn.get(event.key) !== heard) return;
    pressedIn.delete(stroke === Stroke.Up ? event.key : '');
    const told = isField(heard) && gradesAsked(name, typedIn.has(heard)) ? commentSeen(heard) : null;
    const result = api.key(heard, name, stroke, event.shiftKey);
    if (result.prevent) event.preventDefault();
    if (!result.acted) return;
    paint();
    if (told !== null) tellGrading(heard, told);
  }
  document.addEventListener('keydown', (event) => onKey(event, event.repeat ? Stroke.Repeat : Stroke.Down));
  document.addEventListener('keyup', (event) => onKey(event, Stroke.Up));

  // The focus coming and going in the answer fields, as the player's fields hear of it.
  document.addEventListener('focusin', (event) => {
    const id = controlOf(event.target);
    if (isField(id)) {
      event.target.select();  // the whole text, as the player's fields do
      placeAccents(event.target);
      keepInView(typingBlock(event.target));
    }
    if (isField(id) && id !== AnswerField) lastOverviewSlot = id - FieldBase;
    if (id === FocusElsewhere || pageMovesFocus) return;
    act(() => api.focus(id));
  });
  document.addEventListener('focusout', (event) => {
    const id = controlOf(event.target);
    if (id === FocusElsewhere || pageMovesFocus || api.focused() !== id) return;
    const told = isField(id) && typedIn.has(id) ? commentSeen(id) : null;
    act(() => api.focus(FocusElsewhere));
    if (told !== null) tellGrading(id, told);
  });
  document.addEventListener('pointerdown', (event) => playerIsIn(event.target));
  document.addEventListener('input', (event) => {
    const id = controlOf(event.target);
    if (!isField(id)) return;
    playerIsIn(event.target);
    typedIn.add(id);
    api.type(id, event.target.value.normalize('NFC'));
  });

  page.switchButton.addEventListener('click', switchView);
  page.restartButton.addEventListener('click', restart);

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

  // --- Accent keys -------------------------------------------------------------

  // Keys for exactly the letters the expected answers use beyond a to z, in
  // their case; none when there are none.
  function buildAccents() {
    const letters = [...api.accentLetters()];
    page.accents.replaceChildren(...letters.map((letter) => {
      const button = document.createElement('button');
      Object.assign(button, { type: 'button', textContent: letter });
      button.dataset.control = 'accent';
      return button;
    }));
    page.accents.hidden = letters.length === 0;
  }

  // In the flow under the field being typed in, never over it.
  function placeAccents(input) {
    if (page.accents.hidden) return;
    const anchor = input === field ? page.answerRow : input.closest('.slot');
    if (anchor && anchor.nextElementSibling !== page.accents) anchor.after(page.accents);
  }

  function typeLetter(letter) {
    const input = answerFieldInUse();
    if (!input || input.disabled) return;
    const start = input.selectionStart ?? input.value.length;
    const end = input.selectionEnd ?? start;
    if (input.value.length - (end - start) >= input.maxLength) return;
    input.focus();
    input.setRangeText(letter, start, end, 'end');
    input.dispatchEvent(new Event('input', { bubbles: true }));  // the game hears of it as of a key typed
  }

  keepsTheCaret(page.accents);
  page.accents.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (button) typeLetter(button.textContent);
  });

  // --- Start -----------------------------------------------------------------

  const messages = api.start(definition, codes, platform ? platform.restored() : storage.load());
  if (platform) platform.begin();
  page.restartButton.hidden = Boolean(platform);
  document.title = api.quizName();
  const rgb = api.background();
  document.documentElement.style.setProperty('--quiz-background', `#${rgb.toString(16).padStart(6, '0')}`);
  document.documentElement.style.setProperty('--ink', api.textBlack() ? '#000' : '#fff');
  buildSingle();
  buildAccents();
  restorePlace();
  drawEverything();
  drawShownQuestion();
  drawFinished();
  toldFinished = !page.finished.hidden;
  drawView();
  focusAnswerField();
  if (messages.length > 0) tell(messages.join(' '));
  else if (storage && !storage.kept) tell('Ce navigateur ne garde pas les réponses : elles seront perdues en fermant la page.');
  document.documentElement.dataset.ready = 'true';
  performance.mark('zorbel-ready');
  // The overview is made while the player looks at the first question.
  setTimeout(buildOverview, 0);
})();
