#pragma once
// The game, whichever face shows it: the quiz loaded, the answers restored
// from progress-file bytes, and every action of the player (a key acted on in
// a field or the main window, the focus moving, the arrows, the selector, the
// view switch, saving) applied in the Windows player's order to controls held
// in memory. The player's windows and the web page each turn their own events
// into these actions, then paint the controls that changed and carry out the
// effects (a picture to show, a scroll, a save, the focus to move).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "content/quiz_loader.h"
#include "content/quiz_record.h"
#include "session/session_controls.h"

enum class SessionWindow : int { Header = 0, SingleQuestion = 1, Overview = 2 };

// Where the keyboard focus is, as far as the game is concerned: an answer
// field (9000, or 4000 + s), a control of no consequence (an arrow, the
// selector, "Sauver"), or elsewhere: the main window or another program.
inline constexpr int FocusElsewhere = 0;

enum class SessionKey : int { Enter, Tab, F1, F2, F3, Up, Down, PageUp, PageDown, Other };

// How a key reached a control. Keys act once per press: when released, or when
// first pressed with Alt held; never on a key-down's auto-repeats.
enum class KeyStroke : int { Down = 0, Repeat = 1, Up = 2, AltDown = 3, AltRepeat = 4 };
bool keyActs(KeyStroke stroke);

// True when a key pressed in `control` must not reach it (nor the browser):
// Enter and Tab never reach an answer field, F1 to F3 are the game's.
bool keyIsTheGames(int control, SessionKey key);

// What the overview is asked to scroll to.
enum class OverviewScroll : int { Top, Bottom, PageUp, PageDown, ShowSlot };
struct ScrollRequest {
    OverviewScroll kind = OverviewScroll::Top;
    int slot = 0;  // for ShowSlot: the slot whose field and question must be in view
    friend bool operator==(const ScrollRequest&, const ScrollRequest&) = default;
};

// What the game asks of the window system, in the order asked, since the
// face last took them. The view, the question shown and the focus are read
// from the session itself.
struct SessionEffects {
    bool viewSwitched = false;
    bool questionShown = false;  // the single view shows another question (its picture)
    bool saveRequested = false;  // F2 or "Sauver": the face writes progressBytes
    std::vector<ScrollRequest> scrolls;
};

struct QuizSession {
    QuizRecord record;
    SessionControls header;
    SessionControls single;    // 9000 answer field, 9500 verdict, 9501 comment
    SessionControls overview;  // 4000 + s fields, 5000 + s verdicts, 8000 + j comments
    int currentQuestion = 0;
    bool overviewShown = false;
    int focus = FocusElsewhere;
    SessionEffects effects;
};

SessionControls& controlsOf(QuizSession& session, SessionWindow window);

// The quiz of the encoded definition and code lines (codes: nullopt when the
// quiz has none), with the answers of `progress` (the bytes of a progress
// file, empty for none), graded in the order the player grades them at
// start-up. The outcome names the player's messages.
LoadOutcome startSession(QuizSession& session, std::span<const std::uint8_t> definition,
                         std::optional<std::span<const std::uint8_t>> codes, std::span<const std::uint8_t> progress);

// The same for a record already loaded (the Windows player loads it from its
// own resources).
void beginSession(QuizSession& session, std::span<const std::uint8_t> progress);

// --- What the player does ----------------------------------------------------

// Typing: an answer field's text as it now stands; nothing is graded.
void typeText(QuizSession& session, int field, std::string_view text);

// The focus moves to `control` (FocusElsewhere, a field or any other control
// id); the answer field it leaves is kept and graded.
void moveFocus(QuizSession& session, int control);

// A key acted on (keyActs) in `control`: an answer field, or FocusElsewhere
// for the main window.
void pressKey(QuizSession& session, int control, SessionKey key, bool shift);

// The arrow buttons (9905, 9906) and the selector: the focus moves to them
// first, then the question changes.
void clickArrow(QuizSession& session, int button);
void chooseQuestion(QuizSession& session, int index);

// The header's "Sauver" button: the focus moves to it, then a save is asked.
void clickSave(QuizSession& session);

// F3 reaching the main window.
void switchView(QuizSession& session);

// The effects asked since the last call.
SessionEffects takeEffects(QuizSession& session);

// --- What is kept --------------------------------------------------------------

// The answers as they stand, one per slot: the single view's field is copied
// into its slot first (copied, not graded).
std::vector<Text> currentAnswers(QuizSession& session);

// The progress file's bytes for the answers as they stand; none while the
// quiz has no answer slots, so that nothing replaces a stored game with an
// empty one.
std::optional<std::string> progressBytes(QuizSession& session);

// Whether question `index` (0-based) counts as solved, for each answer slot.
std::vector<bool> solvedBySlot(const QuizSession& session);
