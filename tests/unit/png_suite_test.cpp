// Every image of the two test sets through our PNG decoder, held to the
// recorded outcome and pixel digest and, pixel by pixel, to libpng.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pictures/png/png_decoder.h"
#include "tests/support/libpng_reference.h"
#include "tests/support/png_run.h"
#include "tests/support/png_suite_files.h"
#include "tests/support/sha256.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using ColourTable = std::vector<std::array<std::uint8_t, 4>>;

const std::string DataDir = ZORBEL_TEST_DATA;

// --- SHA-256, the digests' own check ---------------------------------------

struct HashCase {
    const char* name;
    std::string message;
    const char* digest;
};

TEST(Sha256, MatchesTheStandardVectors) {
    const HashCase cases[] = {
        {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"896 bits",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopq"
         "rstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"a million a", std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const HashCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes message(c.message.begin(), c.message.end());
        EXPECT_EQ(sha256Hex(message), c.digest);
    }
}

// Messages fed in pieces hash as when fed whole, including pieces that
// straddle the 64-byte blocks and the padding boundary at 56 bytes.
TEST(Sha256, PiecewiseUpdatesMatchOneUpdate) {
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u}) {
        SCOPED_TRACE(length);
        Bytes message(length);
        for (std::size_t i = 0; i < length; ++i) message[i] = static_cast<std::uint8_t>(i * 7 + 3);
        Sha256 pieces;
        for (std::size_t start = 0; start < length; start += 13) {
            pieces.update(std::span(message).subspan(start, std::min<std::size_t>(13, length - start)));
        }
        Sha256 whole;
        whole.update(message);
        EXPECT_EQ(pieces.finish(), whole.finish());
    }
}

// --- the expected.tsv tables ------------------------------------------------

std::string testNameOf(const SuiteRow& row) {
    std::string name = row.set + "_" + row.file;
    for (char& c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
    }
    return name;
}

// --- running our decoder ----------------------------------------------------

// Exactly as many bytes as given, on the heap, so that AddressSanitizer sees
// any read past the end.
Bytes pixelsOf(const OurBitmap& bitmap) {
    const PngBitmapLayout& l = bitmap.layout;
    return canonicalPixels(l.width, l.height, l.bitsPerPixel, l.stride, bitmap.rows);
}

Bytes pixelsOf(const ReferenceBitmap& bitmap) {
    return canonicalPixels(bitmap.width, bitmap.height, bitmap.bitsPerPixel, bitmap.stride, bitmap.rows);
}

// Where two canonical dumps first differ, as "(x, y): expected ..., got ...".
std::string firstDifference(const Bytes& expected, const Bytes& got, std::uint32_t width, std::uint16_t bitsPerPixel) {
    const std::size_t pixelBytes = bitsPerPixel <= 8 ? 1 : bitsPerPixel / 8u;
    if (expected.size() != got.size()) {
        return "dump sizes differ: " + std::to_string(expected.size()) + " vs " + std::to_string(got.size());
    }
    const auto at = std::mismatch(expected.begin(), expected.end(), got.begin());
    if (at.first == expected.end()) return "identical";
    const std::size_t pixel = static_cast<std::size_t>(at.first - expected.begin()) / pixelBytes;
    auto bytesAt = [&](const Bytes& dump) {
        std::string text;
        for (std::size_t i = 0; i < pixelBytes; ++i) text += " " + std::to_string(dump[pixel * pixelBytes + i]);
        return text;
    };
    return "pixel (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + "): expected" +
           bytesAt(expected) + ", got" + bytesAt(got);
}

std::uint32_t strideFor(std::uint32_t width, std::uint16_t bitsPerPixel) {
    return static_cast<std::uint32_t>((std::uint64_t{width} * bitsPerPixel + 31) / 32 * 4);
}

// --- one test per file -------------------------------------------------------

class PngSuiteFile : public testing::TestWithParam<SuiteRow> {};

// Decodable files libpng cannot read, compared with their recorded digest only.
const std::vector<std::string> LibpngRefuses = {};

void checkDecodes(const SuiteRow& row, std::span<const std::uint8_t> file) {
    const OurBitmap ours = decodeWithOurs(file);
    ASSERT_EQ(ours.open, PngResult::Ok) << pngResultName(ours.open);
    ASSERT_EQ(ours.decode, PngResult::Ok) << pngResultName(ours.decode);
    ASSERT_EQ(ours.write, PngResult::Ok) << pngResultName(ours.write);
    EXPECT_EQ(ours.stageAfterDecode, PngStage::Decoded);
    const PngBitmapLayout& layout = ours.layout;
    EXPECT_EQ(layout.width, row.width);
    EXPECT_EQ(layout.height, row.height);
    EXPECT_EQ(layout.bitsPerPixel, row.bitsPerPixel);
    ASSERT_EQ(layout.stride, strideFor(layout.width, layout.bitsPerPixel)) << "rows are padded to 4 bytes";

    const Bytes pixels = pixelsOf(ours);
    EXPECT_EQ(sha256Hex(pixels), row.digest);

    const ReferenceDecode libpng = decodeWithLibpng(file);
    if (!libpng.ok) {
        // With its checksum checks off libpng reads every decodable file here;
        // one it cannot read is listed, so that losing the control is a decision.
        const bool listed = std::find(LibpngRefuses.begin(), LibpngRefuses.end(), row.file) != LibpngRefuses.end();
        EXPECT_TRUE(listed) << "libpng refused the file: " << libpng.error;
        return;  // the recorded digest above is the only control
    }
    const ReferenceBitmap& reference = libpng.bitmap;
    const Bytes expected = pixelsOf(reference);
    EXPECT_EQ(sha256Hex(expected), row.digest) << "libpng disagrees with the recorded digest";
    ASSERT_EQ(layout.bitsPerPixel, reference.bitsPerPixel);
    EXPECT_EQ(layout.usedColours, reference.usedColours);
    EXPECT_EQ(layout.colourTable, reference.colourTable);
    EXPECT_TRUE(pixels == expected) << firstDifference(expected, pixels, layout.width, layout.bitsPerPixel);
}

TEST_P(PngSuiteFile, HasTheRecordedOutcome) {
    const SuiteRow& row = GetParam();
    const Bytes file = readBinaryFile(DataDir + "/" + row.set + "/" + row.file);
    ASSERT_FALSE(file.empty()) << "cannot read " << row.file;
    if (row.expected == "decode") {
        checkDecodes(row, file);
        return;
    }
    const OurBitmap ours = decodeWithOurs(file);
    if (row.expected == "open-fail") {
        EXPECT_NE(ours.open, PngResult::Ok);
        EXPECT_EQ(ours.stageAfterOpen, PngStage::Empty) << "a refused file leaves the decoder empty";
    } else if (row.expected == "fail") {
        EXPECT_TRUE(ours.open != PngResult::Ok || ours.decode != PngResult::Ok)
            << "decoded although the image data is incomplete or missing";
        if (ours.open == PngResult::Ok) {
            EXPECT_EQ(ours.stageAfterDecode, PngStage::Opened);
        }
    } else {
        ASSERT_EQ(row.expected, "unspecified") << "unknown outcome in expected.tsv";
        // Any outcome will do; the sanitizers watch the run above.
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PngSuiteFile, testing::ValuesIn(allSuiteRows(DataDir)),
                         [](const testing::TestParamInfo<SuiteRow>& file) { return testNameOf(file.param); });

// The tables themselves: losing rows would silently shrink the tests above.
TEST(PngSuiteTables, ListEveryImageOnce) {
    for (const char* set : {"pngsuite", "realworld"}) {
        SCOPED_TRACE(set);
        std::vector<std::string> listed;
        for (const SuiteRow& row : readExpected(DataDir, set)) listed.push_back(row.file);
        std::vector<std::string> onDisk;
        for (const auto& entry : std::filesystem::directory_iterator(DataDir + "/" + set)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".png" || extension == ".jpg") onDisk.push_back(entry.path().filename().string());
        }
        std::sort(listed.begin(), listed.end());
        std::sort(onDisk.begin(), onDisk.end());
        EXPECT_EQ(listed, onDisk);
    }
}

// --- identical-pixel groups ----------------------------------------------------

Bytes readSuiteFile(const std::string& name) { return readBinaryFile(DataDir + "/pngsuite/" + name + ".png"); }

std::vector<std::vector<std::string>> identicalGroups() {
    std::vector<std::vector<std::string>> groups = {
        {"basi0g01", "basn0g01", "xcsn0g01"},
        {"basi0g02", "basn0g02"},
        {"basi0g04", "basn0g04"},
        {"basi2c08", "basn2c08"},
        {"basi0g08", "basn0g08", "ps1n0g08", "ps2n0g08", "xhdn0g08"},
        {"basi0g16", "basn0g16", "oi1n0g16", "oi2n0g16", "oi4n0g16", "oi9n0g16"},
        {"basi2c16", "basn2c16", "oi1n2c16", "oi2n2c16", "oi4n2c16", "oi9n2c16", "pp0n2c16", "ps1n2c16", "ps2n2c16"},
        {"basi3p01", "basn3p01"},
        {"basi3p02", "basn3p02"},
        {"basi3p04", "basn3p04", "ch1n3p04"},
        {"basi3p08", "basn3p08", "ch2n3p08"},
        {"basi4a08", "basn4a08", "bgai4a08", "bgbn4a08"},
        {"basi4a16", "basn4a16", "bgai4a16", "bggn4a16"},
        {"basi6a08", "basn6a08", "bgan6a08", "bgwn6a08"},
        {"basi6a16", "basn6a16", "bgan6a16", "bgyn6a16"},
        {"cm0n0g04", "cm7n0g04", "cm9n0g04", "ct0n0g04", "ct1n0g04", "ctzn0g04"},
        {"tbbn2c16", "tbgn2c16"},
        {"tbwn3p08", "tp1n3p08"},
        {"z00n2c08", "z03n2c08", "z06n2c08", "z09n2c08"},
    };
    // Every size, interlaced and not.
    for (const char* size : {"s01", "s02", "s03", "s04", "s05", "s06", "s07", "s08", "s09", "s32", "s33", "s34", "s35",
                             "s36", "s37", "s38", "s39", "s40"}) {
        const std::string depth = std::string(size) < "s05" ? "3p01" : std::string(size) < "s10" ? "3p02" : "3p04";
        groups.push_back({std::string(size) + "i" + depth, std::string(size) + "n" + depth});
    }
    return groups;
}

TEST(PngSuiteGroups, FilesWithTheSameSamplesGiveTheSameBitmap) {
    for (const auto& group : identicalGroups()) {
        const OurBitmap first = decodeWithOurs(readSuiteFile(group.front()));
        ASSERT_EQ(first.write, PngResult::Ok) << group.front();
        const Bytes firstPixels = pixelsOf(first);
        for (std::size_t i = 1; i < group.size(); ++i) {
            SCOPED_TRACE(group.front() + " vs " + group[i]);
            const OurBitmap other = decodeWithOurs(readSuiteFile(group[i]));
            ASSERT_EQ(other.write, PngResult::Ok);
            EXPECT_EQ(other.layout.width, first.layout.width);
            EXPECT_EQ(other.layout.height, first.layout.height);
            EXPECT_EQ(other.layout.bitsPerPixel, first.layout.bitsPerPixel);
            EXPECT_EQ(other.layout.colourTable, first.layout.colourTable);
            const Bytes pixels = pixelsOf(other);
            EXPECT_TRUE(pixels == firstPixels)
                << firstDifference(firstPixels, pixels, first.layout.width, first.layout.bitsPerPixel);
        }
    }
}

// --- colour tables ---------------------------------------------------------------

struct RampCase {
    const char* file;
    std::uint32_t entries;
    std::uint16_t bitsPerPixel;
};

TEST(PngSuiteColourTables, GreyImagesGetAnEvenRamp) {
    const RampCase cases[] = {
        {"basn0g01", 2, 1},   {"basn0g02", 4, 4},   {"basn0g04", 16, 4},  {"basn0g08", 256, 8},
        {"basn0g16", 256, 8}, {"basn4a08", 256, 8}, {"basn4a16", 256, 8}, {"basi0g02", 4, 4},
    };
    for (const RampCase& c : cases) {
        SCOPED_TRACE(c.file);
        const OurBitmap bitmap = decodeWithOurs(readSuiteFile(c.file));
        ASSERT_EQ(bitmap.write, PngResult::Ok);
        EXPECT_EQ(bitmap.layout.bitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(bitmap.layout.usedColours, c.entries) << "the header declares the ramp's length";
        ColourTable ramp;
        for (std::uint32_t i = 0; i < c.entries; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (c.entries - 1));
            ramp.push_back({grey, grey, grey, 0});
        }
        EXPECT_EQ(bitmap.layout.colourTable, ramp);
    }
}

TEST(PngSuiteColourTables, DirectColourHasNoTable) {
    for (const char* file : {"basn2c08", "basn2c16", "basn6a08", "basn6a16"}) {
        SCOPED_TRACE(file);
        const OurBitmap bitmap = decodeWithOurs(readSuiteFile(file));
        ASSERT_EQ(bitmap.write, PngResult::Ok);
        EXPECT_TRUE(bitmap.layout.colourTable.empty());
        EXPECT_EQ(bitmap.layout.usedColours, 0u);
    }
}

// The PLTE chunk's entries as R, G, B, read straight from the file.
std::vector<std::array<std::uint8_t, 3>> paletteOf(const Bytes& file) {
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::size_t length = (std::size_t{file[at]} << 24) | (std::size_t{file[at + 1]} << 16) |
                                   (std::size_t{file[at + 2]} << 8) | file[at + 3];
        if (std::memcmp(&file[at + 4], "PLTE", 4) == 0 && at + 8 + length <= file.size()) {
            std::vector<std::array<std::uint8_t, 3>> entries;
            for (std::size_t i = 0; i + 3 <= length; i += 3) {
                entries.push_back({file[at + 8 + i], file[at + 9 + i], file[at + 10 + i]});
            }
            return entries;
        }
        at += length + 12;
    }
    return {};
}

struct PaletteCase {
    const char* file;
    std::size_t plteEntries;  // as counted by hand, to catch a wrong chunk reader here
    std::uint16_t bitsPerPixel;
};

// Short palettes are common: the entries the PLTE lacks must be zero, not
// whatever follows the chunk.
TEST(PngSuiteColourTables, IndexedImagesGetThePaletteThenZeros) {
    const PaletteCase cases[] = {
        {"basn3p01", 2, 1},  {"s01n3p01", 1, 1},   {"basn3p02", 4, 4},  {"tm3n3p02", 4, 4},
        {"basn3p04", 15, 4}, {"basn3p08", 256, 8}, {"cs3n3p08", 28, 8}, {"tbbn3p08", 246, 8},
    };
    for (const PaletteCase& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes file = readSuiteFile(c.file);
        const auto plte = paletteOf(file);
        ASSERT_EQ(plte.size(), c.plteEntries);
        const OurBitmap bitmap = decodeWithOurs(file);
        ASSERT_EQ(bitmap.write, PngResult::Ok);
        EXPECT_EQ(bitmap.layout.bitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(bitmap.layout.usedColours, 0u) << "a palette fills the whole table";
        ColourTable expected(std::size_t{1} << c.bitsPerPixel, {0, 0, 0, 0});
        for (std::size_t i = 0; i < plte.size(); ++i) expected[i] = {plte[i][2], plte[i][1], plte[i][0], 0};
        EXPECT_EQ(bitmap.layout.colourTable, expected);
    }
}

}  // namespace
