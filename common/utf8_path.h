#pragma once
// File names travel as UTF-8 through the portable code. std::filesystem reads
// a plain std::string in the system's narrow encoding (the ANSI code page on
// Windows), so conversions go through char8_t, which means UTF-8 everywhere.

#include <filesystem>
#include <string>
#include <string_view>

inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
