#include "tests/support/zip_reader.h"

namespace {

struct Reader {
    std::span<const std::uint8_t> b;
    std::string problem;

    std::uint32_t u16(std::size_t at) {
        if (at + 2 > b.size()) {
            if (problem.empty()) problem = "a field past the end, at " + std::to_string(at);
            return 0;
        }
        return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8;
    }
    std::uint32_t u32(std::size_t at) { return u16(at) | u16(at + 2) << 16; }
    std::string text(std::size_t at, std::size_t size) {
        if (at + size > b.size()) {
            if (problem.empty()) problem = "bytes past the end, at " + std::to_string(at);
            return {};
        }
        return {reinterpret_cast<const char*>(b.data()) + at, size};
    }
    void expect(bool holds, const std::string& what) {
        if (!holds && problem.empty()) problem = what;
    }
};

std::uint32_t bitwiseCrc(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Local header fields 4..25 (version needed to name length) repeat the
// directory's 6..27.
void readEntry(Reader& r, std::size_t central, ReadZip& zip) {
    r.expect(r.u32(central) == 0x02014B50u, "no directory header signature");
    const std::uint32_t nameSize = r.u16(central + 28);
    r.expect(r.u16(central + 30) == 0 && r.u16(central + 32) == 0, "an extra field or a comment in the directory");
    const std::size_t local = r.u32(central + 42);
    r.expect(r.u32(local) == 0x04034B50u, "no local header signature");
    r.expect(r.text(local + 4, 22) == r.text(central + 6, 22), "the local header differs from the directory's");
    r.expect(r.u16(local + 6) == 0, "a flag is set");
    r.expect(r.u16(local + 8) == 0, "an entry is not stored");
    r.expect(r.u16(local + 10) == 0 && r.u16(local + 12) == ((1 << 5) | 1), "the time is not 1980-01-01 00:00");
    r.expect(r.u32(local + 18) == r.u32(local + 22), "a stored entry's two sizes differ");
    r.expect(r.u16(local + 28) == 0, "an extra field in a local header");
    ReadZipEntry entry{r.text(local + 30, nameSize), r.text(local + 30 + nameSize, r.u32(local + 22))};
    r.expect(r.u32(local + 14) == bitwiseCrc(entry.data), "a wrong CRC for " + entry.name);
    zip.entries.push_back(std::move(entry));
}

}  // namespace

ReadZip readStoredZip(std::span<const std::uint8_t> bytes) {
    ReadZip zip;
    Reader r{bytes, {}};
    if (bytes.size() < 22) return {{}, "shorter than an end record"};
    const std::size_t end = bytes.size() - 22;
    r.expect(r.u32(end) == 0x06054B50u, "no end record at the end (a comment?)");
    const std::uint32_t count = r.u16(end + 10);
    r.expect(r.u16(end + 8) == count, "the entry counts differ");
    std::size_t central = r.u32(end + 16);
    r.expect(central + r.u32(end + 12) == end, "the directory does not end where the end record begins");
    for (std::uint32_t i = 0; i < count && r.problem.empty(); ++i) {
        readEntry(r, central, zip);
        central += 46 + r.u16(central + 28);
    }
    zip.problem = r.problem;
    return zip;
}
