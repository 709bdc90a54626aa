#pragma once
// The EXIF orientation of a picture applied to its pixels, so that it shows
// the way the camera's owner saw it.

#include "picture_preparation/image.h"

// Orientations 5 to 8 turn the picture a quarter: width and height swap.
bool swapsSides(int orientation);

// `image` turned and mirrored for `orientation` (1 to 8, the TIFF values: 1 as
// stored, 2 mirrored left-right, 3 turned half, 4 mirrored top-bottom, 5
// transposed, 6 turned a quarter clockwise, 7 transposed the other way, 8
// turned a quarter anticlockwise); any other value leaves it as stored.
Image orientImage(Image image, int orientation);

// The orientation that shows a picture as `orientation` does, then turned
// `quarterTurns` quarters clockwise.
int turnedOrientation(int orientation, int quarterTurns);

// The orientation that shows a picture as `first` does, then as `second`
// does to what `first` shows.
int composedOrientation(int first, int second);

// The orientation that undoes `orientation`.
int inverseOrientation(int orientation);
