#pragma once
// Real French prose in code page 1252, for codec round trips and benchmarks.

#include <cstddef>
#include <cstdint>
#include <vector>

// `size` bytes of sentences picked by a seeded generator, so repeats are not
// regular.
std::vector<std::uint8_t> frenchProse(std::size_t size, std::uint32_t seed);
