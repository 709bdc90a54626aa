#pragma once
// Samples scaled with a cubic (Catmull-Rom) filter: the fine part of fitting
// a picture to the frame, the same on every system.

#include "picture_preparation/image.h"

// `image` (1 to 4 channels, alpha not treated apart) scaled to `size`; an
// empty image when memory ran out.
Image resizeImage(ImageView image, ImageSize size);
