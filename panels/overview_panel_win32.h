#pragma once
// The scrolling overview of every question: pictures three to a row, the
// answer fields with their verdicts, and comments that grading reveals.

#include <windows.h>

// Made from the question panels' template, with the saved answers as its
// creation parameter (asCreationParameter).
INT_PTR CALLBACK overviewPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// The answer slots (1-based) as the overview's fields hold them.
void setOverviewAnswer(int slot, const char* text);
void readOverviewAnswer(int slot, char* buffer, int capacity);
void gradeOverviewAnswer(int slot);
