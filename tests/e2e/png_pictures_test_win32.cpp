// Pictures stored as PNG raw data: shown in both views, interlaced ones too,
// and a damaged one reported once without stopping the player.

#include <gtest/gtest.h>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr int SingleFrame = controlid::PictureFrame;

TEST(PngPictures, ShownInBothViewsAndADamagedOneIsReported) {
    PlayerRun run("quiz_png.exe");
    // The overview, built first, decodes every picture at start-up.
    const auto box = run.answerMessageBox();
    ASSERT_TRUE(box.has_value()) << "no message for the damaged picture";
    EXPECT_EQ(box->caption, "Information");
    EXPECT_EQ(box->text, "Error: couldn't decode PNG resource");
    ASSERT_TRUE(run.waitForMainWindow()) << "the player did not carry on";

    HWND frame = run.control(run.singlePanel(), SingleFrame);
    const RECT shown = run.screenRect(frame);
    EXPECT_EQ(shown.right - shown.left, 640);
    EXPECT_EQ(shown.bottom - shown.top, 402) << "the PNG picture keeps its 640 x 402";
    // Lossless and unscaled: the sun's centre has the file's colour exactly,
    // once the window has painted after the message box.
    const auto centre = [&] {
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, shown.left + 320, shown.top + 201);
        ReleaseDC(nullptr, screen);
        return colour;
    };
    EXPECT_TRUE(eventually([&] { return centre() == RGB(254, 210, 0); })) << "centre pixel " << centre();

    run.pressKey(VK_F3);
    HWND overview = run.overviewPanel();
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(overview) != FALSE; }));
    for (int question = 1; question <= 2; ++question) {
        const RECT r = run.placeIn(overview, run.control(overview, controlid::OverviewPictureBase + question));
        EXPECT_EQ(r.right - r.left, 210) << "question " << question;
        EXPECT_EQ(r.bottom - r.top, 131) << "question " << question << " (the second is interlaced)";
    }
    const RECT empty = run.placeIn(overview, run.control(overview, controlid::OverviewPictureBase + 3));
    EXPECT_EQ(empty.bottom - empty.top, 0) << "the damaged picture leaves its frame empty";
    EXPECT_EQ(run.close(), 0u);
}

}  // namespace
