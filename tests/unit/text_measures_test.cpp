#include "grading/text_measures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::string trimmed(std::string_view text) {
    Text t(text);
    trimSpaces(t);
    return std::string(t.view());
}

TEST(TrimSpaces, RemovesOnlySpacesAtBothEnds) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"   ", ""},         {" ", ""},          {"  A B  ", "A B"},  {"", ""},
        {"A", "A"},          {"  A", "A"},       {"A  ", "A"},        {"A   B", "A   B"},
        {"\tA\t", "\tA\t"},  {" \xA0" "A", "\xA0" "A"},  // only 0x20 counts as a space
    };
    for (const auto& [input, output] : cases) EXPECT_EQ(trimmed(input), output) << "'" << input << "'";
}

TEST(UpperAscii, CapitalisesOnlyAsciiLetters) {
    Text t("caf\xE9 cr\xE8me 12-z");
    upperAscii(t);
    EXPECT_EQ(t.view(), "CAF\xE9 CR\xE8ME 12-Z");
}

TEST(SortCharacters, SignedByteOrder) {
    Text t("Ab \xE9");
    sortCharacters(t);
    EXPECT_EQ(t.view(), "\xE9 Ab") << "0xE9 before the space, the space before A";
}

TEST(SortCharacters, SameResultAsAnExchangeSortOnSignedBytes) {
    std::mt19937 generator(9);
    for (int round = 0; round < 200; ++round) {
        std::string text(generator() % 259, ' ');
        for (char& c : text) c = static_cast<char>(1 + generator() % 255);
        std::string expected = text;
        std::sort(expected.begin(), expected.end(),
                  [](char a, char b) { return static_cast<signed char>(a) < static_cast<signed char>(b); });
        Text t(text);
        sortCharacters(t);
        ASSERT_EQ(t.view(), expected);
    }
}

TEST(EditDistance, DocumentedDistances) {
    EXPECT_EQ(editDistance("", "ABC"), 3);
    EXPECT_EQ(editDistance("ABC", ""), 3);
    EXPECT_EQ(editDistance("AB", "BA"), 2);
    EXPECT_EQ(editDistance("TOUR EIFFEL", "TOUR EIFEL"), 1);
    EXPECT_EQ(editDistance("CHAT", "CHIEN"), 3);
    EXPECT_EQ(editDistance("KITTEN", "SITTING"), 3);
    EXPECT_EQ(editDistance("SAME", "SAME"), 0);
}

// The full table of the definition, for comparison.
int fullTableDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        }
    }
    return d[a.size()][b.size()];
}

TEST(EditDistance, AgreesWithTheFullTableUpTo259Characters) {
    std::mt19937 generator(17);
    for (int round = 0; round < 150; ++round) {
        auto randomText = [&] {
            std::string s(generator() % 260, 'A');
            for (char& c : s) c = static_cast<char>('A' + generator() % 4);
            return s;
        };
        const std::string a = randomText();
        const std::string b = randomText();
        ASSERT_EQ(editDistance(a, b), fullTableDistance(a, b)) << a << " / " << b;
    }
}

TEST(EditDistance, ReadsAtMost259Characters) {
    const std::string long1(400, 'A');
    const std::string long2 = std::string(259, 'A') + std::string(141, 'B');
    EXPECT_EQ(editDistance(long1, long2), 0);
}

TEST(FindContainment, DocumentedResults) {
    struct Case {
        std::string_view first;
        std::string_view second;
        int result;
    };
    const Case cases[] = {
        {"TOUR EIFFEL", "TOUR", -2}, {"TOUR", "TOUR EIFFEL", 2}, {"ABC", "XABCX", 2},
        {"SAME", "SAME", 2},         {"ABC", "ABD", 0},          {"AAB", "AAAB", 0},
        {"AB", "AAB", 2},            {"ABAC", "ABABAC", 0},      {"", "X", 1},
        {"X", "", -1},               {"", "", 1},                {"B", "AAAB", 2},
        {"ABC", "AB", -2},           {"XYZ", "ABCDEF", 0},       {"ABCD", "ABC", -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findContainment(c.first, c.second), c.result) << c.first << " / " << c.second;
    }
}

}  // namespace
