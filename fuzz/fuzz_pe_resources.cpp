// Any bytes as an executable: the reader gives a named result without
// reading out of bounds, and an image it accepts takes a new resource that
// reads back exactly, beside every resource it had, the same way twice.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "authoring/pe_resources.h"

namespace {

bool sameResource(const Resource& a, const Resource& b) {
    return a.type == b.type && a.name == b.name && a.language == b.language && a.data == b.data;
}

bool holds(const std::vector<Resource>& resources, const Resource& wanted) {
    for (const Resource& r : resources) {
        if (sameResource(r, wanted)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const PeResourcesResult read = readPeResources(image);
    if (read.error != PeError::Ok) {
        if (!read.resources.empty()) std::abort();
        return 0;
    }

    Resource added;
    added.type = ResourceKey::fromName("PATCH");
    added.name = ResourceKey::fromId(104);
    added.language = 0x0409;
    added.data.assign(data, data + (size < 40 ? size : 40));
    const std::vector<Resource> changes{added};
    const PeWriteResult written = writePeResources(image, changes);
    if (written.error != PeError::Ok) {
        const bool refusable = written.error == PeError::SignedImage || written.error == PeError::NoRoomForSection ||
                               written.error == PeError::ImageTooLarge || written.error == PeError::BadOptionalHeader;
        if (!refusable) std::abort();
        return 0;
    }
    if (writePeResources(image, changes).image != written.image) std::abort();

    const PeResourcesResult again = readPeResources(written.image);
    if (again.error != PeError::Ok || !holds(again.resources, added)) std::abort();
    for (const Resource& r : read.resources) {
        const bool replaced = r.type == added.type && r.name == added.name;
        if (!replaced && !holds(again.resources, r)) std::abort();
    }
    const PeHeadersResult headers = readPeHeaders(written.image);
    if (headers.error != PeError::Ok) std::abort();
    if (headers.headers.checksum != peChecksum(written.image, headers.headers.checksumOffset)) std::abort();
    return 0;
}
