#include "tools/quizmake/progress_line.h"

#include <cstdio>

PictureProgress progressTo(ProgressLine& line) {
    return [&line](std::size_t done, std::size_t total) {
        if (!line.shown && std::chrono::steady_clock::now() - line.start < std::chrono::seconds(1)) return;
        line.shown = true;
        std::fprintf(stderr, "\rquizmake: %s: %zu / %zu", line.what.c_str(), done, total);
        std::fflush(stderr);
    };
}

void endProgressLine(ProgressLine& line) {
    if (line.shown) std::fputs("\n", stderr);
    line.shown = false;
}
