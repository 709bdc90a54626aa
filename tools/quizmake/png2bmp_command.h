#pragma once
// quizmake png2bmp: the bitmap the player makes of a PNG picture, before it
// scales it, as a BMP file.

#include <string>

int runPng2Bmp(const std::string& in, const std::string& out);
