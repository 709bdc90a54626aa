#pragma once
// The author's edits in the editor's fields, taken into the document at once.
// Typed and pasted text alike goes through the rule of entered text; what it
// mended or refused, and a change the document refuses (undone in the field),
// is said in a note under the field.

// A field's text changed (EN_CHANGE).
void onFieldChanged(int id);
// The author left a field (EN_KILLFOCUS): its typing is one step of the
// history, and its next change ends its note.
void onFieldLeft(int id);

void onAnswersPerQuestionChosen();
void onCommentModeChosen();
void onPicturesInOverviewClicked();
void chooseBackground();
