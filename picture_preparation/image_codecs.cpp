#include "picture_preparation/image_codecs.h"

#include <climits>
#include <memory>

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

namespace {

bool fitsInInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

void appendTo(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

int asInt(std::uint32_t value) { return static_cast<int>(value); }

std::string failureReason() {
    // Some failures leave no reason, or an empty one.
    const char* reason = stbi_failure_reason();
    return reason != nullptr && *reason != '\0' ? reason : "undecodable data";
}

}  // namespace

ImageView viewOf(const Image& image) { return {image.size, image.channels, image.samples}; }

Image copyOf(ImageView view) { return {view.size, view.channels, {view.samples.begin(), view.samples.end()}}; }

void CodecBufferFree::operator()(std::uint8_t* samples) const { stbi_image_free(samples); }

ImageView DecodedImage::view() const {
    const std::size_t count = static_cast<std::size_t>(size.width) * size.height * channels;
    return {size, channels, {samples.get(), samples ? count : 0}};
}

DecodedImage decodeImage(std::span<const std::uint8_t> file) {
    DecodedImage decoded;
    if (!fitsInInt(file.size())) {
        decoded.error = "file too large";
        return decoded;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    decoded.samples.reset(
        stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 0));
    if (!decoded.samples || width <= 0 || height <= 0 || channels < 1 || channels > 4) {
        decoded.error = decoded.samples ? "no picture in the file" : failureReason();
        decoded.samples.reset();
        return decoded;
    }
    decoded.size = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    decoded.channels = static_cast<std::uint32_t>(channels);
    return decoded;
}

Image resizeImage(ImageView image, ImageSize size) {
    Image resized{size, image.channels, {}};
    resized.samples.resize(static_cast<std::size_t>(size.width) * size.height * image.channels);
    const int done = stbir_resize_uint8_generic(
        image.samples.data(), asInt(image.size.width), asInt(image.size.height), 0, resized.samples.data(),
        asInt(size.width), asInt(size.height), 0, asInt(image.channels), STBIR_ALPHA_CHANNEL_NONE, 0,
        STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr);
    if (done == 0) return {};
    return resized;
}

std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality) {
    std::vector<std::uint8_t> file;
    if (stbi_write_jpg_to_func(appendTo, &file, asInt(image.size.width), asInt(image.size.height),
                               asInt(image.channels), image.samples.data(), quality) == 0) {
        return {};
    }
    return file;
}

std::vector<std::uint8_t> encodePng(const Image& image) {
    std::vector<std::uint8_t> file;
    const int stride = asInt(image.size.width * image.channels);
    if (stbi_write_png_to_func(appendTo, &file, asInt(image.size.width), asInt(image.size.height),
                               asInt(image.channels), image.samples.data(), stride) == 0) {
        return {};
    }
    return file;
}
