#include <gtest/gtest.h>

#include <algorithm>

#include "editing/grading_preview.h"

namespace {

bool mentions(const std::vector<std::string>& warnings, const std::string& part) {
    for (const std::string& w : warnings) {
        if (w.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(QuizCheck, GradesTheOwnAnswerAndNearMissesInBothViews) {
    QuizSource quiz;
    quiz.questions.push_back({"OUI", "", "", "", ""});
    quiz.questions.push_back({"\xC9T\xC9", "", "", "", ""});  // ÉTÉ
    quiz.questions.push_back({"TOUR EIFFEL", "", "", "", ""});
    const std::vector<CheckedQuestion> checked = checkQuiz(quiz);
    ASSERT_EQ(checked.size(), 3u);

    const CheckedQuestion& oui = checked[0];
    EXPECT_EQ(oui.typings[0].typed, "oui");
    EXPECT_EQ(oui.typings[0].singleView, "BRAVO");
    EXPECT_EQ(oui.typings[0].overview, "BRAVO");
    EXPECT_EQ(oui.typings[3].typed, "ouis");
    EXPECT_EQ(oui.typings[3].singleView, "Quasiment");
    EXPECT_EQ(oui.typings[3].overview, "FAUX") << "the overview's short-answer rule";
    EXPECT_TRUE(mentions(oui.warnings, "3 characters or fewer"));

    const CheckedQuestion& ete = checked[1];
    ASSERT_EQ(ete.typings.size(), 6u) << "typings without accents and in lower case are added";
    EXPECT_EQ(ete.typings[4].typed, "ete");
    EXPECT_EQ(ete.typings[4].singleView, "Presque") << "two letters differ";
    EXPECT_EQ(ete.typings[5].typed, "\xE9t\xE9");
    EXPECT_NE(ete.typings[5].singleView, "BRAVO") << "only a to z are capitalised";
    EXPECT_TRUE(mentions(ete.warnings, "accented capital"));
    EXPECT_TRUE(mentions(ete.warnings, "advice: write the answer without accents"));

    EXPECT_TRUE(checked[2].warnings.empty());
    EXPECT_EQ(checked[2].typings[2].typed, "tour eiffle");
    EXPECT_EQ(checked[2].typings[2].singleView, "Anagramme");
}

TEST(QuizCheck, EveryAnswerSlotAndTheAnswersThatCanNeverBeRight) {
    QuizSource quiz;
    quiz.answersPerQuestion = 2;
    quiz.questions.push_back({"PARIS", "", "", "", ""});
    quiz.questions.push_back({"ROME ", "ITALIE  DU SUD", "", "", ""});
    const std::vector<CheckedQuestion> checked = checkQuiz(quiz);
    ASSERT_EQ(checked.size(), 4u);
    EXPECT_EQ(checked[1].expected, "");
    EXPECT_TRUE(mentions(checked[1].warnings, "nothing typed is ever right"));
    EXPECT_TRUE(mentions(checked[2].warnings, "a space at an end"));
    EXPECT_TRUE(mentions(checked[3].warnings, "two spaces in a row"));
}

TEST(AnswerWarnings, AccentsCapitalsAndLigaturesEachSaidWithTheAdviceOnce) {
    using W = AnswerWarning;
    const struct {
        const char* expected;  // code page 1252
        std::vector<AnswerWarning> warnings;
    } cases[] = {
        {"FORET", {}},
        {"for\xEAt", {W::Accents}},                           // forêt: "FORÊT" typed is not "BRAVO"
        {"FOR\xCAT", {W::AccentedCapitals}},                  // FORÊT
        {"c\x9Cur", {W::Ligatures}},                          // cœur
        {"\x8CUVRE \xC9T\xC9", {W::AccentedCapitals, W::Ligatures}},  // ŒUVRE ÉTÉ
        {"\xEE" "le", {W::ShortAnswer, W::Accents}},             // île
        {"L\x92" "EAU", {W::CurlyApostrophe}},                    // L’EAU: "L'EAU" typed is not "BRAVO"
        {"l\x92\xEE" "le", {W::Accents, W::CurlyApostrophe}},      // l’île: the advice once, for the accent
        {"", {W::NoAnswer}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(answerWarnings(c.expected), c.warnings) << c.expected;
        const std::vector<std::string> lines = frenchWarningLines(c.expected);
        const bool advised = !lines.empty() && lines.back().starts_with("Conseil : écrivez la réponse sans accent");
        const bool accents = std::ranges::any_of(c.warnings, isAccentWarning);
        EXPECT_EQ(advised, accents) << c.expected;
        EXPECT_EQ(lines.size(), c.warnings.size() + (accents ? 1 : 0)) << "the advice once";
    }
    // The grading the warnings describe: an accented answer typed in capitals, or œ typed as oe.
    QuizSource quiz;
    quiz.questions.push_back({"for\xEAt", "", "", "", ""});
    quiz.questions.push_back({"c\x9Cur", "", "", "", ""});
    const std::vector<CheckedQuestion> checked = checkQuiz(quiz);
    EXPECT_EQ(checked[0].typings.back().typed, "FOR\xCAT");
    EXPECT_EQ(checked[0].typings.back().singleView, "Quasiment");
    EXPECT_EQ(checked[1].typings.back().typed, "coeur");
    EXPECT_EQ(checked[1].typings.back().singleView, "Presque");
}

}  // namespace
