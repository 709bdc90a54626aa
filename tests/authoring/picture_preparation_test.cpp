// The picture-preparing step on pictures made here in every format and
// orientation: the right way up, fitted, flattened, stored as the player reads
// it best, kept byte for byte when already so, and the same bytes on every
// system: the digests below are checked natively and under Wine alike.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/picture_preparation.h"
#include "tests/support/progressive_jpeg.h"
#include "tests/support/sha256.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr Rgb Background{53, 130, 163};
constexpr ImageSize Small{64, 48};

Bytes jpegOf(const Image& image) { return encodeJpeg(image, 95); }
Bytes pngOf(const Image& image) { return encodePng(image); }

Image decoded(const Bytes& file) {
    const DecodedImage result = decodeImage(file);
    EXPECT_EQ(result.error, "");
    return copyOf(result.view());
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

std::string text(const Rgba& c) {
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}

void expectQuadrants(const Image& image, const Quadrants& wanted, int tolerance, const std::string& what) {
    for (std::size_t q = 0; q < 4; ++q) {
        const Rgba seen = quadrantCentre(image, q);
        EXPECT_TRUE(near(seen, wanted[q], tolerance))
            << what << ": quadrant " << q << " is " << text(seen) << ", not " << text(wanted[q]);
    }
}

PreparedPicture prepare(const Bytes& bytes) { return preparePicture(bytes, "picture", Background); }

Rgba flattened(Rgba colour, std::uint8_t alpha) {
    const auto mix = [&](int c, int b) {
        return static_cast<std::uint8_t>((c * alpha + b * (255 - alpha) + 127) / 255);
    };
    return {mix(colour.red, Background.red), mix(colour.green, Background.green), mix(colour.blue, Background.blue)};
}

Quadrants translucent() {
    Quadrants q = Upright;
    q[1].alpha = 0;
    q[3].alpha = 128;
    return q;
}

// What the prepared picture must show: the quadrants once flattened.
Quadrants shownOf(const Quadrants& q) {
    return {flattened(q[0], q[0].alpha), flattened(q[1], q[1].alpha), flattened(q[2], q[2].alpha),
            flattened(q[3], q[3].alpha)};
}

Quadrants clearTopRight() {
    Quadrants q = Upright;
    q[1].alpha = 0;
    return q;
}

struct FormatCase {
    friend void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    std::function<Bytes()> make;
    PictureKind kind;
    ImageSize size;
    std::optional<Quadrants> shown;  // what the quadrants must show, when the picture has them
    int tolerance;
    const char* digest;
};

const FormatCase FormatCases[] = {
    {"progressive JPEG", progressiveJpeg, PictureKind::Jpeg, Small, Upright, 24,
     "6655f35128d422320dce57c090dc5b04fd25c9c1817c69ff9f792e27ee971d2b"},
    {"transparent PNG", [] { return pngOf(quadrantImage(Small, translucent(), 4)); }, PictureKind::Png, Small,
     shownOf(translucent()), 0, "350679df7133833206bf75393c10c2f9bde2c91ed3c5784506f476400e304c32"},
    {"GIF", [] { return gifFile(quadrantImage(Small, clearTopRight(), 4)); }, PictureKind::Png, Small,
     shownOf(clearTopRight()), 0, "dedf4d3547437ac26128cb855246cb60059d17108f79931a4f6b4cddacc22bd4"},
    {"BMP, 24 bits", [] { return bmpFile(quadrantImage(Small, Upright)); }, PictureKind::Png, Small, Upright, 0,
     "6068194d8d5f83f0985f7d707aaa37f46c7944a64ef712fc2e1f1f94c88e4035"},
    {"BMP, 32 bits with alpha", [] { return bmpFile(quadrantImage(Small, translucent(), 4)); }, PictureKind::Png,
     Small, shownOf(translucent()), 0, "350679df7133833206bf75393c10c2f9bde2c91ed3c5784506f476400e304c32"},
    {"large JPEG, fitted", [] { return jpegOf(quadrantImage({1300, 975}, Upright)); }, PictureKind::Jpeg, {640, 480},
     Upright, 24, "a96920417d2bd2ac2d2ae0c5fb55304cce37ccad50b8e1b8af6acd8bcaed3830"},
    {"tall PNG, fitted", [] { return pngOf(quadrantImage({300, 900}, Upright)); }, PictureKind::Png, {160, 480},
     Upright, 0, "cc5fabbab07bb5a9dd8ca50cfe1a47721b893104fd21d5a5d89738647dc4cdc6"},
    {"panorama, reduced by blocks first", [] { return pngOf(textureImage({2600, 400}, 1)); }, PictureKind::Jpeg,
     {640, 98}, std::nullopt, 0, "4c1341f96335d5b7bb0586d8bf3d798f6b6f2542d470c7225547ae67f7cf2f3a"},
    {"photo as PNG, stored as JPEG", [] { return pngOf(textureImage({800, 600}, 2)); }, PictureKind::Jpeg,
     {640, 480}, std::nullopt, 0, "58557d2d46cf9214babd5192c8edfafbf64967e1308017f1fb13fd5ec58e66e6"},
    {"small transparent PNG, not enlarged", [] { return pngOf(quadrantImage({100, 50}, translucent(), 4)); },
     PictureKind::Png, {100, 50}, shownOf(translucent()), 0,
     "3fb0477b5b9c8a5d38ffa81dbcd4e407d6cfe2c1343928304938b2104add7323"},
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, PreparedTheRightWayUpAndTheSameEverywhere) {
    const FormatCase& c = GetParam();
    const PreparedPicture prepared = prepare(c.make());
    ASSERT_TRUE(prepared.ok()) << prepared.error;
    EXPECT_EQ(prepared.kind, c.kind);
    const Image shown = decoded(prepared.bytes);
    EXPECT_EQ(shown.size, c.size);
    if (prepared.kind == PictureKind::Jpeg) {
        EXPECT_EQ(readJpegHeader(prepared.bytes).frameMarker, BaselineFrameMarker);
    }
    if (c.shown) expectQuadrants(shown, *c.shown, c.tolerance, c.name);
    EXPECT_EQ(sha256Hex(prepared.bytes), c.digest) << c.name << ": the prepared bytes differ from those recorded";
}

INSTANTIATE_TEST_SUITE_P(Pictures, Formats, ::testing::ValuesIn(FormatCases));

// Each orientation: the stored quadrants, and whether the stored picture is
// the shown one turned a quarter (then stored 48 x 64).
struct OrientationCase {
    friend void PrintTo(const OrientationCase& c, std::ostream* out) { *out << "orientation " << c.orientation; }
    int orientation;
    Quadrants stored;
    bool bigEndian;
    const char* digest;
};

const OrientationCase OrientationCases[] = {
    {1, {Red, Green, Blue, Yellow}, false, "b70d24a5f821867024d392a9af6045636c22149307599cf14ee7451ff880950e"},
    {2, {Green, Red, Yellow, Blue}, true, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {3, {Yellow, Blue, Green, Red}, false, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {4, {Blue, Yellow, Red, Green}, true, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {5, {Red, Blue, Green, Yellow}, false, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {6, {Green, Yellow, Red, Blue}, true, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {7, {Yellow, Green, Blue, Red}, false, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
    {8, {Blue, Red, Yellow, Green}, true, "2f1b85723ca2a3fec15683ba7268a4dba869d3b332e3e2df63474f078346b64c"},
};

class Orientations : public ::testing::TestWithParam<OrientationCase> {};

TEST_P(Orientations, ThePictureLandsTheRightWayUp) {
    const OrientationCase& c = GetParam();
    const ImageSize stored = c.orientation >= 5 ? ImageSize{Small.height, Small.width} : Small;
    const Bytes file = withExifOrientation(jpegOf(quadrantImage(stored, c.stored)), c.orientation, c.bigEndian);
    const PreparedPicture prepared = prepare(file);
    ASSERT_TRUE(prepared.ok()) << prepared.error;
    EXPECT_EQ(prepared.kind, PictureKind::Jpeg);
    EXPECT_EQ(readJpegHeader(prepared.bytes).orientation, 1) << "no orientation left to apply twice";
    if (c.orientation == 1) {
        EXPECT_EQ(prepared.bytes, file) << "nothing to turn: kept";
    }
    const Image shown = decoded(prepared.bytes);
    EXPECT_EQ(shown.size, Small);
    expectQuadrants(shown, Upright, 24, "orientation " + std::to_string(c.orientation));
    EXPECT_EQ(sha256Hex(prepared.bytes), c.digest) << "orientation " << c.orientation;
}

INSTANTIATE_TEST_SUITE_P(Exif, Orientations, ::testing::ValuesIn(OrientationCases));

TEST(KeptBytes, PicturesAlreadyInTheirStoredFormAreKeptByteForByte) {
    const struct {
        const char* name;
        Bytes file;
    } kept[] = {
        {"baseline JPEG", jpegOf(quadrantImage({640, 480}, Upright))},
        {"opaque PNG", pngOf(quadrantImage({640, 402}, Upright))},
        {"PNG whose alpha is all opaque", pngOf(quadrantImage(Small, Upright, 4))},
        {"grey PNG", pngOf(Image{{8, 8}, 1, Bytes(64, 77)})},
    };
    for (const auto& k : kept) {
        const PreparedPicture prepared = prepare(k.file);
        ASSERT_TRUE(prepared.ok()) << k.name << ": " << prepared.error;
        EXPECT_EQ(prepared.bytes, k.file) << k.name;
    }
}

TEST(KeptBytes, APreparedPictureIsPreparedToItself) {
    for (const FormatCase& c : FormatCases) {
        const PreparedPicture once = prepare(c.make());
        ASSERT_TRUE(once.ok()) << c.name;
        EXPECT_EQ(prepare(once.bytes).bytes, once.bytes) << c.name;
    }
}

TEST(KeptBytes, ABaselineJpegJustOverTheFrameIsReduced) {
    const PreparedPicture prepared = prepare(jpegOf(quadrantImage({641, 480}, Upright)));
    ASSERT_TRUE(prepared.ok());
    EXPECT_EQ(decoded(prepared.bytes).size, (ImageSize{640, 479}));
}

TEST(FittedSize, WithinTheFrameProportionsKeptNeverEnlarged) {
    const struct {
        ImageSize given, stored;
    } cases[] = {
        {{4000, 3000}, {640, 480}}, {{3000, 4000}, {360, 480}}, {{640, 480}, {640, 480}}, {{100, 50}, {100, 50}},
        {{1920, 1080}, {640, 360}}, {{100000, 10}, {640, 1}},   {{641, 1}, {640, 1}},     {{1, 481}, {1, 480}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(preparedSize(c.given), c.stored) << c.given.width << " x " << c.given.height;
    }
}

}  // namespace
