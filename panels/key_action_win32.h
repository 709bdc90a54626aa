#pragma once
// The player's key messages as the game reads them: which key, and whether
// this message is the press that acts (released, or first pressed with Alt
// held; never an auto-repeat, so holding Alt+F3 switches once).

#include <windows.h>

#include "session/quiz_session.h"

inline KeyStroke keyStrokeOf(UINT message, LPARAM lParam) {
    const bool repeat = (lParam & (1 << 30)) != 0;
    if (message == WM_KEYUP || message == WM_SYSKEYUP) return KeyStroke::Up;
    if (message == WM_SYSKEYDOWN) return repeat ? KeyStroke::AltRepeat : KeyStroke::AltDown;
    return repeat ? KeyStroke::Repeat : KeyStroke::Down;
}

inline bool isKeyAction(UINT message, LPARAM lParam) {
    return (message == WM_KEYUP || message == WM_SYSKEYDOWN) && keyActs(keyStrokeOf(message, lParam));
}

inline SessionKey sessionKeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_RETURN: return SessionKey::Enter;
        case VK_TAB: return SessionKey::Tab;
        case VK_F1: return SessionKey::F1;
        case VK_F2: return SessionKey::F2;
        case VK_F3: return SessionKey::F3;
        case VK_UP: return SessionKey::Up;
        case VK_DOWN: return SessionKey::Down;
        case VK_PRIOR: return SessionKey::PageUp;
        case VK_NEXT: return SessionKey::PageDown;
        default: return SessionKey::Other;
    }
}
