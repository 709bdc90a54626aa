// Our PNG decoder against libpng, libspng and stb_image on photo-like
// pictures made here and written by libpng, and our inflate against zlib and
// libdeflate on the same images' zlib streams. Every decoder's pixels are
// checked against libpng first: a fast wrong answer must not count.
// Speeds are MB/s of our bitmap's bytes (10^6 bytes of stride x height), so
// every column of a row uses the same unit; ratios are ours / theirs, above 1
// when ours is faster.

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/png_images.h"
#include "bench/png_others.h"
#include "pictures/png/png_decoder.h"
#include "pictures/png/simd_level.h"

#include <spng.h>

namespace {

std::uint32_t strideFor(std::uint32_t width, std::uint16_t bits) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4);
}

// The samples of pixel x of a bitmap row: one byte for an index or grey
// value, else B, G, R (, A).
std::vector<unsigned> bitmapPixel(std::span<const std::uint8_t> row, std::uint32_t x, std::uint16_t bits) {
    if (bits < 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned shift = static_cast<unsigned>(8 - bits - bit % 8);
        return {static_cast<unsigned>(row[bit / 8] >> shift) & ((1u << bits) - 1)};
    }
    const std::size_t bytes = bits / 8u;
    std::vector<unsigned> samples;
    for (std::size_t k = 0; k < bytes; ++k) {
        samples.push_back(row[x * bytes + k]);
    }
    return samples;
}

std::string samplesText(const std::vector<unsigned>& samples) {
    std::string text;
    for (unsigned sample : samples) {
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(sample);
    }
    return "(" + text + ")";
}

// The first pixel where a bitmap of `bits` per pixel differs from libpng's
// rows in bitmap order (one byte per index), as text; empty when none does.
std::string firstDifference(std::span<const std::uint8_t> rows, std::uint32_t stride, std::uint16_t bits,
                            const LibpngImage& reference, std::span<const std::uint8_t> referenceRows) {
    const std::uint16_t referenceBits = bits < 8 ? 8 : bits;
    for (std::uint32_t y = 0; y < reference.height; ++y) {
        const auto row = rows.subspan(static_cast<std::size_t>(y) * stride, stride);
        const auto referenceRow = referenceRows.subspan(y * reference.rowBytes, reference.rowBytes);
        for (std::uint32_t x = 0; x < reference.width; ++x) {
            const auto ours = bitmapPixel(row, x, bits);
            const auto theirs = bitmapPixel(referenceRow, x, referenceBits);
            if (ours != theirs) {
                return "first differing pixel x=" + std::to_string(x) + " y=" + std::to_string(y) + ": ours " +
                       samplesText(ours) + ", libpng " + samplesText(theirs);
            }
        }
    }
    return "";
}

std::string firstByteDifference(std::span<const std::uint8_t> ours, std::span<const std::uint8_t> theirs) {
    if (ours.size() != theirs.size()) {
        return std::to_string(ours.size()) + " bytes against " + std::to_string(theirs.size());
    }
    const auto where = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    if (where.first == ours.end()) {
        return "";
    }
    return "first differing byte " + std::to_string(where.first - ours.begin()) + ": " + std::to_string(*where.first) +
           " against " + std::to_string(*where.second);
}

// Each peer's time and ours in the same pairing.
struct InflatePair {
    double ours, theirs;
};

struct InflateRow {
    std::string name;
    std::size_t bytes;
    InflatePair zlib, libdeflate, libdeflateRaw;
};

int failures = 0;

void mismatch(const std::string& image, const std::string& what) {
    std::printf("!!!!!!!! MISMATCH %s: %s\n", image.c_str(), what.c_str());
    std::fflush(stdout);
    ++failures;
}

// Checks ours against libpng and returns its bitmap's layout; false (after
// saying why) when it refused the image or got a pixel wrong.
bool checkOurs(const std::string& name, std::span<const std::uint8_t> file, const PngFormInfo& info,
               const LibpngImage& reference, std::span<const std::uint8_t> referenceRows) {
    PngDecoder decoder;
    PngResult result = openPng(decoder, file);
    if (result == PngResult::Ok) {
        result = decodePng(decoder);
    }
    if (result != PngResult::Ok) {
        mismatch(name, std::string("ours failed: ") + pngResultName(result));
        releasePng(decoder);
        return false;
    }
    const PngBitmapLayout layout = pngBitmapLayout(decoder);
    if (layout.width != reference.width || layout.height != reference.height || layout.bitsPerPixel != info.bitmapBits ||
        layout.stride != strideFor(layout.width, info.bitmapBits)) {
        mismatch(name, "layout " + std::to_string(layout.width) + "x" + std::to_string(layout.height) + " " +
                           std::to_string(layout.bitsPerPixel) + " bits, stride " + std::to_string(layout.stride));
        releasePng(decoder);
        return false;
    }
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(layout.stride) * layout.height);
    result = writePngBitmap(decoder, rows);
    releasePng(decoder);
    if (result != PngResult::Ok) {
        mismatch(name, std::string("ours failed in writePngBitmap: ") + pngResultName(result));
        return false;
    }
    const std::string difference = firstDifference(rows, layout.stride, layout.bitsPerPixel, reference, referenceRows);
    if (!difference.empty()) {
        mismatch(name, difference);
        return false;
    }
    // Colour tables: the grey ramp, or PLTE as B, G, R, 0.
    for (std::size_t i = 0; i < (info.colourType == PngIndexed ? reference.palette.size() : 0); ++i) {
        const auto& entry = reference.palette[i];
        const std::array<std::uint8_t, 4> expected{entry[2], entry[1], entry[0], 0};
        if (i >= layout.colourTable.size() || layout.colourTable[i] != expected) {
            mismatch(name, "colour table entry " + std::to_string(i));
            return false;
        }
    }
    if (info.colourType == PngGrey) {
        const std::size_t entries = std::size_t{1} << std::min(info.bitDepth, 8);
        for (std::size_t i = 0; i < entries; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
            if (i >= layout.colourTable.size() || layout.colourTable[i] != std::array<std::uint8_t, 4>{grey, grey, grey, 0}) {
                mismatch(name, "grey ramp entry " + std::to_string(i));
                return false;
            }
        }
    }
    return true;
}

int spngFormatFor(const PngFormInfo& info) {
    // 16-bit samples cut to 8 as libpng's strip does; otherwise the file's own layout.
    return info.bitDepth == 16 ? SPNG_FMT_RGB8 : SPNG_FMT_PNG;
}

// libspng and stb_image get the same check, so that a misused library
// cannot make a number either.
bool checkOthers(const std::string& name, std::span<const std::uint8_t> file, const PngFormInfo& info,
                 const LibpngImage& reference, std::span<const std::uint8_t> referenceRows,
                 std::span<const std::uint8_t> naturalRows) {
    std::vector<std::uint8_t> pixels(naturalRows.size() * 2 + 64);
    const std::size_t spngBytes = decodeWithSpng(file, spngFormatFor(info), pixels);
    const std::string spngDifference =
        firstByteDifference(std::span(pixels).first(spngBytes), naturalRows);
    if (!spngDifference.empty()) {
        mismatch(name, "libspng against libpng: " + spngDifference);
        return false;
    }
    std::vector<std::uint8_t> stb;
    decodeWithStb(file, &stb);
    std::vector<std::uint8_t> expected;
    if (!reference.palette.empty()) {
        for (std::uint8_t index : referenceRows) {
            const auto& colour = reference.palette[index];
            expected.insert(expected.end(), colour.begin(), colour.end());
        }
    } else if (info.colourType == PngGrey && info.bitDepth < 8) {
        // stb_image scales grey samples under 8 bits to the whole byte.
        const int top = (1 << info.bitDepth) - 1;
        for (std::uint8_t sample : referenceRows) expected.push_back(static_cast<std::uint8_t>(sample * 255 / top));
    } else {
        expected.assign(naturalRows.begin(), naturalRows.end());
    }
    const std::string stbDifference = firstByteDifference(stb, expected);
    if (!stbDifference.empty()) {
        mismatch(name, "stb_image against libpng: " + stbDifference);
        return false;
    }
    return true;
}

// One bench image: the file, its zlib stream, and what libpng and zlib make
// of them, the references every decoder is checked against.
struct BenchImage {
    std::string name;
    PngFormInfo info{};
    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> stream;
    std::size_t bitmapBytes = 0;
    LibpngImage reference;  // in our bitmap's order
    std::vector<std::uint8_t> referenceRows;
    LibpngImage natural;  // in the file's own order
    std::vector<std::uint8_t> naturalRows;
    std::vector<std::uint8_t*> rowPointers;
    std::vector<std::uint8_t> inflated;  // by zlib
};

bool prepareImage(BenchImage& image, const PhotoImage& photo, PngForm form) {
    image.file = encodePhoto(photo, form);
    image.stream = imageDataStream(image.file);
    image.bitmapBytes = static_cast<std::size_t>(strideFor(photo.width, image.info.bitmapBits)) * photo.height;
    image.inflated.resize(filteredSize(photo.width, photo.height, image.info));
    return !image.file.empty() &&
           decodeWithLibpng(image.file, LibpngOutput::Bitmap, image.referenceRows, image.rowPointers, image.reference) &&
           decodeWithLibpng(image.file, LibpngOutput::Natural, image.naturalRows, image.rowPointers, image.natural) &&
           inflateWithZlib(image.stream, image.inflated);
}

bool checkOurInflate(const BenchImage& image, std::vector<std::uint8_t>& ourInflated) {
    const PngResult result = inflateZlib(image.stream, ourInflated);
    if (result != PngResult::Ok) {
        mismatch(image.name, std::string("our inflateZlib failed: ") + pngResultName(result));
        return false;
    }
    if (const std::string difference = firstByteDifference(ourInflated, image.inflated); !difference.empty()) {
        mismatch(image.name, "our inflateZlib against zlib: " + difference);
        return false;
    }
    return true;
}

void timeDecoders(BenchImage& image, bool oursRight) {
    std::vector<std::uint8_t> bitmap(image.bitmapBytes);
    std::vector<std::uint8_t> spngPixels(image.naturalRows.size());
    const int spngFormat = spngFormatFor(image.info);
    const std::vector<double> times = medianSecondsTakingTurns({
        [&] {
            if (!oursRight) return false;
            PngDecoder decoder;
            const bool ok = openPng(decoder, image.file) == PngResult::Ok && decodePng(decoder) == PngResult::Ok &&
                            writePngBitmap(decoder, bitmap) == PngResult::Ok;
            releasePng(decoder);
            return ok;
        },
        [&] {
            return decodeWithLibpng(image.file, LibpngOutput::Natural, image.naturalRows, image.rowPointers,
                                    image.natural);
        },
        [&] { return decodeWithSpng(image.file, spngFormat, spngPixels) != 0; },
        [&] { return decodeWithStb(image.file, nullptr) != 0; },
    });
    const double ours = times[0], libpng = times[1], libspng = times[2], stb = times[3];
    const std::size_t bytes = image.bitmapBytes;
    std::printf("%-22s %8.2f %7.2f %5.2f | %8s %8s %8s %8s | %7s %8s %6s\n", image.name.c_str(),
                static_cast<double>(bytes) / 1e6, static_cast<double>(image.file.size()) / 1e6,
                static_cast<double>(image.inflated.size()) / static_cast<double>(image.file.size()),
                speed(bytes, ours).c_str(), speed(bytes, libpng).c_str(), speed(bytes, libspng).c_str(),
                speed(bytes, stb).c_str(), ratio(ours, libpng).c_str(), ratio(ours, libspng).c_str(),
                ratio(ours, stb).c_str());
    std::fflush(stdout);
}

InflateRow timeInflaters(BenchImage& image, bool oursRight, std::vector<std::uint8_t>& ourInflated,
                         Libdeflate& libdeflate) {
    const auto& stream = image.stream;
    // Ours takes turns with one peer at a time. Were libdeflate's two calls
    // in one round, each would find the branch predictor trained by the
    // other on the very same stream, which no picture decoded once enjoys;
    // on a small image that is worth a third of its time.
    const auto against = [&](const std::function<bool()>& theirs) {
        const std::vector<double> times = medianSecondsTakingTurns({
            [&] { return oursRight && inflateZlib(stream, ourInflated) == PngResult::Ok; },
            theirs,
        });
        return InflatePair{times[0], times[1]};
    };
    return {image.name, image.inflated.size(), against([&] { return inflateWithZlib(stream, image.inflated); }),
            against([&] { return libdeflate.zlib(stream, image.inflated); }),
            against([&] { return libdeflate.raw(stream, image.inflated); })};
}

// The file of a bench image as `folder`/NAME.png (spaces made underscores),
// listed in `folder`/images.txt, for the 32-bit benchmark to read.
bool saveImage(const std::string& folder, const std::string& name, std::span<const std::uint8_t> file) {
    std::string fileName = name + ".png";
    std::replace(fileName.begin(), fileName.end(), ' ', '_');
    std::ofstream out(folder + "/" + fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    std::ofstream list(folder + "/images.txt", std::ios::app);
    list << fileName << "\n";
    return out.good() && list.good();
}

// Checks every decoder on one image, then times them; its inflate row, or
// none when the image could not be made.
std::optional<InflateRow> benchImage(const std::string& name, const PhotoImage& photo, PngForm form,
                                     Libdeflate& libdeflate, const std::string& saveFolder) {
    BenchImage image;
    image.name = name;
    image.info = pngFormInfo(form);
    if (!prepareImage(image, photo, form)) {
        mismatch(name, "could not make or read back the test image");
        return std::nullopt;
    }
    if (!saveFolder.empty() && !saveImage(saveFolder, name, image.file)) mismatch(name, "could not save the file");
    checkOthers(name, image.file, image.info, image.reference, image.referenceRows, image.naturalRows);
    const bool oursRight = checkOurs(name, image.file, image.info, image.reference, image.referenceRows);
    std::vector<std::uint8_t> ourInflated(image.inflated.size());
    const bool ourInflateRight = checkOurInflate(image, ourInflated);
    timeDecoders(image, oursRight);
    return timeInflaters(image, ourInflateRight, ourInflated, libdeflate);
}

void printDecodeHeader() {
    std::printf("Our decoder at the processor's vector level: %s.\n", simdLevelName(pngSimdLevel()));
    std::printf("PNG decode: MB/s of our bitmap's bytes (stride x height); median call of >= 5 rounds and >= 0.5 s,\n"
                "the decoders taking turns.\n"
                "  ours:      openPng + decodePng + writePngBitmap into a ready buffer (B,G,R(,A); indices; 2-bit\n"
                "             widened to 4; 16-bit cut to 8)\n"
                "  libpng:    png_read_image, strip_16, indices left packed, R,G,B order; no png_read_end\n"
                "  libspng:   SPNG_FMT_PNG (SPNG_FMT_RGB8 for 16-bit)\n"
                "  stb_image: stbi_load_from_memory, own channels (palette expanded to RGB), allocates each call\n"
                "  libpng and libspng skip CRC-32 and Adler-32, as ours does; stb_image checks neither anyway.\n"
                "  /x = ours speed / x speed (above 1: ours faster). On a shared machine the numbers are noisy.\n\n");
    std::printf("%-22s %8s %7s %5s | %8s %8s %8s %8s | %7s %8s %6s\n", "image", "bitmapMB", "fileMB", "comp", "ours",
                "libpng", "libspng", "stb", "/libpng", "/libspng", "/stb");
    std::fflush(stdout);
}

void printInflateTable(const std::vector<InflateRow>& rows) {
    std::printf("\nInflate of the concatenated IDAT data: MB/s of inflated bytes (filtered scanlines).\n"
                "  ours: inflateZlib (no Adler-32); zlib: uncompress (checks Adler-32);\n"
                "  libdeflate: libdeflate_zlib_decompress (checks Adler-32); raw: libdeflate_deflate_decompress on\n"
                "  the same stream without its header and Adler-32, the work ours does. Ours takes turns with each\n"
                "  peer in a pairing of its own; its column is from the pairing with raw, each ratio from its own.\n\n");
    std::printf("%-22s %9s | %8s %8s %10s %8s | %6s %11s %5s\n", "image", "inflateMB", "ours", "zlib", "libdeflate",
                "raw", "/zlib", "/libdeflate", "/raw");
    for (const InflateRow& row : rows) {
        std::printf("%-22s %9.2f | %8s %8s %10s %8s | %6s %11s %5s\n", row.name.c_str(),
                    static_cast<double>(row.bytes) / 1e6, speed(row.bytes, row.libdeflateRaw.ours).c_str(),
                    speed(row.bytes, row.zlib.theirs).c_str(), speed(row.bytes, row.libdeflate.theirs).c_str(),
                    speed(row.bytes, row.libdeflateRaw.theirs).c_str(), ratio(row.zlib.ours, row.zlib.theirs).c_str(),
                    ratio(row.libdeflate.ours, row.libdeflate.theirs).c_str(),
                    ratio(row.libdeflateRaw.ours, row.libdeflateRaw.theirs).c_str());
    }
}

}  // namespace

// Arguments: --save FOLDER writes every image made into FOLDER (which must
// exist) for the 32-bit benchmark; any other keeps only the images whose name
// contains it, e.g. "rgb8 " or "4000x3000".
int main(int argc, char** argv) {
    std::string only;
    std::string saveFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--save" && i + 1 < argc) {
            saveFolder = argv[++i];
            std::ofstream(saveFolder + "/images.txt", std::ios::trunc);
        } else {
            only = argument;
        }
    }
    struct Size {
        std::uint32_t width, height;
    };
    const std::vector<Size> sizes{{640, 402}, {1920, 1080}, {4000, 3000}};
    const std::vector<PngForm> forms{PngForm::Rgb8,     PngForm::Rgba8,    PngForm::Rgb16,     PngForm::Grey8,
                                     PngForm::Palette8, PngForm::Palette2, PngForm::Rgb8Adam7, PngForm::Grey1Adam7};
    const auto nameOf = [](PngForm form, const std::string& sizeName) {
        return std::string(pngFormInfo(form).name) + " " + sizeName;
    };
    printDecodeHeader();
    std::vector<InflateRow> inflateRows;
    Libdeflate libdeflate;
    std::uint32_t seed = 1;
    for (const Size& size : sizes) {
        const std::string sizeName = std::to_string(size.width) + "x" + std::to_string(size.height);
        const std::uint32_t sizeSeed = seed++;
        const bool anyForm = std::any_of(forms.begin(), forms.end(), [&](PngForm form) {
            return nameOf(form, sizeName).find(only) != std::string::npos;
        });
        if (!anyForm) continue;
        const PhotoImage photo = makePhoto(size.width, size.height, sizeSeed);
        for (PngForm form : forms) {
            const std::string name = nameOf(form, sizeName);
            if (name.find(only) == std::string::npos) continue;
            if (auto row = benchImage(name, photo, form, libdeflate, saveFolder)) inflateRows.push_back(std::move(*row));
        }
    }
    printInflateTable(inflateRows);
    if (failures > 0) {
        std::printf("\n!!!!!!!! %d MISMATCH(ES): see the lines marked MISMATCH above\n", failures);
        return 1;
    }
    return 0;
}
