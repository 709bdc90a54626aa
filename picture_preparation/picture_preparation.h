#pragma once
// One picture made ready for a quiz, with the same rules on every system. It
// is read by the system's codecs (picture_codecs.h: JPEG baseline,
// progressive or CMYK, PNG, the first frame of a GIF, BMP, HEIC; TIFF and
// WebP where Windows reads them), a large photo already reduced; turned by a
// JPEG's EXIF orientation, fitted within the single-question frame without
// ever being enlarged, its transparency flattened onto the quiz's background,
// and stored as the player shows it best: a photo (a JPEG or HEIC source) as
// a baseline JPEG, a lossless picture as a PNG unless a JPEG is several times
// smaller. A file already in its stored form is kept byte for byte: a
// baseline JPEG with no orientation to apply, or an opaque PNG that the
// player's decoder reads, within the frame.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "picture_preparation/image.h"
#include "picture_preparation/image_pixels.h"
#include "picture_preparation/picture_check.h"
#include "picture_preparation/picture_problem.h"
#include "picture_preparation/preparation_rules.h"

struct PreparedPicture {
    PictureKind kind = PictureKind::Unknown;
    std::vector<std::uint8_t> bytes;
    std::string subject;  // the name the picture was given
    std::string error;     // the reason's line (pictureProblemLine), for quizmake; empty on success
    PictureReason reason{};  // why it cannot be used; None on success
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// `name` names the picture in the error; `background` is what transparent
// pixels become; `quarterTurns` turns it clockwise after its own orientation
// (the author's turn: then its bytes are never kept as they are).
PreparedPicture preparePicture(std::span<const std::uint8_t> bytes, const std::string& name, Rgb background,
                               int quarterTurns = 0);

