#include "editor/recovery_win32.h"

#include <shlobj.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/resource_bundle.h"
#include "editing/file_stamp.h"
#include "editing/quiz_document.h"
#include "editor/app_data_win32.h"
#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"

namespace {

constexpr UINT_PTR RecoveryTimer = 1;
constexpr UINT RecoveryPeriod = 30'000;
// The copy holds the quiz's resources, and the file the document came from.
// It is no executable: a program rewritten every 30 seconds in the user's
// application data is what a virus scanner holds or flags.
constexpr char OriginResourceType[] = "ZORBELORIGIN";
// And what that file held when the document came from it.
constexpr char StampResourceType[] = "ZORBELSTAMP";
// Each window's open file, for the others to see: "copie-…" + this.
constexpr wchar_t OpenFileExtension[] = L".ouvert";
constexpr wchar_t CopyExtension[] = L".copie";
// Copies an earlier Atelier left as quiz executables are still offered.
constexpr wchar_t EarlierCopyExtension[] = L".exe";

// The document as it was at one version, to be written as a copy.
struct CopyJob {
    QuizDocument document;  // its content only: a copy needs no history
    std::string name;
    std::string origin;  // the file it came from (UTF-8), empty if none
    std::optional<FileStamp> stamp;  // what that file held then
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

std::wstring copyOf(const std::wstring& stem) { return stem + CopyExtension; }
std::wstring lockOf(const std::wstring& stem) { return stem + L".lock"; }

// Held without sharing for as long as this Atelier runs; gone with it however it ends.
HANDLE takeLock(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

void writeCopy(const CopyJob& job) {
    QuizResources quiz = recoveryResources(job.document);
    if (!quiz.ok()) return;
    quiz.resources.push_back({ResourceKey::fromName(OriginResourceType), ResourceKey::fromId(1), 0, 0,
                              std::vector<std::uint8_t>(job.origin.begin(), job.origin.end())});
    if (job.stamp) {
        quiz.resources.push_back({ResourceKey::fromName(StampResourceType), ResourceKey::fromId(1), 0, 0, stampBytes(*job.stamp)});
    }
    replaceFileWide(copyOf(recovery.stem), bundleOf(quiz.resources));
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
    job.stamp = editor.pathStamp;
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

// A copy read back: its document, and the file that came from (empty for
// one never saved).
struct LeftCopy {
    OpenedDocument opened;
    std::wstring origin;
    std::optional<FileStamp> stamp;
};

std::optional<FileStamp> stampIn(std::span<const Resource> resources) {
    const Resource* stamp = findResource(resources, ResourceKey::fromName(StampResourceType), ResourceKey::fromId(1));
    return stamp != nullptr ? stampFromBytes(stamp->data) : std::nullopt;
}

// The copy's file changed since its document came from it.
bool changedSince(const LeftCopy& copy) {
    if (copy.origin.empty() || !copy.stamp) return false;
    const auto now = readFileWide(copy.origin);
    return now && stampOf(*now) != *copy.stamp;
}

std::wstring originIn(std::span<const Resource> resources) {
    const Resource* origin = findResource(resources, ResourceKey::fromName(OriginResourceType), ResourceKey::fromId(1));
    return origin != nullptr ? widen(std::string(origin->data.begin(), origin->data.end())) : std::wstring();
}

std::optional<LeftCopy> readCopy(const std::wstring& path) {
    const auto bytes = readFileWide(path);
    if (!bytes) return std::nullopt;
    std::vector<Resource> resources;
    if (path.ends_with(EarlierCopyExtension)) {
        PeResourcesResult read = readPeResources(*bytes);
        if (read.error != PeError::Ok) return std::nullopt;
        resources = std::move(read.resources);
    } else {
        ResourceBundle read = readBundle(*bytes);
        if (!read.ok()) return std::nullopt;
        resources = std::move(read.resources);
    }
    LeftCopy copy{documentFromResources(resources), originIn(resources), stampIn(resources)};
    if (!copy.opened.error.empty()) return std::nullopt;
    return copy;
}

// One copy left behind: asked about, taken back or deleted. True when taken.
bool offerCopy(HWND window, const std::wstring& stem, const std::wstring& path) {
    HANDLE probe = takeLock(lockOf(stem), OPEN_ALWAYS);
    if (probe == INVALID_HANDLE_VALUE) return false;  // its Atelier, or another Atelier offering it, holds it
    // Held until the copy is taken or deleted, so that an Atelier started
    // meanwhile passes this copy by instead of offering it too.
    const std::unique_ptr<void, decltype(&CloseHandle)> held(probe, &CloseHandle);
    std::optional<LeftCopy> copy = readCopy(path);
    if (!copy) {
        DeleteFileW(path.c_str());
        return false;
    }
    const std::wstring name = copy->origin.empty() ? L"Sans titre" : fileNameOf(copy->origin);
    const std::wstring since = changedSince(*copy) ? widen(copyOutdatedMessage(narrow(name))) + L" " : L"";
    const bool taken = askYesNo(window, L"Le quiz « " + name +
                                            L" » n'a pas été enregistré avant la fermeture de l'Atelier. " + since +
                                            L"Le récupérer ?");
    DeleteFileW(path.c_str());
    if (!taken) return false;
    editor.document = std::move(copy->opened.document);
    markUnsaved(editor.document);
    editor.path = copy->origin;
    editor.pathStamp = copy->stamp;
    editor.suggestedName.clear();
    showDocument(0);
    noteOpenedFile(editor.path);
    queueCopy();
    return true;
}

// The copies in `folder` whose name ends in `extension`.
void findCopies(const std::wstring& folder, const wchar_t* extension, std::vector<std::wstring>& copies) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\copie-*" + extension).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        copies.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The copies in `folder` that earlier Ateliers left, or that others hold.
std::vector<std::wstring> copiesIn(const std::wstring& folder) {
    std::vector<std::wstring> copies;
    findCopies(folder, CopyExtension, copies);
    findCopies(folder, EarlierCopyExtension, copies);
    return copies;
}

}  // namespace

bool recoveryCopiesLeft() {
    const std::wstring folder = atelierDataFolder();
    return !folder.empty() && !copiesIn(folder).empty();
}

bool startRecovery(HWND window) {
    const std::wstring folder = atelierDataFolder();
    if (folder.empty()) return false;
    const std::wstring own = folder + L"\\copie-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount64());
    const std::vector<std::wstring> left = copiesIn(folder);
    recovery.stem = own;
    recovery.lock = takeLock(lockOf(own), CREATE_ALWAYS);
    SetTimer(window, RecoveryTimer, RecoveryPeriod, nullptr);
    for (const std::wstring& path : left) {
        const std::wstring stem = path.substr(0, path.rfind(L'.'));
        if (offerCopy(window, stem, path)) return true;
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
    noteOpenedFile(L"");
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

void noteOpenedFile(const std::wstring& path) {
    if (recovery.stem.empty()) return;
    const std::wstring note = recovery.stem + OpenFileExtension;
    if (path.empty()) {
        DeleteFileW(note.c_str());
        return;
    }
    const std::string utf8 = narrow(path);
    replaceFileWide(note, {reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()});
}

bool openInAnotherAtelier(const std::wstring& path) {
    const std::wstring folder = atelierDataFolder();
    if (folder.empty()) return false;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\copie-*" + OpenFileExtension).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool open = false;
    do {
        const std::wstring note = folder + L"\\" + found.cFileName;
        const std::wstring stem = note.substr(0, note.size() - std::wstring(OpenFileExtension).size());
        if (stem == recovery.stem) continue;
        const auto named = readFileWide(note);
        if (!named || CompareStringOrdinal(widen(std::string(named->begin(), named->end())).c_str(), -1, path.c_str(), -1,
                                           TRUE) != CSTR_EQUAL) {
            continue;
        }
        // A note whose Atelier is gone was left by a crash: its lock is free.
        HANDLE probe = takeLock(lockOf(stem), OPEN_EXISTING);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            DeleteFileW(note.c_str());
            continue;
        }
        open = GetLastError() == ERROR_SHARING_VIOLATION;
    } while (!open && FindNextFileW(search, &found));
    FindClose(search);
    return open;
}
