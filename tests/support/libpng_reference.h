#pragma once
// libpng as the control for our PNG decoder: the same file decoded by libpng
// and rearranged into our bitmap layout (top-down rows padded to 4 bytes,
// 2-bit samples widened to 4 bits, 16-bit samples cut to their high byte,
// alpha of grey+alpha dropped, colour as B, G, R (, A)). No gamma, tRNS or
// background transform is applied, and checksums are ignored as far as
// libpng allows, so the pixels are the file's raw samples.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct ReferenceBitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t stride = 0;
    std::uint32_t usedColours = 0;                         // grey ramp length; 0 for a full table or none
    std::vector<std::array<std::uint8_t, 4>> colourTable;  // B, G, R, 0
    std::vector<std::uint8_t> rows;                        // stride x height
};

struct ReferenceDecode {
    bool ok = false;
    std::string error;  // libpng's message when it refused the file
    ReferenceBitmap bitmap;
};

ReferenceDecode decodeWithLibpng(std::span<const std::uint8_t> file);
