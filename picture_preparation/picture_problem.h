#pragma once
// Why a picture cannot be used, as a type. Every place that refuses a picture
// says which reason it is, with what goes with it (the format, the codec
// Windows lacks, the pixel limit); the words come from the reason: in English
// here, the one line quizmake prints, and in French in
// editing/picture_reasons.h for the editors. Never the other way round: no
// message is matched to find its reason.

#include <cstdint>
#include <string>

#include "picture_preparation/picture_check.h"

enum class PictureProblem : std::uint8_t {
    None,
    EmptyFile,          // 0 bytes
    NotAPicture,        // none of the formats an author may give
    FormatNotReadHere,  // a format, or a kind of it, that this system or browser has no decoder for
    NotDecodedHere,     // the decoder of a format it reads refused it and said no more: no proof of damage
    Damaged,            // its header or its data contradicts its format
    CutShort,           // its data stops before its end
    NoPixels,           // a side of 0 pixels
    TooManyPixels,      // over the limit of pixels
    OutOfMemory,        // memory ran out while it was read or stored
    NotPrepared,        // the page offered no prepared picture for an edit (a fault of ours)
};
inline constexpr int PictureProblemCount = static_cast<int>(PictureProblem::NotPrepared) + 1;

// What read the picture: the system's codecs (WIC on Windows) or a browser's.
enum class PictureReader : std::uint8_t { System, Browser };

// What Windows lacks to read a format, from the Microsoft Store.
enum class MissingCodec : std::uint8_t { None, HeifImageExtensions, HevcVideoExtensions, WebpImageExtensions };

struct PictureReason {
    PictureProblem problem = PictureProblem::None;
    PictureFormat format = PictureFormat::Unknown;  // as its first bytes say
    PictureReader reader = PictureReader::System;
    MissingCodec missing = MissingCodec::None;      // FormatNotReadHere on Windows
    std::uint64_t pixelLimit = 0;                   // TooManyPixels: the most pixels taken
    std::string detail;  // the reader's own words (English), for the line only; may be empty
    [[nodiscard]] bool ok() const { return problem == PictureProblem::None; }
};

// The reason as one line of English, empty for None: quizmake's words.
std::string pictureProblemLine(const PictureReason& reason);
