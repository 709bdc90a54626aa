#include "common/french_buttons_win32.h"

namespace {

HHOOK renameHook = nullptr;

LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, L"&Oui");
        SetDlgItemTextW(box, IDNO, L"&Non");
        SetDlgItemTextW(box, IDCANCEL, L"Annuler");
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void renameNextBoxButtonsInFrench() {
    if (renameHook == nullptr) renameHook = SetWindowsHookExW(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
}
