#include "pictures/png/png_rows_x86.h"

#if defined(ZORBEL_X86_SIMD)

#include <emmintrin.h>
#include <tmmintrin.h>

namespace {

ZORBEL_TARGET("sse2") inline __m128i load16(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

ZORBEL_TARGET("sse2") inline void store16(std::uint8_t* p, __m128i x) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x);
}

// Four pixels a step: the 16-bit halves of each pixel trade places, then
// the low bytes (red, blue) come from the traded copy.
ZORBEL_TARGET("sse2") std::uint32_t swapRedBlue4Sse2(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    std::uint32_t done = 0;
    for (; done + 4 <= count; done += 4) {
        const __m128i x = load16(in + 4 * done);
        const __m128i traded = _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xB1), 0xB1);
        store16(out + 4 * done, _mm_or_si128(_mm_and_si128(traded, lowBytes), _mm_andnot_si128(lowBytes, x)));
    }
    return done;
}

// Sixteen high bytes of 16-bit big-endian samples a step.
ZORBEL_TARGET("sse2") std::uint32_t everySecondByteSse2(const std::uint8_t* in, std::uint8_t* out,
                                                        std::uint32_t count) {
    const __m128i firstOfTwo = _mm_set1_epi16(0x00FF);
    std::uint32_t done = 0;
    for (; done + 16 <= count; done += 16) {
        const __m128i a = _mm_and_si128(load16(in + 2 * done), firstOfTwo);
        const __m128i b = _mm_and_si128(load16(in + 2 * done + 16), firstOfTwo);
        store16(out + done, _mm_packus_epi16(a, b));
    }
    return done;
}

ZORBEL_TARGET("sse2") std::uint32_t everyFourthByteSse2(const std::uint8_t* in, std::uint8_t* out,
                                                        std::uint32_t count) {
    const __m128i firstOfFour = _mm_set1_epi32(0xFF);
    std::uint32_t done = 0;
    for (; done + 16 <= count; done += 16) {
        const std::uint8_t* from = in + 4 * done;
        const __m128i ab = _mm_packs_epi32(_mm_and_si128(load16(from), firstOfFour),
                                           _mm_and_si128(load16(from + 16), firstOfFour));
        const __m128i cd = _mm_packs_epi32(_mm_and_si128(load16(from + 32), firstOfFour),
                                           _mm_and_si128(load16(from + 48), firstOfFour));
        store16(out + done, _mm_packus_epi16(ab, cd));
    }
    return done;
}

// Five 3-byte pixels a step: 16 bytes in and out, the last byte of each
// store rewritten by the next. At least six pixels must remain, so that the
// 16 bytes stay inside the row.
ZORBEL_TARGET("ssse3") std::uint32_t swapRedBlue3Ssse3(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    std::uint32_t done = 0;
    for (; done + 6 <= count; done += 5) store16(out + 3 * done, _mm_shuffle_epi8(load16(in + 3 * done), order));
    return done;
}

ZORBEL_TARGET("ssse3") std::uint32_t swapRedBlue4Ssse3(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    std::uint32_t done = 0;
    for (; done + 4 <= count; done += 4) store16(out + 4 * done, _mm_shuffle_epi8(load16(in + 4 * done), order));
    return done;
}

constexpr RowKernels Sse2Kernels{nullptr, swapRedBlue4Sse2, everySecondByteSse2, everyFourthByteSse2};
constexpr RowKernels Ssse3Kernels{swapRedBlue3Ssse3, swapRedBlue4Ssse3, everySecondByteSse2, everyFourthByteSse2};

}  // namespace

const RowKernels* x86RowKernels(SimdLevel level) {
    switch (level) {
        case SimdLevel::Scalar: return nullptr;
        case SimdLevel::Sse2: return &Sse2Kernels;
        case SimdLevel::Ssse3:
        case SimdLevel::Sse41: return &Ssse3Kernels;
    }
    return nullptr;
}

#else

const RowKernels* x86RowKernels(SimdLevel) { return nullptr; }

#endif
