#include "editing/grading_preview.h"

#include "grading/verdict.h"

namespace {

unsigned char byteOf(char c) { return static_cast<unsigned char>(c); }

// How a letter of code page 1252 meets the player's rule that only a to z
// are capitalised.
enum class Letter { Plain, AccentedSmall, AccentedCapital, Ligature };

Letter letterOf(char c) {
    const unsigned char b = byteOf(c);
    if (b == 0x8C || b == 0x9C || b == 0xC6 || b == 0xE6) return Letter::Ligature;  // Œ œ Æ æ
    if (b == 0x8A || b == 0x8E || b == 0x9F || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return Letter::AccentedCapital;
    if (b == 0x9A || b == 0x9E || (b >= 0xDF && b != 0xF7)) return Letter::AccentedSmall;
    return Letter::Plain;
}

// Accented letters as a player without them types them; œ and æ as two letters.
std::string withoutAccent(char c) {
    switch (byteOf(c)) {
        case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5: return "A";
        case 0xC7: return "C";
        case 0xC8: case 0xC9: case 0xCA: case 0xCB: return "E";
        case 0xCC: case 0xCD: case 0xCE: case 0xCF: return "I";
        case 0xD1: return "N";
        case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: case 0xD8: return "O";
        case 0xD9: case 0xDA: case 0xDB: case 0xDC: return "U";
        case 0xDD: case 0x9F: return "Y";
        case 0x8A: return "S";
        case 0x8E: return "Z";
        case 0x8C: return "OE";
        case 0xC6: return "AE";
        case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: return "a";
        case 0xE7: return "c";
        case 0xE8: case 0xE9: case 0xEA: case 0xEB: return "e";
        case 0xEC: case 0xED: case 0xEE: case 0xEF: return "i";
        case 0xF1: return "n";
        case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: case 0xF8: return "o";
        case 0xF9: case 0xFA: case 0xFB: case 0xFC: return "u";
        case 0xFD: case 0xFF: return "y";
        case 0x9A: return "s";
        case 0x9E: return "z";
        case 0x9C: return "oe";
        case 0xE6: return "ae";
        default: return std::string(1, c);
    }
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// As typed with Caps Lock on: every small letter a capital, accented ones too.
std::string upperCp1252(std::string text) {
    for (char& c : text) {
        const unsigned char b = byteOf(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) c = static_cast<char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E) c = static_cast<char>(b - 0x10);
        else if (b == 0xFF) c = static_cast<char>(0x9F);
    }
    return text;
}

// As typed without Shift: every capital a small letter, accented ones too.
std::string lowerCp1252(std::string text) {
    for (char& c : text) {
        const unsigned char b = byteOf(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E) c = static_cast<char>(b + 0x10);
        else if (b == 0x9F) c = static_cast<char>(0xFF);
    }
    return text;
}

std::string withoutAccents(std::string_view text) {
    std::string out;
    for (const char c : text) out += withoutAccent(c);
    return out;
}

bool has(std::string_view text, Letter kind) {
    for (const char c : text) {
        if (letterOf(c) == kind) return true;
    }
    return false;
}

CheckedTyping grade(const std::string& expected, std::string description, std::string typed) {
    const std::string_view single = verdictText(gradeAnswer(expected, typed, false));
    const std::string_view overview = verdictText(gradeAnswer(expected, typed, true));
    return {std::move(description), std::move(typed), std::string(single), std::string(overview)};
}

std::vector<CheckedTyping> typings(const std::string& expected) {
    std::vector<CheckedTyping> out;
    out.push_back(grade(expected, "as expected, in lower case", lowerAscii(expected)));
    if (expected.size() >= 2) {
        out.push_back(grade(expected, "last letter missing", lowerAscii(expected.substr(0, expected.size() - 1))));
        std::string swapped = lowerAscii(expected);
        std::swap(swapped[swapped.size() - 1], swapped[swapped.size() - 2]);
        out.push_back(grade(expected, "last two letters swapped", swapped));
    }
    out.push_back(grade(expected, "one letter too many", lowerAscii(expected) + "s"));
    if (withoutAccents(expected) != expected) {
        const bool ligature = has(expected, Letter::Ligature);
        out.push_back(grade(expected, ligature ? "without its accents, \"oe\" for \"\xC5\x93\"" : "without its accents",
                            lowerAscii(withoutAccents(expected))));
        if (has(expected, Letter::AccentedSmall)) {
            out.push_back(grade(expected, "in capitals, accents included", upperCp1252(expected)));
        }
        if (has(expected, Letter::AccentedCapital)) {
            out.push_back(grade(expected, "in lower case, accents included", lowerCp1252(expected)));
        }
    }
    return out;
}

std::vector<std::string> warningLines(std::string_view expected, std::string_view (*line)(AnswerWarning),
                                      std::string_view advice) {
    std::vector<std::string> lines;
    bool accents = false;
    for (const AnswerWarning warning : answerWarnings(expected)) {
        lines.emplace_back(line(warning));
        accents = accents || isAccentWarning(warning);
    }
    if (accents) lines.emplace_back(advice);
    return lines;
}

}  // namespace

std::vector<AnswerWarning> answerWarnings(std::string_view expected) {
    if (expected.empty()) return {AnswerWarning::NoAnswer};
    std::vector<AnswerWarning> warnings;
    if (expected.size() <= 3) warnings.push_back(AnswerWarning::ShortAnswer);
    if (has(expected, Letter::AccentedSmall)) warnings.push_back(AnswerWarning::Accents);
    if (has(expected, Letter::AccentedCapital)) warnings.push_back(AnswerWarning::AccentedCapitals);
    if (has(expected, Letter::Ligature)) warnings.push_back(AnswerWarning::Ligatures);
    if (expected.find('\x92') != std::string_view::npos) warnings.push_back(AnswerWarning::CurlyApostrophe);
    if (expected.find("  ") != std::string_view::npos) warnings.push_back(AnswerWarning::DoubleSpace);
    if (expected.front() == ' ' || expected.back() == ' ') warnings.push_back(AnswerWarning::SpaceAtEnd);
    return warnings;
}

std::string_view englishWarning(AnswerWarning warning) {
    switch (warning) {
        case AnswerWarning::NoAnswer: return "no expected answer: nothing typed is ever right";
        case AnswerWarning::ShortAnswer:
            return "3 characters or fewer: the overview accepts only the exact answer, every near miss is \"FAUX\"";
        case AnswerWarning::Accents:
            return "accented letters: only the same accents typed in lower case get \"BRAVO\"; typed without "
                   "them, or in capitals (the quiz tells \"\xC3\x8A\" from \"\xC3\xAA\"), they get a hint";
        case AnswerWarning::AccentedCapitals:
            return "an accented capital: the quiz tells \"\xC3\x89\" from \"\xC3\xA9\", so a player who types it "
                   "in lower case or without its accent gets a hint, not \"BRAVO\"";
        case AnswerWarning::Ligatures:
            return "\"\xC5\x93\" or \"\xC3\xA6\": not on a French keyboard, a player who types \"oe\" or \"ae\" "
                   "gets a hint, not \"BRAVO\"";
        case AnswerWarning::CurlyApostrophe:
            return "a curly apostrophe \"\xE2\x80\x99\": not on a keyboard, and the web page reads one typed on a "
                   "phone as \"'\"; a player who types \"'\" gets a hint, not \"BRAVO\"; write a plain apostrophe (')";
        case AnswerWarning::DoubleSpace: return "two spaces in a row: a player who types one gets a hint, not \"BRAVO\"";
        case AnswerWarning::SpaceAtEnd:
            return "a space at an end: the typed answer is trimmed, the expected one is not, so it never matches";
    }
    return {};
}

std::string_view frenchWarning(AnswerWarning warning) {
    switch (warning) {
        case AnswerWarning::NoAnswer: return "Pas de réponse attendue : rien de ce que tape le joueur ne sera juste.";
        case AnswerWarning::ShortAnswer:
            return "3 caractères ou moins : la vue d'ensemble n'accepte que la réponse exacte, sans indice.";
        case AnswerWarning::Accents:
            return "Lettres accentuées : seul le joueur qui tape les mêmes accents, en minuscules, reçoit « BRAVO » ; "
                   "sans accent ou en capitales (« Ê » n'est pas « ê » pour le quiz), il reçoit un indice.";
        case AnswerWarning::AccentedCapitals:
            return "Capitale accentuée : « É » et « é » sont deux lettres différentes pour le quiz ; le joueur qui "
                   "tape la minuscule ou oublie l'accent reçoit un indice, pas « BRAVO ».";
        case AnswerWarning::Ligatures:
            return "« œ » ou « æ » : ces lettres ne sont pas sur un clavier français ; le joueur qui tape « oe » ou "
                   "« ae » reçoit un indice, pas « BRAVO ».";
        case AnswerWarning::CurlyApostrophe:
            return "Apostrophe « ’ » : elle n'est pas sur un clavier, et la page web lit « ' » celle qu'un téléphone "
                   "tape ; le joueur qui tape « ' » reçoit un indice, pas « BRAVO ». Écrivez une apostrophe droite (').";
        case AnswerWarning::DoubleSpace:
            return "Deux espaces de suite : un joueur qui n'en tape qu'un reçoit un indice, pas « BRAVO ».";
        case AnswerWarning::SpaceAtEnd:
            return "Espace au début ou à la fin : la réponse tapée est nettoyée, celle-ci non, elle ne sera jamais juste.";
    }
    return {};
}

bool isAccentWarning(AnswerWarning warning) {
    return warning == AnswerWarning::Accents || warning == AnswerWarning::AccentedCapitals ||
           warning == AnswerWarning::Ligatures;
}

std::string_view englishAccentAdvice() {
    return "advice: write the answer without accents, as in crosswords (\"FORET\", \"COEUR\"), and tell the "
           "players so in the explanation";
}

std::string_view frenchAccentAdvice() {
    return "Conseil : écrivez la réponse sans accent, comme dans les mots croisés (« FORET », « COEUR »), et "
           "dites aux joueurs dans l'explication de taper les réponses sans accent.";
}

std::vector<std::string> frenchWarningLines(std::string_view expected) {
    return warningLines(expected, frenchWarning, frenchAccentAdvice());
}

std::vector<CheckedQuestion> checkQuiz(const QuizSource& source) {
    std::vector<CheckedQuestion> checked;
    for (const SourceQuestion& question : source.questions) {
        std::vector<std::string> expected{question.answer};
        if (source.answersPerQuestion == 2) expected.push_back(question.secondAnswer);
        for (const std::string& answer : expected) checked.push_back({answer, typings(answer), warningLines(answer, englishWarning, englishAccentAdvice())});
    }
    return checked;
}
