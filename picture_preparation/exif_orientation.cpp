#include "picture_preparation/exif_orientation.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<std::uint8_t, 6> ExifSignature{'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;
constexpr std::size_t DirectoryEntrySize = 12;

// The TIFF block, read in its own byte order with every read bounds-checked.
struct TiffReader {
    std::span<const std::uint8_t> bytes;
    bool bigEndian = false;

    std::optional<std::uint32_t> read(std::size_t at, std::size_t width) const {
        if (at > bytes.size() || bytes.size() - at < width) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t byte = bigEndian ? i : width - 1 - i;
            value = value << 8 | bytes[at + byte];
        }
        return value;
    }
};

std::optional<TiffReader> tiffReader(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) return std::nullopt;
    TiffReader reader{tiff, false};
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        reader.bigEndian = true;
    } else if (tiff[0] != 'I' || tiff[1] != 'I') {
        return std::nullopt;
    }
    if (reader.read(2, 2) != 42u) return std::nullopt;
    return reader;
}

}  // namespace

bool isExifBlock(std::span<const std::uint8_t> app1) {
    return app1.size() >= ExifSignature.size() && std::equal(ExifSignature.begin(), ExifSignature.end(), app1.begin());
}

int exifOrientation(std::span<const std::uint8_t> app1) {
    if (!isExifBlock(app1)) return 1;
    return tiffOrientation(app1.subspan(ExifSignature.size()));
}

int tiffOrientation(std::span<const std::uint8_t> tiff) {
    const auto reader = tiffReader(tiff);
    if (!reader) return 1;
    const auto directory = reader->read(4, 4);
    const auto count = directory ? reader->read(*directory, 2) : std::nullopt;
    if (!count) return 1;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t entry = *directory + 2 + i * DirectoryEntrySize;
        const auto tag = reader->read(entry, 2);
        if (!tag) return 1;
        if (*tag != OrientationTag) continue;
        if (reader->read(entry + 2, 2) != ShortType || reader->read(entry + 4, 4) != 1u) return 1;
        const auto value = reader->read(entry + 8, 2);
        return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
    }
    return 1;
}
