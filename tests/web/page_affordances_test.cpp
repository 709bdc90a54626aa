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
        std::vector<std::pair<std::string, std::string>> questions;  // answer, second answer (code page 1252)
        int answersPerQuestion;
        int questionCount;  // as the definition says
        std::string letters;
    } cases[] = {
        {{{"SOLEIL", ""}, {"l'ete 2024 !", ""}}, 1, 2, ""},
        {{{"FOR\xCAT", ""}, {"f\xEAte", ""}, {"FOR\xCAT", ""}}, 1, 3, "\xCA\xEA"},  // capitals kept, each once, in order
        {{{"c\x9C" "ur", ""}, {"\xC6ON", ""}, {"stra\xDF" "e", ""}}, 1, 3, "\x9C\xC6\xDF"},
        {{{"2\xD7" "3 \xF7 4 \xB0 \xAB\xBB", ""}}, 1, 1, ""},  // signs are not letters
        {{{"PARIS", "FRAN\xC7" "E"}}, 2, 1, "\xC7"},  // second answers count in a two-answer quiz only
        {{{"PARIS", "FRAN\xC7" "E"}}, 1, 1, ""},
        {{{"ROME", ""}, {"\xC9T\xC9", ""}}, 1, 1, ""},  // only the questions the quiz holds
    };
    for (const auto& c : cases) {
        QuizRecord record;
        initialiseRecord(record);
        for (const auto& [answer, second] : c.questions) ASSERT_TRUE(addQuestion(record, answer, second, ""));
        record.answersPerQuestion = c.answersPerQuestion;
        record.questionCount = c.questionCount;
        EXPECT_EQ(accentLetters(record), c.letters) << c.questions.front().first;
    }
}

// Black or white, whichever contrasts more, where the player's red-or-green
// rule would draw black on a dark red.
TEST(TextContrast, TheColourThatReadsBetterOnTheBackground) {
    const struct {
        Rgb background;
        bool black;
    } cases[] = {
        {{53, 130, 163}, true},  // the demo's: black 4.87:1, white 4.31:1
        {{53, 203, 163}, true}, {{128, 128, 128}, true}, {{255, 255, 255}, true}, {{0, 0, 0}, false},
        {{0, 0, 255}, false},   {{90, 95, 150}, false},
        {{200, 0, 0}, false},  // white 6.1:1, black 3.5:1
    };
    for (const auto& c : cases) EXPECT_EQ(blackTextOn(c.background), c.black) << int{c.background.red} << "," << int{c.background.green};
}

}  // namespace
