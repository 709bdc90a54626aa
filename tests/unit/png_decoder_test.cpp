// Generated and mutated inputs for the PNG decoder: the stage rules, the
// limits, every failure path of the inflate, and differential runs against
// zlib and libpng on inputs the test images do not cover.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pictures/png/png_decoder.h"
#include "tests/support/libpng_reference.h"
#include "tests/support/png_builder.h"
#include "tests/support/png_run.h"
#include "tests/support/png_suite_files.h"

namespace {

const std::string DataDir = ZORBEL_TEST_DATA;

Bytes readSuiteFile(const std::string& name) { return readBinaryFile(DataDir + "/pngsuite/" + name + ".png"); }

// Exactly as many bytes as given, on the heap, so that AddressSanitizer sees
// any access past the end.
// --- PNG files built chunk by chunk ----------------------------------------------

// The chunks of a well-formed file, in order.
std::vector<Chunk> chunksOf(const Bytes& file) {
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length = bigEndianAt(file, at);
        const auto data = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
        chunks.push_back({std::string(file.begin() + static_cast<std::ptrdiff_t>(at + 4), data),
                          Bytes(data, data + static_cast<std::ptrdiff_t>(length))});
        at += length + 12;
    }
    return chunks;
}

// The zlib stream of a file: its IDAT chunks' data, joined.
Bytes imageDataOf(const std::vector<Chunk>& chunks) {
    Bytes stream;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    }
    return stream;
}

// The chunks with every IDAT replaced by one holding `stream`.
std::vector<Chunk> withImageData(const std::vector<Chunk>& chunks, const Bytes& stream) {
    std::vector<Chunk> out;
    for (const Chunk& chunk : chunks) {
        if (chunk.type != "IDAT") {
            out.push_back(chunk);
        } else if (out.empty() || out.back().type != "IDAT") {
            out.push_back({"IDAT", stream});
        }
    }
    return out;
}

std::vector<Chunk> insertedBefore(std::vector<Chunk> chunks, const std::string& before, Chunk extra) {
    const auto at = std::find_if(chunks.begin(), chunks.end(), [&](const Chunk& c) { return c.type == before; });
    chunks.insert(at, std::move(extra));
    return chunks;
}

// --- zlib as the encoder and the control --------------------------------------------

struct DeflateStep {
    int level;
    int strategy;
    int flush;  // ending this step: Z_SYNC_FLUSH keeps the history, Z_FULL_FLUSH drops it
    std::size_t length;
};

// Empty when zlib reports an error; callers assert on the size.
Bytes zlibDeflate(std::span<const std::uint8_t> data, const std::vector<DeflateStep>& steps, int windowBits = 15) {
    z_stream stream{};
    if (deflateInit2(&stream, steps.empty() ? 6 : steps.front().level, Z_DEFLATED, windowBits, 8,
                     steps.empty() ? Z_DEFAULT_STRATEGY : steps.front().strategy) != Z_OK) {
        return {};
    }
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())) * 2 + 64 * (steps.size() + 1) + 1024);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    std::size_t at = 0;
    bool ok = true;
    for (const DeflateStep& step : steps) {
        ok = ok && deflateParams(&stream, step.level, step.strategy) == Z_OK;
        const std::size_t length = std::min(step.length, data.size() - at);
        stream.next_in = const_cast<Bytef*>(data.data() + at);  // zlib's API is not const-correct
        stream.avail_in = static_cast<uInt>(length);
        // An empty step cannot make progress, which zlib reports as Z_BUF_ERROR.
        const int status = deflate(&stream, step.flush);
        ok = ok && (status == Z_OK || (status == Z_BUF_ERROR && length == 0)) && stream.avail_in == 0;
        at += length;
    }
    stream.next_in = const_cast<Bytef*>(data.data() + at);
    stream.avail_in = static_cast<uInt>(data.size() - at);
    ok = ok && deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return ok ? out : Bytes{};
}

Bytes zlibCompress(std::span<const std::uint8_t> data, int level = 6) {
    return zlibDeflate(data, {{level, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, 0}});
}

struct ZlibInflate {
    bool complete = false;  // the stream ended properly
    Bytes output;
    std::size_t deflateEnd = 0;  // offset just past the last deflate block
};

ZlibInflate zlibInflate(std::span<const std::uint8_t> stream, std::size_t maxOutput) {
    ZlibInflate result;
    if (stream.size() < 2) return result;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return result;  // raw: the Adler-32 is ours to ignore
    result.output.resize(maxOutput);
    z.next_in = const_cast<Bytef*>(stream.data() + 2);
    z.avail_in = static_cast<uInt>(stream.size() - 2);
    z.next_out = result.output.data();
    z.avail_out = static_cast<uInt>(maxOutput);
    const int status = inflate(&z, Z_SYNC_FLUSH);
    result.complete = status == Z_STREAM_END;
    result.output.resize(z.total_out);
    result.deflateEnd = 2 + z.total_in;
    inflateEnd(&z);
    return result;
}

// --- running our decoder ------------------------------------------------------------

Bytes pixelsOf(const OurBitmap& b) {
    return canonicalPixels(b.layout.width, b.layout.height, b.layout.bitsPerPixel, b.layout.stride, b.rows);
}

Bytes pixelsOf(const ReferenceBitmap& b) {
    return canonicalPixels(b.width, b.height, b.bitsPerPixel, b.stride, b.rows);
}

std::string firstDifference(const Bytes& expected, const Bytes& got) {
    if (expected.size() != got.size()) {
        return "sizes differ: " + std::to_string(expected.size()) + " vs " + std::to_string(got.size());
    }
    const auto at = std::mismatch(expected.begin(), expected.end(), got.begin());
    if (at.first == expected.end()) return "identical";
    return "byte " + std::to_string(at.first - expected.begin()) + ": expected " + std::to_string(*at.first) +
           ", got " + std::to_string(*at.second);
}

Bytes randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(generator());
    return bytes;
}

// Text-like data: a small alphabet with repeated phrases and long runs, so
// that matches of every length and distance occur.
Bytes repetitiveBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes;
    while (bytes.size() < size) {
        const std::uint32_t choice = generator() % 4;
        if (choice == 0 && bytes.size() > 10) {
            const std::size_t distance = 1 + generator() % std::min<std::size_t>(bytes.size(), 40000);
            const std::size_t length = 3 + generator() % 300;
            for (std::size_t i = 0; i < length; ++i) bytes.push_back(bytes[bytes.size() - distance]);
        } else if (choice == 1) {
            bytes.insert(bytes.end(), 1 + generator() % 500, static_cast<std::uint8_t>(generator()));
        } else {
            for (std::uint32_t i = 0, n = 1 + static_cast<std::uint32_t>(generator() % 20); i < n; ++i) {
                bytes.push_back(static_cast<std::uint8_t>('a' + generator() % 6));
            }
        }
    }
    bytes.resize(size);
    return bytes;
}

// ============================================================================
// Stages
// ============================================================================

// Everything an operation could change, decodedData's contents included.
struct DecoderSnapshot {
    std::uint32_t width, height, paletteEntryCount;
    std::uint8_t colourType, bitDepth, interlaceMethod;
    const std::uint8_t* sourceData;
    std::size_t sourceSize, header, palette, firstImageData;
    const std::uint8_t* decodedData;
    Bytes decodedBytes;
    std::uint32_t decodedSize;
    PngStage stage;
    bool operator==(const DecoderSnapshot&) const = default;
};

DecoderSnapshot snapshot(const PngDecoder& d) {
    DecoderSnapshot s{d.width,
                      d.height,
                      d.paletteEntryCount,
                      d.colourType,
                      d.bitDepth,
                      d.interlaceMethod,
                      d.source.data(),
                      d.source.size(),
                      d.header,
                      d.palette,
                      d.firstImageData,
                      d.decodedData.get(),
                      {},
                      d.decodedSize,
                      d.stage};
    if (d.decodedData) s.decodedBytes.assign(d.decodedData.get(), d.decodedData.get() + d.decodedSize);
    return s;
}

void expectAllZero(const PngDecoder& d) {
    EXPECT_EQ(d.width, 0u);
    EXPECT_EQ(d.height, 0u);
    EXPECT_EQ(d.paletteEntryCount, 0u);
    EXPECT_EQ(d.colourType, 0u);
    EXPECT_EQ(d.bitDepth, 0u);
    EXPECT_EQ(d.interlaceMethod, 0u);
    EXPECT_EQ(d.source.data(), nullptr);
    EXPECT_EQ(d.source.size(), 0u);
    EXPECT_EQ(d.header, 0u);
    EXPECT_EQ(d.palette, 0u);
    EXPECT_EQ(d.firstImageData, 0u);
    EXPECT_EQ(d.decodedData, nullptr);
    EXPECT_EQ(d.decodedSize, 0u);
    EXPECT_EQ(d.stage, PngStage::Empty);
}

class PngStages : public testing::Test {
protected:
    void bringTo(PngStage stage) {
        if (stage == PngStage::Empty) return;
        ASSERT_EQ(openPng(decoder, source.span()), PngResult::Ok);
        if (stage == PngStage::Decoded) {
            ASSERT_EQ(decodePng(decoder), PngResult::Ok);
        }
    }
    void TearDown() override { releasePng(decoder); }

    ExactBuffer source{readSuiteFile("basn3p04")};
    ExactBuffer other{readSuiteFile("basn0g08")};
    PngDecoder decoder;
};

TEST_F(PngStages, EveryOperationOutOfItsStageFailsAndChangesNothing) {
    struct Case {
        const char* what;
        PngStage stage;
        int operation;  // 0 open, 1 decode, 2 write
    };
    const Case cases[] = {
        {"decode while empty", PngStage::Empty, 1},   {"write while empty", PngStage::Empty, 2},
        {"open while opened", PngStage::Opened, 0},   {"write while opened", PngStage::Opened, 2},
        {"open while decoded", PngStage::Decoded, 0}, {"decode while decoded", PngStage::Decoded, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        releasePng(decoder);
        bringTo(c.stage);
        const DecoderSnapshot before = snapshot(decoder);
        Bytes rows(4096, 0x5A);
        PngResult result = PngResult::Ok;
        if (c.operation == 0) result = openPng(decoder, other.span());
        if (c.operation == 1) result = decodePng(decoder);
        if (c.operation == 2) result = writePngBitmap(decoder, rows);
        EXPECT_EQ(result, PngResult::WrongStage);
        EXPECT_TRUE(snapshot(decoder) == before) << "the decoder changed";
        EXPECT_EQ(rows, Bytes(4096, 0x5A)) << "the rows were written";
    }
}

TEST_F(PngStages, ReleaseReturnsToAllZeroFromEveryStage) {
    for (const PngStage stage : {PngStage::Empty, PngStage::Opened, PngStage::Decoded}) {
        SCOPED_TRACE(static_cast<int>(stage));
        bringTo(stage);
        releasePng(decoder);
        expectAllZero(decoder);
        // And the released decoder serves again.
        EXPECT_EQ(openPng(decoder, other.span()), PngResult::Ok);
        releasePng(decoder);
    }
}

TEST_F(PngStages, OpenRecordsTheHeaderAndChunkPositions) {
    const Bytes file = source.bytes();
    ASSERT_EQ(openPng(decoder, source.span()), PngResult::Ok);
    EXPECT_EQ(decoder.stage, PngStage::Opened);
    EXPECT_EQ(decoder.width, 32u);
    EXPECT_EQ(decoder.height, 32u);
    EXPECT_EQ(decoder.colourType, 3u);
    EXPECT_EQ(decoder.bitDepth, 4u);
    EXPECT_EQ(decoder.interlaceMethod, 0u);
    EXPECT_EQ(decoder.paletteEntryCount, 15u);
    EXPECT_EQ(decoder.source.data(), source.span().data()) << "the source is borrowed, not copied";
    EXPECT_EQ(decoder.header, 16u);
    ASSERT_GT(decoder.palette, 8u);
    EXPECT_EQ(std::string(file.begin() + static_cast<std::ptrdiff_t>(decoder.palette - 4),
                          file.begin() + static_cast<std::ptrdiff_t>(decoder.palette)),
              "PLTE");
    ASSERT_GT(decoder.firstImageData, 8u);
    EXPECT_EQ(std::string(file.begin() + static_cast<std::ptrdiff_t>(decoder.firstImageData + 4),
                          file.begin() + static_cast<std::ptrdiff_t>(decoder.firstImageData + 8)),
              "IDAT");
    EXPECT_EQ(decoder.decodedData, nullptr) << "nothing is inflated before decodePng";
}

TEST_F(PngStages, DecodedDataHoldsTheFilteredRows) {
    bringTo(PngStage::Decoded);
    ASSERT_EQ(decoder.stage, PngStage::Decoded);
    ASSERT_NE(decoder.decodedData, nullptr);
    // 32 rows of a filter byte and 16 bytes of 4-bit indices.
    EXPECT_EQ(decoder.decodedSize, 32u * 17u);
    const Bytes expected = zlibInflate(imageDataOf(chunksOf(source.bytes())), 1 << 16).output;
    EXPECT_EQ(Bytes(decoder.decodedData.get(), decoder.decodedData.get() + decoder.decodedSize), expected);
}

TEST_F(PngStages, TheLayoutIsKnownOnceOpenedAndWritingRepeats) {
    bringTo(PngStage::Opened);
    const PngBitmapLayout opened = pngBitmapLayout(decoder);
    ASSERT_EQ(decodePng(decoder), PngResult::Ok);
    const PngBitmapLayout decoded = pngBitmapLayout(decoder);
    EXPECT_EQ(opened.width, decoded.width);
    EXPECT_EQ(opened.height, decoded.height);
    EXPECT_EQ(opened.bitsPerPixel, decoded.bitsPerPixel);
    EXPECT_EQ(opened.stride, decoded.stride);
    EXPECT_EQ(opened.colourTable, decoded.colourTable);

    Bytes first(std::size_t{decoded.stride} * decoded.height, 0x11);
    Bytes second(first.size(), 0xEE);
    ASSERT_EQ(writePngBitmap(decoder, first), PngResult::Ok);
    ASSERT_EQ(writePngBitmap(decoder, second), PngResult::Ok);
    EXPECT_EQ(canonicalPixels(decoded.width, decoded.height, decoded.bitsPerPixel, decoded.stride, first),
              canonicalPixels(decoded.width, decoded.height, decoded.bitsPerPixel, decoded.stride, second));
    EXPECT_EQ(decoder.stage, PngStage::Decoded);
}

TEST_F(PngStages, AFailedDecodeLeavesTheDecoderOpened) {
    std::vector<Chunk> chunks = chunksOf(source.bytes());
    Bytes stream = imageDataOf(chunks);
    stream[0] = 0x77;  // CINFO 7, CM 7
    ExactBuffer broken(pngOf(withImageData(chunks, stream)));
    ASSERT_EQ(openPng(decoder, broken.span()), PngResult::Ok);
    EXPECT_EQ(decodePng(decoder), PngResult::BadZlibHeader);
    EXPECT_EQ(decoder.stage, PngStage::Opened);
    EXPECT_EQ(decoder.decodedData, nullptr) << "the buffer is freed on failure";
    Bytes rows(4096);
    EXPECT_EQ(writePngBitmap(decoder, rows), PngResult::WrongStage);
    releasePng(decoder);
    expectAllZero(decoder);
}

TEST_F(PngStages, ATooSmallBitmapBufferIsRefused) {
    bringTo(PngStage::Decoded);
    const PngBitmapLayout layout = pngBitmapLayout(decoder);
    const std::size_t needed = std::size_t{layout.stride} * layout.height;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, needed - layout.stride, needed - 1}) {
        SCOPED_TRACE(size);
        ExactBuffer rows(Bytes(size, 0x3C));
        EXPECT_EQ(writePngBitmap(decoder, rows.span()), PngResult::BadBitmapBuffer);
        EXPECT_EQ(rows.bytes(), Bytes(size, 0x3C)) << "nothing is written into a refused buffer";
    }
    ExactBuffer exact(Bytes(needed, 0));
    EXPECT_EQ(writePngBitmap(decoder, exact.span()), PngResult::Ok);
}

// ============================================================================
// openPng
// ============================================================================

struct OpenCase {
    std::string what;
    Bytes file;
    PngResult expected;
};

std::vector<Chunk> basn0g08Chunks() { return chunksOf(readSuiteFile("basn0g08")); }

std::vector<Chunk> withIhdr(Bytes header) {
    std::vector<Chunk> chunks = basn0g08Chunks();
    chunks.front().data = std::move(header);
    return chunks;
}

std::vector<OpenCase> openCases() {
    const Bytes good = readSuiteFile("basn0g08");
    std::vector<Chunk> chunks = basn0g08Chunks();
    std::vector<OpenCase> cases = {
        {"empty", {}, PngResult::NotPng},
        {"the first 15 bytes of a good file", Bytes(good.begin(), good.begin() + 15), PngResult::NotPng},
        {"16 bytes: IHDR cut", Bytes(good.begin(), good.begin() + 16), PngResult::NoHeader},
        {"IHDR without its last byte", Bytes(good.begin(), good.begin() + 32), PngResult::NoHeader},
        {"first chunk is not IHDR", pngOf(insertedBefore(chunks, "IHDR", {"tEXt", {'a', 0, 'b'}})),
         PngResult::NoHeader},
        {"IHDR of 12 bytes", pngOf(withIhdr(Bytes(12, 1))), PngResult::NoHeader},
        {"width 0", pngOf(withIhdr(ihdr(0, 32, 8, 0))), PngResult::ZeroSize},
        {"height 0", pngOf(withIhdr(ihdr(32, 0, 8, 0))), PngResult::ZeroSize},
        {"both 0", pngOf(withIhdr(ihdr(0, 0, 8, 0))), PngResult::ZeroSize},
        {"unknown critical chunk before IDAT", pngOf(insertedBefore(chunks, "IDAT", {"ZZZZ", {1, 2}})),
         PngResult::UnknownCriticalChunk},
        {"unknown critical chunk after IDAT", pngOf(insertedBefore(chunks, "IEND", {"Abcd", {}})),
         PngResult::UnknownCriticalChunk},
        {"unknown critical chunk after IEND",
         [&] {
             std::vector<Chunk> after = chunks;
             after.push_back({"QQQQ", {}});
             return pngOf(after);
         }(),
         PngResult::UnknownCriticalChunk},
        {"compression method 1", pngOf(withIhdr(ihdr(32, 32, 8, 0, 0, 1))), PngResult::UnsupportedFormat},
        {"filter method 1", pngOf(withIhdr(ihdr(32, 32, 8, 0, 0, 0, 1))), PngResult::UnsupportedFormat},
        {"interlace method 2", pngOf(withIhdr(ihdr(32, 32, 8, 0, 2))), PngResult::UnsupportedFormat},
        {"indexed without PLTE", pngOf(withIhdr(ihdr(32, 32, 8, 3))), PngResult::MissingPalette},
    };
    // Each signature byte wrong on its own, in an otherwise good file.
    for (std::size_t i = 0; i < 8; ++i) {
        Bytes file = good;
        file[i] ^= 0x40;
        cases.push_back({"signature byte " + std::to_string(i) + " wrong", file, PngResult::NotPng});
    }
    // Pairs of colour type and bit depth that PNG does not allow.
    const std::pair<int, int> refused[] = {{0, 0},  {0, 3}, {0, 32}, {1, 8}, {2, 1}, {2, 2}, {2, 4},
                                           {3, 16}, {4, 1}, {4, 4},  {5, 8}, {6, 4}, {7, 8}, {8, 8}};
    for (const auto& [colourType, depth] : refused) {
        cases.push_back(
            {"refused pair " + std::to_string(colourType) + "/" + std::to_string(depth),
             pngOf(withIhdr(ihdr(32, 32, static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colourType)))),
             PngResult::UnsupportedFormat});
    }
    return cases;
}

TEST(PngOpen, RefusesBrokenHeadersWithTheirReason) {
    for (const OpenCase& c : openCases()) {
        SCOPED_TRACE(c.what);
        ExactBuffer file(c.file);
        PngDecoder decoder;
        const PngResult result = openPng(decoder, file.span());
        EXPECT_EQ(result, c.expected) << pngResultName(result);
        EXPECT_NE(decoder.stage, PngStage::Opened);
        releasePng(decoder);
    }
}

TEST(PngOpen, AnIndexedFileWithoutPlteIsRefused) {
    const Bytes file = readBinaryFile(DataDir + "/realworld/spng_missing_plte.png");
    ASSERT_FALSE(file.empty());
    ExactBuffer source(file);
    PngDecoder decoder;
    EXPECT_EQ(openPng(decoder, source.span()), PngResult::MissingPalette);
    releasePng(decoder);
}

// Chunks the decoder does not need are walked over, whatever they hold.
TEST(PngOpen, AncillaryChunksAnywhereChangeNothing) {
    const Bytes reference = pixelsOf(decodeWithOurs(readSuiteFile("basn0g08")));
    ASSERT_FALSE(reference.empty());
    const std::vector<Chunk> chunks = basn0g08Chunks();
    std::vector<Chunk> trailing = chunks;
    trailing.push_back({"zzZZ", randomBytes(100, 1)});
    trailing.push_back({"IEND", {}});
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"before IDAT", pngOf(insertedBefore(chunks, "IDAT", {"abcd", randomBytes(5000, 2)}))},
        {"empty, before IDAT", pngOf(insertedBefore(chunks, "IDAT", {"tEXt", {}}))},
        {"after IDAT", pngOf(insertedBefore(chunks, "IEND", {"tIME", randomBytes(7, 3)}))},
        {"after IEND, with a second IEND", pngOf(trailing)},
        {"garbage after IEND",
         [&] {
             Bytes file = pngOf(chunks);
             file.insert(file.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
             return file;
         }()},
        {"a chunk running past the end after IEND",
         [&] {
             Bytes file = pngOf(chunks);
             putBigEndian(file, 0xFFFFFFF0u);
             file.insert(file.end(), {'I', 'D', 'A', 'T', 0, 0, 0, 0});
             return file;
         }()},
    };
    for (const auto& [what, file] : files) {
        SCOPED_TRACE(what);
        const OurBitmap bitmap = decodeWithOurs(file);
        ASSERT_EQ(bitmap.write, PngResult::Ok) << pngResultName(bitmap.open) << " " << pngResultName(bitmap.decode);
        EXPECT_EQ(pixelsOf(bitmap), reference);
    }
}

// --- limits -----------------------------------------------------------------------------

struct SizeCase {
    const char* what;
    std::uint32_t width;
    std::uint32_t height;
    std::uint8_t bitDepth;
    std::uint8_t colourType;
    std::uint8_t interlace;
    PngResult expected;
};

// Only the header is given: a size that is accepted would then fail for want
// of image data, which these cases never reach.
TEST(PngOpen, RefusesImagesBeyondTheBufferLimitBeforeAllocating) {
    static_assert(MaxPngBufferBytes == 1ull << 28);
    const SizeCase cases[] = {
        // Grey 8-bit 16383 x 16384: both buffers exactly 2^28 bytes.
        {"decoded data and bitmap at the limit", 16383, 16384, 8, 0, 0, PngResult::Ok},
        {"decoded data one row over", 16383, 16385, 8, 0, 0, PngResult::TooLarge},
        // 2-bit grey widens to 4 bits: the bitmap is twice the decoded data.
        {"bitmap at the limit", 32768, 16384, 2, 0, 0, PngResult::Ok},
        {"bitmap one row over, decoded data half of it", 32768, 16385, 2, 0, 0, PngResult::TooLarge},
        // RGBA16 keeps 4 of 8 bytes per pixel: the decoded data is the larger.
        {"RGBA16 decoded data over, bitmap under", 8192, 4097, 16, 6, 0, PngResult::TooLarge},
        {"interlaced, the passes' filter bytes push it over", 16383, 16384, 8, 0, 1, PngResult::TooLarge},
        // Sizes whose 32-bit products wrap to small numbers.
        {"decoded size wraps to 0", 65535, 65536, 8, 0, 0, PngResult::TooLarge},
        {"row of 2^32 + 1 bytes", 0x20000000, 1, 16, 6, 0, PngResult::TooLarge},
        {"bitmap stride wraps to 0", 0x40000000, 1, 8, 6, 0, PngResult::TooLarge},
        {"largest PNG dimensions", 0x7FFFFFFF, 0x7FFFFFFF, 16, 6, 1, PngResult::TooLarge},
        {"one wide row", 0x7FFFFFFF, 1, 1, 0, 0, PngResult::TooLarge},
        {"one tall column", 1, 0x7FFFFFFF, 1, 0, 0, PngResult::TooLarge},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        ExactBuffer file(
            pngOf({{"IHDR", ihdr(c.width, c.height, c.bitDepth, c.colourType, c.interlace)}, {"IEND", {}}}));
        PngDecoder decoder;
        EXPECT_EQ(openPng(decoder, file.span()), c.expected);
        if (c.expected == PngResult::Ok) {
            const PngBitmapLayout layout = pngBitmapLayout(decoder);
            EXPECT_LE(std::uint64_t{layout.stride} * layout.height, MaxPngBufferBytes);
            EXPECT_EQ(decodePng(decoder), PngResult::NoImageData) << "no IDAT, so nothing to inflate";
        } else {
            EXPECT_EQ(decoder.stage, PngStage::Empty);
        }
        EXPECT_EQ(decoder.decodedData, nullptr);
        releasePng(decoder);
    }
}

// ============================================================================
// Checksums, truncation and the IDAT run
// ============================================================================

TEST(PngChecksums, WrongCrcsAndAdlerStillDecode) {
    const Bytes good = readSuiteFile("basn0g08");
    const Bytes reference = pixelsOf(decodeWithOurs(good));
    ASSERT_FALSE(reference.empty());
    const std::vector<Chunk> chunks = chunksOf(good);
    Bytes stream = imageDataOf(chunks);
    for (std::size_t i = stream.size() - 4; i < stream.size(); ++i) stream[i] = static_cast<std::uint8_t>(~stream[i]);
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"every CRC wrong", pngOf(chunks, false)},
        {"Adler-32 wrong", pngOf(withImageData(chunks, stream))},
        {"Adler-32 and every CRC wrong", pngOf(withImageData(chunks, stream), false)},
        {"Adler-32 missing", pngOf(withImageData(chunks, Bytes(stream.begin(), stream.end() - 4)))},
    };
    for (const auto& [what, file] : files) {
        SCOPED_TRACE(what);
        const OurBitmap bitmap = decodeWithOurs(file);
        // A missing Adler-32 may count as truncated data; any other outcome must be exact.
        if (std::string(what) == "Adler-32 missing" && bitmap.decode == PngResult::TruncatedData) continue;
        ASSERT_EQ(bitmap.write, PngResult::Ok) << pngResultName(bitmap.decode);
        EXPECT_EQ(pixelsOf(bitmap), reference);
    }
}

// Where the first run of IDAT chunks ends in the file, and how many of its
// data bytes hold the deflate blocks (the rest is the Adler-32).
struct ImageDataExtent {
    std::size_t runEnd = 0;
    std::size_t deflateEnd = 0;
};

ImageDataExtent extentOf(const Bytes& file) {
    ImageDataExtent extent;
    Bytes stream;
    bool inRun = false;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length = bigEndianAt(file, at);
        const bool idat = std::memcmp(&file[at + 4], "IDAT", 4) == 0;
        if (inRun && !idat) break;
        if (idat) {
            inRun = true;
            stream.insert(stream.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
            extent.runEnd = at + length + 12;
        }
        at += length + 12;
    }
    extent.deflateEnd = zlibInflate(stream, 1 << 20).deflateEnd;
    return extent;
}

// The IDAT data bytes kept when the file is cut to `length` (the walk drops
// a chunk that runs past the end).
std::size_t keptImageData(const Bytes& file, std::size_t length) {
    std::size_t kept = 0;
    for (std::size_t at = 8; at + 12 <= length;) {
        const std::size_t chunkLength = bigEndianAt(file, at);
        if (at + chunkLength + 12 > length) break;
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0) kept += chunkLength;
        at += chunkLength + 12;
    }
    return kept;
}

TEST(PngTruncation, EveryPrefixFailsOrGivesTheFullImage) {
    for (const char* name : {"basn0g01", "basi0g08", "z00n2c08", "oi9n0g16", "f99n0g04"}) {
        SCOPED_TRACE(name);
        const Bytes file = readSuiteFile(name);
        const Bytes reference = pixelsOf(decodeWithOurs(file));
        ASSERT_FALSE(reference.empty());
        const ImageDataExtent extent = extentOf(file);
        ASSERT_GT(extent.deflateEnd, 2u);
        for (std::size_t length = 0; length <= file.size(); ++length) {
            SCOPED_TRACE(length);
            const OurBitmap bitmap = decodeWithOurs(std::span(file).first(length));
            if (length < 16) {
                EXPECT_EQ(bitmap.open, PngResult::NotPng);
            }
            if (length >= 16 && length < 33) {
                EXPECT_EQ(bitmap.open, PngResult::NoHeader);
            }
            if (bitmap.write == PngResult::Ok) {
                EXPECT_GE(keptImageData(file, length), extent.deflateEnd) << "decoded without all the blocks";
                EXPECT_EQ(pixelsOf(bitmap), reference);
            } else if (length >= extent.runEnd) {
                ADD_FAILURE() << "every IDAT is whole, yet " << pngResultName(bitmap.open) << " "
                              << pngResultName(bitmap.decode) << " " << pngResultName(bitmap.write);
            }
        }
    }
}

TEST(PngImageData, OnlyTheFirstRunOfIdatChunksIsRead) {
    const std::vector<Chunk> chunks = basn0g08Chunks();
    const Bytes stream = imageDataOf(chunks);
    const Bytes reference = pixelsOf(decodeWithOurs(pngOf(chunks)));
    ASSERT_FALSE(reference.empty());
    auto split = [&](std::vector<std::vector<Chunk>> pieces) {
        std::vector<Chunk> out = {chunks.front()};
        for (auto& piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
        out.push_back({"IEND", {}});
        return pngOf(out);
    };
    const std::size_t half = stream.size() / 2;
    const Bytes head(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(half));
    const Bytes tail(stream.begin() + static_cast<std::ptrdiff_t>(half), stream.end());
    struct Case {
        const char* what;
        Bytes file;
        bool decodes;
    };
    const Case cases[] = {
        {"split in two, side by side", split({{{"IDAT", head}, {"IDAT", tail}}}), true},
        {"an empty IDAT first", split({{{"IDAT", {}}, {"IDAT", head}, {"IDAT", tail}}}), true},
        {"an empty IDAT between", split({{{"IDAT", head}, {"IDAT", {}}, {"IDAT", tail}}}), true},
        {"a whole stream, then a stray IDAT",
         split({{{"IDAT", stream}, {"tEXt", {'x', 0}}, {"IDAT", randomBytes(50, 4)}}}), true},
        {"split by an ancillary chunk", split({{{"IDAT", head}, {"tEXt", {'x', 0}}, {"IDAT", tail}}}), false},
        {"only an empty IDAT", split({{{"IDAT", {}}}}), false},
        {"an empty IDAT, a chunk, then the data", split({{{"IDAT", {}}, {"gAMA", {0, 0, 1, 0}}, {"IDAT", stream}}}),
         false},
        {"no IDAT", split({}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OurBitmap bitmap = decodeWithOurs(c.file);
        EXPECT_EQ(bitmap.open, PngResult::Ok);
        if (c.decodes) {
            ASSERT_EQ(bitmap.write, PngResult::Ok) << pngResultName(bitmap.decode);
            EXPECT_EQ(pixelsOf(bitmap), reference);
        } else {
            EXPECT_NE(bitmap.decode, PngResult::Ok);
        }
    }
}

TEST(PngImageData, MissingImageDataHasItsOwnReason) {
    for (const char* path : {"/pngsuite/xdtn0g01.png", "/realworld/libpng_crashers_huge_IDAT.png"}) {
        SCOPED_TRACE(path);
        const OurBitmap bitmap = decodeWithOurs(readBinaryFile(DataDir + path));
        if (bitmap.open == PngResult::Ok) {
            EXPECT_EQ(bitmap.decode, PngResult::NoImageData);
        }
    }
    const OurBitmap empty = decodeWithOurs(pngOf({chunksOf(readSuiteFile("basn0g08")).front(), {"IDAT", {}}}));
    ASSERT_EQ(empty.open, PngResult::Ok);
    EXPECT_EQ(empty.decode, PngResult::TruncatedData) << pngResultName(empty.decode);
}

// ============================================================================
// Filters and palettes
// ============================================================================

// basn0g08 with the filter byte of one row replaced.
Bytes withFilterByte(const char* name, std::size_t offset, std::uint8_t filter) {
    const std::vector<Chunk> chunks = chunksOf(readSuiteFile(name));
    Bytes raw = zlibInflate(imageDataOf(chunks), 1 << 20).output;
    raw.at(offset) = filter;
    return pngOf(withImageData(chunks, zlibCompress(raw)));
}

TEST(PngFilters, AFilterTypeAbove4FailsTheBitmap) {
    struct Case {
        const char* what;
        const char* file;
        std::size_t offset;  // of a row's filter byte in the decoded data
        std::uint8_t filter;
    };
    const Case cases[] = {
        {"first row, type 5", "basn0g08", 0, 5},
        {"last row, type 255", "basn0g08", 31 * 33, 255},
        {"1-bit rows, type 5", "basn0g01", 5 * 5, 5},
        // basi0g08's last pass (7) holds 16 rows of 33 bytes at the end.
        // basi0g08's passes take 1084 bytes; the last pass ends with a row of 33.
        {"interlaced, last row of the last pass", "basi0g08", 1084 - 33, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OurBitmap bitmap = decodeWithOurs(withFilterByte(c.file, c.offset, c.filter));
        ASSERT_EQ(bitmap.decode, PngResult::Ok) << "filters are undone by the bitmap, not the inflate";
        EXPECT_EQ(bitmap.write, PngResult::BadFilter);
    }
}

TEST(PngPalettes, EntriesBeyondTheDepthAreIgnoredAndMissingOnesAreZero) {
    using Table = std::vector<std::array<std::uint8_t, 4>>;
    // A 2-bit image has a 16-entry table (4 bits per pixel) but indices up to 3 only.
    Table twoBitTable(16, {0, 0, 0, 0});
    for (std::uint8_t i = 0; i < 4; ++i)
        twoBitTable[i] = {static_cast<std::uint8_t>(3 * i + 3), static_cast<std::uint8_t>(3 * i + 2),
                          static_cast<std::uint8_t>(3 * i + 1), 0};
    Bytes sixEntries;
    for (std::uint8_t i = 1; i <= 18; ++i) sixEntries.push_back(i);
    struct Case {
        const char* what;
        const char* file;
        Bytes entries;  // R, G, B triples
        Table table;
    };
    const Case cases[] = {
        {"four entries for a 1-bit image",
         "basn3p01",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {{3, 2, 1, 0}, {6, 5, 4, 0}}},
        {"one entry", "basn3p01", {200, 100, 50}, {{50, 100, 200, 0}, {0, 0, 0, 0}}},
        {"a trailing partial entry", "basn3p01", {1, 2, 3, 4, 5}, {{3, 2, 1, 0}, {0, 0, 0, 0}}},
        {"six entries for a 2-bit image", "basn3p02", sixEntries, twoBitTable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Chunk> chunks = chunksOf(readSuiteFile(c.file));
        const auto plte = std::find_if(chunks.begin(), chunks.end(), [](const Chunk& p) { return p.type == "PLTE"; });
        ASSERT_NE(plte, chunks.end());
        plte->data = c.entries;
        const OurBitmap bitmap = decodeWithOurs(pngOf(chunks));
        ASSERT_EQ(bitmap.write, PngResult::Ok);
        EXPECT_EQ(bitmap.layout.colourTable, c.table);
    }
}

TEST(PngPalettes, OnlyTheFirstPlteCounts) {
    std::vector<Chunk> chunks = chunksOf(readSuiteFile("basn3p01"));
    const Bytes first =
        std::find_if(chunks.begin(), chunks.end(), [](const Chunk& c) { return c.type == "PLTE"; })->data;
    chunks = insertedBefore(chunks, "IDAT", {"PLTE", {9, 9, 9, 8, 8, 8}});
    const OurBitmap bitmap = decodeWithOurs(pngOf(chunks));
    ASSERT_EQ(bitmap.write, PngResult::Ok);
    ASSERT_EQ(first.size(), 6u);
    const std::vector<std::array<std::uint8_t, 4>> expected = {{first[2], first[1], first[0], 0},
                                                               {first[5], first[4], first[3], 0}};
    EXPECT_EQ(bitmap.layout.colourTable, expected);
}

// ============================================================================
// Every accepted format against libpng, with every filter on every row
// ============================================================================

TEST(PngFormats, RandomImagesMatchLibpngInEveryFormat) {
    std::mt19937 random(20240611);
    for (const PngFormat format : AcceptedFormats) {
        for (const bool interlaced : {false, true}) {
            for (int round = 0; round < 8; ++round) {
                const auto width = static_cast<std::uint32_t>(round == 0 ? 1 : 1 + random() % 37);
                const auto height = static_cast<std::uint32_t>(round == 0 ? 1 : 1 + random() % 19);
                SCOPED_TRACE("colour type " + std::to_string(format.colourType) + ", depth " +
                             std::to_string(format.bitDepth) + (interlaced ? ", Adam7, " : ", ") +
                             std::to_string(width) + " x " + std::to_string(height));
                const Bytes data = zlibCompress(randomScanlines(format, width, height, interlaced, random));
                const Bytes file = randomImageFile(format, width, height, interlaced, data, random);
                const ReferenceDecode libpng = decodeWithLibpng(file);
                ASSERT_TRUE(libpng.ok) << libpng.error;
                const OurBitmap ours = decodeWithOurs(file);
                ASSERT_EQ(ours.write, PngResult::Ok) << pngResultName(ours.open) << " " << pngResultName(ours.decode)
                                                     << " " << pngResultName(ours.write);
                EXPECT_EQ(ours.layout.bitsPerPixel, libpng.bitmap.bitsPerPixel);
                EXPECT_EQ(ours.layout.stride, libpng.bitmap.stride);
                EXPECT_EQ(ours.layout.usedColours, libpng.bitmap.usedColours);
                EXPECT_EQ(ours.layout.colourTable, libpng.bitmap.colourTable);
                const Bytes expected = pixelsOf(libpng.bitmap);
                const Bytes got = pixelsOf(ours);
                EXPECT_TRUE(got == expected) << firstDifference(expected, got);
            }
        }
    }
}

// High bytes are taken as they are: 0x12FF stays 0x12, never rounds to 0x13.
TEST(PngFormats, SixteenBitSamplesKeepTheirHighByte) {
    const Bytes row = {0, 0x12, 0xFF, 0x34, 0x80, 0x56, 0x7F, 0xAB, 0xCD};  // filter 0, R G B, then A for RGBA
    struct Case {
        std::uint8_t colourType;
        Bytes scanline;
        Bytes pixels;
    };
    const Case cases[] = {
        {0, {0, 0x12, 0xFF}, {0x12}},
        {2, {0, 0x12, 0xFF, 0x34, 0x80, 0x56, 0x7F}, {0x56, 0x34, 0x12}},
        {4, {0, 0x12, 0xFF, 0xAB, 0xCD}, {0x12}},
        {6, row, {0x56, 0x34, 0x12, 0xAB}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.colourType));
        const Bytes file =
            pngOf({{"IHDR", ihdr(1, 1, 16, c.colourType)}, {"IDAT", zlibCompress(c.scanline)}, {"IEND", {}}});
        const OurBitmap bitmap = decodeWithOurs(file);
        ASSERT_EQ(bitmap.write, PngResult::Ok);
        EXPECT_EQ(pixelsOf(bitmap), c.pixels);
    }
}

// ============================================================================
// inflateZlib against zlib
// ============================================================================

struct InflateRun {
    PngResult result;
    Bytes output;
};

InflateRun ourInflateWith(BitBufferWidth width, std::span<const std::uint8_t> stream, std::size_t outputSize,
                          std::uint8_t fill) {
    ExactBuffer in(stream);
    ExactBuffer out(Bytes(outputSize, fill));
    const PngResult result = inflateZlib(in.span(), out.span(), width);
    return {result, out.bytes()};
}

// Both bit buffer widths, which must agree on the result and every byte
// (the 32-bit one is the 32-bit player's).
InflateRun ourInflate(std::span<const std::uint8_t> stream, std::size_t outputSize, std::uint8_t fill = 0xC3) {
    const InflateRun wide = ourInflateWith(BitBufferWidth::Bits64, stream, outputSize, fill);
    const InflateRun narrow = ourInflateWith(BitBufferWidth::Bits32, stream, outputSize, fill);
    EXPECT_EQ(narrow.result, wide.result) << "32-bit bit buffer: " << pngResultName(narrow.result) << ", 64-bit: "
                                          << pngResultName(wide.result);
    EXPECT_TRUE(narrow.output == wide.output) << "the 32-bit and 64-bit bit buffers wrote different bytes";
    return wide;
}

struct DeflatePlan {
    const char* what;
    std::vector<DeflateStep> steps;
    int windowBits;
};

// Streams of several blocks: level 0 gives stored blocks, Z_FIXED fixed ones,
// the rest dynamic ones; Z_SYNC_FLUSH ends a block but keeps the history, so
// the next block's matches reach back across the boundary.
std::vector<DeflatePlan> deflatePlans(std::size_t size) {
    const std::size_t piece = std::max<std::size_t>(size / 7, 1);
    return {
        {"level 6", {{6, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, 0}}, 15},
        {"level 9, window 512", {{9, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, 0}}, 9},
        {"level 1, window 1024", {{1, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, 0}}, 10},
        {"stored only", {{0, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, 0}}, 15},
        {"fixed only", {{6, Z_FIXED, Z_NO_FLUSH, 0}}, 15},
        {"Huffman only", {{6, Z_HUFFMAN_ONLY, Z_NO_FLUSH, 0}}, 15},
        {"runs only", {{6, Z_RLE, Z_NO_FLUSH, 0}}, 15},
        {"filtered", {{6, Z_FILTERED, Z_NO_FLUSH, 0}}, 12},
        {"stored, fixed, dynamic, history kept",
         {{0, Z_DEFAULT_STRATEGY, Z_SYNC_FLUSH, piece},
          {6, Z_FIXED, Z_SYNC_FLUSH, piece},
          {9, Z_DEFAULT_STRATEGY, Z_SYNC_FLUSH, piece},
          {0, Z_DEFAULT_STRATEGY, Z_SYNC_FLUSH, piece},
          {1, Z_FIXED, Z_SYNC_FLUSH, piece},
          {6, Z_DEFAULT_STRATEGY, Z_NO_FLUSH, piece}},
         15},
        {"dynamic, fixed, stored, history dropped",
         {{6, Z_DEFAULT_STRATEGY, Z_FULL_FLUSH, piece},
          {6, Z_FIXED, Z_FULL_FLUSH, piece},
          {0, Z_DEFAULT_STRATEGY, Z_FULL_FLUSH, piece},
          {9, Z_RLE, Z_PARTIAL_FLUSH, piece}},
         15},
        {"many small flushed blocks",
         std::vector<DeflateStep>(
             12, DeflateStep{6, Z_DEFAULT_STRATEGY, Z_SYNC_FLUSH, std::max<std::size_t>(size / 12, 1)}),
         15},
    };
}

TEST(PngInflate, MatchesZlibOnStreamsOfEveryKind) {
    const std::size_t sizes[] = {0, 1, 2, 3, 100, 258, 1000, 4096, 32767, 32768, 32769, 65535, 65536, 70000, 300000};
    std::uint32_t seed = 1;
    for (const std::size_t size : sizes) {
        for (const bool repetitive : {false, true}) {
            const Bytes data = repetitive ? repetitiveBytes(size, seed) : randomBytes(size, seed);
            ++seed;
            for (const DeflatePlan& plan : deflatePlans(size)) {
                SCOPED_TRACE(std::string(plan.what) + ", " + std::to_string(size) +
                             (repetitive ? " repetitive bytes" : " random bytes"));
                const Bytes stream = zlibDeflate(data, plan.steps, plan.windowBits);
                ASSERT_FALSE(stream.empty()) << "zlib failed to compress";
                const ZlibInflate zlib = zlibInflate(stream, size + 1);
                ASSERT_TRUE(zlib.complete && zlib.output == data) << "zlib's own round trip";
                const InflateRun ours = ourInflate(stream, size);
                ASSERT_EQ(ours.result, PngResult::Ok) << pngResultName(ours.result);
                EXPECT_TRUE(ours.output == data) << firstDifference(data, ours.output);
            }
        }
    }
}

TEST(PngInflate, OutputSizeMustBeReachedAndExtraIsIgnored) {
    const Bytes data = repetitiveBytes(5000, 77);
    const Bytes stream = zlibCompress(data);
    const InflateRun shorter = ourInflate(stream, data.size() - 1);
    EXPECT_EQ(shorter.result, PngResult::Ok) << "bytes beyond the output are ignored";
    EXPECT_TRUE(std::equal(shorter.output.begin(), shorter.output.end(), data.begin()));
    EXPECT_EQ(ourInflate(stream, data.size() + 1).result, PngResult::ShortData);
    EXPECT_EQ(ourInflate(stream, 2 * data.size()).result, PngResult::ShortData);
    EXPECT_EQ(ourInflate(zlibCompress(Bytes{}), 1).result, PngResult::ShortData);
    EXPECT_EQ(ourInflate(zlibCompress(Bytes{}), 0).result, PngResult::Ok);

    // The same through a whole PNG: one row too few, one row of extra data.
    const std::vector<Chunk> chunks = basn0g08Chunks();
    const Bytes raw = zlibInflate(imageDataOf(chunks), 1 << 20).output;
    const Bytes fewer(raw.begin(), raw.end() - 33);
    EXPECT_EQ(decodeWithOurs(pngOf(withImageData(chunks, zlibCompress(fewer)))).decode, PngResult::ShortData);
    Bytes more = raw;
    more.insert(more.end(), 33, 0x42);
    const OurBitmap extra = decodeWithOurs(pngOf(withImageData(chunks, zlibCompress(more))));
    EXPECT_EQ(extra.write, PngResult::Ok);
    EXPECT_EQ(pixelsOf(extra), pixelsOf(decodeWithOurs(pngOf(chunks))));
}

TEST(PngInflate, EveryCutStreamFailsAsTruncatedOrStaysExact) {
    for (const bool repetitive : {false, true}) {
        const Bytes data = repetitive ? repetitiveBytes(3000, 5) : randomBytes(700, 6);
        const Bytes stream = zlibDeflate(data, deflatePlans(data.size())[8].steps);
        ASSERT_FALSE(stream.empty());
        for (std::size_t length = 0; length < stream.size(); ++length) {
            SCOPED_TRACE(std::to_string(length) + " of " + std::to_string(stream.size()) + " bytes");
            const std::span<const std::uint8_t> cut = std::span(stream).first(length);
            const InflateRun ours = ourInflate(cut, data.size());
            if (ours.result == PngResult::Ok) {
                EXPECT_TRUE(ours.output == data);
                EXPECT_EQ(zlibInflate(cut, data.size()).output.size(), data.size())
                    << "succeeded where the cut stream cannot give every byte";
            } else if (length >= 2) {
                EXPECT_EQ(ours.result, PngResult::TruncatedData);
            }
        }
    }
}

// --- zlib headers ---------------------------------------------------------------------

Bytes withHeader(std::uint8_t cmf, std::uint8_t flags, const Bytes& stream) {
    Bytes out = stream;
    out[0] = cmf;
    out[1] = flags;
    return out;
}

// FCHECK makes CMF * 256 + FLG a multiple of 31.
std::uint8_t validFlags(std::uint8_t cmf, std::uint8_t flagBits) {
    const auto base = static_cast<std::uint8_t>(flagBits & 0xE0);
    return static_cast<std::uint8_t>(base + (31 - (cmf * 256 + base) % 31) % 31);
}

TEST(PngInflate, ZlibHeaderRules) {
    const Bytes data = repetitiveBytes(2000, 9);
    const Bytes stream = zlibCompress(data);
    struct Case {
        const char* what;
        std::uint8_t cmf;
        std::uint8_t flags;
        PngResult expected;
    };
    std::vector<Case> cases = {
        {"preset dictionary", 0x78, validFlags(0x78, 0x20), PngResult::BadZlibHeader},
        {"compression method 7", 0x77, validFlags(0x77, 0), PngResult::BadZlibHeader},
        {"compression method 15", 0x7F, validFlags(0x7F, 0), PngResult::BadZlibHeader},
        {"window field 8", 0x88, validFlags(0x88, 0), PngResult::BadZlibHeader},
        {"window field 15", 0xF8, validFlags(0xF8, 0), PngResult::BadZlibHeader},
        {"check bits wrong", 0x78, static_cast<std::uint8_t>(validFlags(0x78, 0x80) + 1), PngResult::Ok},
    };
    for (std::uint8_t window = 0; window <= 7; ++window) {
        const auto cmf = static_cast<std::uint8_t>(window << 4 | 8);
        cases.push_back({"window field 0 to 7", cmf, validFlags(cmf, 0), PngResult::Ok});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", CMF " + std::to_string(c.cmf));
        const InflateRun ours = ourInflate(withHeader(c.cmf, c.flags, stream), data.size());
        EXPECT_EQ(ours.result, c.expected) << pngResultName(ours.result);
        if (c.expected == PngResult::Ok) {
            EXPECT_EQ(ours.output, data);
        }
    }
    EXPECT_NE(ourInflate(Bytes{}, 1).result, PngResult::Ok);
    EXPECT_NE(ourInflate(Bytes{0x78}, 1).result, PngResult::Ok);

    // The same refusal through decodePng.
    const std::vector<Chunk> chunks = basn0g08Chunks();
    const Bytes idat = imageDataOf(chunks);
    EXPECT_EQ(decodeWithOurs(pngOf(withImageData(chunks, withHeader(0x78, validFlags(0x78, 0x20), idat)))).decode,
              PngResult::BadZlibHeader);
}

// --- hand-built deflate streams ----------------------------------------------------------

// Deflate's bit order: values least significant bit first, Huffman codes most
// significant bit first.
class BitWriter {
public:
    BitWriter() : bytes_{0x78, 0x01} {}
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1u);
    }
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) bit((value >> i) & 1u);
    }
    void fixedLiteral(std::uint32_t symbol) {
        if (symbol < 144)
            code(0x30 + symbol, 8);
        else if (symbol < 256)
            code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            code(symbol - 256, 7);
        else
            code(0xC0 + symbol - 280, 8);
    }
    void fixedDistance(std::uint32_t symbol) { code(symbol, 5); }
    void alignToByte() {
        while (used_ != 0) bit(0);
    }
    void byte(std::uint8_t value) { bytes_.push_back(value); }
    // Ends the stream: pads the last byte and appends an Adler-32 (unchecked).
    Bytes finish() {
        alignToByte();
        bytes_.insert(bytes_.end(), {0, 0, 0, 1});
        return bytes_;
    }

private:
    void bit(std::uint32_t value) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | value << used_);
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

// A dynamic block header with the given code-length code (in the
// transmission order) and then `lengths`, each written with the canonical code
// of the code-length code: `codeLengthCode` maps a code-length symbol to its
// code, supplied by the caller.
struct CodeLengthCode {
    std::array<int, 19> lengths{};                          // by code-length symbol
    std::array<std::pair<std::uint32_t, int>, 19> codes{};  // canonical code, length
};

CodeLengthCode canonical(std::array<int, 19> lengths) {
    CodeLengthCode c;
    c.lengths = lengths;
    std::uint32_t next = 0;
    for (int length = 1; length <= 7; ++length) {
        for (std::size_t symbol = 0; symbol < 19; ++symbol) {
            if (lengths[symbol] == length) c.codes[symbol] = {next++, length};
        }
        next <<= 1;
    }
    return c;
}

constexpr std::size_t CodeLengthOrder[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

void dynamicHeader(BitWriter& w, bool final, int literals, int distances, const CodeLengthCode& clc) {
    w.bits(final ? 1u : 0u, 1);
    w.bits(2, 2);
    w.bits(static_cast<std::uint32_t>(literals - 257), 5);
    w.bits(static_cast<std::uint32_t>(distances - 1), 5);
    w.bits(19 - 4, 4);
    for (const std::size_t symbol : CodeLengthOrder) w.bits(static_cast<std::uint32_t>(clc.lengths[symbol]), 3);
}

void codeLengthSymbol(BitWriter& w, const CodeLengthCode& clc, std::size_t symbol) {
    w.code(clc.codes[symbol].first, clc.codes[symbol].second);
}

// Code lengths 0 to 15 each coded in 4 bits: a complete code that can write any table.
CodeLengthCode flatCodeLengthCode() {
    std::array<int, 19> lengths{};
    for (std::size_t s = 0; s < 16; ++s) lengths[s] = 4;
    return canonical(lengths);
}

// Symbol 16 (repeat), 18 (long zero run) and the lengths 0 and 1.
CodeLengthCode repeatingCodeLengthCode() {
    std::array<int, 19> lengths{};
    lengths[16] = 2;
    lengths[18] = 2;
    lengths[0] = 2;
    lengths[1] = 2;
    return canonical(lengths);
}

struct BadStream {
    const char* what;
    Bytes stream;
    std::vector<PngResult> accepted;  // the reasons that fit; the first is the expected one
    std::size_t outputSize;
};

Bytes blockType3(bool afterStoredBlock) {
    BitWriter w;
    if (afterStoredBlock) {
        w.bits(0, 3);
        w.alignToByte();
        for (const std::uint8_t b : std::initializer_list<std::uint8_t>{1, 0, 0xFE, 0xFF, 'x'}) w.byte(b);
    }
    w.bits(1, 1);
    w.bits(3, 2);
    return w.finish();
}

Bytes storedBlock(std::uint16_t length, std::uint16_t complement, std::size_t payload) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(0, 2);
    w.alignToByte();
    for (const std::uint8_t b :
         {std::uint8_t(length), std::uint8_t(length >> 8), std::uint8_t(complement), std::uint8_t(complement >> 8)}) {
        w.byte(b);
    }
    for (std::size_t i = 0; i < payload; ++i) w.byte(static_cast<std::uint8_t>('a' + i % 26));
    Bytes stream = w.finish();
    stream.resize(stream.size() - 4);  // no Adler-32: the payload is what is measured here
    return stream;
}

// Fixed block: literals, then a match of `length` 3..10 at `distance` 1..4.
constexpr std::uint32_t DistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                            33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// A match of `length` 3..10 (no extra bits) at any distance, in the fixed code.
void fixedMatchCode(BitWriter& w, std::uint32_t length, std::uint32_t distance) {
    w.fixedLiteral(257 + length - 3);
    std::uint32_t symbol = 29;
    while (DistanceBase[symbol] > distance) --symbol;
    w.fixedDistance(symbol);
    w.bits(distance - DistanceBase[symbol], symbol < 4 ? 0 : static_cast<int>(symbol / 2 - 1));
}

// Fixed block: `before`, a match, then `after`. Long surroundings take the
// decoder's bulk loop, which works only far from the ends of its buffers.
Bytes fixedStream(const std::string& before, std::uint32_t length, std::uint32_t distance, const std::string& after) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    for (const char c : before) w.fixedLiteral(static_cast<std::uint8_t>(c));
    fixedMatchCode(w, length, distance);
    for (const char c : after) w.fixedLiteral(static_cast<std::uint8_t>(c));
    w.fixedLiteral(256);
    return w.finish();
}

Bytes fixedMatch(const std::string& literals, std::uint32_t length, std::uint32_t distance) {
    return fixedStream(literals, length, distance, "");
}

// What fixedStream's block decodes to.
std::string expanded(const std::string& before, std::uint32_t length, std::uint32_t distance,
                     const std::string& after) {
    std::string text = before;
    for (std::uint32_t i = 0; i < length; ++i) text.push_back(text[text.size() - distance]);
    return text + after;
}

// Varied text for the long cases.
std::string filler(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text.push_back(static_cast<char>('a' + (i * 7 + i / 5) % 26));
    return text;
}

Bytes fixedSymbols(std::uint32_t literal, std::uint32_t distanceSymbol, const std::string& padding = "") {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    w.fixedLiteral('a');
    for (const char c : padding) w.fixedLiteral(static_cast<std::uint8_t>(c));
    w.fixedLiteral(literal);
    if (literal >= 257) w.fixedDistance(distanceSymbol);
    for (const char c : padding) w.fixedLiteral(static_cast<std::uint8_t>(c));
    w.fixedLiteral(256);
    return w.finish();
}

// Dynamic block whose literal/length and distance tables are given in full.
Bytes dynamicWithTables(const std::vector<int>& literalLengths, const std::vector<int>& distanceLengths,
                        const std::vector<std::pair<std::uint32_t, int>>& payloadCodes) {
    BitWriter w;
    const CodeLengthCode clc = flatCodeLengthCode();
    dynamicHeader(w, true, static_cast<int>(literalLengths.size()), static_cast<int>(distanceLengths.size()), clc);
    for (const int length : literalLengths) codeLengthSymbol(w, clc, static_cast<std::size_t>(length));
    for (const int length : distanceLengths) codeLengthSymbol(w, clc, static_cast<std::size_t>(length));
    for (const auto& [value, length] : payloadCodes) w.code(value, length);
    return w.finish();
}

// HLIT and HDIST at their field's maximum: 288 and 32 codes, beyond the
// 286 and 30 that deflate allows.
Bytes dynamicCounts(int literals, int distances) {
    BitWriter w;
    const CodeLengthCode clc = flatCodeLengthCode();
    dynamicHeader(w, true, literals, distances, clc);
    // Under-subscribed codes that would otherwise be usable: only the counts are wrong.
    for (int i = 0; i < literals + distances; ++i) codeLengthSymbol(w, clc, i < literals ? 9 : 5);
    w.bits(0, 32);
    return w.finish();
}

Bytes dynamicCodeLengthCode(std::array<int, 19> lengths) {
    BitWriter w;
    dynamicHeader(w, true, 257, 1, canonical(lengths));
    w.bits(0, 32);
    return w.finish();
}

// Code-length symbols only, through repeatingCodeLengthCode.
Bytes dynamicRepeats(const std::vector<std::pair<std::size_t, std::uint32_t>>& symbols) {
    BitWriter w;
    const CodeLengthCode clc = repeatingCodeLengthCode();
    dynamicHeader(w, true, 257, 1, clc);
    for (const auto& [symbol, extra] : symbols) {
        codeLengthSymbol(w, clc, symbol);
        if (symbol == 16) w.bits(extra, 2);
        if (symbol == 18) w.bits(extra, 7);
    }
    w.bits(0, 32);
    return w.finish();
}

// 'a' = 0, end = 10, code 11 unused
std::vector<int> holeyLiterals() {
    std::vector<int> lengths(257, 0);
    lengths['a'] = 1;
    lengths[256] = 2;
    return lengths;
}

// Faults deep inside a long block, with room all around.
std::vector<BadStream> midStreamFaults() {
    const std::string text = filler(300);
    std::vector<std::pair<std::uint32_t, int>> holeFarIn(40, {0, 1});
    holeFarIn.push_back({3, 2});
    holeFarIn.insert(holeFarIn.end(), 300, {0, 1});
    return {
        {"distance 41 after 40 bytes, mid-stream",
         fixedStream(text.substr(0, 40), 5, 41, text),
         {PngResult::BadDistance},
         4096},
        {"distance 20000 after 300 bytes, mid-stream",
         fixedStream(text, 5, 20000, text),
         {PngResult::BadDistance},
         4096},
        {"length symbol 286, mid-stream", fixedSymbols(286, 0, text), {PngResult::BadHuffmanCode}, 4096},
        {"distance symbol 30, mid-stream",
         fixedSymbols(257, 30, text),
         {PngResult::BadHuffmanCode, PngResult::BadDistance},
         4096},
        {"a used hole in a dynamic code, mid-stream",
         dynamicWithTables(holeyLiterals(), {1}, holeFarIn),
         {PngResult::BadHuffmanCode},
         4096},
    };
}

std::vector<BadStream> badStreams() {
    std::vector<int> oversubscribed(257, 1);
    std::array<int, 19> allOne{};
    allOne.fill(1);
    const std::array<int, 19> allZero{};
    std::vector<BadStream> streams = midStreamFaults();
    std::vector<BadStream> shortOnes{
        {"block type 3", blockType3(false), {PngResult::BadBlockType}, 64},
        {"block type 3 after a stored block", blockType3(true), {PngResult::BadBlockType}, 64},
        {"stored LEN and NLEN disagree", storedBlock(5, 0xFFFF, 5), {PngResult::BadStoredLength}, 64},
        {"stored NLEN equal to LEN", storedBlock(5, 5, 5), {PngResult::BadStoredLength}, 64},
        {"stored block longer than its data",
         storedBlock(50, static_cast<std::uint16_t>(~50u), 20),
         {PngResult::TruncatedData},
         64},
        {"distance 1 with no output", fixedMatch("", 3, 1), {PngResult::BadDistance}, 64},
        {"distance 2 after one byte", fixedMatch("a", 3, 2), {PngResult::BadDistance}, 64},
        {"distance 4 after three bytes", fixedMatch("abc", 5, 4), {PngResult::BadDistance}, 64},
        {"fixed length symbol 286", fixedSymbols(286, 0), {PngResult::BadHuffmanCode}, 64},
        {"fixed length symbol 287", fixedSymbols(287, 0), {PngResult::BadHuffmanCode}, 64},
        {"fixed distance symbol 30", fixedSymbols(257, 30), {PngResult::BadHuffmanCode, PngResult::BadDistance}, 64},
        {"fixed distance symbol 31", fixedSymbols(257, 31), {PngResult::BadHuffmanCode, PngResult::BadDistance}, 64},
        {"code-length code oversubscribed", dynamicCodeLengthCode(allOne), {PngResult::BadHuffmanCode}, 64},
        {"code-length code empty", dynamicCodeLengthCode(allZero), {PngResult::BadHuffmanCode}, 64},
        {"literal code oversubscribed", dynamicWithTables(oversubscribed, {1}, {}), {PngResult::BadHuffmanCode}, 64},
        {"literal code with a hole that is used",
         dynamicWithTables(holeyLiterals(), {1}, {{0, 1}, {3, 2}}),
         {PngResult::BadHuffmanCode},
         64},
        {"287 literal/length codes", dynamicCounts(287, 1), {PngResult::BadHuffmanCode}, 64},
        {"31 distance codes", dynamicCounts(257, 31), {PngResult::BadHuffmanCode}, 64},
        {"repeat with nothing before it", dynamicRepeats({{16, 0}}), {PngResult::BadHuffmanCode}, 64},
        {"zero runs past the table's end", dynamicRepeats({{18, 127}, {18, 127}}), {PngResult::BadHuffmanCode}, 64},
        // 256 zeros and a 1 fill 257 of the 258 lengths; the repeat asks for 3.
        {"repeat past the table's end",
         dynamicRepeats({{18, 127}, {18, 107}, {1, 0}, {16, 0}}),
         {PngResult::BadHuffmanCode},
         64},
    };
    streams.insert(streams.end(), shortOnes.begin(), shortOnes.end());
    return streams;
}

TEST(PngInflate, BadStreamsFailWithTheirReason) {
    for (const BadStream& c : badStreams()) {
        SCOPED_TRACE(c.what);
        const InflateRun ours = ourInflate(c.stream, c.outputSize);
        EXPECT_NE(std::find(c.accepted.begin(), c.accepted.end(), ours.result), c.accepted.end())
            << "expected " << pngResultName(c.accepted.front()) << ", got " << pngResultName(ours.result);
        EXPECT_NE(zlibInflate(c.stream, c.outputSize).complete, true) << "zlib accepts this stream: the case is wrong";
    }
    // Through decodePng: the decoder fails and stays opened.
    const std::vector<Chunk> chunks = basn0g08Chunks();
    for (const BadStream& c : badStreams()) {
        SCOPED_TRACE(std::string("in a PNG: ") + c.what);
        ExactBuffer file(pngOf(withImageData(chunks, c.stream)));
        PngDecoder decoder;
        ASSERT_EQ(openPng(decoder, file.span()), PngResult::Ok);
        const PngResult result = decodePng(decoder);
        EXPECT_NE(result, PngResult::Ok);
        EXPECT_EQ(decoder.stage, PngStage::Opened);
        releasePng(decoder);
    }
}

// The boundaries next to the bad cases: exactly as far back as the output
// goes, overlapping copies, and symbols that do exist.
TEST(PngInflate, HandBuiltGoodStreamsDecode) {
    struct Case {
        const char* what;
        Bytes stream;
        std::string output;
    };
    const std::vector<int> twoLiterals = [] {
        std::vector<int> lengths(257, 0);
        lengths['a'] = 2;
        lengths['b'] = 2;
        lengths[256] = 1;
        return lengths;
    }();
    const std::string text = filler(400);
    const Case cases[] = {
        {"distance equal to the output so far, mid-stream", fixedStream(text.substr(0, 40), 10, 40, text),
         expanded(text.substr(0, 40), 10, 40, text)},
        {"far distance, mid-stream", fixedStream(text, 7, 400, text), expanded(text, 7, 400, text)},
        {"distance equal to the output so far", fixedMatch("ab", 3, 2), "ababa"},
        {"distance 1 repeats the last byte", fixedMatch("x", 10, 1), "xxxxxxxxxxx"},
        {"distance 4, length 3", fixedMatch("abcd", 3, 4), "abcdabc"},
        {"stored block", storedBlock(3, static_cast<std::uint16_t>(~3u), 3), "abc"},
        {"dynamic block with a one-code distance table",
         dynamicWithTables(twoLiterals, {1}, {{2, 2}, {3, 2}, {2, 2}, {0, 1}}), "aba"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const InflateRun ours = ourInflate(c.stream, c.output.size());
        EXPECT_EQ(ours.result, PngResult::Ok) << pngResultName(ours.result);
        EXPECT_EQ(std::string(ours.output.begin(), ours.output.end()), c.output);
        const ZlibInflate zlib = zlibInflate(c.stream, c.output.size() + 64);
        EXPECT_EQ(std::string(zlib.output.begin(), zlib.output.end()), c.output) << "zlib disagrees: the case is wrong";
    }
}

}  // namespace
