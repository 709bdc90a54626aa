#include "common/child_controls_win32.h"

#include "common/app_state_win32.h"

HWND createChild(HWND parent, const char* className, const char* text, DWORD style, const Rect& place, int id) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, place.x, place.y, place.width,
                           place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance,
                           nullptr);
}

void setGuiFont(HWND control) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

void createLabel(HWND parent, const char* text, int x, int y, int width, int height, int controlId, DWORD style) {
    setGuiFont(createChild(parent, "Static", text, style, {x, y, width, height}, controlId));
}
