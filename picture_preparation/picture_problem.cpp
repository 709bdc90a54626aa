#include "picture_preparation/picture_problem.h"

namespace {

// "a JPEG", "an empty file"...
std::string aFormat(PictureFormat format) { return std::string("a ") + pictureFormatName(format); }

std::string withDetail(std::string line, const std::string& detail, const char* joint = ": ") {
    return detail.empty() ? line : line + joint + detail;
}

const char* installHint(MissingCodec missing) {
    switch (missing) {
        case MissingCodec::HeifImageExtensions: return "install the HEIF Image Extensions from the Microsoft Store";
        case MissingCodec::HevcVideoExtensions: return "install the HEVC Video Extensions from the Microsoft Store";
        case MissingCodec::WebpImageExtensions: return "install the WebP Image Extensions from the Microsoft Store";
        case MissingCodec::None: break;
    }
    return "";
}

const char* readerName(PictureReader reader) { return reader == PictureReader::Browser ? "this browser" : "this system"; }

}  // namespace

std::string pictureProblemLine(const PictureReason& reason) {
    const std::string what = aFormat(reason.format);
    switch (reason.problem) {
        case PictureProblem::None: return {};
        case PictureProblem::EmptyFile: return "an empty file";
        case PictureProblem::NotAPicture: return "not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture";
        case PictureProblem::FormatNotReadHere:
            if (reason.missing == MissingCodec::HevcVideoExtensions) {
                return what + " that Windows cannot decode here (no HEVC codec): " + installHint(reason.missing);
            }
            if (reason.missing != MissingCodec::None) {
                return what + ", which Windows cannot read here: " + installHint(reason.missing);
            }
            return withDetail(what + " of a kind " + readerName(reason.reader) + " cannot read", reason.detail);
        case PictureProblem::NotDecodedHere:
            return withDetail(what + " that " + readerName(reason.reader) + " could not decode", reason.detail);
        case PictureProblem::Damaged: return withDetail("a damaged " + std::string(pictureFormatName(reason.format)), reason.detail);
        case PictureProblem::CutShort:
            return withDetail("a truncated " + std::string(pictureFormatName(reason.format)), reason.detail);
        case PictureProblem::NoPixels: return withDetail(what, reason.detail, " ") + ": a side of 0 pixels";
        case PictureProblem::TooManyPixels:
            return withDetail(what, reason.detail, " ") + ": over " + std::to_string(reason.pixelLimit / 1'000'000) +
                   " megapixels";
        case PictureProblem::OutOfMemory: return "not enough memory to prepare the picture";
        case PictureProblem::NotPrepared: return "the picture was not prepared by the page";
    }
    return "an unusable picture";
}
