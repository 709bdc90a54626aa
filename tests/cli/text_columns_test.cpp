// check's columns: text padded by characters, so that an accented answer
// (two bytes in UTF-8) does not push the columns after it.

#include <gtest/gtest.h>

#include <string_view>

#include "tools/quizmake/text_columns.h"

namespace {

TEST(TextColumns, PaddingCountsCharactersNotBytes) {
    const struct {
        std::string_view text;
        std::size_t width;
        std::string_view padded;
        std::size_t characters;
    } cases[] = {
        {"BRAVO", 8, "BRAVO   ", 5},
        {"y a de l'id\xC3\xA9" "e", 16, "y a de l'id\xC3\xA9" "e   ", 13},  // é: two bytes
        {"\"for\xC3\xAAt\"", 9, "\"for\xC3\xAAt\"  ", 7},
        {"c\xC5\x93ur", 6, "c\xC5\x93ur  ", 4},                            // œ: two bytes
        {"12 \xE2\x82\xAC", 5, "12 \xE2\x82\xAC ", 4},                       // €: three bytes
        {"\xC3\x89t\xC3\xA9", 3, "\xC3\x89t\xC3\xA9", 3},                   // exactly the width
        {"in capitals, accents included", 4, "in capitals, accents included", 29},  // kept whole
        {"", 3, "   ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8Characters(c.text), c.characters) << c.text;
        EXPECT_EQ(padded(c.text, c.width), c.padded) << c.text;
    }
}

}  // namespace
