// The buttons of a message box renamed in French by its button set. In a box
// with only OK, Windows gives that lone button the id IDCANCEL (Wine gives
// it IDOK): here a window of ours plays such a box, so that Wine shows what
// Windows would do to it.

#include <gtest/gtest.h>

#include <string>

#include "common/french_buttons_win32.h"

namespace {

// A box-like window with one button of id IDCANCEL reading "OK", shown and
// activated (the hook acts when a window is activated); the button's text then.
std::wstring loneButtonAfterRename(UINT boxType) {
    renameNextBoxButtonsInFrench(boxType);
    HWND box = CreateWindowExW(0, L"#32770", L"Zorbel Atelier", WS_POPUP | WS_CAPTION, 10, 10, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, box,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), GetModuleHandleW(nullptr), nullptr);
    ShowWindow(box, SW_SHOW);
    SetActiveWindow(box);
    wchar_t text[64] = {};
    GetDlgItemTextW(box, IDCANCEL, text, 64);
    DestroyWindow(box);
    return text;
}

TEST(FrenchButtons, ALoneOkButtonStaysOkAndCancelIsRenamedOnlyWhereAsked) {
    const struct {
        UINT type;
        const wchar_t* cancelButton;
    } cases[] = {
        {MB_OK | MB_ICONINFORMATION, L"OK"},  // Windows' id IDCANCEL, still OK
        {MB_OKCANCEL, L"Annuler"},
        {MB_YESNOCANCEL | MB_ICONQUESTION, L"Annuler"},
        {MB_YESNO, L"OK"},  // no Cancel in that set: nothing named Annuler
    };
    for (const auto& c : cases) EXPECT_EQ(loneButtonAfterRename(c.type), c.cancelButton) << "box type " << c.type;
}

}  // namespace
