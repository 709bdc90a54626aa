#pragma once
// The strip along the top: quiz name, explanation, creator, score, code field,
// the "Sauver" button and the home-page link.

#include <windows.h>

#include "resources/home_page.h"

INT_PTR CALLBACK headerPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
