#include "authoring/grading_preview.h"

#include "grading/verdict.h"

namespace {

// Accented letters of code page 1252 as a player without them types them.
char withoutAccent(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5: return 'A';
        case 0xC7: return 'C';
        case 0xC8: case 0xC9: case 0xCA: case 0xCB: return 'E';
        case 0xCC: case 0xCD: case 0xCE: case 0xCF: return 'I';
        case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: return 'O';
        case 0xD9: case 0xDA: case 0xDB: case 0xDC: return 'U';
        case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: return 'a';
        case 0xE7: return 'c';
        case 0xE8: case 0xE9: case 0xEA: case 0xEB: return 'e';
        case 0xEC: case 0xED: case 0xEE: case 0xEF: return 'i';
        case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: return 'o';
        case 0xF9: case 0xFA: case 0xFB: case 0xFC: return 'u';
        default: return c;
    }
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string withoutAccents(std::string text) {
    for (char& c : text) c = withoutAccent(c);
    return text;
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
        out.push_back(grade(expected, "without its accents", lowerAscii(withoutAccents(expected))));
    }
    return out;
}

std::vector<std::string> warningsFor(const std::string& expected) {
    std::vector<std::string> warnings;
    for (const AnswerWarning warning : answerWarnings(expected)) warnings.emplace_back(englishWarning(warning));
    return warnings;
}

}  // namespace

std::vector<AnswerWarning> answerWarnings(std::string_view expected) {
    if (expected.empty()) return {AnswerWarning::NoAnswer};
    std::vector<AnswerWarning> warnings;
    if (expected.size() <= 3) warnings.push_back(AnswerWarning::ShortAnswer);
    if (withoutAccents(std::string(expected)) != expected) warnings.push_back(AnswerWarning::Accents);
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
            return "accented letters: a player who types them without accents gets a hint, not \"BRAVO\"";
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
            return "Lettres accentuées : un joueur qui les tape sans accent reçoit un indice, pas « BRAVO ».";
        case AnswerWarning::DoubleSpace:
            return "Deux espaces de suite : un joueur qui n'en tape qu'un reçoit un indice, pas « BRAVO ».";
        case AnswerWarning::SpaceAtEnd:
            return "Espace au début ou à la fin : la réponse tapée est nettoyée, celle-ci non, elle ne sera jamais juste.";
    }
    return {};
}

std::vector<CheckedQuestion> checkQuiz(const QuizSource& source) {
    std::vector<CheckedQuestion> checked;
    for (const SourceQuestion& question : source.questions) {
        std::vector<std::string> expected{question.answer};
        if (source.answersPerQuestion == 2) expected.push_back(question.secondAnswer);
        for (const std::string& answer : expected) checked.push_back({answer, typings(answer), warningsFor(answer)});
    }
    return checked;
}
