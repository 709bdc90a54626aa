#include "panels/single_question_layout.h"

Rect pictureFramePlace(Size frame, std::optional<Size> bitmap) {
    const Size shown = bitmap.value_or(frame);
    if (shown.width != frame.width) return {(frame.width - shown.width) / 2, 5, shown.width, frame.height};
    if (shown.height != frame.height) return {5, 5 + (frame.height - shown.height) / 2, frame.width, shown.height};
    return {5, 5, frame.width, frame.height};
}

std::string questionItemText(int index) {
    std::string item = "Image n\xB0";
    item += std::to_string(index + 1);
    return item;
}
