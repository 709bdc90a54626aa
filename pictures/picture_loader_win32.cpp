#include "pictures/picture_loader_win32.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "pictures/fitted_size.h"
#include "resources/contract_ids.h"

namespace {

// COM for the length of one decoding.
struct ComScope {
    HRESULT result = CoInitialize(nullptr);
    ~ComScope() {
        if (SUCCEEDED(result)) CoUninitialize();
    }
};

IStream* streamOver(const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

void reportCopyFailure(DWORD error) {
    char message[128];
    wsprintfA(message, "%s plante avec l'erreur : %d\n", "CopyImage", static_cast<int>(error));
    MessageBoxA(nullptr, message, "Information", MB_OK | MB_ICONINFORMATION);
}

void reportPngFailure(const char* text) { MessageBoxA(nullptr, text, "Information", MB_OK | MB_ICONERROR); }

// The system's loader's picture copied out; the copy's error when that failed.
HBITMAP olePicture(const void* bytes, std::size_t size, DWORD& copyError) {
    if (size == 0 || size > 0x7FFFFFFF) return nullptr;
    const ComScope com;
    IStream* stream = streamOver(bytes, size);
    if (stream == nullptr) return nullptr;
    IPicture* picture = nullptr;
    HBITMAP copy = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture))) &&
        picture != nullptr) {
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        copy = static_cast<HBITMAP>(
            CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0));
        if (copy == nullptr) copyError = GetLastError();
        picture->Release();
    }
    stream->Release();
    return copy;
}

FittedPicture fittedPng(std::span<const std::uint8_t> bytes, int frameWidth, int frameHeight) {
    const PngBitmap png = decodePngBitmap(bytes);
    switch (png.failure) {
        case PngFailure::None: return {scaleToFrame(png.bitmap, frameWidth, frameHeight)};
        case PngFailure::NotUsable: return {};
        case PngFailure::Undecodable: return {nullptr, PictureFailure::PngUndecodable};
        case PngFailure::NoBitmap: return {nullptr, PictureFailure::PngNoBitmap};
    }
    return {};
}

}  // namespace

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

std::optional<Size> shownSize(HBITMAP picture) {
    if (picture == nullptr) return std::nullopt;
    const SIZE size = bitmapSize(picture);
    return Size{size.cx, size.cy};
}

PictureSource questionPictureSource(int resourceId) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), JpegResourceType);
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    if (loaded == nullptr) return {pngResource(resourceId), true};
    // A resource of the program's own image stays where it is: no FreeResource needed.
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) return {};
    return {{static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, found)}, false};
}

FittedPicture fitPicture(PictureSource source, int frameWidth, int frameHeight) {
    if (source.png) return fittedPng(source.bytes, frameWidth, frameHeight);
    if (source.bytes.empty()) return {};
    FittedPicture fitted;
    HBITMAP picture = olePicture(source.bytes.data(), source.bytes.size(), fitted.copyError);
    if (picture == nullptr && fitted.copyError != 0) fitted.failure = PictureFailure::CopyFailed;
    fitted.bitmap = scaleToFrame(picture, frameWidth, frameHeight);
    return fitted;
}

HBITMAP reportPictureFailure(const FittedPicture& picture) {
    switch (picture.failure) {
        case PictureFailure::None: break;
        case PictureFailure::CopyFailed: reportCopyFailure(picture.copyError); break;
        case PictureFailure::PngUndecodable: reportPngFailure("Error: couldn't decode PNG resource"); break;
        case PictureFailure::PngNoBitmap: reportPngFailure("Error: couldn't create bitmap"); break;
    }
    return picture.bitmap;
}

HBITMAP loadQuestionPicture(int resourceId, int frameWidth, int frameHeight) {
    return reportPictureFailure(fitPicture(questionPictureSource(resourceId), frameWidth, frameHeight));
}

HBITMAP loadOlePicture(const void* bytes, std::size_t size) {
    DWORD copyError = 0;
    HBITMAP picture = olePicture(bytes, size, copyError);
    if (picture == nullptr && copyError != 0) reportCopyFailure(copyError);
    return picture;
}

HBITMAP scaleToFrame(HBITMAP bitmap, int frameWidth, int frameHeight) {
    if (bitmap == nullptr) return nullptr;
    const SIZE source = bitmapSize(bitmap);
    const Size fitted = fittedSize({source.cx, source.cy}, {frameWidth, frameHeight});
    HBITMAP scaled = nullptr;
    if (fitted.width > 0 && fitted.height > 0) {
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HGDIOBJ oldFrom = SelectObject(from, bitmap);
        scaled = CreateCompatibleBitmap(screen, fitted.width, fitted.height);
        HGDIOBJ oldTo = SelectObject(to, scaled);
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        StretchBlt(to, 0, 0, fitted.width, fitted.height, from, 0, 0, source.cx, source.cy, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
        ReleaseDC(nullptr, screen);
    }
    DeleteObject(bitmap);
    return scaled;
}

