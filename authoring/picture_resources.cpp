#include "authoring/picture_resources.h"

#include <cstdint>

#include "resources/contract_ids.h"

namespace {

ResourceKey jpegType() { return ResourceKey::fromName(JpegResourceType); }
ResourceKey pngType() { return ResourceKey::fromId(ResourceTypeRcData); }

}  // namespace

std::optional<ResourceKey> pictureResourceType(PictureKind kind) {
    switch (kind) {
        case PictureKind::Jpeg: return jpegType();
        case PictureKind::Png: return pngType();
        case PictureKind::Unknown: break;
    }
    return std::nullopt;
}

ResourceKey pictureResourceName(std::size_t questionIndex) {
    return ResourceKey::fromId(static_cast<std::uint16_t>(FirstPictureResourceId + questionIndex));
}

const Resource* findPicture(std::span<const Resource> resources, std::size_t questionIndex) {
    const ResourceKey name = pictureResourceName(questionIndex);
    if (const Resource* jpeg = findResource(resources, jpegType(), name)) return jpeg;
    return findResource(resources, pngType(), name);
}

PictureKind pictureKindOf(const Resource& picture) {
    return picture.type == jpegType() ? PictureKind::Jpeg : PictureKind::Png;
}

std::string pictureFileName(const Resource& picture) {
    return std::to_string(picture.name.id) + (picture.type == jpegType() ? ".jpg" : ".png");
}
