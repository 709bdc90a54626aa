#pragma once
// What a JPEG's segments before its first scan say: the kind of frame, the
// EXIF orientation, and whether Adobe wrote it (how its CMYK is stored).

#include <cstdint>
#include <span>

inline constexpr std::uint8_t BaselineFrameMarker = 0xC0;

struct JpegHeader {
    std::uint8_t frameMarker = 0;  // SOF0...SOF15; 0 when no frame header comes before the scan
    std::uint32_t width = 0;       // the frame header's, when there is one
    std::uint32_t height = 0;
    std::uint32_t components = 0;
    int orientation = 1;           // the first EXIF block's, 1 to 8
    bool adobe = false;            // an Adobe APP14 block: its CMYK samples are stored inverted
};

// Walks the segments from the start of image to the first scan; stops
// quietly where they are damaged, with what it found so far.
JpegHeader readJpegHeader(std::span<const std::uint8_t> bytes);

// False when a Huffman table segment anywhere in the file (progressive files
// have some between their scans) is cut short or announces more codes than a
// table holds (256) or than the segment carries: a guard kept from the days of
// a decoder that wrote past its tables on those. Other damage is left to the
// decoder.
bool huffmanTablesFit(std::span<const std::uint8_t> bytes);

// What walking the segments and the scans between them from the start finds:
// whether every Huffman table fits (as above), and whether the end of image
// marker is reached (a file cut short does not reach it).
struct JpegWalk {
    bool tablesFit = true;
    bool endReached = false;
    bool tableCut = false;  // a Huffman table segment runs past the end of the file
};
JpegWalk walkJpeg(std::span<const std::uint8_t> bytes);
