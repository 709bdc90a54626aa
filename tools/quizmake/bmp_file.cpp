#include "tools/quizmake/bmp_file.h"

#include "common/little_endian.h"

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
    appendLe32(out, offset + imageSize);
    appendLe32(out, 0);
    appendLe32(out, offset);

    appendLe32(out, InfoHeaderSize);
    appendLe32(out, layout.width);
    appendLe32(out, static_cast<std::uint32_t>(-static_cast<std::int32_t>(layout.height)));
    appendLe16(out, 1);
    appendLe16(out, layout.bitsPerPixel);
    appendLe32(out, UncompressedRgb);
    appendLe32(out, imageSize);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, layout.usedColours);
    appendLe32(out, 0);

    for (const auto& entry : layout.colourTable) out.insert(out.end(), entry.begin(), entry.end());
    out.insert(out.end(), rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(imageSize));
    return out;
}
