// Any bytes as a PNG picture: open, decode and write the bitmap into a buffer
// of exactly the layout's size, so that any read or write out of bounds is
// caught by the sanitizers. Every stage must agree with the one before; the
// 32-bit bit buffer with the 64-bit one, the vector paths with the scalar.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "pictures/png/png_decoder.h"
#include "pictures/png/simd_level.h"

namespace {

// Larger images are only opened: decoding them would mostly measure memset.
constexpr std::uint32_t FuzzDecodeLimit = 8u << 20;

// The first IDAT chunk's data inflated with each bit buffer width: the
// 32-bit player's inflate must agree with the 64-bit one on every byte and
// on the result.
void compareBitBufferWidths(const PngDecoder& decoder) {
    if (decoder.firstImageData == 0) return;
    const std::uint8_t* chunk = decoder.source.data() + decoder.firstImageData;
    const std::uint32_t length = static_cast<std::uint32_t>(chunk[0]) << 24 | static_cast<std::uint32_t>(chunk[1]) << 16 |
                                 static_cast<std::uint32_t>(chunk[2]) << 8 | chunk[3];
    const std::span<const std::uint8_t> stream(chunk + 8, length);  // openPng saw the whole chunk
    std::unique_ptr<std::uint8_t[]> wide(new std::uint8_t[decoder.decodedSize]());
    std::unique_ptr<std::uint8_t[]> narrow(new std::uint8_t[decoder.decodedSize]());
    const PngResult wideResult = inflateZlib(stream, {wide.get(), decoder.decodedSize}, BitBufferWidth::Bits64);
    const PngResult narrowResult = inflateZlib(stream, {narrow.get(), decoder.decodedSize}, BitBufferWidth::Bits32);
    if (wideResult != narrowResult) std::abort();
    if (wideResult == PngResult::Ok && std::memcmp(wide.get(), narrow.get(), decoder.decodedSize) != 0) std::abort();
}

// The bitmap written again with the vector paths off: the same result and,
// when whole, the same bytes.
void compareWithScalar(const PngDecoder& decoder, PngResult written, std::span<const std::uint8_t> rows) {
    std::unique_ptr<std::uint8_t[]> scalarRows(new std::uint8_t[rows.size()]);
    const SimdLevel level = pngSimdLevel();
    setPngSimdLevel(SimdLevel::Scalar);
    const PngResult scalarWritten = writePngBitmap(decoder, {scalarRows.get(), rows.size()});
    setPngSimdLevel(level);
    if (scalarWritten != written) std::abort();
    if (written == PngResult::Ok && std::memcmp(scalarRows.get(), rows.data(), rows.size()) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input in a block of its own size, so that reading past it is caught.
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
    if (size != 0) std::memcpy(bytes.get(), data, size);

    PngDecoder decoder;
    if (openPng(decoder, {bytes.get(), size}) != PngResult::Ok) {
        if (decoder.stage != PngStage::Empty) std::abort();
        return 0;
    }
    const PngBitmapLayout layout = pngBitmapLayout(decoder);
    if (layout.width != decoder.width || layout.height != decoder.height || layout.stride % 4 != 0) std::abort();
    if (decoder.decodedSize <= FuzzDecodeLimit) compareBitBufferWidths(decoder);
    if (decoder.decodedSize <= FuzzDecodeLimit && decodePng(decoder) == PngResult::Ok) {
        const std::size_t rowsSize = static_cast<std::size_t>(layout.stride) * layout.height;
        std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[rowsSize]);
        const PngResult written = writePngBitmap(decoder, {rows.get(), rowsSize});
        if (written != PngResult::Ok && written != PngResult::BadFilter) std::abort();
        compareWithScalar(decoder, written, {rows.get(), rowsSize});
        if (writePngBitmap(decoder, {rows.get(), rowsSize - 1}) != PngResult::BadBitmapBuffer) std::abort();
    }
    releasePng(decoder);
    if (decoder.stage != PngStage::Empty || decoder.decodedData) std::abort();
    return 0;
}
