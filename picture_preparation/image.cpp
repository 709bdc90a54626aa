#include "picture_preparation/image.h"

#include <cstdint>
#include <new>

bool allocateImage(Image& image, ImageSize size, std::uint32_t channels) {
    image = {};
    const std::uint64_t count = static_cast<std::uint64_t>(size.width) * size.height * channels;
    if (count > SIZE_MAX / 2) return false;
#if defined(__cpp_exceptions)
    try {
        image.samples.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        image.samples = {};  // the one place where running out of memory is a result, not a crash
        return false;
    }
#else
    // Built without exceptions (the browser's module, whose pictures are the
    // browser's to decode), a failed allocation ends the module.
    image.samples.resize(static_cast<std::size_t>(count));
#endif
    image.size = size;
    image.channels = channels;
    return true;
}
