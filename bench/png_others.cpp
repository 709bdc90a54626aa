#include "bench/png_others.h"

#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

namespace {

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void readBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->position) {
        png_error(png, "read past the end of the file");
    }
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

}  // namespace

// Every object with a destructor exists before setjmp, so the longjmp of a
// libpng error skips none.
bool decodeWithLibpng(std::span<const std::uint8_t> file, LibpngOutput output, std::vector<std::uint8_t>& pixels,
                      std::vector<std::uint8_t*>& rowPointers, LibpngImage& image) {
    MemoryReader reader{file.data(), file.size(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, readBytes);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    png_set_strip_16(png);
    if (output == LibpngOutput::Bitmap) {
        png_set_packing(png);
        png_set_bgr(png);
        png_colorp palette = nullptr;
        int entries = 0;
        image.palette.clear();
        if (colourType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &palette, &entries) == PNG_INFO_PLTE) {
            for (int i = 0; i < entries; ++i) {
                image.palette.push_back({palette[i].red, palette[i].green, palette[i].blue});
            }
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image.rowBytes = png_get_rowbytes(png, info);
    pixels.resize(image.rowBytes * image.height);
    rowPointers.resize(image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        rowPointers[y] = pixels.data() + y * image.rowBytes;
    }
    png_read_image(png, rowPointers.data());
    // No png_read_end: the chunks after the image data are of no use here,
    // and ours does not read them either.
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::size_t decodeWithSpng(std::span<const std::uint8_t> file, int format, std::span<std::uint8_t> pixels) {
    spng_ctx* context = spng_ctx_new(SPNG_CTX_IGNORE_ADLER32);
    if (!context) {
        return 0;
    }
    std::size_t size = 0;
    const bool ok = spng_set_crc_action(context, SPNG_CRC_USE, SPNG_CRC_USE) == 0 &&
                    spng_set_png_buffer(context, file.data(), file.size()) == 0 &&
                    spng_decoded_image_size(context, format, &size) == 0 && size <= pixels.size() &&
                    spng_decode_image(context, pixels.data(), size, format, 0) == 0;
    spng_ctx_free(context);
    return ok ? size : 0;
}

bool inflateWithZlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    uLongf size = static_cast<uLongf>(out.size());
    return uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size())) == Z_OK &&
           size == out.size();
}

Libdeflate::Libdeflate() : decompressor_(libdeflate_alloc_decompressor()) {}

Libdeflate::~Libdeflate() { libdeflate_free_decompressor(decompressor_); }

bool Libdeflate::zlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    return libdeflate_zlib_decompress(decompressor_, stream.data(), stream.size(), out.data(), out.size(), nullptr) ==
           LIBDEFLATE_SUCCESS;
}

bool Libdeflate::raw(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out) {
    if (stream.size() < 6) {
        return false;
    }
    return libdeflate_deflate_decompress(decompressor_, stream.data() + 2, stream.size() - 6, out.data(), out.size(),
                                         nullptr) == LIBDEFLATE_SUCCESS;
}
