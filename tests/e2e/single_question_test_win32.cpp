// Playing in the single-question view with real keys and clicks: verdicts and
// their colours, comments, score and code, navigation, saving and restoring.

#include <gtest/gtest.h>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr int Score = controlid::ScoreLabel;
constexpr int Code = controlid::CodeField;
constexpr int Field = controlid::AnswerField;
constexpr int Verdict = controlid::VerdictLabel;
constexpr int Comment = controlid::CommentLabel;
constexpr int Next = controlid::NextButton;
constexpr int Previous = controlid::PreviousButton;
constexpr int Selector = controlid::QuestionSelector;

class SingleQuestionView : public ::testing::Test {
protected:
    void start(const char* exe, const std::optional<std::string>& progress = std::nullopt) {
        run_ = std::make_unique<PlayerRun>(exe, progress);
        ASSERT_TRUE(run_->waitForMainWindow()) << "the main window never appeared";
    }
    PlayerRun& run() { return *run_; }
    HWND control(int id) { return run_->control(run_->singlePanel(), id); }
    bool verdictBecomes(const std::string& text) {
        return eventually([&] { return run_->panelText(Verdict) == text; });
    }

    std::unique_ptr<PlayerRun> run_;
};

TEST_F(SingleQuestionView, RightAnswerAndEnter) {
    start("quiz_one_answer.exe");
    run().answer(" tour eiffel ");
    ASSERT_TRUE(verdictBecomes("BRAVO")) << "verdict: " << run().panelText(Verdict);
    EXPECT_EQ(run().fillColour(control(Verdict)), RGB(0, 255, 0));
    EXPECT_EQ(run().panelText(Comment), "Construite en 1889.");
    EXPECT_EQ(run().headerText(Score), " 1 / 3");
    EXPECT_EQ(run().headerText(Code), "UN") << "code line 1 after one question solved";
}

TEST_F(SingleQuestionView, NearMissAndWrongAnswerColours) {
    start("quiz_one_answer.exe");
    run().answer("tour eifl");
    ASSERT_TRUE(verdictBecomes("Presque")) << "verdict: " << run().panelText(Verdict);
    EXPECT_EQ(run().fillColour(control(Verdict)), RGB(255, 203, 38));
    EXPECT_EQ(run().panelText(Comment), "");
    run().answer("rome");
    ASSERT_TRUE(verdictBecomes("FAUX"));
    EXPECT_EQ(run().fillColour(control(Verdict)), RGB(255, 0, 0));
    run().answer("eiffel tour");
    ASSERT_TRUE(verdictBecomes("Anagramme"));
    EXPECT_EQ(run().fillColour(control(Verdict)), RGB(255, 100, 0));
    EXPECT_EQ(run().headerText(Score), " 0 / 3");
}

TEST_F(SingleQuestionView, TabAndEnterNeverReachTheField) {
    start("quiz_one_answer.exe");
    run().click(control(Field));
    run().type("ab");
    run().pressKey(VK_TAB);
    run().pressKey(VK_RETURN);
    EXPECT_TRUE(eventually([&] { return run().panelText(Verdict) == "FAUX"; }));
    EXPECT_EQ(run().panelText(Field), "ab");
}

TEST_F(SingleQuestionView, ArrowsWrapAndTheSelectorFollows) {
    start("quiz_one_answer.exe");
    run().click(control(Previous));
    EXPECT_TRUE(eventually([&] { return run().panelText(Selector) == "Image n\xB0" "3"; }))
        << "previous on the first question shows the last";
    run().click(control(Next));
    EXPECT_TRUE(eventually([&] { return run().panelText(Selector) == "Image n\xB0" "1"; }))
        << "next on the last question shows the first";
    run().click(control(Next));
    EXPECT_TRUE(eventually([&] { return run().panelText(Selector) == "Image n\xB0" "2"; }));
}

TEST_F(SingleQuestionView, SelectorJumpsToAQuestion) {
    start("quiz_one_answer.exe", std::string("\r\n\r\nch\xE2teau\r\n"));
    run().click(control(Selector));
    run().pressKey(VK_DOWN);
    run().pressKey(VK_DOWN);
    run().pressKey(VK_RETURN);
    EXPECT_TRUE(eventually([&] { return run().panelText(Selector) == "Image n\xB0" "3"; }))
        << "selector: " << run().panelText(Selector);
    EXPECT_EQ(run().panelText(Field), "ch\xE2teau");
    // Only ASCII letters are folded: one byte short of "CH\xC2TEAU".
    EXPECT_EQ(run().panelText(Verdict), "Quasiment");
}

TEST_F(SingleQuestionView, AnswersTravelWithTheArrows) {
    start("quiz_one_answer.exe");
    run().answer("paris");
    run().click(control(Next));
    ASSERT_TRUE(eventually([&] { return run().panelText(Selector) == "Image n\xB0" "2"; }));
    EXPECT_EQ(run().panelText(Field), "");
    run().answer("paris");
    ASSERT_TRUE(verdictBecomes("BRAVO"));
    run().click(control(Previous));
    ASSERT_TRUE(eventually([&] { return run().panelText(Field) == "paris"; })) << "the first answer came back";
    EXPECT_EQ(run().panelText(Verdict), "FAUX");
}

TEST_F(SingleQuestionView, F2SavesTheProgressFile) {
    start("quiz_one_answer.exe");
    run().answer("tour eiffel");
    run().pressKey(VK_F2);
    EXPECT_TRUE(eventually([&] { return run().progressFile() == "tour eiffel\r\n\r\n\r\n"; }))
        << "file: " << run().progressFile().value_or("(none)");
}

TEST_F(SingleQuestionView, TypedEnterAndClosedIsSaved) {
    start("quiz_one_answer.exe");
    run().answer("presque rien");
    ASSERT_EQ(run().close(), 0u);
    EXPECT_EQ(run().progressFile(), "presque rien\r\n\r\n\r\n");
}

TEST_F(SingleQuestionView, RestartRestoresAnswersVerdictsScoreAndCode) {
    start("quiz_one_answer.exe", std::string("tour eiffel\r\nparis\r\nchapeau\r\n"));
    EXPECT_EQ(run().panelText(Field), "tour eiffel");
    EXPECT_EQ(run().panelText(Verdict), "BRAVO");
    EXPECT_EQ(run().headerText(Score), " 2 / 3");
    EXPECT_EQ(run().headerText(Code), "DEUX");
}

TEST_F(SingleQuestionView, QuittingWithoutChangesKeepsTheFileByteForByte) {
    const std::string file = "tour eiffel\r\n\r\n" + std::string(259, 'x') + "\r\n";
    start("quiz_one_answer.exe", file);
    ASSERT_EQ(run().close(), 0u);
    EXPECT_EQ(run().progressFile(), file);
}

TEST_F(SingleQuestionView, TwoAnswerQuizKeepsItsSecondAnswers) {
    start("quiz_two_answers.exe", std::string("paris\r\nfrance\r\nrome\r\nitalie\r\n"));
    EXPECT_EQ(run().panelText(Field), "paris");
    EXPECT_EQ(run().headerText(Score), " 2 / 2");
    run().answer("lyon");
    ASSERT_TRUE(verdictBecomes("FAUX"));
    ASSERT_EQ(run().close(), 0u);
    EXPECT_EQ(run().progressFile(), "lyon\r\nfrance\r\nrome\r\nitalie\r\n");
}

}  // namespace
