#pragma once
// The progress file: one CR LF line per answer slot, in slot order, no header.
// Only CR ends a line's text and only LF ends the line.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "content/text.h"

// The executable's file name (after the last path separator) with its last
// three characters replaced by "txt"; a name shorter than three characters
// gets ".txt" appended.
std::string progressFileName(std::string_view modulePath);

// The first `lineCount` lines of a progress file's bytes. Zero bytes are
// dropped, bytes between a CR and the next LF are dropped, a line keeps at most
// its first 259 bytes, and missing lines are empty.
std::vector<Text> parseProgressLines(std::span<const std::uint8_t> bytes, int lineCount);

// The file's bytes for these answers: each text followed by CR LF.
std::string formatProgressLines(std::span<const Text> answers);
