// A list thumbnail: the picture fitted in its tile, centred on the background,
// whatever its channels.

#include "editor/thumbnail_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Rgb Background{10, 20, 30};

Image plain(ImageSize size, std::uint32_t channels, std::uint8_t value, std::uint8_t alpha = 255) {
    Image image{size, channels, std::vector<std::uint8_t>(std::size_t{size.width} * size.height * channels, value)};
    if (channels == 2 || channels == 4) {
        for (std::size_t i = channels - 1; i < image.samples.size(); i += channels) image.samples[i] = alpha;
    }
    return image;
}

Rgb pixel(const Image& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* at = image.samples.data() + (std::size_t{y} * image.size.width + x) * 3;
    return {at[0], at[1], at[2]};
}

TEST(ThumbnailImage, ThePictureIsFittedAndCentredOnTheBackground) {
    struct Case {
        ImageSize picture;
        std::uint32_t channels;
        std::uint8_t alpha;
        ImageSize covered;  // the part of the 64 x 48 tile the picture takes
        Rgb inside;
    };
    const Case cases[] = {
        {{640, 402}, 3, 255, {64, 40}, {200, 200, 200}},  // wide: bands above and below
        {{300, 600}, 1, 255, {24, 48}, {200, 200, 200}},  // tall and grey: bands left and right
        {{16, 12}, 4, 255, {64, 48}, {200, 200, 200}},    // small: enlarged to the tile
        {{64, 48}, 2, 0, {64, 48}, Background},           // transparent: the background shows
        {{64, 48}, 4, 128, {64, 48}, {105, 110, 115}},    // half transparent: mixed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.picture.width) + "x" + std::to_string(c.picture.height) + " in " +
                     std::to_string(c.channels) + " channels");
        const Image tile = thumbnailImage(viewOf(plain(c.picture, c.channels, 200, c.alpha)), {64, 48}, Background);
        ASSERT_EQ(tile.size, (ImageSize{64, 48}));
        ASSERT_EQ(tile.channels, 3u);
        const std::uint32_t left = (64 - c.covered.width) / 2;
        const std::uint32_t top = (48 - c.covered.height) / 2;
        EXPECT_EQ(pixel(tile, 32, 24), c.inside);
        EXPECT_EQ(pixel(tile, left, top), c.inside) << "the picture's corner";
        if (left > 0) {
            EXPECT_EQ(pixel(tile, left - 1, 24), Background) << "a band beside";
        }
        if (top > 0) {
            EXPECT_EQ(pixel(tile, 32, top - 1), Background) << "a band above";
        }
    }
}

// Each pixel of a `size` picture set by `at(x, y, channel)`.
template <typename Sample>
Image drawn(ImageSize size, std::uint32_t channels, Sample at) {
    Image image{size, channels, std::vector<std::uint8_t>(std::size_t{size.width} * size.height * channels)};
    std::uint8_t* sample = image.samples.data();
    for (std::uint32_t y = 0; y < size.height; ++y) {
        for (std::uint32_t x = 0; x < size.width; ++x) {
            for (std::uint32_t c = 0; c < channels; ++c) *sample++ = at(x, y, c);
        }
    }
    return image;
}

bool near(Rgb a, Rgb b) {
    const auto close = [](int p, int q) { return p - q <= 3 && q - p <= 3; };
    return close(a.red, b.red) && close(a.green, b.green) && close(a.blue, b.blue);
}

// Photos many times the tile's size: each part lands where it was, fine
// detail averages out.
TEST(ThumbnailImage, ALargePictureKeepsItsPartsInPlace) {
    struct Probe {
        std::uint32_t x;
        std::uint32_t y;
        Rgb expected;
    };
    struct Case {
        const char* name;
        Image picture;
        std::vector<Probe> probes;  // in the 64 x 48 tile
    };
    const Case cases[] = {
        {"red left, blue right",
         drawn({640, 402}, 3, [](std::uint32_t x, std::uint32_t, std::uint32_t c) -> std::uint8_t {
             return x < 320 ? (c == 0 ? 200 : 0) : (c == 2 ? 200 : 0);
         }),
         {{8, 24, {200, 0, 0}}, {56, 24, {0, 0, 200}}, {32, 2, Background}}},
        {"stripes one pixel wide",
         drawn({1281, 961}, 1, [](std::uint32_t x, std::uint32_t, std::uint32_t) -> std::uint8_t {
             return x % 2 == 0 ? 0 : 255;
         }),
         {{10, 10, {128, 128, 128}}, {50, 40, {128, 128, 128}}}},
        {"white above, black below, tall",
         drawn({480, 640}, 1, [](std::uint32_t, std::uint32_t y, std::uint32_t) -> std::uint8_t {
             return y < 320 ? 255 : 0;
         }),
         {{32, 6, {255, 255, 255}}, {32, 42, {0, 0, 0}}, {2, 24, Background}}},
        {"clear above, green below",
         drawn({1280, 960}, 4, [](std::uint32_t, std::uint32_t y, std::uint32_t c) -> std::uint8_t {
             if (c == 3) return y < 480 ? 0 : 255;
             return c == 1 ? 180 : 0;
         }),
         {{32, 6, Background}, {32, 42, {0, 180, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image tile = thumbnailImage(viewOf(c.picture), {64, 48}, Background);
        ASSERT_EQ(tile.size, (ImageSize{64, 48}));
        for (const Probe& probe : c.probes) {
            const Rgb got = pixel(tile, probe.x, probe.y);
            EXPECT_TRUE(near(got, probe.expected))
                << "at " << probe.x << ", " << probe.y << ": " << int{got.red} << " " << int{got.green} << " "
                << int{got.blue};
        }
    }
}

TEST(ThumbnailImage, NothingToShowLeavesThePlainTile) {
    const Image tile = thumbnailImage(ImageView{}, {8, 6}, Background);
    ASSERT_EQ(tile.samples.size(), 8u * 6u * 3u);
    EXPECT_EQ(pixel(tile, 4, 3), Background);
    EXPECT_TRUE(thumbnailImage(viewOf(plain({4, 4}, 3, 0)), {0, 0}, Background).samples.empty());
}

}  // namespace
