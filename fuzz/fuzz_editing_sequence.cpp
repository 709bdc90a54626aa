// Any bytes as an editing session: every invariant of the document holds
// after every step (fuzz/editing_sequence.h says which). The steps taken are
// counted and said every 100,000 and at the end.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/editing_sequence.h"

namespace {

std::size_t stepsInAll = 0;

void saySteps() { std::fprintf(stderr, "editing sessions: %zu steps in all\n", stepsInAll); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int counted = std::atexit(saySteps);
    (void)counted;
    const SequenceOutcome outcome = runEditingSequence({data, size});
    if (!outcome.failure.empty()) {
        std::fprintf(stderr, "%s\n", outcome.failure.c_str());
        std::abort();
    }
    const std::size_t before = stepsInAll;
    stepsInAll += outcome.steps;
    if (before / 100000 != stepsInAll / 100000) saySteps();
    return 0;
}
