#pragma once
// A quiz's resources kept outside any executable: the Atelier's recovery
// copies, written every few seconds into the user's application data, where
// a program rewritten again and again looks to a virus scanner like malware.
// A signature, a count, then each resource's keys and bytes, little-endian.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"

std::vector<std::uint8_t> bundleOf(std::span<const Resource> resources);

struct ResourceBundle {
    std::vector<Resource> resources;
    std::string error;  // one line; empty when the bundle was read whole
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Refused whole when cut short, too long or not a bundle at all.
ResourceBundle readBundle(std::span<const std::uint8_t> bytes);
