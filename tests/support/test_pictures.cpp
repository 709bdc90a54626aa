#include "tests/support/test_pictures.h"

#include <algorithm>

namespace {

void putLittle(Bytes& out, std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putBig(Bytes& out, std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = bytes; i-- > 0;) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Rgba pixelAt(const Image& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = &image.samples[(static_cast<std::size_t>(y) * image.size.width + x) * image.channels];
    if (image.channels < 3) return {p[0], p[0], p[0], image.channels == 2 ? p[1] : std::uint8_t{255}};
    return {p[0], p[1], p[2], image.channels == 4 ? p[3] : std::uint8_t{255}};
}

}  // namespace

Image quadrantImage(ImageSize size, const Quadrants& colours, std::uint32_t channels) {
    Image image{size, channels, {}};
    for (std::uint32_t y = 0; y < size.height; ++y) {
        for (std::uint32_t x = 0; x < size.width; ++x) {
            const Rgba& c = colours[(y < size.height / 2 ? 0u : 2u) + (x < size.width / 2 ? 0u : 1u)];
            image.samples.insert(image.samples.end(), {c.red, c.green, c.blue});
            if (channels == 4) image.samples.push_back(c.alpha);
        }
    }
    return image;
}

Image textureImage(ImageSize size, std::uint32_t seed) {
    Image image{size, 3, {}};
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint32_t y = 0; y < size.height; ++y) {
        for (std::uint32_t x = 0; x < size.width; ++x) {
            state = state * 1664525u + 1013904223u;
            const std::uint32_t noise = state >> 29;  // 0 to 7
            image.samples.push_back(static_cast<std::uint8_t>(40 + x * 150 / size.width + noise));
            image.samples.push_back(static_cast<std::uint8_t>(60 + y * 120 / size.height + noise));
            image.samples.push_back(static_cast<std::uint8_t>(90 + ((x / 7 + y / 5) % 40) + noise));
        }
    }
    return image;
}

Rgba quadrantCentre(const Image& image, std::size_t index) {
    const std::uint32_t x = image.size.width / 4 * (index % 2 == 0 ? 1 : 3);
    const std::uint32_t y = image.size.height / 4 * (index < 2 ? 1 : 3);
    return pixelAt(image, x, y);
}

Bytes withExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian) {
    Bytes tiff;
    const auto put = [&](std::uint32_t value, std::size_t bytes) {
        bigEndian ? putBig(tiff, value, bytes) : putLittle(tiff, value, bytes);
    };
    tiff.insert(tiff.end(), {'E', 'x', 'i', 'f', 0, 0});
    tiff.insert(tiff.end(), bigEndian ? std::initializer_list<std::uint8_t>{'M', 'M'} : std::initializer_list<std::uint8_t>{'I', 'I'});
    put(42, 2);
    put(8, 4);      // the first directory follows the header
    put(1, 2);      // one entry: orientation, a SHORT
    put(0x0112, 2);
    put(3, 2);
    put(1, 4);
    put(static_cast<std::uint32_t>(orientation), 2);
    put(0, 2);
    put(0, 4);      // no next directory
    Bytes out{jpeg[0], jpeg[1], 0xFF, 0xE1};
    putBig(out, static_cast<std::uint32_t>(tiff.size() + 2), 2);
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes tiffFile(const Image& image, int orientation) {
    constexpr std::uint32_t EntryCount = 10;
    constexpr std::uint32_t BitsAt = 8 + 2 + EntryCount * 12 + 4;  // the three 8s, after the directory
    constexpr std::uint32_t PixelsAt = BitsAt + 6;
    const auto pixelBytes = static_cast<std::uint32_t>(image.samples.size());
    Bytes out{'I', 'I'};
    putLittle(out, 42, 2);
    putLittle(out, 8, 4);
    putLittle(out, EntryCount, 2);
    const auto entry = [&](std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value) {
        putLittle(out, tag, 2);
        putLittle(out, type, 2);
        putLittle(out, count, 4);
        putLittle(out, value, type == 3 && count == 1 ? 2 : 4);
        if (type == 3 && count == 1) putLittle(out, 0, 2);
    };
    constexpr std::uint32_t Short = 3, Long = 4;
    entry(256, Long, 1, image.size.width);
    entry(257, Long, 1, image.size.height);
    entry(258, Short, 3, BitsAt);
    entry(259, Short, 1, 1);  // no compression
    entry(262, Short, 1, 2);  // RGB
    entry(273, Long, 1, PixelsAt);
    entry(274, Short, 1, static_cast<std::uint32_t>(orientation));
    entry(277, Short, 1, 3);
    entry(278, Long, 1, image.size.height);
    entry(279, Long, 1, pixelBytes);
    putLittle(out, 0, 4);  // no next directory
    for (int i = 0; i < 3; ++i) putLittle(out, 8, 2);
    out.insert(out.end(), image.samples.begin(), image.samples.end());
    return out;
}

// 24 bits: the plain info header. 32 bits: a version 4 header whose bit
// fields give the alpha mask, as programs write BMPs with transparency.
Bytes bmpFile(const Image& image) {
    const std::uint32_t bytesPerPixel = image.channels;
    const bool withAlpha = bytesPerPixel == 4;
    const std::uint32_t headerSize = withAlpha ? 108 : 40;
    const std::uint32_t stride = (image.size.width * bytesPerPixel + 3) / 4 * 4;
    const std::uint32_t dataSize = stride * image.size.height;
    Bytes out{'B', 'M'};
    putLittle(out, 14 + headerSize + dataSize, 4);
    putLittle(out, 0, 4);
    putLittle(out, 14 + headerSize, 4);
    putLittle(out, headerSize, 4);
    putLittle(out, image.size.width, 4);
    putLittle(out, image.size.height, 4);
    putLittle(out, 1, 2);
    putLittle(out, bytesPerPixel * 8, 2);
    putLittle(out, withAlpha ? 3 : 0, 4);  // BI_BITFIELDS or BI_RGB
    putLittle(out, dataSize, 4);
    putLittle(out, 2835, 4);
    putLittle(out, 2835, 4);
    putLittle(out, 0, 4);
    putLittle(out, 0, 4);
    if (withAlpha) {
        for (const std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) putLittle(out, mask, 4);
        putLittle(out, 0x73524742, 4);  // 'sRGB'
        out.resize(out.size() + 36 + 12, 0);  // end points and gamma, unused
    }
    for (std::uint32_t y = image.size.height; y-- > 0;) {
        for (std::uint32_t x = 0; x < image.size.width; ++x) {
            const Rgba p = pixelAt(image, x, y);
            out.insert(out.end(), {p.blue, p.green, p.red});
            if (withAlpha) out.push_back(p.alpha);
        }
        out.resize(out.size() + stride - image.size.width * bytesPerPixel, 0);
    }
    return out;
}

namespace {

// Codes packed least significant bit first into 255-byte sub-blocks.
struct CodeWriter {
    Bytes bits;
    std::uint32_t pending = 0;
    std::uint32_t pendingBits = 0;
    void put(std::uint32_t code, std::uint32_t width) {
        pending |= code << pendingBits;
        pendingBits += width;
        while (pendingBits >= 8) {
            bits.push_back(static_cast<std::uint8_t>(pending));
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    void flush() {
        if (pendingBits > 0) bits.push_back(static_cast<std::uint8_t>(pending));
    }
};

}  // namespace

Bytes gifFile(const Image& image) {
    std::vector<Rgba> palette;
    std::vector<std::uint32_t> indices;
    constexpr std::uint32_t Transparent = 255;
    for (std::uint32_t y = 0; y < image.size.height; ++y) {
        for (std::uint32_t x = 0; x < image.size.width; ++x) {
            Rgba p = pixelAt(image, x, y);
            if (p.alpha == 0) {
                indices.push_back(Transparent);
                continue;
            }
            const auto same = [&](const Rgba& c) { return c.red == p.red && c.green == p.green && c.blue == p.blue; };
            auto found = std::find_if(palette.begin(), palette.end(), same);
            if (found == palette.end()) found = palette.insert(palette.end(), p);
            indices.push_back(static_cast<std::uint32_t>(found - palette.begin()));
        }
    }
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    putLittle(out, image.size.width, 2);
    putLittle(out, image.size.height, 2);
    out.insert(out.end(), {0xF7, 0, 0});  // a global table of 256 colours
    palette.resize(256);
    for (const Rgba& c : palette) out.insert(out.end(), {c.red, c.green, c.blue});
    out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(Transparent), 0});
    out.push_back(0x2C);
    putLittle(out, 0, 4);
    putLittle(out, image.size.width, 2);
    putLittle(out, image.size.height, 2);
    out.insert(out.end(), {0, 8});  // no local table; 8-bit codes
    // Every index a literal, with a clear code before the table would need 10 bits.
    CodeWriter codes;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0) codes.put(256, 9);
        codes.put(indices[i], 9);
    }
    codes.put(257, 9);
    codes.flush();
    for (std::size_t at = 0; at < codes.bits.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, codes.bits.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), codes.bits.begin() + static_cast<std::ptrdiff_t>(at),
                   codes.bits.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    out.insert(out.end(), {0, 0x3B});
    return out;
}
