#include "tests/support/libpng_reference.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>


namespace {

struct ReadState {
    std::span<const std::uint8_t> file;
    std::size_t position = 0;
    char message[256] = {};
};

struct RawImage {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> samples;  // libpng's unfiltered, de-interlaced rows
    std::vector<png_bytep> rowPointers;
    std::vector<std::array<std::uint8_t, 3>> palette;  // R, G, B as in PLTE
};

void readFromMemory(png_structp png, png_bytep out, std::size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (length > state->file.size() - state->position) png_error(png, "file ends early");
    std::memcpy(out, state->file.data() + state->position, length);
    state->position += length;
}

void keepError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Our decoder checks no checksum and validates nothing it does not use.
void relaxChecks(png_structp png) {
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_set_benign_errors(png, 1);
    png_set_check_for_invalid_index(png, 0);
}

// No libpng call here can fail, so C++ objects may live in this frame.
void prepareRows(png_structp png, png_infop info, RawImage& image) {
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.bitDepth = png_get_bit_depth(png, info);
    image.colourType = png_get_color_type(png, info);
    image.rowBytes = png_get_rowbytes(png, info);
    image.samples.assign(image.rowBytes * image.height, 0);
    image.rowPointers.resize(image.height);
    for (png_uint_32 y = 0; y < image.height; ++y) image.rowPointers[y] = image.samples.data() + y * image.rowBytes;
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) != 0) {
        for (int i = 0; i < count; ++i) image.palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
    }
}

// longjmp skips destructors: only plain locals live between setjmp and the
// libpng calls; every container is in `image`, owned by the caller.
bool readWithLibpng(ReadState& state, RawImage& image) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, keepError, ignoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    relaxChecks(png);
    png_set_read_fn(png, &state, readFromMemory);
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    prepareRows(png, info, image);
    png_read_image(png, image.rowPointers.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::uint16_t bitmapBitsPerPixel(int colourType, int bitDepth) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB: return 24;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 32;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 8;
        default: return static_cast<std::uint16_t>(bitDepth == 2 ? 4 : std::min(bitDepth, 8));
    }
}

std::vector<std::array<std::uint8_t, 4>> greyRamp(std::uint32_t entries) {
    std::vector<std::array<std::uint8_t, 4>> ramp;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        ramp.push_back({grey, grey, grey, 0});
    }
    return ramp;
}

void buildColourTable(const RawImage& image, ReferenceBitmap& bitmap) {
    if (bitmap.bitsPerPixel > 8) return;
    const std::uint32_t fullTable = 1u << bitmap.bitsPerPixel;
    if (image.colourType != PNG_COLOR_TYPE_PALETTE) {
        const std::uint32_t rampLength = image.bitDepth >= 8 ? 256u : 1u << image.bitDepth;
        bitmap.usedColours = rampLength;
        bitmap.colourTable = greyRamp(rampLength);
        return;
    }
    // Entries the indices cannot reach are dropped; the rest of the table is zero.
    bitmap.colourTable.assign(fullTable, {0, 0, 0, 0});
    const std::size_t kept = std::min<std::size_t>(image.palette.size(), std::size_t{1} << image.bitDepth);
    for (std::size_t i = 0; i < kept; ++i) {
        const auto& rgb = image.palette[i];
        bitmap.colourTable[i] = {rgb[2], rgb[1], rgb[0], 0};
    }
}

void widenTwoBitRow(const std::uint8_t* in, std::uint32_t width, std::uint8_t* out) {
    for (std::uint32_t x = 0; x < width; ++x) {
        const auto value = static_cast<std::uint8_t>((unsigned{in[x / 4]} >> (6 - 2 * (x % 4))) & 3u);
        out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | (x % 2 == 0 ? value << 4 : value));
    }
}

std::size_t samplesPerPixel(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

// Samples of 8 or 16 bits: the high (first) byte of the samples named by
// `order`, which also reorders R, G, B to B, G, R and drops grey's alpha.
void pickSampleRow(const RawImage& image, const std::uint8_t* in, std::span<const std::size_t> order,
                   std::uint8_t* out) {
    const std::size_t bytesPerSample = static_cast<std::size_t>(image.bitDepth) / 8;
    const std::size_t pixelBytes = samplesPerPixel(image.colourType) * bytesPerSample;
    for (std::uint32_t x = 0; x < image.width; ++x) {
        const std::uint8_t* pixel = in + x * pixelBytes;
        for (const std::size_t sample : order) *out++ = pixel[sample * bytesPerSample];
    }
}

std::span<const std::size_t> sampleOrder(int colourType) {
    static constexpr std::array<std::size_t, 1> Grey{0};
    static constexpr std::array<std::size_t, 3> Bgr{2, 1, 0};
    static constexpr std::array<std::size_t, 4> Bgra{2, 1, 0, 3};
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB: return Bgr;
        case PNG_COLOR_TYPE_RGB_ALPHA: return Bgra;
        default: return Grey;
    }
}

void convertRow(const RawImage& image, const std::uint8_t* in, std::uint8_t* out) {
    if (image.bitDepth == 2) {
        widenTwoBitRow(in, image.width, out);
    } else if (image.bitDepth < 8 || (image.bitDepth == 8 && samplesPerPixel(image.colourType) == 1)) {
        std::memcpy(out, in, image.rowBytes);
    } else {
        pickSampleRow(image, in, sampleOrder(image.colourType), out);
    }
}

ReferenceBitmap toOurLayout(const RawImage& image) {
    ReferenceBitmap bitmap;
    bitmap.width = image.width;
    bitmap.height = image.height;
    bitmap.bitsPerPixel = bitmapBitsPerPixel(image.colourType, image.bitDepth);
    bitmap.stride = static_cast<std::uint32_t>((std::uint64_t{image.width} * bitmap.bitsPerPixel + 31) / 32 * 4);
    buildColourTable(image, bitmap);
    bitmap.rows.assign(std::size_t{bitmap.stride} * image.height, 0);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        convertRow(image, image.samples.data() + y * image.rowBytes,
                   bitmap.rows.data() + std::size_t{y} * bitmap.stride);
    }
    return bitmap;
}

}  // namespace

ReferenceDecode decodeWithLibpng(std::span<const std::uint8_t> file) {
    ReadState state{file};
    RawImage image;
    ReferenceDecode result;
    if (!readWithLibpng(state, image)) {
        result.error = state.message[0] != 0 ? state.message : "libpng could not start";
        return result;
    }
    result.ok = true;
    result.bitmap = toOurLayout(image);
    return result;
}
