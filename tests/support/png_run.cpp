#include "tests/support/png_run.h"

#include <cstring>

ExactBuffer::ExactBuffer(std::span<const std::uint8_t> bytes)
    : data_(std::make_unique<std::uint8_t[]>(bytes.size())), size_(bytes.size()) {
    if (!bytes.empty()) std::memcpy(data_.get(), bytes.data(), bytes.size());
}

OurBitmap decodeWithOurs(std::span<const std::uint8_t> file) {
    ExactBuffer source(file);
    OurBitmap out;
    PngDecoder decoder;
    out.open = openPng(decoder, source.span());
    out.stageAfterOpen = decoder.stage;
    if (out.open == PngResult::Ok) {
        out.decode = decodePng(decoder);
        out.stageAfterDecode = decoder.stage;
    }
    if (out.decode == PngResult::Ok) {
        out.layout = pngBitmapLayout(decoder);
        const std::size_t size = std::size_t{out.layout.stride} * out.layout.height;
        ExactBuffer rows(std::vector<std::uint8_t>(size, 0xA5));
        out.write = writePngBitmap(decoder, rows.span());
        out.rows = rows.bytes();
    }
    releasePng(decoder);
    return out;
}
