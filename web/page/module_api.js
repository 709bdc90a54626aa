// The grading module's functions for the page, and nothing more: texts come
// out as code page 1252 bytes and are decoded here; texts and bytes go in
// through a buffer the module lends. Every rule stays in the module.
'use strict';

function zorbelApi(module) {
  const cp1252 = new TextDecoder('windows-1252');
  const utf8 = new TextEncoder();

  // A zero-terminated text of the module's memory.
  function textAt(address) {
    const heap = module.HEAPU8;
    let end = address;
    while (heap[end] !== 0) end += 1;
    return cp1252.decode(heap.subarray(address, end));
  }

  // Copies byte arrays one after the other into the lent buffer; their addresses.
  function lend(...parts) {
    const total = parts.reduce((sum, part) => sum + part.length, 0);
    let at = module._zq_buffer(total);
    const heap = module.HEAPU8;
    return parts.map((part) => {
      heap.set(part, at);
      const address = at;
      at += part.length;
      return address;
    });
  }

  const zeroEnded = (text) => {
    const bytes = utf8.encode(text);
    const out = new Uint8Array(bytes.length + 1);
    out.set(bytes);
    return out;
  };

  return {
    // codes: null when the quiz has none.
    start(definition, codes, progress) {
      const none = new Uint8Array(0);
      const [d, c, p] = lend(definition, codes || none, progress);
      const count = module._zq_start(d, definition.length, c, codes ? codes.length : -1, p, progress.length);
      return Array.from({ length: count }, (_, i) => textAt(module._zq_message(i)));
    },
    questionCount: () => module._zq_question_count(),
    answersPerQuestion: () => module._zq_answers_per_question(),
    slotCount: () => module._zq_slot_count(),
    commentMode: () => module._zq_comment_mode(),
    showsPictures: () => module._zq_shows_pictures() === 1,
    currentQuestion: () => module._zq_current_question(),
    overviewShown: () => module._zq_overview_shown() === 1,
    background: () => module._zq_background(),
    quizName: () => textAt(module._zq_quiz_text(0)),
    answerNames: () => [textAt(module._zq_quiz_text(1)), textAt(module._zq_quiz_text(2))],
    // The slot of answer k of question j (both 1-based), and the longest text a field holds.
    slot: (question, answer) => module._zq_slot(question, answer),
    maxTextLength: () => module._zq_max_text_length(),
    questionItem: (index) => textAt(module._zq_question_item(index)),
    questionNumber: (question) => textAt(module._zq_question_number(question)),
    controlText: (window, id) => textAt(module._zq_control_text(window, id)),
    controlExists: (window, id) => module._zq_control_exists(window, id) === 1,
    controlVisible: (window, id) => module._zq_control_visible(window, id) === 1,
    // A field's text as it now stands (typing grades nothing).
    type(field, text) {
      const [address] = lend(zeroEnded(text));
      module._zq_type(field, address);
    },
    changes(window) {
      const count = module._zq_changes(window);
      return Array.from({ length: count }, (_, i) => module._zq_change(i));
    },
    verdictColour: (window, id) => module._zq_verdict_colour(window, id),
    colour: (colourClass) => module._zq_colour(colourClass),
    // Black or white, whichever reads better on the quiz's background.
    textBlack: () => module._zq_text_black() === 1,
    // The letters of the expected answers outside a to z, each once.
    accentLetters: () => textAt(module._zq_accent_letters()),
    // The player's actions; a control is a field's id, another control's id, or 0 for the main window.
    focus: (control) => module._zq_focus(control),
    focused: () => module._zq_focused(),
    clickArrow: (button) => module._zq_click_arrow(button),
    choose: (index) => module._zq_choose(index),
    clickSave: () => module._zq_click_save(),
    switchView: () => module._zq_switch_view(),
    // A key event; stroke 0 down, 1 a down's auto-repeat, 2 up.
    key(control, name, stroke, shift) {
      const [address] = lend(zeroEnded(name));
      const result = module._zq_key(control, address, stroke, shift ? 1 : 0);
      return { prevent: (result & 1) !== 0, acted: (result & 2) !== 0 };
    },
    // What the game asks of the page since it last asked.
    effects() {
      const flags = module._zq_effects();
      const scrolls = Array.from({ length: module._zq_scroll_count() }, (_, i) => ({
        kind: module._zq_scroll_kind(i),
        slot: module._zq_scroll_slot(i),
      }));
      return { viewSwitched: (flags & 1) !== 0, questionShown: (flags & 2) !== 0, saveRequested: (flags & 4) !== 0, scrolls };
    },
    // The progress file's bytes, or null when there is nothing to keep.
    progress() {
      const size = module._zq_progress();
      if (size < 0) return null;
      const address = module._zq_progress_data();
      return module.HEAPU8.slice(address, address + size);
    },
    solvedCount: () => module._zq_solved_count(),
    // round(100 x solved / questions); -1 for a quiz without questions.
    platformScore: () => module._zq_platform_score(),
    // "passed" (passMark, a percentage, reached), "completed" (no pass mark, all solved) or "incomplete".
    lessonStatus: (passMark = null) => textAt(module._zq_lesson_status(passMark === null ? -1 : passMark)),
    // The answers as a learning platform keeps them, and how many were left out to fit.
    suspendData() {
      const text = textAt(module._zq_suspend_data());
      return { text, leftOut: module._zq_suspend_left_out() };
    },
    // The progress file's bytes of a platform's suspend data; null when the data is not ours.
    progressOfSuspendData(text) {
      const [address] = lend(zeroEnded(text));
      const size = module._zq_progress_of_suspend_data(address);
      if (size < 0) return null;
      const at = module._zq_progress_data();
      return module.HEAPU8.slice(at, at + size);
    },
    grade(expected, typed, overview) {
      const [e, t] = lend(zeroEnded(expected), zeroEnded(typed));
      return textAt(module._zq_grade(e, t, overview ? 1 : 0));
    },
  };
}

if (typeof module === 'object' && module.exports) module.exports = zorbelApi;
