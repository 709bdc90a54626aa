// The session's side of the differential test: makes the games (generate)
// and plays them on the session natively (replay), printing what the game
// shows after every step. The player under Wine and the page in browsers
// play the same games and must print the same lines.
//
//   game_differential generate SEED COUNT QUIZ.toml   one game of COUNT steps
//   game_differential replay QUIZ.toml GAME.txt       a state line per step

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "authoring/cp1252.h"
#include "authoring/quiz_resources.h"
#include "authoring/quiz_source.h"
#include "authoring/web_page.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "tests/differential/game_script.h"

namespace {

struct LoadedQuiz {
    QuizSource source;
    WebQuiz resources;
};

std::optional<LoadedQuiz> loadQuiz(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const ParsedSource parsed = parseQuizSource(text.str());
    if (!parsed.ok()) return std::nullopt;
    // The answers are what matters here: the pictures are left out.
    QuizSource source = parsed.source;
    const QuizResources resources = quizResourcesOfPrepared(source, path, {});
    if (!resources.ok()) return std::nullopt;
    return LoadedQuiz{source, webQuizOf(resources)};
}

void start(QuizSession& session, const WebQuiz& quiz, const std::string& progress) {
    session = QuizSession{};
    std::optional<std::span<const std::uint8_t>> codes;
    if (quiz.codes) codes = std::span<const std::uint8_t>(*quiz.codes);
    startSession(session, quiz.definition, codes,
                 {reinterpret_cast<const std::uint8_t*>(progress.data()), progress.size()});
}

SessionKey keyNamed(const std::string& name) {
    if (name == "Enter") return SessionKey::Enter;
    if (name == "Tab" || name == "ShiftTab") return SessionKey::Tab;
    if (name == "F1") return SessionKey::F1;
    if (name == "F2") return SessionKey::F2;
    if (name == "F3" || name == "F3held") return SessionKey::F3;
    if (name == "Up") return SessionKey::Up;
    if (name == "Down") return SessionKey::Down;
    if (name == "PageUp") return SessionKey::PageUp;
    if (name == "PageDown") return SessionKey::PageDown;
    return SessionKey::Other;
}

// The focus as the window system holds it: keys reach a field or the main window.
int keyTarget(const QuizSession& session) {
    const int focus = session.focus;
    const bool field = focus == controlid::AnswerField || (focus > controlid::OverviewFieldBase && focus < controlid::OverviewVerdictBase);
    return field ? focus : FocusElsewhere;
}

// True when the step saved (its state line then carries the answers saved).
bool play(QuizSession& session, const WebQuiz& quiz, const GameStep& step) {
    if (step.verb == "type") {
        moveFocus(session, step.field);
        typeText(session, step.field, utf8ToCp1252Replacing(step.word, '?'));
    } else if (step.verb == "press") {
        pressKey(session, keyTarget(session), keyNamed(step.word), step.word == "ShiftTab");
        return takeEffects(session).saveRequested;
    } else if (step.verb == "click") {
        clickArrow(session, step.word == "next" ? controlid::NextButton : controlid::PreviousButton);
    } else if (step.verb == "select") {
        chooseQuestion(session, step.index);
    } else if (step.verb == "reopen") {
        const std::string saved = progressBytes(session).value_or("");
        start(session, quiz, saved);
        return true;
    }
    takeEffects(session);
    return false;
}

int generate(int argc, char** argv) {
    if (argc != 5) return 2;
    const auto quiz = loadQuiz(argv[4]);
    if (!quiz) return 1;
    ScriptedQuiz shape{static_cast<int>(quiz->source.questions.size()), quiz->source.answersPerQuestion, {}};
    for (const SourceQuestion& question : quiz->source.questions) {
        // The source's texts are code page 1252; the games are written in UTF-8.
        shape.answers.push_back(cp1252ToUtf8(question.answer));
        if (shape.answersPerQuestion == 2) shape.answers.push_back(cp1252ToUtf8(question.secondAnswer));
    }
    for (const GameStep& step : generateGame(static_cast<std::uint32_t>(std::stoul(argv[2])), std::stoi(argv[3]), shape)) {
        std::cout << stepLine(step) << '\n';
    }
    return 0;
}

int replay(int argc, char** argv) {
    if (argc != 4) return 2;
    const auto quiz = loadQuiz(argv[2]);
    std::ifstream game(argv[3]);
    if (!quiz || !game) return 1;
    QuizSession session;
    start(session, quiz->resources, "");
    std::string line;
    while (std::getline(game, line)) {
        const std::optional<GameStep> step = parseStep(line);
        if (!step) {
            std::cerr << "not a step: " << line << '\n';
            return 1;
        }
        const bool saved = play(session, quiz->resources, *step);
        std::cout << stateLineOf(session, saved) << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const int result = command == "generate" ? generate(argc, argv) : command == "replay" ? replay(argc, argv) : 2;
    if (result == 2) std::cerr << "usage: game_differential generate SEED COUNT QUIZ.toml | replay QUIZ.toml GAME.txt\n";
    return result;
}
