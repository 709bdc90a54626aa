#include "panels/answer_field_win32.h"

#include "common/app_state_win32.h"
#include "common/key_action_win32.h"
#include "content/text.h"

namespace {

// Every answer field is an edit control, so they share one procedure.
WNDPROC editProcedure = nullptr;

const AnswerFieldRules& rulesOf(HWND field) {
    return *reinterpret_cast<const AnswerFieldRules*>(GetWindowLongPtrA(field, GWLP_USERDATA));
}

// True when the key is consumed.
bool onKeyAction(HWND field, WPARAM key) {
    switch (key) {
        case VK_F2:
            SendMessageA(mainWindow, SaveAnswersRequest, 0, 0);
            return false;
        case VK_F3:
            SendMessageA(mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
            return false;
        default:
            return rulesOf(field).act(field, key);
    }
}

LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            SendMessageA(field, EM_SETSEL, 0, static_cast<LPARAM>(TextCapacity));  // the whole text
            break;
        case WM_KILLFOCUS:
            rulesOf(field).leave(field);
            break;
        case WM_CHAR:
            if (wParam == '\r' || wParam == '\t') return 0;
            break;
        case WM_MOUSEWHEEL:
            if (rulesOf(field).wheel == nullptr) break;
            rulesOf(field).wheel(GET_WHEEL_DELTA_WPARAM(wParam));
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

void filterAnswerField(HWND field, const AnswerFieldRules& rules) {
    SetWindowLongPtrA(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&rules));
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&answerFieldProc)));
}
