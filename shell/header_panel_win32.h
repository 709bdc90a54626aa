#pragma once
// The strip along the top: quiz name, explanation, creator, score, code field,
// the "Sauver" button and the home-page link.

#include <windows.h>

inline constexpr char HomePageAddress[] = "https://zorbel.example/";
inline constexpr char HomePageText[] = "zorbel.example";

INT_PTR CALLBACK headerPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Makes a visible static text with the stock GUI font. One-line labels are
// clipped rather than wrapped, so a wider system font never blanks them.
void createLabel(HWND parent, const char* text, int x, int y, int width, int height, int controlId,
                 DWORD style = SS_LEFTNOWORDWRAP);
