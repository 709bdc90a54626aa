#pragma once
// Keys act when released, or when pressed with Alt held, never on the
// auto-repeats of a held key (so holding Alt+F3 switches once).

#include <windows.h>

inline bool isKeyAction(UINT message, LPARAM lParam) {
    return message == WM_KEYUP || (message == WM_SYSKEYDOWN && (lParam & (1 << 30)) == 0);
}
