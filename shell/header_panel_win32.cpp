#include "shell/header_panel_win32.h"

#include <shellapi.h>

#include <cstdio>

#include "resources/resource_ids.h"
#include "shell/app_state_win32.h"
#include "shell/progress_win32.h"
#include "shell/window_layout.h"

namespace {

constexpr int LinkLabel = 24;
constexpr int SaveButton = 27;
constexpr COLORREF HeaderColour = RGB(128, 128, 255);
constexpr COLORREF LinkColour = RGB(50, 50, 255);

struct HeaderPanelState {
    HBRUSH brush = nullptr;
    HFONT linkFont = nullptr;
};
HeaderPanelState header;

HFONT guiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HWND createControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
                   int height, int id) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance, nullptr);
}

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
    description.lfWeight = 400;
    description.lfUnderline = 1;
    header.linkFont = CreateFontIndirectA(&description);
    setFont(label, header.linkFont, false);
    HCURSOR hand = LoadCursorA(programInstance, MAKEINTRESOURCEA(IDC_LINK_HAND));
    SetClassLongPtrA(label, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

void createControls(HWND panel) {
    styleLinkLabel(
        createControl(panel, "Static", HomePageText, SS_NOTIFY | SS_LEFTNOWORDWRAP, 736, 5, 115, 18, LinkLabel));
    createLabel(panel, "Par :", 736, 25, 27, 18, 25);
    createLabel(panel, quiz->creatorName.c_str(), 763, 25, 85, 18, 26);
    setFont(createControl(panel, "button", "Sauver", 0, 666, 25, 55, 18, SaveButton), guiFont(), true);
    createLabel(panel, quiz->explanation.c_str(), 110, 19, 490, 27, 28, SS_LEFT);  // two lines
    setFont(createControl(panel, "Static", quiz->quizName.c_str(), SS_LEFTNOWORDWRAP, 110, 3, 260, 18, 29),
            asFont(quiz->titleFont), false);
    createLabel(panel, " Code :", 7, 29, 36, 15, 31);
    char score[32];
    std::snprintf(score, sizeof score, " 0 / %d", quiz->questionCount);
    setFont(createControl(panel, "Static", score, SS_CENTER, 10, 1, 80, 20, 32), asFont(quiz->scoreFont), false);
    setFont(createControl(panel, "edit", "", ES_READONLY, 44, 29, 53, 16, 30), guiFont(), true);
    createControl(panel, "Static", "", WS_BORDER, 0, 26, 100, 1, 120);
    createControl(panel, "Static", "", WS_BORDER, 100, 0, 1, 50, 121);
    createControl(panel, "Static", "", WS_BORDER, 730, 0, 1, 50, 122);
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
    if (wParam == LinkLabel) ShellExecuteA(nullptr, "open", HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
    if (wParam == SaveButton) saveProgress();
}

INT_PTR onCtlColorStatic(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == LinkLabel) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, LinkColour);
        return brushResult(header.brush);
    }
    if (id >= 20 && id <= 37) {
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

void createLabel(HWND parent, const char* text, int x, int y, int width, int height, int controlId, DWORD style) {
    setFont(createControl(parent, "Static", text, style, x, y, width, height, controlId), guiFont(), true);
}

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
