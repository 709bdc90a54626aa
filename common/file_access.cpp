#include "common/file_access.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[8192];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".tmp";
    {
        FilePtr file(std::fopen(temporary.c_str(), "wb"));
        if (!file) return false;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                             std::fflush(file.get()) == 0;
        if (!written) {
            file.reset();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::remove(temporary.c_str());
    return !error;
}
