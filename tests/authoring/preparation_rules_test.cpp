// The rules the browser's preparation asks apart from the codecs: what tells
// a damaged file that a lenient decoder would show, and which encoding is
// kept at the edges of its ratio. (What a picture becomes is checked through
// preparePicture, which composes the same rules.)

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_preparation/image_orientation.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/preparation_rules.h"
#include "pictures/png/png_decoder.h"
#include "tests/support/progressive_jpeg.h"
#include "tests/support/test_pictures.h"

namespace {

Bytes cut(Bytes bytes, std::size_t size) {
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

// `jpeg` carrying a whole small JPEG in an EXIF block, as cameras store a
// thumbnail: an end marker long before the picture's own.
Bytes withThumbnail(const Bytes& jpeg, const Bytes& thumbnail) {
    Bytes out{jpeg[0], jpeg[1], 0xFF, 0xE1};
    const std::size_t length = 2 + 6 + thumbnail.size();
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), {'E', 'x', 'i', 'f', 0, 0});
    out.insert(out.end(), thumbnail.begin(), thumbnail.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

const Bytes Jpeg = encodeJpeg(textureImage({160, 120}, 7), 90);
const Bytes Progressive = progressiveJpeg();
const Bytes Thumbnailed = withThumbnail(Jpeg, encodeJpeg(textureImage({16, 12}, 3), 80));

struct CutShortCase {
    const char* name;
    Bytes bytes;
    bool refused;
};

TEST(CutShortJpegs, AreToldByTheirMissingEndMarker) {
    const CutShortCase cases[] = {
        {"whole baseline", Jpeg, false},
        {"whole progressive, tables between its scans", Progressive, false},
        {"without its end marker", cut(Jpeg, Jpeg.size() - 2), true},
        {"cut in its scan", cut(Jpeg, Jpeg.size() * 3 / 4), true},
        {"progressive cut after its first scans", cut(Progressive, Progressive.size() * 2 / 3), true},
        {"cut, a thumbnail's end marker before", cut(Thumbnailed, Thumbnailed.size() - 40), true},
        {"whole, a thumbnail's end marker before", Thumbnailed, false},
    };
    for (const CutShortCase& c : cases) {
        const PictureReason reason = cutShortProblem(examinePicture(c.bytes));
        const std::string problem = pictureProblemLine(reason);
        EXPECT_EQ(!reason.ok(), c.refused) << c.name << ": " << problem;
        if (c.refused) {
            EXPECT_EQ(reason.problem, PictureProblem::CutShort) << c.name;
            EXPECT_EQ(problem.rfind("a truncated JPEG: ", 0), 0u) << problem;
        }
    }
}

// The parts named, joined, must be the very zlib stream the player inflates.
TEST(PngImageData, IsNamedPartByPartAndInflatesToThePlayersSize) {
    const Bytes png = encodePng(textureImage({300, 200}, 5));  // several IDAT chunks
    const auto check = imageDataCheck(examinePicture(png), png);
    ASSERT_TRUE(check.has_value());
    ASSERT_GT(check->parts.size(), 1u);
    Bytes stream;
    for (const FilePart& part : check->parts) {
        stream.insert(stream.end(), png.begin() + static_cast<std::ptrdiff_t>(part.offset),
                      png.begin() + static_cast<std::ptrdiff_t>(part.offset + part.size));
    }
    EXPECT_EQ(check->inflatesTo, 200u * (1 + 300 * 3));
    Bytes out(static_cast<std::size_t>(check->inflatesTo));
    EXPECT_EQ(inflateZlib(stream, out), PngResult::Ok);
    const PictureFacts facts = examinePicture(png);
    EXPECT_TRUE(imageDataProblem(facts, *check, check->inflatesTo).ok());
    const PictureReason damaged = imageDataProblem(facts, *check, check->inflatesTo - 1);
    EXPECT_EQ(damaged.problem, PictureProblem::Damaged);
    EXPECT_NE(pictureProblemLine(damaged).find("a damaged PNG"), std::string::npos) << pictureProblemLine(damaged);

    const Bytes cutPng = cut(png, png.size() / 2);
    const auto cutCheck = imageDataCheck(examinePicture(cutPng), cutPng);
    ASSERT_TRUE(cutCheck.has_value());
    EXPECT_LE(cutCheck->parts.back().offset + cutCheck->parts.back().size, cutPng.size());
    EXPECT_FALSE(imageDataCheck(examinePicture(Jpeg), Jpeg).has_value());
}

// The browser's preparation undoes a turn the browser made and applies the
// rules' own in one: every pair of orientations, on pixels.
TEST(Orientations, ComposeAndUndoAsThePixelsShow) {
    const Image picture = textureImage({5, 3}, 11);
    for (int first = 1; first <= 8; ++first) {
        const Image once = orientImage(picture, first);
        EXPECT_EQ(orientImage(once, inverseOrientation(first)).samples, picture.samples) << first;
        for (int second = 1; second <= 8; ++second) {
            EXPECT_EQ(orientImage(orientImage(picture, first), second).samples,
                      orientImage(picture, composedOrientation(first, second)).samples)
                << first << " then " << second;
        }
    }
}

TEST(Encodings, APhotoStaysAJpegAndALosslessPictureAPngUnlessThreeTimesLarger) {
    struct Case {
        PictureFormat format;
        std::size_t jpeg;
        std::size_t png;
        PictureKind kept;
    };
    const Case cases[] = {
        {PictureFormat::Jpeg, 900, 100, PictureKind::Jpeg},
        {PictureFormat::Heif, 900, 0, PictureKind::Jpeg},
        {PictureFormat::Jpeg, 0, 100, PictureKind::Unknown},
        {PictureFormat::Png, 100, 301, PictureKind::Jpeg},
        {PictureFormat::Png, 100, 300, PictureKind::Png},
        {PictureFormat::Gif, 0, 300, PictureKind::Png},
        {PictureFormat::Bmp, 100, 0, PictureKind::Jpeg},
        {PictureFormat::Webp, 0, 0, PictureKind::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chosenEncoding(c.format, c.jpeg, c.png), c.kept)
            << pictureFormatName(c.format) << " " << c.jpeg << " / " << c.png;
    }
}

}  // namespace
