#pragma once
// The codec library (stb) behind one small interface: picture files decoded
// to 8-bit samples, samples scaled with a cubic filter, and samples written
// as a baseline JPEG or a PNG. Integer decoding; the scaling and the JPEG
// encoder use float arithmetic only (no library maths), so with SSE2 on every
// x86 build the bytes are the same everywhere.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct ImageSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

struct Image {
    ImageSize size;
    std::uint32_t channels = 0;         // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA
    std::vector<std::uint8_t> samples;  // row by row from the top, no padding
};

// Samples held elsewhere, borrowed.
struct ImageView {
    ImageSize size;
    std::uint32_t channels = 0;
    std::span<const std::uint8_t> samples;
};

ImageView viewOf(const Image& image);
Image copyOf(ImageView view);

struct CodecBufferFree {
    void operator()(std::uint8_t* samples) const;
};

// The decoder's own buffer, kept rather than copied: a 12-megapixel photo's
// samples are 36 MB.
struct DecodedImage {
    ImageSize size;
    std::uint32_t channels = 0;
    std::unique_ptr<std::uint8_t, CodecBufferFree> samples;
    std::string error;  // empty on success; then `samples` holds every pixel
    [[nodiscard]] ImageView view() const;
};

// JPEG (baseline or progressive), PNG, GIF (its first frame) or BMP, with the
// channels the file has.
DecodedImage decodeImage(std::span<const std::uint8_t> file);

// `image` (1 to 4 channels, alpha not treated apart) scaled to `size` with a
// Catmull-Rom filter; an empty image when memory ran out.
Image resizeImage(ImageView image, ImageSize size);

// Baseline JPEG of a grey or RGB image; empty on failure.
std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality);

// PNG of an image of 1 to 4 channels, 8 bits a sample; empty on failure.
std::vector<std::uint8_t> encodePng(const Image& image);
