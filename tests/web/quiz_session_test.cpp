// The game the web page plays: the player's keys applied to controls held in
// memory, with the player's order of grading, its views and its progress
// format; and the typed text as the Windows field would hold it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/quiz_resources.h"
#include "authoring/web_page.h"
#include "resources/contract_ids.h"
#include "web/quiz_session.h"
#include "web/typed_text.h"

namespace {

using namespace controlid;

QuizSource quizOf(std::vector<std::string> answers, int commentMode, int answersPerQuestion = 1) {
    QuizSource source;
    source.quizName = "Essai";
    source.commentMode = commentMode;
    source.answersPerQuestion = answersPerQuestion;
    source.showPictures = 0;
    for (std::size_t i = 0; i < answers.size(); i += static_cast<std::size_t>(answersPerQuestion)) {
        SourceQuestion question;
        question.answer = answers[i];
        if (answersPerQuestion == 2) question.secondAnswer = answers[i + 1];
        question.comment = "Commentaire " + std::to_string(i / static_cast<std::size_t>(answersPerQuestion) + 1);
        source.questions.push_back(question);
    }
    source.codes = std::vector<std::string>{"A", "AB", "ABC", "ABCD"};
    return source;
}

struct Game {
    QuizSession session;
    LoadOutcome outcome;

    Game(const QuizSource& source, std::string_view progress = "") {
        const WebQuiz quiz = webQuizOf(quizResourcesOfPrepared(source, "essai.toml", {}));
        const std::span<const std::uint8_t> codes(*quiz.codes);
        outcome = startSession(session, quiz.definition, codes,
                               {reinterpret_cast<const std::uint8_t*>(progress.data()), progress.size()});
    }
    std::string_view single(int id) const { return session.single.textOf(id); }
    std::string_view overview(int id) const { return session.overview.textOf(id); }
    std::string_view header(int id) const { return session.header.textOf(id); }
    void typeSingle(std::string_view text) { session.single.setText(AnswerField, text); }
    void typeSlot(int slot, std::string_view text) { session.overview.setText(OverviewFieldBase + slot, text); }
    std::string saved() { return progressBytes(session).value_or("(none)"); }
};

TEST(QuizSession, StartsFromTheSavedAnswersGradedAsThePlayerGradesThem) {
    Game game(quizOf({"PHARE", "BATEAU", "MER"}, 2), "phare\r\nbate\r\n");
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 3");
    EXPECT_EQ(game.header(CodeField), "A");
    EXPECT_EQ(game.header(QuizNameLabel), "Essai");
    EXPECT_EQ(game.single(AnswerField), "phare");
    EXPECT_EQ(game.single(VerdictLabel), "BRAVO");
    EXPECT_EQ(game.single(CommentLabel), "Commentaire 1");
    EXPECT_EQ(game.overview(OverviewVerdictBase + 2), "Presque");
    EXPECT_EQ(game.overview(OverviewVerdictBase + 3), "?");
    // Made after its question was graded, a comment label starts hidden, as in the player.
    EXPECT_TRUE(game.session.overview.exists(OverviewCommentBase + 1));
    EXPECT_FALSE(game.session.overview.visible(OverviewCommentBase + 1));
    EXPECT_TRUE(game.outcome.messages.empty());
}

TEST(QuizSession, ArrowsWrapAndEachQuestionShownIsGraded) {
    Game game(quizOf({"PHARE", "BATEAU", "MER"}, 0), "\r\nbate\r\nmer\r\n");
    showPreviousQuestion(game.session);
    EXPECT_EQ(game.session.currentQuestion, 2);
    EXPECT_EQ(game.single(VerdictLabel), "BRAVO");
    showNextQuestion(game.session);
    showNextQuestion(game.session);
    EXPECT_EQ(game.session.currentQuestion, 1);
    EXPECT_EQ(game.single(AnswerField), "bate");
    EXPECT_EQ(game.single(VerdictLabel), "Presque");
    showQuestion(game.session, 3);   // no such question
    showQuestion(game.session, -1);
    EXPECT_EQ(game.session.currentQuestion, 1);
}

TEST(QuizSession, WhatIsTypedIsKeptWhenTheFieldIsLeftAndInEverySave) {
    Game game(quizOf({"PHARE", "BATEAU"}, 0));
    game.typeSingle("phare");
    gradeShownQuestion(game.session);
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 2");
    game.typeSingle("bateau");
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 2") << "typing alone grades nothing";
    leaveAnswerField(game.session);
    EXPECT_EQ(game.header(ScoreLabel), " 0 / 2") << "the field's text goes into its slot and is graded on leaving";
    showNextQuestion(game.session);
    game.typeSingle("bateau");
    EXPECT_EQ(game.saved(), "bateau\r\nbateau\r\n") << "a save keeps the shown field first";
}

TEST(QuizSession, OverviewCommentsFollowTheCommentMode) {
    struct Case {
        int mode;
        bool firstShownAlone;  // question 1 right, question 2 not yet
        bool allShown;         // both right
    };
    for (const Case c : {Case{0, false, false}, Case{2, true, true}, Case{3, true, true}, Case{4, false, true}}) {
        SCOPED_TRACE("comment mode " + std::to_string(c.mode));
        Game game(quizOf({"PHARE", "BATEAU"}, c.mode));
        switchView(game.session);
        game.typeSlot(1, "phare");
        gradeOverviewSlot(game.session, 1);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 1), c.firstShownAlone);
        game.typeSlot(2, "bateau");
        gradeOverviewSlot(game.session, 2);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 1), c.allShown);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 2), c.allShown);
        game.typeSlot(2, "bato");
        gradeOverviewSlot(game.session, 2);
        EXPECT_FALSE(game.session.overview.visible(OverviewCommentBase + 2)) << "a wrong answer hides its comment";
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 1), c.allShown) << "and only its own";
        EXPECT_EQ(game.header(ScoreLabel), " 2 / 2") << "the overview never unsolves a question";
    }
}

TEST(QuizSession, OverviewKeepsTheShortAnswerRuleAndF1FillsOnlyWhatIsNotRight) {
    Game game(quizOf({"OUI", "MER", "BATEAU"}, 0), "oui\r\nmerr\r\n\r\n");
    switchView(game.session);
    EXPECT_EQ(game.overview(OverviewVerdictBase + 1), "BRAVO");
    EXPECT_EQ(game.overview(OverviewVerdictBase + 2), "FAUX") << "three letters or fewer: right or wrong";
    game.typeSlot(3, "bateau");
    copyAnswerToUnsolved(game.session, 3);
    EXPECT_EQ(game.overview(OverviewFieldBase + 1), "oui");
    EXPECT_EQ(game.overview(OverviewFieldBase + 2), "bateau");
    EXPECT_EQ(game.overview(OverviewVerdictBase + 2), "FAUX");
    EXPECT_EQ(game.overview(OverviewVerdictBase + 3), "BRAVO");
    EXPECT_EQ(game.saved(), "oui\r\nbateau\r\nbateau\r\n") << "the overview's fields are saved while it is shown";
}

TEST(QuizSession, TwoAnswersTravelBothWaysAndTheSingleViewGradesTheFirst) {
    Game game(quizOf({"PARIS", "FRANCE", "ROME", "ITALIE"}, 0, 2), "paris\r\nfrance\r\n\r\nitalie\r\n");
    EXPECT_EQ(game.single(AnswerField), "paris");
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 2");
    showNextQuestion(game.session);
    EXPECT_EQ(game.single(AnswerField), "") << "question 2 shows its first slot, slot 3";
    switchView(game.session);
    EXPECT_EQ(game.overview(OverviewVerdictBase + 4), "BRAVO");
    EXPECT_EQ(game.header(ScoreLabel), " 2 / 2") << "the second answer solves in the overview";
    game.typeSlot(3, "rome");
    switchView(game.session);
    EXPECT_EQ(game.single(AnswerField), "rome");
    EXPECT_EQ(game.single(VerdictLabel), "BRAVO") << "the shown question is graded again";
    EXPECT_EQ(game.saved(), "paris\r\nfrance\r\nrome\r\nitalie\r\n");
}

TEST(QuizSession, AnUndecodableQuizStartsEmptyAndSavesNothing) {
    QuizSession session;
    const std::uint8_t garbage[] = {1, 2, 3, 4, 5};
    const LoadOutcome outcome = startSession(session, garbage, std::nullopt, {});
    EXPECT_FALSE(outcome.messages.empty());
    EXPECT_EQ(session.record.questionCount, 0);
    gradeShownQuestion(session);
    showNextQuestion(session);
    switchView(session);
    copyAnswerToUnsolved(session, 1);
    EXPECT_FALSE(progressBytes(session).has_value());
}

TEST(QuizSession, ControlsReportEachChangeOnce) {
    SessionControls controls;
    controls.add(1, "a");
    controls.add(2, "b");
    controls.takeChanges();
    controls.setText(1, "a");  // unchanged
    controls.setText(2, "c");
    controls.setText(2, "d");
    controls.setVisible(1, false);
    controls.setText(9, "missing");
    EXPECT_EQ(controls.takeChanges(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(controls.takeChanges().empty());
    EXPECT_EQ(controls.textOf(9), "");
}

TEST(TypedText, IsHeldAsTheWindowsFieldWouldHoldIt) {
    const struct {
        std::string_view typed;
        std::string_view held;
    } cases[] = {
        {"l\xE2\x80\x99\xC3\xA9t\xC3\xA9", "l'\xE9t\xE9"},  // l’été: the phone's apostrophe is '
        {"c\xC5\x93ur", "c\x9Cur"},                          // œ is in code page 1252
        {"\xE2\x82\xAC", "\x80"},                            // €
        {"a\xE4\xB8\xAD" "b", "a?b"},                        // 中 is not
        {"a\xFF" "b", "a?b"},                                // nor a malformed byte
        {"  tour eiffel ", "  tour eiffel "},
    };
    for (const auto& c : cases) EXPECT_EQ(typedTextBytes(c.typed), c.held) << c.typed;
}

}  // namespace
