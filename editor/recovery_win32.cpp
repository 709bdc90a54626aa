#include "editor/recovery_win32.h"

#include <shlobj.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

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

// The document as it was at one version, to be written as a copy.
struct CopyJob {
    QuizDocument document;  // its content only: a copy needs no history
    std::string name;
    std::string origin;  // the file it came from (UTF-8), empty if none
    std::uint64_t version = 0;
};

// Copies are written by a thread of their own, so that no change, and no
// undo, waits for a whole quiz to be made and written to the disk.
struct Recovery {
    std::wstring stem;  // this window's copy and lock, without their extensions
    HANDLE lock = INVALID_HANDLE_VALUE;
    std::uint64_t queued = 0;  // the latest version handed to the writer
    bool anyQueued = false;

    std::thread writer;
    std::mutex mutex;  // guards what follows
    std::condition_variable changed;
    std::optional<CopyJob> pending;  // only the latest waits; older ones are passed over
    bool writing = false;
    bool stopping = false;
};

Recovery recovery;

std::wstring copyOf(const std::wstring& stem) { return stem + L".exe"; }
std::wstring lockOf(const std::wstring& stem) { return stem + L".lock"; }

// Held without sharing for as long as this Atelier runs; gone with it however it ends.
HANDLE takeLock(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

void writeCopy(const CopyJob& job) {
    QuizResources quiz = documentResources(job.document, job.name);
    if (!quiz.ok()) return;
    quiz.resources.push_back({ResourceKey::fromName(OriginResourceType), ResourceKey::fromId(1), 0, 0,
                              std::vector<std::uint8_t>(job.origin.begin(), job.origin.end())});
    const PeWriteResult image = writePeResources(carriedPlayer(), quiz.resources);
    if (image.error != PeError::Ok) return;
    replaceFileWide(copyOf(recovery.stem), image.image);
}

void writeCopies() {
    std::unique_lock lock(recovery.mutex);
    for (;;) {
        recovery.changed.wait(lock, [] { return recovery.pending.has_value() || recovery.stopping; });
        if (recovery.stopping) return;
        const CopyJob job = std::move(*recovery.pending);
        recovery.pending.reset();
        recovery.writing = true;
        lock.unlock();
        writeCopy(job);
        lock.lock();
        recovery.writing = false;
        recovery.changed.notify_all();
    }
}

// Hands the document as it is now to the writer.
void queueCopy() {
    if (recovery.stem.empty()) return;
    CopyJob job;
    static_cast<DocumentContent&>(job.document) = editor.document;  // the pictures are shared, not copied
    job.name = narrow(documentName());
    job.origin = narrow(editor.path);
    job.version = editor.document.history.version;
    {
        const std::lock_guard lock(recovery.mutex);
        if (!recovery.writer.joinable()) recovery.writer = std::thread(writeCopies);
        recovery.pending = std::move(job);
    }
    recovery.changed.notify_all();
    recovery.queued = editor.document.history.version;
    recovery.anyQueued = true;
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
    if (probe == INVALID_HANDLE_VALUE) return false;  // its Atelier, or another Atelier offering it, holds it
    // Held until the copy is taken or deleted, so that an Atelier started
    // meanwhile passes this copy by instead of offering it too.
    const std::unique_ptr<void, decltype(&CloseHandle)> held(probe, &CloseHandle);
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
    queueCopy();
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
    if (!recovery.anyQueued || recovery.queued != editor.document.history.version) queueCopy();
}

void onRecoveryTimer() { keepRecoveryCopy(); }

void dropRecoveryCopy() {
    if (!recovery.anyQueued) return;
    {
        // A copy being written would come back after the delete: it is let finish first.
        std::unique_lock lock(recovery.mutex);
        recovery.pending.reset();
        recovery.changed.wait(lock, [] { return !recovery.writing; });
    }
    DeleteFileW(copyOf(recovery.stem).c_str());
    recovery.anyQueued = false;
}

void stopRecovery() {
    dropRecoveryCopy();
    if (recovery.writer.joinable()) {
        {
            const std::lock_guard lock(recovery.mutex);
            recovery.stopping = true;
        }
        recovery.changed.notify_all();
        recovery.writer.join();
    }
    if (recovery.lock != INVALID_HANDLE_VALUE) CloseHandle(recovery.lock);
    recovery.lock = INVALID_HANDLE_VALUE;
}
