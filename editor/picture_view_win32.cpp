#include "editor/picture_view_win32.h"

#include "pictures/picture_loader_win32.h"

HBITMAP fittedPicture(const PreparedPicture& picture, int width, int height) {
    switch (picture.kind) {
        case PictureKind::Jpeg:
            return scaleToFrame(loadOlePicture(picture.bytes.data(), picture.bytes.size()), width, height);
        case PictureKind::Png: return scaleToFrame(decodePngBitmap(picture.bytes).bitmap, width, height);
        case PictureKind::Unknown: break;
    }
    return nullptr;
}

HBITMAP thumbnailOf(const PreparedPicture* picture, int width, int height, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HBITMAP tile = CreateCompatibleBitmap(screen, width, height);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ oldTo = SelectObject(to, tile);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT all{0, 0, width, height};
    FillRect(to, &all, brush);
    DeleteObject(brush);
    if (HBITMAP fitted = picture != nullptr ? fittedPicture(*picture, width, height) : nullptr) {
        const SIZE size = bitmapSize(fitted);
        HDC from = CreateCompatibleDC(screen);
        HGDIOBJ oldFrom = SelectObject(from, fitted);
        BitBlt(to, (width - size.cx) / 2, (height - size.cy) / 2, size.cx, size.cy, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        DeleteDC(from);
        DeleteObject(fitted);
    }
    SelectObject(to, oldTo);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return tile;
}
