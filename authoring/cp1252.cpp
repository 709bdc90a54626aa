#include "authoring/cp1252.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr std::array<std::uint16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::uint32_t codePointOf(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return HighControls[byte - 0x80u];
    return byte;
}

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool byteOf(std::uint32_t codePoint, std::uint8_t& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<std::uint8_t>(codePoint);
        return true;
    }
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == codePoint) {
            byte = static_cast<std::uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 sequence at `position`; false when it is malformed.
bool nextCodePoint(std::string_view utf8, std::size_t& position, std::uint32_t& codePoint) {
    const auto lead = static_cast<std::uint8_t>(utf8[position]);
    std::size_t extra = 0;
    if (lead >= 0x80) {
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
        } else {
            return false;
        }
    }
    constexpr std::array<std::uint32_t, 4> LeadMask = {0x7F, 0x1F, 0x0F, 0x07};
    constexpr std::array<std::uint32_t, 4> Smallest = {0, 0x80, 0x800, 0x10000};
    codePoint = lead & LeadMask[extra];
    const std::uint32_t minimum = Smallest[extra];
    if (utf8.size() - position - 1 < extra) return false;
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<std::uint8_t>(utf8[position + i]);
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    position += extra + 1;
    return true;
}

}  // namespace

bool nextUtf8CodePoint(std::string_view utf8, std::size_t& position, char32_t& codePoint) {
    std::uint32_t decoded = 0;
    if (position >= utf8.size() || !nextCodePoint(utf8, position, decoded)) return false;
    codePoint = decoded;
    return true;
}

bool cp1252ByteOf(char32_t codePoint, unsigned char& byte) {
    std::uint8_t found = 0;
    if (!byteOf(codePoint, found)) return false;
    byte = found;
    return true;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) appendUtf8(out, codePointOf(static_cast<std::uint8_t>(c)));
    return out;
}

std::string codePointName(char32_t codePoint) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    return name;
}

Cp1252Text utf8ToCp1252(std::string_view utf8) {
    Cp1252Text result;
    result.bytes.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        const std::size_t start = position;
        std::uint32_t codePoint = 0;
        if (!nextCodePoint(utf8, position, codePoint)) {
            result.error = "malformed UTF-8 at byte " + std::to_string(start);
            return result;
        }
        std::uint8_t byte = 0;
        if (!byteOf(codePoint, byte)) {
            result.refused = utf8.substr(start, position - start);
            result.refusedCode = codePoint;
            result.error = "character " + result.refused + " (" + codePointName(codePoint) +
                           ") cannot be written in code page 1252";
            return result;
        }
        result.bytes += static_cast<char>(byte);
    }
    return result;
}

std::string utf8ToCp1252Replacing(std::string_view utf8, char replacement) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        std::uint32_t codePoint = 0;
        std::uint8_t byte = 0;
        if (!nextCodePoint(utf8, position, codePoint)) {
            out += replacement;
            ++position;
        } else {
            out += byteOf(codePoint, byte) ? static_cast<char>(byte) : replacement;
        }
    }
    return out;
}
