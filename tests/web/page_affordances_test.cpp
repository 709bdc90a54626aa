// What the page offers around the game, decided natively: the accent keys a
// quiz needs, and the text colour that reads on its background.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/quiz_record.h"
#include "web/accent_letters.h"
#include "web/text_contrast.h"

namespace {

TEST(AccentLetters, AreThoseTheExpectedAnswersUseBeyondAToZInTheirCase) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> questions;  // answer, second answer (code page 1252)
        int answersPerQuestion;
        int questionCount;  // as the definition says; -1: every question
        std::string letters;
    } cases[] = {
        {"plain answers", {{"SOLEIL", ""}, {"tour eiffel", ""}, {"l'ete 2024 !", ""}}, 1, -1, ""},
        {"capitals kept, each once, in order", {{"FOR\xCAT", ""}, {"f\xEAte", ""}, {"FOR\xCAT", ""}}, 1, -1, "\xCA\xEA"},
        {"ligatures and the letters beyond a to z", {{"c\x9C" "ur", ""}, {"\xC6ON", ""}, {"stra\xDF" "e", ""}}, 1, -1, "\x9C\xC6\xDF"},
        {"signs are not letters", {{"2\xD7" "3 \xF7 4 \xB0 \xAB\xBB", ""}}, 1, -1, ""},
        {"second answers count in a two-answer quiz", {{"PARIS", "FRAN\xC7" "E"}}, 2, -1, "\xC7"},
        {"but not in a one-answer quiz", {{"PARIS", "FRAN\xC7" "E"}}, 1, -1, ""},
        {"only the questions the quiz holds", {{"ROME", ""}, {"\xC9T\xC9", ""}}, 1, 1, ""},
    };
    for (const auto& c : cases) {
        QuizRecord record;
        initialiseRecord(record);
        for (const auto& [answer, second] : c.questions) ASSERT_TRUE(addQuestion(record, answer, second, ""));
        record.answersPerQuestion = c.answersPerQuestion;
        record.questionCount = c.questionCount < 0 ? static_cast<int>(c.questions.size()) : c.questionCount;
        EXPECT_EQ(accentLetters(record), c.letters) << c.name;
    }
}

// Black or white, whichever contrasts more, where the player's red-or-green
// rule would draw black on a dark red.
TEST(TextContrast, TheColourThatReadsBetterOnTheBackground) {
    const struct {
        Rgb background;
        bool black;
    } cases[] = {
        {{53, 130, 163}, true},   // the demo's: black 4.87:1, white 4.31:1
        {{53, 203, 163}, true},   // the default background
        {{128, 128, 128}, true},
        {{255, 255, 255}, true},
        {{0, 0, 0}, false},
        {{0, 0, 255}, false},
        {{200, 0, 0}, false},     // white 6.1:1, black 3.5:1
        {{90, 95, 150}, false},   // the initial colour
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blackTextOn(c.background), c.black)
            << int{c.background.red} << "," << int{c.background.green} << "," << int{c.background.blue};
    }
}

}  // namespace
