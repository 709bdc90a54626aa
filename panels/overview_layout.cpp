#include "panels/overview_layout.h"

#include <algorithm>

namespace {

constexpr int RowGap = 30;
constexpr int RowsOffsetWithoutPictures = 10;
constexpr int SecondAnswerStep = 19;
constexpr int WheelStep = 50;  // pixels a wheel notch scrolls

int columnLeft(int column, const OverviewShape& shape) {
    return column * (shape.frame.width + RowGap) + (shape.answersPerQuestion == 2 ? 106 : 46);
}

Size pictureOrEmpty(std::span<const std::optional<Size>> pictures, int index, Size frame) {
    if (index < static_cast<int>(pictures.size()) && pictures[static_cast<std::size_t>(index)]) {
        return *pictures[static_cast<std::size_t>(index)];
    }
    return {frame.width, 0};
}

void placeAnswers(OverviewQuestionPlace& place, const OverviewShape& shape, int left, int fieldTop) {
    const int fieldWidth = shape.showPictures ? shape.frame.width : shape.frame.width - 20;
    if (shape.answersPerQuestion == 2) {
        for (int k = 0; k < 2; ++k) {
            const int top = fieldTop + SecondAnswerStep * k;
            place.fields[static_cast<std::size_t>(k)] = {left, top, fieldWidth - 59, 20};
            place.verdicts[static_cast<std::size_t>(k)] = {left + fieldWidth - 60, top, 60, 20};
        }
    } else {
        place.fields[0] = {left, fieldTop, fieldWidth, 20};
        place.verdicts[0] = {left, fieldTop + SecondAnswerStep, fieldWidth, 20};
    }
}

}  // namespace

int measuredPictureCount(int questionCount) { return (std::max(questionCount, 0) + 2) / 3 * 3; }

OverviewLayout layoutOverview(const OverviewShape& shape, std::span<const std::optional<Size>> pictures) {
    const Size frame = shape.frame;
    const int rowExtra = shape.comments ? 140 : 60;
    OverviewLayout layout;
    layout.questions.reserve(static_cast<std::size_t>(std::max(shape.questionCount, 0)));

    int rowTop = 5;
    int rowOffset = RowsOffsetWithoutPictures;
    int rowPictureHeight = 0;
    for (int j = 1; j <= shape.questionCount; ++j) {
        const int column = (j + 2) % 3;
        const int left = columnLeft(column, shape);
        OverviewQuestionPlace place;
        place.rowTop = rowTop;

        if (shape.showPictures) {
            if (column == 0) {
                rowPictureHeight = 0;
                for (int k = 0; k < 3; ++k) {
                    rowPictureHeight = std::max(rowPictureHeight, pictureOrEmpty(pictures, j - 1 + k, frame).height);
                }
                rowOffset = rowPictureHeight + 10;
            }
            const Size picture = pictureOrEmpty(pictures, j - 1, frame);
            place.picture = Rect{left + (frame.width - picture.width) / 2,
                                 rowTop + (rowPictureHeight - picture.height) / 2, picture.width, picture.height};
        }

        const int fieldTop = rowTop + rowOffset;
        if (shape.answersPerQuestion == 2 && column == 0) {
            place.answerNames = std::array<Rect, 2>{Rect{4, fieldTop + 2, 95, 20}, Rect{3, fieldTop + 22, 95, 20}};
        }
        place.number = {left - 28, fieldTop + 2, 27, 17};
        placeAnswers(place, shape, left, fieldTop);
        if (shape.comments) place.comment = Rect{left, fieldTop + 46, frame.width, 65};
        layout.questions.push_back(place);

        if (column == 2) rowTop = fieldTop + rowExtra;
        if (column == 0) layout.content = {3 * frame.width + 110, fieldTop + rowExtra};
    }
    layout.content.width += shape.answersPerQuestion == 2 ? 80 : 20;
    return layout;
}

ScrollBarSetting scrollBarSetting(int content, int client) {
    const bool fits = content <= client;
    const int page = fits ? content : client;
    return {content - 2, page - 1, fits};
}

int verticalScrollRequest(int code, const ScrollBarState& bar, int frameHeight, int target) {
    // A line is a row of pictures with the fields beneath them.
    const int line = frameHeight + 50;
    switch (code) {
        case ScrollLineUp: return bar.position - line;
        case ScrollLineDown: return bar.position + line;
        case ScrollPageUp: return bar.position - bar.page;
        case ScrollPageDown: return bar.position + bar.page;
        case ScrollThumbTrack: return bar.trackPosition;
        case ScrollTop: return 0;
        case ScrollBottom: return bar.maximum;
        case WheelScrollDown: return bar.position + WheelStep;
        case WheelScrollUp: return bar.position - WheelStep;
        case ScrollToTabTarget: return target;
        default: return bar.position;
    }
}

int horizontalScrollRequest(int code, const ScrollBarState& bar) {
    switch (code) {
        case ScrollLineUp: return bar.position - 1;
        case ScrollLineDown: return bar.position + 1;
        case ScrollPageUp: return bar.position - bar.page;
        case ScrollPageDown: return bar.position + bar.page;
        case ScrollThumbTrack: return bar.trackPosition;
        default: return bar.position;
    }
}

std::optional<int> wheelScrollCode(int wheelDelta) {
    constexpr int Notch = 120;
    if (wheelDelta == Notch) return WheelScrollUp;
    if (wheelDelta == -Notch) return WheelScrollDown;
    return std::nullopt;
}

int positionShowing(int position, int page, int blockTop, int blockBottom, int fieldTop, int fieldBottom) {
    if (fieldTop >= position && fieldBottom <= position + page) return position;
    const bool blockFits = blockBottom - blockTop <= page;
    const int top = blockFits ? blockTop : fieldTop;
    const int bottom = blockFits ? blockBottom : fieldBottom;
    return top < position ? top : bottom - page;
}

bool overviewTextIsBlack(int red, int green) { return red > 69 || green > 69; }

std::string questionNumberText(int question) {
    std::string number = std::to_string(question);
    number += '.';
    return number;
}
