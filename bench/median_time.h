#pragma once
// The benchmarks' one way to time a call.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

// Median time of one call, over at least 3 calls and 0.3 s after a warm-up
// call; negative when a call failed. The median rides out the other work on
// this machine better than the mean.
template <typename Call>
double medianSeconds(Call&& call) {
    using Clock = std::chrono::steady_clock;
    if (!call()) {
        return -1;
    }
    std::vector<double> times;
    double total = 0;
    while (times.size() < 3 || total < 0.3) {
        const auto start = Clock::now();
        if (!call()) {
            return -1;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        times.push_back(elapsed);
        total += elapsed;
    }
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
    return times[times.size() / 2];
}
