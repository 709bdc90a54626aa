#pragma once
// Little-endian numbers appended to a byte buffer, as the file formats we
// write (ZIP, BMP) store them.

#include <cstdint>
#include <vector>

inline void appendLe16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    appendLe16(out, value & 0xFFFF);
    appendLe16(out, value >> 16);
}
