#pragma once
// The archives our zip writer makes, read back for the tests from their bytes
// alone: the end record, the directory, each local header, every field that a
// stored entry at the fixed time must have, and each CRC computed bit by bit
// (not with the writer's table). The first field out of place is named.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct ReadZipEntry {
    std::string name;
    std::string data;
};

struct ReadZip {
    std::vector<ReadZipEntry> entries;
    std::string problem;  // empty when every field is as it should be
};

ReadZip readStoredZip(std::span<const std::uint8_t> bytes);
