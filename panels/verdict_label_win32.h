#pragma once
// A verdict label wears the colour of its text, in both question views.

#include <windows.h>

// WM_CTLCOLORSTATIC for a verdict label: its brush (text on it with a
// transparent background), or FALSE for the system's colours ("?").
INT_PTR verdictLabelColours(HDC dc, HWND label);
