// Pictures that cannot be used, in each format: damaged, truncated, of an
// unknown format, with a side of 0 pixels or over 100 megapixels. Each gets one
// line naming the picture and the reason, and no bytes.

#include <gtest/gtest.h>

#include <string_view>

#include <algorithm>
#include <string>

#include "editing/quiz_document.h"
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

struct RefusalCase {
    friend void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    Bytes bytes;
    const char* reason;  // a part of the line
};

const RefusalCase RefusalCases[] = {
    {"text file", {'h', 'e', 'l', 'l', 'o'}, "not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture"},
    {"empty file", {}, "not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture"},
    {"TIFF cut short", {'I', 'I', 42, 0, 8, 0, 0, 0}, "a damaged or unreadable TIFF"},
    {"HEIC cut short", {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0}, "a damaged or unreadable HEIC"},
    {"JPEG, only its start", cut(Jpeg, 2), "a damaged JPEG: its header is missing or cut short"},
    {"JPEG, cut in its tables", cut(Jpeg, Huffman + 10), "a damaged JPEG: a Huffman table is cut short"},
    {"JPEG, cut in its scan", cut(Jpeg, Jpeg.size() - 10), "a damaged or unreadable JPEG"},
    {"JPEG, without its end marker", cut(Jpeg, Jpeg.size() - 2), "a damaged or unreadable JPEG"},
    {"JPEG, a Huffman table that cannot be", changed(Jpeg, Huffman + 5, {0xFF, 0xFF, 0xFF, 0xFF}),
     "a damaged JPEG: a Huffman table"},
    {"progressive JPEG, cut", cut(Progressive, Progressive.size() * 2 / 3), "a damaged or unreadable JPEG"},
    {"JPEG, 0 rows", changed(Jpeg, Frame + 5, {0, 0}), "a side of 0 pixels"},
    {"JPEG, 65535 x 65535", changed(Jpeg, Frame + 5, {0xFF, 0xFF, 0xFF, 0xFF}), "over 200 megapixels"},
    {"JPEG, 15000 x 14000", changed(Jpeg, Frame + 5, {0x36, 0xB0, 0x3A, 0x98}), "over 200 megapixels"},
    {"PNG, cut in its header", cut(Png, 20), "a damaged PNG: its header is missing or cut short"},
    {"PNG, cut in its data", cut(Png, Png.size() / 2), "a truncated PNG"},
    {"PNG, without its end", cut(Png, Png.size() - 12), "a truncated PNG"},
    {"PNG, damaged data", changed(Png, ImageData + 2, {0xFF, 0xFF, 0xFF}), "a damaged or unreadable PNG"},
    {"PNG, bit depth 3", changed(Png, 24, {3}), "a damaged or unreadable PNG"},
    {"PNG, 0 columns", changed(Png, 16, {0, 0, 0, 0}), "a side of 0 pixels"},
    {"PNG, 20000 x 6000", changed(Png, 16, {0, 0, 0x4E, 0x20, 0, 0, 0x17, 0x70}), "over 100 megapixels"},
    {"GIF, cut in its header", cut(Gif, 8), "a damaged GIF: its header is missing or cut short"},
    {"GIF, cut in its data", cut(Gif, Gif.size() / 2), "a truncated GIF"},
    {"GIF, no picture", changed(Gif, 13 + 768, {0x3B}), "a truncated GIF: it holds no picture"},
    {"GIF, 13-bit codes", changed(Gif, 13 + 768 + 8 + 10, {13}), "a damaged or unreadable GIF"},
    {"GIF, 0 rows", changed(Gif, 8, {0, 0}), "a side of 0 pixels"},
    {"GIF, 65535 x 65535", changed(Gif, 6, {0xFF, 0xFF, 0xFF, 0xFF}), "over 100 megapixels"},
    {"BMP, cut in its header", cut(Bmp, 20), "a damaged BMP: its header is missing or cut short"},
    {"BMP, cut in its rows", cut(Bmp, Bmp.size() / 2), "a truncated BMP"},
    {"BMP, 7 bits a pixel", changed(Bmp, 28, {7}), "a damaged or unreadable BMP"},
    {"BMP, 0 columns", changed(Bmp, 18, {0, 0, 0, 0}), "a side of 0 pixels"},
    {"BMP, 20000 x -6000", changed(Bmp, 18, {0x20, 0x4E, 0, 0, 0x90, 0xE8, 0xFF, 0xFF}), "over 100 megapixels"},
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, OneLineNamingThePictureAndNoBytes) {
    const RefusalCase& c = GetParam();
    const PreparedPicture prepared = preparePicture(c.bytes, "holiday.pic", Rgb{});
    EXPECT_FALSE(prepared.ok()) << c.name;
    EXPECT_EQ(prepared.subject, "holiday.pic");
    EXPECT_NE(prepared.error.find(c.reason), std::string::npos) << c.name << ": " << prepared.error;
    EXPECT_EQ(prepared.error.find('\n'), std::string::npos);
    EXPECT_TRUE(prepared.bytes.empty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Pictures, Refusals, ::testing::ValuesIn(RefusalCases));

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
