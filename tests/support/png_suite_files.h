#pragma once
// The PNG test files (tests/data/pngsuite and tests/data/realworld) and
// their recorded outcomes and pixel digests, as the tests read them; no
// libpng needed, so the 32-bit Windows tests read them too.

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

struct SuiteRow {
    std::string set;
    std::string file;
    std::string expected;  // "decode", "open-fail", "fail" or "unspecified"
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::string digest;
};

// Names the file in test listings instead of dumping the row's bytes.
void PrintTo(const SuiteRow& row, std::ostream* out);

// The rows of `folder`/`set`/expected.tsv.
std::vector<SuiteRow> readExpected(const std::string& folder, const std::string& set);
// Both sets' rows.
std::vector<SuiteRow> allSuiteRows(const std::string& folder);

// The whole file, or an empty vector when it cannot be read.
std::vector<std::uint8_t> readBinaryFile(const std::string& path);

// One byte per pixel for 1, 4 and 8 bits per pixel, B, G, R for 24 and
// B, G, R, A for 32; top-down, without row padding or unused bits. Our
// bitmap and libpng's both reduce to this, and the recorded digests hash it.
std::vector<std::uint8_t> canonicalPixels(std::uint32_t width, std::uint32_t height, std::uint16_t bitsPerPixel,
                                          std::uint32_t stride, std::span<const std::uint8_t> rows);

// Lowercase hex SHA-256 of canonicalPixels.
std::string canonicalPixelDigest(std::uint32_t width, std::uint32_t height, std::uint16_t bitsPerPixel,
                                 std::uint32_t stride, std::span<const std::uint8_t> rows);
