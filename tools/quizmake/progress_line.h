#pragma once
// A progress line on stderr for work that takes more than a second:
// "quizmake: pictures prepared: 12 / 96", rewritten in place as it goes.

#include <chrono>
#include <string>

#include "picture_preparation/picture_batch.h"

struct ProgressLine {
    std::string what;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool shown = false;
};

// A progress callback writing to `line`, which must outlive it.
PictureProgress progressTo(ProgressLine& line);

// Ends the line if it was shown, so that what follows starts on its own line.
void endProgressLine(ProgressLine& line);
