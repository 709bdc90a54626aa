#include "common/french_buttons_win32.h"

namespace {

HHOOK renameHook = nullptr;
UINT buttonSet = MB_OK;

bool hasCancel(UINT set) { return set == MB_OKCANCEL || set == MB_YESNOCANCEL || set == MB_RETRYCANCEL; }
bool hasYesNo(UINT set) { return set == MB_YESNO || set == MB_YESNOCANCEL; }

LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        if (hasYesNo(buttonSet)) {
            SetDlgItemTextW(box, IDYES, L"&Oui");
            SetDlgItemTextW(box, IDNO, L"&Non");
        }
        if (hasCancel(buttonSet)) SetDlgItemTextW(box, IDCANCEL, L"Annuler");
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void renameNextBoxButtonsInFrench(UINT boxType) {
    buttonSet = boxType & MB_TYPEMASK;
    if (renameHook == nullptr) renameHook = SetWindowsHookExW(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
}
