// Any bytes as a quiz source: the reader names what is wrong or gives a
// source that, written out again, reads back the same; never undefined
// behaviour (the tests build it under UBSan).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "authoring/quiz_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedSource parsed = parseQuizSource(text);
    if (!parsed.ok()) {
        if (frenchSourceError(parsed.error).empty()) std::abort();
        return 0;
    }
    const std::string written = formatQuizSource(parsed.source);
    const ParsedSource again = parseQuizSource(written);
    if (!again.ok() || again.source != parsed.source) std::abort();
    if (formatQuizSource(again.source) != written) std::abort();
    (void)sourceWarnings(parsed.source);
    return 0;
}
