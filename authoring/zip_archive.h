#pragma once
// A zip archive of stored (uncompressed) entries, written from bytes alone so
// that every front end makes the same archive on every system: entries in the
// order given, one fixed DOS time, no extra fields, no data descriptors.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ZipEntry {
    std::string_view name;  // ASCII, with / between folders
    std::span<const std::uint8_t> data;
};

struct ZipArchive {
    std::vector<std::uint8_t> bytes;
    std::string error;  // one line; empty when the archive was made
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// 1980-01-01 00:00, the first time the format can hold.
inline constexpr std::uint16_t ZipFixedDate = (0 << 9) | (1 << 5) | 1;
inline constexpr std::uint16_t ZipFixedTime = 0;

// The CRC-32 of the zip format (reflected polynomial 0xEDB88320).
std::uint32_t crc32Of(std::span<const std::uint8_t> bytes);

// Refused: no entry, an empty, non-ASCII or duplicate name, or an archive
// past the 4 GB and 65,535 entries the format holds without its 64-bit records.
ZipArchive storedZip(std::span<const ZipEntry> entries);
