#pragma once
// PNG files built chunk by chunk for the tests, with no library: correct
// CRCs (or deliberately wrong ones), image data that any compressor could
// hold (stored deflate blocks need none), and random images of every
// accepted format.

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string type;
    Bytes data;
};

void putBigEndian(Bytes& out, std::uint32_t value);
std::uint32_t bigEndianAt(std::span<const std::uint8_t> bytes, std::size_t at);

// Signature, then each chunk with its length and CRC-32 (inverted when not `goodCrcs`).
Bytes pngOf(const std::vector<Chunk>& chunks, bool goodCrcs = true);

Bytes ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colourType,
           std::uint8_t interlace = 0, std::uint8_t compression = 0, std::uint8_t filter = 0);

// A zlib stream of stored blocks holding `data` (the Adler-32 left zero, as
// our decoder checks none).
Bytes storedZlibStream(std::span<const std::uint8_t> data);

struct PngFormat {
    std::uint8_t colourType;
    std::uint8_t bitDepth;
};

inline constexpr PngFormat AcceptedFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                                {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// Random samples under a random filter type on each row, pass by pass for
// Adam7: any such data is a valid image.
Bytes randomScanlines(PngFormat format, std::uint32_t width, std::uint32_t height, bool interlaced,
                      std::mt19937& random);

// IHDR, a random full PLTE for indexed formats, IDAT holding `imageData`, IEND.
Bytes randomImageFile(PngFormat format, std::uint32_t width, std::uint32_t height, bool interlaced,
                      const Bytes& imageData, std::mt19937& random);
