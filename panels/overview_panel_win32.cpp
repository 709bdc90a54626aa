#include "panels/overview_panel_win32.h"

#include "shell/app_state_win32.h"

// Built hidden at start-up; its questions, fields and scrolling come next.
INT_PTR CALLBACK overviewPanelProc(HWND, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_CTLCOLORDLG:
            return brushResult(asBrush(quiz->backgroundBrush));
        default:
            return FALSE;
    }
}
