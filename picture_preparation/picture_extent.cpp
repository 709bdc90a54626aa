#include "picture_preparation/picture_extent.h"

#include <cstdint>

namespace {

std::uint32_t little(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

std::uint32_t big(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
}

// Chunks after the signature: length, type, data, CRC; the last is IEND.
std::string pngMissing(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t End = 0x49454E44;  // "IEND"
    std::size_t at = 8;
    while (bytes.size() - at >= 12) {
        const std::uint64_t length = big(bytes, at);
        if (big(bytes, at + 4) == End) return {};
        if (length > bytes.size() - at - 12) break;
        at += 12 + static_cast<std::size_t>(length);
    }
    return "its chunks stop before the end chunk";
}

// Sub-blocks: a length byte, that many bytes, until a length of 0. The
// position after them, or 0 when they run past the end.
std::size_t afterSubBlocks(std::span<const std::uint8_t> bytes, std::size_t at) {
    while (at < bytes.size()) {
        const std::size_t length = bytes[at];
        if (length == 0) return at + 1;
        at += 1 + length;
    }
    return 0;
}

std::size_t colourTableSize(std::uint8_t flags) { return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0; }

// The header and its colour table, extensions, then the first image:
// descriptor, colour table, code size and its data.
std::string gifMissing(std::span<const std::uint8_t> bytes) {
    const std::string cut = "its first picture stops short";
    if (bytes.size() < 13) return cut;
    std::size_t at = 13 + colourTableSize(bytes[10]);
    while (at < bytes.size()) {
        const std::uint8_t block = bytes[at];
        if (block == 0x21 && at + 2 < bytes.size()) {
            at = afterSubBlocks(bytes, at + 2);
        } else if (block == 0x2C && at + 10 < bytes.size()) {
            const std::size_t data = at + 10 + colourTableSize(bytes[at + 9]) + 1;
            return data < bytes.size() && afterSubBlocks(bytes, data) != 0 ? "" : cut;
        } else {
            return block == 0x3B ? "it holds no picture" : cut;
        }
        if (at == 0) return cut;
    }
    return cut;
}

// Uncompressed rows (BI_RGB, BI_BITFIELDS) padded to four bytes, from the
// data offset; compressed ones are left to the decoder.
std::string bmpMissing(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 30) return "its header stops short";
    const std::uint32_t headerSize = little(bytes, 14, 4);
    if (headerSize == 12 || bytes.size() < 34) return {};
    const std::uint32_t compression = little(bytes, 30, 4);
    if (compression != 0 && compression != 3) return {};
    const std::uint64_t width = little(bytes, 18, 4);
    const std::uint32_t rawHeight = little(bytes, 22, 4);
    const std::uint64_t height = rawHeight & 0x80000000u ? ~rawHeight + 1u : rawHeight;
    const std::uint64_t stride = (width * little(bytes, 28, 2) + 31) / 32 * 4;
    return little(bytes, 10, 4) + stride * height <= bytes.size() ? "" : "its rows stop short";
}

}  // namespace

std::string missingPart(PictureFormat format, std::span<const std::uint8_t> bytes) {
    switch (format) {
        case PictureFormat::Png: return pngMissing(bytes);
        case PictureFormat::Gif: return gifMissing(bytes);
        case PictureFormat::Bmp: return bmpMissing(bytes);
        default: return {};
    }
}
