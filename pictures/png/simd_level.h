#pragma once
// Which x86 vector instructions the PNG decoder's row work uses: the best
// the processor has (cpuid), chosen when first asked for. Tests lower it so that every
// path is checked to write the same bytes; the player never does. Where
// the processor is not x86, or the compiler not GCC, Clang or MSVC, only
// Scalar exists.

#include <cstdint>

// Each level includes the ones below it.
enum class SimdLevel : std::uint8_t {
    Scalar,  // plain C++: any processor
    Sse2,    // the filters and the 16-bit and alpha row conversions
    Ssse3,   // byte shuffles for the red-blue swap
    Sse41,   // blends (and SSSE3's absolute values) for the Paeth filter
};

SimdLevel processorSimdLevel();
SimdLevel pngSimdLevel();
// False, and nothing changed, for a level above the processor's.
bool setPngSimdLevel(SimdLevel level);
const char* simdLevelName(SimdLevel level);

// For the files that hold the fast paths: a function compiled for `isa`
// ("sse2", "ssse3", "sse4.1") that only runs once the level is checked, and
// inlining that must happen.
#if (defined(__GNUC__) || defined(_MSC_VER)) && \
    (defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64))
#define ZORBEL_X86_SIMD 1
#endif
#if defined(__GNUC__)
#define ZORBEL_TARGET(isa) __attribute__((target(isa)))
#define ZORBEL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define ZORBEL_TARGET(isa)
#define ZORBEL_ALWAYS_INLINE inline
#endif
