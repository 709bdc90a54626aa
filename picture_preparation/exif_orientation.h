#pragma once
// The orientation tag (0x0112) of an EXIF block, as a camera writes it into
// a JPEG's APP1 segment.

#include <cstdint>
#include <span>

// True when `app1` (the segment's data after its length) holds an EXIF block.
bool isExifBlock(std::span<const std::uint8_t> app1);

// `app1` is the segment's data after its length: "Exif\0\0", then a TIFF
// header and its first directory. 1 to 8; 1 when there is no valid tag.
int exifOrientation(std::span<const std::uint8_t> app1);

// The same tag in a TIFF block alone, as a PNG's eXIf chunk holds it.
int tiffOrientation(std::span<const std::uint8_t> tiff);
