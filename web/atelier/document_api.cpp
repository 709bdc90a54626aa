// The Atelier module's C interface, for the page's script (atelier_api.js):
// the document held here, each edit as one call, its state handed out as JSON
// (UTF-8), texts in as UTF-8 and bytes in through a buffer the module lends.
// Every function is listed in document_exports.json. One document per page.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "authoring/cp1252.h"
#include "authoring/pe_resources.h"
#include "authoring/resource_bundle.h"
#include "authoring/scorm_package.h"
#include "authoring/web_page.h"
#include "editing/comment_modes.h"
#include "editing/file_names.h"
#include "editing/file_stamp.h"
#include "editing/header_fit.h"
#include "editing/quiz_document.h"
#include "editing/quiz_review.h"
#include "grading/verdict.h"
#include "web/atelier/json_writer.h"
#include "web/atelier/prepared_pictures.h"
#include "zorbel_version.h"

namespace {

struct AtelierState {
    QuizDocument document = newDocument();
    std::vector<std::uint8_t> buffer;  // lent to the page for what it passes in
    std::string text;                  // the last text handed out
    std::vector<std::uint8_t> bytes;   // the last bytes handed out
    std::vector<std::optional<PictureInput>> staged;  // pictures the next edit takes
    std::optional<QuizSource> parsedSource;           // a source waiting for its pictures
    std::string error;                                // why the last save or export made nothing
    std::vector<std::string> notes;                   // what the last opening had to mend
    // Each prepared picture's number for the page, which keeps its thumbnail
    // under it: a picture outlived by its number gets a new one.
    std::map<const PreparedPicture*, std::pair<std::weak_ptr<const PreparedPicture>, int>> serials;
    int lastSerial = 0;
};

AtelierState state;

const char* handOut(std::string text) {
    state.text = std::move(text);
    return state.text.c_str();
}

const std::uint8_t* handOutBytes(std::vector<std::uint8_t> bytes) {
    state.bytes = std::move(bytes);
    return state.bytes.data();
}

std::span<const std::uint8_t> lent(int size) {
    const std::size_t count = size > 0 ? std::min(static_cast<std::size_t>(size), state.buffer.size()) : 0;
    return {state.buffer.data(), count};
}

// The lent buffer as two parts of the sizes said, one after the other; none
// when the sizes are not what was lent (counted wide: any int may come in).
std::optional<std::pair<std::span<const std::uint8_t>, std::span<const std::uint8_t>>> lentParts(int first, int second) {
    if (first < 0 || second < 0) return std::nullopt;
    const auto firstSize = static_cast<std::size_t>(first);
    const auto secondSize = static_cast<std::size_t>(second);
    if (firstSize + secondSize > state.buffer.size()) return std::nullopt;
    const std::span<const std::uint8_t> all(state.buffer.data(), firstSize + secondSize);
    return std::pair{all.first(firstSize), all.subspan(firstSize)};
}

std::string_view lentText(int size) {
    const auto bytes = lent(size);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool isQuestion(int question) {
    return question >= 0 && static_cast<std::size_t>(question) < state.document.questions.size();
}

std::string colourText(const QuizSettings& source) {
    constexpr char Digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const int part : {source.backgroundRed, source.backgroundGreen, source.backgroundBlue}) {
        text += Digits[(part >> 4) & 15];
        text += Digits[part & 15];
    }
    return text;
}

Rgb rgbOf(int rgb) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
}

std::string neededJson(const std::vector<NeededPicture>& needed) {
    JsonWriter json;
    json.beginArray();
    for (const NeededPicture& picture : needed) {
        json.beginObject();
        json.field("question", static_cast<int>(picture.question));
        json.field("turns", picture.quarterTurns);
        json.endObject();
    }
    json.endArray();
    return json.take();
}

// An edit's refusal, or its end: the offered pictures served only it.
const char* finished(const Refusal& refusal) {
    forgetOffered();
    return handOut(refusal);
}

const char* opened(OpenedDocument opened) {
    forgetOffered();
    if (!opened.error.empty()) return handOut(std::move(opened.error));
    state.document = std::move(opened.document);
    state.notes = std::move(opened.notes);
    state.parsedSource.reset();
    return handOut({});
}

// 0 for none.
int pictureSerial(const SharedPrepared& picture) {
    if (!picture) return 0;
    auto& [held, serial] = state.serials[picture.get()];
    if (held.expired() || held.lock() != picture) {
        held = picture;
        serial = ++state.lastSerial;
    }
    return serial;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const std::uint8_t* madeOr(std::vector<std::uint8_t> bytes, std::string error) {
    state.error = std::move(error);
    return handOutBytes(state.error.empty() ? std::move(bytes) : std::vector<std::uint8_t>());
}

std::optional<int> passMarkOf(int mark) { return mark >= 0 ? std::optional<int>(mark) : std::nullopt; }

QuizResources savedResources() { return documentResources(state.document, "atelier"); }

void writeQuestion(JsonWriter& json, std::size_t i, const std::vector<std::string>& points) {
    const DocumentContent& content = state.document;
    const DocumentQuestion& q = content.questions[i];
    const SharedPicture& picture = q.picture;
    json.beginObject();
    json.field("answer", cp1252ToUtf8(q.answer));
    json.field("secondAnswer", cp1252ToUtf8(q.secondAnswer));
    json.field("location", cp1252ToUtf8(q.location));
    json.field("comment", cp1252ToUtf8(q.comment));
    json.field("picture", pictureSerial(q.prepared));
    json.field("pictureName", picture ? fileNameOf(picture->name) : std::string());
    json.key("points");
    json.beginArray();
    for (const std::string& point : points) json.value(point);
    json.endArray();
    json.endObject();
}

}  // namespace

extern "C" {

// A buffer of at least `size` bytes for what the page passes in next.
std::uint8_t* zqa_buffer(int size) {
    state.buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 1);
    return state.buffer.data();
}

int zqa_bytes_size() { return static_cast<int>(state.bytes.size()); }

void zqa_new() {
    forgetOffered();
    state.document = newDocument();
    state.staged.clear();
    state.parsedSource.reset();
}

// The document as the page shows it.
const char* zqa_state() {
    const QuizDocument& document = state.document;
    const QuizSettings& source = document.quiz;
    JsonWriter json;
    json.beginObject();
    json.field("name", cp1252ToUtf8(source.quizName));
    json.field("creator", cp1252ToUtf8(source.creatorName));
    json.field("explanation", cp1252ToUtf8(source.explanation));
    json.field("firstLabel", cp1252ToUtf8(source.firstAnswerLabel));
    json.field("secondLabel", cp1252ToUtf8(source.secondAnswerLabel));
    json.field("answersPerQuestion", source.answersPerQuestion);
    json.field("commentMode", source.commentMode);
    json.field("picturesInOverview", source.showPictures != 0);
    json.field("background", colourText(source));
    json.field("codes", cp1252ToUtf8(codeLinesText(document)));
    json.field("fileStem", quizFileStem(cp1252ToUtf8(source.quizName)));
    json.key("headerNotes");
    json.beginArray();
    for (const std::string& note : headerCutNotes(source)) json.value(note);
    json.endArray();
    json.field("modified", isModified(document));
    json.key("undo");
    if (const auto name = undoName(document)) json.value(*name); else json.null();
    json.key("redo");
    if (const auto name = redoName(document)) json.value(*name); else json.null();
    json.key("questions");
    json.beginArray();
    const std::vector<std::vector<std::string>> points = everyQuestionsPoints(document);
    for (std::size_t i = 0; i < document.questions.size(); ++i) writeQuestion(json, i, points[i]);
    json.endArray();
    json.endObject();
    return handOut(json.take());
}

// The comment modes' names and helps, in mode order: [{"name", "help"}].
const char* zqa_comment_modes() {
    JsonWriter json;
    json.beginArray();
    for (const CommentModeText& mode : CommentModeTexts) {
        json.beginObject();
        json.field("name", mode.name);
        json.field("help", mode.help);
        json.endObject();
    }
    json.endArray();
    return handOut(json.take());
}

// The points of the save check, the quiz's first: [{"question": n or null, "text"}].
const char* zqa_review() {
    JsonWriter json;
    json.beginArray();
    for (const ReviewPoint& point : pointsBeforeSaving(state.document)) {
        json.beginObject();
        json.key("question");
        if (point.question) json.value(static_cast<int>(*point.question + 1)); else json.null();
        json.field("text", point.text);
        json.endObject();
    }
    json.endArray();
    return handOut(json.take());
}

// "Essayer une réponse": the verdicts of the single view and the overview for
// what is typed (UTF-8 in the buffer), and the warnings on the answers.
const char* zqa_try(int question, int size) {
    JsonWriter json;
    json.beginObject();
    if (!isQuestion(question)) {
        json.field("single", "?");
        json.field("overview", "?");
        json.key("warnings");
        json.beginArray();
        json.endArray();
    } else {
        const std::size_t q = static_cast<std::size_t>(question);
        const std::string& expected = state.document.questions[q].answer;
        // What the player's field would hold: a character it cannot take arrives as "?".
        const std::string typed = utf8ToCp1252Replacing(lentText(size), '?');
        json.field("single", cp1252ToUtf8(verdictText(gradeAnswer(expected, typed, false))));
        json.field("overview", cp1252ToUtf8(verdictText(gradeAnswer(expected, typed, true))));
        json.key("warnings");
        json.beginArray();
        for (const std::string& line : answerWarningLines(state.document, q)) json.value(line);
        json.endArray();
    }
    json.endObject();
    return handOut(json.take());
}

// The quiz's texts (0 name, 1 creator, 2 explanation, 3 and 4 the answers'
// labels) and the questions' (0 answer, 1 second answer, 2 place, 3 comment),
// UTF-8 in the buffer. Each returns its refusal, empty when done.
const char* zqa_set_quiz_text(int field, int size) {
    if (field < 0 || field > 4) return handOut("unknown field");
    return handOut(setQuizText(state.document, static_cast<QuizText>(field), lentText(size)));
}

const char* zqa_set_question_text(int question, int field, int size) {
    if (!isQuestion(question) || field < 0 || field > 3) return handOut("unknown field");
    return handOut(setQuestionText(state.document, static_cast<std::size_t>(question), static_cast<QuestionText>(field),
                                   lentText(size)));
}

const char* zqa_set_codes(int size) { return handOut(setCodeLines(state.document, lentText(size))); }
const char* zqa_set_answers_per_question(int answers) { return handOut(setAnswersPerQuestion(state.document, answers)); }
const char* zqa_set_comment_mode(int mode) { return handOut(setCommentMode(state.document, mode)); }
void zqa_set_pictures_in_overview(int shown) { setPicturesInOverview(state.document, shown != 0); }

// The pictures that may hold transparency must have been offered on the new colour first.
void zqa_set_background(int rgb) {
    setBackground(state.document, rgbOf(rgb), preparedByThePage);
    forgetOffered();
}

// The pictures a turn or a new colour needs prepared first, as
// [{"question": n, "turns": t}]: the page offers each, then makes the edit.
const char* zqa_pictures_for_turn(int question, int quarterTurns) {
    if (!isQuestion(question)) return handOut("[]");
    return handOut(neededJson(picturesForTurn(state.document, static_cast<std::size_t>(question), quarterTurns)));
}

const char* zqa_pictures_for_background(int rgb) {
    return handOut(neededJson(picturesForBackground(state.document, rgbOf(rgb))));
}

void zqa_end_typing() { endTyping(state.document); }
int zqa_undo() { return undo(state.document) ? 1 : 0; }
int zqa_redo() { return redo(state.document) ? 1 : 0; }

int zqa_remove_question(int question) {
    if (!isQuestion(question)) return 0;
    removeQuestion(state.document, static_cast<std::size_t>(question));
    return 1;
}

int zqa_move_question(int question, int direction) {
    return isQuestion(question) && moveQuestion(state.document, static_cast<std::size_t>(question), direction) ? 1 : 0;
}

// Its picture turned, once the page has offered it prepared with the new turns.
const char* zqa_turn_picture(int question, int quarterTurns) {
    if (!isQuestion(question)) return handOut("unknown question");
    return finished(turnPicture(state.document, static_cast<std::size_t>(question), quarterTurns, preparedByThePage));
}

// The pictures the next edit takes: each a file's name and bytes (the name's
// `nameSize` bytes, UTF-8, then the file's, in the buffer), or none.
void zqa_stage_clear() { state.staged.clear(); }
void zqa_stage_none() { state.staged.emplace_back(); }
int zqa_stage_picture(int nameSize, int size) {
    const auto parts = lentParts(nameSize, size);
    if (!parts) return -1;
    const auto [name, bytes] = *parts;
    PictureInput picture;
    picture.name.assign(reinterpret_cast<const char*>(name.data()), name.size());
    picture.bytes.assign(bytes.begin(), bytes.end());
    state.staged.emplace_back(std::move(picture));
    return static_cast<int>(state.staged.size()) - 1;
}

// What a picture became, for the edit at hand: the original's `originalSize`
// bytes in the buffer, then the prepared picture's (`kind` 1 JPEG, 2 PNG); a
// refusal comes by zqa_offer_refused.
int zqa_offer_prepared(int originalSize, int preparedSize, int kind, int background, int quarterTurns) {
    const auto parts = lentParts(originalSize, preparedSize);
    if (!parts) return 0;
    const auto [original, result] = *parts;
    PreparedPicture prepared;
    if (kind == 1 || kind == 2) {
        prepared.kind = kind == 1 ? PictureKind::Jpeg : PictureKind::Png;
        prepared.bytes.assign(result.begin(), result.end());
    } else {
        prepared.reason.problem = PictureProblem::NotDecodedHere;
        prepared.reason.reader = PictureReader::Browser;
        prepared.error = pictureProblemLine(prepared.reason);
    }
    const Rgb colour{static_cast<std::uint8_t>(background >> 16), static_cast<std::uint8_t>(background >> 8),
                     static_cast<std::uint8_t>(background)};
    offerPrepared(original, colour, quarterTurns, std::move(prepared));
    return 1;
}

// Why a picture cannot be used, for the edit at hand: the original's
// `originalSize` bytes in the buffer, and the numbers of the reason the
// picture rules gave (zqp_examine, zqp_plan: problem, format, reader,
// missing, pixelLimit). A problem out of range (a failure of the page's own)
// is a picture this browser could not decode.
int zqa_offer_refused(int originalSize, int problem, int format, int reader, int missing, int pixelLimit,
                      int background, int quarterTurns) {
    const auto original = lent(originalSize);
    if (originalSize < 0 || original.size() != static_cast<std::size_t>(originalSize)) return 0;
    const bool known = problem > 0 && problem < PictureProblemCount;
    PictureReason reason;
    reason.problem = known ? static_cast<PictureProblem>(problem) : PictureProblem::NotDecodedHere;
    reason.format = format >= 0 && format <= static_cast<int>(PictureFormat::Unknown)
                        ? static_cast<PictureFormat>(format)
                        : pictureFormat(original);
    reason.reader = reader == static_cast<int>(PictureReader::System) ? PictureReader::System : PictureReader::Browser;
    reason.missing = missing > 0 && missing <= static_cast<int>(MissingCodec::WebpImageExtensions)
                         ? static_cast<MissingCodec>(missing)
                         : MissingCodec::None;
    reason.pixelLimit = pixelLimit > 0 ? static_cast<std::uint64_t>(pixelLimit) : 0;
    PreparedPicture prepared;
    prepared.error = pictureProblemLine(reason);
    prepared.reason = std::move(reason);
    const Rgb colour{static_cast<std::uint8_t>(background >> 16), static_cast<std::uint8_t>(background >> 8),
                     static_cast<std::uint8_t>(background)};
    offerPrepared(original, colour, quarterTurns, std::move(prepared));
    return 1;
}

// The staged pictures as new questions: {"added": n, "refused": [{"name", "reason"}]}.
const char* zqa_add_staged() {
    const AddedQuestions added = addQuestions(state.document, state.staged, preparedByThePage);
    state.staged.clear();
    forgetOffered();
    JsonWriter json;
    json.beginObject();
    json.field("added", static_cast<int>(added.added));
    json.key("refused");
    json.beginArray();
    for (const RefusedPicture& refused : added.refused) {
        json.beginObject();
        json.field("name", refused.name);
        json.field("reason", refused.reason);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return handOut(json.take());
}

// A question's picture as the author gave it (its bytes handed out, the size
// from zqa_bytes_size) and as the quiz stores it.
const std::uint8_t* zqa_original_picture(int question) {
    if (!isQuestion(question)) return handOutBytes({});
    const SharedPicture& picture = state.document.questions[static_cast<std::size_t>(question)].picture;
    return handOutBytes(picture ? picture->bytes : std::vector<std::uint8_t>());
}

const std::uint8_t* zqa_prepared_picture(int question) {
    if (!isQuestion(question)) return handOutBytes({});
    const SharedPrepared& picture = state.document.questions[static_cast<std::size_t>(question)].prepared;
    return handOutBytes(picture ? picture->bytes : std::vector<std::uint8_t>());
}

// Opening: a quiz executable or a recovery bundle (its bytes in the buffer),
// or a source (TOML, UTF-8) whose pictures are then staged in its questions'
// order and offered. Each returns the reason it failed (French), empty when
// the document is the one opened.
const char* zqa_open_executable(int size) { return opened(documentFromExecutable(lent(size))); }

const char* zqa_open_bundle(int size) {
    const ResourceBundle bundle = readBundle(lent(size));
    if (!bundle.ok()) return handOut("La copie gardée est abîmée : " + bundle.error);
    const char* error = opened(documentFromResources(bundle.resources));
    if (*error == '\0') markUnsaved(state.document);
    return error;
}

// What the last opening had to mend, for the author: ["French", ...].
const char* zqa_open_notes() {
    JsonWriter json;
    json.beginArray();
    for (const std::string& note : state.notes) json.value(note);
    json.endArray();
    return handOut(json.take());
}

// What to say when the file about to be written again changed since (its
// name, UTF-8, in the buffer): {"message", "advice"}.
const char* zqa_changed_elsewhere(int size) {
    JsonWriter json;
    json.beginObject();
    json.field("message", changedElsewhereMessage(lentText(size)));
    json.field("advice", changedElsewhereAdvice());
    json.endObject();
    return handOut(json.take());
}

// {"error": French or "", "pictures": [file name or "" per question],
//  "candidates": [[where each is looked for, in order], ...]}
const char* zqa_parse_source(int size) {
    ParsedSource parsed = parseQuizSource(lentText(size));
    JsonWriter json;
    json.beginObject();
    json.field("error", parsed.ok() ? std::string() : frenchSourceError(parsed.error));
    json.key("pictures");
    json.beginArray();
    if (parsed.ok()) {
        for (const SourceQuestion& question : parsed.source.questions) json.value(question.picture);
        json.endArray();
        // Where each is looked for, in order, relative to the source's folder.
        json.key("candidates");
        json.beginArray();
        for (const SourceQuestion& question : parsed.source.questions) {
            json.beginArray();
            for (const std::string& candidate : pictureCandidates(question.picture)) json.value(candidate);
            json.endArray();
        }
        json.endArray();
        json.field("background", colourText(parsed.source));
        state.parsedSource = std::move(parsed.source);
    } else {
        json.endArray();
        state.parsedSource.reset();
    }
    state.staged.clear();
    json.endObject();
    return handOut(json.take());
}

const char* zqa_open_parsed_source() {
    if (!state.parsedSource) return handOut("Aucune source n'a été lue.");
    std::vector<std::optional<PictureInput>> pictures = std::move(state.staged);
    state.staged.clear();
    OpenedDocument document = documentFromSource(*state.parsedSource, std::move(pictures), preparedByThePage);
    return opened(std::move(document));
}

// Saving and exporting: the bytes handed out (size from zqa_bytes_size), or
// none and the reason in zqa_error.
const std::uint8_t* zqa_save_executable(int playerSize) {
    const QuizResources resources = savedResources();
    if (!resources.ok()) return madeOr({}, resources.error);
    if (playerSize <= 0) return madeOr({}, "Cette page ne porte pas le lecteur : elle ne peut pas enregistrer de quiz .exe.");
    PeWriteResult built = writePeResources(lent(playerSize), resources.resources);
    if (built.error != PeError::Ok) return madeOr({}, peErrorMessage(built.error));
    return madeOr(std::move(built.image), {});
}

const std::uint8_t* zqa_web_page(int passMark) {
    const QuizResources resources = savedResources();
    if (!resources.ok()) return madeOr({}, resources.error);
    const WebPage page = webPage(webQuizOf(resources), builtInWebPageAssets(), ZORBEL_VERSION_TEXT, passMarkOf(passMark));
    if (!page.ok()) return madeOr({}, page.error);
    return madeOr({page.html.begin(), page.html.end()}, {});
}

const std::uint8_t* zqa_scorm_package(int passMark) {
    const QuizResources resources = savedResources();
    if (!resources.ok()) return madeOr({}, resources.error);
    ScormPackage package = scormPackage(webQuizOf(resources), builtInWebPageAssets(), ZORBEL_VERSION_TEXT, passMarkOf(passMark));
    return madeOr(std::move(package.zip), package.error);
}

const char* zqa_error() { return state.error.c_str(); }

void zqa_mark_saved() { markSaved(state.document); }

// The document as a recovery copy keeps it.
const std::uint8_t* zqa_bundle() {
    const QuizResources resources = recoveryResources(state.document);
    return handOutBytes(resources.ok() ? bundleOf(resources.resources) : std::vector<std::uint8_t>());
}

// The order in which files chosen together become questions: their names
// (UTF-8, one per line, in the buffer) as a JSON array of their indices.
const char* zqa_order_by_name(int size) {
    std::vector<std::string> names;
    std::string_view text = lentText(size);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        names.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    std::vector<std::string> sorted = names;
    sortByFileName(sorted);
    std::vector<bool> taken(names.size());
    JsonWriter json;
    json.beginArray();
    for (const std::string& name : sorted) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!taken[i] && names[i] == name) {
                taken[i] = true;
                json.value(static_cast<int>(i));
                break;
            }
        }
    }
    json.endArray();
    return handOut(json.take());
}

// A pass mark as typed: -1 none, -2 not a mark, else 0 to 100.
int zqa_typed_pass_mark(int size) {
    const TypedPassMark mark = typedPassMark(lentText(size));
    if (!mark.valid) return -2;
    return mark.mark ? *mark.mark : -1;
}

}  // extern "C"
