// The picture rules for the page's preparer (picture_preparer.js): the
// browser decodes, draws and encodes, and asks here every decision the native
// preparation takes. Browsers turn a picture as its metadata says while they
// decode it (a JPEG's EXIF orientation, which the rules apply too, and a
// PNG's eXIf chunk, which they do not), so the orientation left to apply is
// told here with each size. A file's bytes come in through a buffer of this
// file's own; answers go out as JSON (UTF-8). A refusal goes out as its typed
// reason (picture_problem.h), which the page offers back to the document
// (zqa_offer_refused), with its English line beside it for the console: the
// French is said by editing/picture_reasons.h, never found from the English.
// Every function is listed in picture_rules_exports.json.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture_preparation/exif_orientation.h"
#include "picture_preparation/image_orientation.h"
#include "picture_preparation/preparation_rules.h"
#include "web/atelier/json_writer.h"

namespace {

struct PictureRulesState {
    std::vector<std::uint8_t> buffer;  // lent to the page for a file's bytes
    std::string text;                  // the last answer handed out
};

PictureRulesState rules;

std::span<const std::uint8_t> lentFile(int size) {
    const std::size_t count = size > 0 ? std::min(static_cast<std::size_t>(size), rules.buffer.size()) : 0;
    return {rules.buffer.data(), count};
}

const char* handOut(JsonWriter& json) {
    rules.text = json.take();
    return rules.text.c_str();
}

// {"error": the English line, "reason": {"problem", "format", "reader",
// "missing", "pixelLimit"}}, each a number of picture_problem.h's enums.
void writeReason(JsonWriter& json, const PictureReason& reason) {
    json.field("error", pictureProblemLine(reason));
    json.key("reason");
    json.beginObject();
    json.field("problem", static_cast<int>(reason.problem));
    json.field("format", static_cast<int>(reason.format));
    json.field("reader", static_cast<int>(reason.reader));
    json.field("missing", static_cast<int>(reason.missing));
    json.field("pixelLimit", static_cast<int>(reason.pixelLimit));
    json.endObject();
}

const char* refused(const PictureReason& reason) {
    JsonWriter json;
    json.beginObject();
    writeReason(json, reason);
    json.endObject();
    return handOut(json);
}

PictureReason reasonOf(PictureProblem problem, PictureFormat format) {
    PictureReason reason;
    reason.problem = problem;
    reason.format = format;
    reason.reader = PictureReader::Browser;
    if (problem == PictureProblem::TooManyPixels) reason.pixelLimit = pixelLimit(format);
    return reason;
}

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
}

// A PNG's eXIf chunk before its image data, which browsers obey.
int pngExifOrientation(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t Exif = 0x65584966;       // "eXIf"
    constexpr std::uint32_t ImageData = 0x49444154;  // "IDAT"
    for (std::size_t at = 8; bytes.size() - at >= 12;) {
        const std::uint32_t length = bigEndian(bytes, at);
        const std::uint32_t type = bigEndian(bytes, at + 4);
        if (type == ImageData || length > bytes.size() - at - 12) break;
        if (type == Exif) return tiffOrientation(bytes.subspan(at + 8, length));
        at += 12 + std::size_t{length};
    }
    return 1;
}

// The orientation the browser gives the pixels as it decodes them.
int browserOrientation(const PictureFacts& facts, std::span<const std::uint8_t> bytes) {
    if (facts.format == PictureFormat::Jpeg) return facts.ownOrientation;
    return facts.format == PictureFormat::Png ? pngExifOrientation(bytes) : 1;
}

ImageSize oriented(ImageSize size, int orientation) {
    return swapsSides(orientation) ? ImageSize{size.height, size.width} : size;
}

// The browser's decoded pixels, and what they need to show as the rules show them.
struct BrowserPixels {
    std::optional<ImageSize> size;  // none when the header says no size: then decoded whole
    int orientation = 1;            // left to apply to them, the author's turns included
};

BrowserPixels browserPixels(const PictureFacts& facts, std::span<const std::uint8_t> bytes, int quarterTurns) {
    const int browser = browserOrientation(facts, bytes);
    BrowserPixels pixels;
    if (facts.declared) pixels.size = oriented(*facts.declared, browser);
    pixels.orientation =
        composedOrientation(inverseOrientation(browser), orientationToApply(facts, 1, quarterTurns));
    return pixels;
}

// An AVIF photo: the HEIF container with AV1 inside, which every browser reads.
bool isAvif(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 12 && bytes[4] == 'f' && bytes[5] == 't' && bytes[6] == 'y' && bytes[7] == 'p' &&
           bytes[8] == 'a' && bytes[9] == 'v' && bytes[10] == 'i' && (bytes[11] == 'f' || bytes[11] == 's');
}

// Why the browser's decoder refused a picture the rules let through. Every
// browser reads JPEG, PNG, GIF, BMP, WebP and AVIF: one that cannot read such
// a file says no more, and that is no proof of damage. HEIC and TIFF only
// some read.
PictureReason browserDecoderRefusal(const PictureFacts& facts, std::span<const std::uint8_t> bytes) {
    const PictureFormat format = facts.format;
    const bool everywhere = format == PictureFormat::Jpeg || format == PictureFormat::Png ||
                            format == PictureFormat::Gif || format == PictureFormat::Bmp ||
                            format == PictureFormat::Webp || (format == PictureFormat::Heif && isAvif(bytes));
    return reasonOf(everywhere ? PictureProblem::NotDecodedHere : PictureProblem::FormatNotReadHere, format);
}

void writeImageDataCheck(JsonWriter& json, const ImageDataCheck& check) {
    json.key("imageData");
    json.beginObject();
    json.key("parts");
    json.beginArray();
    for (const FilePart& part : check.parts) {
        json.beginArray();
        json.value(static_cast<int>(part.offset));
        json.value(static_cast<int>(part.size));
        json.endArray();
    }
    json.endArray();
    json.field("inflatesTo", static_cast<int>(check.inflatesTo));
    json.endObject();
}

}  // namespace

extern "C" {

// A buffer of at least `size` bytes for the file the page passes in next.
std::uint8_t* zqp_buffer(int size) {
    rules.buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 1);
    return rules.buffer.data();
}

// What the file's `size` bytes in the buffer tell before decoding, turned
// `quarterTurns` by the author: {"error", "reason"} (writeReason) when it
// cannot be used, else {"format": n, "unreadable": {"error", "reason"} if the
// browser cannot decode it,
// "width", "height": the size to decode it at, as the browser orients it (0
// and 0: whole), "opacity":
// whether zqp_plan needs to know that every pixel is opaque, and for a PNG
// "imageData": {"parts": [[offset, size]...], "inflatesTo"}: the parts of the
// file that, joined, are a zlib stream, and how many of its bytes zqp_plan
// needs to know came out whole}.
const char* zqp_examine(int size, int quarterTurns) {
    const auto bytes = lentFile(size);
    const PictureFacts facts = examinePicture(bytes);
    if (!facts.problem.ok()) return refused(facts.problem);
    if (const PictureReason cut = cutShortProblem(facts); !cut.ok()) return refused(cut);
    const BrowserPixels pixels = browserPixels(facts, bytes, quarterTurns);
    const ImageSize decoded = pixels.size ? storedSize(*pixels.size, pixels.orientation) : ImageSize{};
    const bool opacity =
        facts.declared &&
        keepingOf(facts, bytes, *facts.declared, orientationToApply(facts, 1, quarterTurns)) == Keeping::IfOpaque;
    JsonWriter json;
    json.beginObject();
    json.field("format", static_cast<int>(facts.format));
    json.key("unreadable");
    json.beginObject();
    writeReason(json, browserDecoderRefusal(facts, bytes));
    json.endObject();
    json.field("width", static_cast<int>(decoded.width));
    json.field("height", static_cast<int>(decoded.height));
    json.field("opacity", opacity);
    if (const auto check = imageDataCheck(facts, bytes)) writeImageDataCheck(json, *check);
    json.endObject();
    return handOut(json);
}

// What the picture becomes once the browser decoded it (upright) at `width` x
// `height`, `opaque` and with `inflated` bytes of its image data when asked
// (-1 otherwise): {"error", "reason"}, {"keep": 1 JPEG or 2 PNG} for its
// own bytes, or {"width", "height": the size to draw it at before turning,
// "orientation": how to turn or mirror it then (1 to 8, as EXIF's),
// "encodings": the types to encode it as,
// "jpegQuality": 0 to 100, "failed": {"error", "reason"} when drawing or
// encoding fails (memory, as far as a browser tells)}.
const char* zqp_plan(int size, int quarterTurns, int width, int height, int opaque, int inflated) {
    const auto bytes = lentFile(size);
    const PictureFacts facts = headerFacts(bytes);  // zqp_examine has checked the whole file
    if (facts.format == PictureFormat::Unknown) return refused(examinePicture(bytes).problem);
    if (const auto check = imageDataCheck(facts, bytes)) {
        const PictureReason damaged =
            imageDataProblem(facts, *check, inflated > 0 ? static_cast<std::uint64_t>(inflated) : 0);
        if (!damaged.ok()) return refused(damaged);
    }
    if (width <= 0 || height <= 0) return refused(reasonOf(PictureProblem::NoPixels, facts.format));
    const ImageSize decoded{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    if (std::uint64_t{decoded.width} * decoded.height > pixelLimit(facts.format)) {
        return refused(reasonOf(PictureProblem::TooManyPixels, facts.format));
    }
    const ImageSize full = facts.declared ? *facts.declared : decoded;
    const Keeping keeping = keepingOf(facts, bytes, full, orientationToApply(facts, 1, quarterTurns));
    JsonWriter json;
    json.beginObject();
    if (keeping == Keeping::Yes || (keeping == Keeping::IfOpaque && opaque != 0)) {
        json.field("keep", facts.format == PictureFormat::Jpeg ? 1 : 2);
    } else {
        const BrowserPixels pixels = browserPixels(facts, bytes, quarterTurns);
        const ImageSize drawn = storedSize(pixels.size.value_or(decoded), pixels.orientation);
        json.field("width", static_cast<int>(drawn.width));
        json.field("height", static_cast<int>(drawn.height));
        json.field("orientation", pixels.orientation);
        json.key("encodings");
        json.beginArray();
        json.value("image/jpeg");
        if (!storedAsPhoto(facts.format)) json.value("image/png");
        json.endArray();
        json.field("jpegQuality", PreparedJpegQuality);
        json.key("failed");
        json.beginObject();
        writeReason(json, reasonOf(PictureProblem::OutOfMemory, facts.format));
        json.endObject();
    }
    json.endObject();
    return handOut(json);
}

// Why the picture cannot be used, once the browser's decoder refused the
// file's `size` bytes and their image data gave `inflated` bytes (-1 when not
// asked): {"error", "reason"}. A PNG whose zlib stream stops short is damaged,
// whatever the browser says; otherwise the browser's refusal says no more than
// that it could not read it.
const char* zqp_undecoded(int size, int inflated) {
    const auto bytes = lentFile(size);
    const PictureFacts facts = headerFacts(bytes);
    if (const auto check = imageDataCheck(facts, bytes); check && inflated >= 0) {
        const PictureReason damaged = imageDataProblem(facts, *check, static_cast<std::uint64_t>(inflated));
        if (!damaged.ok()) return refused(damaged);
    }
    return refused(browserDecoderRefusal(facts, bytes));
}

// The encoding kept of those made (their sizes, 0 for one not made): 1 the
// JPEG, 2 the PNG, 0 neither. `format` is zqp_examine's.
int zqp_choose(int format, int jpegSize, int pngSize) {
    if (format < 0 || format > static_cast<int>(PictureFormat::Unknown)) return 0;
    const auto size = [](int bytes) { return bytes > 0 ? static_cast<std::size_t>(bytes) : std::size_t{0}; };
    switch (chosenEncoding(static_cast<PictureFormat>(format), size(jpegSize), size(pngSize))) {
        case PictureKind::Jpeg: return 1;
        case PictureKind::Png: return 2;
        case PictureKind::Unknown: break;
    }
    return 0;
}

}  // extern "C"
