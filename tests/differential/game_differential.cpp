// The session's side of the differential test: makes the games (generate)
// and plays them on the session natively (replay), printing what the game
// shows after every step. The player under Wine and the page in browsers
// play the same games and must print the same lines.
//
//   game_differential generate SEED COUNT QUIZ.toml   one game of COUNT steps
//   game_differential replay QUIZ.toml GAME.txt       a state line per step

#include <fstream>
#include <iostream>
#include <string>

#include "session/quiz_session.h"
#include "tests/differential/game_script.h"

namespace {

int generate(int argc, char** argv) {
    if (argc != 5) return 2;
    const auto quiz = loadScriptedQuiz(argv[4]);
    if (!quiz) return 1;
    for (const GameStep& step : generateGame(static_cast<std::uint32_t>(std::stoul(argv[2])), std::stoi(argv[3]), quiz->shape)) {
        std::cout << stepLine(step) << '\n';
    }
    return 0;
}

int replay(int argc, char** argv) {
    if (argc != 4) return 2;
    const auto quiz = loadScriptedQuiz(argv[2]);
    std::ifstream game(argv[3]);
    if (!quiz || !game) return 1;
    QuizSession session;
    startGame(session, quiz->resources, "");
    std::string line;
    while (std::getline(game, line)) {
        const std::optional<GameStep> step = parseStep(line);
        if (!step) {
            std::cerr << "not a step: " << line << '\n';
            return 1;
        }
        const bool saved = playOnSession(session, quiz->resources, *step);
        std::cout << stateLine(stateOf(session, saved)) << '\n';
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
