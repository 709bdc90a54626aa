#pragma once
// Timing for the picture benchmarks: the decoders compared take turns, so
// that the other work of this shared machine falls on all of them alike.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Rounds of one call of each, after a warm-up round, until there were at
// least 5 rounds and 0.5 s in all: the median seconds of each call, or -1 for
// a call that failed (returned false) once. The median rides out the other
// work better than the mean.
std::vector<double> medianSecondsTakingTurns(const std::vector<std::function<bool()>>& calls);

// MB/s (10^6 bytes) as text, "fail" for a failed call.
std::string speed(std::size_t bytes, double seconds);

// Ours over theirs as a speed ratio (above 1: ours faster), "-" when either failed.
std::string ratio(double ours, double theirs);
