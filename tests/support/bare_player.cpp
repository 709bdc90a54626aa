#include "tests/support/bare_player.h"

#include <cstdint>
#include <vector>

#include "authoring/pe_resources.h"

namespace {

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string barePlayerImage() {
    std::string b(0x400, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, 0x40);
    put32(b, 0x40, 0x4550);
    put32(b, 0x44, 0x0001014C);        // i386, one section
    put32(b, 0x54, 0x010200E0);        // optional header of 224 bytes, executable 32-bit
    put32(b, 0x58, 0x10B);
    put32(b, 0x58 + 32, 0x1000);
    put32(b, 0x58 + 36, 0x200);
    put32(b, 0x58 + 56, 0x2000);
    put32(b, 0x58 + 60, 0x200);
    put32(b, 0x58 + 92, 16);
    const std::size_t section = 0x58 + 224;
    b.replace(section, 5, ".text");
    put32(b, section + 8, 0x10);
    put32(b, section + 12, 0x1000);
    put32(b, section + 16, 0x200);
    put32(b, section + 20, 0x200);
    put32(b, section + 36, 0x60000020);
    const std::vector<std::uint8_t> bytes(b.begin(), b.end());
    Resource version;
    version.type = ResourceKey::fromId(16);
    version.name = ResourceKey::fromId(1);
    version.language = 0x0409;
    version.data = {'v', 'e', 'r'};
    const PeWriteResult written = writePeResources(bytes, {&version, 1});
    return {written.image.begin(), written.image.end()};
}
