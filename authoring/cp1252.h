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

// Decodes the UTF-8 character at `position` and moves past it; false, and
// `position` unmoved, when the bytes there are malformed.
bool nextUtf8CodePoint(std::string_view utf8, std::size_t& position, char32_t& codePoint);

// The code page 1252 byte of a character; false when the code page has none.
bool cp1252ByteOf(char32_t codePoint, unsigned char& byte);

// "U+20AC": how messages name a character.
std::string codePointName(char32_t codePoint);
