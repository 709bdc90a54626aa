#pragma once
// Picture files read and written by the system's own codecs, behind one small
// interface: on Windows its imaging component (WIC), elsewhere libjpeg-turbo,
// libpng, giflib and libheif, with a BMP reader of ours. Pictures come from
// anywhere, so they are read by decoders hardened by years of use; what a
// picture becomes is decided in picture_preparation.cpp, the same everywhere.
// The samples may differ slightly between systems (ENGINEERING says how).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "picture_preparation/image.h"
#include "picture_preparation/picture_check.h"
#include "picture_preparation/picture_problem.h"

struct DecodedPicture {
    Image image;        // 1 to 4 channels as the file has them (a CMYK JPEG comes as RGB)
    PictureProblem problem = PictureProblem::None;  // why it cannot be read
    MissingCodec missing = MissingCodec::None;      // what Windows lacks, for FormatNotReadHere
    std::string error;  // the decoder's words for it, one line (English); empty on success
    int orientation = 1;  // the turn the pixels still need, when the decoder left it to us (never a JPEG's EXIF)
};

// `format` is what pictureFormat() found. A JPEG larger than it needs to be
// may come reduced by 1/2, 1/4 or 1/8, as long as it still covers `atLeast`
// (both sides; {0, 0} asks for every pixel). A picture of more than
// `maxPixels` is refused before anything is allocated for it.
DecodedPicture decodePicture(std::span<const std::uint8_t> file, PictureFormat format, ImageSize atLeast,
                             std::uint64_t maxPixels);

// A baseline JPEG of a grey or RGB image; empty on failure.
std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality);

// A PNG of an image of 1 to 4 channels; empty on failure.
std::vector<std::uint8_t> encodePng(const Image& image);

// What this build reads the files with, for messages and benchmarks.
const char* pictureCodecsName();
