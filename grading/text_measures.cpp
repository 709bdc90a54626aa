#include "grading/text_measures.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

void trimSpaces(Text& text) {
    char* bytes = text.data();
    std::size_t length = text.size();
    while (length > 1 && bytes[length - 1] == ' ') bytes[--length] = '\0';
    std::size_t leading = 0;
    while (leading < length && bytes[leading] == ' ') ++leading;
    std::memmove(bytes, bytes + leading, length - leading + 1);
}

void upperAscii(Text& text) {
    for (char* c = text.data(); *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 0x20);
    }
}

void sortCharacters(Text& text) {
    // Counting by signed value gives the order an exchange sort would reach.
    std::array<std::uint16_t, 256> counts{};
    const std::size_t length = text.size();
    char* bytes = text.data();
    for (std::size_t i = 0; i < length; ++i) ++counts[static_cast<std::uint8_t>(bytes[i] + 128)];
    std::size_t position = 0;
    for (int value = 0; value < 256; ++value) {
        for (std::uint16_t n = counts[static_cast<std::size_t>(value)]; n > 0; --n) {
            bytes[position++] = static_cast<char>(value - 128);
        }
    }
}

int editDistance(std::string_view first, std::string_view second) {
    first = first.substr(0, MaxTextLength);
    second = second.substr(0, MaxTextLength);
    const std::size_t n = first.size();
    const std::size_t m = second.size();
    if (n == 0) return static_cast<int>(m);
    if (m == 0) return static_cast<int>(n);

    // Two rows of the (n + 1) x (m + 1) table are enough: row i needs only row i - 1.
    std::array<int, TextCapacity> previous{};
    std::array<int, TextCapacity> current{};
    for (std::size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= m; ++j) {
            const int substitution = previous[j - 1] + (first[i - 1] == second[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[m];
}

int findContainment(std::string_view first, std::string_view second) {
    const bool secondIsShorter = second.size() < first.size();
    const std::string_view shorter = secondIsShorter ? second : first;
    const std::string_view longer = secondIsShorter ? first : second;
    const int sign = secondIsShorter ? -1 : 1;
    if (shorter.empty()) return sign;

    std::size_t p = 0;
    while (p < longer.size()) {
        p = longer.find(shorter[0], p);
        if (p == std::string_view::npos) return 0;
        std::size_t q = 0;
        while (q < shorter.size() && p < longer.size() && shorter[q] == longer[p]) {
            ++q;
            ++p;
        }
        if (q == shorter.size()) return 2 * sign;
        // The next attempt starts at the character that did not match, not
        // one past the start of this attempt.
    }
    return 0;
}
