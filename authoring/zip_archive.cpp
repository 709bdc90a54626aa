#include "authoring/zip_archive.h"

#include "common/little_endian.h"

#include <array>
#include <limits>
#include <set>

namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t EndSignature = 0x06054B50;
constexpr std::uint16_t VersionNeeded = 10;  // 1.0: stored entries, nothing more
constexpr std::uint16_t VersionMadeBy = 20;  // 2.0, on MS-DOS: no Unix modes in the external attributes
constexpr std::uint16_t Stored = 0;
constexpr std::size_t LocalHeaderSize = 30;
constexpr std::size_t CentralHeaderSize = 46;
constexpr std::size_t EndSize = 22;
// 0xFFFFFFFF and 0xFFFF mean "see the 64-bit records", which we never write.
constexpr std::uint64_t MaxArchiveSize = std::numeric_limits<std::uint32_t>::max() - 1;
constexpr std::size_t MaxEntries = std::numeric_limits<std::uint16_t>::max() - 1;

constexpr std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> CrcTable = crcTable();


void putName(std::vector<std::uint8_t>& out, std::string_view name) { out.insert(out.end(), name.begin(), name.end()); }

// Version needed, flags, method, time, date, CRC, both sizes, name and extra lengths.
void putCommonFields(std::vector<std::uint8_t>& out, const ZipEntry& entry, std::uint32_t crc) {
    appendLe16(out, VersionNeeded);
    appendLe16(out, 0);
    appendLe16(out, Stored);
    appendLe16(out, ZipFixedTime);
    appendLe16(out, ZipFixedDate);
    appendLe32(out, crc);
    appendLe32(out, static_cast<std::uint32_t>(entry.data.size()));
    appendLe32(out, static_cast<std::uint32_t>(entry.data.size()));
    appendLe16(out, static_cast<std::uint32_t>(entry.name.size()));
    appendLe16(out, 0);
}

std::string nameProblem(std::string_view name) {
    if (name.empty()) return "an entry has no name";
    for (const char c : name) {
        if (c < 0x20 || c > 0x7E || c == '\\') return "the entry name " + std::string(name) + " is not plain ASCII";
    }
    if (name.front() == '/') return "the entry name " + std::string(name) + " begins with /";
    if (name.size() > std::numeric_limits<std::uint16_t>::max()) return "an entry name is too long";
    return {};
}

std::string namesProblem(std::span<const ZipEntry> entries) {
    std::set<std::string_view> seen;
    for (const ZipEntry& entry : entries) {
        if (std::string problem = nameProblem(entry.name); !problem.empty()) return problem;
        if (!seen.insert(entry.name).second) return "the entry name " + std::string(entry.name) + " comes twice";
    }
    return {};
}

std::uint64_t archiveSize(std::span<const ZipEntry> entries) {
    std::uint64_t size = EndSize;
    for (const ZipEntry& entry : entries) size += LocalHeaderSize + CentralHeaderSize + 2 * entry.name.size() + entry.data.size();
    return size;
}

}  // namespace

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes) crc = CrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

ZipArchive storedZip(std::span<const ZipEntry> entries) {
    ZipArchive archive;
    if (entries.empty()) return {{}, "the archive has no entry"};
    if (entries.size() > MaxEntries) return {{}, "the archive has more entries than a zip file holds"};
    if (std::string problem = namesProblem(entries); !problem.empty()) return {{}, problem};
    const std::uint64_t size = archiveSize(entries);
    if (size > MaxArchiveSize) return {{}, "the archive would be larger than the 4 GB a zip file holds"};

    std::vector<std::uint8_t>& out = archive.bytes;
    out.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> central;
    for (const ZipEntry& entry : entries) {
        const std::uint32_t crc = crc32Of(entry.data);
        const auto offset = static_cast<std::uint32_t>(out.size());
        appendLe32(out, LocalHeaderSignature);
        putCommonFields(out, entry, crc);
        putName(out, entry.name);
        out.insert(out.end(), entry.data.begin(), entry.data.end());

        appendLe32(central, CentralHeaderSignature);
        appendLe16(central, VersionMadeBy);
        putCommonFields(central, entry, crc);
        appendLe16(central, 0);  // comment length
        appendLe16(central, 0);  // disk
        appendLe16(central, 0);  // internal attributes
        appendLe32(central, 0);  // external attributes
        appendLe32(central, offset);
        putName(central, entry.name);
    }
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    appendLe32(out, EndSignature);
    appendLe16(out, 0);  // this disk
    appendLe16(out, 0);  // the disk where the directory starts
    appendLe16(out, static_cast<std::uint32_t>(entries.size()));
    appendLe16(out, static_cast<std::uint32_t>(entries.size()));
    appendLe32(out, static_cast<std::uint32_t>(central.size()));
    appendLe32(out, centralOffset);
    appendLe16(out, 0);  // comment length
    return archive;
}
