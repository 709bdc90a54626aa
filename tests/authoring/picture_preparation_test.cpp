// The picture-preparing step on pictures in every format and orientation:
// the right way up, fitted, flattened, stored as the player reads it best, and
// kept byte for byte when already so. The system's codecs may give slightly
// different samples (Linux and, under Wine, Windows run these alike), so the
// pictures are compared with what they must show, within a tolerance.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "picture_preparation/image_orientation.h"
#include "picture_preparation/jpeg_header.h"
#include "picture_preparation/metadata_orientation.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_preparation.h"
#include "tests/support/png_suite_files.h"
#include "tests/support/progressive_jpeg.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr Rgb Background{53, 130, 163};
constexpr ImageSize Small{64, 48};

Bytes jpegOf(const Image& image) { return encodeJpeg(image, 95); }
Bytes pngOf(const Image& image) { return encodePng(image); }

Image decoded(const Bytes& file) {
    DecodedPicture result = decodePicture(file, pictureFormat(file), {}, MaxPicturePixels);
    EXPECT_EQ(result.error, "");
    return std::move(result.image);
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

std::string text(const Rgba& c) {
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}

// The mean of each channel over each cell of a `cells` x `cells` grid: what a
// picture shows, whatever the size it is shown at and the filter that made it.
std::vector<double> gridMeans(const Image& image, std::uint32_t cells) {
    std::vector<double> sums(cells * cells * 3, 0.0);
    std::vector<double> counts(cells * cells, 0.0);
    for (std::uint32_t y = 0; y < image.size.height; ++y) {
        for (std::uint32_t x = 0; x < image.size.width; ++x) {
            const std::uint32_t cell = y * cells / image.size.height * cells + x * cells / image.size.width;
            const std::uint8_t* p = &image.samples[(std::size_t{y} * image.size.width + x) * image.channels];
            for (std::uint32_t c = 0; c < 3; ++c) sums[cell * 3 + c] += p[image.channels >= 3 ? c : 0];
            counts[cell] += 1;
        }
    }
    for (std::size_t i = 0; i < sums.size(); ++i) sums[i] /= counts[i / 3];
    return sums;
}

void expectLooksLike(const Image& shown, const Image& source, double tolerance, const std::string& what) {
    const std::vector<double> a = gridMeans(shown, 8);
    const std::vector<double> b = gridMeans(source, 8);
    double worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
    EXPECT_LE(worst, tolerance) << what << ": a part of the picture is off by " << worst;
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

Bytes testPicture(const char* name) { return readBinaryFile(std::string(ZORBEL_TEST_DATA "/pictures/") + name); }

struct FormatCase {
    friend void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    std::function<Bytes()> make;
    PictureKind kind;
    ImageSize size;
    std::optional<Quadrants> shown;       // what the quadrants must show, when the picture has them
    int tolerance;
    std::function<Image()> looksLike{};  // otherwise, what the whole picture must look like
};

const Image Panorama = textureImage({2600, 400}, 1);
const Image Photo = textureImage({800, 600}, 2);

const FormatCase FormatCases[] = {
    {"progressive JPEG", progressiveJpeg, PictureKind::Jpeg, Small, Upright, 24},
    {"CMYK JPEG, inks inverted", [] { return testPicture("cmyk.jpg"); }, PictureKind::Jpeg, Small, Upright, 24},
    {"transparent PNG", [] { return pngOf(quadrantImage(Small, translucent(), 4)); }, PictureKind::Png, Small,
     shownOf(translucent()), 1},
    {"GIF", [] { return gifFile(quadrantImage(Small, clearTopRight(), 4)); }, PictureKind::Png, Small,
     shownOf(clearTopRight()), 1},
    {"BMP, 24 bits", [] { return bmpFile(quadrantImage(Small, Upright)); }, PictureKind::Png, Small, Upright, 0},
    {"BMP, 32 bits with an alpha mask", [] { return bmpFile(quadrantImage(Small, translucent(), 4)); },
     PictureKind::Png, Small, shownOf(translucent()), 1},
    {"large JPEG, decoded reduced and fitted", [] { return jpegOf(quadrantImage({1300, 975}, Upright)); },
     PictureKind::Jpeg, {640, 480}, Upright, 24},
    {"tall PNG, fitted", [] { return pngOf(quadrantImage({300, 900}, Upright)); }, PictureKind::Png, {160, 480},
     Upright, 1},
    {"panorama, reduced by blocks first", [] { return pngOf(Panorama); }, PictureKind::Jpeg, {640, 98},
     std::nullopt, 0, [] { return Panorama; }},
    {"photo as PNG, stored as JPEG", [] { return pngOf(Photo); }, PictureKind::Jpeg, {640, 480}, std::nullopt, 0,
     [] { return Photo; }},
    {"small transparent PNG, not enlarged", [] { return pngOf(quadrantImage({100, 50}, translucent(), 4)); },
     PictureKind::Png, {100, 50}, shownOf(translucent()), 1},
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, PreparedTheRightWayUp) {
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
    if (c.looksLike) expectLooksLike(shown, c.looksLike(), 4.0, c.name);
}

INSTANTIATE_TEST_SUITE_P(Pictures, Formats, ::testing::ValuesIn(FormatCases));

// Each orientation: the stored quadrants, and whether the stored picture is
// the shown one turned a quarter (then stored 48 x 64).
struct OrientationCase {
    friend void PrintTo(const OrientationCase& c, std::ostream* out) { *out << "orientation " << c.orientation; }
    int orientation;
    Quadrants stored;
    bool bigEndian;
};

const OrientationCase OrientationCases[] = {
    {1, {Red, Green, Blue, Yellow}, false},
    {2, {Green, Red, Yellow, Blue}, true},
    {3, {Yellow, Blue, Green, Red}, false},
    {4, {Blue, Yellow, Red, Green}, true},
    {5, {Red, Blue, Green, Yellow}, false},
    {6, {Green, Yellow, Red, Blue}, true},
    {7, {Yellow, Green, Blue, Red}, false},
    {8, {Blue, Red, Yellow, Green}, true},
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
}

// A TIFF's orientation is metadata its Windows decoder leaves to us; the
// other systems read no TIFF.
TEST_P(Orientations, ATiffLandsTheRightWayUpWhereItIsRead) {
    const OrientationCase& c = GetParam();
    const ImageSize stored = c.orientation >= 5 ? ImageSize{Small.height, Small.width} : Small;
    const PreparedPicture prepared = prepare(tiffFile(quadrantImage(stored, c.stored), c.orientation));
    if (!prepared.ok() && std::string_view(pictureCodecsName()) != "Windows Imaging Component") GTEST_SKIP();
    ASSERT_TRUE(prepared.ok()) << prepared.error;
    const Image shown = decoded(prepared.bytes);
    EXPECT_EQ(shown.size, Small);
    expectQuadrants(shown, Upright, 1, "TIFF, orientation " + std::to_string(c.orientation));
}

INSTANTIATE_TEST_SUITE_P(Exif, Orientations, ::testing::ValuesIn(OrientationCases));

TEST(PictureFormats, ToldByTheirFirstBytes) {
    const std::pair<std::string_view, PictureFormat> cases[] = {
        {"\xFF\xD8\xFF\xE0", PictureFormat::Jpeg},
        {"\x89PNG\r\n\x1A\n", PictureFormat::Png},
        {"GIF89a", PictureFormat::Gif},
        {std::string_view("II*\0", 4), PictureFormat::Tiff},
        {std::string_view("RIFF\x10\0\0\0WEBPVP8 ", 16), PictureFormat::Webp},
        {std::string_view("\0\0\0\x18" "ftypheic\0\0\0\0", 16), PictureFormat::Heif},
        {std::string_view("\0\0\0\x1C" "ftypavif\0\0\0\0", 16), PictureFormat::Heif},
        {std::string_view("\0\0\0\x18" "ftypmp42\0\0\0\0", 16), PictureFormat::Unknown},  // a video
        {"Pas une image.", PictureFormat::Unknown},
    };
    for (const auto& [start, format] : cases) {
        const std::vector<std::uint8_t> bytes(start.begin(), start.end());
        EXPECT_EQ(pictureFormat(bytes), format) << start;
    }
}

TEST(Orientation, TheMetadataThatNamesItAndItsValues) {
    EXPECT_EQ(orientationQuery(PictureFormat::Heif), "/heifProps/Orientation");
    EXPECT_EQ(orientationQuery(PictureFormat::Tiff), "/ifd/{ushort=274}");
    for (const PictureFormat readByUs : {PictureFormat::Jpeg, PictureFormat::Png, PictureFormat::Gif}) {
        EXPECT_EQ(orientationQuery(readByUs), "") << pictureFormatName(readByUs);
    }
    const std::pair<std::optional<std::uint32_t>, int> values[] = {
        {std::nullopt, 1}, {0u, 1}, {1u, 1}, {6u, 6}, {8u, 8}, {9u, 1}, {65535u, 1}};
    for (const auto& [value, orientation] : values) EXPECT_EQ(orientationOfValue(value), orientation);
}

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

// A phone's HEIC photo, where the system has a HEIF decoder; elsewhere one
// line that says what is missing.
TEST(Heic, APhonePhotoIsStoredAsAJpegOrRefusedByName) {
    const PreparedPicture prepared = prepare(testPicture("quadrants.heic"));
    if (!prepared.ok()) {
        EXPECT_NE(prepared.error.find("HEIF"), std::string::npos) << prepared.error;
        EXPECT_STREQ(pictureCodecsName(), "Windows Imaging Component") << "only Windows may lack the decoder";
        return;
    }
    EXPECT_EQ(prepared.kind, PictureKind::Jpeg);
    const Image shown = decoded(prepared.bytes);
    EXPECT_EQ(shown.size, Small);
    expectQuadrants(shown, Upright, 24, "HEIC");
}

// The author's quarter turns after a picture's own orientation make one
// orientation: applying both in turn and the one give the same pixels.
TEST(Orientation, TurnsAddToAPicturesOwnOrientation) {
    const Image asymmetric{{3, 2}, 1, {1, 2, 3, 4, 5, 6}};
    constexpr int QuarterTurns[4] = {1, 6, 3, 8};  // 0 to 3 quarters clockwise
    for (int own = 1; own <= 8; ++own) {
        for (int turns = -1; turns <= 4; ++turns) {
            const Image both = orientImage(orientImage(asymmetric, own), QuarterTurns[(turns % 4 + 4) % 4]);
            const Image once = orientImage(asymmetric, turnedOrientation(own, turns));
            EXPECT_EQ(once.samples, both.samples) << "orientation " << own << ", " << turns << " turns";
            EXPECT_EQ(once.size, both.size);
        }
    }
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
