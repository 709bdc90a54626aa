#include "editor/thumbnail_image.h"

#include "picture_preparation/image_resize.h"
#include "pictures/fitted_size.h"

namespace {

std::uint8_t over(std::uint8_t colour, std::uint8_t alpha, std::uint8_t background) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

// Copies `picture` (1 to 4 channels) into the RGB `tile` at `x`, `y`.
void place(const Image& picture, Image& tile, std::uint32_t x, std::uint32_t y, Rgb background) {
    const std::uint32_t channels = picture.channels;
    const bool grey = channels < 3;
    const bool alpha = channels == 2 || channels == 4;
    const std::uint8_t backgrounds[3] = {background.red, background.green, background.blue};
    for (std::uint32_t row = 0; row < picture.size.height; ++row) {
        const std::uint8_t* from = picture.samples.data() + std::size_t{row} * picture.size.width * channels;
        std::uint8_t* to = tile.samples.data() + (std::size_t{y + row} * tile.size.width + x) * 3;
        for (std::uint32_t column = 0; column < picture.size.width; ++column, from += channels, to += 3) {
            const std::uint8_t opacity = alpha ? from[channels - 1] : 255;
            for (int c = 0; c < 3; ++c) to[c] = over(from[grey ? 0 : c], opacity, backgrounds[c]);
        }
    }
}

// `picture` averaged over blocks of 2 x 2 (an odd last row or column left out).
Image halved(ImageView picture) {
    Image out;
    if (!allocateImage(out, {picture.size.width / 2, picture.size.height / 2}, picture.channels)) return {};
    const std::size_t channels = picture.channels;
    const std::size_t stride = std::size_t{picture.size.width} * channels;
    std::uint8_t* to = out.samples.data();
    for (std::uint32_t y = 0; y < out.size.height; ++y) {
        const std::uint8_t* top = picture.samples.data() + 2 * std::size_t{y} * stride;
        const std::uint8_t* bottom = top + stride;
        for (std::uint32_t x = 0; x < out.size.width; ++x, top += 2 * channels, bottom += 2 * channels) {
            for (std::size_t c = 0; c < channels; ++c) {
                const int sum = top[c] + top[c + channels] + bottom[c] + bottom[c + channels];
                *to++ = static_cast<std::uint8_t>((sum + 2) / 4);
            }
        }
    }
    return out;
}

// `picture` scaled to `size`: halved first while it stays twice as large,
// since the cubic filter's work grows with the reduction (a photo decoded at
// full size takes it ten times over otherwise).
Image reduced(ImageView picture, ImageSize size) {
    Image smaller;
    ImageView from = picture;
    while (from.size.width / 2 >= 2 * size.width && from.size.height / 2 >= 2 * size.height) {
        smaller = halved(from);
        if (smaller.samples.empty()) return {};
        from = viewOf(smaller);
    }
    return resizeImage(from, size);
}

}  // namespace

Image thumbnailImage(ImageView picture, ImageSize tile, Rgb background) {
    Image out;
    if (!allocateImage(out, tile, 3)) return {};
    for (std::size_t i = 0; i < out.samples.size(); i += 3) {
        out.samples[i] = background.red;
        out.samples[i + 1] = background.green;
        out.samples[i + 2] = background.blue;
    }
    const Size fitted = fittedSize({static_cast<int>(picture.size.width), static_cast<int>(picture.size.height)},
                                   {static_cast<int>(tile.width), static_cast<int>(tile.height)});
    if (fitted.width <= 0 || fitted.height <= 0 || picture.channels < 1 || picture.channels > 4) return out;
    const ImageSize size{static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height)};
    const Image scaled = reduced(picture, size);
    if (scaled.samples.empty()) return {};
    place(scaled, out, (tile.width - size.width) / 2, (tile.height - size.height) / 2, background);
    return out;
}
