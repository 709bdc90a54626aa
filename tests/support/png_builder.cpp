#include "tests/support/png_builder.h"

#include <array>

namespace {

constexpr std::uint8_t Signature[] = {137, 80, 78, 71, 13, 10, 26, 10};

// CRC-32 of PNG and zlib (reflected polynomial 0xEDB88320).
constexpr std::array<std::uint32_t, 256> CrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) crc = CrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::size_t samplesPerPixel(std::uint8_t colourType) {
    switch (colourType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

struct PassSize {
    std::uint32_t width;
    std::uint32_t height;
};

std::vector<PassSize> passSizes(std::uint32_t width, std::uint32_t height, bool interlaced) {
    if (!interlaced) return {{width, height}};
    struct Pass {
        std::uint32_t x0, y0, dx, dy;
    };
    constexpr Pass Passes[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                               {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::vector<PassSize> sizes;
    for (const Pass& p : Passes) {
        if (width > p.x0 && height > p.y0) {
            sizes.push_back({(width - p.x0 + p.dx - 1) / p.dx, (height - p.y0 + p.dy - 1) / p.dy});
        }
    }
    return sizes;
}

}  // namespace

void putBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t bigEndianAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

Bytes pngOf(const std::vector<Chunk>& chunks, bool goodCrcs) {
    Bytes file(std::begin(Signature), std::end(Signature));
    for (const Chunk& chunk : chunks) {
        putBigEndian(file, static_cast<std::uint32_t>(chunk.data.size()));
        const std::size_t typeAt = file.size();
        file.insert(file.end(), chunk.type.begin(), chunk.type.end());
        file.insert(file.end(), chunk.data.begin(), chunk.data.end());
        const std::uint32_t crc = crc32Of(std::span(file).subspan(typeAt));
        putBigEndian(file, goodCrcs ? crc : ~crc);
    }
    return file;
}

Bytes ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colourType,
           std::uint8_t interlace, std::uint8_t compression, std::uint8_t filter) {
    Bytes data;
    putBigEndian(data, width);
    putBigEndian(data, height);
    data.insert(data.end(), {bitDepth, colourType, compression, filter, interlace});
    return data;
}

Bytes storedZlibStream(std::span<const std::uint8_t> data) {
    Bytes stream = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(data.size() - at, 65535);
        const bool last = at + length == data.size();
        stream.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00, then back to the byte boundary
        const auto lengthField = static_cast<std::uint16_t>(length);
        for (const std::uint16_t field : {lengthField, static_cast<std::uint16_t>(~lengthField)}) {
            stream.push_back(static_cast<std::uint8_t>(field));
            stream.push_back(static_cast<std::uint8_t>(field >> 8));
        }
        stream.insert(stream.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                      data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < data.size());
    stream.insert(stream.end(), 4, 0);
    return stream;
}

Bytes randomScanlines(PngFormat format, std::uint32_t width, std::uint32_t height, bool interlaced,
                      std::mt19937& random) {
    Bytes data;
    for (const PassSize& pass : passSizes(width, height, interlaced)) {
        const std::size_t rowBytes =
            (std::size_t{pass.width} * format.bitDepth * samplesPerPixel(format.colourType) + 7) / 8;
        for (std::uint32_t y = 0; y < pass.height; ++y) {
            data.push_back(static_cast<std::uint8_t>(random() % 5));
            for (std::size_t i = 0; i < rowBytes; ++i) data.push_back(static_cast<std::uint8_t>(random()));
        }
    }
    return data;
}

Bytes randomImageFile(PngFormat format, std::uint32_t width, std::uint32_t height, bool interlaced,
                      const Bytes& imageData, std::mt19937& random) {
    std::vector<Chunk> chunks = {{"IHDR", ihdr(width, height, format.bitDepth, format.colourType,
                                               static_cast<std::uint8_t>(interlaced ? 1 : 0))}};
    if (format.colourType == 3) {
        Bytes palette(3 * (std::size_t{1} << format.bitDepth));
        for (auto& entry : palette) entry = static_cast<std::uint8_t>(random());
        chunks.push_back({"PLTE", palette});
    }
    chunks.push_back({"IDAT", imageData});
    chunks.push_back({"IEND", {}});
    return pngOf(chunks);
}
