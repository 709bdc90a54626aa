#include "bench/bench_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

double median(std::vector<double> samples) {
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

}  // namespace

std::vector<double> medianSecondsTakingTurns(const std::vector<std::function<bool()>>& calls) {
    using Clock = std::chrono::steady_clock;
    constexpr std::size_t MinRounds = 5;
    constexpr double MinSeconds = 0.5;
    std::vector<bool> failed(calls.size(), false);
    for (std::size_t i = 0; i < calls.size(); ++i) failed[i] = !calls[i]();
    std::vector<std::vector<double>> times(calls.size());
    double total = 0;
    for (std::size_t round = 0; round < MinRounds || total < MinSeconds; ++round) {
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (failed[i]) continue;
            const auto start = Clock::now();
            failed[i] = !calls[i]();
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            times[i].push_back(elapsed);
            total += elapsed;
        }
        if (std::all_of(failed.begin(), failed.end(), [](bool f) { return f; })) break;
    }
    std::vector<double> medians;
    for (std::size_t i = 0; i < calls.size(); ++i) medians.push_back(failed[i] ? -1 : median(times[i]));
    return medians;
}

std::string speed(std::size_t bytes, double seconds) {
    if (seconds <= 0) return "fail";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6 / seconds);
    return text;
}

std::string ratio(double ours, double theirs) {
    if (ours <= 0 || theirs <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", theirs / ours);
    return text;
}
