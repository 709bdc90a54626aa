// The codecs outside Windows: the libraries every Linux distribution keeps
// patched (libjpeg-turbo through its TurboJPEG interface, libpng, giflib,
// libheif), and our BMP reader. TIFF and WebP are left to Windows.

#include "picture_preparation/picture_codecs.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include <gif_lib.h>
#include <libheif/heif.h>
#include <png.h>
#include <turbojpeg.h>

#include "picture_preparation/bmp_reader.h"
#include "picture_preparation/image_pixels.h"
#include "picture_preparation/jpeg_header.h"

namespace {

DecodedPicture failure(PictureProblem problem, std::string why) {
    DecodedPicture result;
    result.problem = problem;
    result.error = std::move(why);
    return result;
}

DecodedPicture damaged(std::string why) { return failure(PictureProblem::Damaged, std::move(why)); }

bool tooMany(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels) { return width * height > maxPixels; }

const char* NoMemory = "not enough memory";

DecodedPicture outOfMemory() { return failure(PictureProblem::OutOfMemory, NoMemory); }
DecodedPicture noPixels() { return failure(PictureProblem::NoPixels, "a side of 0 pixels"); }
DecodedPicture tooManyPixels() { return failure(PictureProblem::TooManyPixels, "too many pixels"); }

// --- JPEG ---------------------------------------------------------------------------

struct TurboJpeg {
    tjhandle handle;
    explicit TurboJpeg(tjhandle h) : handle(h) {}
    ~TurboJpeg() {
        if (handle != nullptr) tjDestroy(handle);
    }
    TurboJpeg(const TurboJpeg&) = delete;
    TurboJpeg& operator=(const TurboJpeg&) = delete;
};

// The strongest reduction (1/8, 1/4, 1/2) that still covers `atLeast`.
tjscalingfactor reductionFor(int width, int height, ImageSize atLeast) {
    tjscalingfactor chosen{1, 1};
    if (atLeast.width == 0 || atLeast.height == 0) return chosen;
    for (const int denominator : {2, 4, 8}) {
        const tjscalingfactor factor{1, denominator};
        if (static_cast<std::uint32_t>(TJSCALED(width, factor)) >= atLeast.width &&
            static_cast<std::uint32_t>(TJSCALED(height, factor)) >= atLeast.height) {
            chosen = factor;
        }
    }
    return chosen;
}

DecodedPicture decodeJpeg(std::span<const std::uint8_t> file, ImageSize atLeast, std::uint64_t maxPixels) {
    TurboJpeg tj(tjInitDecompress());
    if (tj.handle == nullptr) return outOfMemory();
    auto* data = const_cast<unsigned char*>(file.data());  // TurboJPEG 2 takes no const, and writes nothing
    const auto size = static_cast<unsigned long>(file.size());
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(tj.handle, data, size, &width, &height, &subsampling, &colourspace) != 0) {
        return damaged(tjGetErrorStr2(tj.handle));
    }
    if (width <= 0 || height <= 0) return noPixels();
    if (tooMany(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), maxPixels)) {
        return tooManyPixels();
    }
    const tjscalingfactor factor = reductionFor(width, height, atLeast);
    const ImageSize scaled{static_cast<std::uint32_t>(TJSCALED(width, factor)),
                           static_cast<std::uint32_t>(TJSCALED(height, factor))};
    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    const int pixelFormat = colourspace == TJCS_GRAY ? TJPF_GRAY : cmyk ? TJPF_CMYK : TJPF_RGB;
    DecodedPicture decoded;
    if (!allocateImage(decoded.image, scaled, static_cast<std::uint32_t>(tjPixelSize[pixelFormat]))) return outOfMemory();
    // Any warning (data cut short, a corrupt segment) refuses the picture.
    if (tjDecompress2(tj.handle, data, size, decoded.image.samples.data(), static_cast<int>(scaled.width), 0,
                      static_cast<int>(scaled.height), pixelFormat, TJFLAG_ACCURATEDCT) != 0) {
        return damaged(tjGetErrorStr2(tj.handle));
    }
    if (cmyk) decoded.image = rgbOfCmyk(viewOf(decoded.image), readJpegHeader(file).adobe);
    if (decoded.image.samples.empty()) return outOfMemory();
    return decoded;
}

// The libraries read a file through a callback: a cursor over its bytes.
struct ByteCursor {
    std::span<const std::uint8_t> file;
    std::size_t position = 0;

    std::size_t take(std::uint8_t* out, std::size_t count) {
        const std::size_t taken = std::min(count, file.size() - position);
        std::memcpy(out, file.data() + position, taken);
        position += taken;
        return taken;
    }
};

// --- PNG --------------------------------------------------------------------------

struct PngReading {
    ByteCursor cursor;
    std::jmp_buf failed{};
    char message[128] = "undecodable data";
    PictureProblem problem = PictureProblem::Damaged;  // what a jump back means
};

// libpng's allocations, through which one that fails is told as such.
png_voidp pngAllocate(png_structp png, png_alloc_size_t size) {
    void* memory = std::malloc(size);
    if (memory == nullptr) static_cast<PngReading*>(png_get_mem_ptr(png))->problem = PictureProblem::OutOfMemory;
    return memory;
}

void pngFree(png_structp, png_voidp memory) { std::free(memory); }

void pngError(png_structp png, png_const_charp message) {
    auto* reading = static_cast<PngReading*>(png_get_error_ptr(png));
    std::strncpy(reading->message, message, sizeof reading->message - 1);
    std::longjmp(reading->failed, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep out, png_size_t count) {
    auto* reading = static_cast<PngReading*>(png_get_io_ptr(png));
    if (reading->cursor.take(out, count) < count) {
        reading->problem = PictureProblem::CutShort;
        png_error(png, "the data stops short");
    }
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// Samples as the player reads them: 16-bit samples cut to their high byte,
// palettes and small greys expanded, a tRNS chunk as alpha, and no gamma
// applied (the player ignores it too). libpng reports errors by a jump back
// here, so this function holds no object of its own that a jump would skip.
bool readPngInto(PngReader& r, PngReading& reading, Image& image, std::uint64_t maxPixels, std::string& why) {
    if (setjmp(reading.failed) != 0) {
        why = reading.message;
        return false;
    }
    reading.problem = PictureProblem::Damaged;
    png_set_read_fn(r.png, &reading, pngRead);
    png_set_crc_action(r.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);  // as the player: checksums not verified
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    if (tooMany(width, height, maxPixels)) {
        reading.problem = PictureProblem::TooManyPixels;
        why = "too many pixels";
        return false;
    }
    png_set_strip_16(r.png);
    png_set_palette_to_rgb(r.png);
    png_set_expand_gray_1_2_4_to_8(r.png);
    if (png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0) png_set_tRNS_to_alpha(r.png);
    const int passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    const std::uint32_t channels = png_get_channels(r.png, r.info);
    if (!allocateImage(image, {width, height}, channels)) {
        reading.problem = PictureProblem::OutOfMemory;
        why = NoMemory;
        return false;
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(r.png, image.samples.data() + std::size_t{y} * width * channels, nullptr);
        }
    }
    return true;
}

DecodedPicture decodePng(std::span<const std::uint8_t> file, std::uint64_t maxPixels) {
    PngReading reading{ByteCursor{file}};
    PngReader r;
    r.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &reading, pngError, pngWarning, &reading, pngAllocate,
                                     pngFree);
    if (r.png == nullptr) return outOfMemory();
    r.info = png_create_info_struct(r.png);
    if (r.info == nullptr) return outOfMemory();
    png_set_user_limits(r.png, 0x7FFFFFFF, 0x7FFFFFFF);
    DecodedPicture decoded;
    std::string why;
    if (!readPngInto(r, reading, decoded.image, maxPixels, why)) return failure(reading.problem, why);
    return decoded;
}

// --- GIF: the first frame, on the logical screen ------------------------------------

int gifRead(GifFileType* gif, GifByteType* out, int count) {
    if (count <= 0) return 0;
    return static_cast<int>(static_cast<ByteCursor*>(gif->UserData)->take(out, static_cast<std::size_t>(count)));
}

std::string gifError(int code) {
    const char* text = GifErrorString(code);
    return text != nullptr ? text : "undecodable data";
}

// giflib's error code as a reason.
DecodedPicture gifFailure(int code) {
    switch (code) {
        case D_GIF_ERR_NOT_ENOUGH_MEM: return failure(PictureProblem::OutOfMemory, gifError(code));
        case D_GIF_ERR_READ_FAILED:
        case D_GIF_ERR_EOF_TOO_SOON: return failure(PictureProblem::CutShort, gifError(code));
        default: return damaged(gifError(code));
    }
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The transparent index of a graphic control extension, or none.
int transparentIndex(const GifByteType* extension) {
    GraphicsControlBlock block{};
    if (DGifExtensionToGCB(extension[0], extension + 1, &block) == GIF_OK) return block.TransparentColor;
    return NO_TRANSPARENT_COLOR;
}

// Reads an extension's blocks, keeping a graphic control extension's transparent index.
bool readGifExtension(GifFileType& gif, int& transparent) {
    int code = 0;
    GifByteType* extension = nullptr;
    if (DGifGetExtension(&gif, &code, &extension) != GIF_OK) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && extension != nullptr) transparent = transparentIndex(extension);
    while (extension != nullptr) {
        if (DGifGetExtensionNext(&gif, &extension) != GIF_OK) return false;
    }
    return true;
}

// Reads the records up to the first frame's descriptor, which lands in
// gif.Image; none, or why not.
std::optional<DecodedPicture> readToFirstFrame(GifFileType& gif, int& transparent) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(&gif, &record) != GIF_OK) break;
        if (record == TERMINATE_RECORD_TYPE) return damaged("no picture in the file");
        if (record == EXTENSION_RECORD_TYPE && !readGifExtension(gif, transparent)) break;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(&gif) == GIF_OK) return std::nullopt;
            break;
        }
    }
    return gifFailure(gif.Error);
}

// Row `y` of the frame placed on the screen: the transparent index, and what
// falls outside the screen, leave the screen as it is.
void placeGifRow(Image& screen, const GifImageDesc& frame, const ColorMapObject& colours, int transparent,
                 std::span<const GifPixelType> line, std::uint32_t y) {
    const std::uint64_t screenY = static_cast<std::uint64_t>(frame.Top) + y;
    if (frame.Top < 0 || screenY >= screen.size.height) return;
    for (std::uint32_t x = 0; x < line.size(); ++x) {
        const std::uint64_t screenX = static_cast<std::uint64_t>(frame.Left) + x;
        if (frame.Left < 0 || screenX >= screen.size.width) continue;
        std::uint8_t* pixel = screen.samples.data() + (screenY * screen.size.width + screenX) * 4;
        const int index = line[x];
        if (index == transparent) continue;
        // An index past the table shows black.
        const bool inTable = index < colours.ColorCount;
        pixel[0] = inTable ? colours.Colors[index].Red : 0;
        pixel[1] = inTable ? colours.Colors[index].Green : 0;
        pixel[2] = inTable ? colours.Colors[index].Blue : 0;
        pixel[3] = 255;
    }
}

// Reads the frame described in gif.Image row by row onto the screen.
bool readGifFrame(GifFileType& gif, const ColorMapObject& colours, int transparent, Image& screen) {
    const GifImageDesc& frame = gif.Image;
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    // Interlaced rows come every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    const std::uint32_t starts[] = {0, 4, 2, 1};
    const std::uint32_t steps[] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const std::uint32_t start = frame.Interlace ? starts[pass] : 0;
        const std::uint32_t step = frame.Interlace ? steps[pass] : 1;
        for (std::uint32_t y = start; y < static_cast<std::uint32_t>(frame.Height); y += step) {
            if (DGifGetLine(&gif, line.data(), frame.Width) != GIF_OK) return false;
            placeGifRow(screen, frame, colours, transparent, line, y);
        }
    }
    return true;
}

DecodedPicture decodeGif(std::span<const std::uint8_t> file, std::uint64_t maxPixels) {
    ByteCursor cursor{file};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&cursor, gifRead, &error));
    if (!gif) return gifFailure(error);
    const auto screenWidth = static_cast<std::uint32_t>(gif->SWidth);
    const auto screenHeight = static_cast<std::uint32_t>(gif->SHeight);
    if (screenWidth == 0 || screenHeight == 0) return noPixels();
    if (tooMany(screenWidth, screenHeight, maxPixels)) return tooManyPixels();
    int transparent = NO_TRANSPARENT_COLOR;
    if (std::optional<DecodedPicture> refused = readToFirstFrame(*gif, transparent)) return std::move(*refused);
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colours == nullptr) return damaged("no colour table");
    if (frame.Width <= 0 || frame.Height <= 0) return failure(PictureProblem::NoPixels, "a frame of 0 pixels");
    if (tooMany(static_cast<std::uint32_t>(frame.Width), static_cast<std::uint32_t>(frame.Height), maxPixels)) {
        return tooManyPixels();
    }
    DecodedPicture decoded;  // the screen starts transparent; the frame is placed on it
    if (!allocateImage(decoded.image, {screenWidth, screenHeight}, 4)) return outOfMemory();
    if (!readGifFrame(*gif, *colours, transparent, decoded.image)) return gifFailure(gif->Error);
    return decoded;
}

// --- HEIC (libheif applies the file's own rotation and mirroring) --------------------

// libheif's error as a reason: a file of a kind it has no decoder for (an
// HEVC or AV1 plug-in missing) is not a damaged one.
DecodedPicture heifFailure(const heif_error& error) {
    switch (error.code) {
        case heif_error_Memory_allocation_error: return failure(PictureProblem::OutOfMemory, error.message);
        case heif_error_Unsupported_filetype:
        case heif_error_Unsupported_feature:
        case heif_error_Plugin_loading_error: return failure(PictureProblem::FormatNotReadHere, error.message);
        case heif_error_Decoder_plugin_error: return failure(PictureProblem::NotDecodedHere, error.message);
        default: return damaged(error.message);
    }
}

struct HeifParts {
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    ~HeifParts() {
        if (image != nullptr) heif_image_release(image);
        if (handle != nullptr) heif_image_handle_release(handle);
        heif_context_free(context);
    }
};

DecodedPicture decodeHeif(std::span<const std::uint8_t> file, std::uint64_t maxPixels) {
    HeifParts heif;
    if (heif.context == nullptr) return outOfMemory();
    heif_context_set_maximum_image_size_limit(heif.context, 1 << 16);
    heif_error error = heif_context_read_from_memory_without_copy(heif.context, file.data(), file.size(), nullptr);
    if (error.code == heif_error_Ok) error = heif_context_get_primary_image_handle(heif.context, &heif.handle);
    if (error.code != heif_error_Ok) return heifFailure(error);
    const int width = heif_image_handle_get_width(heif.handle);
    const int height = heif_image_handle_get_height(heif.handle);
    if (width <= 0 || height <= 0) return noPixels();
    if (tooMany(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), maxPixels)) {
        return tooManyPixels();
    }
    const bool alpha = heif_image_handle_has_alpha_channel(heif.handle) != 0;
    error = heif_decode_image(heif.handle, &heif.image, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    if (error.code != heif_error_Ok) return heifFailure(error);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(heif.image, heif_channel_interleaved, &stride);
    const int shownWidth = heif_image_get_width(heif.image, heif_channel_interleaved);
    const int shownHeight = heif_image_get_height(heif.image, heif_channel_interleaved);
    const std::uint32_t channels = alpha ? 4 : 3;
    if (plane == nullptr || shownWidth <= 0 || shownHeight <= 0 ||
        stride < shownWidth * static_cast<int>(channels)) {
        return damaged("no picture in the file");
    }
    // The coded picture may be larger than its header said.
    if (tooMany(static_cast<std::uint64_t>(shownWidth), static_cast<std::uint64_t>(shownHeight), maxPixels)) {
        return tooManyPixels();
    }
    DecodedPicture decoded;
    if (!allocateImage(decoded.image, {static_cast<std::uint32_t>(shownWidth), static_cast<std::uint32_t>(shownHeight)},
                       channels)) {
        return outOfMemory();
    }
    const std::size_t rowBytes = static_cast<std::size_t>(shownWidth) * channels;
    for (int y = 0; y < shownHeight; ++y) {
        std::memcpy(decoded.image.samples.data() + static_cast<std::size_t>(y) * rowBytes,
                    plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), rowBytes);
    }
    return decoded;
}

}  // namespace

DecodedPicture decodePicture(std::span<const std::uint8_t> file, PictureFormat format, ImageSize atLeast,
                             std::uint64_t maxPixels) {
    if (file.empty()) return failure(PictureProblem::EmptyFile, "an empty file");
    switch (format) {
        case PictureFormat::Jpeg: return decodeJpeg(file, atLeast, maxPixels);
        case PictureFormat::Png: return decodePng(file, maxPixels);
        case PictureFormat::Gif: return decodeGif(file, maxPixels);
        case PictureFormat::Bmp: return readBmp(file, maxPixels);
        case PictureFormat::Heif: return decodeHeif(file, maxPixels);
        case PictureFormat::Tiff:
        case PictureFormat::Webp: return failure(PictureProblem::FormatNotReadHere, "Windows reads it");
        case PictureFormat::Unknown: break;
    }
    return failure(PictureProblem::NotAPicture, "not a picture");
}

// Quality 90 keeps colour at half resolution, as cameras do.
std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality) {
    if (image.channels != 1 && image.channels != 3) return {};
    TurboJpeg tj(tjInitCompress());
    if (tj.handle == nullptr) return {};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool grey = image.channels == 1;
    const int done = tjCompress2(tj.handle, image.samples.data(), static_cast<int>(image.size.width), 0,
                                 static_cast<int>(image.size.height), grey ? TJPF_GRAY : TJPF_RGB, &out, &size,
                                 grey ? TJSAMP_GRAY : TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
    std::vector<std::uint8_t> file;
    if (done == 0 && out != nullptr) file.assign(out, out + size);
    tjFree(out);
    return file;
}

std::vector<std::uint8_t> encodePng(const Image& image) {
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = image.size.width;
    description.height = image.size.height;
    constexpr png_uint_32 Formats[] = {0, PNG_FORMAT_GRAY, PNG_FORMAT_GA, PNG_FORMAT_RGB, PNG_FORMAT_RGBA};
    if (image.channels < 1 || image.channels > 4) return {};
    description.format = Formats[image.channels];
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(description, size, 0, image.samples.data(), 0, nullptr) == 0) return {};
    std::vector<std::uint8_t> file(size);
    if (png_image_write_to_memory(&description, file.data(), &size, 0, image.samples.data(), 0, nullptr) == 0) return {};
    file.resize(size);
    return file;
}

const char* pictureCodecsName() { return "libjpeg-turbo, libpng, giflib, libheif"; }
