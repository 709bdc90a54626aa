// The rule of entered text for the page (atelier.js): what the author types
// or pastes into a text field comes in through a buffer of this file's own,
// and goes out mended, with the note the field shows under it, as JSON
// (UTF-8). The page writes no rule of its own. Every function is listed in
// text_entry_exports.json.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/cp1252.h"
#include "editing/text_entry.h"
#include "web/atelier/json_writer.h"

namespace {

struct TextEntryState {
    std::vector<char> buffer;  // lent to the page for the text it passes in
    std::string text;          // the last answer handed out
};

TextEntryState entry;

void changedList(JsonWriter& json, std::string_view name, const std::vector<ChangedCharacter>& list) {
    json.key(name);
    json.beginArray();
    for (const ChangedCharacter& c : list) {
        json.beginObject();
        json.field("character", c.character);
        json.field("code", codePointName(c.codePoint));
        json.field("replacement", c.replacement);
        json.endObject();
    }
    json.endArray();
}

}  // namespace

extern "C" {

// A buffer of at least `size` bytes for the text the page passes in next.
char* zqt_buffer(int size) {
    entry.buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 1);
    return entry.buffer.data();
}

// The `size` bytes of UTF-8 in the buffer as the field keeps them:
// {"text", "note": French, empty when the text was kept as it was,
// "mended": [{"character", "code", "replacement"}...], "refused": [...]}.
const char* zqt_entered_text(int size) {
    const std::size_t count = size > 0 ? std::min(static_cast<std::size_t>(size), entry.buffer.size()) : 0;
    const EnteredText entered = enteredText(std::string_view(entry.buffer.data(), count));
    JsonWriter json;
    json.beginObject();
    json.field("text", entered.text);
    json.field("note", enteredTextNote(entered));
    changedList(json, "mended", entered.mended);
    changedList(json, "refused", entered.refused);
    json.endObject();
    entry.text = json.take();
    return entry.text.c_str();
}

}  // extern "C"
