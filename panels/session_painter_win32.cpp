#include "panels/session_painter_win32.h"

#include <windows.h>

#include <vector>

#include "common/app_state_win32.h"
#include "panels/overview_layout.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"

namespace {

bool painting = false;
bool reportsHeld = false;

HWND windowOf(SessionWindow window) {
    switch (window) {
        case SessionWindow::Header: return asWindow(quiz->headerPanel);
        case SessionWindow::SingleQuestion: return singleQuestionPanel;
        case SessionWindow::Overview: return overviewPanel;
    }
    return nullptr;
}

// A field's text is set only when it differs, so that typing keeps its caret.
void paintControl(HWND panel, const SessionControls& controls, int id) {
    HWND control = GetDlgItem(panel, id);
    if (control == nullptr) return;
    char shown[TextCapacity] = {};
    GetWindowTextA(control, shown, static_cast<int>(TextCapacity));
    const std::string_view text = controls.textOf(id);
    if (text != shown) SetWindowTextA(control, Text(text).c_str());
    // The style, not IsWindowVisible: the controls of a hidden view count as shown.
    const bool visible = controls.visible(id);
    const bool shownNow = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shownNow != visible) ShowWindow(control, visible ? SW_SHOWNORMAL : SW_HIDE);
}

void paintWindow(SessionWindow window, const std::vector<int>& ids) {
    HWND panel = windowOf(window);
    const SessionControls& controls = controlsOf(*game, window);
    for (const int id : ids) paintControl(panel, controls, id);
}

void scrollOverview(const ScrollRequest& request) {
    switch (request.kind) {
        case OverviewScroll::Top: SendMessageA(overviewPanel, WM_VSCROLL, ScrollTop, 0); break;
        case OverviewScroll::Bottom: SendMessageA(overviewPanel, WM_VSCROLL, ScrollBottom, 0); break;
        case OverviewScroll::PageUp: SendMessageA(overviewPanel, WM_VSCROLL, ScrollPageUp, 0); break;
        case OverviewScroll::PageDown: SendMessageA(overviewPanel, WM_VSCROLL, ScrollPageDown, 0); break;
        case OverviewScroll::ShowSlot:
            SendMessageA(overviewPanel, ShowSlotRequest, static_cast<WPARAM>(request.slot), 0);
            break;
    }
}

HWND focusedField() {
    const int id = game->focus;
    if (id == controlid::AnswerField) return GetDlgItem(singleQuestionPanel, id);
    if (id > controlid::OverviewFieldBase && id <= controlid::OverviewFieldBase + answerSlotCount(*quiz)) {
        return GetDlgItem(overviewPanel, id);
    }
    return nullptr;
}

// The game moves the focus into a field (Tab, F1) or, when the views swap,
// to the main window; every other move was the system's, already made.
void moveFocus(bool viewsSwapped) {
    HWND target = focusedField();
    if (target == nullptr && viewsSwapped) target = mainWindow;
    if (target == nullptr || GetFocus() == target) return;
    painting = true;
    SetFocus(target);
    painting = false;
}

}  // namespace

void paintSession() {
    const SessionEffects effects = takeEffects(*game);
    for (const SessionWindow window : {SessionWindow::Header, SessionWindow::SingleQuestion, SessionWindow::Overview}) {
        paintWindow(window, controlsOf(*game, window).takeChanges());
    }
    if (effects.questionShown) SendMessageA(singleQuestionPanel, ShowQuestionPictureRequest, 0, 0);
    if (effects.viewSwitched) SendMessageA(mainWindow, SwapViewsRequest, 0, 0);
    for (const ScrollRequest& request : effects.scrolls) scrollOverview(request);
    moveFocus(effects.viewSwitched);
    if (effects.saveRequested) SendMessageA(mainWindow, SaveProgressRequest, 0, 0);
}

void paintWholeSession() {
    for (const SessionWindow window : {SessionWindow::Header, SessionWindow::SingleQuestion, SessionWindow::Overview}) {
        SessionControls& controls = controlsOf(*game, window);
        controls.takeChanges();
        paintWindow(window, controls.ids());
    }
    takeEffects(*game);
}

void holdFocusReports(bool held) { reportsHeld = held; }

bool paintingSession() { return painting || reportsHeld; }
