#include "tests/differential/game_script.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <random>

#include "authoring/cp1252.h"
#include "authoring/quiz_resources.h"
#include "authoring/quiz_source.h"
#include "resources/contract_ids.h"
#include "session/progress_format.h"
#include "session/quiz_session.h"

namespace {

using namespace controlid;

constexpr std::array<std::string_view, 11> FieldKeys = {"Enter", "Tab",    "ShiftTab", "F1",     "F2",      "F3",
                                                        "F3held", "Up",    "Down",     "PageUp", "PageDown"};

std::string jsonText(std::string_view cp1252) { return quotedUtf8(cp1252ToUtf8(cp1252)); }

// A text a player might type for an expected answer: right, in other
// capitals, with a slip, with accents, empty, or another question's.
std::string typedFor(std::mt19937& random, const ScriptedQuiz& quiz, int slot) {
    const std::string& right = quiz.answers[static_cast<std::size_t>(slot - 1)];
    std::string text = right;
    switch (random() % 8) {
        case 0: for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c))); break;
        case 1: if (!text.empty()) text.pop_back(); break;
        case 2: text += "e"; break;
        case 3: text = "\xC3\xA9" + text; break;  // é
        case 4: text.clear(); break;
        case 5: text = quiz.answers[random() % quiz.answers.size()]; break;
        case 6: text = " " + text + " "; break;
        default: break;
    }
    return text;
}

struct Generator {
    std::mt19937 random;
    const ScriptedQuiz& quiz;
    bool overview = false;
    enum class Focus { Main, Field, Control } focus = Focus::Main;
    std::vector<GameStep> steps;
    // The field keys are dealt from a shuffled deck per view, so that every
    // key is pressed in both views in a few games.
    std::array<std::vector<std::string_view>, 2> decks;

    std::string_view nextFieldKey() {
        std::vector<std::string_view>& deck = decks[overview ? 1 : 0];
        if (deck.empty()) {
            deck.assign(FieldKeys.begin(), FieldKeys.end());
            deck.push_back("Enter");  // the key players press most
            std::shuffle(deck.begin(), deck.end(), random);
        }
        const std::string_view key = deck.back();
        deck.pop_back();
        return key;
    }

    int slots() const { return quiz.questionCount * quiz.answersPerQuestion; }

    void type() {
        GameStep step{"type", 0, "", 0};
        const int slot = overview ? static_cast<int>(random() % static_cast<unsigned>(slots())) + 1
                                  : 0;
        step.field = overview ? OverviewFieldBase + slot : AnswerField;
        step.word = typedFor(random, quiz, overview ? slot : 1 + static_cast<int>(random() % static_cast<unsigned>(slots())));
        steps.push_back(step);
        focus = Focus::Field;
    }

    void press(std::string_view key) {
        steps.push_back({"press", 0, std::string(key), 0});
        if (key.starts_with("F3")) {
            overview = !overview;
            focus = Focus::Main;
        }
    }

    void moveAround() {
        if (random() % 3 == 0) {
            steps.push_back({"select", 0, "", static_cast<int>(random() % static_cast<unsigned>(quiz.questionCount))});
        } else {
            steps.push_back({"click", 0, random() % 2 == 0 ? "next" : "previous", 0});
        }
        focus = Focus::Control;
    }

    void step() {
        const auto roll = random() % 100;
        if (roll < 2) {
            steps.push_back({"reopen", 0, "", 0});
            overview = false;
            focus = Focus::Main;
        } else if (roll < 12 && !overview) {
            moveAround();
        } else if (roll < (overview ? 13u : 22u) && focus != Focus::Control) {
            press(random() % 3 == 0 ? "F3held" : "F3");
        } else if (roll < 65 && focus == Focus::Field) {
            press(nextFieldKey());
        } else {
            type();
        }
    }
};

}  // namespace

std::optional<LoadedGameQuiz> loadScriptedQuiz(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const ParsedSource parsed = parseQuizSource(text.str());
    if (!parsed.ok()) return std::nullopt;
    // The answers are what matters here: the pictures are left out.
    QuizSource source = parsed.source;
    const QuizResources resources = quizResourcesOfPrepared(source, path, {});
    if (!resources.ok()) return std::nullopt;
    ScriptedQuiz shape{static_cast<int>(source.questions.size()), source.answersPerQuestion, {}};
    for (const SourceQuestion& question : source.questions) {
        // The source's texts are code page 1252; the games are written in UTF-8.
        shape.answers.push_back(cp1252ToUtf8(question.answer));
        if (shape.answersPerQuestion == 2) shape.answers.push_back(cp1252ToUtf8(question.secondAnswer));
    }
    return LoadedGameQuiz{shape, webQuizOf(resources)};
}

void startGame(QuizSession& session, const WebQuiz& quiz, std::string_view progress) {
    session = QuizSession{};
    std::optional<std::span<const std::uint8_t>> codes;
    if (quiz.codes) codes = std::span<const std::uint8_t>(*quiz.codes);
    startSession(session, quiz.definition, codes,
                 {reinterpret_cast<const std::uint8_t*>(progress.data()), progress.size()});
}

namespace {

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

}  // namespace

bool playOnSession(QuizSession& session, const WebQuiz& quiz, const GameStep& step) {
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
        startGame(session, quiz, saved);
        return true;
    }
    takeEffects(session);
    return false;
}

std::string stepLine(const GameStep& step) {
    if (step.verb == "type") return "type " + std::to_string(step.field) + " " + step.word;
    if (step.verb == "select") return "select " + std::to_string(step.index);
    if (step.verb == "reopen") return "reopen";
    return step.verb + " " + step.word;
}

std::optional<GameStep> parseStep(std::string_view line) {
    const std::size_t space = line.find(' ');
    GameStep step{std::string(line.substr(0, space)), 0, "", 0};
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (step.verb == "reopen") return step;
    if (step.verb == "press" || step.verb == "click") {
        step.word = rest;
        return step;
    }
    if (step.verb == "select") {
        step.index = std::atoi(std::string(rest).c_str());
        return step;
    }
    if (step.verb != "type") return std::nullopt;
    const std::size_t gap = rest.find(' ');
    step.field = std::atoi(std::string(rest.substr(0, gap)).c_str());
    step.word = gap == std::string_view::npos ? "" : std::string(rest.substr(gap + 1));
    return step;
}

int gameSeedsToPlay() {
    const char* games = std::getenv("ZORBEL_GAMES");
    const int count = games != nullptr ? std::atoi(games) : 0;
    return count > 0 ? count : FixedGameSeeds;
}

std::vector<GameStep> generateGame(std::uint32_t seed, int count, const ScriptedQuiz& quiz) {
    Generator generator{std::mt19937(seed), quiz, false, Generator::Focus::Main, {}, {}};
    if (quiz.questionCount == 0 || quiz.answers.empty()) return {};
    while (static_cast<int>(generator.steps.size()) < count) generator.step();
    generator.steps.resize(static_cast<std::size_t>(count));
    return generator.steps;
}

GameState stateOf(QuizSession& session, bool withSaved) {
    GameState state;
    state.overview = session.overviewShown;
    state.question = session.currentQuestion;
    state.score = session.header.textOf(ScoreLabel);
    state.code = session.header.textOf(CodeField);
    state.field = session.single.textOf(AnswerField);
    state.verdict = session.single.textOf(VerdictLabel);
    state.comment = session.single.textOf(CommentLabel);
    for (int s = 1; s <= answerSlotCount(session.record); ++s) {
        state.slots.emplace_back(session.overview.textOf(OverviewFieldBase + s), session.overview.textOf(OverviewVerdictBase + s));
    }
    for (int j = 1; j <= session.record.questionCount; ++j) {
        if (session.overview.exists(OverviewCommentBase + j) && session.overview.visible(OverviewCommentBase + j)) {
            state.comments.push_back(j);
        }
    }
    if (withSaved) state.saved = progressBytes(session).value_or("");
    return state;
}

std::string stateLine(const GameState& state) {
    std::string line = "{\"view\":";
    line += state.overview ? "\"overview\"" : "\"single\"";
    line += ",\"question\":" + std::to_string(state.question);
    line += ",\"score\":" + jsonText(state.score);
    line += ",\"code\":" + jsonText(state.code);
    line += ",\"field\":" + jsonText(state.field);
    line += ",\"verdict\":" + jsonText(state.verdict);
    line += ",\"comment\":" + jsonText(state.comment);
    line += ",\"slots\":[";
    for (std::size_t s = 0; s < state.slots.size(); ++s) {
        line += (s > 0 ? ",[" : "[") + jsonText(state.slots[s].first) + "," + jsonText(state.slots[s].second) + "]";
    }
    line += "],\"comments\":[";
    for (std::size_t j = 0; j < state.comments.size(); ++j) line += (j > 0 ? "," : "") + std::to_string(state.comments[j]);
    line += "]";
    if (state.saved) line += ",\"saved\":" + jsonText(*state.saved);
    return line + "}";
}
