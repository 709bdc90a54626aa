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

// An ISO media file whose brand is one of HEIF's (phones' HEIC photos), AVIF
// among them: the same container with AV1 pictures, read by the same decoders.
bool isHeif(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !startsWith(bytes.subspan(4), "ftyp")) return false;
    constexpr std::array<std::string_view, 10> Brands = {"heic", "heix", "heim", "heis", "hevc",
                                                          "hevx", "mif1", "msf1", "avif", "avis"};
    return std::any_of(Brands.begin(), Brands.end(), [&](std::string_view brand) { return startsWith(bytes.subspan(8), brand); });
}

}  // namespace

PictureFormat pictureFormat(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, "\xFF\xD8")) return PictureFormat::Jpeg;
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
    if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a")) return PictureFormat::Gif;
    if (startsWith(bytes, "BM")) return PictureFormat::Bmp;
    if (startsWith(bytes, std::string_view("II*\0", 4)) || startsWith(bytes, std::string_view("MM\0*", 4))) return PictureFormat::Tiff;
    if (startsWith(bytes, "RIFF") && bytes.size() >= 12 && startsWith(bytes.subspan(8), "WEBP")) return PictureFormat::Webp;
    if (isHeif(bytes)) return PictureFormat::Heif;
    return PictureFormat::Unknown;
}

const char* pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg: return "JPEG";
        case PictureFormat::Png: return "PNG";
        case PictureFormat::Gif: return "GIF";
        case PictureFormat::Bmp: return "BMP";
        case PictureFormat::Heif: return "HEIC";
        case PictureFormat::Tiff: return "TIFF";
        case PictureFormat::Webp: return "WebP";
        case PictureFormat::Unknown: break;
    }
    return "unknown";
}
