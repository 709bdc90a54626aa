#include "picture_preparation/image_resize.h"

#include <stb/stb_image_resize.h>

namespace {

int asInt(std::uint32_t value) { return static_cast<int>(value); }

}  // namespace

Image resizeImage(ImageView image, ImageSize size) {
    Image resized;
    if (!allocateImage(resized, size, image.channels)) return {};
    const int done = stbir_resize_uint8_generic(
        image.samples.data(), asInt(image.size.width), asInt(image.size.height), 0, resized.samples.data(),
        asInt(size.width), asInt(size.height), 0, asInt(image.channels), STBIR_ALPHA_CHANNEL_NONE, 0,
        STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr);
    if (done == 0) return {};
    return resized;
}
