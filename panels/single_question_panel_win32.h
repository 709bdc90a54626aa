#pragma once
// The view of one question at a time: picture, answer field, verdict,
// comment, arrows and the question selector.

#include <windows.h>

extern int currentQuestion;

// Made from the question panels' template, with the saved answers as its
// creation parameter (asCreationParameter).
INT_PTR CALLBACK singleQuestionPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the answer field into the answer slot of the question shown.
void commitAnswerField();

// Grades the question shown, from its answer field.
void gradeShownQuestion();

// Puts the slot of the question shown back into the answer field and grades
// it, after the slots changed elsewhere (the overview).
void refreshShownAnswer();
