// Any text as the suspend data a learning platform hands back: either not
// ours, or answers that fit the answer slots (at most 96, each at most 259
// bytes, no line break), which written again and read back stay the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "session/progress_format.h"
#include "web/platform_attempt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto progress = progressOfSuspendData({reinterpret_cast<const char*>(data), size});
    if (!progress) return 0;
    const auto asBytes = [](const std::string& text) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    const auto lines = parseProgressLines(asBytes(*progress), 200);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i >= 96 && !lines[i].empty()) std::abort();
        if (lines[i].view().find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
    }
    const std::span<const Text> slots(lines.data(), 96);
    const SuspendData again = suspendDataOf(slots, {}, 1u << 20);
    const auto reread = progressOfSuspendData(again.text);
    if (!reread || parseProgressLines(asBytes(*reread), 96) != std::vector<Text>(slots.begin(), slots.end())) std::abort();
    return 0;
}
