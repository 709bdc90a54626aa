#include "pictures/png/png_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "pictures/png/inflate.h"
#include "pictures/png/png_filters.h"
#include "pictures/png/png_rows.h"

namespace {

constexpr std::array<std::uint8_t, 8> Signature{137, 80, 78, 71, 13, 10, 26, 10};

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

bool isType(const std::uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

// One chunk of the walk: its type and data, and where the next one starts.
struct Chunk {
    std::size_t start = 0;  // offset of the length field
    std::uint32_t length = 0;
    const std::uint8_t* type = nullptr;
    std::size_t data = 0;
    std::size_t next = 0;
};

// The walk ends where fewer than 12 bytes are left or a chunk would run past the end.
bool chunkAt(std::span<const std::uint8_t> bytes, std::size_t offset, Chunk& chunk) {
    if (offset > bytes.size() || bytes.size() - offset < 12) return false;
    const std::uint32_t length = bigEndian32(bytes.data() + offset);
    if (static_cast<std::uint64_t>(length) + 12 > bytes.size() - offset) return false;
    chunk = {offset, length, bytes.data() + offset + 4, offset + 8, offset + 12 + length};
    return true;
}

int samplesPerPixel(std::uint8_t colourType) {
    switch (colourType) {
        case PngTruecolour: return 3;
        case PngGreyAlpha: return 2;
        case PngTruecolourAlpha: return 4;
        default: return 1;
    }
}

bool acceptedPair(std::uint8_t colourType, std::uint8_t bitDepth) {
    switch (colourType) {
        case PngGrey: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case PngIndexed: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case PngTruecolour:
        case PngGreyAlpha:
        case PngTruecolourAlpha: return bitDepth == 8 || bitDepth == 16;
        default: return false;
    }
}

std::uint64_t rowBytes(std::uint64_t width, const PngDecoder& d) {
    return (width * d.bitDepth * static_cast<std::uint64_t>(samplesPerPixel(d.colourType)) + 7) / 8;
}

// Adam7: where each pass starts and how far apart its pixels are.
struct Pass {
    std::uint32_t x0, y0, dx, dy;
};
constexpr std::array<Pass, 7> Adam7{{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                     {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};

struct PassSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

PassSize passSize(const Pass& pass, std::uint32_t width, std::uint32_t height) {
    if (width <= pass.x0 || height <= pass.y0) return {};
    return {(width - pass.x0 + pass.dx - 1) / pass.dx, (height - pass.y0 + pass.dy - 1) / pass.dy};
}

std::uint64_t computeDecodedSize(const PngDecoder& d) {
    if (d.interlaceMethod == 0) return (rowBytes(d.width, d) + 1) * d.height;
    std::uint64_t total = 0;
    for (const Pass& pass : Adam7) {
        const PassSize size = passSize(pass, d.width, d.height);
        if (size.width != 0) total += (rowBytes(size.width, d) + 1) * size.height;
    }
    return total;
}

std::uint16_t bitmapBits(const PngDecoder& d) {
    switch (d.colourType) {
        case PngTruecolour: return 24;
        case PngTruecolourAlpha: return 32;
        case PngGreyAlpha: return 8;
        default: return d.bitDepth == 16 ? 8 : d.bitDepth == 2 ? 4 : d.bitDepth;
    }
}

std::uint64_t bitmapStride(const PngDecoder& d) {
    return (static_cast<std::uint64_t>(d.width) * bitmapBits(d) + 31) / 32 * 4;
}

PngResult readHeader(PngDecoder& d, const Chunk& ihdr) {
    if (!isType(ihdr.type, "IHDR") || ihdr.length < 13) return PngResult::NoHeader;
    const std::uint8_t* h = d.source.data() + ihdr.data;
    d.header = ihdr.data;
    d.width = bigEndian32(h);
    d.height = bigEndian32(h + 4);
    d.bitDepth = h[8];
    d.colourType = h[9];
    d.interlaceMethod = h[12];
    if (d.width == 0 || d.height == 0) return PngResult::ZeroSize;
    if (!acceptedPair(d.colourType, d.bitDepth) || h[10] != 0 || h[11] != 0 || d.interlaceMethod > 1) {
        return PngResult::UnsupportedFormat;
    }
    return PngResult::Ok;
}

PngResult walkChunks(PngDecoder& d, std::size_t offset) {
    Chunk chunk;
    while (chunkAt(d.source, offset, chunk)) {
        if (isType(chunk.type, "PLTE")) {
            if (d.palette == 0) {
                d.palette = chunk.data;
                d.paletteEntryCount = chunk.length / 3;
            }
        } else if (isType(chunk.type, "IDAT")) {
            if (d.firstImageData == 0) d.firstImageData = chunk.start;
        } else if (!isType(chunk.type, "IEND") && (chunk.type[0] & 0x20) == 0) {
            return PngResult::UnknownCriticalChunk;
        }
        offset = chunk.next;
    }
    return PngResult::Ok;
}

PngResult openChecked(PngDecoder& d, std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 16 || !std::equal(Signature.begin(), Signature.end(), bytes.begin())) return PngResult::NotPng;
    d.source = bytes;
    Chunk ihdr;
    if (!chunkAt(bytes, Signature.size(), ihdr)) return PngResult::NoHeader;
    if (const PngResult r = readHeader(d, ihdr); r != PngResult::Ok) return r;
    if (const PngResult r = walkChunks(d, ihdr.next); r != PngResult::Ok) return r;
    if (d.colourType == PngIndexed && d.palette == 0) return PngResult::MissingPalette;
    const std::uint64_t decoded = computeDecodedSize(d);
    if (decoded > MaxPngBufferBytes || bitmapStride(d) * d.height > MaxPngBufferBytes) return PngResult::TooLarge;
    d.decodedSize = static_cast<std::uint32_t>(decoded);
    return PngResult::Ok;
}

PngResult fromInflate(InflateResult r) {
    switch (r) {
        case InflateResult::Ok: return PngResult::Ok;
        case InflateResult::BadZlibHeader: return PngResult::BadZlibHeader;
        case InflateResult::BadBlockType: return PngResult::BadBlockType;
        case InflateResult::BadStoredLength: return PngResult::BadStoredLength;
        case InflateResult::BadHuffmanCode: return PngResult::BadHuffmanCode;
        case InflateResult::BadDistance: return PngResult::BadDistance;
        case InflateResult::Truncated: return PngResult::TruncatedData;
        case InflateResult::ShortOutput: return PngResult::ShortData;
    }
    return PngResult::BadHuffmanCode;
}

// The zlib stream: the first run of consecutive IDAT chunks. One chunk is
// read in place; several are joined into `joined`.
PngResult gatherImageData(const PngDecoder& d, std::unique_ptr<std::uint8_t[]>& joined,
                          std::span<const std::uint8_t>& stream) {
    if (d.firstImageData == 0) return PngResult::NoImageData;
    std::size_t total = 0;
    int count = 0;
    Chunk chunk;
    for (std::size_t offset = d.firstImageData; chunkAt(d.source, offset, chunk) && isType(chunk.type, "IDAT");
         offset = chunk.next) {
        total += chunk.length;
        ++count;
    }
    if (count == 1) {
        chunkAt(d.source, d.firstImageData, chunk);
        stream = d.source.subspan(chunk.data, chunk.length);
        return PngResult::Ok;
    }
    joined.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(total, 1)]);
    if (!joined) return PngResult::OutOfMemory;
    std::size_t filled = 0;
    for (std::size_t offset = d.firstImageData; chunkAt(d.source, offset, chunk) && isType(chunk.type, "IDAT");
         offset = chunk.next) {
        std::memcpy(joined.get() + filled, d.source.data() + chunk.data, chunk.length);
        filled += chunk.length;
    }
    stream = {joined.get(), total};
    return PngResult::Ok;
}

// Grey and indexed images of 1, 4 and 8 bits keep their rows as they are.
bool copiedUnchanged(const PngDecoder& d) {
    return (d.colourType == PngGrey || d.colourType == PngIndexed) && d.bitDepth != 2 && d.bitDepth != 16;
}

std::size_t bytesPerPixel(const PngDecoder& d) {
    return std::max<std::size_t>(1, d.bitDepth * static_cast<std::size_t>(samplesPerPixel(d.colourType)) / 8);
}

// Two unfiltered rows (the one above and this one), a converted row and
// room for the conversions.
struct RowBuffers {
    std::uint8_t* previous;
    std::uint8_t* current;
    std::uint8_t* converted;
    std::uint8_t* scratch;
};

PngResult writeRows(const PngDecoder& d, std::uint8_t* bitmap, RowBuffers row) {
    const std::size_t stride = static_cast<std::size_t>(bitmapStride(d));
    const auto widest = static_cast<std::size_t>(rowBytes(d.width, d));
    const std::size_t used = (static_cast<std::size_t>(d.width) * bitmapBits(d) + 7) / 8;
    const std::size_t bpp = bytesPerPixel(d);
    std::memset(row.previous, 0, widest);
    // Rows the bitmap stores as they are unfilter straight into it.
    const bool direct = copiedUnchanged(d);
    const std::uint8_t* filtered = d.decodedData.get();
    const std::uint8_t* above = row.previous;
    for (std::uint32_t y = 0; y < d.height; ++y) {
        const std::uint8_t type = *filtered++;
        std::uint8_t* target = bitmap + y * stride;
        std::uint8_t* unfiltered = direct ? target : row.current;
        if (!unfilterRow(type, filtered, unfiltered, above, widest, bpp)) return PngResult::BadFilter;
        filtered += widest;
        if (!direct) {
            convertRow({d.colourType, d.bitDepth}, row.current, target, row.scratch, d.width);
            std::swap(row.previous, row.current);
        }
        above = unfiltered;
        std::memset(target + used, 0, stride - used);
    }
    return PngResult::Ok;
}

PngResult writePasses(const PngDecoder& d, std::uint8_t* bitmap, RowBuffers row) {
    const std::size_t stride = static_cast<std::size_t>(bitmapStride(d));
    const std::size_t bpp = bytesPerPixel(d);
    const std::uint16_t bits = bitmapBits(d);
    std::memset(bitmap, 0, stride * d.height);
    const std::uint8_t* filtered = d.decodedData.get();
    for (const Pass& pass : Adam7) {
        const PassSize size = passSize(pass, d.width, d.height);
        if (size.width == 0) continue;
        const auto length = static_cast<std::size_t>(rowBytes(size.width, d));
        std::memset(row.previous, 0, length);
        for (std::uint32_t j = 0; j < size.height; ++j) {
            const std::uint8_t type = *filtered++;
            if (!unfilterRow(type, filtered, row.current, row.previous, length, bpp)) return PngResult::BadFilter;
            filtered += length;
            convertRow({d.colourType, d.bitDepth}, row.current, row.converted, row.scratch, size.width);
            std::uint8_t* target = bitmap + (pass.y0 + j * pass.dy) * stride;
            placePassRow(bits, row.converted, size.width, target, {pass.x0, pass.dx});
            std::swap(row.previous, row.current);
        }
    }
    return PngResult::Ok;
}

}  // namespace

const char* pngResultName(PngResult result) {
    switch (result) {
        case PngResult::Ok: return "Ok";
        case PngResult::WrongStage: return "WrongStage";
        case PngResult::NotPng: return "NotPng";
        case PngResult::NoHeader: return "NoHeader";
        case PngResult::ZeroSize: return "ZeroSize";
        case PngResult::UnknownCriticalChunk: return "UnknownCriticalChunk";
        case PngResult::UnsupportedFormat: return "UnsupportedFormat";
        case PngResult::MissingPalette: return "MissingPalette";
        case PngResult::TooLarge: return "TooLarge";
        case PngResult::NoImageData: return "NoImageData";
        case PngResult::BadZlibHeader: return "BadZlibHeader";
        case PngResult::BadBlockType: return "BadBlockType";
        case PngResult::BadStoredLength: return "BadStoredLength";
        case PngResult::BadHuffmanCode: return "BadHuffmanCode";
        case PngResult::BadDistance: return "BadDistance";
        case PngResult::TruncatedData: return "TruncatedData";
        case PngResult::ShortData: return "ShortData";
        case PngResult::OutOfMemory: return "OutOfMemory";
        case PngResult::BadFilter: return "BadFilter";
        case PngResult::BadBitmapBuffer: return "BadBitmapBuffer";
    }
    return "?";
}

PngResult openPng(PngDecoder& decoder, std::span<const std::uint8_t> bytes) {
    if (decoder.stage != PngStage::Empty) return PngResult::WrongStage;
    PngDecoder opened;
    const PngResult result = openChecked(opened, bytes);
    if (result != PngResult::Ok) return result;  // the decoder stays empty
    opened.stage = PngStage::Opened;
    decoder = std::move(opened);
    return PngResult::Ok;
}

PngResult decodePng(PngDecoder& decoder) {
    if (decoder.stage != PngStage::Opened) return PngResult::WrongStage;
    std::unique_ptr<std::uint8_t[]> joined;
    std::span<const std::uint8_t> stream;
    if (const PngResult r = gatherImageData(decoder, joined, stream); r != PngResult::Ok) return r;
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[decoder.decodedSize]);
    if (!data) return PngResult::OutOfMemory;
    const PngResult result = fromInflate(inflateZlibStream(stream, {data.get(), decoder.decodedSize}));
    if (result != PngResult::Ok) return result;
    decoder.decodedData = std::move(data);
    decoder.stage = PngStage::Decoded;
    return PngResult::Ok;
}

void releasePng(PngDecoder& decoder) { decoder = PngDecoder{}; }

PngBitmapLayout pngBitmapLayout(const PngDecoder& d) {
    PngBitmapLayout layout;
    if (d.stage == PngStage::Empty) return layout;
    layout.width = d.width;
    layout.height = d.height;
    layout.bitsPerPixel = bitmapBits(d);
    layout.stride = static_cast<std::uint32_t>(bitmapStride(d));
    if (d.colourType == PngGrey || d.colourType == PngGreyAlpha) {
        const std::uint32_t entries = 1u << (layout.bitsPerPixel == 4 && d.bitDepth == 2 ? 2 : layout.bitsPerPixel);
        layout.usedColours = entries;
        for (std::uint32_t i = 0; i < entries; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
            layout.colourTable.push_back({grey, grey, grey, 0});
        }
    } else if (d.colourType == PngIndexed) {
        const std::uint32_t entries = 1u << layout.bitsPerPixel;
        layout.colourTable.assign(entries, {0, 0, 0, 0});
        // PLTE entries past what the bit depth can index are not used.
        const std::uint32_t known = std::min({entries, 1u << d.bitDepth, d.paletteEntryCount});
        const std::uint8_t* plte = d.source.data() + d.palette;
        for (std::uint32_t i = 0; i < known; ++i) {
            layout.colourTable[i] = {plte[3 * i + 2], plte[3 * i + 1], plte[3 * i], 0};
        }
    }
    return layout;
}

PngResult writePngBitmap(const PngDecoder& d, std::span<std::uint8_t> rows) {
    if (d.stage != PngStage::Decoded) return PngResult::WrongStage;
    if (rows.size() < bitmapStride(d) * d.height) return PngResult::BadBitmapBuffer;
    const auto widest = static_cast<std::size_t>(rowBytes(d.width, d));
    const std::size_t scratch = std::max(conversionScratchBytes(d.width), static_cast<std::size_t>(bitmapStride(d)));
    std::unique_ptr<std::uint8_t[]> buffers(new (std::nothrow) std::uint8_t[2 * widest + 2 * scratch]);
    if (!buffers) return PngResult::OutOfMemory;
    const RowBuffers row{buffers.get(), buffers.get() + widest, buffers.get() + 2 * widest,
                         buffers.get() + 2 * widest + scratch};
    return d.interlaceMethod == 0 ? writeRows(d, rows.data(), row) : writePasses(d, rows.data(), row);
}

PngResult inflateZlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out, BitBufferWidth width) {
    return fromInflate(inflateZlibStream(stream, out, width));
}
