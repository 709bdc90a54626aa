#pragma once
// A bitmap as a .bmp file: the 14-byte file header, the same 40-byte header
// the player gives its DIB (negative height: rows top-down), the colour table
// and the rows.

#include <cstdint>
#include <span>
#include <vector>

#include "pictures/png/png_decoder.h"

std::vector<std::uint8_t> bmpFileBytes(const PngBitmapLayout& layout, std::span<const std::uint8_t> rows);
