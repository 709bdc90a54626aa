#pragma once
// A quiz as the editor holds it while the author works on it: the quiz's
// texts and settings, each question's picture as the author gave it, and
// whether anything changed since it was last saved. Every change goes through
// the operations below, which enforce the player's limits where the author
// types: a change that would break one is refused with a message in French
// (UTF-8) and leaves the document as it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/quiz_resources.h"
#include "authoring/quiz_source.h"

struct QuizDocument {
    QuizSource source;  // texts in code page 1252; question pictures are not named here
    // Question i's picture at i, always one entry per question: as the author
    // gave it, and prepared for the quiz as it will be saved and shown.
    std::vector<std::optional<PictureInput>> pictures;
    std::vector<std::optional<PreparedPicture>> prepared;
    std::vector<std::string> codeLines;  // line k: the code after k questions solved
    bool modified = false;
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
void setBackground(QuizDocument& document, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Appends a question for each picture, in the order given (none: one question
// without a picture), each picture prepared on the way (`progress` hears of
// it). All or nothing: refused when files are not pictures (the message lists
// them), when one cannot be read, or when the answer slots would run out.
Refusal addQuestions(QuizDocument& document, std::span<const std::optional<PictureInput>> pictures,
                     const PictureProgress& progress = {});
Refusal setPicture(QuizDocument& document, std::size_t question, PictureInput picture);
void removeQuestion(QuizDocument& document, std::size_t question);
// Moves question `question` one place up (-1) or down (+1); false when it cannot.
bool moveQuestion(QuizDocument& document, std::size_t question, int direction);

// The order in which pictures dropped or chosen together become questions:
// by file name, compared without regard to case, then as they are.
void sortByFileName(std::vector<std::string>& paths);

// The quiz source that the document saves: the code lines made one per
// question (empty ones included), as the player reports a quiz without them.
QuizSource savedSource(const QuizDocument& document);

// The resources of a save: the definition, the code lines and the pictures
// as prepared.
QuizResources documentResources(const QuizDocument& document, const std::string& name);

// A quiz executable's bytes made into a document; its pictures keep their bytes.
struct OpenedDocument {
    QuizDocument document;
    std::string error;  // one line (French); empty when the file held a quiz
};
OpenedDocument documentFromExecutable(std::span<const std::uint8_t> image);

// A quiz source (TOML text) made into a document; `pictures` holds question
// i's at i, as the caller read them beside the source.
OpenedDocument documentFromSource(const QuizSource& source, std::vector<std::optional<PictureInput>> pictures,
                                  const PictureProgress& progress = {});
