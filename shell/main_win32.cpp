// Start-up and exit of the player.

#include <windows.h>

#include <memory>
#include <new>

#include "content/quiz_loader_win32.h"
#include "content/quiz_record_win32.h"
#include "panels/overview_panel_win32.h"
#include "panels/single_question_panel_win32.h"
#include "resources/resource_ids.h"
#include "shell/app_state_win32.h"
#include "shell/header_panel_win32.h"
#include "shell/main_window_win32.h"
#include "shell/progress_win32.h"

namespace {

int reportWindowFailure() {
    MessageBoxA(nullptr, "Erreur dans la cr\xE9" "ation de la fen\xEAtre principale", "Zorbel information",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}

HWND createPanel(int templateId, DLGPROC procedure) {
    return CreateDialogParamA(programInstance, MAKEINTRESOURCEA(templateId), mainWindow, procedure, 0);
}

// Steps 4 to 11 of start-up; false when a window cannot be made.
bool openWindows() {
    mainWindow = createMainWindow(programInstance);
    if (mainWindow == nullptr) return false;
    centreOnDesktop(mainWindow);

    HWND header = createPanel(IDD_HEADER_PANEL, headerPanelProc);
    if (header == nullptr) return false;
    ShowWindow(header, SW_SHOWNORMAL);
    quiz->headerPanel = header;

    selectPictureFrame(OverviewView);
    overviewPanel = createPanel(IDD_QUESTION_PANEL, overviewPanelProc);
    selectPictureFrame(SingleQuestionView);
    if (overviewPanel == nullptr) return false;
    ShowWindow(overviewPanel, SW_HIDE);

    singleQuestionPanel = createPanel(IDD_QUESTION_PANEL, singleQuestionPanelProc);
    if (singleQuestionPanel == nullptr) return false;
    quiz->mainWindow = mainWindow;

    ShowWindow(mainWindow, SW_SHOWNORMAL);
    ShowWindow(singleQuestionPanel, SW_SHOWNORMAL);
    SetFocus(mainWindow);
    return true;
}

int runMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(singleQuestionPanel, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

struct RecordOwner {
    std::unique_ptr<QuizRecord> record{new (std::nothrow) QuizRecord{}};
    ~RecordOwner() {
        if (record) releaseRecord(*record);
        quiz = nullptr;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    programInstance = instance;
    if (!registerMainWindowClass(instance)) return reportWindowFailure();
    statusBrush = CreateSolidBrush(RGB(212, 208, 200));

    RecordOwner owner;
    if (!owner.record) return 0;
    quiz = owner.record.get();
    initialiseRecord(*quiz);
    createRecordGdiObjects(*quiz);
    loadQuiz(*quiz);

    if (!openWindows()) {
        DeleteObject(statusBrush);
        return reportWindowFailure();
    }
    const int exitCode = runMessageLoop();

    saveProgress();
    EndDialog(singleQuestionPanel, 0);
    DestroyWindow(asWindow(quiz->headerPanel));
    DeleteObject(statusBrush);
    return exitCode;
}
