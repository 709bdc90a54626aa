#pragma once
// Dots per inch, window by window. Windows 10 gives each monitor its own and
// tells a window when it moves to another; older systems have one for the
// whole desktop. The functions that know a monitor's are looked up at run
// time, so that the Atelier still starts where they are missing.

#include <windows.h>

inline constexpr unsigned DefaultDpi = 96;

// The dots per inch of the monitor `window` is on (the desktop's before it has one).
unsigned dpiOfWindow(HWND window);
// The dots per inch of the monitor `window` is on, as shcore.dll gives them
// (Windows 8.1 and later); 0 where it cannot.
unsigned dpiOfMonitorOf(HWND window);
// The system's message font as it is drawn at `dpi`.
HFONT createMessageFont(unsigned dpi);
// The outer size of an overlapped window with a menu whose client area is `client` at `dpi`.
SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, unsigned dpi);
