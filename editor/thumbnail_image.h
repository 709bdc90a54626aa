#pragma once
// A list thumbnail's pixels: a decoded picture fitted within a tile, its
// proportions kept, centred on the tile's background (which also shows
// through any transparency). Portable, so that the Atelier makes thumbnails
// on a thread of their own.

#include "content/quiz_record.h"
#include "picture_preparation/image.h"

// RGB, `tile` in size; empty when memory ran out or `tile` is empty.
Image thumbnailImage(ImageView picture, ImageSize tile, Rgb background);
