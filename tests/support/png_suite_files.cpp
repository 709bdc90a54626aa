#include "tests/support/png_suite_files.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "tests/support/sha256.h"

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    return fields;
}

std::uint32_t numberOr0(const std::string& text) {
    return text.empty() ? 0u : static_cast<std::uint32_t>(std::stoul(text));
}

std::size_t canonicalPixelBytes(std::uint16_t bitsPerPixel) { return bitsPerPixel <= 8 ? 1u : bitsPerPixel / 8u; }

}  // namespace

// Names the file in test listings instead of dumping the row's bytes.
void PrintTo(const SuiteRow& row, std::ostream* out) {
    *out << row.set << "/" << row.file << " (" << row.expected << ")";
}

// Columns are found by name: the two tables name the outcome column differently.
std::vector<SuiteRow> readExpected(const std::string& folder, const std::string& set) {
    std::ifstream in(folder + "/" + set + "/expected.tsv");
    std::string line;
    if (!std::getline(in, line)) return {};
    const std::vector<std::string> header = splitTabs(line);
    auto column = [&](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const auto at = std::find(header.begin(), header.end(), name);
            if (at != header.end()) return static_cast<std::size_t>(at - header.begin());
        }
        return header.size();
    };
    const std::size_t file = column({"file"}), expected = column({"expected", "expected_png_decoder"}),
                      width = column({"width"}), height = column({"height"}), bpp = column({"bitmap_bpp"}),
                      digest = column({"pixel_sha256"});
    std::vector<SuiteRow> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> fields = splitTabs(line);
        fields.resize(std::max(fields.size(), header.size() + 1));
        rows.push_back({set, fields[file], fields[expected], numberOr0(fields[width]), numberOr0(fields[height]),
                        static_cast<std::uint16_t>(numberOr0(fields[bpp])), fields[digest]});
    }
    return rows;
}

std::vector<SuiteRow> allSuiteRows(const std::string& folder) {
    std::vector<SuiteRow> rows = readExpected(folder, "pngsuite");
    const std::vector<SuiteRow> realWorld = readExpected(folder, "realworld");
    rows.insert(rows.end(), realWorld.begin(), realWorld.end());
    return rows;
}

std::vector<std::uint8_t> readBinaryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> canonicalPixels(std::uint32_t width, std::uint32_t height, std::uint16_t bitsPerPixel,
                                          std::uint32_t stride, std::span<const std::uint8_t> rows) {
    const bool knownDepth =
        bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!knownDepth || std::uint64_t{stride} * 8 < std::uint64_t{width} * bitsPerPixel) return {};
    if (rows.size() < std::uint64_t{stride} * height) return {};
    const std::size_t pixelBytes = canonicalPixelBytes(bitsPerPixel);
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * pixelBytes);
    std::uint8_t* out = pixels.data();
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = rows.data() + std::size_t{y} * stride;
        if (bitsPerPixel >= 8) {
            // Whole bytes per pixel: the row minus its padding.
            std::memcpy(out, row, std::size_t{width} * pixelBytes);
            out += std::size_t{width} * pixelBytes;
            continue;
        }
        for (std::uint32_t x = 0; x < width; ++x) {
            *out++ = bitsPerPixel == 1
                         ? static_cast<std::uint8_t>((unsigned{row[x / 8]} >> (7 - x % 8)) & 1u)
                         : static_cast<std::uint8_t>((unsigned{row[x / 2]} >> (x % 2 == 0 ? 4u : 0u)) & 15u);
        }
    }
    return pixels;
}

std::string canonicalPixelDigest(std::uint32_t width, std::uint32_t height, std::uint16_t bitsPerPixel,
                                 std::uint32_t stride, std::span<const std::uint8_t> rows) {
    return sha256Hex(canonicalPixels(width, height, bitsPerPixel, stride, rows));
}
