#include "tools/quizmake/progress_line.h"

#include "tools/quizmake/platform.h"

PictureProgress progressTo(ProgressLine& line) {
    return [&line](std::size_t done, std::size_t total) {
        if (!line.shown && std::chrono::steady_clock::now() - line.start < std::chrono::seconds(1)) return;
        line.shown = true;
        printUtf8(Stream::Err, "\rquizmake: " + line.what + ": " + std::to_string(done) + " / " + std::to_string(total));
    };
}

void endProgressLine(ProgressLine& line) {
    if (line.shown) printUtf8(Stream::Err, "\n");
    line.shown = false;
}
