#pragma once
// Whether a picture file holds all the data its structure announces. stb_image
// reads a PNG without its end chunk, a GIF whose image data stops short and a
// BMP with missing rows as if the rest were there; those files are cut, and
// are refused. (JPEG: the decoder notices by itself.)

#include <span>
#include <string>

#include "picture_preparation/picture_check.h"

// Empty when the file is whole, else what is missing, for a message.
std::string missingPart(PictureFormat format, std::span<const std::uint8_t> bytes);
