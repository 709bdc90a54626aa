#pragma once
// The scrolling overview of every question: pictures three to a row, the
// answer fields with their verdicts, and comments that grading reveals. Its
// controls show the game's overview; typing and keys go to the game.

#include <windows.h>

// Made from the question panels' template once the game has begun.
INT_PTR CALLBACK overviewPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
