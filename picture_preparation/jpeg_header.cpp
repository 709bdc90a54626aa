#include "picture_preparation/jpeg_header.h"

#include <algorithm>
#include <cstring>

#include "picture_preparation/exif_orientation.h"

namespace {

constexpr std::uint8_t App1Marker = 0xE1;
constexpr std::uint8_t App14Marker = 0xEE;
constexpr std::uint8_t HuffmanTables = 0xC4;
constexpr std::uint8_t StartOfScan = 0xDA;
constexpr std::uint8_t EndOfImage = 0xD9;

bool isFrameHeader(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length: fill bytes, TEM, RSTn, SOI.
bool standsAlone(std::uint8_t marker) { return marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8); }

// Frame header: precision, height, width (big-endian), component count.
void readFrame(JpegHeader& header, std::uint8_t marker, std::span<const std::uint8_t> data) {
    header.frameMarker = marker;
    if (data.size() < 6) return;
    header.height = static_cast<std::uint32_t>(data[1] << 8 | data[2]);
    header.width = static_cast<std::uint32_t>(data[3] << 8 | data[4]);
    header.components = data[5];
}

// Each table: class and id, 16 counts of codes by length, then the symbols.
bool tablesFit(std::span<const std::uint8_t> data) {
    std::size_t at = 0;
    while (at < data.size()) {
        if (data.size() - at < 17) return false;
        std::size_t codes = 0;
        for (std::size_t i = 1; i <= 16; ++i) codes += data[at + i];
        if (codes > 256 || data.size() - at - 17 < codes) return false;
        at += 17 + codes;
    }
    return true;
}

// Past a scan's entropy-coded data: to the next marker that is neither a
// stuffed zero nor a restart. A photo's scan is megabytes: memchr finds each
// 0xFF a word or a vector at a time.
std::size_t afterScanData(std::span<const std::uint8_t> bytes, std::size_t at) {
    while (at + 1 < bytes.size()) {
        const void* found = std::memchr(bytes.data() + at, 0xFF, bytes.size() - 1 - at);
        if (found == nullptr) break;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes.data());
        const std::uint8_t next = bytes[at + 1];
        if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) return at;
        ++at;
    }
    return bytes.size();
}

}  // namespace

JpegWalk walkJpeg(std::span<const std::uint8_t> bytes) {
    JpegWalk walk;
    std::size_t at = 2;
    while (at + 2 <= bytes.size() && bytes[at] == 0xFF) {
        const std::uint8_t marker = bytes[at + 1];
        if (standsAlone(marker)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == EndOfImage) {
            walk.endReached = true;
            break;
        }
        if (at + 4 > bytes.size()) break;
        const std::size_t length = static_cast<std::size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
        const bool whole = length >= 2 && length <= bytes.size() - at - 2;
        if (marker == HuffmanTables && (!whole || !tablesFit(bytes.subspan(at + 4, length - 2)))) {
            walk.tablesFit = false;
            walk.tableCut = !whole;
            break;
        }
        if (!whole) break;
        at += 2 + length;
        if (marker == StartOfScan) at = afterScanData(bytes, at);
    }
    return walk;
}

bool huffmanTablesFit(std::span<const std::uint8_t> bytes) { return walkJpeg(bytes).tablesFit; }

JpegHeader readJpegHeader(std::span<const std::uint8_t> bytes) {
    // Segments: marker FF xx, then a big-endian length that counts itself.
    JpegHeader header;
    bool exifSeen = false;
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        const std::uint8_t marker = bytes[at + 1];
        if (standsAlone(marker)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == StartOfScan || marker == EndOfImage) break;
        const std::size_t length = static_cast<std::size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length < 2 || length > bytes.size() - at - 2) break;
        const auto data = bytes.subspan(at + 4, length - 2);
        if (isFrameHeader(marker) && header.frameMarker == 0) readFrame(header, marker, data);
        if (marker == App1Marker && !exifSeen && isExifBlock(data)) {
            header.orientation = exifOrientation(data);
            exifSeen = true;
        }
        if (marker == App14Marker && data.size() >= 5 && std::equal(data.begin(), data.begin() + 5, "Adobe")) {
            header.adobe = true;
        }
        at += 2 + length;
    }
    return header;
}
