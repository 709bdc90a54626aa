#pragma once
// What a picture file is, as the player will treat it.

#include <cstdint>
#include <span>
#include <string>

enum class PictureKind { Jpeg, Png, Unknown };

PictureKind pictureKind(std::span<const std::uint8_t> bytes);

// A JPEG that is not baseline (progressive, extended, lossless or arithmetic
// coded) may not open in every picture loader: one line saying so, or empty.
std::string jpegWarning(std::span<const std::uint8_t> bytes);
