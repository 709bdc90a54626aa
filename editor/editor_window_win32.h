#pragma once
// The editor's one window: its class, menu, keys and procedure.

#include <windows.h>

bool registerEditorClass(HINSTANCE instance);
HWND createEditorWindow(HINSTANCE instance);
// The window moved and, if need be, shrunk into its monitor's work area (the
// screen less the taskbar), so that no button is out of reach.
void fitIntoWorkArea(HWND window);

// Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+I, Ctrl+Z, Ctrl+Y, Ctrl+L, Ctrl+R,
// Alt+Up, Alt+Down, F5, F1.
HACCEL createEditorAccelerators();
