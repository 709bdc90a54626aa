#include "grading/dialog_controls_win32.h"

Text DialogControls::text(int controlId) const {
    Text text;
    GetDlgItemTextA(dialog_, controlId, text.data(), static_cast<int>(TextCapacity));
    return text;
}

void DialogControls::setText(int controlId, std::string_view text) {
    SetDlgItemTextA(dialog_, controlId, Text(text).c_str());
}

void DialogControls::setVisible(int controlId, bool visible) {
    if (HWND control = GetDlgItem(dialog_, controlId)) ShowWindow(control, visible ? SW_SHOWNORMAL : SW_HIDE);
}
