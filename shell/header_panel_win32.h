#pragma once
// The strip along the top: quiz name, explanation, creator, score, code field,
// the "Sauver" button and the home-page link.

#include <windows.h>

inline constexpr char HomePageAddress[] = "https://zorbel.example/";
inline constexpr char HomePageText[] = "zorbel.example";

INT_PTR CALLBACK headerPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
