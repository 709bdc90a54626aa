#pragma once
// A quiz as the editor holds it while the author works on it: the quiz's
// texts and settings, each question's picture as the author gave it, and the
// history of its changes. Every change goes through the operations below,
// which enforce the player's limits where the author types: a change that
// would break one is refused with a message in French (UTF-8) and leaves the
// document as it was; every other change is one step of the history.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/quiz_resources.h"
#include "authoring/quiz_source.h"

// Pictures are shared between the steps of a document's history, never copied.
using SharedPicture = std::shared_ptr<const PictureInput>;
using SharedPrepared = std::shared_ptr<const PreparedPicture>;

// One question as the author made it: its texts and its picture, which every
// edit moves, removes and brings back together.
struct DocumentQuestion {
    std::string answer;  // code page 1252
    std::string secondAnswer;
    std::string location;
    std::string comment;
    SharedPicture picture;    // as the author gave it; none: no picture
    SharedPrepared prepared;  // as the quiz will store and show it
    int quarterTurns = 0;     // clockwise, asked by the author
    friend bool operator==(const DocumentQuestion&, const DocumentQuestion&) = default;
};

// What a document holds at one moment.
struct DocumentContent {
    QuizSettings quiz;  // texts in code page 1252
    std::vector<DocumentQuestion> questions;
    std::vector<std::string> codeLines;  // line k: the code after k questions solved
    friend bool operator==(const DocumentContent&, const DocumentContent&) = default;
};

// The quiz source of a content's texts: its questions' texts, no picture
// named, no code lines.
QuizSource sourceOf(const DocumentContent& content);

// Each question's picture as the quiz will store it, in order (none where it
// has none), for lists of thumbnails.
std::vector<SharedPrepared> preparedPictures(const DocumentContent& content);

// How the pictures an edit needs are prepared: by the system's codecs
// (`preparePictures`), or in the browser, by the page before the edit.
using PicturePreparer = std::function<std::vector<std::optional<PreparedPicture>>(
    std::span<const std::optional<PictureInput>> pictures, Rgb background, const PictureProgress& progress)>;

// Every change as a step that can be undone and redone, each step keeping
// the whole content before it (cheap: the pictures are shared).
struct HistoryStep {
    std::string name;  // what the change did, for "Annuler la suppression de la question 3"
    DocumentContent content;
    std::uint64_t version = 0;  // of that content
};

struct DocumentHistory {
    std::vector<HistoryStep> undo;  // the latest change last
    std::vector<HistoryStep> redo;
    std::uint64_t version = 0;      // of the content now
    std::uint64_t lastVersion = 0;  // the latest given to any content
    std::uint64_t savedVersion = 0;
    std::string typing;  // the field being typed in: its changes make one step until it is left
};

struct QuizDocument : DocumentContent {
    DocumentHistory history;
};

// An empty quiz with one answer per question, its comments shown as each
// question is solved.
QuizDocument newDocument();

// What an operation says when it refuses a change; empty when it is done.
using Refusal = std::string;

// The quiz's own texts and the questions' texts; `text` is UTF-8.
enum class QuizText { Name, Creator, Explanation, FirstAnswerLabel, SecondAnswerLabel };
enum class QuestionText { Answer, SecondAnswer, Location, Comment };

Refusal setQuizText(QuizDocument& document, QuizText field, std::string_view text);
Refusal setQuestionText(QuizDocument& document, std::size_t question, QuestionText field, std::string_view text);
std::string_view quizText(const QuizDocument& document, QuizText field);  // code page 1252
std::string_view questionText(const QuizDocument& document, std::size_t question, QuestionText field);

// The code lines, one per line of `text` (UTF-8, lines ended by LF or CR LF;
// empty lines at the end dropped), and back as the editor shows them (CR LF).
Refusal setCodeLines(QuizDocument& document, std::string_view text);
std::string codeLinesText(const QuizDocument& document);

Refusal setAnswersPerQuestion(QuizDocument& document, int answers);
Refusal setCommentMode(QuizDocument& document, int mode);
void setPicturesInOverview(QuizDocument& document, bool shown);
// Pictures that may hold transparency are flattened again on the new colour.
void setBackground(QuizDocument& document, Rgb colour, const PicturePreparer& prepare);
// Whether a picture is flattened on the background, and so prepared anew when it changes.
bool takesBackground(const PictureInput& picture);

// Appends a question for each picture, in the order given (none: one question
// without a picture), each picture prepared on the way (`progress` hears of
// it): every good picture is added, one step for all of them; the others are
// listed with why (not a picture, unreadable, no answer slot left).
struct RefusedPicture {
    std::string name;    // the file's name, without its folder
    std::string reason;  // French
};
struct AddedQuestions {
    std::size_t added = 0;
    std::vector<RefusedPicture> refused;
};
AddedQuestions addQuestions(QuizDocument& document, std::span<const std::optional<PictureInput>> pictures,
                            const PicturePreparer& prepare, const PictureProgress& progress = {});
Refusal setPicture(QuizDocument& document, std::size_t question, PictureInput picture, const PicturePreparer& prepare);
// Turns question `question`'s picture a quarter clockwise (+1) or
// anticlockwise (-1), prepared again from the file the author gave.
Refusal turnPicture(QuizDocument& document, std::size_t question, int quarterTurns, const PicturePreparer& prepare);

// The pictures a turn or a new colour will ask its preparer for, each a
// question's picture as the author gave it with the turns it will have, so
// that a preparer that cannot be waited for (the browser's) has them ready.
struct NeededPicture {
    std::size_t question;
    int quarterTurns;
};
std::vector<NeededPicture> picturesForTurn(const QuizDocument& document, std::size_t question, int quarterTurns);
std::vector<NeededPicture> picturesForBackground(const QuizDocument& document, Rgb colour);
void removeQuestion(QuizDocument& document, std::size_t question);
// Moves question `question` one place up (any direction below 0) or down
// (above 0); false when it cannot.
bool moveQuestion(QuizDocument& document, std::size_t question, int direction);

// The history. Changes typed into one field make one step, until `endTyping`
// (the field is left). Undo and redo return false when there is nothing to do.
void endTyping(QuizDocument& document);
bool undo(QuizDocument& document);
bool redo(QuizDocument& document);
// What undo or redo would do ("la suppression de la question 3"); none when nothing.
std::optional<std::string> undoName(const QuizDocument& document);
std::optional<std::string> redoName(const QuizDocument& document);
// Changed since it was saved (undoing back to the saved state is not a change).
bool isModified(const QuizDocument& document);
void markSaved(QuizDocument& document);
// A document taken back after a crash: changed, whatever its history says.
void markUnsaved(QuizDocument& document);

// The order in which pictures dropped or chosen together become questions:
// by file name, compared without regard to case, then as they are.
void sortByFileName(std::vector<std::string>& paths);

// The quiz source that the document saves: the code lines made one per
// question (empty ones included), as the player reports a quiz without them.
QuizSource savedSource(const QuizDocument& document);

// The resources of a save: the definition, the code lines and the pictures
// as prepared.
QuizResources documentResources(const QuizDocument& document, const std::string& name);

// The resources of a recovery copy: those of a save, and the document's texts
// whole, which a quiz file cannot always hold (comments its comment mode
// leaves out, second answers of a one-answer quiz) and documentFromResources
// takes back.
QuizResources recoveryResources(const QuizDocument& document);

// A quiz executable's bytes made into a document; its pictures keep their bytes.
struct OpenedDocument {
    QuizDocument document;
    std::string error;               // one line (French); empty when the file held a quiz
    std::vector<std::string> notes;  // what opening had to mend, said to the author (French)
};
OpenedDocument documentFromExecutable(std::span<const std::uint8_t> image);
// The same from a quiz's resources kept apart from any executable.
OpenedDocument documentFromResources(std::span<const Resource> resources);

// A quiz source (TOML text) made into a document; `pictures` holds question
// i's at i, as the caller read them beside the source.
OpenedDocument documentFromSource(const QuizSource& source, std::vector<std::optional<PictureInput>> pictures,
                                  const PicturePreparer& prepare, const PictureProgress& progress = {});
