// The demo made in the Atelier's web page (ZORBEL_PAGE_QUIZ, written by the
// page's browser tests): a quiz the player plays and the Atelier opens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "resources/contract_ids.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

std::filesystem::path pageMadeQuiz() {
    const char* made = std::getenv("ZORBEL_PAGE_QUIZ");
    return made != nullptr ? std::filesystem::path(made) : std::filesystem::path();
}

TEST(PageMadeQuiz, PlaysAsTheDemo) {
    ASSERT_FALSE(pageMadeQuiz().empty()) << "ZORBEL_PAGE_QUIZ names no quiz made by the page";
    PlayerRun run{pageMadeQuiz()};
    ASSERT_TRUE(run.waitForMainWindow()) << "the main window never appeared";
    EXPECT_EQ(run.text(run.mainWindow()), "Le ciel et la nature");
    EXPECT_EQ(run.headerText(controlid::ScoreLabel), " 0 / 12");
    run.answer("SOLEIL");
    EXPECT_TRUE(eventually([&] { return run.panelText(controlid::VerdictLabel) == "BRAVO"; }))
        << "verdict: " << run.panelText(controlid::VerdictLabel);
    EXPECT_EQ(run.headerText(controlid::ScoreLabel), " 1 / 12");
    EXPECT_EQ(run.close(), 0u);
}

TEST(PageMadeQuiz, OpensInTheAtelier) {
    ASSERT_FALSE(pageMadeQuiz().empty()) << "ZORBEL_PAGE_QUIZ names no quiz made by the page";
    AtelierRun run;
    std::filesystem::copy_file(pageMadeQuiz(), run.folder() / "demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe")) << "the Atelier shows no window";
    EXPECT_EQ(run.questionCount(), 12);
}

}  // namespace
