#pragma once
// A quiz's pictures prepared together, on every core, with the same result
// whatever the number of threads or the order they finish in.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture_preparation/picture_preparation.h"
#include "pictures/worker_count.h"

// A question's picture as the author gave it: the bytes of its file, and the
// name that messages give it.
struct PictureInput {
    std::string name;
    std::vector<std::uint8_t> bytes;
    int quarterTurns = 0;  // turned clockwise this many quarters after its own orientation
};

// Told after each picture is prepared, and at least every ProgressBeat while
// one takes longer: how many are done, out of how many. Always called on the
// thread that asked for the pictures, the count never going down; a window
// thread keeps answering its messages through it during a long photo.
using PictureProgress = std::function<void(std::size_t done, std::size_t total)>;
inline constexpr std::chrono::milliseconds ProgressBeat{100};

// Each given picture prepared, at its index (none where none was given).
// After a picture fails no later picture is started, so every picture
// before the first failure is prepared; a later one may be missing.
std::vector<std::optional<PreparedPicture>> preparePictures(std::span<const std::optional<PictureInput>> pictures,
                                                            Rgb background, const PictureProgress& progress = {});
