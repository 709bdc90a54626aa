#include "picture_preparation/picture_preparation.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "picture_preparation/image_orientation.h"
#include "picture_preparation/image_pixels.h"
#include "picture_preparation/image_resize.h"
#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_extent.h"
#include "picture_preparation/picture_size.h"
#include "pictures/png/png_decoder.h"

namespace {

const std::string OutOfMemory = "not enough memory to prepare the picture";

PreparedPicture failed(const std::string& name, std::string reason) {
    PreparedPicture result;
    result.subject = name;
    result.error = std::move(reason);
    return result;
}

PreparedPicture prepared(const std::string& name, PictureKind kind, std::vector<std::uint8_t> bytes) {
    PreparedPicture result;
    result.kind = kind;
    result.bytes = std::move(bytes);
    result.subject = name;
    return result;
}

std::string sizeText(ImageSize size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

// A photo is decoded already reduced, so it may be larger than a lossless picture.
std::uint64_t pixelLimit(PictureFormat format) {
    return format == PictureFormat::Jpeg ? MaxPhotoPixels : MaxPicturePixels;
}

bool headerIsRead(PictureFormat format) {
    return format == PictureFormat::Jpeg || format == PictureFormat::Png || format == PictureFormat::Gif ||
           format == PictureFormat::Bmp;
}

// Why a picture of this format cannot be used before decoding it; empty when
// it can. (The formats whose headers are not read here are checked by their
// decoders, before they allocate.)
std::string headerProblem(PictureFormat format, std::span<const std::uint8_t> bytes) {
    if (!headerIsRead(format)) return {};
    const std::string what = std::string("a ") + pictureFormatName(format);
    const std::optional<ImageSize> size = declaredSize(format, bytes);
    if (!size) return "a damaged " + std::string(pictureFormatName(format)) + ": its header is missing or cut short";
    if (format == PictureFormat::Jpeg && !huffmanTablesFit(bytes)) {
        return "a damaged JPEG: a Huffman table is cut short or holds too many codes";
    }
    if (size->width == 0 || size->height == 0) return what + " of " + sizeText(*size) + " pixels: a side of 0 pixels";
    if (static_cast<std::uint64_t>(size->width) * size->height > pixelLimit(format)) {
        return what + " of " + sizeText(*size) + " pixels: over " + std::to_string(pixelLimit(format) / 1'000'000) +
               " megapixels";
    }
    if (const std::string missing = missingPart(format, bytes); !missing.empty()) {
        return "a truncated " + std::string(pictureFormatName(format)) + ": " + missing;
    }
    return {};
}

// What the player's own decoder makes of a PNG: it must give a bitmap.
bool playerDecodesPng(std::span<const std::uint8_t> bytes) {
    PngDecoder decoder;
    bool decoded = openPng(decoder, bytes) == PngResult::Ok && decodePng(decoder) == PngResult::Ok;
    if (decoded) {
        const PngBitmapLayout layout = pngBitmapLayout(decoder);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(layout.stride) * layout.height);
        decoded = writePngBitmap(decoder, rows) == PngResult::Ok;
    }
    releasePng(decoder);
    return decoded;
}

// `size`: the picture's own, before any reduction by the decoder.
bool keepsItsBytes(PictureFormat format, std::span<const std::uint8_t> bytes, ImageSize size, ImageView image) {
    if (preparedSize(size) != size) return false;
    if (format == PictureFormat::Jpeg) {
        const JpegHeader header = readJpegHeader(bytes);
        return header.frameMarker == BaselineFrameMarker && header.orientation == 1 &&
               (header.components == 1 || header.components == 3);
    }
    return format == PictureFormat::Png && isOpaque(image) && playerDecodesPng(bytes);
}

ImageSize swapped(ImageSize size) { return {size.height, size.width}; }

// Block averaging does the bulk of a large reduction fast, leaving at least
// twice the final size to the cubic filter, which gives the quality.
Image scaledTo(ImageView image, ImageSize size) {
    if (image.size == size) return copyOf(image);
    const std::uint32_t blocks =
        std::min(image.size.width / (2 * size.width), image.size.height / (2 * size.height));
    if (blocks < 2) return resizeImage(image, size);
    const Image shrunk = shrinkByBlocks(image, blocks);
    return resizeImage(viewOf(shrunk), size);
}

// The size the stored picture has, in the file's own orientation.
ImageSize storedSize(ImageSize full, int orientation) {
    const bool turns = swapsSides(orientation);
    const ImageSize shown = preparedSize(turns ? swapped(full) : full);
    return turns ? swapped(shown) : shown;
}

// Flattened, fitted and turned: the pixels to store, without alpha. `full` is
// the picture's own size (the decoder may have given it reduced).
Image storedPixels(ImageView image, ImageSize full, int orientation, Rgb background) {
    Image flat;
    if (image.channels == 2 || image.channels == 4) {
        flat = flattenOnto(image, background);
        image = viewOf(flat);
    }
    Image scaled = scaledTo(image, storedSize(full, orientation));
    if (scaled.samples.empty()) return scaled;
    return orientImage(std::move(scaled), orientation);
}

PreparedPicture encoded(const std::string& name, PictureFormat format, const Image& pixels) {
    std::vector<std::uint8_t> jpeg = encodeJpeg(pixels, PreparedJpegQuality);
    if (format == PictureFormat::Jpeg || format == PictureFormat::Heif) {
        if (jpeg.empty()) return failed(name, OutOfMemory);
        return prepared(name, PictureKind::Jpeg, std::move(jpeg));
    }
    std::vector<std::uint8_t> png = encodePng(pixels);
    if (png.empty() && jpeg.empty()) return failed(name, OutOfMemory);
    if (!jpeg.empty() && (png.empty() || jpeg.size() * JpegPreferredAtRatio < png.size())) {
        return prepared(name, PictureKind::Jpeg, std::move(jpeg));
    }
    return prepared(name, PictureKind::Png, std::move(png));
}

}  // namespace

ImageSize preparedSize(ImageSize size) {
    const ImageSize limit = PreparedPictureLimit;
    if (size.width == 0 || size.height == 0 || (size.width <= limit.width && size.height <= limit.height)) return size;
    const std::uint64_t width = size.width;
    const std::uint64_t height = size.height;
    // Rounded to the nearest pixel, at least one.
    if (width * limit.height >= height * limit.width) {
        const std::uint64_t fitted = (2 * height * limit.width + width) / (2 * width);
        return {limit.width, static_cast<std::uint32_t>(std::max<std::uint64_t>(fitted, 1))};
    }
    const std::uint64_t fitted = (2 * width * limit.height + height) / (2 * height);
    return {static_cast<std::uint32_t>(std::max<std::uint64_t>(fitted, 1)), limit.height};
}

PreparedPicture preparePicture(std::span<const std::uint8_t> bytes, const std::string& name, Rgb background,
                               int quarterTurns) {
    const PictureFormat format = pictureFormat(bytes);
    if (format == PictureFormat::Unknown) return failed(name, "not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture");
    if (std::string problem = headerProblem(format, bytes); !problem.empty()) return failed(name, problem);
    // A photo larger than it needs to be is decoded already reduced, as far as
    // it still covers the size it is stored at.
    const bool jpeg = format == PictureFormat::Jpeg;
    const int jpegOrientation = jpeg ? readJpegHeader(bytes).orientation : 1;
    const std::optional<ImageSize> declared = declaredSize(format, bytes);
    const ImageSize atLeast =
        jpeg && declared ? storedSize(*declared, turnedOrientation(jpegOrientation, quarterTurns)) : ImageSize{};
    const DecodedPicture decoded = decodePicture(bytes, format, atLeast, pixelLimit(format));
    if (!decoded.error.empty()) {
        return failed(name, "a damaged or unreadable " + std::string(pictureFormatName(format)) + " (" +
                                decoded.error + ")");
    }
    // Other formats' decoders say whether they left a turn to us.
    const int ownOrientation = jpeg ? jpegOrientation : decoded.orientation;
    const int orientation = turnedOrientation(ownOrientation, quarterTurns);
    const ImageView image = viewOf(decoded.image);
    const ImageSize full = declared ? *declared : image.size;
    if (orientation == 1 && keepsItsBytes(format, bytes, full, image)) {
        const PictureKind kind = format == PictureFormat::Jpeg ? PictureKind::Jpeg : PictureKind::Png;
        return prepared(name, kind, {bytes.begin(), bytes.end()});
    }
    const Image pixels = storedPixels(image, format == PictureFormat::Jpeg ? full : image.size, orientation, background);
    if (pixels.samples.empty()) return failed(name, OutOfMemory);
    return encoded(name, format, pixels);
}
