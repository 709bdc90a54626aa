#pragma once
// Arithmetic of the scrolling overview: where every control of every question
// goes, how big the content is, and how the scroll requests move it. The
// Windows panel only applies these numbers.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "resources/contract_ids.h"

struct OverviewShape {
    int questionCount = 0;       // N
    int answersPerQuestion = 1;  // A, 1 or 2
    bool showPictures = true;
    bool comments = false;       // comment mode above 1: a comment label per question
    Size frame{210, 210};        // W x H, the picture frame of the overview
};

// The controls of question j (1-based), in content coordinates.
struct OverviewQuestionPlace {
    int rowTop = 0;
    std::optional<Rect> picture;                   // frame 9900 + j, with pictures only
    Rect number;                                   // label 153, "j."
    std::array<Rect, 2> fields{};                  // 4000 + s, the first A are used
    std::array<Rect, 2> verdicts{};                // 5000 + s
    std::optional<Rect> comment;                   // 8000 + j, with comments only
    std::optional<std::array<Rect, 2>> answerNames;  // labels 156, first of a row when A = 2
};

struct OverviewLayout {
    std::vector<OverviewQuestionPlace> questions;  // question j at j - 1
    Size content;
};

// The number label of question j (1-based): "j.".
std::string questionNumberText(int question);

// Rows are three questions wide. `pictures` holds the scaled size of the
// picture of question j at j - 1 for j = 1 ... 3 x rows (a row measures all
// three of its pictures, even past the last question); a missing entry or
// none counts as W x 0. Without pictures the fields sit 10 below the row top.
OverviewLayout layoutOverview(const OverviewShape& shape, std::span<const std::optional<Size>> pictures);

// How many pictures a layout of `questionCount` questions measures.
int measuredPictureCount(int questionCount);

// The horizontal and vertical scroll bars for content of `content` pixels in
// a client of `client` pixels: range 0 ... maximum, page size, and whether the
// position goes back to 0 because everything fits.
struct ScrollBarSetting {
    int maximum = 0;
    int page = 0;
    bool fits = false;
};
ScrollBarSetting scrollBarSetting(int content, int client);

// The request codes of WM_VSCROLL and WM_HSCROLL, with the system's values
// (SB_LINEUP ... SB_BOTTOM; the horizontal names mean the same steps).
enum ScrollCode : int {
    ScrollLineUp = 0,
    ScrollLineDown = 1,
    ScrollPageUp = 2,
    ScrollPageDown = 3,
    ScrollThumbPosition = 4,
    ScrollThumbTrack = 5,
    ScrollTop = 6,
    ScrollBottom = 7,
};

// The position after a scroll request, before the bar limits it: `code` is a
// ScrollCode or one of the private codes: the wheel's (WheelScrollDown 50
// pixels toward the bottom, WheelScrollUp 50 toward the top) and the Tab
// target's (ScrollToTabTarget).

struct ScrollBarState {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};
int verticalScrollRequest(int code, const ScrollBarState& bar, int frameHeight, int target);
int horizontalScrollRequest(int code, const ScrollBarState& bar);

// A wheel notch as the overview's private scroll code: WheelScrollUp for one
// notch away from the user (+120), WheelScrollDown towards (-120); nothing for
// any other step.
std::optional<int> wheelScrollCode(int wheelDelta);


// The vertical position that shows the field [fieldTop, fieldBottom) whole,
// with its question's block [blockTop, blockBottom) too when that fits in the
// page; `position` itself when the field is already in view.
int positionShowing(int position, int page, int blockTop, int blockBottom, int fieldTop, int fieldBottom);

// Labels on the quiz background are black on a light one, white on a dark one;
// blue plays no part.
bool overviewTextIsBlack(int red, int green);
