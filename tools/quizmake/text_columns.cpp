#include "tools/quizmake/text_columns.h"

std::size_t utf8Characters(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string padded(std::string_view text, std::size_t width) {
    const std::size_t characters = utf8Characters(text);
    std::string out(text);
    if (characters < width) out.append(width - characters, ' ');
    return out;
}
