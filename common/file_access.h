#pragma once
// Whole-file reading and atomic replacement: the only file access of the
// programs, with a portable and a Windows implementation. Paths are UTF-8;
// on Windows they go through the wide-character calls, so any name works.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The whole file; nullopt when it is missing or cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Writes a temporary file beside `path`, then moves it over `path`; on any
// failure the previous file stays whole and false is returned.
bool replaceFile(const std::string& path, std::string_view bytes);
