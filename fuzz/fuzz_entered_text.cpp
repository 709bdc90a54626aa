// Any bytes as text typed or pasted into a quiz field: what the rule keeps
// fits code page 1252 with no separator and no zero byte, goes through the
// rule again unchanged, and a note is said exactly when something was mended
// or refused.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "authoring/cp1252.h"
#include "editing/text_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entered(reinterpret_cast<const char*>(data), size);
    const EnteredText kept = enteredText(entered);
    const Cp1252Text bytes = utf8ToCp1252(kept.text);
    if (!bytes.ok() || bytes.bytes.find_first_of(std::string_view("|\0", 2)) != std::string::npos) std::abort();
    const EnteredText again = enteredText(kept.text);
    if (again.changed() || again.text != kept.text) std::abort();
    const std::string note = enteredTextNote(kept);
    if (note.empty() == kept.changed() || note.find('\0') != std::string::npos) std::abort();
    // Unsaid, only accents typed apart are joined to their letters: the text can but shrink.
    if (!kept.changed() && kept.text.size() > entered.size()) std::abort();
    return 0;
}
