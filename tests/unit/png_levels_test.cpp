// Every vector level the processor has writes the same bitmaps as the
// scalar code: the recorded digest of every test file, and every byte of
// random images of every format, with every filter on rows of many lengths
// (the vector paths' ends of rows). Built natively and for 32-bit Windows.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pictures/png/simd_level.h"
#include "tests/support/png_builder.h"
#include "tests/support/png_run.h"
#include "tests/support/png_suite_files.h"

namespace {

const std::string DataDir = ZORBEL_TEST_DATA;

std::vector<SimdLevel> processorLevels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Ssse3, SimdLevel::Sse41}) {
        if (level <= processorSimdLevel()) levels.push_back(level);
    }
    return levels;
}

// Each test leaves the decoder at the processor's level, as the player has it.
class PngLevels : public testing::Test {
protected:
    void TearDown() override { setPngSimdLevel(processorSimdLevel()); }
};

TEST_F(PngLevels, EveryTestFileHasItsRecordedDigestAtEveryLevel) {
    const std::vector<SuiteRow> rows = allSuiteRows(DataDir);
    ASSERT_GT(rows.size(), 100u) << "the test files' tables are missing from " << DataDir;
    for (const SimdLevel level : processorLevels()) {
        ASSERT_TRUE(setPngSimdLevel(level));
        for (const SuiteRow& row : rows) {
            if (row.expected != "decode") continue;
            SCOPED_TRACE(std::string(simdLevelName(level)) + ": " + row.set + "/" + row.file);
            const OurBitmap ours = decodeWithOurs(readBinaryFile(DataDir + "/" + row.set + "/" + row.file));
            ASSERT_EQ(ours.write, PngResult::Ok) << pngResultName(ours.open) << " " << pngResultName(ours.decode);
            const PngBitmapLayout& l = ours.layout;
            EXPECT_EQ(canonicalPixelDigest(l.width, l.height, l.bitsPerPixel, l.stride, ours.rows), row.digest);
        }
    }
}

// Whole rows, padding included, so that a byte written past a row shows.
TEST_F(PngLevels, RandomImagesGiveTheSameBytesAtEveryLevel) {
    std::mt19937 random(20250301);
    const std::uint32_t widths[] = {1, 2, 3, 5, 6, 7, 8, 9, 15, 16, 17, 21, 31, 33, 47, 64, 100};
    for (const PngFormat format : AcceptedFormats) {
        for (const bool interlaced : {false, true}) {
            for (const std::uint32_t width : widths) {
                const auto height = static_cast<std::uint32_t>(1 + random() % 9);
                SCOPED_TRACE("colour type " + std::to_string(format.colourType) + ", depth " +
                             std::to_string(format.bitDepth) + (interlaced ? ", Adam7, " : ", ") +
                             std::to_string(width) + " x " + std::to_string(height));
                const Bytes data = storedZlibStream(randomScanlines(format, width, height, interlaced, random));
                const Bytes file = randomImageFile(format, width, height, interlaced, data, random);
                ASSERT_TRUE(setPngSimdLevel(SimdLevel::Scalar));
                const OurBitmap scalar = decodeWithOurs(file);
                ASSERT_EQ(scalar.write, PngResult::Ok);
                for (const SimdLevel level : processorLevels()) {
                    if (level == SimdLevel::Scalar) continue;
                    ASSERT_TRUE(setPngSimdLevel(level));
                    EXPECT_TRUE(decodeWithOurs(file).rows == scalar.rows) << simdLevelName(level) << " differs";
                }
            }
        }
    }
}

}  // namespace
