#include "grading/verdict.h"

#include <array>

#include "content/text.h"
#include "grading/text_measures.h"

namespace {

constexpr std::array<std::string_view, 10> VerdictTexts = {
    "?", "BRAVO", "Anagramme", "Quasiment", "Presque", "Trop court", "pas loin", "Trop long",
    "y a de l'id\xE9" "e", "FAUX",
};

Verdict containedVerdict(int containment, int expectedLength, int typedLength, int distance) {
    if (containment == -2) {
        // The typed text lies inside a longer expected answer.
        if (expectedLength <= 9) return Verdict::Wrong;
        if (10 * typedLength > 7 * expectedLength) return Verdict::TooShort;
        if (2 * typedLength > expectedLength) return Verdict::NotFar;
        return Verdict::Wrong;
    }
    if (containment == 2) return Verdict::TooLong;
    // More than 80 % alike: fewer edits than a fifth of the longer text.
    const int longer = expectedLength > typedLength ? expectedLength : typedLength;
    return longer > 5 * distance ? Verdict::SomeIdea : Verdict::Wrong;
}

}  // namespace

std::string_view verdictText(Verdict verdict) { return VerdictTexts[static_cast<std::size_t>(verdict)]; }

VerdictColour verdictColour(std::string_view verdictLabelText) {
    if (verdictLabelText == verdictText(Verdict::Right)) return VerdictColour::Right;
    if (verdictLabelText == verdictText(Verdict::Wrong)) return VerdictColour::Wrong;
    if (verdictLabelText == verdictText(Verdict::Anagram)) return VerdictColour::Anagram;
    if (verdictLabelText == verdictText(Verdict::Unanswered)) return VerdictColour::System;
    return VerdictColour::Hint;
}

Verdict gradeAnswer(std::string_view expected, std::string_view typed, bool shortAnswerRule) {
    Text e(expected);
    upperAscii(e);
    Text t(typed);
    trimSpaces(t);
    upperAscii(t);

    if (shortAnswerRule && e.size() <= 3) {
        if (t.empty()) return Verdict::Unanswered;
        return t == e ? Verdict::Right : Verdict::Wrong;
    }
    if (t.empty()) return Verdict::Unanswered;

    const int distance = editDistance(e.view(), t.view());
    if (distance == 0) return Verdict::Right;

    Text sortedExpected = e;
    Text sortedTyped = t;
    sortCharacters(sortedExpected);
    sortCharacters(sortedTyped);
    if (sortedExpected == sortedTyped) return Verdict::Anagram;

    if (distance == 1) return Verdict::OneEdit;
    if (distance == 2) return Verdict::TwoEdits;

    const auto expectedLength = static_cast<int>(e.size());
    const auto typedLength = static_cast<int>(t.size());
    return containedVerdict(findContainment(e.view(), t.view()), expectedLength, typedLength, distance);
}
