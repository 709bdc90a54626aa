#include "picture_preparation/bmp_reader.h"

#include <array>
#include <bit>
#include <optional>

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiAlphaBitfields = 6;

std::optional<std::uint32_t> little(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
    if (at > bytes.size() || bytes.size() - at < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

DecodedPicture failure(PictureProblem problem, const char* why) {
    DecodedPicture result;
    result.problem = problem;
    result.error = why;
    return result;
}

// Why a header cannot be read: its reason, and our words for it.
struct BmpFault {
    PictureProblem problem = PictureProblem::None;
    const char* words = "";
    explicit operator bool() const { return problem != PictureProblem::None; }
};
constexpr BmpFault cutShort(const char* words) { return {PictureProblem::CutShort, words}; }
constexpr BmpFault damaged(const char* words) { return {PictureProblem::Damaged, words}; }

// One channel of a bit-field pixel, scaled to 8 bits.
struct Field {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0;

    static Field of(std::uint32_t mask) {
        if (mask == 0) return {};
        const int shift = std::countr_zero(mask);
        return {mask, shift, mask >> shift};
    }
    [[nodiscard]] std::uint8_t value(std::uint32_t pixel) const {
        if (maximum == 0) return 0;
        const std::uint32_t raw = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((raw * 255 + maximum / 2) / maximum);
    }
};

struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = BiRgb;
    std::size_t paletteAt = 0;
    std::uint32_t paletteEntrySize = 4;  // 3 in the core header
    std::uint32_t paletteCount = 0;
    std::array<Field, 4> fields{};       // red, green, blue, alpha
    std::size_t dataAt = 0;
};

// The header's fields, checked; a fault when the file cannot be read.
BmpFault readLayout(std::span<const std::uint8_t> file, Layout& l) {
    const auto dataAt = little(file, 10, 4);
    const auto headerSize = little(file, 14, 4);
    if (!dataAt || !headerSize) return cutShort("its header is cut short");
    l.dataAt = *dataAt;
    std::uint32_t colorsUsed = 0;
    if (*headerSize == 12) {
        const auto w = little(file, 18, 2), h = little(file, 20, 2), planes = little(file, 22, 2), bpp = little(file, 24, 2);
        if (!w || !h || !planes || !bpp) return cutShort("its header is cut short");
        l.width = *w;
        l.height = *h;
        l.bitsPerPixel = *bpp;
        l.paletteEntrySize = 3;
        if (*planes != 1) return damaged("an unknown BMP layout");
    } else if (*headerSize >= 40 && *headerSize <= 124) {
        const auto w = little(file, 18, 4), h = little(file, 22, 4), planes = little(file, 26, 2), bpp = little(file, 28, 2);
        const auto compression = little(file, 30, 4), used = little(file, 46, 4);
        if (!w || !h || !planes || !bpp || !compression || !used) return cutShort("its header is cut short");
        if ((*w & 0x80000000u) != 0 || *planes != 1) return damaged("an unknown BMP layout");
        l.width = *w;
        l.topDown = (*h & 0x80000000u) != 0;
        l.height = l.topDown ? ~*h + 1 : *h;
        l.bitsPerPixel = *bpp;
        l.compression = *compression;
        colorsUsed = *used;
    } else {
        return damaged("an unknown BMP header");
    }
    if (l.width == 0 || l.height == 0 || l.height > 0x7FFFFFFFu) return {PictureProblem::NoPixels, "a side of 0 pixels"};
    const std::uint32_t bpp = l.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return damaged("an unknown number of bits a pixel");
    const bool bitfields = l.compression == BiBitfields || l.compression == BiAlphaBitfields;
    if (l.compression != BiRgb && !(bitfields && (bpp == 16 || bpp == 32))) return {PictureProblem::FormatNotReadHere, "a compressed BMP, which is not read"};

    std::size_t afterHeader = 14 + std::size_t{*headerSize};
    if (bitfields) {
        // Version 3 headers keep their masks just after them; later ones inside.
        const std::size_t masksAt = *headerSize == 40 ? afterHeader : 54;
        const std::size_t count = l.compression == BiAlphaBitfields || *headerSize >= 56 ? 4 : 3;
        for (std::size_t i = 0; i < count; ++i) {
            const auto mask = little(file, masksAt + 4 * i, 4);
            if (!mask) return cutShort("its bit masks are cut short");
            l.fields[i] = Field::of(*mask);
        }
        if (*headerSize == 40) afterHeader += 4 * count;
    } else if (bpp == 16) {
        l.fields = {Field::of(0x7C00), Field::of(0x03E0), Field::of(0x001F), Field{}};
    } else if (bpp >= 24) {
        l.fields = {Field::of(0xFF0000), Field::of(0x00FF00), Field::of(0x0000FF), Field{}};
    }
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        l.paletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
        l.paletteAt = afterHeader;
        if (file.size() < l.paletteAt || (file.size() - l.paletteAt) / l.paletteEntrySize < l.paletteCount) {
            return cutShort("its colour table is cut short");
        }
    }
    return {};
}

std::uint32_t pixelBits(std::span<const std::uint8_t> row, std::uint32_t x, std::uint32_t bpp) {
    const std::size_t bit = static_cast<std::size_t>(x) * bpp;
    const std::size_t at = bit / 8;
    if (bpp <= 8) return (std::uint32_t{row[at]} >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
    std::uint32_t value = 0;
    for (std::size_t i = bpp / 8; i-- > 0;) value = value << 8 | row[at + i];
    return value;
}

}  // namespace

DecodedPicture readBmp(std::span<const std::uint8_t> file, std::uint64_t maxPixels) {
    Layout l;
    if (const BmpFault fault = readLayout(file, l)) return failure(fault.problem, fault.words);
    if (static_cast<std::uint64_t>(l.width) * l.height > maxPixels) {
        return failure(PictureProblem::TooManyPixels, "too many pixels");
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(l.width) * l.bitsPerPixel + 31) / 32 * 4;
    if (l.dataAt > file.size() || (file.size() - l.dataAt) / stride < l.height) return failure(PictureProblem::CutShort, "rows are missing");

    const bool alpha = l.fields[3].mask != 0;
    DecodedPicture decoded;
    if (!allocateImage(decoded.image, {l.width, l.height}, alpha ? 4u : 3u)) return failure(PictureProblem::OutOfMemory, "not enough memory");
    bool anyAlpha = false;
    std::uint8_t* out = decoded.image.samples.data();
    for (std::uint32_t y = 0; y < l.height; ++y) {
        const std::uint32_t stored = l.topDown ? y : l.height - 1 - y;
        // Within the file: its rows were counted against its size above.
        const auto row = file.subspan(static_cast<std::size_t>(l.dataAt + stored * stride), static_cast<std::size_t>(stride));
        for (std::uint32_t x = 0; x < l.width; ++x) {
            const std::uint32_t bits = pixelBits(row, x, l.bitsPerPixel);
            if (l.bitsPerPixel <= 8) {
                // An index past the table shows black, as the system shows it.
                const std::size_t entry = l.paletteAt + std::size_t{bits} * l.paletteEntrySize;
                const bool inTable = bits < l.paletteCount;
                *out++ = inTable ? file[entry + 2] : 0;
                *out++ = inTable ? file[entry + 1] : 0;
                *out++ = inTable ? file[entry] : 0;
            } else {
                *out++ = l.fields[0].value(bits);
                *out++ = l.fields[1].value(bits);
                *out++ = l.fields[2].value(bits);
                if (alpha) {
                    const std::uint8_t a = l.fields[3].value(bits);
                    anyAlpha = anyAlpha || a != 0;
                    *out++ = a;
                }
            }
        }
    }
    // An alpha mask over pixels that are all 0 is a mask nobody filled: opaque.
    if (alpha && !anyAlpha) {
        for (std::size_t i = 3; i < decoded.image.samples.size(); i += 4) decoded.image.samples[i] = 255;
    }
    return decoded;
}
