#include <gtest/gtest.h>

#include "panels/single_question_layout.h"
#include "pictures/fitted_size.h"
#include "session/question_order.h"
#include "shell/window_layout.h"

namespace {

TEST(MainWindowLayout, PanelsFillTheClientArea) {
    const MainWindowLayout layout = mainWindowLayout({664, 656});
    EXPECT_EQ(layout.headerPanel, (Rect{5, 2, 653, 49}));
    EXPECT_EQ(layout.singleQuestionPanel, (Rect{5, 50, 653, 588}));
    EXPECT_EQ(layout.overviewPanel, layout.singleQuestionPanel);
    EXPECT_EQ(layout.statusLabel, (Rect{519, 640, 140, 15}));
    EXPECT_EQ(mainWindowLayout({664, 656}, 120).statusLabel, (Rect{519, 640, 140, 15}));
    EXPECT_EQ(mainWindowLayout({664, 656}, 151).statusLabel, (Rect{508, 640, 151, 15})) << "the right edge stays";
}

TEST(MainWindowLayout, CentringTruncatesTowardZero) {
    EXPECT_EQ(centredOn({0, 0, 1280, 1024}, MainWindowSize), (Rect{305, 167, 670, 690}));
    EXPECT_EQ(centredOn({0, 0, 1281, 1025}, MainWindowSize), (Rect{305, 167, 670, 690}));
    EXPECT_EQ(centredOn({-100, 20, 600, 600}, MainWindowSize), (Rect{-135, -25, 670, 690}));
}

TEST(HeaderMoves, FollowTheRightEdge) {
    const auto moves = headerMoves(653);
    EXPECT_EQ(moves[0].controlId, 24);
    EXPECT_EQ(moves[0].place, (Rect{519, 0, 115, 18}));
    EXPECT_EQ(moves[2].place, (Rect{546, 25, 105, 18}));
    EXPECT_EQ(moves[3].place, (Rect{449, 25, 55, 18}));
    EXPECT_EQ(moves[4].place, (Rect{110, 19, 269, 28}));
    EXPECT_EQ(moves[5].place, (Rect{508, 0, 1, 50}));
    EXPECT_FALSE(moves[0].repaint);
    EXPECT_TRUE(moves[5].repaint);
}

TEST(FittedSize, DocumentedSizes) {
    struct Case {
        Size picture;
        Size frame;
        Size fitted;
    };
    const Case cases[] = {
        {{640, 402}, {640, 480}, {640, 402}}, {{640, 402}, {210, 210}, {210, 131}},
        {{800, 600}, {640, 480}, {640, 480}}, {{300, 600}, {640, 480}, {240, 480}},
        {{320, 240}, {640, 480}, {640, 480}}, {{640, 480}, {210, 210}, {210, 157}},
        {{210, 131}, {210, 210}, {210, 131}}, {{1, 1}, {640, 480}, {480, 480}},
        {{0, 10}, {640, 480}, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fittedSize(c.picture, c.frame), c.fitted) << c.picture.width << "x" << c.picture.height;
    }
}

TEST(PictureFramePlace, CentresNarrowAndShortPictures) {
    const Size frame{640, 480};
    EXPECT_EQ(pictureFramePlace(frame, Size{640, 480}), (Rect{5, 5, 640, 480}));
    EXPECT_EQ(pictureFramePlace(frame, Size{600, 480}), (Rect{20, 5, 600, 480}));
    EXPECT_EQ(pictureFramePlace(frame, Size{640, 402}), (Rect{5, 44, 640, 402}));
    EXPECT_EQ(pictureFramePlace(frame, Size{240, 480}), (Rect{200, 5, 240, 480}));
    EXPECT_EQ(pictureFramePlace(frame, std::nullopt), (Rect{5, 5, 640, 480}));
}

TEST(Navigation, ArrowsWrapAround) {
    EXPECT_EQ(nextQuestion(0, 3), 1);
    EXPECT_EQ(nextQuestion(2, 3), 0);
    EXPECT_EQ(previousQuestion(0, 3), 2);
    EXPECT_EQ(previousQuestion(1, 3), 0);
    EXPECT_EQ(nextQuestion(0, 1), 0);
    EXPECT_EQ(previousQuestion(0, 1), 0);
    EXPECT_EQ(nextQuestion(0, 0), 0);
    EXPECT_EQ(previousQuestion(0, 0), 0);
    EXPECT_EQ(firstSlotOf(0, 2), 1);
    EXPECT_EQ(firstSlotOf(3, 2), 7);
    EXPECT_EQ(firstSlotOf(3, 1), 4);
}

}  // namespace
