#include "web/text_contrast.h"

#include <cmath>

namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

bool blackTextOn(Rgb background) {
    const double luminance =
        0.2126 * linear(background.red) + 0.7152 * linear(background.green) + 0.0722 * linear(background.blue);
    // (L + 0.05) / 0.05 against 1.05 / (L + 0.05).
    return (luminance + 0.05) * (luminance + 0.05) >= 0.05 * 1.05;
}
