#pragma once
// The row conversions' x86 vector paths, for png_rows.cpp to choose from by level.

#include <cstdint>

#include "pictures/png/simd_level.h"

// Converts the first pixels or samples of `count` from `in` to `out`, as
// many as whole vector steps hold; returns how many, the caller doing the rest.
using RowConversion = std::uint32_t (*)(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count);

// A level's conversions; null where the level has none.
struct RowKernels {
    RowConversion swapRedBlue3 = nullptr;  // R, G, B to B, G, R
    RowConversion swapRedBlue4 = nullptr;  // R, G, B, A to B, G, R, A
    RowConversion everySecondByte = nullptr;  // out[i] = in[2i]: 16-bit samples' high bytes, grey without alpha
    RowConversion everyFourthByte = nullptr;  // out[i] = in[4i]: 16-bit grey without alpha
};

// Null for Scalar, and where there is no x86 path.
const RowKernels* x86RowKernels(SimdLevel level);
