#include "shell/main_window_win32.h"

#include "common/app_state_win32.h"
#include "common/child_controls_win32.h"
#include "content/quiz_record.h"
#include "panels/overview_layout.h"
#include "panels/key_action_win32.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "shell/progress_win32.h"
#include "panels/session_painter_win32.h"
#include "shell/window_layout.h"

namespace {

void swapViews();

void place(HWND window, const Rect& r, UINT flags) {
    if (window != nullptr) SetWindowPos(window, nullptr, r.x, r.y, r.width, r.height, flags);
}

// The status text's width in its own font, with a little room at the ends.
int statusTextWidth(HWND label) {
    if (label == nullptr) return 0;
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, quiz->versionText.c_str(), static_cast<int>(quiz->versionText.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return extent.cx + 4;
}

void applyLayout(HWND window, int clientWidth, int clientHeight) {
    HWND status = GetDlgItem(window, controlid::StatusLabel);
    const MainWindowLayout layout = mainWindowLayout({clientWidth, clientHeight}, statusTextWidth(status));
    place(singleQuestionPanel, layout.singleQuestionPanel, SWP_NOZORDER);
    place(asWindow(quiz->headerPanel), layout.headerPanel, SWP_NOZORDER);
    place(overviewPanel, layout.overviewPanel, SWP_NOZORDER);
    place(status, layout.statusLabel, SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

void onCreate(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    createLabel(window, quiz->versionText.c_str(), 725, client.bottom - 16, 130, 15, controlid::StatusLabel);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
}

void forwardWheelStep(WPARAM wParam) {
    if (const auto code = wheelScrollCode(GET_WHEEL_DELTA_WPARAM(wParam))) {
        PostMessageA(overviewPanel, WM_VSCROLL, static_cast<WPARAM>(*code), 0);
    }
}

LRESULT onCtlColorStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != controlid::StatusLabel) return 0;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(statusBrush);
}

// The main window swallows every key; the game switches the view on F3.
void onKeyAction(WPARAM virtualKey) {
    if (virtualKey != VK_F3) return;
    pressKey(*game, FocusElsewhere, SessionKey::F3, false);
    paintSession();
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) applyLayout(window, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CLOSE:
            if (saveBeforeClosing(window)) PostQuitMessage(0);
            return 0;
        case WM_ENDSESSION:
            if (wParam) saveProgress();  // a log-off sends no WM_CLOSE
            return 0;
        case SwapViewsRequest:
            swapViews();
            return 0;
        case SaveProgressRequest:
            saveProgressAndReport();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
            if (isKeyAction(message, lParam)) onKeyAction(wParam);
            return 0;
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_MOUSEWHEEL:
            forwardWheelStep(wParam);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
    windowClass.lpszClassName = MainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(0, MainWindowClass, quiz->quizName.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                           CW_USEDEFAULT, CW_USEDEFAULT, MainWindowSize.width, MainWindowSize.height, nullptr,
                           nullptr, instance, nullptr);
}

void centreOnDesktop(HWND window) {
    RECT desktop{};
    RECT outer{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &outer);
    const Rect centred = centredOn({desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top},
                                   {outer.right - outer.left, outer.bottom - outer.top});
    SetWindowPos(window, nullptr, centred.x, centred.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

namespace {

void setResizable(bool resizable) {
    constexpr LONG frameStyles = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    SetWindowLongA(mainWindow, GWL_STYLE, resizable ? style | frameStyles : style & ~frameStyles);
    SetWindowPos(mainWindow, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void restoreFixedFrame() {
    if (IsZoomed(mainWindow) || IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
    RECT outer{};
    GetWindowRect(mainWindow, &outer);
    SetWindowPos(mainWindow, nullptr, outer.left, outer.top, MainWindowSize.width, MainWindowSize.height,
                 SWP_NOZORDER);
    setResizable(false);
}

// The window's part of the game's view switch: the frame, the panels shown
// and the picture frame of the view now active; the game has carried the
// answers and graded them, and moves the focus next.
void swapViews() {
    const bool toOverview = game->overviewShown;
    if (toOverview) {
        setResizable(true);
    } else {
        restoreFixedFrame();
    }
    ShowWindow(singleQuestionPanel, toOverview ? SW_HIDE : SW_SHOWNORMAL);
    ShowWindow(overviewPanel, toOverview ? SW_SHOWNORMAL : SW_HIDE);
    singleViewActive = toOverview ? OverviewView : SingleQuestionView;
    selectPictureFrame(singleViewActive);
}

}  // namespace
