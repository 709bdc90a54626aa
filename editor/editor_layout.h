#pragma once
// Where the editor's controls go in its window: the question list on the
// left, the selected question in the middle, the quiz's settings on the
// right. Pure arithmetic; the window applies it.

#include <vector>

#include "common/geometry.h"

struct PlacedControl {
    int id;
    Rect place;
};

// Sizes are designed for 96 dots per inch and multiplied by `scale`
// (the screen's dots per inch / 96).
// The start size fits a 1366 x 768 screen with its taskbar at 96 dpi.
inline constexpr Size EditorMinimumClient{1110, 600};
inline constexpr Size EditorStartClient{1170, 640};
// The question list's thumbnails.
inline constexpr int ThumbnailWidth = 64;
inline constexpr int ThumbnailHeight = 48;

// Every control, labels included, for a client area of `client` pixels;
// with a `notedField`, the note (editorid::FieldNote) right under that field,
// what follows it in its column moved down (0: no note, none placed).
std::vector<PlacedControl> editorLayout(Size client, double scale, int notedField = 0);
// The question list's rows in sight in a client area of `client` pixels, the
// last one perhaps in part: no row is less than a thumbnail high.
int questionListRowsInSight(Size client, double scale);
