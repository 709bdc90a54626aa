#include "shell/progress_win32.h"

#include <windows.h>

#include <vector>

#include "common/app_state_win32.h"
#include "common/file_access.h"
#include "common/french_buttons_win32.h"
#include "content/quiz_record.h"
#include "session/progress_format.h"
#include "session/quiz_session.h"
#include "shell/progress_file.h"

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

std::vector<std::uint8_t> readProgressBytes() {
    return readWholeFile(utf8FromAnsi(progressFilePath())).value_or(std::vector<std::uint8_t>{});
}

bool saveProgress() {
    if (answerSlotCount(*quiz) == 0) return true;
    return writeProgressFile(utf8FromAnsi(progressFilePath()), currentAnswers(*game));
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
    renameNextBoxButtonsInFrench(MB_YESNO);
    return MessageBoxA(owner, text.c_str(), "Zorbel", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}
