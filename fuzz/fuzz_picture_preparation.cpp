// Any bytes as an author's picture: refused with one line and no bytes, or
// prepared into a baseline JPEG or a PNG within the frame that decodes and
// that prepares again to itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_preparation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PreparedPicture prepared = preparePicture(std::span(data, size), "fuzz", Rgb{1, 2, 3});
    if (!prepared.ok()) {
        if (!prepared.bytes.empty() || prepared.error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (prepared.kind == PictureKind::Jpeg && readJpegHeader(prepared.bytes).frameMarker != BaselineFrameMarker) {
        std::abort();
    }
    if (prepared.kind != PictureKind::Jpeg && prepared.kind != PictureKind::Png) std::abort();
    const DecodedPicture shown = decodePicture(prepared.bytes, pictureFormat(prepared.bytes), {}, MaxPicturePixels);
    if (!shown.error.empty() || preparedSize(shown.image.size) != shown.image.size) std::abort();
    if (preparePicture(prepared.bytes, "again", Rgb{1, 2, 3}).bytes != prepared.bytes) std::abort();
    return 0;
}
