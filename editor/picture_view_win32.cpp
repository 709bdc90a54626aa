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

