#pragma once
// The editor's one window: its class, menu, keys and procedure.

#include <windows.h>

bool registerEditorClass(HINSTANCE instance);
HWND createEditorWindow(HINSTANCE instance);

// Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+I, Alt+Up, Alt+Down, F5.
HACCEL createEditorAccelerators();
