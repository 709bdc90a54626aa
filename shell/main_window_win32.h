#pragma once
// The program's one top-level window: class, procedure and the view switch.

#include <windows.h>

inline constexpr char MainWindowClass[] = "WindowsApp";
inline constexpr int StatusLabel = 8000;

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
void centreOnDesktop(HWND window);

// F3: swaps the question views.
void switchView();
