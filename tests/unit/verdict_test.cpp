#include "grading/verdict.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/verdict_examples.h"

namespace {

TEST(GradeAnswer, DocumentedVerdictsInBothPanels) {
    for (const VerdictExample& e : VerdictExamples) {
        SCOPED_TRACE("expected '" + std::string(e.expected) + "', typed '" + std::string(e.typed) + "'");
        EXPECT_EQ(verdictText(gradeAnswer(e.expected, e.typed, false)), e.singleVerdict);
        EXPECT_EQ(verdictText(gradeAnswer(e.expected, e.typed, true)), e.overviewVerdict);
    }
}

TEST(GradeAnswer, ThresholdsAreStrict) {
    struct Case {
        std::string_view expected;
        std::string_view typed;
        Verdict verdict;
    };
    // 10 characters expected: 8 typed is only two edits away ("Presque" comes
    // first), 7 is exactly 70 % ("pas loin"), 6 is 60 %, 5 exactly 50 % ("FAUX").
    const Case cases[] = {
        {"ABCDEFGHIJ", "abcdefgh", Verdict::TwoEdits},
        {"ABCDEFGHIJ", "abcdefg", Verdict::NotFar},
        {"ABCDEFGHIJ", "bcdefg", Verdict::NotFar},
        {"ABCDEFGHIJ", "abcde", Verdict::Wrong},
        {"ABCDEFGHIJK", "abcdefgh", Verdict::TooShort},  // 72.7 %
        {"ABCDEFGHI", "abcdef", Verdict::Wrong},         // 9 characters are too short for a hint
        {"ABCDEFGHIJKLMNOPQRST", "abcdefghijklmnopqxyz", Verdict::SomeIdea},  // 3 edits in 20
        {"ABCDEFGHIJKLMNOPQRST", "abcdefghijklmnopwxyz", Verdict::Wrong},     // 4 edits in 20, 80 %
        {"ABC", "xxabcxx", Verdict::TooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.expected) + " / " + std::string(c.typed));
        EXPECT_EQ(gradeAnswer(c.expected, c.typed, false), c.verdict);
    }
}

TEST(GradeAnswer, ChangesNeitherArgumentAndTrimsOnlyTheTypedText) {
    const std::string expected = " TOUR";
    const std::string typed = " tour";
    EXPECT_EQ(gradeAnswer(expected, typed, false), Verdict::OneEdit) << "the expected answer keeps its space";
    EXPECT_EQ(expected, " TOUR");
    EXPECT_EQ(typed, " tour");
}

TEST(GradeAnswer, ShortAnswerRuleOnlyForThreeCharactersOrFewer) {
    EXPECT_EQ(gradeAnswer("ABCD", "abdc", true), Verdict::Anagram);
    EXPECT_EQ(gradeAnswer("ABC", "acb", true), Verdict::Wrong);
    EXPECT_EQ(gradeAnswer("ABC", "acb", false), Verdict::Anagram);
}

TEST(Verdicts, TextsAndColours) {
    EXPECT_EQ(verdictText(Verdict::SomeIdea), SomeIdea);
    EXPECT_EQ(verdictColour("BRAVO"), VerdictColour::Right);
    EXPECT_EQ(verdictColour("FAUX"), VerdictColour::Wrong);
    EXPECT_EQ(verdictColour("Anagramme"), VerdictColour::Anagram);
    EXPECT_EQ(verdictColour("?"), VerdictColour::System);
    EXPECT_EQ(verdictColour("Presque"), VerdictColour::Hint);
    EXPECT_EQ(verdictColour(SomeIdea), VerdictColour::Hint);
}

}  // namespace
