#include "bench/png_images.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>

namespace {

constexpr double Pi = 3.14159265358979323846;

// xorshift64*: deterministic across compilers, unlike the <random> distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    double uniform() { return next() / 4294967296.0; }
    double between(double low, double high) { return low + (high - low) * uniform(); }

private:
    std::uint64_t state_;
};

std::uint16_t toSample(double value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0.0, 1.0) * 65535.0 + 0.5);
}

struct Shape {
    bool ellipse;
    double centreX, centreY, radiusX, radiusY;  // in units of the image width
    std::array<double, 3> colour;
    std::array<double, 3> slopeX, slopeY;       // linear shading across the shape
    double stripes;                             // frequency of a fine texture; 0: none
};

Shape randomShape(Random& random, double aspect) {
    Shape shape{};
    shape.ellipse = random.uniform() < 0.6;
    shape.centreX = random.between(0.0, 1.0);
    shape.centreY = random.between(0.0, aspect);
    shape.radiusX = random.between(0.04, 0.2);
    shape.radiusY = random.between(0.04, 0.2);
    for (std::size_t c = 0; c < 3; ++c) {
        shape.colour[c] = random.between(0.1, 0.9);
        shape.slopeX[c] = random.between(-1.5, 1.5);
        shape.slopeY[c] = random.between(-1.5, 1.5);
    }
    shape.stripes = random.uniform() < 0.3 ? random.between(80.0, 250.0) : 0.0;
    return shape;
}

void paintShape(PhotoImage& photo, const Shape& shape) {
    const double scale = photo.width;
    const auto firstX = static_cast<std::int64_t>(std::floor((shape.centreX - shape.radiusX) * scale));
    const auto lastX = static_cast<std::int64_t>(std::ceil((shape.centreX + shape.radiusX) * scale));
    const auto firstY = static_cast<std::int64_t>(std::floor((shape.centreY - shape.radiusY) * scale));
    const auto lastY = static_cast<std::int64_t>(std::ceil((shape.centreY + shape.radiusY) * scale));
    for (std::int64_t y = std::max<std::int64_t>(firstY, 0); y < std::min<std::int64_t>(lastY, photo.height); ++y) {
        const double dy = (static_cast<double>(y) / scale - shape.centreY) / shape.radiusY;
        for (std::int64_t x = std::max<std::int64_t>(firstX, 0); x < std::min<std::int64_t>(lastX, photo.width); ++x) {
            const double dx = (static_cast<double>(x) / scale - shape.centreX) / shape.radiusX;
            const double distance = shape.ellipse ? dx * dx + dy * dy : std::max(dx * dx, dy * dy);
            if (distance >= 1.0) {
                continue;
            }
            // Darker towards the rim, as a lit rounded object.
            double light = 1.0 - 0.35 * distance;
            if (shape.stripes > 0) {
                light *= 0.9 + 0.1 * std::sin(shape.stripes * (dx * shape.radiusX + 0.3 * dy * shape.radiusY));
            }
            const auto pixel = static_cast<std::size_t>(y) * photo.width + static_cast<std::size_t>(x);
            for (std::size_t c = 0; c < 3; ++c) {
                const double value =
                    (shape.colour[c] + 0.075 * (shape.slopeX[c] * dx + shape.slopeY[c] * dy)) * light;
                photo.rgb[pixel * 3 + c] = toSample(value);
            }
        }
    }
}

int channelsOf(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

void appendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* file = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    file->insert(file->end(), data, data + size);
}

void flushNothing(png_structp) {}

// Rows already in the file's sample layout; longjmp-safe: every object with a
// destructor exists before setjmp.
std::vector<std::uint8_t> writePng(std::uint32_t width, std::uint32_t height, const PngFormInfo& info,
                                   std::vector<std::uint8_t>& rows, const std::vector<png_color>& palette) {
    std::vector<std::uint8_t> file;
    const std::size_t rowBytes =
        (static_cast<std::size_t>(width) * static_cast<std::size_t>(channelsOf(info.colourType) * info.bitDepth) + 7) / 8;
    std::vector<png_bytep> rowPointers(height);
    for (std::uint32_t y = 0; y < height; ++y) {
        rowPointers[y] = rows.data() + y * rowBytes;
    }
    file.reserve(rows.size() / 2);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pngInfo = png ? png_create_info_struct(png) : nullptr;
    if (!pngInfo) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &pngInfo);
        return {};
    }
    png_set_write_fn(png, &file, appendBytes, flushNothing);
    png_set_IHDR(png, pngInfo, width, height, info.bitDepth, info.colourType,
                 info.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) {
        png_set_PLTE(png, pngInfo, palette.data(), static_cast<int>(palette.size()));
    }
    png_set_compression_level(png, 6);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_write_info(png, pngInfo);
    png_write_image(png, rowPointers.data());
    png_write_end(png, pngInfo);
    png_destroy_write_struct(&png, &pngInfo);
    return file;
}

// Ordered dither thresholds in (0, 1): a simple quantiser that still looks
// like a photo rather than posterised bands.
double bayer(std::uint32_t x, std::uint32_t y) {
    static constexpr std::array<std::array<int, 4>, 4> matrix{
        {{{0, 8, 2, 10}}, {{12, 4, 14, 6}}, {{3, 11, 1, 9}}, {{15, 7, 13, 5}}}};
    return (matrix[y & 3][x & 3] + 0.5) / 16.0;
}

std::uint8_t quantise(std::uint8_t value, int levels, double threshold) {
    const int level = static_cast<int>(value / 255.0 * (levels - 1) + threshold);
    return static_cast<std::uint8_t>(std::min(level, levels - 1));
}

std::uint8_t luma(const std::uint16_t* rgb) {
    return static_cast<std::uint8_t>((77 * (rgb[0] >> 8) + 150 * (rgb[1] >> 8) + 29 * (rgb[2] >> 8)) >> 8);
}

}  // namespace

namespace {

// A separable sky-to-ground shading with slow waves.
void paintBackground(PhotoImage& photo, Random& random) {
    const std::uint32_t width = photo.width;
    const std::uint32_t height = photo.height;
    std::array<std::vector<double>, 3> across;
    std::array<std::vector<double>, 3> down;
    for (std::size_t c = 0; c < 3; ++c) {
        const double amplitudeX = random.between(0.05, 0.15);
        const double frequencyX = random.between(0.5, 2.5);
        const double phaseX = random.between(0.0, 2 * Pi);
        const double top = random.between(0.3, 0.8);
        const double bottom = random.between(0.1, 0.6);
        const double amplitudeY = random.between(0.03, 0.1);
        const double frequencyY = random.between(0.5, 3.0);
        across[c].resize(width);
        down[c].resize(height);
        for (std::uint32_t x = 0; x < width; ++x) {
            across[c][x] = amplitudeX * std::sin(2 * Pi * frequencyX * x / width + phaseX);
        }
        for (std::uint32_t y = 0; y < height; ++y) {
            const double v = static_cast<double>(y) / height;
            down[c][y] = top + (bottom - top) * v + amplitudeY * std::cos(2 * Pi * frequencyY * v);
        }
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t pixel = static_cast<std::size_t>(y) * width + x;
            for (std::size_t c = 0; c < 3; ++c) photo.rgb[pixel * 3 + c] = toSample(across[c][x] + down[c][y]);
        }
    }
}

// Sensor noise of about one 8-bit level, roughly Gaussian (sum of three uniforms).
void addNoise(PhotoImage& photo, Random& random) {
    for (std::uint16_t& sample : photo.rgb) {
        const double noise = (random.uniform() + random.uniform() + random.uniform() - 1.5) * 2.0 * 256.0;
        sample = static_cast<std::uint16_t>(std::clamp(sample + noise, 0.0, 65535.0));
    }
}

// An opaque centre fading to clear corners, a clear cut-out and a
// half-transparent band, all free of noise as drawn masks are.
void paintAlpha(PhotoImage& photo) {
    for (std::uint32_t y = 0; y < photo.height; ++y) {
        const double v = static_cast<double>(y) / photo.height - 0.5;
        for (std::uint32_t x = 0; x < photo.width; ++x) {
            const double u = static_cast<double>(x) / photo.width - 0.5;
            const double distance = std::sqrt(u * u + v * v);
            double alpha = std::clamp((0.62 - distance) / 0.25, 0.0, 1.0);
            if (u > 0.1 && u < 0.25 && v > -0.3 && v < -0.1) alpha = 0;
            if (v > 0.2 && v < 0.28) alpha *= 0.5;
            photo.alpha[static_cast<std::size_t>(y) * photo.width + x] = static_cast<std::uint8_t>(alpha * 255.0 + 0.5);
        }
    }
}

}  // namespace

PhotoImage makePhoto(std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    PhotoImage photo;
    photo.width = width;
    photo.height = height;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    photo.rgb.assign(pixels * 3, 0);
    photo.alpha.assign(pixels, 0);
    Random random(seed);
    paintBackground(photo, random);
    const double aspect = static_cast<double>(height) / width;
    for (int i = 0; i < 16; ++i) paintShape(photo, randomShape(random, aspect));
    addNoise(photo, random);
    paintAlpha(photo);
    return photo;
}

PngFormInfo pngFormInfo(PngForm form) {
    switch (form) {
        case PngForm::Rgb8: return {"rgb8", PNG_COLOR_TYPE_RGB, 8, false, 24};
        case PngForm::Rgba8: return {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 32};
        case PngForm::Rgb16: return {"rgb16", PNG_COLOR_TYPE_RGB, 16, false, 24};
        case PngForm::Grey8: return {"grey8", PNG_COLOR_TYPE_GRAY, 8, false, 8};
        case PngForm::Palette8: return {"palette8", PNG_COLOR_TYPE_PALETTE, 8, false, 8};
        case PngForm::Palette2: return {"palette2", PNG_COLOR_TYPE_PALETTE, 2, false, 4};
        case PngForm::Rgb8Adam7: return {"rgb8-adam7", PNG_COLOR_TYPE_RGB, 8, true, 24};
        case PngForm::Grey1Adam7: return {"grey1-adam7", PNG_COLOR_TYPE_GRAY, 1, true, 1};
    }
    return {"?", 0, 0, false, 0};
}

namespace {

// 3-3-2 levels of red, green and blue: 256 entries, ordered dither.
void ditherToPalette8(const PhotoImage& photo, std::vector<std::uint8_t>& rows, std::vector<png_color>& palette) {
    for (int i = 0; i < 256; ++i) {
        palette.push_back({static_cast<png_byte>((i >> 5) * 255 / 7), static_cast<png_byte>(((i >> 2) & 7) * 255 / 7),
                           static_cast<png_byte>((i & 3) * 255 / 3)});
    }
    for (std::uint32_t y = 0; y < photo.height; ++y) {
        for (std::uint32_t x = 0; x < photo.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * photo.width + x;
            const double threshold = bayer(x, y);
            const int red = quantise(static_cast<std::uint8_t>(photo.rgb[i * 3] >> 8), 8, threshold);
            const int green = quantise(static_cast<std::uint8_t>(photo.rgb[i * 3 + 1] >> 8), 8, threshold);
            const int blue = quantise(static_cast<std::uint8_t>(photo.rgb[i * 3 + 2] >> 8), 4, threshold);
            rows[i] = static_cast<std::uint8_t>(red << 5 | green << 2 | blue);
        }
    }
}

// Samples of `bits` bits (1 or 2) chosen by brightness with ordered dither,
// packed as PNG packs them.
void ditherByBrightness(const PhotoImage& photo, std::size_t rowBytes, int bits, std::vector<std::uint8_t>& rows) {
    const std::uint32_t perByte = 8u / static_cast<std::uint32_t>(bits);
    for (std::uint32_t y = 0; y < photo.height; ++y) {
        for (std::uint32_t x = 0; x < photo.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * photo.width + x;
            const std::uint8_t sample = quantise(luma(&photo.rgb[i * 3]), 1 << bits, bayer(x, y));
            const auto shift = static_cast<int>((perByte - 1 - x % perByte) * static_cast<std::uint32_t>(bits));
            rows[y * rowBytes + x / perByte] |= static_cast<std::uint8_t>(sample << shift);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> encodePhoto(const PhotoImage& photo, PngForm form) {
    const PngFormInfo info = pngFormInfo(form);
    const std::size_t pixels = static_cast<std::size_t>(photo.width) * photo.height;
    const std::size_t rowBytes =
        (static_cast<std::size_t>(photo.width) * static_cast<std::size_t>(channelsOf(info.colourType) * info.bitDepth) + 7) / 8;
    std::vector<std::uint8_t> rows(rowBytes * photo.height);
    std::vector<png_color> palette;
    switch (form) {
        case PngForm::Rgb8:
        case PngForm::Rgb8Adam7:
            for (std::size_t i = 0; i < pixels * 3; ++i) rows[i] = static_cast<std::uint8_t>(photo.rgb[i] >> 8);
            break;
        case PngForm::Rgba8:
            for (std::size_t i = 0; i < pixels; ++i) {
                for (std::size_t c = 0; c < 3; ++c) rows[i * 4 + c] = static_cast<std::uint8_t>(photo.rgb[i * 3 + c] >> 8);
                rows[i * 4 + 3] = photo.alpha[i];
            }
            break;
        case PngForm::Rgb16:
            for (std::size_t i = 0; i < pixels * 3; ++i) {
                rows[i * 2] = static_cast<std::uint8_t>(photo.rgb[i] >> 8);
                rows[i * 2 + 1] = static_cast<std::uint8_t>(photo.rgb[i] & 0xFF);
            }
            break;
        case PngForm::Grey8:
            for (std::size_t i = 0; i < pixels; ++i) rows[i] = luma(&photo.rgb[i * 3]);
            break;
        case PngForm::Palette8: ditherToPalette8(photo, rows, palette); break;
        case PngForm::Palette2:
            // Four tones from dark blue to cream.
            palette = {{20, 24, 48}, {70, 110, 140}, {200, 140, 80}, {245, 235, 210}};
            ditherByBrightness(photo, rowBytes, 2, rows);
            break;
        case PngForm::Grey1Adam7: ditherByBrightness(photo, rowBytes, 1, rows); break;
    }
    return writePng(photo.width, photo.height, info, rows, palette);
}

std::vector<std::uint8_t> imageDataStream(std::span<const std::uint8_t> file) {
    std::vector<std::uint8_t> stream;
    std::size_t offset = 8;
    bool inImageData = false;
    while (offset + 12 <= file.size()) {
        const std::size_t length = static_cast<std::size_t>(file[offset]) << 24 | static_cast<std::size_t>(file[offset + 1]) << 16 |
                                   static_cast<std::size_t>(file[offset + 2]) << 8 | file[offset + 3];
        if (length > file.size() - offset - 12) {
            break;
        }
        const bool isImageData = std::equal(file.begin() + static_cast<std::ptrdiff_t>(offset + 4),
                                            file.begin() + static_cast<std::ptrdiff_t>(offset + 8), "IDAT");
        if (isImageData) {
            const auto data = file.subspan(offset + 8, length);
            stream.insert(stream.end(), data.begin(), data.end());
            inImageData = true;
        } else if (inImageData) {
            break;
        }
        offset += length + 12;
    }
    return stream;
}

std::size_t filteredSize(std::uint32_t width, std::uint32_t height, const PngFormInfo& info) {
    const std::size_t bitsPerPixel = static_cast<std::size_t>(channelsOf(info.colourType) * info.bitDepth);
    const auto scanlines = [&](std::size_t columns, std::size_t rows) {
        return columns == 0 || rows == 0 ? 0 : rows * (1 + (columns * bitsPerPixel + 7) / 8);
    };
    if (!info.interlaced) {
        return scanlines(width, height);
    }
    // Adam7 passes: first column, first row, column step, row step.
    static constexpr std::array<std::array<std::size_t, 4>, 7> passes{{{{0, 0, 8, 8}},
                                                                       {{4, 0, 8, 8}},
                                                                       {{0, 4, 4, 8}},
                                                                       {{2, 0, 4, 4}},
                                                                       {{0, 2, 2, 4}},
                                                                       {{1, 0, 2, 2}},
                                                                       {{0, 1, 1, 2}}}};
    std::size_t total = 0;
    for (const auto& pass : passes) {
        const std::size_t columns = width > pass[0] ? (width - pass[0] + pass[2] - 1) / pass[2] : 0;
        const std::size_t rows = height > pass[1] ? (height - pass[1] + pass[3] - 1) / pass[3] : 0;
        total += scanlines(columns, rows);
    }
    return total;
}
