#pragma once
// The size a picture file declares in its header, read before anything is
// decoded, so that a picture too large or with a side of 0 pixels is refused
// before the decoder allocates for it.

#include <cstdint>
#include <optional>
#include <span>

#include "picture_preparation/image.h"
#include "picture_preparation/picture_check.h"

// None when the header is missing or cut short.
std::optional<ImageSize> declaredSize(PictureFormat format, std::span<const std::uint8_t> bytes);
