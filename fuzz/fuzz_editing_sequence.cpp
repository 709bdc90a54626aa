// Any bytes as an editing session: every invariant of the document holds
// after every step (fuzz/editing_sequence.h says which).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/editing_sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SequenceOutcome outcome = runEditingSequence({data, size});
    if (!outcome.failure.empty()) {
        std::fprintf(stderr, "%s\n", outcome.failure.c_str());
        std::abort();
    }
    return 0;
}
