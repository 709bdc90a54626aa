#pragma once
// Making the panels' child controls: always visible children, placed by a Rect,
// named by their control id; labels take the system's GUI font.

#include <windows.h>

#include "shell/app_state_win32.h"
#include "shell/geometry.h"

inline HWND createChild(HWND parent, const char *className, const char *text,
                        DWORD style, const Rect &place, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style,
                         place.x, place.y, place.width, place.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         programInstance, nullptr);
}

inline void setGuiFont(HWND control) {
  SendMessageA(control, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
}
