#pragma once
// The game a web page plays, decided here rather than in its script: the
// quiz loaded from the resources a quiz executable carries, the answers
// restored from progress-file bytes, and every action of the player (Enter,
// leaving a field, the arrows and the selector, F1, F3, saving) applied as
// the Windows player applies it, to controls held in memory. The page draws
// those controls and passes on what the player does.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "content/quiz_loader.h"
#include "content/quiz_record.h"
#include "web/platform_attempt.h"
#include "web/session_controls.h"

enum class SessionWindow : int { Header = 0, SingleQuestion = 1, Overview = 2 };

struct QuizSession {
    QuizRecord record;
    SessionControls header;
    SessionControls single;    // 9000 answer field, 9500 verdict, 9501 comment
    SessionControls overview;  // 4000 + s fields, 5000 + s verdicts, 8000 + j comments
    int currentQuestion = 0;
    bool overviewShown = false;
};

SessionControls& controlsOf(QuizSession& session, SessionWindow window);

// The quiz of the encoded definition and code lines (codes: nullopt when the
// quiz has none), with the answers of `progress` (the bytes of a progress
// file, empty for none), graded in the order the player grades them at
// start-up. The outcome names the player's messages.
LoadOutcome startSession(QuizSession& session, std::span<const std::uint8_t> definition,
                         std::optional<std::span<const std::uint8_t>> codes, std::span<const std::uint8_t> progress);

// Single-question view. The answer field's text is set through `single`
// before each of these.
void gradeShownQuestion(QuizSession& session);     // Enter
void leaveAnswerField(QuizSession& session);       // the field loses the focus: kept and graded
void showQuestion(QuizSession& session, int index);  // arrows and selector: kept, moved, shown, graded
void showNextQuestion(QuizSession& session);
void showPreviousQuestion(QuizSession& session);

// Overview. The fields' texts are set through `overview` before each of these.
void gradeOverviewSlot(QuizSession& session, int slot);      // Enter, or the field loses the focus
void copyAnswerToUnsolved(QuizSession& session, int slot);   // F1: slot's text into every slot not right

// F3: the answers carried to the other view and graded there.
void switchView(QuizSession& session);

// The answers as they stand, one per slot (the shown field kept first).
std::vector<Text> currentAnswers(QuizSession& session);

// The progress file's bytes for the answers as they stand; none while the
// quiz has no answer slots, so that nothing replaces a stored game with an
// empty one.
std::optional<std::string> progressBytes(QuizSession& session);

// The answers as they stand, as a learning platform keeps them: within
// SuspendDataLimit, the answers of solved questions left out last.
SuspendData platformSuspendData(QuizSession& session);
