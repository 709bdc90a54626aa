#pragma once
// What a picture file is, by its first bytes: the formats an author may give,
// and the two kinds a quiz stores.

#include <cstdint>
#include <span>

enum class PictureFormat { Jpeg, Png, Gif, Bmp, Heif, Tiff, Webp, Unknown };

PictureFormat pictureFormat(std::span<const std::uint8_t> bytes);

// "JPEG", "PNG", "GIF", "BMP", "HEIC", "TIFF", "WebP" or "unknown", for messages.
const char* pictureFormatName(PictureFormat format);

// What the player decodes: a JPEG through the system, a PNG with its own decoder.
enum class PictureKind { Jpeg, Png, Unknown };
