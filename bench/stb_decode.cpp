// stb_image's implementation lives in this file alone, compiled without our
// warning flags (see CMakeLists.txt): its code is not ours to clean.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "bench/png_others.h"

std::size_t decodeWithStb(std::span<const std::uint8_t> file, std::vector<std::uint8_t>* copy) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 0);
    if (!pixels) {
        return 0;
    }
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                             static_cast<std::size_t>(channels);
    if (copy) {
        copy->assign(pixels, pixels + size);
    }
    stbi_image_free(pixels);
    return size;
}
