// What stays ours of reading a picture, fast enough to fuzz for long: the
// format and header checks (declared size, missing parts, JPEG segments and
// their EXIF orientation, Huffman tables), the decoders' wrappers (and our
// BMP reader) on pictures of at most 1024 pixels, and the steps on decoded
// samples: turning, flattening, shrinking and fitting. Every step must finish
// with a sane result; the sanitizers catch the rest.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture_preparation/bmp_reader.h"
#include "picture_preparation/image_orientation.h"
#include "picture_preparation/image_pixels.h"
#include "picture_preparation/image_resize.h"
#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_extent.h"
#include "picture_preparation/picture_preparation.h"
#include "picture_preparation/picture_size.h"

namespace {

constexpr std::uint64_t FuzzPixels = 1024;

void check(bool sane) {
    if (!sane) std::abort();
}

bool wellFormed(const DecodedPicture& decoded) {
    if (!decoded.error.empty()) return decoded.image.samples.empty();
    const Image& image = decoded.image;
    const std::uint64_t pixels = std::uint64_t{image.size.width} * image.size.height;
    return image.channels >= 1 && image.channels <= 4 && pixels > 0 && pixels <= FuzzPixels &&
           image.samples.size() == pixels * image.channels;
}

// The samples steps, on whatever the decoders made of the input.
void stepsOn(const Image& image, int orientation) {
    const ImageView view = viewOf(image);
    const Image flat = image.channels == 2 || image.channels == 4 ? flattenOnto(view, Rgb{9, 8, 7}) : copyOf(view);
    check(flat.samples.size() == std::size_t{image.size.width} * image.size.height * flat.channels);
    const Image turned = orientImage(copyOf(viewOf(flat)), orientation);
    check(turned.samples.size() == flat.samples.size());
    if (swapsSides(orientation)) check(turned.size == (ImageSize{flat.size.height, flat.size.width}));
    const std::uint32_t factor = 2 + image.size.width % 3;
    if (image.size.width >= factor && image.size.height >= factor) {
        const Image shrunk = shrinkByBlocks(viewOf(flat), factor);
        check(shrunk.size == (ImageSize{flat.size.width / factor, flat.size.height / factor}));
    }
    const ImageSize fitted = preparedSize({image.size.width * 37, image.size.height * 41});
    check(fitted.width >= 1 && fitted.height >= 1 && fitted.width <= PreparedPictureLimit.width &&
          fitted.height <= PreparedPictureLimit.height);
    const ImageSize small{std::max(1u, image.size.width / 2), std::max(1u, image.size.height / 3)};
    const Image resized = resizeImage(viewOf(flat), small);
    check(resized.size == small && resized.samples.size() == std::size_t{small.width} * small.height * flat.channels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const PictureFormat format = pictureFormat(bytes);
    pictureFormatName(format);
    const std::optional<ImageSize> declared = declaredSize(format, bytes);
    missingPart(format, bytes);
    const JpegHeader header = readJpegHeader(bytes);
    check(header.orientation >= 1 && header.orientation <= 8);
    huffmanTablesFit(bytes);
    if (declared && std::uint64_t{declared->width} * declared->height > FuzzPixels) return 0;

    const ImageSize atLeast = declared ? ImageSize{declared->width / 3, declared->height / 3} : ImageSize{};
    const DecodedPicture decoded = decodePicture(bytes, format, atLeast, FuzzPixels);
    check(wellFormed(decoded));
    if (decoded.error.empty()) stepsOn(decoded.image, header.orientation);
    // Our BMP reader on anything, whatever its signature.
    check(wellFormed(readBmp(bytes, FuzzPixels)));
    return 0;
}
