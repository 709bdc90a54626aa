#pragma once
// Conversion between code page 1252 (the player's texts) and UTF-8 (quiz
// sources, and the command line and files of the authoring tools).

#include <cstddef>
#include <string>
#include <string_view>

// Every byte has a character: the five bytes that code page 1252 leaves
// undefined (81 8D 8F 90 9D) become U+0081 ... U+009D, as Windows maps them.
std::string cp1252ToUtf8(std::string_view bytes);

struct Cp1252Text {
    std::string bytes;     // the converted text when `error` is empty
    std::string error;     // what could not be converted, and where
    std::string refused;   // the character code page 1252 cannot hold (UTF-8); empty for malformed UTF-8
    char32_t refusedCode = 0;
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Rejects malformed UTF-8 and characters that code page 1252 cannot hold.
Cp1252Text utf8ToCp1252(std::string_view utf8);

// Converts whatever the text holds: a character that code page 1252 cannot
// hold, and each byte of malformed UTF-8, becomes `replacement`.
std::string utf8ToCp1252Replacing(std::string_view utf8, char replacement);

// A pasted text made fit for the quiz: what code page 1252 cannot hold is
// replaced by its close equivalent where there is one (ᵉ by e, ā by a, ﬁ by
// fi, a narrow no-break space by a no-break space) and dropped otherwise;
// ’ becomes the ' of the keyboard, "|" (the quiz's separator) a "/".
struct PastableText {
    std::string utf8;
    std::string dropped;  // each character dropped once, in order, UTF-8
};
PastableText pastableText(std::string_view utf8);

// "U+20AC": how messages name a character.
std::string codePointName(char32_t codePoint);
