// GoogleTest's main for the PNG tests, with one option of ours:
// --png-simd=LEVEL (scalar, SSE2, SSSE3, SSE4.1; any case) runs every test
// with the decoder at that level. A level this processor lacks skips the
// run: exit status 77, which CTest reports as skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "pictures/png/simd_level.h"

namespace {

constexpr int SkippedStatus = 77;
constexpr SimdLevel Levels[] = {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Ssse3, SimdLevel::Sse41};

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const std::string option = "--png-simd=";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind(option, 0) != 0) continue;
        const std::string name = lowercase(argument.substr(option.size()));
        const auto level = std::find_if(std::begin(Levels), std::end(Levels),
                                        [&](SimdLevel l) { return lowercase(simdLevelName(l)) == name; });
        if (level == std::end(Levels)) {
            std::fprintf(stderr, "unknown level %s\n", name.c_str());
            return 2;
        }
        if (!setPngSimdLevel(*level)) {
            std::printf("skipped: this processor has no %s\n", simdLevelName(*level));
            return SkippedStatus;
        }
        std::printf("PNG decoder at level %s\n", simdLevelName(*level));
    }
    return RUN_ALL_TESTS();
}
