#include "shell/progress_win32.h"

#include <windows.h>

#include <vector>

#include "common/app_state_win32.h"
#include "common/french_buttons_win32.h"
#include "content/quiz_record.h"
#include "panels/single_question_panel_win32.h"
#include "resources/contract_ids.h"
#include "shell/progress_file.h"
#include "session/progress_format.h"

namespace {

// The file calls take UTF-8; the player's names come in the ANSI code page.
std::string utf8FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string progressFilePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return progressFileName(path);
}

std::vector<Text> readSavedAnswers(int slots) { return readProgressFile(utf8FromAnsi(progressFilePath()), slots); }

bool saveProgress() {
    const int slots = answerSlotCount(*quiz);
    if (slots == 0) return true;
    std::vector<Text> answers(static_cast<std::size_t>(slots));
    if (singleViewActive == SingleQuestionView) {
        commitAnswerField();
        for (int s = 0; s < slots; ++s) answers[static_cast<std::size_t>(s)] = quiz->typedAnswers[static_cast<std::size_t>(s)];
    } else {
        for (int s = 1; s <= slots; ++s) {
            GetDlgItemTextA(overviewPanel, controlid::OverviewFieldBase + s, answers[static_cast<std::size_t>(s - 1)].data(),
                            static_cast<int>(TextCapacity));
        }
    }
    return writeProgressFile(utf8FromAnsi(progressFilePath()), answers);
}

void saveProgressAndReport() {
    if (saveProgress()) return;
    const std::string text = "Impossible d'enregistrer vos r\xE9ponses dans " + progressFilePath() + ".";
    MessageBoxA(nullptr, text.c_str(), "Zorbel", MB_OK | MB_ICONERROR);
}

bool saveBeforeClosing(HWND owner) {
    if (saveProgress()) return true;
    const std::string text = "Vos r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9" "es dans " + progressFilePath() +
                             ". Quitter quand m\xEAme ?";
    renameNextBoxButtonsInFrench();
    return MessageBoxA(owner, text.c_str(), "Zorbel", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}
