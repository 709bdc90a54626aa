// The Atelier module's functions for the page, and nothing more: the state
// comes out as JSON, texts go in as UTF-8 and bytes through a buffer the
// module lends. Every rule of the document stays in the module.
'use strict';

function atelierApi(module) {
  const utf8Out = new TextDecoder('utf-8');
  const utf8In = new TextEncoder();

  function textAt(address) {
    const heap = module.HEAPU8;
    let end = address;
    while (heap[end] !== 0) end += 1;
    return utf8Out.decode(heap.subarray(address, end));
  }

  const json = (address) => JSON.parse(textAt(address));

  // Copies byte arrays one after the other into the lent buffer; their total size.
  function lend(...parts) {
    const total = parts.reduce((sum, part) => sum + part.length, 0);
    const at = module._zqa_buffer(total);
    let offset = at;
    for (const part of parts) {
      module.HEAPU8.set(part, offset);
      offset += part.length;
    }
    return total;
  }

  const lendText = (text) => lend(utf8In.encode(text));

  // The bytes the module handed out last, copied out of its memory.
  const bytesAt = (address) => module.HEAPU8.slice(address, address + module._zqa_bytes_size());

  const made = (address) => {
    const bytes = bytesAt(address);
    return bytes.length > 0 ? { bytes } : { error: textAt(module._zqa_error()) };
  };

  const QuizFields = { name: 0, creator: 1, explanation: 2, 'first-label': 3, 'second-label': 4 };
  const QuestionFields = { answer: 0, 'second-answer': 1, location: 2, comment: 3 };

  return {
    QuizFields,
    QuestionFields,
    reset: () => module._zqa_new(),
    state: () => json(module._zqa_state()),
    commentModes: () => json(module._zqa_comment_modes()),
    review: () => json(module._zqa_review()),
    tryAnswer: (question, typed) => json(module._zqa_try(question, lendText(typed))),
    // A field's text as the rule of entered text keeps it: { text, note,
    // mended, refused }; the note (French) is empty when it was kept as it was.
    enteredText(text) {
      const bytes = utf8In.encode(text);
      module.HEAPU8.set(bytes, module._zqt_buffer(bytes.length));
      return json(module._zqt_entered_text(bytes.length));
    },
    // Each edit returns its refusal (French), empty when done.
    setQuizText: (field, text) => textAt(module._zqa_set_quiz_text(QuizFields[field], lendText(text))),
    setQuestionText: (question, field, text) =>
      textAt(module._zqa_set_question_text(question, QuestionFields[field], lendText(text))),
    setCodes: (text) => textAt(module._zqa_set_codes(lendText(text))),
    setAnswersPerQuestion: (answers) => textAt(module._zqa_set_answers_per_question(answers)),
    setCommentMode: (mode) => textAt(module._zqa_set_comment_mode(mode)),
    setPicturesInOverview: (shown) => module._zqa_set_pictures_in_overview(shown ? 1 : 0),
    setBackground: (rgb) => module._zqa_set_background(rgb),
    endTyping: () => module._zqa_end_typing(),
    undo: () => module._zqa_undo() === 1,
    redo: () => module._zqa_redo() === 1,
    removeQuestion: (question) => module._zqa_remove_question(question) === 1,
    moveQuestion: (question, direction) => module._zqa_move_question(question, direction) === 1,
    turnPicture: (question, turns) => textAt(module._zqa_turn_picture(question, turns)),
    picturesForTurn: (question, turns) => json(module._zqa_pictures_for_turn(question, turns)),
    picturesForBackground: (rgb) => json(module._zqa_pictures_for_background(rgb)),
    // Pictures for the next edit: staged (null for none), after offering what each became.
    stage(pictures) {
      module._zqa_stage_clear();
      for (const picture of pictures) {
        if (!picture) {
          module._zqa_stage_none();
          continue;
        }
        const name = utf8In.encode(picture.name);
        lend(name, picture.bytes);
        module._zqa_stage_picture(name.length, picture.bytes.length);
      }
    },
    // `prepared`: { kind, bytes } or { error, reason } (the reason typed by the
    // picture rules; without one, a picture this browser could not decode).
    offerPrepared(original, prepared, background, turns) {
      if (prepared.error === undefined) {
        lend(original, prepared.bytes);
        module._zqa_offer_prepared(original.length, prepared.bytes.length, prepared.kind, background, turns);
        return;
      }
      const reason = prepared.reason ?? {};
      lend(original);
      module._zqa_offer_refused(original.length, reason.problem ?? -1, reason.format ?? -1, reason.reader ?? 1,
        reason.missing ?? 0, reason.pixelLimit ?? 0, background, turns);
    },
    addStaged: () => json(module._zqa_add_staged()),
    originalPicture: (question) => bytesAt(module._zqa_original_picture(question)),
    preparedPicture: (question) => bytesAt(module._zqa_prepared_picture(question)),
    openExecutable: (bytes) => textAt(module._zqa_open_executable(lend(bytes))),
    openBundle: (bytes) => textAt(module._zqa_open_bundle(lend(bytes))),
    parseSource: (text) => json(module._zqa_parse_source(lendText(text))),
    openParsedSource: () => textAt(module._zqa_open_parsed_source()),
    openNotes: () => json(module._zqa_open_notes()),
    changedElsewhere: (fileName) => json(module._zqa_changed_elsewhere(lendText(fileName))),
    // { bytes } or { error }.
    saveExecutable: (player) => made(module._zqa_save_executable(player.length > 0 ? lend(player) : 0)),
    webPage: (passMark) => made(module._zqa_web_page(passMark ?? -1)),
    scormPackage: (passMark) => made(module._zqa_scorm_package(passMark ?? -1)),
    markSaved: () => module._zqa_mark_saved(),
    bundle: () => bytesAt(module._zqa_bundle()),
    // The files' indices in the order they become questions.
    orderByName: (names) => json(module._zqa_order_by_name(lendText(names.join('\n')))),
    // null for none, undefined when it is not a mark.
    typedPassMark(text) {
      const mark = module._zqa_typed_pass_mark(lendText(text));
      return mark === -1 ? null : mark === -2 ? undefined : mark;
    },
  };
}

if (typeof module === 'object' && module.exports) module.exports = atelierApi;
