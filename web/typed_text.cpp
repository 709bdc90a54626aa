#include "web/typed_text.h"

#include "authoring/cp1252.h"

std::string typedTextBytes(std::string_view utf8) {
    constexpr std::string_view TypographicApostrophe = "\xE2\x80\x99";  // U+2019
    std::string text(utf8);
    for (std::size_t at = text.find(TypographicApostrophe); at != std::string::npos;
         at = text.find(TypographicApostrophe, at + 1)) {
        text.replace(at, TypographicApostrophe.size(), "'");
    }
    return utf8ToCp1252Replacing(text, '?');
}
