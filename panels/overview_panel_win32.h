#pragma once
// The scrolling overview of every question.

#include <windows.h>

INT_PTR CALLBACK overviewPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
