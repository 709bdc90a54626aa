// Start-up as a player sees it: the window, the header, the messages of a
// damaged quiz, and what is saved when nothing was typed.

#include <gtest/gtest.h>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr int Score = controlid::ScoreLabel;
constexpr int Code = controlid::CodeField;

TEST(StartUp, PlayerWithoutAQuizShowsTheBuiltInOne) {
    PlayerRun run("zorbel.exe");
    ASSERT_TRUE(run.waitForMainWindow()) << "the main window never appeared";
    EXPECT_EQ(run.text(run.mainWindow()), "Nom du zorbel");
    const RECT outer = run.screenRect(run.mainWindow());
    EXPECT_EQ(outer.right - outer.left, 670);
    EXPECT_EQ(outer.bottom - outer.top, 690);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(outer.left, (desktop.right - 670) / 2) << "centred across";
    EXPECT_EQ(outer.top, (desktop.bottom - 690) / 2) << "centred down";

    EXPECT_EQ(run.headerText(controlid::QuizNameLabel), "Nom du zorbel");
    EXPECT_EQ(run.headerText(controlid::ExplanationLabel), "Explications du zorbel");
    EXPECT_EQ(run.headerText(controlid::ByLabel), "Par :");
    EXPECT_EQ(run.headerText(controlid::CreatorLabel), "Createur zorbel");
    EXPECT_EQ(run.headerText(controlid::SaveButton), "Sauver");
    EXPECT_EQ(run.headerText(controlid::CodeCaption), " Code :");
    EXPECT_EQ(run.headerText(Score), " 0 / 7");
    EXPECT_EQ(run.headerText(Code), "      ") << "six spaces before anything is solved";
    EXPECT_EQ(run.text(GetDlgItem(run.mainWindow(), 8000)), "R\xE9" "alis\xE9 avec la version 2.2");

    EXPECT_EQ(run.close(), 0u);
    EXPECT_EQ(run.progressFile(), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n")
        << "one empty line per answer slot";
}

TEST(StartUp, QuizShowsItsFirstQuestion) {
    PlayerRun run("quiz_one_answer.exe");
    ASSERT_TRUE(run.waitForMainWindow());
    EXPECT_EQ(run.text(run.mainWindow()), "Quiz d'essai");
    EXPECT_EQ(run.headerText(Score), " 0 / 3");
    EXPECT_EQ(run.panelText(controlid::VerdictLabel), "?");
    EXPECT_EQ(run.panelText(10000), "Image n\xB0" "1");
    EXPECT_EQ(SendMessageA(run.control(run.singlePanel(), 10000), CB_GETCOUNT, 0, 0), 3);

    // A 640 x 402 picture keeps its size and is centred down the 640 x 480 frame.
    const RECT panel = run.screenRect(run.singlePanel());
    const RECT frame = run.screenRect(run.control(run.singlePanel(), controlid::PictureFrame));
    RECT client{};
    GetClientRect(run.singlePanel(), &client);
    const int border = ((panel.right - panel.left) - client.right) / 2;
    EXPECT_EQ(frame.left - panel.left - border, 5);
    EXPECT_EQ(frame.top - panel.top - border, 44);
    EXPECT_EQ(frame.right - frame.left, 640);
    EXPECT_EQ(frame.bottom - frame.top, 402);
}

TEST(StartUp, DamagedDefinitionIsReportedAndThePlayerStillComesUp) {
    PlayerRun run("quiz_damaged.exe", std::string("garde\r\n"));
    const auto box = run.answerMessageBox();
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->caption, "Zorbel");
    EXPECT_EQ(box->text, "Erreur dans le d\xE9" "cryptage des reponses");
    ASSERT_TRUE(run.waitForMainWindow());
    EXPECT_EQ(run.headerText(Score), " 0 / 0");
    EXPECT_EQ(run.close(), 0u);
    EXPECT_EQ(run.progressFile(), "garde\r\n") << "a quiz that could not be read never overwrites the answers";
}

TEST(StartUp, MissingCodeLinesAreReportedAndTheQuizKept) {
    PlayerRun run("quiz_no_codes.exe");
    const auto box = run.answerMessageBox();
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->caption, "Zorbel");
    EXPECT_EQ(box->text, "Erreur dans le d\xE9" "cryptage des codes");
    ASSERT_TRUE(run.waitForMainWindow());
    EXPECT_EQ(run.text(run.mainWindow()), "Sans codes");
    EXPECT_EQ(run.headerText(Score), " 0 / 2");
}

}  // namespace
