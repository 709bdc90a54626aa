#include "authoring/resource_bundle.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 8> Signature{'Z', 'O', 'R', 'B', 'R', 'E', 'S', '1'};

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A key: 0 and a 16-bit id, or 1, a length and that many UTF-16 units.
void putKey(std::vector<std::uint8_t>& out, const ResourceKey& key) {
    out.push_back(key.isName ? 1 : 0);
    if (!key.isName) {
        put(out, key.id, 2);
        return;
    }
    put(out, static_cast<std::uint32_t>(key.name.size()), 2);
    for (const char16_t unit : key.name) put(out, unit, 2);
}

// Reads forward through the bytes; every read past the end fails, and so
// does every one after it.
struct Reader {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    bool failed = false;

    std::uint32_t number(int size) {
        if (failed || bytes.size() - at < static_cast<std::size_t>(size)) {
            failed = true;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) value |= std::uint32_t{bytes[at++]} << (8 * i);
        return value;
    }
    std::span<const std::uint8_t> take(std::size_t size) {
        if (failed || bytes.size() - at < size) {
            failed = true;
            return {};
        }
        at += size;
        return bytes.subspan(at - size, size);
    }
};

ResourceKey readKey(Reader& in) {
    ResourceKey key;
    key.isName = in.number(1) == 1;
    if (!key.isName) {
        key.id = static_cast<std::uint16_t>(in.number(2));
        return key;
    }
    const std::uint32_t units = in.number(2);
    for (std::uint32_t i = 0; i < units && !in.failed; ++i) key.name.push_back(static_cast<char16_t>(in.number(2)));
    return key;
}

ResourceBundle refused(std::string why) {
    ResourceBundle bundle;
    bundle.error = std::move(why);
    return bundle;
}

}  // namespace

std::vector<std::uint8_t> bundleOf(std::span<const Resource> resources) {
    std::vector<std::uint8_t> out(Signature.begin(), Signature.end());
    put(out, static_cast<std::uint32_t>(resources.size()), 4);
    for (const Resource& resource : resources) {
        putKey(out, resource.type);
        putKey(out, resource.name);
        put(out, resource.language, 2);
        put(out, resource.codePage, 4);
        put(out, static_cast<std::uint32_t>(resource.data.size()), 4);
        out.insert(out.end(), resource.data.begin(), resource.data.end());
    }
    return out;
}

ResourceBundle readBundle(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < Signature.size() || !std::equal(Signature.begin(), Signature.end(), bytes.begin())) {
        return refused("not a resource bundle");
    }
    Reader in{bytes, Signature.size()};
    const std::uint32_t count = in.number(4);
    ResourceBundle bundle;
    // Each resource takes at least 15 bytes: a count past that is damage, not a reason to reserve.
    bundle.resources.reserve(std::min<std::size_t>(count, bytes.size() / 15));
    for (std::uint32_t i = 0; i < count && !in.failed; ++i) {
        Resource resource;
        resource.type = readKey(in);
        resource.name = readKey(in);
        resource.language = static_cast<std::uint16_t>(in.number(2));
        resource.codePage = in.number(4);
        const std::span<const std::uint8_t> data = in.take(in.number(4));
        resource.data.assign(data.begin(), data.end());
        bundle.resources.push_back(std::move(resource));
    }
    if (in.failed) return refused("a resource bundle cut short");
    if (in.at != bytes.size()) return refused("a resource bundle with bytes past its end");
    return bundle;
}
