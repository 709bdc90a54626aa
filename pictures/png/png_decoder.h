#pragma once
// Our own PNG decoder: PNG file bytes to the rows of a device-independent
// bitmap, in a layout chosen per pixel format. Checksums are not verified and
// ancillary chunks are skipped. Portable: the Windows side only makes the
// DIB section and copies the colour table and rows into it.
//
// Stages: empty -> openPng -> opened -> decodePng -> decoded ->
// writePngBitmap (any number of times) -> releasePng -> empty.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "pictures/png/inflate.h"

enum class PngStage : std::uint8_t { Empty, Opened, Decoded };

enum class PngResult : std::uint8_t {
    Ok,
    WrongStage,            // the operation does not belong to the decoder's stage
    // openPng: fails silently in the player
    NotPng,                // under 16 bytes or no PNG signature
    NoHeader,              // the first chunk is not IHDR (or IHDR is short)
    ZeroSize,              // width or height 0
    UnknownCriticalChunk,
    UnsupportedFormat,     // colour type / bit depth pair, compression, filter or interlace method
    MissingPalette,        // an indexed image without PLTE
    TooLarge,              // decoded data or bitmap beyond the limits below
    // decodePng: "Error: couldn't decode PNG resource"
    NoImageData,           // no IDAT chunk
    BadZlibHeader,
    BadBlockType,          // deflate block type 3
    BadStoredLength,       // LEN and NLEN disagree
    BadHuffmanCode,        // a code-length table that cannot be decoded, or a symbol that does not exist
    BadDistance,           // a back-reference before the start of the output
    TruncatedData,         // the image data ends before the deflate stream
    ShortData,             // the stream ends before decodedSize bytes
    OutOfMemory,
    // writePngBitmap: "Error: couldn't create bitmap"
    BadFilter,             // a filter type above 4
    BadBitmapBuffer,       // the caller's rows are smaller than the layout needs
};

const char* pngResultName(PngResult result);

// Decoded data and bitmaps are each refused above this many bytes, before
// anything is allocated (a 32-bit process must keep room for both).
inline constexpr std::uint64_t MaxPngBufferBytes = 256ull << 20;

// The colour types of the IHDR chunk.
enum PngColourType : std::uint8_t {
    PngGrey = 0,
    PngTruecolour = 2,
    PngIndexed = 3,
    PngGreyAlpha = 4,
    PngTruecolourAlpha = 6,
};

struct PngDecoder {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t paletteEntryCount = 0;
    std::uint8_t colourType = 0;  // a PngColourType once opened
    std::uint8_t bitDepth = 0;
    std::uint8_t interlaceMethod = 0;
    std::span<const std::uint8_t> source;  // borrowed, never freed here
    std::size_t header = 0;                // offset of IHDR's data
    std::size_t palette = 0;               // offset of the first PLTE's data; 0: none
    std::size_t firstImageData = 0;        // offset of the first IDAT chunk (its length field); 0: none
    std::unique_ptr<std::uint8_t[]> decodedData;  // filtered scanlines, each led by its filter byte
    std::uint32_t decodedSize = 0;
    PngStage stage = PngStage::Empty;
};

PngResult openPng(PngDecoder& decoder, std::span<const std::uint8_t> bytes);
PngResult decodePng(PngDecoder& decoder);
void releasePng(PngDecoder& decoder);

// The bitmap the player makes from an opened (or decoded) image: top-down rows
// of `stride` bytes (a multiple of 4), `bitsPerPixel` 1, 4, 8, 24 or 32, and a
// colour table of B, G, R, 0 entries. `usedColours` is what the bitmap header
// declares (the ramp's length for grey ramps, 0 otherwise: the full 2^bits).
struct PngBitmapLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t stride = 0;
    std::uint32_t usedColours = 0;
    std::vector<std::array<std::uint8_t, 4>> colourTable;  // empty for 24 and 32 bits
};

PngBitmapLayout pngBitmapLayout(const PngDecoder& decoder);

// Unfilters the decoded data and writes every row into `rows` (stride x height
// bytes, top-down). The decoder must be decoded.
PngResult writePngBitmap(const PngDecoder& decoder, std::span<std::uint8_t> rows);

// The inflate alone, for tests and benchmarks: a zlib stream (2-byte header,
// deflate blocks, Adler-32 not checked) into `out`, which must be filled
// exactly; bytes beyond it are ignored. decodePng uses the machine's width.
PngResult inflateZlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out,
                      BitBufferWidth width = MachineBitBuffer);
