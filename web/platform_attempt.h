#pragma once
// What a learning platform (SCORM 1.2) keeps of an attempt at the quiz: the
// score it shows the teacher and the answers, as cmi.suspend_data, a text the
// platform hands back on the pupil's next visit. Moodle keeps at most 4,096
// characters of it, so the answers are written compactly:
//
//   Z1|SOLEIL|LUNE||ETOILE
//
// "Z1", then for each answer slot up to the last one typed "|" and its
// answer; a byte outside printable ASCII, "|" and "%" are written %XX (the
// code page 1252 byte in hex), so the text is plain ASCII whatever was typed.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "content/text.h"

struct QuizSession;

inline constexpr std::size_t SuspendDataLimit = 4096;

// round(100 x solved / questions); -1 for a quiz without questions.
int platformScore(int solved, int questionCount);

// The teacher's pass mark, a percentage from 0 to 100, or none.
inline constexpr int NoPassMark = -1;

// The attempt's lesson_status. With a pass mark: "passed" once the score
// reaches it; without: "completed" once every question is solved;
// "incomplete" until then, so that the pupil may come back.
std::string_view lessonStatus(int solved, int questionCount, int passMark = NoPassMark);

struct SuspendData {
    std::string text;
    int leftOut = 0;  // answers left out to keep within the limit
};

// The answers (one per slot, code page 1252) as suspend data of at most
// `limit` characters. Over it, answers are left out, longest first: those of
// questions not solved (`solved`, one per slot) before those solved.
SuspendData suspendDataOf(std::span<const Text> answers, std::span<const bool> solved, std::size_t limit);

// The progress-file bytes of suspend data (code page 1252): the answers it
// holds, each cut at 259 bytes, zero bytes and line breaks dropped; nullopt for text
// that is not ours (no "Z1" first). A "%" without two hex digits is itself.
std::optional<std::string> progressOfSuspendData(std::string_view text);

// The answers of a game as they stand, as a learning platform keeps them:
// within SuspendDataLimit, the answers of solved questions left out last.
SuspendData platformSuspendData(QuizSession& session);
