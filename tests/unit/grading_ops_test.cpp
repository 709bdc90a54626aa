#include "grading/grading_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/contract_ids.h"
#include "tests/support/fake_controls.h"

namespace {

using namespace controlid;

struct Quiz {
    QuizRecord record;
    FakeControls panel;
    FakeControls header;

    // Questions with the given expected answers ("first" or "first/second").
    Quiz(std::initializer_list<std::string_view> expected, int perQuestion, int commentMode) {
        initialiseRecord(record);
        record.answersPerQuestion = perQuestion;
        record.commentMode = commentMode;
        int number = 0;
        for (const std::string_view answers : expected) {
            const std::size_t slash = answers.find('/');
            addQuestion(record, answers.substr(0, slash), slash == std::string_view::npos ? "" : answers.substr(slash + 1),
                        "");
            questionAt(record, number)->comment.assign("comment " + std::to_string(number + 1));
            record.codes[static_cast<std::size_t>(number)].assign("code " + std::to_string(number + 1));
            ++number;
        }
        record.questionCount = number;
        header.add(ScoreLabel);
        header.add(CodeField);
    }

    void addSingleQuestionPanel() {
        panel.add(AnswerField);
        panel.add(VerdictLabel, "?");
        panel.add(CommentLabel);
    }

    void addOverview() {
        for (int s = 1; s <= answerSlotCount(record); ++s) {
            panel.add(OverviewFieldBase + s);
            panel.add(OverviewVerdictBase + s, "?");
        }
        if (record.commentMode > 1) {
            for (int j = 1; j <= record.questionCount; ++j) panel.add(OverviewCommentBase + j, "", false);
        }
    }

    std::string_view typeSingle(int question, std::string_view typed) {
        panel.setText(AnswerField, typed);
        gradeSingleQuestion(record, panel, header, question);
        return panel.textOf(VerdictLabel);
    }

    std::string_view typeOverview(int slot, std::string_view typed) {
        panel.setText(OverviewFieldBase + slot, typed);
        gradeOverviewField(record, panel, header, OverviewFieldBase + slot);
        return panel.textOf(OverviewVerdictBase + slot);
    }

    bool commentShown(int questionNumber) const { return panel.visible(OverviewCommentBase + questionNumber); }
};

TEST(RefreshScore, ScoreFormatAndCodeLine) {
    Quiz quiz({"A", "B", "C"}, 1, 0);
    refreshScore(quiz.record, quiz.header);
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), " 0 / 3");
    EXPECT_EQ(quiz.header.textOf(CodeField), "      ") << "six spaces before anything is solved";
    questionAt(quiz.record, 2)->solved = 1;
    questionAt(quiz.record, 0)->solved = 1;
    refreshScore(quiz.record, quiz.header);
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), " 2 / 3");
    EXPECT_EQ(quiz.header.textOf(CodeField), "code 2") << "code line n after n questions solved";
}

TEST(GradeSingleQuestion, RightAnswerSolvesAndShowsTheComment) {
    Quiz quiz({"PARIS", "ROME"}, 1, 0);
    quiz.addSingleQuestionPanel();
    EXPECT_EQ(quiz.typeSingle(1, " rome "), "BRAVO");
    EXPECT_EQ(questionAt(quiz.record, 1)->solved, 1);
    EXPECT_EQ(quiz.panel.textOf(CommentLabel), "comment 2") << "shown whatever the comment mode";
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), " 1 / 2");
    EXPECT_EQ(quiz.header.textOf(CodeField), "code 1");
}

TEST(GradeSingleQuestion, AnotherVerdictClearsSolvedAndTheComment) {
    Quiz quiz({"PARIS"}, 1, 2);
    quiz.addSingleQuestionPanel();
    quiz.typeSingle(0, "paris");
    EXPECT_EQ(quiz.typeSingle(0, "pari"), "Quasiment");
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 0);
    EXPECT_EQ(quiz.panel.textOf(CommentLabel), "");
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), " 0 / 1");
    EXPECT_EQ(quiz.header.textOf(CodeField), "      ");
    quiz.typeSingle(0, "paris");
    EXPECT_EQ(quiz.typeSingle(0, "   "), "?") << "only spaces: no longer solved";
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 0);
}

TEST(GradeSingleQuestion, IndexOutOfRangeDoesNothing) {
    Quiz quiz({"PARIS"}, 1, 0);
    quiz.addSingleQuestionPanel();
    quiz.panel.setText(AnswerField, "paris");
    for (const int index : {-1, 1, 99}) gradeSingleQuestion(quiz.record, quiz.panel, quiz.header, index);
    EXPECT_EQ(quiz.panel.textOf(VerdictLabel), "?");
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), "") << "not even the score is refreshed";
}

TEST(GradeSingleQuestion, ComparesWithTheFirstAnswerOnly) {
    Quiz quiz({"PARIS/FRANCE"}, 2, 0);
    quiz.addSingleQuestionPanel();
    EXPECT_EQ(quiz.typeSingle(0, "france"), "FAUX");
    EXPECT_EQ(quiz.typeSingle(0, "paris"), "BRAVO");
}

TEST(GradeOverviewField, ShortAnswerRuleAndSolvedFlagThatOnlyRises) {
    Quiz quiz({"OUI", "AB"}, 1, 0);
    quiz.addOverview();
    EXPECT_EQ(quiz.typeOverview(1, "ouii"), "FAUX");
    EXPECT_EQ(quiz.typeOverview(2, "ba"), "FAUX");
    EXPECT_EQ(quiz.typeOverview(1, "oui "), "BRAVO");
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 1);
    EXPECT_EQ(quiz.typeOverview(1, "non"), "FAUX");
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 1) << "the overview never clears a solved flag";
    EXPECT_EQ(quiz.header.textOf(ScoreLabel), " 1 / 2");
}

TEST(GradeOverviewField, TwoAnswersMapSlotsToQuestions) {
    Quiz quiz({"PARIS/FRANCE", "ROME/ITALIE"}, 2, 0);
    quiz.addOverview();
    EXPECT_EQ(quiz.typeOverview(2, "france"), "BRAVO") << "field 4002 is question 1's second answer";
    EXPECT_EQ(quiz.typeOverview(3, "italie"), "FAUX") << "field 4003 is question 2's first answer";
    EXPECT_EQ(quiz.typeOverview(4, "italie"), "BRAVO");
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 1);
    EXPECT_EQ(questionAt(quiz.record, 1)->solved, 1);
}

TEST(GradeOverviewField, CommentModes2And3ShowAQuestionsCommentWhenAllItsFieldsAreRight) {
    for (const int mode : {2, 3}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Quiz quiz({"PARIS/FRANCE", "ROME/ITALIE"}, 2, mode);
        quiz.addOverview();
        quiz.typeOverview(1, "paris");
        EXPECT_FALSE(quiz.commentShown(1)) << "the second field is still empty";
        quiz.typeOverview(2, " France ");
        EXPECT_TRUE(quiz.commentShown(1));
        EXPECT_FALSE(quiz.commentShown(2));
        quiz.typeOverview(2, "fr");
        EXPECT_FALSE(quiz.commentShown(1)) << "a wrong verdict hides the question's comment";
        EXPECT_EQ(questionAt(quiz.record, 0)->solved, 1);
    }
}

TEST(GradeOverviewField, CommentsStayHiddenInModes0And1) {
    for (const int mode : {0, 1}) {
        Quiz quiz({"PARIS"}, 1, mode);
        quiz.addOverview();
        EXPECT_FALSE(quiz.panel.exists(OverviewCommentBase + 1)) << "no comment labels in mode " << mode;
        EXPECT_EQ(quiz.typeOverview(1, "paris"), "BRAVO");
    }
}

TEST(GradeOverviewField, CommentMode4RevealsAllOnlyWhenEverySlotIsRight) {
    Quiz quiz({"PARIS/FRANCE", "ROME/ITALIE"}, 2, 4);
    quiz.addOverview();
    quiz.typeOverview(1, "paris");
    quiz.typeOverview(2, "france");
    quiz.typeOverview(3, "rome");
    EXPECT_FALSE(quiz.commentShown(1));
    EXPECT_EQ(quiz.record.allCommentsShown, 0);
    quiz.typeOverview(4, "italie");
    EXPECT_TRUE(quiz.commentShown(1));
    EXPECT_TRUE(quiz.commentShown(2));
    EXPECT_EQ(quiz.record.allCommentsShown, 1);

    quiz.typeOverview(3, "romme");
    EXPECT_FALSE(quiz.commentShown(2)) << "a wrong answer hides its own question's comment";
    EXPECT_TRUE(quiz.commentShown(1)) << "the others stay";
    EXPECT_EQ(quiz.record.allCommentsShown, 0);

    quiz.typeOverview(3, "rome");
    EXPECT_TRUE(quiz.commentShown(2)) << "shown again together when every slot reads BRAVO";
    EXPECT_EQ(quiz.record.allCommentsShown, 1);
}

TEST(GradeOverviewField, OnlySpacesKeepsSolvedButHidesTheComment) {
    Quiz quiz({"PARIS"}, 1, 2);
    quiz.addOverview();
    quiz.typeOverview(1, "paris");
    EXPECT_TRUE(quiz.commentShown(1));
    EXPECT_EQ(quiz.typeOverview(1, "   "), "?");
    EXPECT_EQ(questionAt(quiz.record, 0)->solved, 1);
    EXPECT_FALSE(quiz.commentShown(1));
}

TEST(GradeOverviewField, EmptyExpectedAnswerIsNeverRight) {
    Quiz quiz({""}, 1, 0);
    quiz.addOverview();
    EXPECT_EQ(quiz.typeOverview(1, "x"), "FAUX");
    EXPECT_EQ(quiz.typeOverview(1, ""), "?");
}

TEST(GradeOverviewField, FieldOutsideTheSlotsDoesNothing) {
    Quiz quiz({"PARIS"}, 1, 0);
    quiz.addOverview();
    quiz.panel.add(OverviewFieldBase + 2, "paris");
    quiz.panel.add(OverviewVerdictBase + 2, "?");
    gradeOverviewField(quiz.record, quiz.panel, quiz.header, OverviewFieldBase + 2);
    gradeOverviewField(quiz.record, quiz.panel, quiz.header, OverviewFieldBase);
    EXPECT_EQ(quiz.panel.textOf(OverviewVerdictBase + 2), "?");
}

}  // namespace
