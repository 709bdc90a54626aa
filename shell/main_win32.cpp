// Start-up and exit of the player.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "common/app_state_win32.h"
#include "content/quiz_loader_win32.h"
#include "content/quiz_record.h"
#include "content/quiz_record_win32.h"
#include "panels/overview_layout.h"
#include "panels/overview_panel_win32.h"
#include "panels/single_question_panel_win32.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "shell/header_panel_win32.h"
#include "shell/main_window_win32.h"
#include "shell/progress_win32.h"
#include "panels/session_painter_win32.h"
#include "pictures/picture_workers_win32.h"
#include "pictures/worker_count.h"

namespace {

constexpr COLORREF StatusColour = RGB(212, 208, 200);

int reportWindowFailure() {
    MessageBoxA(nullptr, "Erreur dans la cr\xE9" "ation de la fen\xEAtre principale", "Zorbel information",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}

HWND createHeaderPanel() {
    return CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_HEADER_PANEL), mainWindow, headerPanelProc, 0);
}

HWND createQuestionPanel(DLGPROC procedure) {
    return CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_QUESTION_PANEL), mainWindow, procedure, 0);
}

// Steps 4 to 11 of start-up; false when a window cannot be made.
bool openWindows() {
    mainWindow = createMainWindow(programInstance);
    if (mainWindow == nullptr) return false;
    centreOnDesktop(mainWindow);

    HWND header = createHeaderPanel();
    if (header == nullptr) return false;
    ShowWindow(header, SW_SHOWNORMAL);
    quiz->headerPanel = header;

    selectPictureFrame(OverviewView);
    overviewPanel = createQuestionPanel(overviewPanelProc);
    selectPictureFrame(SingleQuestionView);
    if (overviewPanel == nullptr) return false;
    ShowWindow(overviewPanel, SW_HIDE);

    singleQuestionPanel = createQuestionPanel(singleQuestionPanelProc);
    if (singleQuestionPanel == nullptr) return false;
    quiz->mainWindow = mainWindow;
    paintWholeSession();

    ShowWindow(mainWindow, SW_SHOWNORMAL);
    ShowWindow(singleQuestionPanel, SW_SHOWNORMAL);
    SetFocus(mainWindow);
    return true;
}

// Every picture the start-up shows, in the order the panels take them: the
// overview's rows (three pictures a row, measured past the last question),
// then the single view's question.
std::vector<PictureJob> startUpPictures() {
    std::vector<PictureJob> jobs;
    if (quiz->showPictures == 1) {
        for (int j = 1; j <= measuredPictureCount(quiz->questionCount); ++j) {
            jobs.push_back({FirstPictureResourceId - 1 + j, OverviewFrameSide, OverviewFrameSide});
        }
    }
    if (quiz->questionCount > 0) {
        jobs.push_back({FirstPictureResourceId + game->currentQuestion, SingleQuestionFrameWidth,
                        SingleQuestionFrameHeight});
    }
    return jobs;
}

// ZORBEL_PICTURE_THREADS caps the workers, for the benchmark that measures them.
unsigned startUpWorkers(std::size_t jobs) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    char limit[16] = {};
    const DWORD length = GetEnvironmentVariableA("ZORBEL_PICTURE_THREADS", limit, sizeof limit);
    const unsigned cap = length > 0 && length < sizeof limit ? static_cast<unsigned>(atoi(limit)) : 0;
    const std::size_t workers = pictureWorkerCount(system.dwNumberOfProcessors, jobs);
    return static_cast<unsigned>(cap != 0 ? std::min<std::size_t>(workers, cap) : workers);
}

int runMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Only the single-question panel goes through the dialog manager. The
        // overview's fields move the focus themselves when Tab is released,
        // scrolling the next field into view; the dialog manager would already
        // have moved it when the key went down.
        if (IsDialogMessageA(singleQuestionPanel, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

struct GameOwner {
    std::unique_ptr<QuizSession> session{new (std::nothrow) QuizSession{}};
    ~GameOwner() {
        if (session) releaseRecord(session->record);
        quiz = nullptr;
        game = nullptr;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    programInstance = instance;
    if (!registerMainWindowClass(instance)) return reportWindowFailure();
    statusBrush = CreateSolidBrush(StatusColour);

    GameOwner owner;
    if (!owner.session) return 0;
    game = owner.session.get();
    quiz = &game->record;
    initialiseRecord(*quiz);
    createRecordGdiObjects(*quiz);
    loadQuiz(*quiz);
    // The game begins from the answers saved, graded in the order of start-up.
    beginSession(*game, readProgressBytes());

    const std::vector<PictureJob> pictures = startUpPictures();
    startPictureWork(pictures, startUpWorkers(pictures.size()));
    holdFocusReports(true);
    const bool opened = openWindows();
    holdFocusReports(false);
    endPictureWork();
    if (!opened) {
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
