#pragma once
// A BMP file's pixels, read by code of ours (only Windows has a system BMP
// decoder): uncompressed 1, 4, 8, 16, 24 or 32 bits a pixel, or bit fields of
// 16 or 32 bits; the old core header and the Windows info headers. RGB, or
// RGBA when the header gives an alpha mask and some pixel is not fully
// transparent. Compressed BMPs (RLE, or a JPEG or PNG inside) are refused.

#include <cstdint>
#include <span>

#include "picture_preparation/picture_codecs.h"

DecodedPicture readBmp(std::span<const std::uint8_t> file, std::uint64_t maxPixels);
