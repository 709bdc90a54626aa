#include "picture_preparation/picture_check.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view signature) {
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin(),
                      [](char wanted, std::uint8_t byte) { return static_cast<std::uint8_t>(wanted) == byte; });
}

}  // namespace

PictureFormat pictureFormat(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, "\xFF\xD8")) return PictureFormat::Jpeg;
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
    if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a")) return PictureFormat::Gif;
    if (startsWith(bytes, "BM")) return PictureFormat::Bmp;
    return PictureFormat::Unknown;
}

const char* pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg: return "JPEG";
        case PictureFormat::Png: return "PNG";
        case PictureFormat::Gif: return "GIF";
        case PictureFormat::Bmp: return "BMP";
        case PictureFormat::Unknown: break;
    }
    return "unknown";
}
