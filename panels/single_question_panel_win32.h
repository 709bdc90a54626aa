#pragma once
// The view of one question at a time: picture, answer field, verdict,
// comment, arrows and the question selector. Its controls show the game's
// single view; clicks and choices go to the game.

#include <windows.h>

// Made from the question panels' template once the game has begun.
INT_PTR CALLBACK singleQuestionPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
