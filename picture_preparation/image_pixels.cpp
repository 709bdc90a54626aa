#include "picture_preparation/image_pixels.h"

#include <algorithm>
#include <array>
#include <vector>

bool isOpaque(ImageView image) {
    if (image.channels != 2 && image.channels != 4) return true;
    for (std::size_t at = image.channels - 1; at < image.samples.size(); at += image.channels) {
        if (image.samples[at] != 255) return false;
    }
    return true;
}

namespace {

std::uint8_t blend(std::uint32_t colour, std::uint32_t alpha, std::uint32_t background) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace

Image flattenOnto(ImageView image, Rgb background) {
    const std::size_t pixels = static_cast<std::size_t>(image.size.width) * image.size.height;
    Image flat{image.size, 3, std::vector<std::uint8_t>(pixels * 3)};
    const std::array<std::uint32_t, 3> behind{background.red, background.green, background.blue};
    const bool grey = image.channels == 2;
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint8_t* in = &image.samples[p * image.channels];
        const std::uint32_t alpha = in[image.channels - 1];
        for (std::size_t c = 0; c < 3; ++c) flat.samples[p * 3 + c] = blend(grey ? in[0] : in[c], alpha, behind[c]);
    }
    return flat;
}

Image shrinkByBlocks(ImageView image, std::uint32_t factor) {
    const ImageSize size{image.size.width / factor, image.size.height / factor};
    const std::size_t channels = image.channels;
    const std::size_t rowSamples = static_cast<std::size_t>(size.width) * channels;
    Image shrunk{size, image.channels, std::vector<std::uint8_t>(rowSamples * size.height)};
    std::vector<std::uint32_t> sums(rowSamples);
    const std::uint32_t area = factor * factor;
    const std::size_t inRow = static_cast<std::size_t>(image.size.width) * channels;
    for (std::uint32_t y = 0; y < size.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (std::uint32_t dy = 0; dy < factor; ++dy) {
            const std::uint8_t* in = &image.samples[(static_cast<std::size_t>(y) * factor + dy) * inRow];
            for (std::size_t x = 0; x < rowSamples; x += channels) {
                for (std::uint32_t dx = 0; dx < factor; ++dx) {
                    for (std::size_t c = 0; c < channels; ++c) sums[x + c] += *in++;
                }
            }
        }
        std::uint8_t* out = &shrunk.samples[y * rowSamples];
        for (std::size_t i = 0; i < rowSamples; ++i) out[i] = static_cast<std::uint8_t>((sums[i] + area / 2) / area);
    }
    return shrunk;
}

Image rgbOfCmyk(ImageView image, bool inverted) {
    Image rgb;
    if (image.channels != 4 || !allocateImage(rgb, image.size, 3)) return {};
    const std::size_t pixels = static_cast<std::size_t>(image.size.width) * image.size.height;
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint8_t* ink = &image.samples[p * 4];
        const std::uint32_t black = inverted ? ink[3] : 255u - ink[3];
        for (std::size_t c = 0; c < 3; ++c) {
            const std::uint32_t light = inverted ? ink[c] : 255u - ink[c];
            rgb.samples[p * 3 + c] = static_cast<std::uint8_t>((light * black + 127) / 255);
        }
    }
    return rgb;
}
