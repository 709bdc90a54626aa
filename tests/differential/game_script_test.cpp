// The games that the three faces play: written and read back alike, and the
// fixed ones of ./test reach every action in every view it belongs to.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "session/quiz_session.h"
#include "tests/differential/game_script.h"

namespace {

TEST(DifferentialGames, TheFixedGamesReachEveryActionInEveryView) {
    std::set<std::string> reached;
    for (const char* source : {"one_answer.toml", "two_answers.toml"}) {
        const auto quiz = loadScriptedQuiz(std::string(ZORBEL_FIXTURES) + "/" + source);
        ASSERT_TRUE(quiz.has_value()) << source;
        for (std::uint32_t seed = 1; seed <= FixedGameSeeds; ++seed) {
            QuizSession session;
            startGame(session, quiz->resources, "");
            for (const GameStep& step : generateGame(seed, FixedGameLength, quiz->shape)) {
                ASSERT_EQ(parseStep(stepLine(step)), step) << stepLine(step);
                const bool inField = session.focus != FocusElsewhere;
                std::string action = step.verb == "press" ? step.word : step.verb == "click" ? step.word : step.verb;
                if (step.verb == "press" && !inField) action += " from the main window";
                reached.insert((session.overviewShown ? "overview: " : "single: ") + action);
                playOnSession(session, quiz->resources, step);
            }
        }
    }
    std::set<std::string> wanted;
    for (const char* view : {"single: ", "overview: "}) {
        for (const char* action : {"type", "Enter", "Tab", "ShiftTab", "F1", "F2", "F3", "F3held", "Up", "Down", "PageUp",
                                   "PageDown", "F3 from the main window", "reopen"}) {
            wanted.insert(std::string(view) + action);
        }
    }
    for (const char* action : {"next", "previous", "select"}) wanted.insert(std::string("single: ") + action);
    wanted.erase("overview: reopen");  // reopening starts in the single view
    for (const std::string& action : wanted) EXPECT_TRUE(reached.count(action) == 1) << action << " never played";
}

}  // namespace
