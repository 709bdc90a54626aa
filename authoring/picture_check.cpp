#include "authoring/picture_check.h"

#include <algorithm>
#include <array>

PictureKind pictureKind(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return PictureKind::Jpeg;
    static constexpr std::array<std::uint8_t, 8> PngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() >= 8 && std::equal(PngSignature.begin(), PngSignature.end(), bytes.begin())) {
        return PictureKind::Png;
    }
    return PictureKind::Unknown;
}

namespace {

bool isFrameHeader(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::string frameName(std::uint8_t marker) {
    switch (marker) {
        case 0xC1: return "extended sequential";
        case 0xC2: return "progressive";
        case 0xC3: return "lossless";
        default: return marker >= 0xC9 ? "arithmetic-coded" : "hierarchical";
    }
}

}  // namespace

std::string jpegWarning(std::span<const std::uint8_t> bytes) {
    // Segments up to the frame header: marker FF xx, then a big-endian length
    // that counts itself. Markers without a length are skipped.
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) return "a damaged JPEG: no frame header where one was expected";
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;
        if (isFrameHeader(marker)) {
            if (marker == 0xC0) return {};
            return "a " + frameName(marker) + " JPEG, not baseline: some picture loaders cannot open it";
        }
        at += 2 + (static_cast<std::size_t>(bytes[at + 2]) << 8 | bytes[at + 3]);
    }
    return "a damaged JPEG: no frame header";
}
