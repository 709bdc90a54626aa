// The picture rules for the page's preparer (picture_preparer.js): the
// browser decodes, draws and encodes, and asks here every decision the native
// preparation takes. The browser turns a picture by its own orientation as it
// decodes it, so the pixels it hands over are upright and only the author's
// quarter turns are left to apply. A file's bytes come in through a buffer of
// this file's own; answers go out as JSON (UTF-8). Every function is listed in
// picture_rules_exports.json.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

const char* refused(const std::string& line) {
    JsonWriter json;
    json.beginObject();
    json.field("error", line);
    json.endObject();
    return handOut(json);
}

int normalTurns(int quarterTurns) { return ((quarterTurns % 4) + 4) % 4; }

// The size the browser decodes the picture at, turned by its own orientation;
// none when its header says no size (it is then decoded whole).
std::optional<ImageSize> uprightSize(const PictureFacts& facts) {
    if (!facts.declared) return std::nullopt;
    const ImageSize size = *facts.declared;
    return swapsSides(facts.ownOrientation) ? ImageSize{size.height, size.width} : size;
}

// Every browser reads JPEG, PNG, GIF, BMP and WebP: one that cannot is given
// a damaged file. HEIC and TIFF only some read.
const char* browserDecoderProblem(PictureFormat format) {
    const bool everywhere = format == PictureFormat::Jpeg || format == PictureFormat::Png ||
                            format == PictureFormat::Gif || format == PictureFormat::Bmp || format == PictureFormat::Webp;
    return everywhere ? "this browser cannot decode it" : "no codec for it in this browser, or a damaged file";
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
// `quarterTurns` by the author: {"error"} when it cannot be used, else
// {"format": n, "unreadable": the line if the browser cannot decode it,
// "width", "height": the size to decode it at (0 and 0: whole), "opacity":
// whether zqp_plan needs to know that every pixel is opaque, and for a PNG
// "imageData": {"parts": [[offset, size]...], "inflatesTo"}: the parts of the
// file that, joined, are a zlib stream, and how many of its bytes zqp_plan
// needs to know came out whole}.
const char* zqp_examine(int size, int quarterTurns) {
    const auto bytes = lentFile(size);
    const PictureFacts facts = examinePicture(bytes);
    if (!facts.problem.empty()) return refused(facts.problem);
    if (const std::string cut = cutShortProblem(facts); !cut.empty()) return refused(cut);
    const std::optional<ImageSize> upright = uprightSize(facts);
    const ImageSize decoded = upright ? storedSize(*upright, turnedOrientation(1, quarterTurns)) : ImageSize{};
    const bool opacity =
        facts.declared &&
        keepingOf(facts, bytes, *facts.declared, orientationToApply(facts, 1, quarterTurns)) == Keeping::IfOpaque;
    JsonWriter json;
    json.beginObject();
    json.field("format", static_cast<int>(facts.format));
    json.field("unreadable", unreadableProblem(facts.format, browserDecoderProblem(facts.format)));
    json.field("width", static_cast<int>(decoded.width));
    json.field("height", static_cast<int>(decoded.height));
    json.field("opacity", opacity);
    if (const auto check = imageDataCheck(facts, bytes)) writeImageDataCheck(json, *check);
    json.endObject();
    return handOut(json);
}

// What the picture becomes once the browser decoded it (upright) at `width` x
// `height`, `opaque` and with `inflated` bytes of its image data when asked
// (-1 otherwise): {"error"}, {"keep": 1 JPEG or 2 PNG} for its
// own bytes, or {"width", "height": the size to draw it at before turning,
// "quarterTurns" clockwise, "encodings": the types to encode it as,
// "jpegQuality": 0 to 100, "failed": the line when drawing or encoding fails}.
const char* zqp_plan(int size, int quarterTurns, int width, int height, int opaque, int inflated) {
    const auto bytes = lentFile(size);
    const PictureFacts facts = headerFacts(bytes);  // zqp_examine has checked the whole file
    if (facts.format == PictureFormat::Unknown) return refused(examinePicture(bytes).problem);
    if (const auto check = imageDataCheck(facts, bytes)) {
        const std::string damaged = imageDataProblem(facts, *check, inflated > 0 ? static_cast<std::uint64_t>(inflated) : 0);
        if (!damaged.empty()) return refused(damaged);
    }
    if (width <= 0 || height <= 0) return refused(unreadableProblem(facts.format, "a side of 0 pixels"));
    const ImageSize decoded{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    if (std::uint64_t{decoded.width} * decoded.height > pixelLimit(facts.format)) {
        return refused(unreadableProblem(facts.format, "too many pixels"));
    }
    const ImageSize full = facts.declared ? *facts.declared : decoded;
    const Keeping keeping = keepingOf(facts, bytes, full, orientationToApply(facts, 1, quarterTurns));
    JsonWriter json;
    json.beginObject();
    if (keeping == Keeping::Yes || (keeping == Keeping::IfOpaque && opaque != 0)) {
        json.field("keep", facts.format == PictureFormat::Jpeg ? 1 : 2);
    } else {
        const ImageSize upright = uprightSize(facts).value_or(decoded);
        const ImageSize drawn = storedSize(upright, turnedOrientation(1, quarterTurns));
        json.field("width", static_cast<int>(drawn.width));
        json.field("height", static_cast<int>(drawn.height));
        json.field("quarterTurns", normalTurns(quarterTurns));
        json.key("encodings");
        json.beginArray();
        json.value("image/jpeg");
        if (!storedAsPhoto(facts.format)) json.value("image/png");
        json.endArray();
        json.field("jpegQuality", PreparedJpegQuality);
        json.field("failed", OutOfMemoryProblem);
    }
    json.endObject();
    return handOut(json);
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
