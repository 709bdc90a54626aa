#pragma once
// The verdict on one typed answer: a pure function of the expected answer and
// the typed text. Verdicts travel as their texts (code page 1252).

#include <string_view>

enum class Verdict {
    Unanswered,  // "?"
    Right,       // "BRAVO"
    Anagram,     // "Anagramme"
    OneEdit,     // "Quasiment"
    TwoEdits,    // "Presque"
    TooShort,    // "Trop court"
    NotFar,      // "pas loin"
    TooLong,     // "Trop long"
    SomeIdea,    // "y a de l'idée"
    Wrong,       // "FAUX"
};

// How the panels colour a verdict label.
enum class VerdictColour { System, Right, Wrong, Anagram, Hint };

std::string_view verdictText(Verdict verdict);
VerdictColour verdictColour(std::string_view verdictLabelText);

// shortAnswerRule: the overview's rule for expected answers of at most three
// characters (only "BRAVO", "FAUX" or "?").
Verdict gradeAnswer(std::string_view expected, std::string_view typed, bool shortAnswerRule);
