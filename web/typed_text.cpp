#include "web/typed_text.h"

#include "authoring/cp1252.h"

std::string typedTextBytes(std::string_view utf8) {
    constexpr std::string_view TypographicApostrophe = "\xE2\x80\x99";  // U+2019
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        if (utf8.substr(at, TypographicApostrophe.size()) == TypographicApostrophe) {
            text += '\'';
            at += TypographicApostrophe.size();
        } else {
            text += utf8[at++];
        }
    }
    return utf8ToCp1252Replacing(text, '?');
}
