#include "pictures/png/simd_level.h"

#include <atomic>

#if defined(ZORBEL_X86_SIMD)
#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace {

// The decoder's level, process-wide; -1 until first asked for.
std::atomic<int> chosenLevel{-1};

#if defined(ZORBEL_X86_SIMD)
// cpuid leaf 1: SSE2 is EDX bit 26, SSSE3 ECX bit 9, SSE4.1 ECX bit 19.
SimdLevel detectLevel() {
    unsigned int ecx = 0;
    unsigned int edx = 0;
#if defined(_MSC_VER)
    int registers[4] = {};
    __cpuid(registers, 1);
    ecx = static_cast<unsigned int>(registers[2]);
    edx = static_cast<unsigned int>(registers[3]);
#else
    unsigned int eax = 0;
    unsigned int ebx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return SimdLevel::Scalar;
#endif
    if ((edx & (1u << 26)) == 0) return SimdLevel::Scalar;
    if ((ecx & (1u << 9)) == 0) return SimdLevel::Sse2;
    if ((ecx & (1u << 19)) == 0) return SimdLevel::Ssse3;
    return SimdLevel::Sse41;
}
#else
SimdLevel detectLevel() { return SimdLevel::Scalar; }
#endif

}  // namespace

SimdLevel processorSimdLevel() { return detectLevel(); }

SimdLevel pngSimdLevel() {
    int level = chosenLevel.load(std::memory_order_relaxed);
    if (level < 0) {
        level = static_cast<int>(processorSimdLevel());
        chosenLevel.store(level, std::memory_order_relaxed);
    }
    return static_cast<SimdLevel>(level);
}

bool setPngSimdLevel(SimdLevel level) {
    if (level > processorSimdLevel()) return false;
    chosenLevel.store(static_cast<int>(level), std::memory_order_relaxed);
    return true;
}

const char* simdLevelName(SimdLevel level) {
    switch (level) {
        case SimdLevel::Scalar: return "scalar";
        case SimdLevel::Sse2: return "SSE2";
        case SimdLevel::Ssse3: return "SSSE3";
        case SimdLevel::Sse41: return "SSE4.1";
    }
    return "?";
}
