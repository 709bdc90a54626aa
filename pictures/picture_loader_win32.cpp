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

void reportCopyFailure() {
    char message[128];
    wsprintfA(message, "%s plante avec l'erreur : %d\n", "CopyImage", static_cast<int>(GetLastError()));
    MessageBoxA(nullptr, message, "Information", MB_OK | MB_ICONINFORMATION);
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

HBITMAP loadQuestionPicture(int resourceId, int frameWidth, int frameHeight) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), JpegResourceType);
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    if (loaded == nullptr) return loadPngPicture(resourceId, frameWidth, frameHeight);
    const void* bytes = LockResource(loaded);
    HBITMAP picture = bytes != nullptr ? loadOlePicture(bytes, SizeofResource(nullptr, found)) : nullptr;
    FreeResource(loaded);
    return scaleToFrame(picture, frameWidth, frameHeight);
}

HBITMAP loadOlePicture(const void* bytes, std::size_t size) {
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
        if (copy == nullptr) reportCopyFailure();
        picture->Release();
    }
    stream->Release();
    return copy;
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

