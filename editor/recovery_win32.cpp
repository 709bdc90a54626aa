#include "editor/recovery_win32.h"

#include <shlobj.h>

#include <cstdint>
#include <string>

#include "authoring/pe_resources.h"
#include "authoring/quiz_document.h"
#include "editor/app_data_win32.h"
#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editor/file_commands_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"

namespace {

constexpr UINT_PTR RecoveryTimer = 1;
constexpr UINT RecoveryPeriod = 30'000;
// The copy is a quiz executable that also names the file the document came from.
constexpr char OriginResourceType[] = "ZORBELORIGIN";

struct Recovery {
    std::wstring stem;  // this window's copy and lock, without their extensions
    HANDLE lock = INVALID_HANDLE_VALUE;
    std::uint64_t copied = 0;  // the document version the copy holds
    bool hasCopy = false;
};

Recovery recovery;

std::wstring copyOf(const std::wstring& stem) { return stem + L".exe"; }
std::wstring lockOf(const std::wstring& stem) { return stem + L".lock"; }

// Held without sharing for as long as this Atelier runs; gone with it however it ends.
HANDLE takeLock(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

void writeCopy() {
    if (recovery.stem.empty()) return;
    QuizResources quiz = documentResources(editor.document, narrow(documentName()));
    if (!quiz.ok()) return;
    const std::string origin = narrow(editor.path);
    quiz.resources.push_back({ResourceKey::fromName(OriginResourceType), ResourceKey::fromId(1), 0, 0,
                              std::vector<std::uint8_t>(origin.begin(), origin.end())});
    const PeWriteResult image = writePeResources(carriedPlayer(), quiz.resources);
    if (image.error != PeError::Ok) return;
    if (replaceFileWide(copyOf(recovery.stem), image.image) != SaveOutcome::Saved) return;
    recovery.copied = editor.document.history.version;
    recovery.hasCopy = true;
}

// The file a copy's document came from; empty for one never saved.
std::wstring originOf(const std::vector<std::uint8_t>& image) {
    const PeResourcesResult read = readPeResources(image);
    if (read.error != PeError::Ok) return {};
    const Resource* origin =
        findResource(read.resources, ResourceKey::fromName(OriginResourceType), ResourceKey::fromId(1));
    return origin != nullptr ? widen(std::string(origin->data.begin(), origin->data.end())) : std::wstring();
}

// One copy left behind: asked about, taken back or deleted. True when taken.
bool offerCopy(HWND window, const std::wstring& stem) {
    HANDLE probe = takeLock(lockOf(stem), OPEN_ALWAYS);
    if (probe == INVALID_HANDLE_VALUE) return false;  // its Atelier still runs
    CloseHandle(probe);
    const auto image = readFileWide(copyOf(stem));
    OpenedDocument opened = image ? documentFromExecutable(*image) : OpenedDocument{};
    if (!image || !opened.error.empty()) {
        DeleteFileW(copyOf(stem).c_str());
        return false;
    }
    const std::wstring origin = originOf(*image);
    const std::wstring name = origin.empty() ? L"Sans titre" : fileNameOf(origin);
    const bool taken = askYesNo(window, L"Le quiz « " + name +
                                            L" » n'a pas été enregistré avant la fermeture de l'Atelier. "
                                            L"Le récupérer ?");
    DeleteFileW(copyOf(stem).c_str());
    if (!taken) return false;
    editor.document = std::move(opened.document);
    markUnsaved(editor.document);
    editor.path = origin;
    editor.suggestedName.clear();
    showDocument(0);
    writeCopy();
    return true;
}

}  // namespace

bool startRecovery(HWND window) {
    const std::wstring folder = atelierDataFolder();
    if (folder.empty()) return false;
    const std::wstring own = folder + L"\\copie-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount64());
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\copie-*.exe").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring file = found.cFileName;
            left.push_back(folder + L"\\" + file.substr(0, file.size() - 4));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    recovery.stem = own;
    recovery.lock = takeLock(lockOf(own), CREATE_ALWAYS);
    SetTimer(window, RecoveryTimer, RecoveryPeriod, nullptr);
    for (const std::wstring& stem : left) {
        if (offerCopy(window, stem)) return true;
    }
    return false;
}

void keepRecoveryCopy() {
    if (!isModified(editor.document)) {
        dropRecoveryCopy();
        return;
    }
    if (!recovery.hasCopy || recovery.copied != editor.document.history.version) writeCopy();
}

void onRecoveryTimer() { keepRecoveryCopy(); }

void dropRecoveryCopy() {
    if (!recovery.hasCopy) return;
    DeleteFileW(copyOf(recovery.stem).c_str());
    recovery.hasCopy = false;
}

void stopRecovery() {
    dropRecoveryCopy();
    if (recovery.lock != INVALID_HANDLE_VALUE) CloseHandle(recovery.lock);
    recovery.lock = INVALID_HANDLE_VALUE;
}
