#include "tools/quizmake/bmp_file.h"

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> bmpFileBytes(const PngBitmapLayout& layout, std::span<const std::uint8_t> rows) {
    constexpr std::uint32_t FileHeaderSize = 14;
    constexpr std::uint32_t InfoHeaderSize = 40;
    constexpr std::uint32_t UncompressedRgb = 0;  // the compression field's BI_RGB
    const auto tableSize = static_cast<std::uint32_t>(layout.colourTable.size() * 4);
    const std::uint32_t imageSize = layout.stride * layout.height;
    const std::uint32_t offset = FileHeaderSize + InfoHeaderSize + tableSize;

    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);

    put32(out, InfoHeaderSize);
    put32(out, layout.width);
    put32(out, static_cast<std::uint32_t>(-static_cast<std::int32_t>(layout.height)));
    put16(out, 1);
    put16(out, layout.bitsPerPixel);
    put32(out, UncompressedRgb);
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, layout.usedColours);
    put32(out, 0);

    for (const auto& entry : layout.colourTable) out.insert(out.end(), entry.begin(), entry.end());
    out.insert(out.end(), rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(imageSize));
    return out;
}
