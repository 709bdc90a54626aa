#include "editing/text_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "authoring/cp1252.h"

namespace {

std::string characters(const std::vector<ChangedCharacter>& list) {
    std::string out;
    for (const ChangedCharacter& c : list) out += c.character;
    return out;
}

TEST(EnteredText, KeepsTheCodePagesLettersMendsTheOthersAndRefusesWhatHasNoMend) {
    const struct {
        const char* entered;
        const char* kept;
        const char* mended;   // each mended character once, in order
        const char* refused;  // each refused character once, in order
    } cases[] = {
        {"Le cœur de la ville, une Œuvre d'art", "Le cœur de la ville, une Œuvre d'art", "", ""},
        {"Škoda, Žižkov, ŸSSINGEAUX", "Škoda, Žižkov, ŸSSINGEAUX", "", ""},
        {"ƒ € … – — ‰ ™ • ‹›", "ƒ € … – — ‰ ™ • ‹›", "", ""},
        {"l’été « chaud » ‘oui’ “non”", "l’été « chaud » ‘oui’ “non”", "", ""},
        {"Łódź et Wrocław", "Lódz et Wroclaw", "Łźł", ""},
        {"Győr, Ődön", "Gyor, Odön", "őŐ", ""},
        {"François Iᵉʳ", "François Ier", "ᵉʳ", ""},
        {"ﬁn ﬂot ⁴₂ x−1", "fin flot 42 x-1", "ﬁﬂ⁴₂−", ""},
        {"Prêt\u202F?", "Prêt\u00A0?", "\u202F", ""},
        {"Timișoara", "Timisoara", "ș", ""},
        {"日本 ✓ ok ✓ 😀", "  ok  ", "", "日本✓😀"},
        {"a|b|c", "a/b/c", "|", ""},
        {"Łe 中", "Le ", "Ł", "中"},
        // Accents typed apart: joined where the code page has the letter, let go where it has none.
        {"e\u0301te\u0301 Bru\u0308ck", "été Brück", "", ""},
        {"o\u030B x\u0301", "o x", "\u030B\u0301", ""},
        {"\u0301a", "a", "\u0301", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        const EnteredText entered = enteredText(c.entered);
        EXPECT_EQ(entered.text, c.kept) << c.entered;
        EXPECT_EQ(characters(entered.mended), c.mended) << c.entered;
        EXPECT_EQ(characters(entered.refused), c.refused) << c.entered;
        EXPECT_FALSE(entered.malformed) << c.entered;
        EXPECT_EQ(entered.changed(), *c.mended != '\0' || *c.refused != '\0') << c.entered;
        EXPECT_TRUE(utf8ToCp1252(entered.text).ok()) << "what is kept fits the quiz: " << entered.text;
        EXPECT_EQ(enteredText(entered.text).text, entered.text) << "the rule holds on what it made";
    }
}

TEST(EnteredText, MalformedBytesAndTheZeroByteAreDroppedAndSaid) {
    const struct {
        std::string entered;
        const char* kept;
        bool malformed;
    } cases[] = {
        {"a\xFF" "b", "ab", true},
        {"caf\xC3", "caf", true},                     // cut in the middle of é
        {"\xC0\xAF" "x", "x", true},                  // an overlong '/'
        {"\xED\xA0\x80" "y", "y", true},              // a surrogate
        {std::string("a\0b", 3), "ab", false},
    };
    for (const auto& c : cases) {
        const EnteredText entered = enteredText(c.entered);
        EXPECT_EQ(entered.text, c.kept);
        EXPECT_EQ(entered.malformed, c.malformed);
        EXPECT_TRUE(entered.changed());
        const std::string note = enteredTextNote(entered);
        EXPECT_FALSE(note.empty());
        EXPECT_EQ(note.find('\0'), std::string::npos) << "a zero byte would cut the message short";
    }
}

TEST(EnteredText, ReplacementsAreNamedWithTheirCodes) {
    const EnteredText entered = enteredText("Łódź, ł, Iᵉʳ 😀 a|b");
    ASSERT_EQ(entered.mended.size(), 6u);
    EXPECT_EQ(entered.mended[0], (ChangedCharacter{"Ł", 0x141, "L"}));
    EXPECT_EQ(entered.mended[1], (ChangedCharacter{"ź", 0x17A, "z"}));
    EXPECT_EQ(entered.mended[2], (ChangedCharacter{"ł", 0x142, "l"}));
    ASSERT_EQ(entered.refused.size(), 1u);
    EXPECT_EQ(entered.refused[0], (ChangedCharacter{"😀", 0x1F600, ""}));

    const std::string note = enteredTextNote(entered);
    for (const char* part : {"« Ł » (U+0141) devient « L »", "« ł » (U+0142) devient « l »",
                             "« ᵉ » (U+1D49) devient « e »", "les afficher",
                             "« 😀 » (U+1F600) ne peut pas figurer dans un quiz",
                             "« | » devient « / » : ce caractère sépare les textes du quiz."}) {
        EXPECT_NE(note.find(part), std::string::npos) << part << " in " << note;
    }
    EXPECT_EQ(enteredTextNote(enteredText("Łe")),
              "« Ł » (U+0141) devient « L » : le lecteur ne sait pas l'afficher.");
    EXPECT_EQ(enteredTextNote(enteredText("中日")),
              "« 中 » (U+4E2D), « 日 » (U+65E5) ne peuvent pas figurer dans un quiz : le lecteur ne sait pas les "
              "afficher et aucune lettre ne les remplace.");
    EXPECT_EQ(enteredTextNote(enteredText("cœur, Œuvre, Škoda, Žižkov, Ÿ, ’")), "");
}

}  // namespace
