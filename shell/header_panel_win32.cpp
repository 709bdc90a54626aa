#include "shell/header_panel_win32.h"

#include <shellapi.h>

#include "common/app_state_win32.h"
#include "common/child_controls_win32.h"
#include "content/quiz_record.h"
#include "grading/grading_ops.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "panels/session_painter_win32.h"
#include "shell/window_layout.h"

namespace {

constexpr COLORREF HeaderColour = RGB(128, 128, 255);
constexpr COLORREF LinkColour = RGB(50, 50, 255);

struct HeaderPanelState {
    HBRUSH brush = nullptr;
    HFONT linkFont = nullptr;
};
HeaderPanelState header;

void setFont(HWND control, HFONT font, bool redraw) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

// Underlined, three quarters of the label's height; every static control then
// shows the hand, as the cursor belongs to the class.
void styleLinkLabel(HWND label) {
    RECT client{};
    GetClientRect(label, &client);
    LOGFONTA description{};
    description.lfHeight = -((client.bottom - client.top) * 3 / 4);
    description.lfWeight = FW_NORMAL;
    description.lfUnderline = 1;
    header.linkFont = CreateFontIndirectA(&description);
    setFont(label, header.linkFont, false);
    HCURSOR hand = LoadCursorA(programInstance, MAKEINTRESOURCEA(IDC_LINK_HAND));
    SetClassLongPtrA(label, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

void createControls(HWND panel) {
    using namespace controlid;
    styleLinkLabel(createChild(panel, "Static", HomePageText, SS_NOTIFY | SS_LEFTNOWORDWRAP, {736, 5, 115, 18},
                               HomePageLink));
    createLabel(panel, "Par :", 736, 25, 27, 18, ByLabel);
    createLabel(panel, quiz->creatorName.c_str(), 763, 25, 85, 18, CreatorLabel);
    setGuiFont(createChild(panel, "button", "Sauver", 0, {666, 25, 55, 18}, SaveButton));
    createLabel(panel, quiz->explanation.c_str(), 110, 19, 490, 27, ExplanationLabel, SS_LEFT);  // two lines
    setFont(createChild(panel, "Static", quiz->quizName.c_str(), SS_LEFTNOWORDWRAP, {110, 3, 260, 18}, QuizNameLabel),
            asFont(quiz->titleFont), false);
    createLabel(panel, " Code :", 7, 29, 36, 15, CodeCaption);
    const std::string score = scoreText(0, quiz->questionCount);
    setFont(createChild(panel, "Static", score.c_str(), SS_CENTER, {10, 1, 80, 20}, ScoreLabel), asFont(quiz->scoreFont), false);
    setGuiFont(createChild(panel, "edit", "", ES_READONLY, {44, 29, 53, 16}, CodeField));
    createChild(panel, "Static", "", WS_BORDER, {0, 26, 100, 1}, RuleUnderScore);
    createChild(panel, "Static", "", WS_BORDER, {100, 0, 1, 50}, RuleLeft);
    createChild(panel, "Static", "", WS_BORDER, {730, 0, 1, 50}, RuleRight);
}

void placeMovedControls(HWND panel) {
    RECT client{};
    GetClientRect(panel, &client);
    for (const HeaderMove& move : headerMoves(client.right - client.left)) {
        HWND control = GetDlgItem(panel, move.controlId);
        SetWindowPos(control, nullptr, move.place.x, move.place.y, move.place.width, move.place.height,
                     SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
        if (move.repaint) InvalidateRect(control, nullptr, FALSE);
    }
}

// Only a plain click (notification 0) counts, so a double click opens the page once.
void onCommand(WPARAM wParam) {
    if (wParam == controlid::HomePageLink) ShellExecuteA(nullptr, "open", HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
    if (wParam == controlid::SaveButton) {
        clickSave(*game);
        paintSession();
    }
}

INT_PTR onCtlColorStatic(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == controlid::HomePageLink) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, LinkColour);
        return brushResult(header.brush);
    }
    if (id >= controlid::FirstHeaderLabel && id <= controlid::LastHeaderLabel) {
        SetBkMode(dc, TRANSPARENT);
        return brushResult(header.brush);
    }
    return FALSE;
}

void releaseHeaderObjects() {
    if (header.brush != nullptr) DeleteObject(header.brush);
    if (header.linkFont != nullptr) DeleteObject(header.linkFont);
    header = {};
}

}  // namespace

INT_PTR CALLBACK headerPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            createControls(panel);
            header.brush = CreateSolidBrush(HeaderColour);
            return TRUE;
        case WM_SIZE:
            placeMovedControls(panel);
            return FALSE;
        case WM_COMMAND:
            onCommand(wParam);
            return FALSE;
        case WM_CTLCOLORDLG:
            return brushResult(header.brush);
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NCDESTROY:
            releaseHeaderObjects();
            return FALSE;
        default:
            return FALSE;
    }
}
