#include "editor/wide_files_win32.h"

#include <cwctype>

namespace {

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() {
        if (ok()) CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] bool ok() const { return value != nullptr && value != INVALID_HANDLE_VALUE; }
};

bool writeWhole(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return false;
    DWORD written = 0;
    return WriteFile(file.value, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.value);
}

bool inUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_USER_MAPPED_FILE;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readFileWide(const std::wstring& path) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.value, &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.value, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

SaveOutcome replaceFileWide(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    const std::wstring temporary = path + L".tmp";
    if (!writeWhole(temporary, bytes)) {
        DeleteFileW(temporary.c_str());
        return SaveOutcome::Failed;
    }
    if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return SaveOutcome::Saved;
    }
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    return inUse(error) ? SaveOutcome::InUse : SaveOutcome::Failed;
}

std::wstring fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring extensionOf(const std::wstring& path) {
    const std::wstring name = fileNameOf(path);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return {};
    std::wstring extension = name.substr(dot);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    return extension;
}

namespace {

// The test folders this Atelier made, removed when it closes.
std::vector<std::wstring> testFolders;

std::wstring testRoot() {
    wchar_t base[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, base) == 0) return {};
    return std::wstring(base) + L"ZorbelAtelier";
}

// A test folder's files (the quiz and the answers its player kept) and the
// folder; a quiz still running keeps its file, and so its folder, until later.
void removeTestFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool olderThanADay(const FILETIME& written) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    constexpr ULONGLONG Day = 24ULL * 60 * 60 * 10'000'000;  // in 100-nanosecond ticks
    return ticks(now) > ticks(written) + Day;
}

}  // namespace

std::optional<std::wstring> newTestFolder() {
    const std::wstring root = testRoot();
    if (root.empty()) return std::nullopt;
    CreateDirectoryW(root.c_str(), nullptr);
    for (unsigned n = GetTickCount() % 100000, tries = 0; tries < 1000; ++n, ++tries) {
        const std::wstring folder = root + L"\\essai-" + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            testFolders.push_back(folder);
            return folder;
        }
    }
    return std::nullopt;
}

void removeTestFolders() {
    for (const std::wstring& folder : testFolders) removeTestFolder(folder);
    testFolders.clear();
    // What an earlier Atelier could not remove (a quiz still running then, a crash).
    const std::wstring root = testRoot();
    if (root.empty()) return;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((root + L"\\essai-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && olderThanADay(found.ftLastWriteTime)) {
            removeTestFolder(root + L"\\" + found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
