#include "pictures/fitted_size.h"

Size fittedSize(Size picture, Size frame) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    const double heightRatio = static_cast<double>(frame.height) / picture.height;
    const double widthRatio = static_cast<double>(frame.width) / picture.width;
    const double factor = heightRatio <= widthRatio ? heightRatio : widthRatio;
    return {static_cast<int>(picture.width * factor), static_cast<int>(picture.height * factor)};
}
