#include "picture_preparation/image_orientation.h"

#include <algorithm>
#include <cstddef>

bool swapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

namespace {

struct SourcePoint {
    std::uint32_t x;
    std::uint32_t y;
};

// Where the shown pixel (x, y) lies in the stored picture of `width` x `height`.
SourcePoint storedPoint(int orientation, std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height) {
    switch (orientation) {
        case 2: return {width - 1 - x, y};
        case 3: return {width - 1 - x, height - 1 - y};
        case 4: return {x, height - 1 - y};
        case 5: return {y, x};
        case 6: return {y, height - 1 - x};
        case 7: return {width - 1 - y, height - 1 - x};
        case 8: return {width - 1 - y, x};
        default: return {x, y};
    }
}

}  // namespace

Image orientImage(Image image, int orientation) {
    if (orientation < 2 || orientation > 8) return image;
    const ImageSize stored = image.size;
    const ImageSize shown = swapsSides(orientation) ? ImageSize{stored.height, stored.width} : stored;
    const std::size_t channels = image.channels;
    Image turned{shown, image.channels, std::vector<std::uint8_t>(image.samples.size())};
    for (std::uint32_t y = 0; y < shown.height; ++y) {
        std::uint8_t* out = &turned.samples[static_cast<std::size_t>(y) * shown.width * channels];
        for (std::uint32_t x = 0; x < shown.width; ++x) {
            const SourcePoint from = storedPoint(orientation, x, y, stored.width, stored.height);
            const std::uint8_t* in = &image.samples[(static_cast<std::size_t>(from.y) * stored.width + from.x) * channels];
            std::copy_n(in, channels, out + static_cast<std::size_t>(x) * channels);
        }
    }
    return turned;
}

// An orientation is a left-right mirror or not, then some quarter turns
// clockwise.
namespace {

constexpr int Mirror[9] = {0, 0, 1, 0, 1, 1, 0, 1, 0};
constexpr int Turns[9] = {0, 0, 0, 2, 2, 3, 1, 1, 3};
constexpr int Orientation[2][4] = {{1, 6, 3, 8}, {2, 7, 4, 5}};

int valid(int orientation) { return orientation < 1 || orientation > 8 ? 1 : orientation; }
int quarter(int turns) { return (turns % 4 + 4) % 4; }

}  // namespace

// Turning more adds to the turns.
int turnedOrientation(int orientation, int quarterTurns) {
    orientation = valid(orientation);
    return Orientation[Mirror[orientation]][quarter(Turns[orientation] + quarterTurns)];
}

// A mirror after some turns is the mirror first and the turns the other way.
int composedOrientation(int first, int second) {
    first = valid(first);
    second = valid(second);
    const int turns = Turns[second] + (Mirror[second] != 0 ? -Turns[first] : Turns[first]);
    return Orientation[Mirror[first] ^ Mirror[second]][quarter(turns)];
}

int inverseOrientation(int orientation) {
    orientation = valid(orientation);
    const int turns = Mirror[orientation] != 0 ? Turns[orientation] : -Turns[orientation];
    return Orientation[Mirror[orientation]][quarter(turns)];
}
