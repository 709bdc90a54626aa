// The grading module's C interface, for the page's script (module_api.js):
// plain functions, texts out as zero-terminated code page 1252 bytes, texts in
// as UTF-8 or bytes in a buffer the module lends. Every function is listed in
// exported_functions.json. One game per page.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "authoring/cp1252.h"
#include "content/quiz_record.h"
#include "grading/verdict.h"
#include "panels/overview_layout.h"
#include "panels/single_question_layout.h"
#include "web/accent_letters.h"
#include "web/platform_attempt.h"
#include "web/text_contrast.h"
#include "session/question_order.h"
#include "session/quiz_session.h"
#include "web/typed_text.h"

namespace {

struct ModuleState {
    std::unique_ptr<QuizSession> session;
    LoadOutcome outcome;
    std::vector<std::uint8_t> buffer;  // lent to the page for the bytes it passes in
    std::string text;                  // the last text handed out
    std::vector<int> changes;          // of the window last asked
    std::optional<std::string> progress;
    int suspendLeftOut = 0;
    SessionEffects effects;            // taken by the page's last zq_effects
};

ModuleState state;

QuizSession& game() {
    if (!state.session) state.session = std::make_unique<QuizSession>();
    return *state.session;
}

const char* handOut(std::string_view text) {
    state.text.assign(text);
    return state.text.c_str();
}

std::span<const std::uint8_t> bytesAt(const std::uint8_t* data, int size) {
    return size > 0 ? std::span<const std::uint8_t>(data, static_cast<std::size_t>(size))
                    : std::span<const std::uint8_t>();
}

SessionControls& window(int which) { return controlsOf(game(), static_cast<SessionWindow>(which)); }

ScrollRequest scrollAt(int index) {
    const auto& scrolls = state.effects.scrolls;
    return index >= 0 && index < static_cast<int>(scrolls.size()) ? scrolls[static_cast<std::size_t>(index)]
                                                                  : ScrollRequest{};
}

SessionKey sessionKeyOf(std::string_view name) {
    constexpr std::pair<std::string_view, SessionKey> Names[] = {
        {"Enter", SessionKey::Enter},   {"Tab", SessionKey::Tab},        {"F1", SessionKey::F1},
        {"F2", SessionKey::F2},         {"F3", SessionKey::F3},          {"ArrowUp", SessionKey::Up},
        {"ArrowDown", SessionKey::Down}, {"PageUp", SessionKey::PageUp}, {"PageDown", SessionKey::PageDown},
    };
    for (const auto& [keyName, key] : Names) {
        if (keyName == name) return key;
    }
    return SessionKey::Other;
}

int rgbOf(Rgb colour) { return colour.red << 16 | colour.green << 8 | colour.blue; }

}  // namespace

extern "C" {

std::uint8_t* zq_buffer(int size) {
    state.buffer.resize(static_cast<std::size_t>(size > 0 ? size : 1));
    return state.buffer.data();
}

// codesSize -1: the quiz has no code lines.
int zq_start(const std::uint8_t* definition, int definitionSize, const std::uint8_t* codes, int codesSize,
             const std::uint8_t* progress, int progressSize) {
    state.session = std::make_unique<QuizSession>();
    std::optional<std::span<const std::uint8_t>> codeBytes;
    if (codesSize >= 0) codeBytes = bytesAt(codes, codesSize);
    state.outcome = startSession(*state.session, bytesAt(definition, definitionSize), codeBytes,
                                 bytesAt(progress, progressSize));
    return static_cast<int>(state.outcome.messages.size());
}

const char* zq_message(int index) {
    const auto& messages = state.outcome.messages;
    return index >= 0 && index < static_cast<int>(messages.size()) ? handOut(messages[static_cast<std::size_t>(index)].text)
                                                                     : handOut("");
}

int zq_question_count() { return game().record.questionCount; }
int zq_answers_per_question() { return game().record.answersPerQuestion; }
int zq_slot_count() { return answerSlotCount(game().record); }
int zq_comment_mode() { return game().record.commentMode; }
int zq_shows_pictures() { return game().record.showPictures == 1 ? 1 : 0; }
int zq_current_question() { return game().currentQuestion; }
int zq_overview_shown() { return game().overviewShown ? 1 : 0; }

// 0xRRGGBB of the quiz's background.
int zq_background() { return rgbOf(backgroundColourOf(game().record)); }

// 0 name, 1 first answer's name, 2 second answer's name.
const char* zq_quiz_text(int which) {
    const QuizRecord& r = game().record;
    switch (which) {
        case 0: return handOut(r.quizName.view());
        case 1: return handOut(r.firstAnswerLabel.view());
        case 2: return handOut(r.secondAnswerLabel.view());
        default: return handOut("");
    }
}

// The answer slot (1-based) of answer k (1-based) of question j (1-based), and
// the longest text an answer field holds.
int zq_slot(int question, int answer) { return firstSlotOf(question - 1, game().record.answersPerQuestion) + answer - 1; }
int zq_max_text_length() { return static_cast<int>(MaxTextLength); }

const char* zq_question_item(int index) { return handOut(questionItemText(index)); }
const char* zq_question_number(int question) { return handOut(questionNumberText(question)); }

const char* zq_control_text(int which, int id) { return handOut(window(which).textOf(id)); }
int zq_control_exists(int which, int id) { return window(which).exists(id) ? 1 : 0; }
int zq_control_visible(int which, int id) { return window(which).visible(id) ? 1 : 0; }

// A field's text as typed (UTF-8, composed), held as the player's field holds it.
void zq_type(int field, const char* utf8) { typeText(game(), field, typedTextBytes(utf8)); }

// How many controls of a window changed since it was last asked; then each id.
int zq_changes(int which) {
    state.changes = window(which).takeChanges();
    return static_cast<int>(state.changes.size());
}
int zq_change(int index) {
    return index >= 0 && index < static_cast<int>(state.changes.size()) ? state.changes[static_cast<std::size_t>(index)]
                                                                       : 0;
}

// The colour class (VerdictColour) of a verdict label's text, and the fill of each class.
int zq_verdict_colour(int which, int id) { return static_cast<int>(verdictColour(window(which).textOf(id))); }
int zq_colour(int colourClass) {
    switch (static_cast<VerdictColour>(colourClass)) {
        case VerdictColour::Right: return rgbOf(RightColour);
        case VerdictColour::Wrong: return rgbOf(WrongColour);
        case VerdictColour::Anagram: return rgbOf(AnagramColour);
        case VerdictColour::Hint: return rgbOf(HintColour);
        case VerdictColour::System: break;
    }
    return -1;
}
// 1 when the page's text is black on this quiz's background, 0 white.
int zq_text_black() { return blackTextOn(backgroundColourOf(game().record)) ? 1 : 0; }

// The letters of the expected answers that a keyboard may lack (code page 1252).
const char* zq_accent_letters() { return handOut(accentLetters(game().record)); }

// The player's actions. A control is an answer field's id (9000, 4000 + s),
// another control's id, or 0 for the main window.
void zq_focus(int control) { moveFocus(game(), control); }
void zq_click_arrow(int button) { clickArrow(game(), button); }
void zq_choose(int index) { chooseQuestion(game(), index); }
void zq_click_save() { clickSave(game()); }
void zq_switch_view() { pressKey(game(), FocusElsewhere, SessionKey::F3, false); }
int zq_focused() { return game().focus; }

// A key event (the browser's key name, UTF-8) in a control; stroke: 0 down,
// 1 a down's auto-repeat, 2 up. Bit 1 of the result: the browser must not
// handle the key; bit 2: the game acted on it.
int zq_key(int control, const char* keyName, int stroke, int shift) {
    const SessionKey key = sessionKeyOf(keyName);
    int result = keyIsTheGames(control, key) ? 1 : 0;
    if (keyActs(static_cast<KeyStroke>(stroke)) && key != SessionKey::Other) {
        pressKey(game(), control, key, shift != 0);
        result |= 2;
    }
    return result;
}

// What the game asks of the page since it last asked: bit 1 the view
// switched, bit 2 another question is shown, bit 4 a save; then the scroll
// requests, each a kind (OverviewScroll) and a slot.
int zq_effects() {
    state.effects = takeEffects(game());
    return (state.effects.viewSwitched ? 1 : 0) | (state.effects.questionShown ? 2 : 0) |
           (state.effects.saveRequested ? 4 : 0);
}
int zq_scroll_count() { return static_cast<int>(state.effects.scrolls.size()); }
int zq_scroll_kind(int index) { return static_cast<int>(scrollAt(index).kind); }
int zq_scroll_slot(int index) { return scrollAt(index).slot; }

// The progress file's bytes (-1: nothing to save); then their address.
int zq_progress() {
    state.progress = progressBytes(game());
    return state.progress ? static_cast<int>(state.progress->size()) : -1;
}
const char* zq_progress_data() { return state.progress ? state.progress->data() : ""; }

// The questions solved, and the score a learning platform is given (-1: none to give).
int zq_solved_count() { return game().record.solvedCount(); }
// passMark: a percentage, or -1 for none.
const char* zq_lesson_status(int passMark) {
    return handOut(lessonStatus(game().record.solvedCount(), game().record.questionCount, passMark));
}
int zq_platform_score() { return platformScore(game().record.solvedCount(), game().record.questionCount); }

// The answers as a learning platform keeps them (ASCII); then how many were left out to fit.
const char* zq_suspend_data() {
    const SuspendData data = platformSuspendData(game());
    state.suspendLeftOut = data.leftOut;
    return handOut(data.text);
}
int zq_suspend_left_out() { return state.suspendLeftOut; }

// The progress bytes of a platform's suspend data (UTF-8): their size (-1:
// not ours); then their address from zq_progress_data.
int zq_progress_of_suspend_data(const char* utf8) {
    state.progress = progressOfSuspendData(utf8ToCp1252Replacing(utf8, '?'));
    return state.progress ? static_cast<int>(state.progress->size()) : -1;
}

// The verdict on a typed text (UTF-8), for the table shared with the native tests.
const char* zq_grade(const char* expectedUtf8, const char* typedUtf8, int overview) {
    const std::string expected = utf8ToCp1252Replacing(expectedUtf8, '?');
    return handOut(verdictText(gradeAnswer(expected, typedTextBytes(typedUtf8), overview != 0)));
}

}  // extern "C"
