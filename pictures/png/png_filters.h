#pragma once
// The five PNG scanline filters, undone.

#include <cstddef>
#include <cstdint>

// Writes the unfiltered `length` bytes of a row to `out` from its filtered
// bytes `in` (without the filter-type byte). `previous` is the unfiltered row
// above, zeros for the first row of an image or pass; `bpp` the bytes of a
// whole pixel (1 for pixels under a byte). `out` aliases neither. False for
// a filter type above 4.
bool unfilterRow(std::uint8_t type, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* previous,
                 std::size_t length, std::size_t bpp);
