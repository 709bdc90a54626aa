#pragma once
// Integer steps on decoded samples, the same on every system: is a picture
// opaque, its transparency flattened onto a colour, and a fast reduction by
// whole blocks before the cubic filter does the fine scaling.

#include <cstdint>

#include "picture_preparation/image.h"
#include "content/quiz_record.h"

// True when the image has no alpha channel, or every pixel's alpha is 255.
bool isOpaque(ImageView image);

// An image with alpha (2 or 4 channels) as RGB over `background`.
Image flattenOnto(ImageView image, Rgb background);

// A CMYK image (4 channels) as RGB: each ink takes its share of the light
// away. Adobe's files store the inks inverted (255 for no ink).
Image rgbOfCmyk(ImageView image, bool inverted);

// Each `factor` x `factor` block averaged into one pixel, rounded; the last
// columns and rows that make no whole block are dropped.
Image shrinkByBlocks(ImageView image, std::uint32_t factor);
