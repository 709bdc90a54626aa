#pragma once
// Text operations behind every verdict. Texts are single-byte (code page 1252)
// and at most 259 characters long; nothing here folds accents.

#include <string_view>

#include "content/text.h"

// Removes the spaces (0x20 only) at both ends; inner spaces stay as they are.
void trimSpaces(Text& text);

// a-z to A-Z; every other byte, accented letters included, is unchanged.
void upperAscii(Text& text);

// Ascending order of the bytes compared as signed 8-bit numbers, so 0x80-0xFF
// come before the space.
void sortCharacters(Text& text);

// Levenshtein distance (insert, delete, substitute, each 1). Reads at most the
// first 259 characters of each text.
int editDistance(std::string_view first, std::string_view second);

// Block search of the shorter text in the longer, without backtracking into a
// failed partial match. 2: the first text is found in the second (or they are
// equal); -2: the second is found in the first; 0: not found; 1 or -1 when the
// shorter text is empty.
int findContainment(std::string_view first, std::string_view second);
