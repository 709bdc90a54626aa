#pragma once
// Pictures made in the tests: four flat quadrants of known colours, a
// photo-like texture, and the files other programs write that our codec
// library does not (a JPEG carrying an EXIF orientation, TIFF, BMP, GIF).

#include <array>
#include <cstdint>
#include <vector>

#include "picture_preparation/picture_codecs.h"

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
};

// Top left, top right, bottom left, bottom right.
using Quadrants = std::array<Rgba, 4>;

inline constexpr Rgba Red{220, 40, 40};
inline constexpr Rgba Green{40, 180, 60};
inline constexpr Rgba Blue{40, 60, 200};
inline constexpr Rgba Yellow{230, 210, 40};
inline constexpr Quadrants Upright{Red, Green, Blue, Yellow};

// 3 channels, or 4 with each quadrant's alpha.
Image quadrantImage(ImageSize size, const Quadrants& colours, std::uint32_t channels = 3);

// Smooth shading with fine noise, as a photo has (integer arithmetic only).
Image textureImage(ImageSize size, std::uint32_t seed);

// The colour at the centre of quadrant `index` (0 top left ... 3 bottom right)
// of a decoded picture.
Rgba quadrantCentre(const Image& image, std::size_t index);

// `jpeg` with an APP1 EXIF block holding `orientation` right after its SOI.
Bytes withExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian);

// An uncompressed little-endian TIFF of an RGB image, one strip, whose
// orientation tag says `orientation`.
Bytes tiffFile(const Image& image, int orientation);

// A BMP of an RGB (24 bits a pixel) or RGBA (32 bits) image, rows bottom-up.
Bytes bmpFile(const Image& image);

// A GIF89a of an RGB or RGBA image of at most 255 colours; pixels with alpha 0
// take a transparent index. The LZW codes stay 9 bits wide.
Bytes gifFile(const Image& image);
