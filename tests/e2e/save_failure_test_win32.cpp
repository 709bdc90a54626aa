// Saves that cannot be written: F2 in either view and "Sauver" say so, once
// per press; closing asks, Non keeps every answer on screen and Oui quits;
// where the file can be written nothing is shown.

#include <gtest/gtest.h>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

const std::string Saved = "tour eiffel\r\n\r\n\r\n";
const std::string CannotSave = "Impossible d'enregistrer vos r\xE9ponses dans quiz_one_answer.txt.";

class SaveFailure : public ::testing::Test {
protected:
    void SetUp() override {
        run_ = std::make_unique<PlayerRun>("quiz_one_answer.exe", Saved);
        ASSERT_TRUE(run_->waitForMainWindow()) << "the main window never appeared";
    }
    PlayerRun& run() { return *run_; }
    // The temporary file's place is taken, so no save can be made.
    void blockSaves() { std::filesystem::create_directory(run().folder() / "quiz_one_answer.txt.tmp"); }
    bool noBox() { return !run().answerMessageBox(IDOK, std::chrono::milliseconds(1500)).has_value(); }

    std::unique_ptr<PlayerRun> run_;
};

TEST_F(SaveFailure, F2AndSauverSayItOncePerPressInBothViews) {
    blockSaves();
    run().answer("autre chose");
    run().pressKey(VK_F2);
    const auto box = run().answerMessageBox();
    ASSERT_TRUE(box.has_value()) << "F2 failed in silence";
    EXPECT_EQ(box->caption, "Zorbel");
    EXPECT_EQ(box->text, CannotSave);
    EXPECT_EQ(box->owner, nullptr) << "a box of its own";
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"OK"}));
    EXPECT_TRUE(noBox()) << "once per press";

    run().click(run().control(run().header(), controlid::SaveButton));
    const auto sauver = run().answerMessageBox();
    ASSERT_TRUE(sauver.has_value()) << "\"Sauver\" failed in silence";
    EXPECT_EQ(sauver->text, CannotSave);

    run().pressKey(VK_F3);
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(run().overviewPanel()) != FALSE; }));
    run().answerIn(run().control(run().overviewPanel(), controlid::OverviewFieldBase + 2), "rome");
    run().pressKey(VK_F2);
    const auto overview = run().answerMessageBox();
    ASSERT_TRUE(overview.has_value()) << "F2 in the overview failed in silence";
    EXPECT_EQ(overview->text, CannotSave);
    EXPECT_TRUE(noBox());
    EXPECT_EQ(run().progressFile(), Saved) << "the old file is whole";
}

TEST_F(SaveFailure, ClosingAsksAndNonKeepsEveryAnswer) {
    // As another program holds the file.
    const std::string path = run().progressPath().string();
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run().answer("autre chose");

    PostMessageA(run().mainWindow(), WM_CLOSE, 0, 0);
    const auto asked = run().answerMessageBox(IDNO);
    ASSERT_TRUE(asked.has_value()) << "closing lost the answers in silence";
    EXPECT_EQ(asked->caption, "Zorbel");
    EXPECT_EQ(asked->text, "Vos r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9" "es dans quiz_one_answer.txt. "
                           "Quitter quand m\xEAme ?");
    EXPECT_EQ(asked->buttons, (std::vector<std::string>{"&Oui", "&Non"}));
    EXPECT_EQ(asked->owner, run().mainWindow());
    EXPECT_TRUE(run().running()) << "Non keeps the window open";
    EXPECT_EQ(run().panelText(controlid::AnswerField), "autre chose");

    PostMessageA(run().mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run().answerMessageBox(IDYES).has_value());
    EXPECT_EQ(run().close(), 0u) << "Oui quits as before";
    CloseHandle(held);
    EXPECT_EQ(run().progressFile(), Saved);
}

TEST_F(SaveFailure, ASaveThatWorksSaysNothing) {
    run().answer("autre chose");
    run().pressKey(VK_F2);
    EXPECT_TRUE(noBox());
    EXPECT_EQ(run().progressFile(), "autre chose\r\n\r\n\r\n");
    EXPECT_EQ(run().close(), 0u);
}

}  // namespace
