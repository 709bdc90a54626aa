#include "pictures/png/png_filters.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Three- and four-byte pixels, one pixel per step in 16-bit lanes: the
// filters depend on the pixel just written, so the work runs across channels.
// A pixel's bytes widened to 16-bit lanes. `Wide` reads and writes 4 bytes
// even for 3-byte pixels: every pixel but a row's last has a byte after it,
// which the next pixel then overwrites; going through memory byte by byte
// would stall on store forwarding.
template <std::size_t Bytes>
__m128i loadPixel(const std::uint8_t* p) {
    std::uint32_t word = 0;
    std::memcpy(&word, p, Bytes);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(word)), _mm_setzero_si128());
}

template <std::size_t Bytes>
void storePixel(std::uint8_t* p, __m128i pixel) {
    const auto word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(pixel, pixel)));
    std::memcpy(p, &word, Bytes);
}

inline __m128i absolute(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

struct PaethState {
    __m128i a = _mm_setzero_si128();  // left
    __m128i c = _mm_setzero_si128();  // upper left
};

template <std::size_t Bytes>
inline void paethPixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, PaethState& s) {
    const __m128i b = loadPixel<Bytes>(previous);
    const __m128i x = loadPixel<Bytes>(in);
    const __m128i bc = _mm_sub_epi16(b, s.c);
    const __m128i ac = _mm_sub_epi16(s.a, s.c);
    const __m128i pa = absolute(bc);
    const __m128i pb = absolute(ac);
    const __m128i pc = absolute(_mm_add_epi16(bc, ac));
    const __m128i smallest = _mm_min_epi16(pa, _mm_min_epi16(pb, pc));
    __m128i predicted = select(_mm_cmpeq_epi16(pb, smallest), b, s.c);
    predicted = select(_mm_cmpeq_epi16(pa, smallest), s.a, predicted);
    s.a = _mm_and_si128(_mm_add_epi16(x, predicted), _mm_set1_epi16(0xFF));
    storePixel<Bytes>(out, s.a);
    s.c = b;
}

template <std::size_t Bpp>
void paethPixels(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length) {
    PaethState state;
    std::size_t i = 0;
    for (; i + Bpp < length; i += Bpp) paethPixel<4>(in + i, out + i, previous + i, state);
    paethPixel<Bpp>(in + i, out + i, previous + i, state);
}

template <std::size_t Bytes>
inline void averagePixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, __m128i& a) {
    const __m128i b = loadPixel<Bytes>(previous);
    const __m128i x = loadPixel<Bytes>(in);
    a = _mm_and_si128(_mm_add_epi16(x, _mm_srli_epi16(_mm_add_epi16(a, b), 1)), _mm_set1_epi16(0xFF));
    storePixel<Bytes>(out, a);
}

template <std::size_t Bpp>
void averagePixels(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length) {
    __m128i a = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + Bpp < length; i += Bpp) averagePixel<4>(in + i, out + i, previous + i, a);
    averagePixel<Bpp>(in + i, out + i, previous + i, a);
}
#endif

// How a filter that reads the left neighbour is undone: one-byte pixels byte
// by byte, three- and four-byte pixels a whole pixel at a time where SSE2 is
// there, any other size channel by channel.
using RowKernel = void (*)(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous, std::size_t length);
using PixelKernel = void (*)(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                             std::size_t length, std::size_t bpp);
struct NeighbourFilter {
    RowKernel bytes;
    RowKernel pixels3;  // null: none
    RowKernel pixels4;  // null: none
    PixelKernel anyPixels;
};

#if defined(__SSE2__)
constexpr NeighbourFilter Average{averageBytes, averagePixels<3>, averagePixels<4>, averageScalar};
constexpr NeighbourFilter Paeth{paethBytes, paethPixels<3>, paethPixels<4>, paethScalar};
#else
constexpr NeighbourFilter Average{averageBytes, nullptr, nullptr, averageScalar};
constexpr NeighbourFilter Paeth{paethBytes, nullptr, nullptr, paethScalar};
#endif

inline void undo(const NeighbourFilter& filter, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp) {
    if (bpp == 1) return filter.bytes(in, out, previous, length);
    const bool wholePixels = length != 0 && length % bpp == 0;
    if (filter.pixels3 != nullptr && bpp == 3 && wholePixels) return filter.pixels3(in, out, previous, length);
    if (filter.pixels4 != nullptr && bpp == 4 && wholePixels) return filter.pixels4(in, out, previous, length);
    filter.anyPixels(in, out, previous, length, bpp);
}

enum FilterType : std::uint8_t { FilterNone = 0, FilterSub = 1, FilterUp = 2, FilterAverage = 3, FilterPaeth = 4 };

}  // namespace

bool unfilterRow(std::uint8_t type, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp) {
    switch (type) {
        case FilterNone: std::memcpy(out, in, length); return true;
        case FilterSub:
            if (bpp == 1) {
                subBytes(in, out, length);
            } else {
                sub(in, out, length, bpp);
            }
            return true;
        case FilterUp: up(in, out, previous, length); return true;
        case FilterAverage: undo(Average, in, out, previous, length, bpp); return true;
        case FilterPaeth: undo(Paeth, in, out, previous, length, bpp); return true;
        default: return false;
    }
}
