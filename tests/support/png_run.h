#pragma once
// Our PNG decoder run as the player runs it, on a copy of the file in a block
// of exactly its size (so reading past it is caught), into rows of exactly
// the layout's size that start filled with 0xA5 (so unwritten bytes show).

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "pictures/png/png_decoder.h"

class ExactBuffer {
public:
    explicit ExactBuffer(std::span<const std::uint8_t> bytes);
    std::span<std::uint8_t> span() { return {data_.get(), size_}; }
    std::vector<std::uint8_t> bytes() const { return {data_.get(), data_.get() + size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
};

struct OurBitmap {
    PngResult open = PngResult::WrongStage;
    PngResult decode = PngResult::WrongStage;
    PngResult write = PngResult::WrongStage;
    PngStage stageAfterOpen = PngStage::Empty;
    PngStage stageAfterDecode = PngStage::Empty;
    PngBitmapLayout layout;
    std::vector<std::uint8_t> rows;
};

// Open, decode, lay out, write; released on every path.
OurBitmap decodeWithOurs(std::span<const std::uint8_t> file);
