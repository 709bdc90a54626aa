#pragma once
// Bytes written whole to a file, replacing it only once they are all written.

#include <cstdint>
#include <span>
#include <string>

bool writeOutput(const std::string& path, std::span<const std::uint8_t> bytes);
