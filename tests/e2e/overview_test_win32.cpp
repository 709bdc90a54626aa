// The overview as a player uses it: the F3 switch both ways, the rows of
// questions, typing and Enter, Tab and the scrolling that follows it, the
// wheel, F1, the comment modes, two-answer quizzes, saving and resizing.

#include <gtest/gtest.h>

#include <string>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr int Score = controlid::ScoreLabel;
constexpr int Code = controlid::CodeField;
constexpr int Link = controlid::HomePageLink;
constexpr int SingleField = controlid::AnswerField;

constexpr int field(int slot) { return controlid::OverviewFieldBase + slot; }
constexpr int verdict(int slot) { return controlid::OverviewVerdictBase + slot; }
constexpr int comment(int question) { return controlid::OverviewCommentBase + question; }
constexpr int frame(int question) { return controlid::OverviewPictureBase + question; }

class OverviewView : public ::testing::Test {
protected:
    void start(const char* exe, const std::optional<std::string>& progress = std::nullopt) {
        run_ = std::make_unique<PlayerRun>(exe, progress);
        ASSERT_TRUE(run_->waitForMainWindow()) << "the main window never appeared";
        overview_ = run_->overviewPanel();
        ASSERT_NE(overview_, nullptr);
    }
    // F3 while the main window has the focus, as at start and after a switch.
    void switchView() {
        const bool toOverview = !IsWindowVisible(overview_);
        run_->pressKey(VK_F3);
        ASSERT_TRUE(eventually([&] { return (IsWindowVisible(overview_) != FALSE) == toOverview; }))
            << "F3 did not switch the view";
    }
    PlayerRun& run() { return *run_; }
    HWND control(int id) { return run_->control(overview_, id); }
    std::string text(int id) { return run_->text(control(id)); }
    RECT place(int id) { return run_->placeIn(overview_, control(id)); }
    bool shown(int id) { return IsWindowVisible(control(id)) != FALSE; }
    bool verdictBecomes(int slot, const std::string& expected) {
        return eventually([&] { return text(verdict(slot)) == expected; });
    }
    // The control lies wholly inside the panel's client area.
    bool inView(int id) {
        RECT client{};
        GetClientRect(overview_, &client);
        const RECT r = place(id);
        return r.top >= 0 && r.bottom <= client.bottom;
    }
    LONG mainStyle() { return GetWindowLongA(run_->mainWindow(), GWL_STYLE); }

    std::unique_ptr<PlayerRun> run_;
    HWND overview_ = nullptr;
};

TEST_F(OverviewView, F3FromTheMainWindowSwitchesBothWays) {
    start("quiz_seven.exe");
    switchView();
    EXPECT_FALSE(IsWindowVisible(run().singlePanel()));
    EXPECT_NE(mainStyle() & WS_THICKFRAME, 0) << "resizable";
    EXPECT_NE(mainStyle() & WS_MINIMIZEBOX, 0);
    EXPECT_NE(mainStyle() & WS_MAXIMIZEBOX, 0);

    switchView();
    EXPECT_TRUE(IsWindowVisible(run().singlePanel()));
    EXPECT_EQ(mainStyle() & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    const RECT outer = run().screenRect(run().mainWindow());
    EXPECT_EQ(outer.right - outer.left, 670);
    EXPECT_EQ(outer.bottom - outer.top, 690);
}

TEST_F(OverviewView, F3FromTheSingleQuestionFieldCarriesItsAnswer) {
    start("quiz_seven.exe");
    run().click(run().control(run().singlePanel(), SingleField));
    run().type("soleil");
    run().pressKey(VK_F3);
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(overview_) != FALSE; }));
    EXPECT_EQ(text(field(1)), "soleil");
    EXPECT_TRUE(verdictBecomes(1, "BRAVO"));
    EXPECT_EQ(run().headerText(Score), " 1 / 7");
}

TEST_F(OverviewView, SevenQuestionsSitInRowsOfThree) {
    start("quiz_seven.exe");
    switchView();
    for (int j = 1; j <= 3; ++j) {
        const int left = 46 + 240 * (j - 1);
        EXPECT_EQ(place(frame(j)), (RECT{left, 5, left + 210, 5 + 131})) << "picture " << j;
        EXPECT_EQ(place(field(j)), (RECT{left, 146, left + 210, 166})) << "field " << j;
        EXPECT_EQ(place(verdict(j)), (RECT{left, 165, left + 210, 185})) << "verdict " << j;
        EXPECT_EQ(place(comment(j)), (RECT{left, 192, left + 210, 257})) << "comment " << j;
        EXPECT_FALSE(shown(comment(j))) << "comments start hidden";
    }
    EXPECT_EQ(place(frame(4)).top, 286) << "the second row";
    EXPECT_EQ(place(frame(7)), (RECT{46, 567, 256, 698})) << "question 7 opens the third row";
    EXPECT_EQ(control(frame(8)), nullptr);
    EXPECT_EQ(control(field(8)), nullptr);
    EXPECT_EQ(text(verdict(1)), "?");
}

TEST_F(OverviewView, TypingAndEnterGradeAtOnceAndFocusLossGradesAgain) {
    start("quiz_seven.exe");
    switchView();
    run().answerIn(control(field(2)), "lune");
    ASSERT_TRUE(verdictBecomes(2, "BRAVO")) << text(verdict(2));
    EXPECT_EQ(run().fillColour(control(verdict(2))), RGB(0, 255, 0));
    EXPECT_TRUE(shown(comment(2))) << "comment mode 2 reveals the solved question's comment";
    EXPECT_FALSE(shown(comment(1)));
    EXPECT_EQ(run().headerText(Score), " 1 / 7");
    EXPECT_EQ(run().headerText(Code), "A");
    EXPECT_EQ(run().focused(), control(field(2))) << "Enter leaves the focus in place";

    run().click(control(field(3)));
    run().type("etoiles");
    EXPECT_EQ(text(verdict(3)), "?") << "typing alone grades nothing";
    run().click(control(field(1)));
    EXPECT_TRUE(verdictBecomes(3, "Quasiment")) << text(verdict(3));
    EXPECT_EQ(run().fillColour(control(verdict(3))), RGB(255, 203, 38));
}

TEST_F(OverviewView, TabCyclesThroughEveryFieldAndScrollsAtTheEnds) {
    start("quiz_seven.exe");
    switchView();
    run().click(control(field(1)));
    run().pressWithShift(VK_TAB);
    ASSERT_TRUE(eventually([&] { return run().focused() == control(field(7)); })) << "Shift+Tab wraps to the last";
    EXPECT_TRUE(inView(field(7)));
    EXPECT_LT(place(frame(1)).top, 5) << "scrolled to the bottom";
    run().pressKey(VK_TAB);
    ASSERT_TRUE(eventually([&] { return run().focused() == control(field(1)); })) << "Tab wraps to the first";
    EXPECT_EQ(place(frame(1)).top, 5) << "scrolled to the top";
}

TEST_F(OverviewView, TabBringsTheNextFieldFullyIntoView) {
    start("demo.exe");
    switchView();
    run().click(control(field(4)));
    for (int slot = 5; slot <= 11; ++slot) {
        run().pressKey(VK_TAB);
        ASSERT_TRUE(eventually([&] { return run().focused() == control(field(slot)); })) << "slot " << slot;
        EXPECT_TRUE(inView(field(slot))) << "field " << slot;
        EXPECT_TRUE(inView(verdict(slot))) << "verdict " << slot;
    }
}

TEST_F(OverviewView, OneWheelNotchScrollsFiftyPixels) {
    start("quiz_seven.exe");
    switchView();
    run().wheel(overview_, -WHEEL_DELTA);
    EXPECT_TRUE(eventually([&] { return place(frame(1)).top == 5 - 50; })) << place(frame(1)).top;
    run().wheel(overview_, -WHEEL_DELTA);
    EXPECT_TRUE(eventually([&] { return place(frame(1)).top == 5 - 100; })) << place(frame(1)).top;
    run().wheel(overview_, WHEEL_DELTA);
    EXPECT_TRUE(eventually([&] { return place(frame(1)).top == 5 - 50; })) << place(frame(1)).top;

    run().click(control(field(4)));  // the wheel over a focused answer field
    const int before = place(frame(1)).top;
    run().wheel(control(field(4)), -WHEEL_DELTA);
    EXPECT_TRUE(eventually([&] { return place(frame(1)).top == before - 50; })) << place(frame(1)).top;
    run().wheel(overview_, -2 * WHEEL_DELTA);
    Sleep(300);
    EXPECT_EQ(place(frame(1)).top, before - 50) << "a fast wheel's double step does nothing";
}

TEST_F(OverviewView, F1CopiesTheAnswerIntoTheUnsolvedFieldsOnly) {
    start("quiz_seven.exe", std::string("soleil\r\n"));
    switchView();
    ASSERT_TRUE(verdictBecomes(1, "BRAVO"));
    run().click(control(field(2)));
    run().type("lune");
    run().pressKey(VK_F1);
    for (int slot = 2; slot <= 7; ++slot) {
        EXPECT_TRUE(eventually([&] { return text(field(slot)) == "lune"; })) << "field " << slot;
    }
    EXPECT_EQ(text(field(1)), "soleil") << "a solved field is left alone";
    EXPECT_TRUE(verdictBecomes(2, "BRAVO"));
    EXPECT_TRUE(verdictBecomes(4, "FAUX")) << text(verdict(4));
    EXPECT_EQ(run().headerText(Score), " 2 / 7");
    EXPECT_EQ(run().focused(), control(field(2))) << "the focus comes back";
}

TEST_F(OverviewView, TwoAnswerFieldsBelongToTheirQuestions) {
    start("quiz_two_answers.exe");
    switchView();
    EXPECT_EQ(text(156), "Ville");
    run().answerIn(control(field(2)), "france");
    EXPECT_TRUE(verdictBecomes(2, "BRAVO")) << "4002 is question 1's second answer";
    run().answerIn(control(field(3)), "rome");
    EXPECT_TRUE(verdictBecomes(3, "BRAVO")) << "4003 is question 2's first answer";
    run().answerIn(control(field(4)), "france");
    EXPECT_TRUE(verdictBecomes(4, "FAUX"));
    EXPECT_EQ(run().headerText(Score), " 2 / 2");
}

TEST_F(OverviewView, CommentModeFourRevealsAllAtOnceAndAWrongAnswerHidesOnlyItsOwn) {
    start("quiz_two_answers.exe", std::string("paris\r\nfrance\r\nrome\r\n\r\n"));
    switchView();
    EXPECT_FALSE(shown(comment(1)));
    EXPECT_FALSE(shown(comment(2)));
    run().answerIn(control(field(4)), "italie");
    ASSERT_TRUE(verdictBecomes(4, "BRAVO"));
    EXPECT_TRUE(eventually([&] { return shown(comment(1)) && shown(comment(2)); })) << "every slot right";
    run().answerIn(control(field(1)), "lyon");
    ASSERT_TRUE(verdictBecomes(1, "FAUX"));
    EXPECT_FALSE(shown(comment(1)));
    EXPECT_TRUE(shown(comment(2))) << "the other question's comment stays";
}

TEST_F(OverviewView, AnswersTravelBackAndLongOnesAreSavedWhole) {
    start("quiz_two_answers.exe");
    switchView();
    const std::string longAnswer(259, 'x');
    SendMessageA(control(field(1)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longAnswer.c_str()));
    run().answerIn(control(field(4)), "italie");
    run().pressKey(VK_F2);
    const std::string expected = longAnswer + "\r\n\r\n\r\nitalie\r\n";
    EXPECT_TRUE(eventually([&] { return run().progressFile() == expected; }))
        << "file: " << run().progressFile().value_or("(none)");

    run().pressKey(VK_F3);  // from the field
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(run().singlePanel()) != FALSE; }));
    EXPECT_EQ(run().panelText(SingleField), longAnswer);
    ASSERT_EQ(run().close(), 0u);
    EXPECT_EQ(run().progressFile(), expected) << "every slot came back whole";
}

TEST_F(OverviewView, ResizingMovesTheHeaderAndKeepsTheScrollPosition) {
    start("quiz_seven.exe");
    switchView();
    run().wheel(overview_, -WHEEL_DELTA);
    run().wheel(overview_, -WHEEL_DELTA);
    ASSERT_TRUE(eventually([&] { return place(frame(1)).top == 5 - 100; }));
    const RECT linkBefore = run().screenRect(run().control(run().header(), Link));
    const RECT outer = run().screenRect(run().mainWindow());

    SetWindowPos(run().mainWindow(), nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(eventually([&] {
        return run().screenRect(run().control(run().header(), Link)).left == linkBefore.left + 230;
    })) << "the link follows the right edge";
    EXPECT_EQ(place(frame(1)).top, 5 - 100) << "the content stays under the same position";

    ShowWindow(run().mainWindow(), SW_MAXIMIZE);
    switchView();
    const RECT back = run().screenRect(run().mainWindow());
    EXPECT_FALSE(IsZoomed(run().mainWindow()));
    EXPECT_EQ(back.left, outer.left);
    EXPECT_EQ(back.top, outer.top);
    EXPECT_EQ(back.right - back.left, 670);
    EXPECT_EQ(back.bottom - back.top, 690);
}

}  // namespace
