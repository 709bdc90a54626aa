#include "picture_preparation/picture_preparation.h"

#include <algorithm>
#include <utility>

#include "picture_preparation/image_orientation.h"
#include "picture_preparation/image_pixels.h"
#include "picture_preparation/image_resize.h"
#include "picture_preparation/picture_codecs.h"

namespace {

PreparedPicture failed(const std::string& name, PictureReason reason) {
    PreparedPicture result;
    result.subject = name;
    result.error = pictureProblemLine(reason);
    result.reason = std::move(reason);
    return result;
}

PreparedPicture outOfMemory(const std::string& name, PictureFormat format) {
    PictureReason reason;
    reason.problem = PictureProblem::OutOfMemory;
    reason.format = format;
    return failed(name, std::move(reason));
}

PreparedPicture prepared(const std::string& name, PictureKind kind, std::vector<std::uint8_t> bytes) {
    PreparedPicture result;
    result.kind = kind;
    result.bytes = std::move(bytes);
    result.subject = name;
    return result;
}

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

// Flattened, fitted and turned: the pixels to store, without alpha. `full` is
// the picture's own size (the decoder may have given it reduced).
Image storedPixels(ImageView image, ImageSize full, int orientation, Rgb background) {
    Image flat;
    if (flattens(image.channels)) {
        flat = flattenOnto(image, background);
        image = viewOf(flat);
    }
    Image scaled = scaledTo(image, storedSize(full, orientation));
    if (scaled.samples.empty()) return scaled;
    return orientImage(std::move(scaled), orientation);
}

PreparedPicture encoded(const std::string& name, PictureFormat format, const Image& pixels) {
    std::vector<std::uint8_t> jpeg = encodeJpeg(pixels, PreparedJpegQuality);
    std::vector<std::uint8_t> png = storedAsPhoto(format) ? std::vector<std::uint8_t>() : encodePng(pixels);
    switch (chosenEncoding(format, jpeg.size(), png.size())) {
        case PictureKind::Jpeg: return prepared(name, PictureKind::Jpeg, std::move(jpeg));
        case PictureKind::Png: return prepared(name, PictureKind::Png, std::move(png));
        case PictureKind::Unknown: break;
    }
    return outOfMemory(name, format);
}

}  // namespace

PreparedPicture preparePicture(std::span<const std::uint8_t> bytes, const std::string& name, Rgb background,
                               int quarterTurns) {
    const PictureFacts facts = examinePicture(bytes);
    if (!facts.problem.ok()) return failed(name, facts.problem);
    // A photo larger than it needs to be is decoded already reduced.
    const DecodedPicture decoded =
        decodePicture(bytes, facts.format, decodedAtLeast(facts, quarterTurns), pixelLimit(facts.format));
    if (!decoded.error.empty() || decoded.problem != PictureProblem::None) {
        return failed(name, decoderRefusal(facts, decoded.problem, decoded.missing, decoded.error));
    }
    const int orientation = orientationToApply(facts, decoded.orientation, quarterTurns);
    const ImageView image = viewOf(decoded.image);
    const ImageSize full = fullSize(facts, image.size);
    const Keeping keeping = keepingOf(facts, bytes, full, orientation);
    if (keeping == Keeping::Yes || (keeping == Keeping::IfOpaque && isOpaque(image))) {
        const PictureKind kind = facts.format == PictureFormat::Jpeg ? PictureKind::Jpeg : PictureKind::Png;
        return prepared(name, kind, {bytes.begin(), bytes.end()});
    }
    const Image pixels = storedPixels(image, full, orientation, background);
    if (pixels.samples.empty()) return outOfMemory(name, facts.format);
    return encoded(name, facts.format, pixels);
}
