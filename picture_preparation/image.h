#pragma once
// Decoded pictures as the preparation steps pass them: 8-bit samples, row by
// row from the top, 1 to 4 channels.

#include <cstdint>
#include <span>
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

inline ImageView viewOf(const Image& image) { return {image.size, image.channels, image.samples}; }
inline Image copyOf(ImageView view) { return {view.size, view.channels, {view.samples.begin(), view.samples.end()}}; }

// Makes room for `size` x `channels` samples; false, and the image left
// empty, when memory runs out (a photo of 200 megapixels may not fit).
bool allocateImage(Image& image, ImageSize size, std::uint32_t channels);
