// Our PNG decoder against stb_image on PNG files, in the build this runs in:
// the 32-bit Windows build under Wine, with stb_image compiled by the same
// compiler with the same flags. The files are the native benchmark's images
// (png_bench --save FOLDER), listed in FOLDER/images.txt. Every file is first
// checked pixel for pixel against stb_image: a fast wrong answer must not count.
// Usage: png_file_bench [FOLDER]

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/png_others.h"
#include "pictures/png/png_decoder.h"
#include "pictures/png/simd_level.h"

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct OurDecode {
    PngResult result = PngResult::WrongStage;
    PngBitmapLayout layout;
    std::vector<std::uint8_t> rows;
};

OurDecode decodeWithOurs(std::span<const std::uint8_t> file) {
    OurDecode ours;
    PngDecoder decoder;
    ours.result = openPng(decoder, file);
    if (ours.result == PngResult::Ok) ours.result = decodePng(decoder);
    if (ours.result == PngResult::Ok) {
        ours.layout = pngBitmapLayout(decoder);
        ours.rows.resize(static_cast<std::size_t>(ours.layout.stride) * ours.layout.height);
        ours.result = writePngBitmap(decoder, ours.rows);
    }
    releasePng(decoder);
    return ours;
}

// Pixel (x, y) of our bitmap as R, G, B, A (A 255 where the bitmap has none).
std::array<std::uint8_t, 4> ourColour(const OurDecode& ours, std::uint32_t x, std::uint32_t y) {
    const PngBitmapLayout& l = ours.layout;
    const std::uint8_t* row = ours.rows.data() + static_cast<std::size_t>(y) * l.stride;
    if (l.bitsPerPixel >= 24) {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * (l.bitsPerPixel / 8u);
        return {p[2], p[1], p[0], l.bitsPerPixel == 32 ? p[3] : std::uint8_t{255}};
    }
    const std::size_t bit = static_cast<std::size_t>(x) * l.bitsPerPixel;
    const auto shift = static_cast<unsigned>(8 - l.bitsPerPixel - bit % 8);
    const unsigned index = (row[bit / 8] >> shift) & ((1u << l.bitsPerPixel) - 1);
    const auto& entry = l.colourTable[index];
    return {entry[2], entry[1], entry[0], 255};
}

// Where ours first differs from stb_image's pixels (its own channel count:
// grey, grey and alpha, RGB or RGBA; of grey and alpha only the grey is
// compared, as our bitmap keeps no alpha there); empty when nowhere.
std::string differenceFromStb(const OurDecode& ours, const std::vector<std::uint8_t>& stb) {
    const std::size_t pixels = static_cast<std::size_t>(ours.layout.width) * ours.layout.height;
    if (pixels == 0 || stb.size() % pixels != 0) return "stb_image made " + std::to_string(stb.size()) + " bytes";
    const std::size_t channels = stb.size() / pixels;
    for (std::uint32_t y = 0; y < ours.layout.height; ++y) {
        for (std::uint32_t x = 0; x < ours.layout.width; ++x) {
            const std::array<std::uint8_t, 4> colour = ourColour(ours, x, y);
            const std::uint8_t* theirs = stb.data() + (static_cast<std::size_t>(y) * ours.layout.width + x) * channels;
            const bool same = channels <= 2 ? theirs[0] == colour[0]
                                            : theirs[0] == colour[0] && theirs[1] == colour[1] &&
                                                  theirs[2] == colour[2] && (channels == 3 || theirs[3] == colour[3]);
            if (!same) return "first differing pixel x=" + std::to_string(x) + " y=" + std::to_string(y);
        }
    }
    return "";
}

// Checks, then times ours and stb_image taking turns; false on a mismatch.
bool benchFile(const std::string& name, const std::vector<std::uint8_t>& file) {
    const OurDecode ours = decodeWithOurs(file);
    std::vector<std::uint8_t> stb;
    decodeWithStb(file, &stb);
    const std::string difference =
        ours.result != PngResult::Ok ? std::string("ours failed: ") + pngResultName(ours.result)
                                     : differenceFromStb(ours, stb);
    if (!difference.empty()) {
        std::printf("!!!!!!!! MISMATCH %s: %s\n", name.c_str(), difference.c_str());
        return false;
    }
    std::vector<std::uint8_t> bitmap(ours.rows.size());
    const auto oursAt = [&](SimdLevel level) {
        setPngSimdLevel(level);
        PngDecoder decoder;
        const bool ok = openPng(decoder, file) == PngResult::Ok && decodePng(decoder) == PngResult::Ok &&
                        writePngBitmap(decoder, bitmap) == PngResult::Ok;
        releasePng(decoder);
        return ok;
    };
    const std::vector<double> times = medianSecondsTakingTurns({
        [&] { return oursAt(processorSimdLevel()); },
        [&] { return oursAt(SimdLevel::Scalar); },
        [&] { return decodeWithStb(file, nullptr) != 0; },
    });
    setPngSimdLevel(processorSimdLevel());
    const std::size_t bytes = bitmap.size();
    std::printf("%-26s %8.2f | %8s %8s %8s | %6s %8s\n", name.c_str(), static_cast<double>(bytes) / 1e6,
                speed(bytes, times[0]).c_str(), speed(bytes, times[1]).c_str(), speed(bytes, times[2]).c_str(),
                ratio(times[0], times[2]).c_str(), ratio(times[1], times[2]).c_str());
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "build/bench/images";
    std::ifstream list(folder + "/images.txt");
    std::printf("PNG decode, %d-bit build: MB/s of our bitmap's bytes (stride x height); median call of >= 5 rounds\n"
                "and >= 0.5 s, the decoders taking turns.\n"
                "  ours:      openPng + decodePng + writePngBitmap into a ready buffer, at the processor's level (%s)\n"
                "  scalar:    the same with the vector paths off, as on a processor without SSE2\n"
                "  stb_image: stbi_load_from_memory, same compiler and flags, allocates each call\n"
                "  /stb = ours speed / stb_image speed (above 1: ours faster); scalar/stb the same for scalar.\n\n",
                static_cast<int>(sizeof(void*) * 8), simdLevelName(processorSimdLevel()));
    std::printf("%-26s %8s | %8s %8s %8s | %6s %8s\n", "image", "bitmapMB", "ours", "scalar", "stb", "/stb",
                "scalar/stb");
    int files = 0;
    int mismatches = 0;
    for (std::string name; std::getline(list, name);) {
        const std::vector<std::uint8_t> file = readFile(folder + "/" + name);
        ++files;
        if (file.empty() || !benchFile(name, file)) ++mismatches;
    }
    if (files == 0) {
        std::printf("no images listed in %s/images.txt: run png_bench --save %s first\n", folder.c_str(), folder.c_str());
        return 1;
    }
    if (mismatches > 0) {
        std::printf("\n!!!!!!!! %d MISMATCH(ES) or unreadable files: see above\n", mismatches);
        return 1;
    }
    return 0;
}
