#pragma once
// The turn a decoder leaves to us. Windows' HEIF and TIFF decoders hand the
// pixels as stored and name the turn they need in the frame's metadata (the
// same eight values as EXIF); a JPEG's EXIF block is read from its header by
// us, and the other formats carry none.

#include <cstdint>
#include <optional>
#include <string_view>

#include "picture_preparation/picture_check.h"

// The metadata query that names a decoded frame's orientation; empty when the
// format keeps none there.
std::string_view orientationQuery(PictureFormat format);

// A metadata value as an orientation, 1 to 8: anything else (none, 0, out of
// range) leaves the pixels as stored (1).
int orientationOfValue(std::optional<std::uint32_t> value);
