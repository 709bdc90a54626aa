#include "pictures/png/png_filters.h"

#include <array>
#include <cstring>

#include "pictures/png/png_filters_x86.h"

namespace {

// Ties go to the left neighbour, then the upper one, then the upper-left one.
inline std::uint8_t paethPredictor(int a, int b, int c) {
    const int pa = b > c ? b - c : c - b;                  // |p - a| with p = a + b - c
    const int pb = a > c ? a - c : c - a;                  // |p - b|
    const int pc = a + b > 2 * c ? a + b - 2 * c : 2 * c - a - b;  // |p - c|
    const int nearest = pb <= pc ? b : c;
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : nearest);
}

void sub(const std::uint8_t* in, std::uint8_t* out, std::size_t length, std::size_t bpp) {
    std::memcpy(out, in, bpp < length ? bpp : length);
    for (std::size_t i = bpp; i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - bpp]);
}

void up(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + previous[i]);
}

void averageScalar(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length,
                   std::size_t bpp) {
    std::size_t i = 0;
    for (; i < bpp && i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + (previous[i] >> 1));
    for (; i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + ((out[i - bpp] + previous[i]) >> 1));
}

// One-byte pixels: the left and upper-left bytes stay in registers, as going
// through memory puts a store-to-load delay on the chain between bytes.
void paethBytes(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length) {
    int a = 0;
    int c = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const int b = previous[i];
        a = (in[i] + paethPredictor(a, b, c)) & 0xFF;
        out[i] = static_cast<std::uint8_t>(a);
        c = b;
    }
}

void averageBytes(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length) {
    int a = 0;
    for (std::size_t i = 0; i < length; ++i) {
        a = (in[i] + ((a + previous[i]) >> 1)) & 0xFF;
        out[i] = static_cast<std::uint8_t>(a);
    }
}

void subBytes(const std::uint8_t* in, std::uint8_t* out, std::size_t length) {
    unsigned a = 0;
    for (std::size_t i = 0; i < length; ++i) {
        a = (in[i] + a) & 0xFF;
        out[i] = static_cast<std::uint8_t>(a);
    }
}

void paethScalar(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length,
                 std::size_t bpp) {
    std::size_t i = 0;
    for (; i < bpp && i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + previous[i]);
    for (; i < length; ++i) {
        out[i] = static_cast<std::uint8_t>(in[i] + paethPredictor(out[i - bpp], previous[i], previous[i - bpp]));
    }
}

// A neighbour filter's scalar kernels: one-byte pixels byte by byte, any
// other size channel by channel.
using RowKernel = void (*)(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length);
using PixelKernel = void (*)(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                             std::size_t length, std::size_t bpp);
struct NeighbourFilter {
    RowKernel bytes;
    PixelKernel anyPixels;
};

void subPixels(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t*, std::size_t length, std::size_t bpp) {
    sub(in, out, length, bpp);
}
void subRow(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t*, std::size_t length) {
    subBytes(in, out, length);
}

constexpr NeighbourFilter Sub{subRow, subPixels};
constexpr NeighbourFilter Average{averageBytes, averageScalar};
constexpr NeighbourFilter Paeth{paethBytes, paethScalar};

// The vector kernel for this pixel size, where the level has one and the
// row holds whole pixels; else the scalar one.
inline void undo(const NeighbourFilter& filter, const std::array<FilterRowKernel, 9>& vector, const std::uint8_t* in,
                 std::uint8_t* out, const std::uint8_t* previous, std::size_t length, std::size_t bpp) {
    if (bpp == 1) return filter.bytes(in, out, previous, length);
    const bool wholePixels = length != 0 && length % bpp == 0;
    if (bpp < vector.size() && vector[bpp] != nullptr && wholePixels) return vector[bpp](in, out, previous, length);
    filter.anyPixels(in, out, previous, length, bpp);
}

// The scalar level: no vector kernel at all.
constexpr FilterKernels ScalarKernels{up, {}, {}, {}};

enum FilterType : std::uint8_t { FilterNone = 0, FilterSub = 1, FilterUp = 2, FilterAverage = 3, FilterPaeth = 4 };

}  // namespace

bool unfilterRow(std::uint8_t type, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp) {
    const FilterKernels* x86 = x86FilterKernels(pngSimdLevel());
    const FilterKernels& kernels = x86 != nullptr ? *x86 : ScalarKernels;
    switch (type) {
        case FilterNone: std::memcpy(out, in, length); return true;
        case FilterSub: undo(Sub, kernels.sub, in, out, previous, length, bpp); return true;
        case FilterUp: kernels.up(in, out, previous, length); return true;
        case FilterAverage: undo(Average, kernels.average, in, out, previous, length, bpp); return true;
        case FilterPaeth: undo(Paeth, kernels.paeth, in, out, previous, length, bpp); return true;
        default: return false;
    }
}
