#include <gtest/gtest.h>

#include "authoring/grading_preview.h"

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
    ASSERT_EQ(ete.typings.size(), 5u) << "a typing without accents is added";
    EXPECT_EQ(ete.typings[4].typed, "ete");
    EXPECT_EQ(ete.typings[4].singleView, "Presque") << "two letters differ";
    EXPECT_TRUE(mentions(ete.warnings, "accented letters"));

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

}  // namespace
