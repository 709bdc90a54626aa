#include <gtest/gtest.h>

#include <vector>

#include "panels/overview_layout.h"
#include "session/question_order.h"

namespace {

// The overview's frame turns every carried 640 x 402 picture into 210 x 131.
constexpr Size Carried{210, 131};

std::vector<std::optional<Size>> allPictures(int questionCount, Size size = Carried) {
    return std::vector<std::optional<Size>>(static_cast<std::size_t>(measuredPictureCount(questionCount)), size);
}

OverviewLayout layout(int questions, int answers, bool comments, const std::vector<std::optional<Size>>& pictures) {
    return layoutOverview({questions, answers, true, comments, {210, 210}}, pictures);
}

TEST(OverviewLayout, FirstRowOfAOneAnswerQuizWithComments) {
    const OverviewLayout l = layout(6, 1, true, allPictures(6));
    const int lefts[] = {46, 286, 526};
    for (int column = 0; column < 3; ++column) {
        const OverviewQuestionPlace& q = l.questions[static_cast<std::size_t>(column)];
        EXPECT_EQ(q.picture, (Rect{lefts[column], 5, 210, 131})) << "column " << column;
        EXPECT_EQ(q.fields[0], (Rect{lefts[column], 146, 210, 20}));
        EXPECT_EQ(q.verdicts[0], (Rect{lefts[column], 165, 210, 20}));
        EXPECT_EQ(q.comment, (Rect{lefts[column], 192, 210, 65}));
        EXPECT_EQ(q.number, (Rect{lefts[column] - 28, 148, 27, 17}));
        EXPECT_FALSE(q.answerNames.has_value());
    }
    EXPECT_EQ(l.questions[3].rowTop, 286) << "second row";
    EXPECT_EQ(l.questions[3].picture->y, 286);
    EXPECT_EQ(l.content, (Size{760, 286 + 141 + 140}));
}

TEST(OverviewLayout, TwoAnswersPerQuestion) {
    const OverviewLayout l = layout(3, 2, false, allPictures(3));
    const int lefts[] = {106, 346, 586};
    for (int column = 0; column < 3; ++column) {
        const OverviewQuestionPlace& q = l.questions[static_cast<std::size_t>(column)];
        EXPECT_EQ(q.picture->x, lefts[column]);
        EXPECT_EQ(q.fields[0], (Rect{lefts[column], 146, 151, 20}));
        EXPECT_EQ(q.fields[1], (Rect{lefts[column], 165, 151, 20}));
        EXPECT_EQ(q.verdicts[0], (Rect{lefts[column] + 150, 146, 60, 20}));
        EXPECT_EQ(q.verdicts[1], (Rect{lefts[column] + 150, 165, 60, 20}));
        EXPECT_FALSE(q.comment.has_value());
        EXPECT_EQ(q.answerNames.has_value(), column == 0) << "the answer names once per row, at the left edge";
    }
    EXPECT_EQ((*l.questions[0].answerNames)[0], (Rect{4, 148, 95, 20}));
    EXPECT_EQ((*l.questions[0].answerNames)[1], (Rect{3, 168, 95, 20}));
    EXPECT_EQ(l.content.width, 820);
}

TEST(OverviewLayout, RowTakesItsTallestPictureAndCentresTheOthers) {
    const std::vector<std::optional<Size>> pictures{Size{210, 157}, Size{210, 210}, Size{140, 140}};
    const OverviewLayout l = layout(3, 1, false, pictures);
    EXPECT_EQ(l.questions[0].picture, (Rect{46, 5 + 26, 210, 157})) << "53 / 2 below the row top";
    EXPECT_EQ(l.questions[1].picture, (Rect{286, 5, 210, 210}));
    EXPECT_EQ(l.questions[2].picture, (Rect{526 + 35, 5 + 35, 140, 140}));
    EXPECT_EQ(l.questions[0].fields[0].y, 5 + 210 + 10);
}

TEST(OverviewLayout, SevenQuestionsMeasureTheWholeLastRow) {
    auto pictures = allPictures(7);
    ASSERT_EQ(pictures.size(), 9u) << "pictures 408 and 409 are looked up too";
    const OverviewLayout plain = layout(7, 1, false, pictures);
    ASSERT_EQ(plain.questions.size(), 7u);
    const OverviewQuestionPlace& seventh = plain.questions[6];
    EXPECT_EQ(seventh.picture->x, 46) << "column 0 of the third row";
    EXPECT_EQ(seventh.rowTop, 5 + 2 * (141 + 60));
    EXPECT_EQ(plain.content.height, seventh.fields[0].y + 60);
    EXPECT_EQ(layout(7, 1, true, pictures).content.height, layout(7, 1, true, pictures).questions[6].fields[0].y + 140);

    pictures[8] = Size{160, 210};  // a taller picture beyond the last question
    EXPECT_EQ(layout(7, 1, false, pictures).questions[6].fields[0].y, seventh.rowTop + 220);
}

TEST(OverviewLayout, MissingPicturesCountAsEmptyFullWidthFrames) {
    const OverviewLayout l = layout(2, 1, false, {});
    EXPECT_EQ(l.questions[0].picture, (Rect{46, 5, 210, 0}));
    EXPECT_EQ(l.questions[0].fields[0].y, 15);
}

TEST(OverviewLayout, WithoutPicturesTheFieldsSitTenBelowTheRowAndAreNarrower) {
    const OverviewLayout l = layoutOverview({4, 1, false, true, {210, 210}}, allPictures(4));
    EXPECT_FALSE(l.questions[0].picture.has_value());
    EXPECT_EQ(l.questions[0].fields[0], (Rect{46, 15, 190, 20}));
    EXPECT_EQ(l.questions[0].verdicts[0], (Rect{46, 34, 190, 20}));
    EXPECT_EQ(l.questions[3].rowTop, 15 + 140);
    EXPECT_EQ(l.content, (Size{760, 155 + 10 + 140}));
}

TEST(OverviewLayout, NoQuestions) {
    const OverviewLayout l = layout(0, 1, false, {});
    EXPECT_TRUE(l.questions.empty());
    EXPECT_EQ(l.content, (Size{20, 0}));
    EXPECT_EQ(measuredPictureCount(0), 0);
}

TEST(OverviewScrolling, BarsForContentThatFitsOrNot) {
    const ScrollBarSetting fits = scrollBarSetting(500, 588);
    EXPECT_TRUE(fits.fits);
    const ScrollBarSetting tall = scrollBarSetting(1500, 588);
    EXPECT_FALSE(tall.fits);
    EXPECT_EQ(tall.maximum, 1498);
    EXPECT_EQ(tall.page, 587);
    // A bar's largest position is its maximum less the page plus one.
    EXPECT_EQ(tall.maximum - (tall.page - 1), 1500 - 588) << "the last pixel row of the content can just be reached";
}

TEST(OverviewScrolling, RequestCodes) {
    const ScrollBarState bar{0, 1498, 587, 400, 123};
    struct Case {
        int code;
        int expected;
    };
    const Case cases[] = {{0, 140},      {1, 660},  {2, -187}, {3, 987}, {4, 400}, {5, 123},   {6, 0},
                          {7, 1498},     {8, 400},  {500, 450}, {501, 350}, {502, 77}, {503, 400}};
    for (const Case& c : cases) {
        EXPECT_EQ(verticalScrollRequest(c.code, bar, 210, 77), c.expected) << "code " << c.code;
    }
    EXPECT_EQ(horizontalScrollRequest(0, bar), 399);
    EXPECT_EQ(horizontalScrollRequest(1, bar), 401);
    EXPECT_EQ(horizontalScrollRequest(3, bar), 987);
    EXPECT_EQ(horizontalScrollRequest(500, bar), 400) << "the private codes are vertical only";
}

TEST(OverviewScrolling, OnlyExactWheelNotches) {
    EXPECT_EQ(wheelScrollCode(120), WheelScrollUp);
    EXPECT_EQ(wheelScrollCode(-120), WheelScrollDown);
    for (const int delta : {0, 1, 119, 240, -240, -121}) EXPECT_EQ(wheelScrollCode(delta), std::nullopt) << delta;
}

TEST(OverviewTab, CyclesThroughEverySlot) {
    EXPECT_EQ(nextSlot(1, 7, 1), 2);
    EXPECT_EQ(nextSlot(7, 7, 1), 1);
    EXPECT_EQ(nextSlot(1, 7, -1), 7);
    EXPECT_EQ(nextSlot(4, 7, -1), 3);
    EXPECT_EQ(nextSlot(1, 1, 1), 1);
}

TEST(OverviewTab, TargetShowsTheNextFieldWhole) {
    // Page 500 tall at position 1000: the content rows 1000 ... 1499 are in view.
    EXPECT_EQ(positionShowing(1000, 500, 1100, 1300, 1200, 1220), 1000) << "already in view";
    EXPECT_EQ(positionShowing(1000, 500, 1400, 1700, 1541, 1561), 1200) << "below: the whole block comes up";
    EXPECT_EQ(positionShowing(1000, 500, 700, 900, 841, 861), 700) << "above: down to the block's top";
    EXPECT_EQ(positionShowing(1000, 500, 1400, 2000, 1541, 1561), 1061) << "a block taller than the page: the field";
    EXPECT_EQ(positionShowing(1000, 500, 1300, 1600, 1490, 1510), 1100) << "half in view is not in view";
}

TEST(OverviewColours, LightOrDarkBackgroundByRedAndGreen) {
    EXPECT_TRUE(overviewTextIsBlack(70, 0));
    EXPECT_TRUE(overviewTextIsBlack(0, 70));
    EXPECT_FALSE(overviewTextIsBlack(69, 69));
    EXPECT_FALSE(overviewTextIsBlack(0, 0));
}

}  // namespace
