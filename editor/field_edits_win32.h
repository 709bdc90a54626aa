#pragma once
// The author's edits in the editor's fields, taken into the document at once.
// A change the document refuses is explained and undone in the field.

// A field's text changed (EN_CHANGE).
void onFieldChanged(int id);

void onAnswersPerQuestionChosen();
void onCommentModeChosen();
void onPicturesInOverviewClicked();
void chooseBackground();
