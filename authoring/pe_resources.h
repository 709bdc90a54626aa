#pragma once
// The resources of a 32-bit Windows executable (PE32), read and rewritten
// from its bytes alone, so that the authoring tools can turn the player into
// a quiz executable on any system. Whole buffers in, a named result out.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class PeError {
    Ok,
    TooSmall,                  // shorter than a DOS header
    NoDosSignature,            // no "MZ"
    PeHeaderOutOfRange,        // the PE header offset points outside the file
    NoPeSignature,             // no "PE\0\0"
    TruncatedHeaders,          // COFF header, optional header or section table cut short
    NotPe32,                   // optional header magic is not 0x10B
    BadOptionalHeader,         // too few data directories, bad alignments
    SectionOutOfRange,         // a section's raw data lies past the end of the file
    ResourcesOutsideSections,  // the resource directory is not in any section's file data
    ResourceOutOfRange,        // an offset or size inside the resource tree is out of bounds
    ResourceLoop,              // a resource directory is reached twice
    BadResourceTree,           // not type -> name -> language -> data
    ResourceDataTooLarge,      // the leaves add up to more bytes than the file holds
    SignedImage,               // a signature would be broken by any change
    NoRoomForSection,          // the headers have no room for one more section header
    ImageTooLarge,             // the new image would not fit 32-bit sizes
};

const char* peErrorName(PeError error);
// One line for a person: what is wrong with the file.
std::string peErrorMessage(PeError error);

// A resource type, name or language key: a 16-bit id or a UTF-16 string.
struct ResourceKey {
    bool isName = false;
    std::uint16_t id = 0;
    std::u16string name;

    static ResourceKey fromId(std::uint16_t id) { return {false, id, {}}; }
    static ResourceKey fromName(std::string_view ascii);
    friend bool operator==(const ResourceKey&, const ResourceKey&) = default;
};


inline constexpr std::uint16_t LanguageNeutral = 0;

struct Resource {
    ResourceKey type;
    ResourceKey name;
    std::uint16_t language = LanguageNeutral;
    std::uint32_t codePage = 0;
    std::vector<std::uint8_t> data;
};

struct PeSection {
    std::string name;  // up to 8 bytes, as stored
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawPointer = 0;
    std::uint32_t characteristics = 0;
};

// The header fields that the resource writer reads or changes.
struct PeHeaders {
    std::uint32_t peOffset = 0;
    std::uint32_t sectionTableOffset = 0;
    std::uint32_t checksumOffset = 0;
    std::uint32_t checksum = 0;
    std::uint32_t symbolTablePointer = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t dataDirectoryCount = 0;
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    std::uint32_t certificateSize = 0;
    std::vector<PeSection> sections;
};

struct PeHeadersResult {
    PeError error = PeError::Ok;
    PeHeaders headers;
};

struct PeResourcesResult {
    PeError error = PeError::Ok;
    std::vector<Resource> resources;  // in directory order; empty when the image has none
};

struct PeWriteResult {
    PeError error = PeError::Ok;
    std::vector<std::uint8_t> image;
};

PeHeadersResult readPeHeaders(std::span<const std::uint8_t> image);
PeResourcesResult readPeResources(std::span<const std::uint8_t> image);

// A copy of `image` whose resources are its own plus `changes`; a change
// replaces every language of an existing resource with the same type and name.
// The resource section is rebuilt in place when it is the image's last
// section, and appended as a new last section otherwise; bytes after the last
// section (an overlay, such as a symbol table) are kept after it.
PeWriteResult writePeResources(std::span<const std::uint8_t> image, std::span<const Resource> changes);

// The image checksum as the loader verifies it: 16-bit one's-complement sum of
// the file with the checksum field taken as zero, plus the file length.
std::uint32_t peChecksum(std::span<const std::uint8_t> image, std::uint32_t checksumOffset);

// The first resource with this type and name, whatever its language.
const Resource* findResource(std::span<const Resource> resources, const ResourceKey& type, const ResourceKey& name);
