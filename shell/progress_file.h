#pragma once
// File access for the progress file, kept apart from its format so that the
// Windows player can use its own calls.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "content/text.h"

// The whole file; nullopt when it is missing or cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Writes a temporary file beside `path`, then moves it over `path`; on any
// failure the previous file stays whole and false is returned.
bool replaceFile(const std::string& path, std::string_view bytes);

std::vector<Text> readProgressFile(const std::string& path, int lineCount);
bool writeProgressFile(const std::string& path, const std::vector<Text>& answers);
