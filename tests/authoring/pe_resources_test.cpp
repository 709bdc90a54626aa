// The executable resource reader and writer on small PE32 images built here
// byte by byte: what is read, what is written, and damaged images.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"

void PrintTo(const ResourceKey& key, std::ostream* os) {
    if (!key.isName) {
        *os << key.id;
        return;
    }
    *os << '"';
    for (const char16_t c : key.name) *os << (c < 128 ? static_cast<char>(c) : '?');
    *os << '"';
}

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

Resource resource(ResourceKey type, ResourceKey name, std::uint16_t language, std::string_view data) {
    Resource r;
    r.type = std::move(type);
    r.name = std::move(name);
    r.language = language;
    r.data = bytesOf(data);
    return r;
}

ResourceKey id(std::uint16_t value) { return ResourceKey::fromId(value); }
ResourceKey named(std::string_view text) { return ResourceKey::fromName(text); }
ResourceKey utf16(std::u16string text) { return {true, 0, std::move(text)}; }

// A resource tree laid out depth first (the writer lays it out breadth
// first), for a list already in directory order: directories, then the name
// strings, then the data, each blob 4-aligned.
class DepthFirstTree {
public:
    explicit DepthFirstTree(const std::vector<Resource>& resources) : resources_(resources) {}

    Bytes build(std::uint32_t sectionRva) {
        directory(0, resources_.size(), 0);
        writeStrings();
        writeData(sectionRva);
        return out_;
    }

private:
    static constexpr int LanguageLevel = 2;
    using Group = std::pair<std::size_t, std::size_t>;  // resources [first, last)

    const ResourceKey& keyAt(std::size_t r, int level) const {
        return level == 0 ? resources_[r].type : resources_[r].name;
    }

    // Every language is a group of its own.
    std::vector<Group> groupsOf(std::size_t first, std::size_t last, int level) const {
        std::vector<Group> groups;
        for (std::size_t r = first; r < last; ++r) {
            if (level != LanguageLevel && !groups.empty() && keyAt(groups.back().first, level) == keyAt(r, level)) {
                groups.back().second = r + 1;
            } else {
                groups.emplace_back(r, r + 1);
            }
        }
        return groups;
    }

    // Writes the directory of resources [first, last) at `level`; returns its offset.
    std::size_t directory(std::size_t first, std::size_t last, int level) {
        const std::vector<Group> groups = groupsOf(first, last, level);
        const std::size_t at = out_.size();
        out_.resize(at + 16 + 8 * groups.size());
        std::size_t namedCount = 0;
        for (const Group& g : groups) namedCount += level < LanguageLevel && keyAt(g.first, level).isName ? 1u : 0u;
        put16(out_, at + 12, static_cast<std::uint32_t>(namedCount));
        put16(out_, at + 14, static_cast<std::uint32_t>(groups.size() - namedCount));
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const std::size_t entry = at + 16 + 8 * i;
            if (level == LanguageLevel) {
                languageEntry(entry, groups[i].first);
            } else {
                keyEntry(entry, keyAt(groups[i].first, level));
                const std::size_t child = directory(groups[i].first, groups[i].second, level + 1);
                put32(out_, entry + 4, static_cast<std::uint32_t>(child) | 0x80000000u);
            }
        }
        return at;
    }

    void languageEntry(std::size_t entry, std::size_t r) {
        put32(out_, entry, resources_[r].language);
        const std::size_t dataEntry = out_.size();
        out_.resize(dataEntry + 16);
        put32(out_, entry + 4, static_cast<std::uint32_t>(dataEntry));
        dataPatches_.emplace_back(dataEntry, r);
    }

    void keyEntry(std::size_t entry, const ResourceKey& key) {
        if (key.isName) {
            stringPatches_.emplace_back(entry, key);
        } else {
            put32(out_, entry, key.id);
        }
    }

    void writeStrings() {
        for (const auto& [entry, key] : stringPatches_) {
            const std::size_t at = out_.size();
            out_.resize(at + 2 + 2 * key.name.size());
            put16(out_, at, static_cast<std::uint32_t>(key.name.size()));
            for (std::size_t i = 0; i < key.name.size(); ++i) put16(out_, at + 2 + 2 * i, key.name[i]);
            put32(out_, entry, static_cast<std::uint32_t>(at) | 0x80000000u);
        }
    }

    void writeData(std::uint32_t sectionRva) {
        for (const auto& [dataEntry, r] : dataPatches_) {
            out_.resize((out_.size() + 3) & ~std::size_t{3});
            const std::size_t at = out_.size();
            out_.insert(out_.end(), resources_[r].data.begin(), resources_[r].data.end());
            put32(out_, dataEntry, static_cast<std::uint32_t>(sectionRva + at));
            put32(out_, dataEntry + 4, static_cast<std::uint32_t>(resources_[r].data.size()));
        }
    }

    const std::vector<Resource>& resources_;
    Bytes out_;
    std::vector<std::pair<std::size_t, ResourceKey>> stringPatches_;  // directory entry, its name
    std::vector<std::pair<std::size_t, std::size_t>> dataPatches_;    // data entry, resource
};

Bytes resourceTree(const std::vector<Resource>& resources, std::uint32_t sectionRva) {
    return DepthFirstTree(resources).build(sectionRva);
}

constexpr std::uint32_t PeOffset = 0x40;
constexpr std::uint32_t Coff = PeOffset + 4;
constexpr std::uint32_t Optional = Coff + 20;
constexpr std::uint32_t Directories = Optional + 96;
constexpr std::uint32_t SectionTable = Optional + 224;
constexpr std::uint32_t FileAlignment = 0x200;
constexpr std::uint32_t SectionAlignment = 0x1000;

struct TestSection {
    std::string name;
    Bytes bytes;
    std::uint32_t characteristics = 0x40000040;
};

struct ImagePlan {
    std::vector<TestSection> sections;
    int resourceSection = -1;  // index into sections, -1: none
    Bytes overlay;
    bool symbolTableInOverlay = false;
};

std::uint32_t alignTo(std::size_t value, std::uint32_t alignment) {
    return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

// A PE32 image: DOS header, PE signature, COFF and optional headers with 16
// data directories, the sections one after another, then the overlay.
Bytes buildImage(const ImagePlan& plan) {
    Bytes image(FileAlignment, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, PeOffset);
    image[PeOffset] = 'P';
    image[PeOffset + 1] = 'E';
    put16(image, Coff, 0x14C);
    put16(image, Coff + 2, static_cast<std::uint32_t>(plan.sections.size()));
    put16(image, Coff + 16, 224);
    put16(image, Coff + 18, 0x0102);
    put16(image, Optional, 0x10B);
    put32(image, Optional + 32, SectionAlignment);
    put32(image, Optional + 36, FileAlignment);
    put32(image, Optional + 60, FileAlignment);
    put32(image, Optional + 92, 16);
    std::uint32_t rva = SectionAlignment;
    std::uint32_t initialized = 0;
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        const TestSection& s = plan.sections[i];
        const std::size_t header = SectionTable + 40 * i;
        std::copy(s.name.begin(), s.name.end(), image.begin() + static_cast<std::ptrdiff_t>(header));
        const std::uint32_t raw = static_cast<std::uint32_t>(image.size());
        put32(image, header + 8, static_cast<std::uint32_t>(s.bytes.size()));
        put32(image, header + 12, rva);
        put32(image, header + 16, alignTo(s.bytes.size(), FileAlignment));
        put32(image, header + 20, raw);
        put32(image, header + 36, s.characteristics);
        image.insert(image.end(), s.bytes.begin(), s.bytes.end());
        image.resize(alignTo(image.size(), FileAlignment), 0);
        if (static_cast<int>(i) == plan.resourceSection) {
            put32(image, Directories + 16, rva);
            put32(image, Directories + 20, static_cast<std::uint32_t>(s.bytes.size()));
        }
        if ((s.characteristics & 0x40) != 0) initialized += alignTo(s.bytes.size(), FileAlignment);
        rva += alignTo(s.bytes.size(), SectionAlignment);
    }
    put32(image, Optional + 8, initialized);
    put32(image, Optional + 56, rva);
    if (plan.symbolTableInOverlay) put32(image, Coff + 8, static_cast<std::uint32_t>(image.size()));
    image.insert(image.end(), plan.overlay.begin(), plan.overlay.end());
    put32(image, Optional + 64, peChecksum(image, Optional + 64));
    return image;
}

// The player's kind of resources, in directory order: named types first,
// a named resource name, two languages of one icon.
std::vector<Resource> ownResources() {
    return {
        resource(named("IMG"), id(401), 0x0409, "old picture"),
        resource(named("ZZ"), utf16(u"Caf\u00e9\u20ac"), 0x0409, "named name"),
        resource(id(3), id(1), 0x0409, "icon en"),
        resource(id(3), id(1), 0x040C, "icon fr"),
        resource(id(10), named("NOTES"), 0, "text"),
        resource(id(10), id(7), 0, ""),
        resource(id(16), id(1), 0x0409, "version block"),
    };
}

constexpr std::uint32_t ResourceRvaFirst = 0x2000;  // after one code section of a page

std::uint32_t resourceRawSize() { return alignTo(resourceTree(ownResources(), ResourceRvaFirst).size(), FileAlignment); }

Bytes codeBytes() {
    Bytes code(300);
    for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return code;
}

ImagePlan playerPlan(bool resourcesLast, Bytes overlay = {}, bool symbols = false) {
    ImagePlan plan;
    plan.sections.push_back({".text", codeBytes(), 0x60000020});
    plan.sections.push_back({".rsrc", resourceTree(ownResources(), ResourceRvaFirst)});
    plan.resourceSection = 1;
    if (!resourcesLast) plan.sections.push_back({".reloc", Bytes(40, 0xAB), 0x42000040});
    plan.overlay = std::move(overlay);
    plan.symbolTableInOverlay = symbols;
    return plan;
}

std::vector<Resource> quizChanges() {
    return {
        resource(named("PATCH"), id(105), 0x0409, "codes"),
        resource(named("PATCH"), id(104), 0x0409, "definition"),
        resource(named("IMG"), id(401), 0x0409, std::string("\xFF\xD8new picture", 13)),
        resource(id(10), id(402), 0x0409, std::string("\x89PNG\r\n\x1A\n", 8)),
    };
}

bool sameResources(const std::vector<Resource>& a, const std::vector<Resource>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!(a[i].type == b[i].type) || !(a[i].name == b[i].name) || a[i].language != b[i].language ||
            a[i].data != b[i].data) {
            return false;
        }
    }
    return true;
}

// The order a resource directory requires, stated here apart from the writer:
// names before ids, names compared with ASCII letters in capitals, then as
// they are; ids ascending.
bool keyBefore(const ResourceKey& a, const ResourceKey& b) {
    if (a.isName != b.isName) return a.isName;
    if (!a.isName) return a.id < b.id;
    const auto upper = [](std::u16string text) {
        for (char16_t& c : text) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
        return text;
    };
    const std::u16string ua = upper(a.name);
    const std::u16string ub = upper(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
}

bool directoryOrder(const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return keyBefore(a.type, b.type);
    if (!(a.name == b.name)) return keyBefore(a.name, b.name);
    return a.language < b.language;
}

TEST(PeResources, ReadsTheTreeAsBuilt) {
    const Bytes image = buildImage(playerPlan(true));
    const PeResourcesResult read = readPeResources(image);
    ASSERT_EQ(read.error, PeError::Ok) << peErrorName(read.error);
    EXPECT_TRUE(sameResources(read.resources, ownResources()));
    ASSERT_EQ(read.resources.size(), ownResources().size());
    EXPECT_EQ(read.resources[1].name.name, u"Caf\u00e9\u20ac") << "UTF-16 names are kept whole";
}

TEST(PeResources, ReadsHeaders) {
    const Bytes image = buildImage(playerPlan(false));
    const PeHeadersResult headers = readPeHeaders(image);
    ASSERT_EQ(headers.error, PeError::Ok);
    ASSERT_EQ(headers.headers.sections.size(), 3u);
    EXPECT_EQ(headers.headers.sections[1].name, ".rsrc");
    EXPECT_EQ(headers.headers.sections[1].virtualAddress, ResourceRvaFirst);
    EXPECT_EQ(headers.headers.sections[2].rawPointer, 0x400u + resourceRawSize());
    EXPECT_EQ(headers.headers.resourceRva, ResourceRvaFirst);
    EXPECT_EQ(headers.headers.fileAlignment, FileAlignment);
    EXPECT_EQ(headers.headers.checksum, peChecksum(image, headers.headers.checksumOffset));
}

TEST(PeResources, WritesNamesFirstThenIds) {
    const std::vector<ResourceKey> sorted{named("IMG"), named("img2"), named("PATCH"), id(3), id(10), id(401)};
    std::vector<Resource> changes;
    for (auto key = sorted.rbegin(); key != sorted.rend(); ++key) changes.push_back(resource(*key, id(999), 0, "x"));
    const PeWriteResult written = writePeResources(buildImage(playerPlan(false)), changes);
    ASSERT_EQ(written.error, PeError::Ok) << peErrorName(written.error);
    const PeResourcesResult read = readPeResources(written.image);
    std::vector<ResourceKey> types;
    for (const Resource& r : read.resources) {
        if (r.name == id(999)) types.push_back(r.type);
    }
    EXPECT_EQ(types, sorted);
}

TEST(PeResources, ChecksumIsTheFoldedWordSumPlusTheLength) {
    struct Case {
        Bytes bytes;
        std::uint32_t checksumOffset;
        std::uint32_t expected;
    };
    const std::vector<Case> cases = {
        {Bytes(100, 0), 64, 100},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 64, 0xFFFF + 4},               // 0x1FFFE folds to 0xFFFF
        {{0x01, 0x02, 0x03}, 64, 0x0201 + 0x0003 + 3},            // an odd last byte is a low byte
        {{0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2, 3 + 8},  // the checksum field counts as zero
    };
    for (const Case& c : cases) EXPECT_EQ(peChecksum(c.bytes, c.checksumOffset), c.expected);
}

struct WriteCase {
    const char* what;
    bool resourcesLast;
    bool withOverlay;
};

class PeWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(PeWrite, AddsAndReplacesAndReadsBack) {
    const WriteCase& c = GetParam();
    const Bytes overlay = c.withOverlay ? bytesOf("symbols and strings after the sections") : Bytes{};
    const Bytes image = buildImage(playerPlan(c.resourcesLast, overlay, c.withOverlay));
    const PeWriteResult written = writePeResources(image, quizChanges());
    ASSERT_EQ(written.error, PeError::Ok) << peErrorName(written.error);

    const PeResourcesResult read = readPeResources(written.image);
    ASSERT_EQ(read.error, PeError::Ok) << peErrorName(read.error);
    std::vector<Resource> expected = ownResources();
    expected.erase(expected.begin());  // IMG 401 is replaced
    for (const Resource& r : quizChanges()) expected.push_back(r);
    std::stable_sort(expected.begin(), expected.end(), directoryOrder);
    EXPECT_TRUE(sameResources(read.resources, expected));
    EXPECT_TRUE(std::is_sorted(read.resources.begin(), read.resources.end(), directoryOrder));
    const Resource* picture = findResource(read.resources, named("IMG"), id(401));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->data, quizChanges()[2].data);
}

TEST_P(PeWrite, FixesTheHeaders) {
    const WriteCase& c = GetParam();
    const Bytes overlay = c.withOverlay ? bytesOf("symbols and strings after the sections") : Bytes{};
    const Bytes image = buildImage(playerPlan(c.resourcesLast, overlay, c.withOverlay));
    const PeWriteResult written = writePeResources(image, quizChanges());
    ASSERT_EQ(written.error, PeError::Ok);
    const PeHeaders before = readPeHeaders(image).headers;
    const PeHeadersResult after = readPeHeaders(written.image);
    ASSERT_EQ(after.error, PeError::Ok);
    const PeHeaders& h = after.headers;

    const std::size_t expectedSections = before.sections.size() + (c.resourcesLast ? 0 : 1);
    ASSERT_EQ(h.sections.size(), expectedSections);
    const PeSection& rsrc = h.sections.back();
    EXPECT_EQ(rsrc.name, ".rsrc");
    EXPECT_EQ(h.resourceRva, rsrc.virtualAddress);
    EXPECT_EQ(h.resourceSize, rsrc.virtualSize);
    EXPECT_EQ(rsrc.rawSize % FileAlignment, 0u);
    EXPECT_GE(rsrc.rawSize, rsrc.virtualSize);
    EXPECT_EQ(rsrc.virtualAddress % SectionAlignment, 0u);
    EXPECT_EQ(rsrc.rawPointer % FileAlignment, 0u);
    EXPECT_EQ(h.sizeOfImage, alignTo(std::size_t{rsrc.virtualAddress} + rsrc.virtualSize, SectionAlignment));
    if (c.resourcesLast) {
        EXPECT_EQ(rsrc.virtualAddress, ResourceRvaFirst) << "rebuilt in place";
        EXPECT_EQ(rsrc.rawPointer, before.sections[1].rawPointer);
        EXPECT_EQ(h.sizeOfInitializedData, before.sizeOfInitializedData - before.sections[1].rawSize + rsrc.rawSize);
    } else {
        EXPECT_EQ(rsrc.virtualAddress, 0x4000u) << "appended after .reloc";
        EXPECT_EQ(rsrc.characteristics, 0x40000040u);
        EXPECT_EQ(h.sizeOfInitializedData, before.sizeOfInitializedData + rsrc.rawSize);
        // The sections before are untouched, bytes and headers.
        for (std::size_t i = 0; i < before.sections.size(); ++i) {
            EXPECT_EQ(h.sections[i].rawPointer, before.sections[i].rawPointer);
            EXPECT_EQ(h.sections[i].rawSize, before.sections[i].rawSize);
        }
        const auto sectionsEnd = image.end() - static_cast<std::ptrdiff_t>(overlay.size());
        EXPECT_TRUE(std::equal(image.begin() + 0x200, sectionsEnd, written.image.begin() + 0x200));
    }
    EXPECT_EQ(h.checksum, peChecksum(written.image, h.checksumOffset));
    EXPECT_NE(h.checksum, before.checksum);

    const std::size_t end = std::size_t{rsrc.rawPointer} + rsrc.rawSize;
    ASSERT_EQ(written.image.size(), end + overlay.size());
    EXPECT_TRUE(std::equal(overlay.begin(), overlay.end(), written.image.begin() + static_cast<std::ptrdiff_t>(end)))
        << "the overlay follows the last section";
    if (c.withOverlay) {
        EXPECT_EQ(h.symbolTablePointer, end) << "the symbol table pointer follows the overlay";
    }
}

TEST_P(PeWrite, SameInputsGiveTheSameBytes) {
    const WriteCase& c = GetParam();
    const Bytes image = buildImage(playerPlan(c.resourcesLast, c.withOverlay ? bytesOf("tail") : Bytes{}, c.withOverlay));
    std::vector<Resource> shuffled = quizChanges();
    std::reverse(shuffled.begin(), shuffled.end());
    const PeWriteResult first = writePeResources(image, quizChanges());
    const PeWriteResult second = writePeResources(image, quizChanges());
    const PeWriteResult reordered = writePeResources(image, shuffled);
    ASSERT_EQ(first.error, PeError::Ok);
    EXPECT_EQ(first.image, second.image);
    EXPECT_EQ(first.image, reordered.image) << "the order of the changes does not matter";
    // Rebuilt again with the same resources, the last section comes out the same.
    const PeWriteResult again = writePeResources(first.image, quizChanges());
    ASSERT_EQ(again.error, PeError::Ok);
    EXPECT_EQ(again.image, first.image);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PeWrite,
                         ::testing::Values(WriteCase{"ResourcesLast", true, false},
                                           WriteCase{"ResourcesLastWithOverlay", true, true},
                                           WriteCase{"ResourcesInside", false, false},
                                           WriteCase{"ResourcesInsideWithOverlay", false, true}),
                         [](const ::testing::TestParamInfo<WriteCase>& param) { return std::string(param.param.what); });

TEST(PeResources, ImageWithoutResourcesGetsANewSection) {
    ImagePlan plan;
    plan.sections.push_back({".text", codeBytes(), 0x60000020});
    const Bytes image = buildImage(plan);
    const PeResourcesResult none = readPeResources(image);
    ASSERT_EQ(none.error, PeError::Ok);
    EXPECT_TRUE(none.resources.empty());
    const PeWriteResult written = writePeResources(image, quizChanges());
    ASSERT_EQ(written.error, PeError::Ok);
    const PeResourcesResult read = readPeResources(written.image);
    ASSERT_EQ(read.error, PeError::Ok);
    std::vector<Resource> expected = quizChanges();
    std::stable_sort(expected.begin(), expected.end(), directoryOrder);
    EXPECT_TRUE(sameResources(read.resources, expected));
    EXPECT_EQ(readPeHeaders(written.image).headers.sections.size(), 2u);
}

// An image whose field at `offset` is overwritten with `value`.
Bytes patched(Bytes image, std::size_t offset, std::uint32_t value, int width = 4) {
    if (width == 2) {
        put16(image, offset, value);
    } else {
        put32(image, offset, value);
    }
    return image;
}

TEST(PeResources, DamagedImagesGetTheirNamedError) {
    const Bytes good = buildImage(playerPlan(true));
    const std::uint32_t rsrcRaw = 0x400;  // the resource section's file offset
    struct Case {
        const char* what;
        Bytes image;
        PeError expected;
    };
    Bytes noPe = good;
    noPe[PeOffset + 1] = 'X';
    Bytes noMz = good;
    noMz[0] = 'Z';
    const std::vector<Case> cases = {
        {"empty", {}, PeError::TooSmall},
        {"a few bytes", bytesOf("MZ  "), PeError::TooSmall},
        {"text", Bytes(200, 'a'), PeError::NoDosSignature},
        {"no MZ", noMz, PeError::NoDosSignature},
        {"PE offset past the end", patched(good, 0x3C, 0xFFFFFFF0u), PeError::PeHeaderOutOfRange},
        {"PE offset at the very end", patched(good, 0x3C, static_cast<std::uint32_t>(good.size() - 2)), PeError::PeHeaderOutOfRange},
        {"no PE signature", noPe, PeError::NoPeSignature},
        {"headers cut", Bytes(good.begin(), good.begin() + Optional + 50), PeError::TruncatedHeaders},
        {"PE32+", patched(good, Optional, 0x20B, 2), PeError::NotPe32},
        {"short optional header", patched(good, Coff + 16, 90, 2), PeError::BadOptionalHeader},
        {"too many directories", patched(good, Optional + 92, 100), PeError::BadOptionalHeader},
        {"file alignment zero", patched(good, Optional + 36, 0), PeError::BadOptionalHeader},
        {"section alignment not a power of two", patched(good, Optional + 32, 0x1800), PeError::BadOptionalHeader},
        {"section table past the end", patched(good, Coff + 2, 2000, 2), PeError::TruncatedHeaders},
        {"section past the end", patched(good, SectionTable + 40 + 16, 0x10000), PeError::SectionOutOfRange},
        {"section offset wraps", patched(good, SectionTable + 40 + 20, 0xFFFFFF00u), PeError::SectionOutOfRange},
        {"directory in no section", patched(good, Directories + 16, 0x9000), PeError::ResourcesOutsideSections},
        {"root count past the end", patched(good, rsrcRaw + 14, 0xFFFF, 2), PeError::ResourceOutOfRange},
        {"subdirectory past the end", patched(good, rsrcRaw + 16 + 4, 0x8000FFF0u), PeError::ResourceOutOfRange},
        {"name string past the end", patched(good, rsrcRaw + 16, 0x8000FFF0u), PeError::ResourceOutOfRange},
        {"directory is its own child", patched(good, rsrcRaw + 16 + 4, 0x80000000u), PeError::ResourceLoop},
        {"data entry at the type level", patched(good, rsrcRaw + 16 + 4, 0x10), PeError::BadResourceTree},
        {"id over 16 bits", patched(good, rsrcRaw + 16 + 8 * 2, 0x10003), PeError::BadResourceTree},
    };
    for (const Case& c : cases) {
        const PeResourcesResult read = readPeResources(c.image);
        EXPECT_EQ(read.error, c.expected) << c.what << ": got " << peErrorName(read.error);
        EXPECT_TRUE(read.resources.empty()) << c.what;
        const PeWriteResult written = writePeResources(c.image, quizChanges());
        EXPECT_EQ(written.error, c.expected) << c.what << " (writing)";
        EXPECT_TRUE(written.image.empty()) << c.what;
        EXPECT_NE(peErrorMessage(c.expected).find(peErrorName(c.expected)), std::string::npos);
    }
}

// The data entry of the first leaf, found by walking the tree as built.
std::size_t firstDataEntry(const Bytes& image, std::size_t rsrcRaw) {
    std::size_t directory = rsrcRaw;
    for (int level = 0; level < 3; ++level) {
        const std::uint32_t target = get32(image, directory + 16 + 4);
        directory = rsrcRaw + (target & 0x7FFFFFFFu);
    }
    return directory;
}

TEST(PeResources, LeavesOutOfRangeAreRefused) {
    const Bytes good = buildImage(playerPlan(true));
    const std::size_t entry = firstDataEntry(good, 0x400);
    ASSERT_EQ(get32(good, entry + 4), ownResources()[0].data.size()) << "the test walks to the first leaf";
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        PeError expected;
    };
    const std::vector<Case> cases = {
        {"data RVA in no section", entry, 0x00900000, PeError::ResourceOutOfRange},
        {"data RVA before the sections", entry, 0x10, PeError::ResourceOutOfRange},
        {"data running past its section", entry, ResourceRvaFirst + resourceRawSize() - 4, PeError::ResourceOutOfRange},
        {"data size wraps", entry + 4, 0xFFFFFFF0u, PeError::ResourceDataTooLarge},
        {"data larger than the file", entry + 4, 0x00100000, PeError::ResourceDataTooLarge},
    };
    for (const Case& c : cases) {
        const PeResourcesResult read = readPeResources(patched(good, c.offset, c.value));
        EXPECT_EQ(read.error, c.expected) << c.what << ": got " << peErrorName(read.error);
    }
}

TEST(PeResources, SharedSubdirectoriesAreRefused) {
    // The second type points at the first type's name directory: a small file
    // could otherwise list the same leaves again and again.
    const Bytes good = buildImage(playerPlan(true));
    const std::uint32_t firstChild = get32(good, 0x400 + 16 + 4);
    const PeResourcesResult read = readPeResources(patched(good, 0x400 + 16 + 8 + 4, firstChild));
    EXPECT_EQ(read.error, PeError::ResourceLoop);
}

TEST(PeResources, ResourceSectionOverTheHeadersIsRefused) {
    // A last section whose file data starts at offset 0 overlaps the headers:
    // rebuilding it in place would overwrite them, and no section header fits.
    const Bytes image = patched(buildImage(playerPlan(true)), SectionTable + 40 + 20, 0);
    ASSERT_EQ(readPeResources(image).error, PeError::Ok) << "reading it is harmless";
    const PeWriteResult written = writePeResources(image, quizChanges());
    EXPECT_EQ(written.error, PeError::NoRoomForSection) << peErrorName(written.error);
    EXPECT_TRUE(written.image.empty());
}

TEST(PeResources, SignedImagesAreNotRewritten) {
    const Bytes image = patched(buildImage(playerPlan(true)), Directories + 4 * 8 + 4, 0x100);
    EXPECT_EQ(readPeResources(image).error, PeError::Ok) << "reading is fine";
    EXPECT_EQ(writePeResources(image, quizChanges()).error, PeError::SignedImage);
}

TEST(PeResources, NoRoomForANewSectionHeader) {
    // The section table runs up to the first section's data: no 41st byte spare.
    Bytes image = buildImage(playerPlan(false));
    const std::uint32_t tableEnd = SectionTable + 3 * 40;
    put32(image, SectionTable + 20, tableEnd + 8);  // .text data begins right after the table
    EXPECT_EQ(writePeResources(image, quizChanges()).error, PeError::NoRoomForSection);
}

TEST(PeResources, TruncatedImagesNeverReadPastTheirEnd) {
    const Bytes overlay = bytesOf("after the sections");
    const Bytes image = buildImage(playerPlan(true, overlay));
    const std::size_t sectionsEnd = image.size() - overlay.size();
    std::map<PeError, int> seen;
    for (std::size_t cut = 0; cut < image.size(); ++cut) {
        // A copy of exactly `cut` bytes, so the sanitizer sees any read beyond.
        const Bytes head(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(cut));
        const PeResourcesResult read = readPeResources(head);
        if (cut < sectionsEnd) {
            EXPECT_NE(read.error, PeError::Ok) << "cut at " << cut;
            EXPECT_TRUE(read.resources.empty());
        } else {
            EXPECT_EQ(read.error, PeError::Ok) << "only the overlay is cut, at " << cut;
        }
        ++seen[read.error];
    }
    for (const PeError e : {PeError::TooSmall, PeError::PeHeaderOutOfRange, PeError::TruncatedHeaders,
                            PeError::SectionOutOfRange}) {
        EXPECT_GT(seen[e], 0) << peErrorName(e) << " never came up";
    }
}

TEST(PeResources, FlippedBytesGiveAResultOrAWorkingImage) {
    const Bytes image = buildImage(playerPlan(true));
    const std::size_t rsrcEnd = 0x400 + resourceRawSize();
    std::set<PeError> seen;
    for (std::size_t at = 0; at < rsrcEnd; ++at) {
        if (at >= 0x200 + 300 && at < 0x400) continue;  // padding and code bytes mean nothing to the reader
        for (const std::uint8_t mask : {std::uint8_t{0x01}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            Bytes damaged = image;
            damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ mask);
            const PeResourcesResult read = readPeResources(damaged);
            seen.insert(read.error);
            if (read.error != PeError::Ok) continue;
            const PeWriteResult written = writePeResources(damaged, quizChanges());
            if (written.error != PeError::Ok) continue;
            const PeResourcesResult again = readPeResources(written.image);
            ASSERT_EQ(again.error, PeError::Ok) << "byte " << at << " ^ " << int{mask};
            ASSERT_NE(findResource(again.resources, named("PATCH"), id(104)), nullptr) << "byte " << at;
        }
    }
    EXPECT_GE(seen.size(), 8u) << "the flips reach most of the checks";
}

}  // namespace
