#pragma once
// Where a question's picture sits in a quiz executable: a JPEG under `IMG`, a
// PNG under RT_RCDATA, both named FirstPictureResourceId + the question's
// 0-based index. The one mapping that writing, reading and unpacking share.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "authoring/pe_resources.h"
#include "picture_preparation/picture_check.h"

// The resource type a picture of this kind goes under; none for an unknown kind.
std::optional<ResourceKey> pictureResourceType(PictureKind kind);

// The resource name of question `questionIndex`'s picture.
ResourceKey pictureResourceName(std::size_t questionIndex);

// How the player decodes a picture resource: a JPEG under IMG, a PNG otherwise.
PictureKind pictureKindOf(const Resource& picture);

// Question `questionIndex`'s picture as the player finds it: IMG first, then
// RT_RCDATA; null when it has none.
const Resource* findPicture(std::span<const Resource> resources, std::size_t questionIndex);

// The file a picture resource is written to: its id and the extension of its
// type, "401.jpg" for IMG, "402.png" for RT_RCDATA.
std::string pictureFileName(const Resource& picture);
