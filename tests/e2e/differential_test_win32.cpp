// The player plays the games that the session plays (tests/differential),
// with real keys and clicks, and must show, after every step, what the
// session shows: the view, the question, the score and code, every field,
// verdict and comment, and the progress file after F2 and after reopening.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "authoring/cp1252.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "tests/differential/game_script.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

using namespace controlid;

bool styledVisible(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

GameState playerState(PlayerRun& run, int slots, int questions, bool withSaved) {
    GameState state;
    state.overview = styledVisible(run.overviewPanel());
    const HWND single = run.singlePanel();
    state.question = static_cast<int>(SendMessageA(run.control(single, QuestionSelector), CB_GETCURSEL, 0, 0));
    state.score = run.headerText(ScoreLabel);
    state.code = run.headerText(CodeField);
    state.field = run.panelText(AnswerField);
    state.verdict = run.panelText(VerdictLabel);
    state.comment = run.panelText(CommentLabel);
    const HWND overview = run.overviewPanel();
    for (int s = 1; s <= slots; ++s) {
        state.slots.emplace_back(run.text(run.control(overview, OverviewFieldBase + s)),
                                 run.text(run.control(overview, OverviewVerdictBase + s)));
    }
    for (int j = 1; j <= questions; ++j) {
        const HWND comment = run.control(overview, OverviewCommentBase + j);
        if (comment != nullptr && styledVisible(comment)) state.comments.push_back(j);
    }
    if (withSaved) state.saved = run.progressFile().value_or("");
    return state;
}

WORD virtualKeyNamed(const std::string& name) {
    const struct {
        const char* name;
        WORD key;
    } keys[] = {{"Enter", VK_RETURN}, {"Tab", VK_TAB},   {"F1", VK_F1},     {"F2", VK_F2},        {"F3", VK_F3},
                {"Up", VK_UP},        {"Down", VK_DOWN}, {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}};
    for (const auto& k : keys) {
        if (name == k.name) return k.key;
    }
    return 0;
}

// The selector dropped down with a click, the question clicked in its list.
void chooseInSelector(PlayerRun& run, int index) {
    run.click(run.control(run.singlePanel(), QuestionSelector));
    DWORD processId = 0;
    GetWindowThreadProcessId(run.mainWindow(), &processId);
    HWND list = nullptr;
    eventually([&] { return (list = topLevelWindow(processId, "ComboLBox")) != nullptr; });
    ASSERT_NE(list, nullptr) << "the selector's list did not drop down";
    const auto itemHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    POINT point{client.right / 2, index * itemHeight + itemHeight / 2};
    ClientToScreen(list, &point);
    clickAt(point.x, point.y);
}

void typeIn(PlayerRun& run, const GameStep& step) {
    const HWND panel = step.field == AnswerField ? run.singlePanel() : run.overviewPanel();
    run.replaceText(run.control(panel, step.field), utf8ToCp1252Replacing(step.word, '?'));
}

void press(PlayerRun& run, const std::string& key) {
    if (key == "ShiftTab") {
        run.pressWithShift(VK_TAB);
    } else if (key == "F3held") {
        for (int i = 0; i < 4; ++i) sendKey(VK_F3, false);  // the repeats of a held key
        sendKey(VK_F3, true);
    } else {
        run.pressKey(virtualKeyNamed(key));
    }
}

struct Game {
    const char* source;  // beside the fixtures
    const char* exe;
    std::uint32_t seed;
};

// One game on the player and on the session, step by step.
void playAlike(const Game& game, const LoadedGameQuiz& quiz) {
    const int slots = quiz.shape.questionCount * quiz.shape.answersPerQuestion;
    QuizSession session;
    startGame(session, quiz.resources, "");
    auto run = std::make_unique<PlayerRun>(game.exe);
    ASSERT_TRUE(run->waitForMainWindow());

    const std::vector<GameStep> steps = generateGame(game.seed, FixedGameLength, quiz.shape);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const GameStep& step = steps[i];
        if (step.verb == "type") typeIn(*run, step);
        if (step.verb == "press") press(*run, step.word);
        if (step.verb == "click") run->click(run->control(run->singlePanel(), step.word == "next" ? NextButton : PreviousButton));
        if (step.verb == "select") chooseInSelector(*run, step.index);
        if (step.verb == "reopen") {
            ASSERT_TRUE(run->close().has_value());
            const std::optional<std::string> saved = run->progressFile();
            run = std::make_unique<PlayerRun>(game.exe, saved);
            ASSERT_TRUE(run->waitForMainWindow());
        }
        const bool withSaved = playOnSession(session, quiz.resources, step);
        const GameState expected = stateOf(session, withSaved);
        GameState shown;
        pause(40);
        eventually([&] { return (shown = playerState(*run, slots, quiz.shape.questionCount, withSaved)) == expected; },
                   std::chrono::milliseconds(3000));
        ASSERT_EQ(stateLine(shown), stateLine(expected)) << game.source << " seed " << game.seed << ", step " << i + 1
                                                         << " (" << stepLine(step) << ")";
    }
    run->close();
}

class DifferentialGames : public testing::TestWithParam<Game> {};

// Seeds 1 to 3 in ./test; ZORBEL_GAMES=N plays N games a quiz (a longer run).
TEST_P(DifferentialGames, ThePlayerShowsWhatTheSessionShowsAfterEveryStep) {
    const auto quiz = loadScriptedQuiz(std::string(ZORBEL_FIXTURES) + "/" + GetParam().source);
    ASSERT_TRUE(quiz.has_value());
    const int games = gameSeedsToPlay();
    for (int seed = 1; seed <= games && !HasFatalFailure(); ++seed) {
        playAlike({GetParam().source, GetParam().exe, static_cast<std::uint32_t>(seed)}, *quiz);
    }
    std::printf("%s: %d games of %d steps, every state the session's\n", GetParam().source, games, FixedGameLength);
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoAnswers, DifferentialGames,
                         testing::Values(Game{"one_answer.toml", "quiz_one_answer.exe", 0},
                                         Game{"two_answers.toml", "quiz_two_answers.exe", 0}));

}  // namespace
