#pragma once
// What the author types or pastes into a text field of the quiz, made fit
// for the player by one rule, the same for typing and pasting and in both
// editors: a character code page 1252 holds is kept as it is (œ, Š, Ÿ, ’);
// one it cannot hold is mended to the plain letter a keyboard of the code
// page types (Ł by L, ő by o, ᵉ by e, ﬁ by fi, a narrow no-break space by a
// no-break space), or refused when there is none (an emoji, a Chinese
// character). The quiz's field separator "|" becomes a "/". Nothing is lost
// without a word: each mended and each refused character is named.

#include <string>
#include <string_view>
#include <vector>

struct ChangedCharacter {
    std::string character;    // UTF-8, as it was entered
    char32_t codePoint = 0;
    std::string replacement;  // UTF-8, what took its place (empty: removed or refused)
    friend bool operator==(const ChangedCharacter&, const ChangedCharacter&) = default;
};

struct EnteredText {
    std::string text;                       // UTF-8: what the field holds after the rule
    std::vector<ChangedCharacter> mended;   // each character once, in the order met
    std::vector<ChangedCharacter> refused;  // each character once, in the order met
    bool malformed = false;                 // bytes that were no UTF-8, dropped
    // Something to say: mended, refused or dropped. Accents joined to their
    // letters are no change to say, though `text` then differs from what came in.
    [[nodiscard]] bool changed() const { return !mended.empty() || !refused.empty() || malformed; }
};

// `utf8` as the field may hold it. Accents typed apart (e then U+0301, as
// some systems paste) are joined to their letter where the code page has the
// accented one.
EnteredText enteredText(std::string_view utf8);

// What the field says under it of the mends and refusals (French, UTF-8);
// empty when the text was kept as it was.
std::string enteredTextNote(const EnteredText& entered);
