#include "editor/app_data_win32.h"

#include <windows.h>
#include <shlobj.h>

namespace {

// The variable first, as every Windows session sets it (and a test can point
// it elsewhere); the known folder when it is missing.
std::wstring localAppData() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return value;
    PWSTR known = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) return {};
    std::wstring folder = known;
    CoTaskMemFree(known);
    return folder;
}

}  // namespace

std::wstring atelierDataFolder() {
    const std::wstring base = localAppData();
    if (base.empty()) return {};
    const std::wstring zorbel = base + L"\\Zorbel";
    CreateDirectoryW(zorbel.c_str(), nullptr);
    const std::wstring folder = zorbel + L"\\Atelier";
    CreateDirectoryW(folder.c_str(), nullptr);
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : folder;
}
