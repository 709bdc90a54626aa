#include "authoring/image_codecs.h"

#include <climits>
#include <memory>

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

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

DecodedImage decodeImage(std::span<const std::uint8_t> file) {
    if (!fitsInInt(file.size())) return {{}, "file too large"};
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 0));
    if (!pixels) return {{}, failureReason()};
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4) return {{}, "no picture in the file"};
    DecodedImage decoded;
    decoded.image.size = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    decoded.image.channels = static_cast<std::uint32_t>(channels);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(channels);
    decoded.image.samples.assign(pixels.get(), pixels.get() + count);
    return decoded;
}

Image resizeImage(const Image& image, ImageSize size) {
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
