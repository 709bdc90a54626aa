#include "pictures/png/png_filters_x86.h"

#if defined(ZORBEL_X86_SIMD)

#include <emmintrin.h>
#include <smmintrin.h>

#include <cstring>

// The neighbour filters depend on the pixel just written, so the work runs
// across a pixel's channels: one pixel per step, in a register. A pixel that
// is not a row's last moves as 4 or 8 bytes even when it has 3 or 6 (the
// next pixel's first bytes, which the next step then overwrites): whole
// registers, where byte by byte would stall on store forwarding. Lanes never
// mix, so the extra bytes change nothing.

namespace {

constexpr std::size_t wideBytes(std::size_t bpp) { return bpp == 3 ? 4 : bpp == 6 ? 8 : bpp; }

template <std::size_t Bytes>
ZORBEL_TARGET("sse2") inline __m128i loadBytes(const std::uint8_t* p) {
    if constexpr (Bytes == 4) {
        std::int32_t word = 0;
        std::memcpy(&word, p, 4);
        return _mm_cvtsi32_si128(word);
    } else if constexpr (Bytes == 8) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    } else {
        std::uint8_t bytes[8] = {};
        std::memcpy(bytes, p, Bytes);
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
    }
}

template <std::size_t Bytes>
ZORBEL_TARGET("sse2") inline void storeBytes(std::uint8_t* p, __m128i x) {
    if constexpr (Bytes == 4) {
        const std::int32_t word = _mm_cvtsi128_si32(x);
        std::memcpy(p, &word, 4);
    } else if constexpr (Bytes == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), x);
    } else {
        std::uint8_t bytes[8];
        _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), x);
        std::memcpy(p, bytes, Bytes);
    }
}

// A pixel's bytes in 16-bit lanes, where sums and differences fit.
template <std::size_t Bytes>
ZORBEL_TARGET("sse2") inline __m128i loadWide(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(loadBytes<Bytes>(p), _mm_setzero_si128());
}

template <std::size_t Bytes>
ZORBEL_TARGET("sse2") inline void storeWide(std::uint8_t* p, __m128i lanes) {
    storeBytes<Bytes>(p, _mm_packus_epi16(lanes, lanes));
}

ZORBEL_TARGET("sse2") inline __m128i addModulo256(__m128i x, __m128i y) {
    return _mm_and_si128(_mm_add_epi16(x, y), _mm_set1_epi16(0xFF));
}

// Runs a step over a row of whole pixels; only the last pixel moves as
// exactly its size, so nothing past the row is read or written. Inlined
// into the kernels below, which are compiled for their level.
template <typename Step, std::size_t Bpp>
ZORBEL_ALWAYS_INLINE void eachPixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                                    std::size_t length) {
    Step step;
    step.begin();
    std::size_t i = 0;
    for (; i + Bpp < length; i += Bpp) step.template pixel<wideBytes(Bpp)>(in + i, out + i, previous + i);
    step.template pixel<Bpp>(in + i, out + i, previous + i);
}

template <typename Step, std::size_t Bpp>
ZORBEL_TARGET("sse2") void pixelsSse2(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                                      std::size_t length) {
    eachPixel<Step, Bpp>(in, out, previous, length);
}

template <typename Step, std::size_t Bpp>
ZORBEL_TARGET("sse4.1") void pixelsSse41(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                                         std::size_t length) {
    eachPixel<Step, Bpp>(in, out, previous, length);
}

struct SubStep {
    __m128i left;
    ZORBEL_TARGET("sse2") void begin() { left = _mm_setzero_si128(); }
    template <std::size_t Bytes>
    ZORBEL_TARGET("sse2") void pixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t*) {
        left = _mm_add_epi8(loadBytes<Bytes>(in), left);
        storeBytes<Bytes>(out, left);
    }
};

// Kept inverted (255 - left), the left neighbour needs two instructions a
// pixel: SSE2's rounding-up byte average of inverted values is the inverse
// of the rounding-down average, so 255 - left' = avg(255 - left, 255 - up) - x.
struct AverageStep {
    __m128i invertedLeft;
    ZORBEL_TARGET("sse2") void begin() { invertedLeft = _mm_set1_epi8(-1); }  // left 0
    template <std::size_t Bytes>
    ZORBEL_TARGET("sse2") void pixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous) {
        const __m128i ones = _mm_set1_epi8(-1);
        const __m128i invertedUp = _mm_xor_si128(loadBytes<Bytes>(previous), ones);
        invertedLeft = _mm_sub_epi8(_mm_avg_epu8(invertedLeft, invertedUp), loadBytes<Bytes>(in));
        storeBytes<Bytes>(out, _mm_xor_si128(invertedLeft, ones));
    }
};

// The Paeth predictor in 16-bit lanes: a left, b up, c up-left; ties go to
// a, then b. pa = |b - c| (known before a is), pb = |a - c|,
// pc = |a + b - 2c|; a unless pa > min(pb, pc), else b unless pb > pc.
ZORBEL_TARGET("sse2") inline __m128i absolute(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

ZORBEL_TARGET("sse2") inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

ZORBEL_TARGET("sse2") inline __m128i paethSse2(__m128i a, __m128i b, __m128i c) {
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pb = absolute(ac);
    const __m128i nearest = _mm_min_epi16(pb, absolute(_mm_add_epi16(bc, ac)));
    const __m128i upOrUpLeft = select(_mm_cmpeq_epi16(pb, nearest), b, c);
    return select(_mm_cmpgt_epi16(absolute(bc), nearest), upOrUpLeft, a);
}

// The same with SSSE3's absolute value and SSE4.1's blend: a shorter chain
// from one pixel to the next.
ZORBEL_TARGET("sse4.1") inline __m128i paethSse41(__m128i a, __m128i b, __m128i c) {
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pb = _mm_abs_epi16(ac);
    const __m128i nearest = _mm_min_epi16(pb, _mm_abs_epi16(_mm_add_epi16(bc, ac)));
    const __m128i upOrUpLeft = _mm_blendv_epi8(c, b, _mm_cmpeq_epi16(pb, nearest));
    return _mm_blendv_epi8(a, upOrUpLeft, _mm_cmpgt_epi16(_mm_abs_epi16(bc), nearest));
}

struct PaethState {
    __m128i left;
    __m128i upLeft;
    ZORBEL_TARGET("sse2") void begin() {
        left = _mm_setzero_si128();
        upLeft = _mm_setzero_si128();
    }
    // Adds the prediction to the filtered pixel, writes it and moves along.
    template <std::size_t Bytes>
    ZORBEL_TARGET("sse2") void finish(const std::uint8_t* in, std::uint8_t* out, __m128i up, __m128i predicted) {
        left = addModulo256(loadWide<Bytes>(in), predicted);
        storeWide<Bytes>(out, left);
        upLeft = up;
    }
};

struct PaethStepSse2 : PaethState {
    template <std::size_t Bytes>
    ZORBEL_TARGET("sse2") void pixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous) {
        const __m128i up = loadWide<Bytes>(previous);
        finish<Bytes>(in, out, up, paethSse2(left, up, upLeft));
    }
};

struct PaethStepSse41 : PaethState {
    template <std::size_t Bytes>
    ZORBEL_TARGET("sse4.1") void pixel(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous) {
        const __m128i up = loadWide<Bytes>(previous);
        finish<Bytes>(in, out, up, paethSse41(left, up, upLeft));
    }
};

ZORBEL_TARGET("sse2") void upRow(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                                 std::size_t length) {
    std::size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_add_epi8(x, b));
    }
    for (; i < length; ++i) out[i] = static_cast<std::uint8_t>(in[i] + previous[i]);
}

// Indexed by bytes per pixel.
template <FilterRowKernel Three, FilterRowKernel Four, FilterRowKernel Six, FilterRowKernel Eight>
constexpr std::array<FilterRowKernel, 9> PixelSizes{nullptr, nullptr, nullptr, Three, Four, nullptr, Six, nullptr, Eight};

template <typename Step>
constexpr std::array<FilterRowKernel, 9> Sse2BySize =
    PixelSizes<pixelsSse2<Step, 3>, pixelsSse2<Step, 4>, pixelsSse2<Step, 6>, pixelsSse2<Step, 8>>;

constexpr FilterKernels Sse2Kernels{upRow, Sse2BySize<SubStep>, Sse2BySize<AverageStep>, Sse2BySize<PaethStepSse2>};

constexpr FilterKernels Sse41Kernels{
    upRow,
    Sse2BySize<SubStep>,
    Sse2BySize<AverageStep>,
    PixelSizes<pixelsSse41<PaethStepSse41, 3>, pixelsSse41<PaethStepSse41, 4>, pixelsSse41<PaethStepSse41, 6>,
               pixelsSse41<PaethStepSse41, 8>>,
};

}  // namespace

const FilterKernels* x86FilterKernels(SimdLevel level) {
    switch (level) {
        case SimdLevel::Scalar: return nullptr;
        case SimdLevel::Sse2:
        case SimdLevel::Ssse3: return &Sse2Kernels;
        case SimdLevel::Sse41: return &Sse41Kernels;
    }
    return nullptr;
}

#else

const FilterKernels* x86FilterKernels(SimdLevel) { return nullptr; }

#endif
