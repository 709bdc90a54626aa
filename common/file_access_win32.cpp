// File access through the Windows calls: read through a read-only mapping,
// written to a temporary file that is then moved over the old one. Names are
// UTF-8 and reach the system as UTF-16.

#include <windows.h>

#include "common/file_access.h"

#include <string>

namespace {

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] bool ok() const { return value != nullptr && value != INVALID_HANDLE_VALUE; }
};

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.value, &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (size.QuadPart == 0) return bytes;
    const Handle mapping(CreateFileMappingW(file.value, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.ok()) return std::nullopt;
    const void* view = MapViewOfFile(mapping.value, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) return std::nullopt;
    const auto* data = static_cast<const std::uint8_t*>(view);
    bytes.assign(data, data + size.QuadPart);
    UnmapViewOfFile(view);
    return bytes;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    const std::wstring target = wide(path);
    const std::wstring temporary = target + L".tmp";
    const bool written = [&] {
        const Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return false;
        DWORD count = 0;
        return WriteFile(file.value, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
               count == bytes.size() && FlushFileBuffers(file.value);
    }();
    if (written &&
        MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}
