#pragma once
// The program's one top-level window: class, procedure and the view switch.

#include <windows.h>

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
void centreOnDesktop(HWND window);
