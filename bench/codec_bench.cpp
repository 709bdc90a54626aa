// The content codec against the plain reference coder (strings stored whole,
// the dictionary searched by length in learning order), in the same run.
// Prints MB/s of text and the speed ratio of ours to the reference.

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "content/content_codec.h"
#include "tests/support/french_prose.h"
#include "tests/support/reference_codec.h"

namespace {

// Best of several rounds of at least 0.2 s, in seconds per call.
double secondsPerCall(const std::function<void()>& call) {
    using Clock = std::chrono::steady_clock;
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        int calls = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            call();
            ++calls;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.2);
        best = std::min(best, elapsed / calls);
    }
    return best;
}

void report(const char* what, std::size_t bytes, double ours, double reference) {
    const double megabytes = static_cast<double>(bytes) / 1e6;
    std::printf("%-40s ours %8.1f MB/s   reference %8.1f MB/s   ratio %6.1fx\n", what, megabytes / ours,
                megabytes / reference, reference / ours);
}

}  // namespace

int main() {
    struct Input {
        const char* name;
        std::vector<std::uint8_t> text;
    };
    std::vector<Input> inputs;
    inputs.push_back({"French prose, 40000 bytes", frenchProse(40000, 1)});
    inputs.push_back({"French prose, 4000 bytes", frenchProse(4000, 2)});
    inputs.push_back({"one repeated byte, 65535 bytes", std::vector<std::uint8_t>(65535, 'a')});

    volatile std::size_t sink = 0;
    for (const Input& input : inputs) {
        const CodecOutput encoded = encodeContent(input.text);
        if (encoded.result != CodecOk) {
            std::printf("%s: %s\n", input.name, codecResultName(encoded.result));
            return 1;
        }
        const double encodeOurs = secondsPerCall([&] { sink = sink + encodeContent(input.text).size; });
        const double encodeReference = secondsPerCall([&] { sink = sink + referenceEncode(input.text).bytes.size(); });
        report((std::string("encode ") + input.name).c_str(), input.text.size(), encodeOurs, encodeReference);
        const double decodeOurs = secondsPerCall([&] { sink = sink + decodeContent(encoded.bytes()).size; });
        const double decodeReference =
            secondsPerCall([&] { sink = sink + referenceDecode(encoded.bytes()).bytes.size(); });
        report((std::string("decode ") + input.name).c_str(), input.text.size(), decodeOurs, decodeReference);
    }
    return 0;
}
