#pragma once
// Test pictures for the PNG benchmark: a photo-like scene made in memory
// (smooth shading, hard-edged shapes, mild sensor noise) and written by libpng
// in each of the forms the benchmark decodes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// 16 bits per sample so the 16-bit form has real low bytes; the 8-bit forms
// take the high byte.
struct PhotoImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint16_t> rgb;    // R, G, B per pixel, row by row
    std::vector<std::uint8_t> alpha;   // one per pixel
};

PhotoImage makePhoto(std::uint32_t width, std::uint32_t height, std::uint32_t seed);

enum class PngForm : std::uint8_t { Rgb8, Rgba8, Rgb16, Grey8, Palette8, Palette2, Rgb8Adam7, Grey1Adam7 };

struct PngFormInfo {
    const char* name;
    int colourType;
    int bitDepth;
    bool interlaced;
    std::uint16_t bitmapBits;  // what our decoder's bitmap should have
};

PngFormInfo pngFormInfo(PngForm form);

// The file libpng writes: zlib level 6, all five filters tried per row.
// Empty when libpng refused.
std::vector<std::uint8_t> encodePhoto(const PhotoImage& photo, PngForm form);

// The data of the first run of IDAT chunks, joined: one zlib stream.
std::vector<std::uint8_t> imageDataStream(std::span<const std::uint8_t> file);

// Bytes of filtered scanlines (filter byte included) the stream inflates to.
std::size_t filteredSize(std::uint32_t width, std::uint32_t height, const PngFormInfo& info);
