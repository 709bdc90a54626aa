#include "editing/text_entry.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "authoring/cp1252.h"

namespace {

// Latin Extended-A (U+0100 to U+017F), each letter without its accent. The
// code page's own letters of the block (Œ œ Š š Ÿ Ž ž) never get here.
constexpr std::string_view LatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi"  // U+0100 to U+0131
    "IiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(LatinExtendedA.size() == 0x80);

// What a keyboard of code page 1252 types for a character the code page
// cannot hold; empty: nothing does.
std::string_view plainEquivalent(char32_t c) {
    switch (c) {
        case 0x02BC: return "'";
        case 0x2010: case 0x2011: case 0x2012: case 0x2212: return "-";
        case 0x2015: return "\xE2\x80\x94";  // ―, as —
        case 0x2044: return "/";
        case 0x202F: return "\xC2\xA0";      // narrow no-break space, as a no-break space
        case 0x2002: case 0x2003: case 0x2009: case 0x200A: return " ";
        case 0x2070: return "0";
        case 0x2071: return "i";
        case 0x207F: return "n";
        case 0xFB00: return "ff";
        case 0xFB01: return "fi";
        case 0xFB02: return "fl";
        case 0xFB03: return "ffi";
        case 0xFB04: return "ffl";
        case 0xFB05: case 0xFB06: return "st";
        case 0x1D43: return "a";
        case 0x1D47: return "b";
        case 0x1D48: return "d";
        case 0x1D49: return "e";
        case 0x1D4D: return "g";
        case 0x1D4F: return "k";
        case 0x1D50: return "m";
        case 0x1D52: return "o";
        case 0x1D56: return "p";
        case 0x1D57: return "t";
        case 0x1D58: return "u";
        case 0x1D5B: return "v";
        case 0x1DBB: return "z";
        case 0x02B0: return "h";
        case 0x02B2: return "j";
        case 0x02B3: return "r";
        case 0x02B7: return "w";
        case 0x02B8: return "y";
        case 0x02E1: return "l";
        case 0x02E2: return "s";
        case 0x02E3: return "x";
        case 0x0132: return "IJ";
        case 0x0133: return "ij";
        case 0x0218: return "S";  // Romanian comma below
        case 0x0219: return "s";
        case 0x021A: return "T";
        case 0x021B: return "t";
        default: break;
    }
    static constexpr std::string_view Digits = "0123456789";
    if (c >= 0x2074 && c <= 0x2079) return Digits.substr(c - 0x2070, 1);  // ⁴ to ⁹
    if (c >= 0x2080 && c <= 0x2089) return Digits.substr(c - 0x2080, 1);  // ₀ to ₉
    if (c >= 0x0100 && c <= 0x017F) return LatinExtendedA.substr(c - 0x0100, 1);
    return {};
}

// Accents typed apart from their letter, and the letters of the code page
// they make with the letter before them.
struct Composition {
    char32_t mark;
    std::string_view bases;
    std::string_view composed;  // UTF-8, one letter for each base
};
constexpr std::array<Composition, 8> Compositions{{
    {0x0300, "AEIOUaeiou", "ÀÈÌÒÙàèìòù"},
    {0x0301, "AEIOUYaeiouy", "ÁÉÍÓÚÝáéíóúý"},
    {0x0302, "AEIOUaeiou", "ÂÊÎÔÛâêîôû"},
    {0x0303, "ANOano", "ÃÑÕãñõ"},
    {0x0308, "AEIOUYaeiouy", "ÄËÏÖÜŸäëïöüÿ"},
    {0x030A, "Aa", "Åå"},
    {0x030C, "SZsz", "ŠŽšž"},
    {0x0327, "Cc", "Çç"},
}};

// The letter `base` and the accent `mark` make, in UTF-8; empty: none.
std::string composed(char32_t base, char32_t mark) {
    for (const Composition& composition : Compositions) {
        if (composition.mark != mark) continue;
        const std::size_t index = composition.bases.find(static_cast<char>(base));
        if (base >= 0x80 || index == std::string_view::npos) return {};
        std::size_t position = 0;
        char32_t letter = 0;
        for (std::size_t i = 0; i <= index; ++i) {
            const std::size_t start = position;
            if (!nextUtf8CodePoint(composition.composed, position, letter)) return {};
            if (i == index) return std::string(composition.composed.substr(start, position - start));
        }
    }
    return {};
}

bool isCombiningMark(char32_t c) { return c >= 0x0300 && c <= 0x036F; }

void noteOnce(std::vector<ChangedCharacter>& list, ChangedCharacter changed) {
    const bool met = std::any_of(list.begin(), list.end(), [&](const ChangedCharacter& c) {
        return c.codePoint == changed.codePoint;
    });
    if (!met) list.push_back(std::move(changed));
}

bool heldByTheQuiz(char32_t c) {
    unsigned char byte = 0;
    return c != 0 && c != '|' && cp1252ByteOf(c, byte);
}

// « Ł » (U+0141); a control character by its code alone (a zero byte would end the message).
std::string named(const ChangedCharacter& c) {
    if (c.codePoint < 0x20) return codePointName(c.codePoint);
    return "« " + c.character + " » (" + codePointName(c.codePoint) + ")";
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : ", ") + part;
    return out;
}

}  // namespace

EnteredText enteredText(std::string_view utf8) {
    EnteredText out;
    out.text.reserve(utf8.size());
    char32_t previous = 0;          // the last character kept as entered, 0 after any other
    std::size_t previousAt = 0;     // where it begins in out.text
    for (std::size_t position = 0; position < utf8.size();) {
        const std::size_t start = position;
        char32_t c = 0;
        if (!nextUtf8CodePoint(utf8, position, c)) {
            out.malformed = true;
            ++position;  // a broken byte: nothing to name
            previous = 0;
            continue;
        }
        const std::string_view character = utf8.substr(start, position - start);
        if (heldByTheQuiz(c)) {
            previousAt = out.text.size();
            previous = c;
            out.text += character;
            continue;
        }
        if (isCombiningMark(c)) {
            // Joined to its letter when the code page has the pair, else let go: ő typed apart is o.
            if (const std::string letter = composed(previous, c); !letter.empty()) {
                out.text.replace(previousAt, std::string::npos, letter);
            } else {
                noteOnce(out.mended, {std::string(character), c, {}});
            }
            previous = 0;
            continue;
        }
        previous = 0;
        if (c == '|') {
            out.text += '/';
            noteOnce(out.mended, {"|", c, "/"});
        } else if (const std::string_view plain = plainEquivalent(c); !plain.empty()) {
            out.text += plain;
            noteOnce(out.mended, {std::string(character), c, std::string(plain)});
        } else {
            noteOnce(out.refused, {std::string(character), c, {}});
        }
    }
    return out;
}

std::string enteredTextNote(const EnteredText& entered) {
    std::vector<std::string> mends;
    bool separator = false;
    for (const ChangedCharacter& c : entered.mended) {
        if (c.codePoint == '|') {
            separator = true;
        } else {
            mends.push_back(named(c) + (c.replacement.empty() ? " est retiré" : " devient « " + c.replacement + " »"));
        }
    }
    std::string note;
    const auto say = [&note](const std::string& sentence) { note += (note.empty() ? "" : " ") + sentence; };
    if (!mends.empty()) {
        say(joined(mends) + (mends.size() == 1 ? " : le lecteur ne sait pas l'afficher." : " : le lecteur ne sait pas les afficher."));
    }
    if (separator) say("« | » devient « / » : ce caractère sépare les textes du quiz.");
    if (!entered.refused.empty()) {
        std::vector<std::string> names;
        for (const ChangedCharacter& c : entered.refused) names.push_back(named(c));
        say(joined(names) + (entered.refused.size() == 1 ? " ne peut pas figurer dans un quiz : le lecteur ne sait pas "
                                                            "l'afficher et aucune lettre ne le remplace."
                                                          : " ne peuvent pas figurer dans un quiz : le lecteur ne sait pas "
                                                            "les afficher et aucune lettre ne les remplace."));
    }
    if (entered.malformed) say("Des octets qui ne forment pas de texte (UTF-8 mal formé) sont ignorés.");
    return note;
}
