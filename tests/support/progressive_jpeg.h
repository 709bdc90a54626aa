#pragma once
// tests/data/pictures/progressive.jpg (64 x 48, the four quadrants, written by
// ImageMagick): our codec library writes no progressive JPEG, and the file is
// carried inside the test program so that it runs under Wine as natively.

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> progressiveJpeg();
