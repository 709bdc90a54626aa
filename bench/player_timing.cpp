// Times the player under the conditions a person meets: how long the demo quiz
// takes from its start to an idle window with the first picture, and how long
// the "next" arrow takes to show the next question (picture decoded, scaled,
// answer restored and graded). Run under Wine by bench/run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/e2e/player_driver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int NextButton = 9905;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-40s %3zu runs: min %7.1f ms, median %7.1f ms, max %7.1f ms\n", what, samples.size(),
                samples.front(), samples[samples.size() / 2], samples.back());
}

}  // namespace

int main() {
    std::vector<double> startUps;
    for (int i = 0; i < 7; ++i) {
        const auto start = Clock::now();
        PlayerRun run("demo.exe");
        if (!run.waitForMainWindow()) {
            std::fprintf(stderr, "the demo quiz never showed its window\n");
            return 1;
        }
        startUps.push_back(milliseconds(Clock::now() - start));
        run.close();
    }
    report("start to idle window (demo.exe)", startUps);

    PlayerRun run("demo.exe");
    if (!run.waitForMainWindow()) return 1;
    HWND panel = run.singlePanel();
    HWND next = run.control(panel, NextButton);
    std::vector<double> steps;
    for (int i = 0; i < 48; ++i) {
        const auto start = Clock::now();
        // Sent, not posted: it returns once the player has shown the question.
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(NextButton, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        steps.push_back(milliseconds(Clock::now() - start));
    }
    report("next question shown (640 x 402 JPEG)", steps);
    run.close();
    return 0;
}
