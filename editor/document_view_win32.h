#pragma once
// The document shown in the editor's controls. The controls are filled with
// `editor.filling` set, so their change notifications are not taken for edits.

// Everything: settings, question list, the question shown, the caption.
void showDocument(int selectQuestion);
// The same document after a step of its history: the thumbnails drawn stay.
void showDocumentAgain(int selectQuestion);

void showCaption();
void showSettings();
void showSwatch();
// What the selected comment mode shows the players.
void showCommentModeHelp();
// What the player's header will cut of the quiz's name, creator and explanation.
void showHeaderNotes();

// The list again after questions were added, removed or moved.
void showQuestionList(int selectQuestion);
// One item's text after its answer changed.
void showListItem(int question);
// Every item's mark again: one answer changed may concern another question.
void showListMarks();

// Thumbnails and the preview drawn anew, after the pictures were prepared
// again (a new background colour).
void showPicturesAgain();

// The selected question's fields, picture, verdicts and warnings.
void showQuestion();
// The try field's verdicts in both views and the answer's warnings.
void showTrial();
