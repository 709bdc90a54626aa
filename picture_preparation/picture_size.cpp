#include "picture_preparation/picture_size.h"

#include "picture_preparation/jpeg_header.h"

namespace {

// Little-endian (GIF, BMP) or big-endian (PNG) fields, `width` bytes at `at`.
std::optional<std::uint32_t> field(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width,
                                   bool bigEndian) {
    if (bytes.size() < at + width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes[at + (bigEndian ? i : width - 1 - i)];
    return value;
}

std::optional<ImageSize> sizeOf(std::optional<std::uint32_t> width, std::optional<std::uint32_t> height) {
    if (!width || !height) return std::nullopt;
    return ImageSize{*width, *height};
}

std::uint32_t magnitude(std::uint32_t signedValue) {
    return signedValue & 0x80000000u ? ~signedValue + 1 : signedValue;
}

// BMP: the info header's size at 14 tells the old 16-bit core header from the
// later ones, whose height is negative for rows stored top-down.
std::optional<ImageSize> bmpSize(std::span<const std::uint8_t> bytes) {
    const auto headerSize = field(bytes, 14, 4, false);
    if (!headerSize) return std::nullopt;
    if (*headerSize == 12) return sizeOf(field(bytes, 18, 2, false), field(bytes, 20, 2, false));
    const auto height = field(bytes, 22, 4, false);
    return sizeOf(field(bytes, 18, 4, false), height ? std::optional(magnitude(*height)) : std::nullopt);
}

}  // namespace

std::optional<ImageSize> declaredSize(PictureFormat format, std::span<const std::uint8_t> bytes) {
    switch (format) {
        case PictureFormat::Jpeg: {
            const JpegHeader header = readJpegHeader(bytes);
            if (header.frameMarker == 0) return std::nullopt;
            return ImageSize{header.width, header.height};
        }
        case PictureFormat::Png:
            // The signature, then IHDR's length and type, then its width and height.
            if (field(bytes, 12, 4, true) != 0x49484452u) return std::nullopt;
            return sizeOf(field(bytes, 16, 4, true), field(bytes, 20, 4, true));
        case PictureFormat::Gif: return sizeOf(field(bytes, 6, 2, false), field(bytes, 8, 2, false));
        case PictureFormat::Bmp: return bmpSize(bytes);
        // Their decoders refuse a picture too large before allocating for it.
        case PictureFormat::Heif:
        case PictureFormat::Tiff:
        case PictureFormat::Webp:
        case PictureFormat::Unknown: break;
    }
    return std::nullopt;
}
