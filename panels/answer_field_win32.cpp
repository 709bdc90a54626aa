#include "panels/answer_field_win32.h"

#include "common/app_state_win32.h"
#include "content/text.h"
#include "panels/key_action_win32.h"
#include "session/quiz_session.h"
#include "panels/session_painter_win32.h"

namespace {

// Every answer field is an edit control, so they share one procedure.
WNDPROC editProcedure = nullptr;

WheelStep wheelOf(HWND field) { return reinterpret_cast<WheelStep>(GetWindowLongPtrA(field, GWLP_USERDATA)); }

// Focus changes that painting makes are the game's own, already applied.
void focusMoved(int control) {
    if (paintingSession()) return;
    moveFocus(*game, control);
    paintSession();
}

// True when the key is consumed: Enter never reaches the field.
bool onKeyAction(HWND field, WPARAM virtualKey) {
    const SessionKey key = sessionKeyOf(virtualKey);
    if (key == SessionKey::Other) return false;
    pressKey(*game, GetDlgCtrlID(field), key, GetKeyState(VK_SHIFT) < 0);
    paintSession();
    return key == SessionKey::Enter;
}

LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            SendMessageA(field, EM_SETSEL, 0, static_cast<LPARAM>(TextCapacity));  // the whole text
            focusMoved(GetDlgCtrlID(field));
            break;
        case WM_KILLFOCUS:
            focusMoved(FocusElsewhere);
            break;
        case WM_CHAR:
            if (wParam == '\r' || wParam == '\t') return 0;
            break;
        case WM_MOUSEWHEEL:
            if (wheelOf(field) == nullptr) break;
            wheelOf(field)(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
            if (isKeyAction(message, lParam) && onKeyAction(field, wParam)) return 1;
            break;
        default:
            break;
    }
    return CallWindowProcA(editProcedure, field, message, wParam, lParam);
}

}  // namespace

void filterAnswerField(HWND field, WheelStep wheel) {
    SetWindowLongPtrA(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wheel));
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&answerFieldProc)));
}

void answerFieldChanged(HWND panel, WPARAM commandWParam) {
    if (HIWORD(commandWParam) != EN_CHANGE) return;
    const int id = LOWORD(commandWParam);
    char text[TextCapacity] = {};
    GetDlgItemTextA(panel, id, text, static_cast<int>(TextCapacity));
    typeText(*game, id, text);
}
