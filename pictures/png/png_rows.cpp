#include "pictures/png/png_rows.h"

#include <array>
#include <cstring>

#include "pictures/png/png_decoder.h"
#include "pictures/png/png_rows_x86.h"

namespace {

// Each byte of four 2-bit samples becomes two bytes of two 4-bit samples.
constexpr std::array<std::uint16_t, 256> TwoBitWidening = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const unsigned first = ((byte >> 6) & 3) << 4 | ((byte >> 4) & 3);
        const unsigned second = ((byte >> 2) & 3) << 4 | (byte & 3);
        table[byte] = static_cast<std::uint16_t>(first | second << 8);  // in memory order
    }
    return table;
}();

void widenTwoBitSamples(const std::uint8_t* in, std::uint8_t* out, std::uint32_t pixels) {
    const std::uint32_t whole = pixels / 4;
    for (std::uint32_t i = 0; i < whole; ++i) std::memcpy(out + 2 * i, &TwoBitWidening[in[i]], 2);
    const std::uint32_t rest = pixels % 4;
    if (rest == 0) return;
    // The last byte's unused samples stay zero in the bitmap.
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - 2 * rest));
    const std::uint16_t widened = TwoBitWidening[in[whole] & mask];
    out[2 * whole] = static_cast<std::uint8_t>(widened);
    if (rest > 2) out[2 * whole + 1] = static_cast<std::uint8_t>(widened >> 8);
}

void swapRedBlue3(const std::uint8_t* in, std::uint8_t* out, std::uint32_t pixels) {
    for (std::uint32_t x = 0; x < pixels; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void swapRedBlue4(const std::uint8_t* in, std::uint8_t* out, std::uint32_t pixels) {
    for (std::uint32_t x = 0; x < pixels; ++x, in += 4, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = in[3];
    }
}

// out[i] = in[i * Step].
template <std::size_t Step>
void everyNthByte(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) out[i] = in[i * Step];
}

using ScalarConversion = void (*)(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count);

// The level's vector kernel on what whole steps hold, then the scalar one
// on the rest. `bytesIn` and `bytesOut` are the bytes of one unit.
void convertWith(RowConversion vector, ScalarConversion scalar, std::size_t bytesIn, std::size_t bytesOut,
                 const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) {
    const std::uint32_t done = vector != nullptr ? vector(in, out, count) : 0;
    scalar(in + done * bytesIn, out + done * bytesOut, count - done);
}

// A level's conversions, each finished by its scalar one.
struct Conversions {
    const RowKernels& vector;
    void swap3(const std::uint8_t* in, std::uint8_t* out, std::uint32_t pixels) const {
        convertWith(vector.swapRedBlue3, swapRedBlue3, 3, 3, in, out, pixels);
    }
    void swap4(const std::uint8_t* in, std::uint8_t* out, std::uint32_t pixels) const {
        convertWith(vector.swapRedBlue4, swapRedBlue4, 4, 4, in, out, pixels);
    }
    void everySecond(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) const {
        convertWith(vector.everySecondByte, everyNthByte<2>, 2, 1, in, out, count);
    }
    void everyFourth(const std::uint8_t* in, std::uint8_t* out, std::uint32_t count) const {
        convertWith(vector.everyFourthByte, everyNthByte<4>, 4, 1, in, out, count);
    }
};

// The scalar level: no vector kernel at all.
constexpr RowKernels ScalarKernels{};

}  // namespace

std::size_t conversionScratchBytes(std::uint32_t pixels) { return std::size_t{4} * pixels; }

// 16-bit colour is first cut to its high bytes in `scratch`, then ordered.
void convertRow(RowFormat format, const std::uint8_t* in, std::uint8_t* out, std::uint8_t* scratch,
                std::uint32_t pixels) {
    const RowKernels* x86 = x86RowKernels(pngSimdLevel());
    const Conversions convert{x86 != nullptr ? *x86 : ScalarKernels};
    const bool wide = format.bitDepth == 16;
    switch (format.colourType) {
        case PngTruecolour:
            if (wide) convert.everySecond(in, scratch, 3 * pixels);
            convert.swap3(wide ? scratch : in, out, pixels);
            return;
        case PngTruecolourAlpha:
            if (wide) convert.everySecond(in, scratch, 4 * pixels);
            convert.swap4(wide ? scratch : in, out, pixels);
            return;
        case PngGreyAlpha:
            if (wide) {
                convert.everyFourth(in, out, pixels);
            } else {
                convert.everySecond(in, out, pixels);
            }
            return;
        default: break;
    }
    if (wide) {
        convert.everySecond(in, out, pixels);
    } else if (format.bitDepth == 2) {
        widenTwoBitSamples(in, out, pixels);
    } else {
        std::memcpy(out, in, (static_cast<std::size_t>(pixels) * format.bitDepth + 7) / 8);
    }
}

// --- Adam7: pass rows into the bitmap ---------------------------------------

namespace {

// Puts pixel `from` of a converted row at pixel `to` of a bitmap row of
// `bits` per pixel, ORed in under a byte.
void placePixel(std::uint16_t bits, const std::uint8_t* row, std::uint32_t from, std::uint8_t* target, std::uint32_t to) {
    if (bits >= 8) {
        const std::size_t size = bits / 8;
        std::memcpy(target + to * size, row + from * size, size);
        return;
    }
    const std::uint32_t perByte = 8u / bits;
    const auto mask = static_cast<std::uint8_t>((1u << bits) - 1);
    const auto fromShift = static_cast<int>((perByte - 1 - from % perByte) * bits);
    const auto toShift = static_cast<int>((perByte - 1 - to % perByte) * bits);
    const auto value = static_cast<std::uint8_t>((row[from / perByte] >> fromShift) & mask);
    target[to / perByte] = static_cast<std::uint8_t>(target[to / perByte] | value << toShift);
}

// Whole-byte pixels of `Size` bytes, each to its place.
template <std::size_t Size>
void placeBytes(const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target, PassPlacement at) {
    std::uint8_t* to = target + std::size_t{at.x0} * Size;
    const std::size_t step = std::size_t{at.dx} * Size;
    for (std::uint32_t i = 0; i < pixels; ++i, row += Size, to += step) std::memcpy(to, row, Size);
}

// The eight 1-bit pixels of a byte `Dx` pixels apart, over Dx bytes read as
// one big-endian number (pixels are stored most significant bit first).
template <std::uint32_t Dx>
constexpr std::array<std::uint64_t, 256> BitSpread = [] {
    std::array<std::uint64_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        for (unsigned j = 0; j < 8; ++j) {
            if ((byte & (0x80u >> j)) != 0) table[byte] |= std::uint64_t{1} << (8 * Dx - 1 - j * Dx);
        }
    }
    return table;
}();

// 1-bit pixels Dx apart from x0 (below Dx): each whole byte of the row
// spreads over Dx bytes of the bitmap, all inside the row as its last pixel
// lies in the last of them; a last partial byte goes pixel by pixel.
template <std::uint32_t Dx>
void placeBits(const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target, std::uint32_t x0) {
    const std::uint32_t whole = pixels / 8;
    for (std::uint32_t k = 0; k < whole; ++k) {
        const std::uint64_t spread = BitSpread<Dx>[row[k]] >> x0;
        std::uint8_t* to = target + std::size_t{k} * Dx;
        for (std::uint32_t b = 0; b < Dx; ++b) to[b] |= static_cast<std::uint8_t>(spread >> (8 * (Dx - 1 - b)));
    }
    for (std::uint32_t i = whole * 8; i < pixels; ++i) placePixel(1, row, i, target, x0 + i * Dx);
}

// A row whose pixels are all next to each other from the row's start (the
// last pass): whole bytes copied, then the pixels of a last partial byte.
void placeContiguous(std::uint16_t bits, const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target) {
    if (bits >= 8) {
        std::memcpy(target, row, std::size_t{pixels} * (bits / 8u));
        return;
    }
    const std::uint32_t perByte = 8u / bits;
    const std::uint32_t whole = pixels / perByte;
    std::memcpy(target, row, whole);
    for (std::uint32_t i = whole * perByte; i < pixels; ++i) placePixel(bits, row, i, target, i);
}

void placeEach(std::uint16_t bits, const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target,
               PassPlacement at) {
    for (std::uint32_t i = 0; i < pixels; ++i) placePixel(bits, row, i, target, at.x0 + i * at.dx);
}

}  // namespace

void placePassRow(std::uint16_t bits, const std::uint8_t* row, std::uint32_t pixels, std::uint8_t* target,
                  PassPlacement placement) {
    if (placement.dx == 1 && placement.x0 == 0) return placeContiguous(bits, row, pixels, target);
    switch (bits) {
        case 1:
            if (placement.dx == 2) return placeBits<2>(row, pixels, target, placement.x0);
            if (placement.dx == 4) return placeBits<4>(row, pixels, target, placement.x0);
            if (placement.dx == 8) return placeBits<8>(row, pixels, target, placement.x0);
            return placeEach(1, row, pixels, target, placement);
        case 4: return placeEach(4, row, pixels, target, placement);
        case 8: return placeBytes<1>(row, pixels, target, placement);
        case 24: return placeBytes<3>(row, pixels, target, placement);
        default: return placeBytes<4>(row, pixels, target, placement);
    }
}
