#pragma once
// Columns of plain text lined up by characters: quizmake prints UTF-8, where an
// accented letter takes two bytes but one place on the screen.

#include <cstddef>
#include <string>
#include <string_view>

// The characters of UTF-8 text: its bytes less the continuation bytes (0x80-0xBF).
std::size_t utf8Characters(std::string_view text);

// `text` followed by spaces up to `width` characters; a longer text is kept whole.
std::string padded(std::string_view text, std::size_t width);
