#include "authoring/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const Cp1252Text back = utf8ToCp1252(cp1252ToUtf8(all));
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.bytes, all);
}

TEST(Cp1252, KnownCharacters) {
    EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "café");
    EXPECT_EQ(cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(cp1252ToUtf8("\x9C" "uvre"), "œuvre");
    EXPECT_EQ(cp1252ToUtf8("n\xB0"), "n°");
    EXPECT_EQ(utf8ToCp1252("Réalisé").bytes, "R\xE9" "alis\xE9");
    EXPECT_EQ(utf8ToCp1252("’").bytes, "\x92");
}

TEST(Cp1252, RefusesWhatTheCodePageCannotHoldAndMalformedUtf8) {
    const std::string_view refused[] = {"中", "😀", "\xC3", "\xE9t\xE9", "\xC0\xAF", "\xED\xA0\x80", "\u0080"};
    for (const std::string_view text : refused) {
        const Cp1252Text result = utf8ToCp1252(text);
        EXPECT_FALSE(result.ok()) << "'" << text << "'";
    }
    EXPECT_NE(utf8ToCp1252("a中").error.find("U+4E2D"), std::string::npos);
}

}  // namespace
