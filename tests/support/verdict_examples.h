#pragma once
// The documented verdicts, as code page 1252 bytes: each expected answer and
// typed text with the verdict of the single-question panel and of the overview.

#include <array>
#include <string_view>

struct VerdictExample {
    std::string_view expected;
    std::string_view typed;
    std::string_view singleVerdict;
    std::string_view overviewVerdict;
};

inline constexpr std::string_view SomeIdea = "y a de l'id\xE9" "e";

inline constexpr std::array<VerdictExample, 32> VerdictExamples = {{
    {"TOUR EIFFEL", "  tour eiffel  ", "BRAVO", "BRAVO"},
    {"TOUR EIFFEL", "eiffel tour", "Anagramme", "Anagramme"},
    {"TOUR EIFFEL", "tour eifel", "Quasiment", "Quasiment"},
    {"TOUR EIFFEL", "tour eifl", "Presque", "Presque"},
    {"TOUR EIFFEL", "tour   eiffel", "Presque", "Presque"},
    {"TOUR EIFFEL", "tour eif", "Trop court", "Trop court"},
    {"TOUR EIFFEL", "eiffel", "pas loin", "pas loin"},
    {"TOUR EIFFEL", "tour", "FAUX", "FAUX"},
    {"TOUR EIFFEL", "tour eiffel paris", "Trop long", "Trop long"},
    {"ABCDEFGHIJ", "abcdefg", "pas loin", "pas loin"},
    {"ABCDEFGHIJ", "abcdef", "pas loin", "pas loin"},
    {"ABCDEFGHIJ", "abcde", "FAUX", "FAUX"},
    {"CHATEAU", "chat", "FAUX", "FAUX"},
    {"CHATEAU", "chate", "Presque", "Presque"},
    {"ABCDEFGHIJKLMNO", "abcdefghijklxyz", "FAUX", "FAUX"},
    {"ABCDEFGHIJKLMNOP", "abcdefghijklmxyz", SomeIdea, SomeIdea},
    {"\xC9T\xC9", "ete", "Presque", "FAUX"},
    {"\xC9" "COLE", "ecole", "Quasiment", "Quasiment"},
    {"\xC9" "COLE", "\xE9" "cole", "Quasiment", "Quasiment"},
    {"CAF\xC9", "caf\xC9", "BRAVO", "BRAVO"},
    {"AB", "ba", "Anagramme", "FAUX"},
    {"OUI", "ouii", "Quasiment", "FAUX"},
    {"OUI", "oui ", "BRAVO", "BRAVO"},
    {"OUI", "   ", "?", "?"},
    {"", "x", "Quasiment", "FAUX"},
    {"", "xy", "Presque", "FAUX"},
    {"", "xyz", "FAUX", "FAUX"},
    {"", "", "?", "?"},
    {"PARIS", "   ", "?", "?"},
    {"PARIS", "", "?", "?"},
    {"ROME", "rome", "BRAVO", "BRAVO"},
    {"ROME", "more", "Anagramme", "Anagramme"},
}};
