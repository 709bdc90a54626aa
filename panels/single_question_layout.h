#pragma once
// Arithmetic of the single-question view: where the picture frame goes, and
// the selector's items.

#include <optional>
#include <string>

#include "common/geometry.h"

// The frame's place for a bitmap of `bitmap` size (none: the frame keeps the
// full W x H at 5, 5). A narrower bitmap is centred across without the 5-pixel
// margin; a shorter one is centred down with it.
Rect pictureFramePlace(Size frame, std::optional<Size> bitmap);

// The question selector's item for question `index` (0-based): "Image n°k".
std::string questionItemText(int index);
