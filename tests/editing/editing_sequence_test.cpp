// A bounded run of the editing sessions' fuzzer: random sessions, every
// invariant checked after every step (fuzz/editing_sequence.h). The fuzz
// target runs the same sessions for as long as it is given.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "fuzz/editing_sequence.h"

namespace {

TEST(EditingSequence, RandomSessionsKeepEveryInvariant) {
    std::mt19937 random(20261210);
    std::size_t steps = 0;
    for (int session = 0; session < 200; ++session) {
        std::vector<std::uint8_t> bytes(64 + random() % 1500);
        for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
        const SequenceOutcome outcome = runEditingSequence(bytes);
        ASSERT_EQ(outcome.failure, "") << "session " << session;
        steps += outcome.steps;
    }
    EXPECT_GT(steps, 40000u) << "the sessions should be long enough to mean something";
    RecordProperty("steps", static_cast<int>(steps));
}

}  // namespace
