#include "authoring/pe_resources.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <set>

namespace {

constexpr std::uint32_t DosHeaderSize = 64;
constexpr std::uint32_t PeOffsetField = 0x3C;
constexpr std::uint32_t CoffHeaderSize = 20;
constexpr std::uint32_t SectionHeaderSize = 40;
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint32_t OptionalHeaderFixedSize = 96;  // PE32, before the data directories
constexpr std::uint32_t ResourceDirectoryIndex = 2;
constexpr std::uint32_t CertificateDirectoryIndex = 4;
constexpr std::uint32_t DirectoryHeaderSize = 16;
constexpr std::uint32_t DirectoryEntrySize = 8;
constexpr std::uint32_t DataEntrySize = 16;
constexpr std::uint32_t HighBit = 0x80000000u;
constexpr std::uint32_t InitializedReadableData = 0x40000040u;  // CNT_INITIALIZED_DATA | MEM_READ
constexpr std::uint32_t DataAlignment = 8;

// Where the fields sit, from the start of the optional header.
constexpr std::uint32_t OptSizeOfInitializedData = 8;
constexpr std::uint32_t OptSectionAlignment = 32;
constexpr std::uint32_t OptFileAlignment = 36;
constexpr std::uint32_t OptSizeOfImage = 56;
constexpr std::uint32_t OptSizeOfHeaders = 60;
constexpr std::uint32_t OptCheckSum = 64;
constexpr std::uint32_t OptDirectoryCount = 92;

using Bytes = std::span<const std::uint8_t>;

bool fits(Bytes bytes, std::uint64_t offset, std::uint64_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Offsets are 64-bit so that sums cannot wrap; callers check them against a
// buffer first, so they fit std::size_t even on 32-bit hosts.
std::size_t toIndex(std::uint64_t offset) { return static_cast<std::size_t>(offset); }

std::uint16_t get16(Bytes bytes, std::uint64_t offset) {
    return static_cast<std::uint16_t>(bytes[toIndex(offset)] | (bytes[toIndex(offset + 1)] << 8));
}

std::uint32_t get32(Bytes bytes, std::uint64_t offset) {
    return static_cast<std::uint32_t>(get16(bytes, offset)) | (static_cast<std::uint32_t>(get16(bytes, offset + 2)) << 16);
}

void put16(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint16_t value) {
    bytes[toIndex(offset)] = static_cast<std::uint8_t>(value);
    bytes[toIndex(offset + 1)] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t value) {
    put16(bytes, offset, static_cast<std::uint16_t>(value));
    put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

std::uint64_t alignUp(std::uint64_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// The end of the addresses a section may claim: its virtual size, or its file
// data when that is longer, since the reader maps addresses through either.
std::uint64_t virtualEnd(const PeSection& section) {
    return std::uint64_t{section.virtualAddress} + std::max(section.virtualSize, section.rawSize);
}

std::uint32_t directoryField(const PeHeaders& headers, Bytes image, std::uint32_t index, std::uint32_t half) {
    if (index >= headers.dataDirectoryCount) return 0;
    const std::uint32_t optional = headers.peOffset + 4 + CoffHeaderSize;
    return get32(image, optional + OptionalHeaderFixedSize + index * 8 + half * 4);
}

// The file bytes behind [rva, rva + size), within one section's file data.
std::optional<std::uint64_t> fileOffsetOf(const PeHeaders& headers, std::uint32_t rva, std::uint32_t size) {
    for (const PeSection& section : headers.sections) {
        const std::uint64_t start = section.virtualAddress;
        if (rva < start) continue;
        const std::uint64_t inside = rva - start;
        if (inside < section.rawSize && size <= section.rawSize - inside) return section.rawPointer + inside;
    }
    return std::nullopt;
}

// The resource tree, read from the bytes of the region it lies in, with every
// offset relative to the region's start.
class TreeReader {
public:
    TreeReader(Bytes image, Bytes region, const PeHeaders& headers)
        : image_(image), region_(region), headers_(headers) {}

    PeError read(std::vector<Resource>& out) {
        std::vector<ResourceKey> path;
        return readDirectory(0, 0, path, out);
    }

private:
    static constexpr int LanguageLevel = 2;

    PeError readKey(std::uint32_t field, ResourceKey& key) const {
        if ((field & HighBit) == 0) {
            if (field > std::numeric_limits<std::uint16_t>::max()) return PeError::BadResourceTree;
            key = ResourceKey::fromId(static_cast<std::uint16_t>(field));
            return PeError::Ok;
        }
        const std::uint32_t offset = field & ~HighBit;
        if (!fits(region_, offset, 2)) return PeError::ResourceOutOfRange;
        const std::uint16_t length = get16(region_, offset);
        if (!fits(region_, offset + 2ull, length * 2ull)) return PeError::ResourceOutOfRange;
        key.isName = true;
        key.id = 0;
        key.name.resize(length);
        for (std::uint16_t i = 0; i < length; ++i) key.name[i] = static_cast<char16_t>(get16(region_, offset + 2ull + i * 2ull));
        return PeError::Ok;
    }

    PeError readDirectory(std::uint32_t offset, int level, std::vector<ResourceKey>& path, std::vector<Resource>& out) {
        // Shared directories would multiply the leaves; a loop would never end.
        if (!visited_.insert(offset).second) return PeError::ResourceLoop;
        if (!fits(region_, offset, DirectoryHeaderSize)) return PeError::ResourceOutOfRange;
        const std::uint32_t count = std::uint32_t{get16(region_, offset + 12)} + get16(region_, offset + 14);
        const std::uint64_t entries = std::uint64_t{offset} + DirectoryHeaderSize;
        if (!fits(region_, entries, std::uint64_t{count} * DirectoryEntrySize)) return PeError::ResourceOutOfRange;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = entries + std::uint64_t{i} * DirectoryEntrySize;
            ResourceKey key;
            if (const PeError e = readKey(get32(region_, entry), key); e != PeError::Ok) return e;
            const std::uint32_t target = get32(region_, entry + 4);
            const bool isDirectory = (target & HighBit) != 0;
            if (isDirectory == (level == LanguageLevel)) return PeError::BadResourceTree;
            if (level == LanguageLevel && key.isName) return PeError::BadResourceTree;
            path.push_back(std::move(key));
            const PeError e = isDirectory ? readDirectory(target & ~HighBit, level + 1, path, out) : readLeaf(target, path, out);
            path.pop_back();
            if (e != PeError::Ok) return e;
        }
        return PeError::Ok;
    }

    PeError readLeaf(std::uint32_t offset, const std::vector<ResourceKey>& path, std::vector<Resource>& out) {
        if (!fits(region_, offset, DataEntrySize)) return PeError::ResourceOutOfRange;
        const std::uint32_t rva = get32(region_, offset);
        const std::uint32_t size = get32(region_, offset + 4);
        // Leaves sharing their bytes could make a small file claim gigabytes.
        totalData_ += size;
        if (totalData_ > image_.size()) return PeError::ResourceDataTooLarge;
        Resource resource;
        resource.type = path[0];
        resource.name = path[1];
        resource.language = path[2].id;
        resource.codePage = get32(region_, offset + 8);
        if (size > 0) {
            const auto at = fileOffsetOf(headers_, rva, size);
            if (!at || !fits(image_, *at, size)) return PeError::ResourceOutOfRange;
            resource.data.assign(image_.begin() + static_cast<std::ptrdiff_t>(*at),
                                 image_.begin() + static_cast<std::ptrdiff_t>(*at + size));
        }
        out.push_back(std::move(resource));
        return PeError::Ok;
    }

    Bytes image_;
    Bytes region_;
    const PeHeaders& headers_;
    std::set<std::uint32_t> visited_;
    std::uint64_t totalData_ = 0;
};

// The order the format requires within one directory: names first (compared
// without regard to ASCII case, then exactly), then ids ascending.
int compareKeys(const ResourceKey& a, const ResourceKey& b) {
    if (a.isName != b.isName) return a.isName ? -1 : 1;
    if (!a.isName) return a.id < b.id ? -1 : (a.id > b.id ? 1 : 0);
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    const std::size_t common = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (upper(a.name[i]) != upper(b.name[i])) return upper(a.name[i]) < upper(b.name[i]) ? -1 : 1;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size() ? -1 : 1;
    return a.name < b.name ? -1 : (a.name > b.name ? 1 : 0);
}

bool resourceLess(const Resource& a, const Resource& b) {
    if (const int c = compareKeys(a.type, b.type); c != 0) return c < 0;
    if (const int c = compareKeys(a.name, b.name); c != 0) return c < 0;
    return a.language < b.language;
}

bool sameTypeAndName(const Resource& a, const Resource& b) { return a.type == b.type && a.name == b.name; }

// The resources of the new section: the image's own, less those that a
// change replaces, plus the changes, in the order the directory needs.
std::vector<Resource> mergedResources(std::vector<Resource> own, std::span<const Resource> changes) {
    std::erase_if(own, [&](const Resource& r) {
        return std::any_of(changes.begin(), changes.end(), [&](const Resource& c) { return sameTypeAndName(r, c); });
    });
    for (const Resource& change : changes) {
        std::erase_if(own, [&](const Resource& r) { return sameTypeAndName(r, change) && r.language == change.language; });
        own.push_back(change);
    }
    std::stable_sort(own.begin(), own.end(), resourceLess);
    return own;
}

struct Group {
    std::size_t first = 0;
    std::size_t count = 0;
};

// Runs of equal keys in the sorted list, at one level of the tree.
template <typename Same>
std::vector<Group> groupsOf(std::size_t first, std::size_t count, Same same) {
    std::vector<Group> groups;
    for (std::size_t i = first; i < first + count; ++i) {
        if (groups.empty() || !same(groups.back().first, i)) groups.push_back({i, 0});
        ++groups.back().count;
    }
    return groups;
}

// Where each part of a resource section lies, from the section's start:
// directories (root, then each type's names, then each name's languages),
// data entries, name strings, then the data, each blob 8-aligned.
struct SectionLayout {
    std::uint32_t rva = 0;  // where the section is placed in memory
    std::vector<Group> types;
    std::vector<std::vector<Group>> names;           // per type
    std::vector<std::uint64_t> nameDirectories;      // per type
    std::vector<std::uint64_t> languageDirectories;  // per name, all types in turn
    std::uint64_t dataEntries = 0;
    std::vector<std::uint64_t> typeStrings;  // per type; used by named types only
    std::vector<std::uint64_t> nameStrings;  // per name, all types in turn
    std::vector<std::uint64_t> blobs;        // per resource
    std::uint64_t size = 0;
};

std::uint64_t directorySize(std::size_t entries) { return DirectoryHeaderSize + entries * std::uint64_t{DirectoryEntrySize}; }

std::uint64_t keyStringSize(const ResourceKey& key) { return 2 + 2 * std::uint64_t{key.name.size()}; }

void groupResources(const std::vector<Resource>& resources, SectionLayout& layout) {
    const auto sameType = [&](std::size_t a, std::size_t b) { return resources[a].type == resources[b].type; };
    const auto sameName = [&](std::size_t a, std::size_t b) { return sameTypeAndName(resources[a], resources[b]); };
    layout.types = groupsOf(0, resources.size(), sameType);
    for (const Group& type : layout.types) layout.names.push_back(groupsOf(type.first, type.count, sameName));
}

void placeDirectories(SectionLayout& layout) {
    layout.size = directorySize(layout.types.size());
    for (const std::vector<Group>& typeNames : layout.names) {
        layout.nameDirectories.push_back(layout.size);
        layout.size += directorySize(typeNames.size());
    }
    for (const std::vector<Group>& typeNames : layout.names) {
        for (const Group& name : typeNames) {
            layout.languageDirectories.push_back(layout.size);
            layout.size += directorySize(name.count);
        }
    }
}

// Each named type's string, followed by its named resources' strings.
void placeStrings(const std::vector<Resource>& resources, SectionLayout& layout) {
    layout.typeStrings.assign(layout.types.size(), 0);
    for (std::size_t t = 0; t < layout.types.size(); ++t) {
        const ResourceKey& type = resources[layout.types[t].first].type;
        if (type.isName) {
            layout.typeStrings[t] = layout.size;
            layout.size += keyStringSize(type);
        }
        for (const Group& name : layout.names[t]) {
            const ResourceKey& nameKey = resources[name.first].name;
            layout.nameStrings.push_back(layout.size);
            if (nameKey.isName) layout.size += keyStringSize(nameKey);
        }
    }
}

void placeData(const std::vector<Resource>& resources, SectionLayout& layout) {
    for (const Resource& resource : resources) {
        layout.size = alignUp(layout.size, DataAlignment);
        layout.blobs.push_back(layout.size);
        layout.size += resource.data.size();
    }
}

SectionLayout layoutSection(const std::vector<Resource>& resources, std::uint32_t sectionRva) {
    SectionLayout layout;
    layout.rva = sectionRva;
    groupResources(resources, layout);
    placeDirectories(layout);
    layout.dataEntries = layout.size;
    layout.size += resources.size() * std::uint64_t{DataEntrySize};
    placeStrings(resources, layout);
    placeData(resources, layout);
    return layout;
}

// Sizes and addresses within 32 bits, entry counts within 16.
bool fitsFormat(const SectionLayout& layout) {
    if (layout.size > 0x7FFFFFFFu || layout.rva + layout.size > std::numeric_limits<std::uint32_t>::max()) return false;
    if (layout.types.size() > 0xFFFF) return false;
    return std::all_of(layout.names.begin(), layout.names.end(),
                       [](const std::vector<Group>& typeNames) { return typeNames.size() <= 0xFFFF; });
}

void writeKeyString(std::vector<std::uint8_t>& out, std::uint64_t at, const ResourceKey& key) {
    put16(out, at, static_cast<std::uint16_t>(key.name.size()));
    for (std::size_t i = 0; i < key.name.size(); ++i) put16(out, at + 2 + 2 * i, key.name[i]);
}

void writeDirectoryHeader(std::vector<std::uint8_t>& out, std::uint64_t at, std::size_t named, std::size_t ids) {
    put16(out, at + 12, static_cast<std::uint16_t>(named));
    put16(out, at + 14, static_cast<std::uint16_t>(ids));
}

void writeDirectoryEntry(std::vector<std::uint8_t>& out, std::uint64_t directory, std::size_t index, std::uint32_t key,
                         std::uint32_t target) {
    const std::uint64_t entry = directory + DirectoryHeaderSize + index * std::uint64_t{DirectoryEntrySize};
    put32(out, entry, key);
    put32(out, entry + 4, target);
}

std::uint32_t keyField(const ResourceKey& key, std::uint64_t stringAt) {
    return key.isName ? static_cast<std::uint32_t>(stringAt) | HighBit : std::uint32_t{key.id};
}

// How many of the groups are keyed by a name rather than an id, at the level `key` selects.
std::size_t countNamed(const std::vector<Resource>& resources, const std::vector<Group>& groups, ResourceKey Resource::*key) {
    return static_cast<std::size_t>(
        std::count_if(groups.begin(), groups.end(), [&](const Group& g) { return (resources[g.first].*key).isName; }));
}

std::uint64_t dataEntryOf(const SectionLayout& layout, std::size_t index) {
    return layout.dataEntries + index * std::uint64_t{DataEntrySize};
}

void writeData(std::vector<std::uint8_t>& out, const SectionLayout& layout, const Resource& resource, std::size_t index) {
    const std::uint64_t dataEntry = dataEntryOf(layout, index);
    put32(out, dataEntry, static_cast<std::uint32_t>(layout.rva + layout.blobs[index]));
    put32(out, dataEntry + 4, static_cast<std::uint32_t>(resource.data.size()));
    put32(out, dataEntry + 8, resource.codePage);
    std::copy(resource.data.begin(), resource.data.end(), out.begin() + static_cast<std::ptrdiff_t>(layout.blobs[index]));
}

// One name's languages, each pointing at its data entry.
void writeLanguageDirectory(std::vector<std::uint8_t>& out, const std::vector<Resource>& resources,
                            const SectionLayout& layout, std::size_t nameIndex, const Group& name) {
    const std::uint64_t directory = layout.languageDirectories[nameIndex];
    writeDirectoryHeader(out, directory, 0, name.count);
    for (std::size_t l = 0; l < name.count; ++l) {
        const std::size_t r = name.first + l;
        writeDirectoryEntry(out, directory, l, resources[r].language, static_cast<std::uint32_t>(dataEntryOf(layout, r)));
        writeData(out, layout, resources[r], r);
    }
}

// One type's names; `nameIndex` counts the names of all types written so far.
void writeNameDirectory(std::vector<std::uint8_t>& out, const std::vector<Resource>& resources,
                        const SectionLayout& layout, std::size_t type, std::size_t& nameIndex) {
    const std::vector<Group>& names = layout.names[type];
    const std::uint64_t directory = layout.nameDirectories[type];
    const std::size_t named = countNamed(resources, names, &Resource::name);
    writeDirectoryHeader(out, directory, named, names.size() - named);
    for (std::size_t n = 0; n < names.size(); ++n, ++nameIndex) {
        const ResourceKey& key = resources[names[n].first].name;
        if (key.isName) writeKeyString(out, layout.nameStrings[nameIndex], key);
        writeDirectoryEntry(out, directory, n, keyField(key, layout.nameStrings[nameIndex]),
                            static_cast<std::uint32_t>(layout.languageDirectories[nameIndex]) | HighBit);
        writeLanguageDirectory(out, resources, layout, nameIndex, names[n]);
    }
}

std::vector<std::uint8_t> writeSection(const std::vector<Resource>& resources, const SectionLayout& layout) {
    std::vector<std::uint8_t> out(toIndex(layout.size), 0);
    const std::size_t named = countNamed(resources, layout.types, &Resource::type);
    writeDirectoryHeader(out, 0, named, layout.types.size() - named);
    std::size_t nameIndex = 0;
    for (std::size_t t = 0; t < layout.types.size(); ++t) {
        const ResourceKey& type = resources[layout.types[t].first].type;
        if (type.isName) writeKeyString(out, layout.typeStrings[t], type);
        writeDirectoryEntry(out, 0, t, keyField(type, layout.typeStrings[t]),
                            static_cast<std::uint32_t>(layout.nameDirectories[t]) | HighBit);
        writeNameDirectory(out, resources, layout, t, nameIndex);
    }
    return out;
}

// The bytes of a resource section placed at `sectionRva`; none when the
// format cannot hold it.
std::optional<std::vector<std::uint8_t>> buildSection(const std::vector<Resource>& resources, std::uint32_t sectionRva) {
    const SectionLayout layout = layoutSection(resources, sectionRva);
    if (!fitsFormat(layout)) return std::nullopt;
    return writeSection(resources, layout);
}

// The section headers that follow the optional header.
PeError readSectionTable(Bytes image, std::uint64_t table, std::uint16_t sectionCount, PeHeaders& h) {
    if (!fits(image, table, std::uint64_t{sectionCount} * SectionHeaderSize)) return PeError::TruncatedHeaders;
    h.sectionTableOffset = static_cast<std::uint32_t>(table);
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = table + std::uint64_t{i} * SectionHeaderSize;
        PeSection section;
        for (std::uint64_t c = 0; c < 8 && image[toIndex(at + c)] != 0; ++c) section.name.push_back(static_cast<char>(image[toIndex(at + c)]));
        section.virtualSize = get32(image, at + 8);
        section.virtualAddress = get32(image, at + 12);
        section.rawSize = get32(image, at + 16);
        section.rawPointer = get32(image, at + 20);
        section.characteristics = get32(image, at + 36);
        if (section.rawSize > 0 && !fits(image, section.rawPointer, section.rawSize)) return PeError::SectionOutOfRange;
        h.sections.push_back(std::move(section));
    }
    return PeError::Ok;
}

// Whether the resource section can be rebuilt where it is: it holds the
// directory at its start, comes last in the table, in memory and in the file,
// and no other directory points into it.
bool canRebuildInPlace(const PeHeaders& headers, Bytes image, std::size_t index) {
    const PeSection& rsrc = headers.sections[index];
    if (headers.resourceRva == 0) return false;  // no resources: nothing to rebuild
    if (index + 1 != headers.sections.size() || rsrc.virtualAddress != headers.resourceRva) return false;
    // Rebuilding from its file offset on must leave every header whole.
    const std::uint64_t tableEnd = headers.sectionTableOffset + headers.sections.size() * std::uint64_t{SectionHeaderSize};
    if (rsrc.rawSize > 0 && (rsrc.rawPointer < tableEnd || rsrc.rawPointer < headers.sizeOfHeaders)) return false;
    for (std::size_t i = 0; i < index; ++i) {
        const PeSection& other = headers.sections[i];
        if (virtualEnd(other) > rsrc.virtualAddress) return false;
        if (other.rawSize > 0 && std::uint64_t{other.rawPointer} + other.rawSize > rsrc.rawPointer) return false;
    }
    const std::uint64_t end = virtualEnd(rsrc);
    for (std::uint32_t d = 0; d < headers.dataDirectoryCount; ++d) {
        if (d == ResourceDirectoryIndex || d == CertificateDirectoryIndex) continue;
        const std::uint32_t rva = directoryField(headers, image, d, 0);
        if (rva >= rsrc.virtualAddress && rva < end) return false;
    }
    return true;
}

// Where the new resource section goes, and what lies around it.
struct SectionPlacement {
    std::optional<std::size_t> inPlace;  // the resource section rebuilt where it is; none: a new last section
    std::uint64_t rva = 0;
    std::uint64_t rawPointer = 0;
    std::uint32_t oldRawSize = 0;      // file bytes of the section it replaces
    std::uint64_t lastRawEnd = 0;      // where the sections' file data ends and the overlay begins
    std::uint64_t lastVirtualEnd = 0;  // where the sections' addresses end
};

// The new section's sizes, and the image's.
struct SectionSizes {
    std::uint64_t bytes = 0;
    std::uint64_t virtualSize = 0;
    std::uint64_t rawSize = 0;
    std::uint64_t sectionEnd = 0;  // in the file
    std::uint64_t imageSize = 0;   // in memory
};

void findSectionEnds(const PeHeaders& h, Bytes image, SectionPlacement& place) {
    place.lastRawEnd = h.sizeOfHeaders;
    place.lastVirtualEnd = h.sizeOfHeaders;
    for (const PeSection& s : h.sections) {
        if (s.rawSize > 0) place.lastRawEnd = std::max(place.lastRawEnd, std::uint64_t{s.rawPointer} + s.rawSize);
        place.lastVirtualEnd = std::max(place.lastVirtualEnd, virtualEnd(s));
    }
    place.lastRawEnd = std::min<std::uint64_t>(place.lastRawEnd, image.size());
}

// The section that holds the resource directory, when it can be rebuilt where it is.
std::optional<std::size_t> rebuildableSection(const PeHeaders& h, Bytes image) {
    for (std::size_t i = 0; i < h.sections.size(); ++i) {
        const PeSection& s = h.sections[i];
        if (h.resourceRva >= s.virtualAddress && h.resourceRva < virtualEnd(s)) {
            return canRebuildInPlace(h, image, i) ? std::optional<std::size_t>(i) : std::nullopt;
        }
    }
    return std::nullopt;
}

// One more section header must fit before the first section's file data.
bool roomForSectionHeader(const PeHeaders& h, Bytes image) {
    const std::uint64_t tableEnd = h.sectionTableOffset + (h.sections.size() + 1) * std::uint64_t{SectionHeaderSize};
    std::uint64_t firstRaw = h.sizeOfHeaders;
    for (const PeSection& s : h.sections) {
        if (s.rawSize > 0) firstRaw = std::min<std::uint64_t>(firstRaw, s.rawPointer);
    }
    return tableEnd <= firstRaw && tableEnd <= image.size() && h.sections.size() < 0xFFFF;
}

PeError placeSection(const PeHeaders& h, Bytes image, SectionPlacement& place) {
    findSectionEnds(h, image, place);
    place.inPlace = rebuildableSection(h, image);
    if (place.inPlace) {
        const PeSection& s = h.sections[*place.inPlace];
        place.rva = s.virtualAddress;
        place.rawPointer = s.rawSize > 0 ? s.rawPointer : alignUp(place.lastRawEnd, h.fileAlignment);
        place.oldRawSize = s.rawSize;
        return PeError::Ok;
    }
    if (!roomForSectionHeader(h, image)) return PeError::NoRoomForSection;
    place.rva = alignUp(place.lastVirtualEnd, h.sectionAlignment);
    place.rawPointer = alignUp(place.lastRawEnd, h.fileAlignment);
    return PeError::Ok;
}

// None when the file or the image in memory would outgrow 32-bit sizes.
std::optional<SectionSizes> sectionSizes(const PeHeaders& h, Bytes image, const SectionPlacement& place,
                                         std::uint64_t sectionBytes) {
    SectionSizes sizes;
    sizes.bytes = sectionBytes;
    sizes.virtualSize = std::max<std::uint64_t>(sectionBytes, 1);
    sizes.rawSize = alignUp(sectionBytes, h.fileAlignment);
    sizes.sectionEnd = place.rawPointer + sizes.rawSize;
    sizes.imageSize = alignUp(std::max(place.lastVirtualEnd, place.rva + sizes.virtualSize), h.sectionAlignment);
    const std::uint64_t fileSize = sizes.sectionEnd + (image.size() - place.lastRawEnd);
    if (fileSize > 0x7FFFFFFFu || sizes.imageSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return sizes;
}

// Everything before the section, the section padded to the file alignment,
// then whatever followed the last section.
std::vector<std::uint8_t> assembleImage(Bytes image, const SectionPlacement& place, std::span<const std::uint8_t> section,
                                        const SectionSizes& sizes) {
    std::vector<std::uint8_t> out;
    const std::uint64_t kept = place.inPlace ? place.rawPointer : place.lastRawEnd;
    out.assign(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(kept, image.size())));
    out.resize(toIndex(place.rawPointer), 0);
    out.insert(out.end(), section.begin(), section.end());
    out.resize(toIndex(sizes.sectionEnd), 0);
    const Bytes overlay = image.subspan(toIndex(place.lastRawEnd));
    out.insert(out.end(), overlay.begin(), overlay.end());
    return out;
}

// The header of the rebuilt section, or a new ".rsrc" header after the last one.
void writeSectionHeader(std::vector<std::uint8_t>& out, const PeHeaders& h, const SectionPlacement& place,
                        const SectionSizes& sizes) {
    std::size_t header = 0;
    if (place.inPlace) {
        header = h.sectionTableOffset + *place.inPlace * SectionHeaderSize;
    } else {
        header = h.sectionTableOffset + h.sections.size() * SectionHeaderSize;
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(header), SectionHeaderSize, 0);
        static constexpr std::array<std::uint8_t, 5> Name{'.', 'r', 's', 'r', 'c'};
        std::copy(Name.begin(), Name.end(), out.begin() + static_cast<std::ptrdiff_t>(header));
        put32(out, header + 36, InitializedReadableData);
        put16(out, h.peOffset + 4 + 2, static_cast<std::uint16_t>(h.sections.size() + 1));
    }
    put32(out, header + 8, static_cast<std::uint32_t>(sizes.virtualSize));
    put32(out, header + 12, static_cast<std::uint32_t>(place.rva));
    put32(out, header + 16, static_cast<std::uint32_t>(sizes.rawSize));
    put32(out, header + 20, static_cast<std::uint32_t>(place.rawPointer));
}

// The file and optional header fields that follow the new section; the checksum last.
void updateImageHeaders(std::vector<std::uint8_t>& out, const PeHeaders& h, const SectionPlacement& place,
                        const SectionSizes& sizes) {
    const std::uint32_t coff = h.peOffset + 4;
    const std::uint32_t optional = coff + CoffHeaderSize;
    // A symbol table in the overlay moves with it.
    if (h.symbolTablePointer != 0 && h.symbolTablePointer >= place.lastRawEnd) {
        put32(out, coff + 8, static_cast<std::uint32_t>(h.symbolTablePointer - place.lastRawEnd + sizes.sectionEnd));
    }
    const std::uint64_t initialized =
        std::uint64_t{h.sizeOfInitializedData} - std::min(h.sizeOfInitializedData, place.oldRawSize) + sizes.rawSize;
    put32(out, optional + OptSizeOfInitializedData, static_cast<std::uint32_t>(std::min<std::uint64_t>(initialized, 0xFFFFFFFFu)));
    put32(out, optional + OptSizeOfImage, static_cast<std::uint32_t>(sizes.imageSize));
    const std::uint32_t resourceDirectory = optional + OptionalHeaderFixedSize + ResourceDirectoryIndex * 8;
    put32(out, resourceDirectory, static_cast<std::uint32_t>(place.rva));
    put32(out, resourceDirectory + 4, static_cast<std::uint32_t>(sizes.bytes));
    put32(out, h.checksumOffset, peChecksum(out, h.checksumOffset));
}

PeWriteResult writeFailure(PeError error) { return {error, {}}; }

}  // namespace

const char* peErrorName(PeError error) {
    switch (error) {
        case PeError::Ok: return "Ok";
        case PeError::TooSmall: return "TooSmall";
        case PeError::NoDosSignature: return "NoDosSignature";
        case PeError::PeHeaderOutOfRange: return "PeHeaderOutOfRange";
        case PeError::NoPeSignature: return "NoPeSignature";
        case PeError::TruncatedHeaders: return "TruncatedHeaders";
        case PeError::NotPe32: return "NotPe32";
        case PeError::BadOptionalHeader: return "BadOptionalHeader";
        case PeError::SectionOutOfRange: return "SectionOutOfRange";
        case PeError::ResourcesOutsideSections: return "ResourcesOutsideSections";
        case PeError::ResourceOutOfRange: return "ResourceOutOfRange";
        case PeError::ResourceLoop: return "ResourceLoop";
        case PeError::BadResourceTree: return "BadResourceTree";
        case PeError::ResourceDataTooLarge: return "ResourceDataTooLarge";
        case PeError::SignedImage: return "SignedImage";
        case PeError::NoRoomForSection: return "NoRoomForSection";
        case PeError::ImageTooLarge: return "ImageTooLarge";
    }
    return "Unknown";
}

std::string peErrorMessage(PeError error) {
    std::string text;
    switch (error) {
        case PeError::Ok: return "Ok";
        case PeError::TooSmall: text = "not a Windows executable: shorter than a DOS header"; break;
        case PeError::NoDosSignature: text = "not a Windows executable: no MZ signature"; break;
        case PeError::PeHeaderOutOfRange: text = "not a Windows executable: the PE header offset is past the end"; break;
        case PeError::NoPeSignature: text = "not a Windows executable: no PE signature"; break;
        case PeError::TruncatedHeaders: text = "damaged executable: its headers are cut short"; break;
        case PeError::NotPe32: text = "not a 32-bit Windows executable (PE32)"; break;
        case PeError::BadOptionalHeader: text = "damaged executable: bad optional header"; break;
        case PeError::SectionOutOfRange: text = "damaged executable: a section lies past the end of the file"; break;
        case PeError::ResourcesOutsideSections: text = "damaged executable: the resource directory is in no section"; break;
        case PeError::ResourceOutOfRange: text = "damaged executable: a resource offset or size is out of range"; break;
        case PeError::ResourceLoop: text = "damaged executable: the resource directory loops"; break;
        case PeError::BadResourceTree: text = "damaged executable: the resource directory is not type, name, language"; break;
        case PeError::ResourceDataTooLarge: text = "damaged executable: its resources claim more bytes than the file holds"; break;
        case PeError::SignedImage: text = "the executable is signed; changing it would break the signature"; break;
        case PeError::NoRoomForSection: text = "the executable's headers have no room for a resource section"; break;
        case PeError::ImageTooLarge: text = "the resources would make the executable too large"; break;
    }
    return text + " (" + peErrorName(error) + ")";
}

ResourceKey ResourceKey::fromName(std::string_view ascii) {
    ResourceKey key;
    key.isName = true;
    for (const char c : ascii) key.name.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return key;
}


PeHeadersResult readPeHeaders(Bytes image) {
    PeHeadersResult result;
    PeHeaders& h = result.headers;
    const auto failWith = [&](PeError e) {
        result.error = e;
        return result;
    };
    if (image.size() < DosHeaderSize) return failWith(PeError::TooSmall);
    if (image[0] != 'M' || image[1] != 'Z') return failWith(PeError::NoDosSignature);
    h.peOffset = get32(image, PeOffsetField);
    if (!fits(image, h.peOffset, 4)) return failWith(PeError::PeHeaderOutOfRange);
    if (get32(image, h.peOffset) != 0x00004550u) return failWith(PeError::NoPeSignature);
    const std::uint64_t coff = std::uint64_t{h.peOffset} + 4;
    if (!fits(image, coff, CoffHeaderSize)) return failWith(PeError::TruncatedHeaders);
    const std::uint16_t sectionCount = get16(image, coff + 2);
    h.symbolTablePointer = get32(image, coff + 8);
    const std::uint16_t optionalSize = get16(image, coff + 16);
    const std::uint64_t optional = coff + CoffHeaderSize;
    if (!fits(image, optional, 2)) return failWith(PeError::TruncatedHeaders);
    if (get16(image, optional) != Pe32Magic) return failWith(PeError::NotPe32);
    if (optionalSize < OptionalHeaderFixedSize) return failWith(PeError::BadOptionalHeader);
    if (!fits(image, optional, optionalSize)) return failWith(PeError::TruncatedHeaders);

    h.sizeOfInitializedData = get32(image, optional + OptSizeOfInitializedData);
    h.sectionAlignment = get32(image, optional + OptSectionAlignment);
    h.fileAlignment = get32(image, optional + OptFileAlignment);
    h.sizeOfImage = get32(image, optional + OptSizeOfImage);
    h.sizeOfHeaders = get32(image, optional + OptSizeOfHeaders);
    h.checksumOffset = static_cast<std::uint32_t>(optional + OptCheckSum);
    h.checksum = get32(image, optional + OptCheckSum);
    h.dataDirectoryCount = get32(image, optional + OptDirectoryCount);
    if (h.dataDirectoryCount > (optionalSize - OptionalHeaderFixedSize) / 8u) return failWith(PeError::BadOptionalHeader);
    if (!isPowerOfTwo(h.sectionAlignment) || !isPowerOfTwo(h.fileAlignment) || h.fileAlignment > h.sectionAlignment) {
        return failWith(PeError::BadOptionalHeader);
    }
    h.resourceRva = directoryField(h, image, ResourceDirectoryIndex, 0);
    h.resourceSize = directoryField(h, image, ResourceDirectoryIndex, 1);
    h.certificateSize = directoryField(h, image, CertificateDirectoryIndex, 1);

    result.error = readSectionTable(image, optional + optionalSize, sectionCount, h);
    return result;
}

PeResourcesResult readPeResources(Bytes image) {
    PeResourcesResult result;
    const PeHeadersResult headers = readPeHeaders(image);
    if (headers.error != PeError::Ok) {
        result.error = headers.error;
        return result;
    }
    const PeHeaders& h = headers.headers;
    if (h.resourceRva == 0) return result;
    for (const PeSection& section : h.sections) {
        if (h.resourceRva < section.virtualAddress || h.resourceRva - section.virtualAddress >= section.rawSize) continue;
        const std::uint32_t inside = h.resourceRva - section.virtualAddress;
        const Bytes region = image.subspan(section.rawPointer + inside, section.rawSize - inside);
        result.error = TreeReader(image, region, h).read(result.resources);
        if (result.error != PeError::Ok) result.resources.clear();
        return result;
    }
    result.error = PeError::ResourcesOutsideSections;
    return result;
}

std::uint32_t peChecksum(Bytes image, std::uint32_t checksumOffset) {
    std::uint64_t sum = 0;
    // The field's four bytes count as zero wherever they fall, even at an odd offset.
    const auto byteAt = [&](std::size_t i) -> std::uint32_t {
        if (i >= image.size() || (i >= checksumOffset && i - checksumOffset < 4)) return 0;
        return image[i];
    };
    for (std::size_t i = 0; i < image.size(); i += 2) {
        sum += byteAt(i) | (byteAt(i + 1) << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + image.size());
}

PeWriteResult writePeResources(Bytes image, std::span<const Resource> changes) {
    const PeHeadersResult parsed = readPeHeaders(image);
    if (parsed.error != PeError::Ok) return writeFailure(parsed.error);
    const PeHeaders& h = parsed.headers;
    if (h.certificateSize != 0) return writeFailure(PeError::SignedImage);
    if (h.dataDirectoryCount <= ResourceDirectoryIndex) return writeFailure(PeError::BadOptionalHeader);
    PeResourcesResult own = readPeResources(image);
    if (own.error != PeError::Ok) return writeFailure(own.error);
    const std::vector<Resource> resources = mergedResources(std::move(own.resources), changes);

    SectionPlacement place;
    if (const PeError e = placeSection(h, image, place); e != PeError::Ok) return writeFailure(e);
    if (place.rva > std::numeric_limits<std::uint32_t>::max()) return writeFailure(PeError::ImageTooLarge);
    const auto section = buildSection(resources, static_cast<std::uint32_t>(place.rva));
    if (!section) return writeFailure(PeError::ImageTooLarge);
    const auto sizes = sectionSizes(h, image, place, section->size());
    if (!sizes) return writeFailure(PeError::ImageTooLarge);

    PeWriteResult result;
    result.image = assembleImage(image, place, *section, *sizes);
    writeSectionHeader(result.image, h, place, *sizes);
    updateImageHeaders(result.image, h, place, *sizes);
    return result;
}

const Resource* findResource(std::span<const Resource> resources, const ResourceKey& type, const ResourceKey& name) {
    for (const Resource& resource : resources) {
        if (resource.type == type && resource.name == name) return &resource;
    }
    return nullptr;
}
