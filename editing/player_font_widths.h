#pragma once
// The player's header fonts as widths: how many pixels each character of code
// page 1252 (0x20 to 0xFF, at index byte - 0x20) takes in the quiz name's
// title font and in the stock GUI font of the creator and the explanation, as
// the player draws them at 96 dots per inch. Kept with the code, so that both
// editors say the same texts are cut and neither measures fonts as it runs.

#include <array>
#include <cstdint>

extern const std::array<std::uint8_t, 224> TitleFontWidths;
extern const std::array<std::uint8_t, 224> GuiFontWidths;

// Their lines' heights in pixels, measured with them.
inline constexpr int TitleFontHeight = 18;
inline constexpr int GuiFontHeight = 13;
