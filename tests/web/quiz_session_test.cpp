// The game the web page plays: the player's keys applied to controls held in
// memory, with the player's order of grading, its views and its progress
// format; and the typed text as the Windows field would hold it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/quiz_resources.h"
#include "authoring/web_page.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
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
    // Typing goes where the focus is: the field is clicked first.
    void typeSingle(std::string_view text) { type(AnswerField, text); }
    void typeSlot(int slot, std::string_view text) { type(OverviewFieldBase + slot, text); }
    void type(int field, std::string_view text) {
        moveFocus(session, field);
        typeText(session, field, text);
    }
    void press(int control, SessionKey key, bool shift = false) { pressKey(session, control, key, shift); }
    void enterSlot(int slot) { press(OverviewFieldBase + slot, SessionKey::Enter); }
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
    // Made after its question was graded, a comment label starts hidden; the
    // first field, graded again when the start-up focus leaves it, shows its own.
    EXPECT_TRUE(game.session.overview.visible(OverviewCommentBase + 1));
    EXPECT_FALSE(game.session.overview.visible(OverviewCommentBase + 2));
    Game second(quizOf({"PHARE", "BATEAU", "MER"}, 2), "\r\nbateau\r\n");
    EXPECT_FALSE(second.session.overview.visible(OverviewCommentBase + 2));
    EXPECT_EQ(second.session.focus, FocusElsewhere) << "at start the focus is on the main window";
    EXPECT_TRUE(game.outcome.messages.empty());
}

TEST(QuizSession, ArrowsWrapAndEachQuestionShownIsGraded) {
    Game game(quizOf({"PHARE", "BATEAU", "MER"}, 0), "\r\nbate\r\nmer\r\n");
    clickArrow(game.session, PreviousButton);
    EXPECT_EQ(game.session.currentQuestion, 2);
    EXPECT_EQ(game.single(VerdictLabel), "BRAVO");
    clickArrow(game.session, NextButton);
    clickArrow(game.session, NextButton);
    EXPECT_EQ(game.session.currentQuestion, 1);
    EXPECT_EQ(game.single(AnswerField), "bate");
    EXPECT_EQ(game.single(VerdictLabel), "Presque");
    chooseQuestion(game.session, 3);   // no such question
    chooseQuestion(game.session, -1);
    EXPECT_EQ(game.session.currentQuestion, 1);
}

TEST(QuizSession, WhatIsTypedIsKeptWhenTheFieldIsLeftAndInEverySave) {
    Game game(quizOf({"PHARE", "BATEAU"}, 0));
    game.typeSingle("phare");
    game.press(AnswerField, SessionKey::Enter);
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 2");
    game.typeSingle("bateau");
    EXPECT_EQ(game.header(ScoreLabel), " 1 / 2") << "typing alone grades nothing";
    moveFocus(game.session, FocusElsewhere);
    EXPECT_EQ(game.header(ScoreLabel), " 0 / 2") << "the field's text goes into its slot and is graded on leaving";
    clickArrow(game.session, NextButton);
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
        game.enterSlot(1);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 1), c.firstShownAlone);
        game.typeSlot(2, "bateau");
        game.enterSlot(2);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 1), c.allShown);
        EXPECT_EQ(game.session.overview.visible(OverviewCommentBase + 2), c.allShown);
        game.typeSlot(2, "bato");
        game.enterSlot(2);
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
    game.press(OverviewFieldBase + 3, SessionKey::F1);
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
    clickArrow(game.session, NextButton);
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

// The order of gradings when the focus and the view move, which decides the
// score when one answer of a two-answer question is right and the other not.
TEST(QuizSession, FocusAndViewChangesGradeInThePlayersOrder) {
    const QuizSource twoAnswers = quizOf({"PARIS", "FRANCE", "ROME", "ITALIE"}, 0, 2);
    {
        SCOPED_TRACE("F3 in the single view's field: that field is graded before the overview's");
        Game game(twoAnswers, "lyon\r\nfrance\r\n");
        EXPECT_EQ(game.header(ScoreLabel), " 0 / 2") << "the single view grades the first answer last at start";
        game.typeSingle("lyon");
        game.press(AnswerField, SessionKey::F3);
        EXPECT_TRUE(game.session.overviewShown);
        EXPECT_EQ(game.overview(OverviewVerdictBase + 2), "BRAVO");
        EXPECT_EQ(game.header(ScoreLabel), " 1 / 2") << "the score agrees with the BRAVO shown";
        EXPECT_EQ(game.session.focus, FocusElsewhere);
    }
    {
        SCOPED_TRACE("F3 in an overview field: that field is graded after the shown question");
        Game game(twoAnswers, "lyon\r\n");
        switchView(game.session);
        game.typeSlot(2, "france");
        game.press(OverviewFieldBase + 2, SessionKey::F3);
        EXPECT_FALSE(game.session.overviewShown);
        EXPECT_EQ(game.single(VerdictLabel), "FAUX");
        EXPECT_EQ(game.header(ScoreLabel), " 1 / 2");
    }
    {
        SCOPED_TRACE("F1 in the only field not right grades it");
        Game game(quizOf({"OUI", "MER"}, 0), "oui\r\n");
        switchView(game.session);
        game.typeSlot(2, "mer");
        game.press(OverviewFieldBase + 2, SessionKey::F1);
        EXPECT_EQ(game.overview(OverviewVerdictBase + 2), "BRAVO");
        EXPECT_EQ(game.header(ScoreLabel), " 2 / 2");
        EXPECT_EQ(game.session.focus, OverviewFieldBase + 2) << "the focus stays where F1 was pressed";
    }
    {
        SCOPED_TRACE("F2 saves what the focused field holds now");
        Game game(twoAnswers);
        game.typeSingle("par");
        game.press(AnswerField, SessionKey::F2);
        EXPECT_TRUE(takeEffects(game.session).saveRequested);
        EXPECT_EQ(game.saved(), "par\r\n\r\n\r\n\r\n");
        EXPECT_EQ(game.single(VerdictLabel), "?") << "saving grades nothing";
    }
}

TEST(QuizSession, TabGoesRoundTheOverviewAndDoesNothingInTheSingleView) {
    Game game(quizOf({"PARIS", "FRANCE", "ROME", "ITALIE"}, 0, 2));
    game.typeSingle("x");
    game.press(AnswerField, SessionKey::Tab);
    EXPECT_EQ(game.session.focus, AnswerField);
    EXPECT_EQ(game.single(VerdictLabel), "?") << "Tab neither moves nor grades in the single view";
    switchView(game.session);
    takeEffects(game.session);
    const struct {
        int from;
        bool shift;
        int to;
        ScrollRequest scroll;
    } steps[] = {
        {1, false, 2, {OverviewScroll::ShowSlot, 2}},
        {3, false, 4, {OverviewScroll::Bottom, 4}},
        {4, false, 1, {OverviewScroll::Top, 1}},
        {1, true, 4, {OverviewScroll::Bottom, 4}},
    };
    for (const auto& step : steps) {
        game.typeSlot(step.from, "paris");
        game.press(OverviewFieldBase + step.from, SessionKey::Tab, step.shift);
        EXPECT_EQ(game.session.focus, OverviewFieldBase + step.to) << "from " << step.from;
        EXPECT_EQ(takeEffects(game.session).scrolls, std::vector<ScrollRequest>{step.scroll}) << "from " << step.from;
        EXPECT_NE(game.overview(OverviewVerdictBase + step.from), "?") << "the field left is graded";
    }
    game.press(OverviewFieldBase + 1, SessionKey::PageDown);
    const std::vector<ScrollRequest> pageDown{{OverviewScroll::PageDown, 0}};
    EXPECT_EQ(takeEffects(game.session).scrolls, pageDown);
}

TEST(QuizSession, KeysActOncePerPress) {
    const struct {
        KeyStroke stroke;
        bool acts;
    } strokes[] = {{KeyStroke::Down, false}, {KeyStroke::Repeat, false}, {KeyStroke::Up, true},
                   {KeyStroke::AltDown, true}, {KeyStroke::AltRepeat, false}};
    for (const auto& s : strokes) EXPECT_EQ(keyActs(s.stroke), s.acts) << static_cast<int>(s.stroke);
    EXPECT_TRUE(keyIsTheGames(AnswerField, SessionKey::Tab));
    EXPECT_TRUE(keyIsTheGames(OverviewFieldBase + 7, SessionKey::Enter));
    EXPECT_FALSE(keyIsTheGames(NextButton, SessionKey::Enter)) << "Enter on a button is the button's";
    EXPECT_TRUE(keyIsTheGames(FocusElsewhere, SessionKey::F3));
    EXPECT_FALSE(keyIsTheGames(AnswerField, SessionKey::Up));
}

TEST(QuizSession, AnUndecodableQuizStartsEmptyAndSavesNothing) {
    QuizSession session;
    const std::uint8_t garbage[] = {1, 2, 3, 4, 5};
    const LoadOutcome outcome = startSession(session, garbage, std::nullopt, {});
    EXPECT_FALSE(outcome.messages.empty());
    EXPECT_EQ(session.record.questionCount, 0);
    pressKey(session, AnswerField, SessionKey::Enter, false);
    clickArrow(session, NextButton);
    chooseQuestion(session, 3);
    switchView(session);
    pressKey(session, OverviewFieldBase + 1, SessionKey::F1, false);
    pressKey(session, OverviewFieldBase + 1, SessionKey::Tab, false);
    EXPECT_EQ(session.currentQuestion, 0);
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
