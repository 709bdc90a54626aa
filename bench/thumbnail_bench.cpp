// The Atelier's list thumbnails (64 x 48) made from pictures decoded at full
// size, as Wine's imaging component hands JPEGs: against the reference, the
// cubic filter taking the whole picture down to the same size at once. Built
// natively and for Windows, where it runs under Wine as the Atelier does.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/bench_timing.h"
#include "editor/thumbnail_image.h"
#include "picture_preparation/image_resize.h"
#include "pictures/fitted_size.h"

namespace {

constexpr ImageSize Tile{64, 48};
constexpr Rgb Background{255, 255, 255};

// A photo-like scene: shading, a hard-edged disc, fine noise.
Image scene(ImageSize size) {
    Image image{size, 3, std::vector<std::uint8_t>(std::size_t{size.width} * size.height * 3)};
    std::uint32_t noise = 12345;
    std::uint8_t* sample = image.samples.data();
    for (std::uint32_t y = 0; y < size.height; ++y) {
        for (std::uint32_t x = 0; x < size.width; ++x) {
            const std::int64_t dx = std::int64_t{x} - size.width / 3;
            const std::int64_t dy = std::int64_t{y} - size.height / 2;
            const bool disc = dx * dx + dy * dy < std::int64_t{size.height} * size.height / 9;
            noise = noise * 1103515245u + 12345u;
            const std::uint32_t grain = (noise >> 16) & 15;
            *sample++ = static_cast<std::uint8_t>(disc ? 240u : 40u + 150u * x / size.width + grain);
            *sample++ = static_cast<std::uint8_t>(disc ? 200u : 60u + 120u * y / size.height + grain);
            *sample++ = static_cast<std::uint8_t>(disc ? 30u : 180u - grain);
        }
    }
    return image;
}

void compare(ImageSize size) {
    const Image picture = scene(size);
    const Size fitted = fittedSize({static_cast<int>(size.width), static_cast<int>(size.height)},
                                   {static_cast<int>(Tile.width), static_cast<int>(Tile.height)});
    const ImageSize target{static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height)};
    const std::vector<double> seconds = medianSecondsTakingTurns({
        [&] { return !thumbnailImage(viewOf(picture), Tile, Background).samples.empty(); },
        [&] { return !resizeImage(viewOf(picture), target).samples.empty(); },
    });
    std::printf("list thumbnail of a %u x %u picture: %.2f ms; the cubic filter from the whole picture: %.2f ms; "
                "thumbnail / filter alone: %.2f\n",
                size.width, size.height, seconds[0] * 1e3, seconds[1] * 1e3, seconds[0] / seconds[1]);
}

}  // namespace

int main() {
    compare({640, 402});     // the demo's pictures, and those of quiz_96.exe
    compare({4000, 3000});   // a phone's photo, as a picture file added may be
    return 0;
}
