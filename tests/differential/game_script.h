#pragma once
// A game as a list of what a player does, one step a line, played alike on
// the Windows player, on the session and on the web page; and what each face
// shows after every step, one line, so that the three can be compared.
//
//   type 4003 tour eiffel   the field is clicked, its text replaced by what follows
//   press Tab               a key pressed and released where the focus is
//                           (Enter Tab ShiftTab F1 F2 F3 F3held Up Down PageUp PageDown)
//   click next              an arrow (next, previous)
//   select 2                the selector's question (0-based)
//   reopen                  the game closed and started again

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/web_page.h"

struct QuizSession;

struct GameStep {
    std::string verb;    // type, press, click, select, reopen
    int field = 0;       // type: 9000 or 4000 + s
    std::string word;    // type: the text (UTF-8); press: the key; click: the arrow
    int index = 0;       // select
    friend bool operator==(const GameStep&, const GameStep&) = default;
};

std::string stepLine(const GameStep& step);
std::optional<GameStep> parseStep(std::string_view line);

// What the generator needs of a quiz: its shape and the answers it expects (UTF-8).
struct ScriptedQuiz {
    int questionCount = 0;
    int answersPerQuestion = 1;
    std::vector<std::string> answers;  // slot s at s - 1
};

// The games of ./test: seeds 1 to 3 on each test quiz, this long; together
// they reach every action in every view (game_script_test.cpp holds them to it).
inline constexpr int FixedGameLength = 60;
inline constexpr int FixedGameSeeds = 3;

// How many seeds a run plays: ZORBEL_GAMES when set (a longer run), else FixedGameSeeds.
int gameSeedsToPlay();

// `count` steps from `seed`. Keys are pressed only where each face gives them
// to the game: in a field the player typed in or moved to, or, for F3 only,
// in the main window (at start and after a switch); never on an arrow or the
// selector, whose keys are the window system's.
std::vector<GameStep> generateGame(std::uint32_t seed, int count, const ScriptedQuiz& quiz);

// What a face shows (texts in code page 1252): the view, the question shown,
// the header's score and code, the single view's field, verdict and comment,
// every overview field and verdict, the comments shown in the overview, and,
// after F2 and reopen, the answers saved.
struct GameState {
    bool overview = false;
    int question = 0;
    std::string score, code, field, verdict, comment;
    std::vector<std::pair<std::string, std::string>> slots;  // field and verdict of slot s at s - 1
    std::vector<int> comments;                               // the questions whose comment shows
    std::optional<std::string> saved;
    friend bool operator==(const GameState&, const GameState&) = default;
};

GameState stateOf(QuizSession& session, bool withSaved);

// One line of JSON, texts in UTF-8: what the page's runner compares.
std::string stateLine(const GameState& state);

// A quiz source (TOML) read for the games: its resources (without pictures)
// and its shape.
struct LoadedGameQuiz {
    ScriptedQuiz shape;
    WebQuiz resources;
};
std::optional<LoadedGameQuiz> loadScriptedQuiz(const std::string& sourcePath);

// The session started on the quiz with `progress` as its progress file.
void startGame(QuizSession& session, const WebQuiz& quiz, std::string_view progress);

// Plays a step on the session as the player's windows would report it; true
// when the step saved the answers.
bool playOnSession(QuizSession& session, const WebQuiz& quiz, const GameStep& step);
