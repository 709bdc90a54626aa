// PNG pictures stored as raw data: our decoder's rows put into a DIB section.

#include <cstring>
#include <memory>
#include <new>

#include "pictures/picture_loader_win32.h"
#include "pictures/png/png_decoder.h"
#include "resources/contract_ids.h"

namespace {

// The DIB section the decoded image becomes: header, colour table, top-down rows.
HBITMAP makePngBitmap(const PngDecoder& decoder) {
    const PngBitmapLayout layout = pngBitmapLayout(decoder);
    const std::size_t tableBytes = layout.colourTable.size() * sizeof(RGBQUAD);
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[sizeof(BITMAPINFOHEADER) + tableBytes]);
    if (!block) return nullptr;
    auto* info = reinterpret_cast<BITMAPINFO*>(block.get());
    info->bmiHeader = BITMAPINFOHEADER{};
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = static_cast<LONG>(layout.width);
    info->bmiHeader.biHeight = -static_cast<LONG>(layout.height);
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = layout.bitsPerPixel;
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = layout.usedColours;
    if (tableBytes != 0) std::memcpy(info->bmiColors, layout.colourTable.data(), tableBytes);

    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    const std::size_t size = static_cast<std::size_t>(layout.stride) * layout.height;
    if (writePngBitmap(decoder, {static_cast<std::uint8_t*>(bits), size}) != PngResult::Ok) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

PngBitmap decodePngBitmap(std::span<const std::uint8_t> bytes) {
    PngDecoder decoder;
    if (bytes.empty() || openPng(decoder, bytes) != PngResult::Ok) return {nullptr, PngFailure::NotUsable};
    if (decodePng(decoder) != PngResult::Ok) {
        releasePng(decoder);
        return {nullptr, PngFailure::Undecodable};
    }
    HBITMAP bitmap = makePngBitmap(decoder);
    releasePng(decoder);
    return {bitmap, bitmap != nullptr ? PngFailure::None : PngFailure::NoBitmap};
}

std::span<const std::uint8_t> pngResource(int resourceId) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(ResourceTypeRcData));
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(nullptr, found) : 0;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const std::uint8_t*>(bytes), size};
}

HBITMAP loadPngPicture(int resourceId, int frameWidth, int frameHeight) {
    return reportPictureFailure(fitPicture({pngResource(resourceId), true}, frameWidth, frameHeight));
}
