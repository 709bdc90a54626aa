#include "content/quiz_record.h"

#include <gtest/gtest.h>

namespace {

TEST(QuizRecord, InitialValues) {
    QuizRecord record;
    initialiseRecord(record);
    EXPECT_EQ(record.quizName.view(), "nom du zorbel");
    EXPECT_EQ(record.creatorName.view(), " createur");
    EXPECT_EQ(record.questionCount, 2);
    EXPECT_EQ(record.answersPerQuestion, 1);
    EXPECT_EQ(record.showPictures, 0);
    EXPECT_EQ(record.commentMode, 0);
    EXPECT_EQ(backgroundColourOf(record), (Rgb{90, 95, 150}));
    EXPECT_EQ(record.backgroundColour, 90u + 95u * 256 + 150u * 65536);
    EXPECT_EQ(record.questions.head, nullptr);
}

TEST(QuizRecord, ColourValueKeepsRedInTheLowByte) {
    QuizRecord record;
    setBackgroundColour(record, {10, 20, 30});
    EXPECT_EQ(record.backgroundColour, 1971210u);
    EXPECT_EQ(record.backgroundRed, 10);
    EXPECT_EQ(record.backgroundGreen, 20);
    EXPECT_EQ(record.backgroundBlue, 30);
}

TEST(QuestionList, AddQuestionAppendsLinkedNodes) {
    QuizRecord record;
    EXPECT_TRUE(addQuestion(record, "UN", "", "ici"));
    EXPECT_TRUE(addQuestion(record, "DEUX", "BIS", "la"));
    const QuestionList& list = record.questions;
    ASSERT_NE(list.head, nullptr);
    EXPECT_EQ(list.head->answer.view(), "UN");
    EXPECT_EQ(list.head->prev, nullptr);
    EXPECT_EQ(list.head->next, list.tail);
    EXPECT_EQ(list.tail->prev, list.head);
    EXPECT_EQ(list.tail->next, nullptr);
    EXPECT_EQ(list.tail->secondAnswer.view(), "BIS");
    EXPECT_EQ(list.tail->comment.view(), "");
    EXPECT_EQ(list.tail->solved, 0);
    EXPECT_EQ(list.size(), 2);
}

TEST(QuestionList, QuestionAtClampsToTheLastNode) {
    QuizRecord record;
    EXPECT_EQ(questionAt(record, 0), nullptr) << "only an empty list yields null";
    addQuestion(record, "A", "", "");
    addQuestion(record, "B", "", "");
    addQuestion(record, "C", "", "");
    EXPECT_EQ(questionAt(record, 0)->answer.view(), "A");
    EXPECT_EQ(questionAt(record, 2)->answer.view(), "C");
    EXPECT_EQ(questionAt(record, 3)->answer.view(), "C");
    EXPECT_EQ(questionAt(record, 500)->answer.view(), "C");
    EXPECT_EQ(questionAt(record, -1), nullptr);
}

TEST(QuestionList, ReleaseEmptiesTheList) {
    QuizRecord record;
    for (int i = 0; i < 300; ++i) addQuestion(record, "X", "", "");
    record.questions.release();
    EXPECT_EQ(record.questions.head, nullptr);
    EXPECT_EQ(record.questions.tail, nullptr);
    EXPECT_TRUE(addQuestion(record, "Y", "", ""));
    EXPECT_EQ(record.questions.size(), 1);
}

TEST(QuizRecord, SolvedCountLooksAtTheFirstQuestionCountNodes) {
    QuizRecord record;
    for (int i = 0; i < 4; ++i) addQuestion(record, "X", "", "");
    record.questionCount = 3;
    questionAt(record, 0)->solved = 1;
    questionAt(record, 3)->solved = 1;  // beyond questionCount
    EXPECT_EQ(record.solvedCount(), 1);
    questionAt(record, 2)->solved = 1;
    EXPECT_EQ(record.solvedCount(), 2);
}

TEST(QuizRecord, AnswerSlotCountNeverExceeds96) {
    QuizRecord record;
    record.questionCount = 48;
    record.answersPerQuestion = 2;
    EXPECT_EQ(answerSlotCount(record), 96);
    record.questionCount = 200;
    EXPECT_EQ(answerSlotCount(record), 96);
    record.questionCount = -5;
    EXPECT_EQ(answerSlotCount(record), 0);
}

TEST(Text, KeepsAtMost259CharactersAndStopsAtAZeroByte) {
    const Text longText(std::string(300, 'x'));
    EXPECT_EQ(longText.size(), 259u);
    const Text withZero(std::string_view("ab\0cd", 5));
    EXPECT_EQ(withZero.view(), "ab");
}

}  // namespace
