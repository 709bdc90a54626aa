#include "picture_preparation/metadata_orientation.h"

std::string_view orientationQuery(PictureFormat format) {
    switch (format) {
        case PictureFormat::Heif: return "/heifProps/Orientation";
        case PictureFormat::Tiff: return "/ifd/{ushort=274}";
        default: return {};
    }
}

int orientationOfValue(std::optional<std::uint32_t> value) {
    return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}
