// The vector code reached from window procedures and threads, run with the
// stack as 32-bit Windows may leave it there (4, 8 or 12 bytes off the
// 16-byte boundary): no fault, and the same bytes as from an aligned stack.
// Wine aligns its callbacks, so the stack is shifted by hand.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "picture_preparation/picture_preparation.h"
#include "pictures/picture_workers_win32.h"
#include "pictures/png/simd_level.h"
#include "tests/support/png_builder.h"
#include "tests/support/png_run.h"
#include "tests/support/png_suite_files.h"
#include "tests/support/progressive_jpeg.h"
#include "tests/support/shifted_stack_win32.h"
#include "tests/support/test_pictures.h"

namespace {

const std::string DataDir = ZORBEL_TEST_DATA;

// `produce` from an aligned stack, then from each misaligned one.
template <typename Produce>
void expectSameBytesOnShiftedStacks(Produce produce) {
    Bytes aligned;
    auto alignedRun = [&] { aligned = produce(); };
    const ShiftedCall first = callOnShiftedStack(0, alignedRun);
    ASSERT_FALSE(first.faulted) << "fault at 0x" << std::hex << first.faultAddress << " from an aligned stack";
    ASSERT_FALSE(aligned.empty()) << "nothing made from an aligned stack";
    for (const unsigned shift : {4u, 8u, 12u}) {
        Bytes shifted;
        auto shiftedRun = [&] { shifted = produce(); };
        const ShiftedCall call = callOnShiftedStack(shift, shiftedRun);
        ASSERT_FALSE(call.faulted) << "fault at 0x" << std::hex << call.faultAddress << " with the stack " << std::dec
                                   << shift << " bytes off";
        EXPECT_TRUE(shifted == aligned) << "other bytes with the stack " << shift << " bytes off";
    }
}

Bytes decodedRows(const Bytes& file) {
    const OurBitmap bitmap = decodeWithOurs(file);
    return bitmap.write == PngResult::Ok ? bitmap.rows : Bytes{};
}

class MisalignedStack : public testing::Test {
protected:
    void TearDown() override { setPngSimdLevel(processorSimdLevel()); }
};

// Random rows take every filter; the formats every pixel size, interlaced or
// not; the test files real deflate streams for the inflate.
TEST_F(MisalignedStack, PngDecoderAtEveryLevel) {
    std::mt19937 random(20261208);
    std::vector<std::pair<std::string, Bytes>> files;
    for (const PngFormat format : AcceptedFormats) {
        for (const bool interlaced : {false, true}) {
            for (const std::uint32_t width : {5u, 33u}) {
                const std::uint32_t height = 9;
                const Bytes data = storedZlibStream(randomScanlines(format, width, height, interlaced, random));
                files.emplace_back("colour type " + std::to_string(format.colourType) + ", depth " +
                                       std::to_string(format.bitDepth) + (interlaced ? ", Adam7" : "") + ", width " +
                                       std::to_string(width),
                                   randomImageFile(format, width, height, interlaced, data, random));
            }
        }
    }
    for (const SuiteRow& row : allSuiteRows(DataDir)) {
        if (row.expected != "decode") continue;
        files.emplace_back(row.set + "/" + row.file, readBinaryFile(DataDir + "/" + row.set + "/" + row.file));
    }
    ASSERT_GT(files.size(), 150u) << "the test files are missing from " << DataDir;
    for (const SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Ssse3, SimdLevel::Sse41}) {
        if (!setPngSimdLevel(level)) continue;
        for (const auto& [name, file] : files) {
            SCOPED_TRACE(std::string(simdLevelName(level)) + ": " + name);
            expectSameBytesOnShiftedStacks([&] { return decodedRows(file); });
        }
    }
}

// Decoding, turning, shrinking, flattening and both encoders.
TEST_F(MisalignedStack, PicturePreparation) {
    const Image photo = textureImage({1600, 1200}, 7);
    Quadrants seeThrough = Upright;
    seeThrough[1].alpha = 0;
    seeThrough[2].alpha = 128;
    const Image drawing = quadrantImage({900, 700}, seeThrough, 4);
    const std::pair<const char*, Bytes> pictures[] = {
        {"a photo", encodeJpeg(photo, 95)},
        {"a turned photo", withExifOrientation(encodeJpeg(photo, 95), 6, false)},
        {"a progressive photo", progressiveJpeg()},
        {"a PNG drawing with transparency", encodePng(drawing)},
        {"a PNG photo", encodePng(textureImage({800, 900}, 3))},
        {"a GIF", gifFile(quadrantImage({700, 500}, Upright))},
        {"a BMP", bmpFile(textureImage({700, 500}, 5))},
    };
    for (const auto& [name, bytes] : pictures) {
        SCOPED_TRACE(name);
        expectSameBytesOnShiftedStacks([&] {
            const PreparedPicture prepared = preparePicture(bytes, name, Rgb{53, 130, 163});
            return prepared.ok() ? prepared.bytes : Bytes{};
        });
    }
}

// The pixels of `bitmap`, 32 bits each, then the bitmap deleted.
Bytes pixelsOf(HBITMAP bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const auto rows = static_cast<UINT>(std::abs(info.bmiHeader.biHeight));
    Bytes pixels(static_cast<std::size_t>(info.bmiHeader.biWidth) * rows * 4);
    GetDIBits(screen, bitmap, 0, rows, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return pixels;
}

// The player's start-up pictures (a JPEG through the system's loader, a PNG
// through ours) decoded by a picture worker entered on a shifted stack, as a
// thread starts on 32-bit Windows.
TEST_F(MisalignedStack, PlayerPicturesFromAWorkersStart) {
    const PictureJob jobs[] = {{401, 210, 210}, {402, 210, 210}, {401, 640, 480}};
    expectSameBytesOnShiftedStacks([&] {
        startPictureWork(jobs, 0);
        runPictureWorker(nullptr);
        Bytes all;
        for (const PictureJob& job : jobs) {
            const Bytes pixels = pixelsOf(takeQuestionPicture(job.resourceId, job.frameWidth, job.frameHeight));
            all.insert(all.end(), pixels.begin(), pixels.end());
        }
        endPictureWork();
        return all;
    });
}

}  // namespace
