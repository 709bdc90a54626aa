// File access through the Windows calls: read through a read-only mapping,
// written to a temporary file that is then moved over the old one.

#include <windows.h>

#include "common/file_access.h"

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

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    const Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.value, &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (size.QuadPart == 0) return bytes;
    const Handle mapping(CreateFileMappingA(file.value, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.ok()) return std::nullopt;
    const void* view = MapViewOfFile(mapping.value, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) return std::nullopt;
    const auto* data = static_cast<const std::uint8_t*>(view);
    bytes.assign(data, data + size.QuadPart);
    UnmapViewOfFile(view);
    return bytes;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".tmp";
    const bool written = [&] {
        const Handle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) return false;
        DWORD count = 0;
        return WriteFile(file.value, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
               count == bytes.size() && FlushFileBuffers(file.value);
    }();
    if (written &&
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}
