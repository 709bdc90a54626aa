// Pictures that cannot be used, in each format: damaged, truncated, of an
// unknown format, with a side of 0 pixels or over 100 megapixels. Each gets one
// line naming the picture and the reason, and no bytes.

#include <gtest/gtest.h>

#include <string_view>

#include <algorithm>
#include <string>

#include "editing/quiz_document.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_preparation.h"
#include "tests/support/progressive_jpeg.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr ImageSize Size{64, 48};

Bytes cut(Bytes bytes, std::size_t size) {
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}

Bytes changed(Bytes bytes, std::size_t at, std::initializer_list<std::uint8_t> values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

// Where a JPEG's segment with `marker` starts (its FF).
std::size_t segment(const Bytes& jpeg, std::uint8_t marker) {
    for (std::size_t at = 0; at + 1 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] == marker) return at;
    }
    return 0;
}

// Where a PNG's first chunk of `type` has its data.
std::size_t chunkData(const Bytes& png, std::string_view type) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::size_t length = std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 | std::size_t{png[at + 2]} << 8 | png[at + 3];
        if (std::equal(type.begin(), type.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 4))) return at + 8;
        at += 12 + length;
    }
    return 0;
}

const Bytes Jpeg = encodeJpeg(quadrantImage(Size, Upright), 90);
const Bytes Progressive = progressiveJpeg();
const Bytes Png = encodePng(quadrantImage(Size, Upright));
const Bytes Gif = gifFile(quadrantImage(Size, Upright));
const Bytes Bmp = bmpFile(quadrantImage(Size, Upright));
const std::size_t Frame = segment(Jpeg, 0xC0);  // then length, precision, height, width
const std::size_t Huffman = segment(Jpeg, 0xC4);
const std::size_t ImageData = chunkData(Png, "IDAT");

using enum PictureProblem;

struct RefusalCase {
    friend void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    Bytes bytes;
    PictureProblem problem;  // the reason
    const char* line;        // a part of the line
    PictureProblem elsewhere = None;  // the reason a system of other codecs may give instead, if any
};

// A TIFF is read on Windows only; a HEIC where the system has a HEIF decoder
// (Wine has none).
const RefusalCase RefusalCases[] = {
    {"text file", {'h', 'e', 'l', 'l', 'o'}, NotAPicture, "not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture"},
    {"empty file", {}, EmptyFile, "an empty file"},
    {"TIFF cut short", {'I', 'I', 42, 0, 8, 0, 0, 0}, FormatNotReadHere, "TIFF", Damaged},
    {"HEIC cut short", {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0}, Damaged, "HEIC",
     FormatNotReadHere},
    {"JPEG, only its start", cut(Jpeg, 2), Damaged, "a damaged JPEG: its header is missing or cut short"},
    {"JPEG, cut in its tables", cut(Jpeg, Huffman + 10), CutShort, "a truncated JPEG: a Huffman table is cut short"},
    {"JPEG, cut in its scan", cut(Jpeg, Jpeg.size() - 10), CutShort, "a truncated JPEG"},
    {"JPEG, without its end marker", cut(Jpeg, Jpeg.size() - 2), CutShort, "a truncated JPEG"},
    {"JPEG, a Huffman table that cannot be", changed(Jpeg, Huffman + 5, {0xFF, 0xFF, 0xFF, 0xFF}), Damaged,
     "a damaged JPEG: a Huffman table"},
    {"progressive JPEG, cut", cut(Progressive, Progressive.size() * 2 / 3), CutShort, "a truncated JPEG"},
    {"JPEG, 0 rows", changed(Jpeg, Frame + 5, {0, 0}), NoPixels, "a JPEG of 64 x 0 pixels: a side of 0 pixels"},
    {"JPEG, 65535 x 65535", changed(Jpeg, Frame + 5, {0xFF, 0xFF, 0xFF, 0xFF}), TooManyPixels, "over 200 megapixels"},
    {"JPEG, 15000 x 14000", changed(Jpeg, Frame + 5, {0x36, 0xB0, 0x3A, 0x98}), TooManyPixels,
     "a JPEG of 15000 x 14000 pixels: over 200 megapixels"},
    {"PNG, cut in its header", cut(Png, 20), Damaged, "a damaged PNG: its header is missing or cut short"},
    {"PNG, cut in its data", cut(Png, Png.size() / 2), CutShort, "a truncated PNG"},
    {"PNG, without its end", cut(Png, Png.size() - 12), CutShort, "a truncated PNG"},
    {"PNG, damaged data", changed(Png, ImageData + 2, {0xFF, 0xFF, 0xFF}), Damaged, "a damaged PNG"},
    {"PNG, bit depth 3", changed(Png, 24, {3}), Damaged, "a damaged PNG"},
    {"PNG, 0 columns", changed(Png, 16, {0, 0, 0, 0}), NoPixels, "a side of 0 pixels"},
    {"PNG, 20000 x 6000", changed(Png, 16, {0, 0, 0x4E, 0x20, 0, 0, 0x17, 0x70}), TooManyPixels, "over 100 megapixels"},
    {"GIF, cut in its header", cut(Gif, 8), Damaged, "a damaged GIF: its header is missing or cut short"},
    {"GIF, cut in its data", cut(Gif, Gif.size() / 2), CutShort, "a truncated GIF"},
    {"GIF, no picture", changed(Gif, 13 + 768, {0x3B}), CutShort, "a truncated GIF: it holds no picture"},
    {"GIF, 13-bit codes", changed(Gif, 13 + 768 + 8 + 10, {13}), Damaged, "a damaged GIF"},
    {"GIF, 0 rows", changed(Gif, 8, {0, 0}), NoPixels, "a side of 0 pixels"},
    {"GIF, 65535 x 65535", changed(Gif, 6, {0xFF, 0xFF, 0xFF, 0xFF}), TooManyPixels, "over 100 megapixels"},
    {"BMP, cut in its header", cut(Bmp, 20), Damaged, "a damaged BMP: its header is missing or cut short"},
    {"BMP, cut in its rows", cut(Bmp, Bmp.size() / 2), CutShort, "a truncated BMP"},
    // Windows' decoder calls these pixels of a kind it cannot convert.
    {"BMP, 7 bits a pixel", changed(Bmp, 28, {7}), Damaged, "BMP", FormatNotReadHere},
    {"BMP, 0 columns", changed(Bmp, 18, {0, 0, 0, 0}), NoPixels, "a side of 0 pixels"},
    {"BMP, 20000 x -6000", changed(Bmp, 18, {0x20, 0x4E, 0, 0, 0x90, 0xE8, 0xFF, 0xFF}), TooManyPixels,
     "over 100 megapixels"},
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, OneLineNamingThePictureAndNoBytes) {
    const RefusalCase& c = GetParam();
    const PreparedPicture prepared = preparePicture(c.bytes, "holiday.pic", Rgb{});
    EXPECT_FALSE(prepared.ok()) << c.name;
    EXPECT_EQ(prepared.subject, "holiday.pic");
    EXPECT_TRUE(prepared.reason.problem == c.problem || (c.elsewhere != None && prepared.reason.problem == c.elsewhere))
        << c.name << ": " << static_cast<int>(prepared.reason.problem) << ", " << prepared.error;
    EXPECT_EQ(prepared.error, pictureProblemLine(prepared.reason)) << "the line is the reason's";
    EXPECT_NE(prepared.error.find(c.line), std::string::npos) << c.name << ": " << prepared.error;
    EXPECT_EQ(prepared.error.find('\n'), std::string::npos);
    EXPECT_TRUE(prepared.bytes.empty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Pictures, Refusals, ::testing::ValuesIn(RefusalCases));

// The decoders type what they refuse, before the rules have looked at it.
TEST(DecoderRefusals, AreTypedAtTheirSite) {
    const Bytes text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(decodePicture({}, PictureFormat::Png, {}, MaxPicturePixels).problem, EmptyFile);
    EXPECT_EQ(decodePicture({}, PictureFormat::Jpeg, {}, MaxPicturePixels).problem, EmptyFile);
    EXPECT_EQ(decodePicture(text, PictureFormat::Unknown, {}, MaxPicturePixels).problem, NotAPicture);
    const struct {
        const char* name;
        const Bytes& bytes;
        PictureFormat format;
    } pictures[] = {{"JPEG", Jpeg, PictureFormat::Jpeg},
                    {"PNG", Png, PictureFormat::Png},
                    {"GIF", Gif, PictureFormat::Gif},
                    {"BMP", Bmp, PictureFormat::Bmp}};
    for (const auto& p : pictures) {
        const DecodedPicture whole = decodePicture(p.bytes, p.format, {}, MaxPicturePixels);
        EXPECT_EQ(whole.problem, None) << p.name << ": " << whole.error;
        EXPECT_EQ(whole.error, "") << p.name;
        const DecodedPicture over = decodePicture(p.bytes, p.format, {}, 64 * 48 - 1);
        EXPECT_EQ(over.problem, TooManyPixels) << p.name << ": " << over.error;
        EXPECT_FALSE(over.error.empty()) << p.name;
    }
    const DecodedPicture cutPng = decodePicture(cut(Png, Png.size() / 2), PictureFormat::Png, {}, MaxPicturePixels);
    EXPECT_TRUE(cutPng.problem == CutShort || cutPng.problem == Damaged) << cutPng.error;
    const DecodedPicture damagedPng =
        decodePicture(changed(Png, ImageData + 2, {0xFF, 0xFF, 0xFF}), PictureFormat::Png, {}, MaxPicturePixels);
    EXPECT_EQ(damagedPng.problem, Damaged) << damagedPng.error;
}

// A 0-byte file is empty wherever it is given: not « not a picture ».
TEST(DecoderRefusals, AnEmptyFileIsEmpty) {
    const PreparedPicture prepared = preparePicture(Bytes{}, "vide.jpg", Rgb{});
    EXPECT_EQ(prepared.reason.problem, EmptyFile);
    EXPECT_EQ(prepared.error, "an empty file");
}

const Bytes HugeJpeg = changed(Jpeg, Frame + 5, {0x36, 0xB0, 0x3A, 0x98});  // 210 megapixels
const Bytes CutJpeg = cut(Jpeg, Huffman + 10);
const Bytes FlatBmp = changed(Bmp, 18, {0, 0, 0, 0});

// The Atelier says each reason in French, the photo limit by its number; the
// pictures after a bad one are prepared all the same.
TEST(RefusalsInTheAtelier, SayEachReasonInFrench) {
    QuizDocument document = newDocument();
    const std::optional<PictureInput> pictures[] = {
        PictureInput{"grande.jpg", HugeJpeg},
        PictureInput{"coupee.jpg", CutJpeg},
        PictureInput{"vide.bmp", FlatBmp},
        PictureInput{"bonne.jpg", Jpeg},
    };
    const AddedQuestions added = addQuestions(document, pictures, preparePictures);
    EXPECT_EQ(added.added, 1u);
    ASSERT_EQ(document.questions.size(), 1u);
    EXPECT_NE(document.questions[0].prepared, nullptr) << "a good picture after bad ones comes with its picture";
    ASSERT_EQ(added.refused.size(), 3u);
    EXPECT_NE(added.refused[0].reason.find("200 mégapixels au plus"), std::string::npos) << added.refused[0].reason;
    EXPECT_NE(added.refused[1].reason.find("tronqué"), std::string::npos) << added.refused[1].reason;
    EXPECT_NE(added.refused[2].reason.find("aucun pixel"), std::string::npos) << added.refused[2].reason;
    for (const RefusedPicture& refused : added.refused) {
        for (const char* english : {"megapixels", "damaged", "short", "pixels:", "over"}) {
            EXPECT_EQ(refused.reason.find(english), std::string::npos) << refused.name << ": " << refused.reason;
        }
    }
}

}  // namespace
