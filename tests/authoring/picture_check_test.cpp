#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/picture_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// SOI, an APP0 segment, a frame header of the given marker, then scan data.
Bytes jpegWithFrame(std::uint8_t frameMarker) {
    Bytes bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x06, 'J', 'F', 'I', 'F'};
    bytes.insert(bytes.end(), {0xFF, frameMarker, 0x00, 0x0B, 8, 0, 16, 0, 16, 1, 1, 0x11, 0});
    bytes.insert(bytes.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
    return bytes;
}

TEST(PictureCheck, KindsByTheirFirstBytes) {
    EXPECT_EQ(pictureKind(Bytes{0xFF, 0xD8, 0xFF}), PictureKind::Jpeg);
    EXPECT_EQ(pictureKind(Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), PictureKind::Png);
    EXPECT_EQ(pictureKind(Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}), PictureKind::Unknown) << "cut short";
    EXPECT_EQ(pictureKind(Bytes{'G', 'I', 'F', '8'}), PictureKind::Unknown);
    EXPECT_EQ(pictureKind(Bytes{}), PictureKind::Unknown);
}

TEST(PictureCheck, OnlyBaselineJpegsPassQuietly) {
    EXPECT_EQ(jpegWarning(jpegWithFrame(0xC0)), "");
    const struct {
        std::uint8_t marker;
        const char* name;
    } others[] = {{0xC1, "extended sequential"}, {0xC2, "progressive"}, {0xC3, "lossless"}, {0xC9, "arithmetic-coded"}};
    for (const auto& other : others) {
        EXPECT_NE(jpegWarning(jpegWithFrame(other.marker)).find(other.name), std::string::npos) << other.name;
    }
    Bytes noFrame = jpegWithFrame(0xC0);
    noFrame.resize(10);
    EXPECT_NE(jpegWarning(noFrame).find("damaged"), std::string::npos);
    Bytes broken = jpegWithFrame(0xC0);
    broken[10] = 0x00;  // not a marker where the frame header should start
    EXPECT_NE(jpegWarning(broken).find("damaged"), std::string::npos);
    Bytes hugeLength = jpegWithFrame(0xC0);
    hugeLength[4] = 0xFF;  // APP0 claims to run past the end
    EXPECT_NE(jpegWarning(hugeLength).find("damaged"), std::string::npos);
}

TEST(PictureCheck, TheDemoPicturesAreBaseline) {
    std::ifstream in(ZORBEL_SOURCE_DIR "/samples/demo/pictures/soleil.jpg", std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(pictureKind(bytes), PictureKind::Jpeg);
    EXPECT_EQ(jpegWarning(bytes), "");
}

}  // namespace
