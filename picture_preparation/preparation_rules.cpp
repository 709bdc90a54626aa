#include "picture_preparation/preparation_rules.h"

#include <algorithm>
#include <vector>

#include "picture_preparation/image_orientation.h"
#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/picture_extent.h"
#include "picture_preparation/picture_size.h"
#include "pictures/png/png_decoder.h"

namespace {

std::string sizeText(ImageSize size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

bool headerIsRead(PictureFormat format) {
    return format == PictureFormat::Jpeg || format == PictureFormat::Png || format == PictureFormat::Gif ||
           format == PictureFormat::Bmp;
}

PictureReason reasonOf(PictureProblem problem, PictureFormat format, std::string detail = {}) {
    PictureReason reason;
    reason.problem = problem;
    reason.format = format;
    reason.pixelLimit = problem == PictureProblem::TooManyPixels ? pixelLimit(format) : 0;
    reason.detail = std::move(detail);
    return reason;
}

// Why a picture of this format cannot be used before decoding it; None when
// it can. (The formats whose headers are not read here are checked by their
// decoders, before they allocate.)
PictureReason headerProblem(PictureFormat format, std::span<const std::uint8_t> bytes,
                            const std::optional<ImageSize>& size, const JpegWalk& walk) {
    if (!headerIsRead(format)) return {};
    if (!size) return reasonOf(PictureProblem::Damaged, format, "its header is missing or cut short");
    if (!walk.tablesFit) {
        // A table that runs past the end of the file was cut.
        return reasonOf(walk.tableCut ? PictureProblem::CutShort : PictureProblem::Damaged, format,
                        "a Huffman table is cut short or holds too many codes");
    }
    const std::string ofSize = "of " + sizeText(*size) + " pixels";
    if (size->width == 0 || size->height == 0) return reasonOf(PictureProblem::NoPixels, format, ofSize);
    if (static_cast<std::uint64_t>(size->width) * size->height > pixelLimit(format)) {
        return reasonOf(PictureProblem::TooManyPixels, format, ofSize);
    }
    if (std::string missing = missingPart(format, bytes); !missing.empty()) {
        return reasonOf(PictureProblem::CutShort, format, std::move(missing));
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

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
}

// The data of every IDAT chunk, as far as the file holds them.
std::vector<FilePart> imageDataParts(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t ImageData = 0x49444154;  // "IDAT"
    std::vector<FilePart> parts;
    std::size_t at = 8;
    while (bytes.size() - at >= 12) {
        const std::size_t length = std::min<std::size_t>(bigEndian(bytes, at), bytes.size() - at - 8);
        if (bigEndian(bytes, at + 4) == ImageData) parts.push_back({at + 8, length});
        at += 12 + length;
        if (at > bytes.size()) break;
    }
    return parts;
}

ImageSize swapped(ImageSize size) { return {size.height, size.width}; }

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

PictureFacts headerFacts(std::span<const std::uint8_t> bytes) {
    PictureFacts facts;
    facts.format = pictureFormat(bytes);
    if (facts.format == PictureFormat::Unknown) return facts;
    facts.declared = declaredSize(facts.format, bytes);
    if (facts.format == PictureFormat::Jpeg) facts.ownOrientation = readJpegHeader(bytes).orientation;
    return facts;
}

PictureProblem fileProblem(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return PictureProblem::EmptyFile;
    return pictureFormat(bytes) == PictureFormat::Unknown ? PictureProblem::NotAPicture : PictureProblem::None;
}

PictureFacts examinePicture(std::span<const std::uint8_t> bytes) {
    PictureFacts facts = headerFacts(bytes);
    if (facts.format == PictureFormat::Unknown) {
        facts.problem = reasonOf(fileProblem(bytes), facts.format);
        return facts;
    }
    // One walk through a JPEG's scans serves both checks: a photo's are megabytes.
    const JpegWalk walk = facts.format == PictureFormat::Jpeg ? walkJpeg(bytes) : JpegWalk{true, true, false};
    facts.problem = headerProblem(facts.format, bytes, facts.declared, walk);
    facts.cutShort = !walk.endReached;
    return facts;
}

std::uint64_t pixelLimit(PictureFormat format) {
    return format == PictureFormat::Jpeg ? MaxPhotoPixels : MaxPicturePixels;
}

ImageSize decodedAtLeast(const PictureFacts& facts, int quarterTurns) {
    if (facts.format != PictureFormat::Jpeg || !facts.declared) return {};
    return storedSize(*facts.declared, turnedOrientation(facts.ownOrientation, quarterTurns));
}

PictureReason decoderRefusal(const PictureFacts& facts, PictureProblem problem, MissingCodec missing,
                             std::string words) {
    const bool unexplained = problem == PictureProblem::Damaged || problem == PictureProblem::NotDecodedHere ||
                             problem == PictureProblem::None;
    if (facts.cutShort && unexplained) problem = PictureProblem::CutShort;
    // The files whose structure was found whole (missingPart) are not cut
    // short, whatever their decoder ran out of: their data is damaged.
    if (problem == PictureProblem::CutShort && !facts.cutShort && headerIsRead(facts.format)) {
        problem = PictureProblem::Damaged;
    }
    if (problem == PictureProblem::None) problem = PictureProblem::NotDecodedHere;  // a decoder that said nothing
    PictureReason reason = reasonOf(problem, facts.format, std::move(words));
    reason.missing = missing;
    // The words of these reasons are the line's own.
    if (problem == PictureProblem::TooManyPixels || problem == PictureProblem::NoPixels) reason.detail.clear();
    return reason;
}

PictureReason cutShortProblem(const PictureFacts& facts) {
    if (!facts.cutShort) return {};
    return reasonOf(PictureProblem::CutShort, facts.format, "its data stops before its end marker");
}

std::optional<ImageDataCheck> imageDataCheck(const PictureFacts& facts, std::span<const std::uint8_t> bytes) {
    if (facts.format != PictureFormat::Png) return std::nullopt;
    PngDecoder decoder;
    const bool opened = openPng(decoder, bytes) == PngResult::Ok;
    const std::uint64_t inflatesTo = decoder.decodedSize;
    releasePng(decoder);
    if (!opened) return std::nullopt;
    return ImageDataCheck{imageDataParts(bytes), inflatesTo};
}

PictureReason imageDataProblem(const PictureFacts& facts, const ImageDataCheck& check, std::uint64_t inflated) {
    if (inflated >= check.inflatesTo) return {};
    return reasonOf(PictureProblem::Damaged, facts.format, "its image data is damaged or stops short");
}

ImageSize fullSize(const PictureFacts& facts, ImageSize decoded) {
    return facts.format == PictureFormat::Jpeg && facts.declared ? *facts.declared : decoded;
}

int orientationToApply(const PictureFacts& facts, int leftByDecoder, int quarterTurns) {
    return turnedOrientation(facts.format == PictureFormat::Jpeg ? facts.ownOrientation : leftByDecoder, quarterTurns);
}

Keeping keepingOf(const PictureFacts& facts, std::span<const std::uint8_t> bytes, ImageSize full, int orientation) {
    if (orientation != 1 || preparedSize(full) != full) return Keeping::No;
    if (facts.format == PictureFormat::Jpeg) {
        const JpegHeader header = readJpegHeader(bytes);
        const bool keeps = header.frameMarker == BaselineFrameMarker && header.orientation == 1 &&
                           (header.components == 1 || header.components == 3);
        return keeps ? Keeping::Yes : Keeping::No;
    }
    return facts.format == PictureFormat::Png && playerDecodesPng(bytes) ? Keeping::IfOpaque : Keeping::No;
}

ImageSize storedSize(ImageSize full, int orientation) {
    const bool turns = swapsSides(orientation);
    const ImageSize shown = preparedSize(turns ? swapped(full) : full);
    return turns ? swapped(shown) : shown;
}

bool flattens(std::uint32_t channels) { return channels == 2 || channels == 4; }

bool storedAsPhoto(PictureFormat format) { return format == PictureFormat::Jpeg || format == PictureFormat::Heif; }

PictureKind chosenEncoding(PictureFormat format, std::size_t jpegSize, std::size_t pngSize) {
    if (storedAsPhoto(format)) return jpegSize != 0 ? PictureKind::Jpeg : PictureKind::Unknown;
    if (jpegSize != 0 && (pngSize == 0 || jpegSize * JpegPreferredAtRatio < pngSize)) return PictureKind::Jpeg;
    return pngSize != 0 ? PictureKind::Png : PictureKind::Unknown;
}
