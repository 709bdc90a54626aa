// Pictures that quizmake prepared from what authors have (a JPEG turned by
// its EXIF orientation, a progressive JPEG, a transparent PNG, a GIF, a BMP
// and a large photo): the player shows each the right way up, at the size
// that fits its frame, and the transparent quarter in the quiz's background.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr COLORREF Red = RGB(220, 40, 40);
constexpr COLORREF Green = RGB(40, 180, 60);
constexpr COLORREF Blue = RGB(40, 60, 200);
constexpr COLORREF Yellow = RGB(230, 210, 40);
constexpr COLORREF Background = RGB(53, 130, 163);

struct ShownPicture {
    const char* what;
    int width;
    int height;
    COLORREF topRight;
    int tolerance;  // JPEG's losses, and the scaling to the frame
};

const ShownPicture Pictures[] = {
    {"JPEG turned by EXIF", 640, 480, Green, 24},    {"progressive JPEG", 640, 480, Green, 24},
    {"transparent PNG", 640, 400, Background, 4},    {"GIF", 640, 426, Green, 4},
    {"BMP", 640, 426, Green, 4},                     {"large photo", 640, 480, Green, 24},
};

std::string text(COLORREF c) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "(%d, %d, %d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return buffer;
}

TEST(PreparedPictures, EachShownTheRightWayUpAtItsSize) {
    PlayerRun run("quiz_prepared.exe");
    ASSERT_TRUE(run.waitForMainWindow()) << "the main window never appeared";
    HWND frame = run.control(run.singlePanel(), controlid::PictureFrame);
    for (std::size_t q = 0; q < std::size(Pictures); ++q) {
        const ShownPicture& p = Pictures[q];
        char number[16];
        std::snprintf(number, sizeof number, "Image n\xB0%zu", q + 1);
        if (q > 0) run.click(run.control(run.singlePanel(), controlid::NextButton));
        ASSERT_TRUE(eventually([&] { return run.panelText(controlid::QuestionSelector) == number; })) << p.what;
        const RECT shown = run.screenRect(frame);
        EXPECT_EQ(shown.right - shown.left, p.width) << p.what;
        EXPECT_EQ(shown.bottom - shown.top, p.height) << p.what;
        const COLORREF wanted[4] = {Red, p.topRight, Blue, Yellow};
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const int x = shown.left + (shown.right - shown.left) * (quadrant % 2 == 0 ? 1 : 3) / 4;
            const int y = shown.top + (shown.bottom - shown.top) * (quadrant < 2 ? 1 : 3) / 4;
            EXPECT_TRUE(eventually([&] { return closeTo(screenPixel(x, y), wanted[quadrant], p.tolerance); }))
                << p.what << ": quadrant " << quadrant << " shows " << text(screenPixel(x, y)) << ", not "
                << text(wanted[quadrant]);
        }
    }
    EXPECT_EQ(run.close(), 0u);
}

}  // namespace
