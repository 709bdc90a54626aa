#pragma once
// Unfiltered rows made into the bitmap's pixel format (B, G, R (, A); 16-bit
// samples cut to their high byte; grey's alpha dropped; 2-bit samples
// widened to 4), and the rows of Adam7 passes put in place in the bitmap.

#include <cstddef>
#include <cstdint>

struct RowFormat {
    std::uint8_t colourType;  // a PngColourType
    std::uint8_t bitDepth;
};

// The scratch bytes convertRow needs for `pixels` pixels.
std::size_t conversionScratchBytes(std::uint32_t pixels);

// Writes `pixels` pixels of the unfiltered row `in` to `out` in the bitmap's
// format; `scratch` (conversionScratchBytes) may be overwritten.
void convertRow(RowFormat format, const std::uint8_t* in, std::uint8_t* out, std::uint8_t* scratch,
                std::uint32_t pixels);

// Where a pass row's pixels go: pixel i of the row to pixel x0 + i * dx.
struct PassPlacement {
    std::uint32_t x0;
    std::uint32_t dx;
};

// Puts the `pixels` converted pixels of `row` (`bits` per pixel: 1, 4, 8, 24
// or 32) into the bitmap row `target` where `placement` says, ORed into
// pixels under a byte, so the other passes' pixels stay; the row must start
// zeroed.
void placePassRow(std::uint16_t bits, const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target,
                  PassPlacement placement);
