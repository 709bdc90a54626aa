#pragma once
// The filters' x86 vector paths, for png_filters.cpp to choose from by level.

#include <array>
#include <cstddef>
#include <cstdint>

#include "pictures/png/simd_level.h"

// Undoes one filter over a row of `length` bytes of whole pixels.
using FilterRowKernel = void (*)(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                                 std::size_t length);

// A level's kernels; the neighbour filters' are indexed by bytes per pixel
// (3, 4, 6 and 8 have one), null where the level has none.
struct FilterKernels {
    FilterRowKernel up = nullptr;
    std::array<FilterRowKernel, 9> sub{};
    std::array<FilterRowKernel, 9> average{};
    std::array<FilterRowKernel, 9> paeth{};
};

// Null for Scalar, and where there is no x86 path.
const FilterKernels* x86FilterKernels(SimdLevel level);
