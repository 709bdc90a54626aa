#include "editing/quiz_document.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "authoring/cp1252.h"
#include "authoring/picture_resources.h"
#include "authoring/quiz_executable.h"
#include "content/content_codec.h"
#include "content/quiz_record.h"
#include "content/text.h"
#include "resources/contract_ids.h"
#include "editing/file_names.h"
#include "editing/picture_reasons.h"
#include "editing/text_entry.h"
#include "picture_preparation/picture_batch.h"
#include "picture_preparation/picture_check.h"

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool encodes(std::string_view text) { return encodeContent(bytesOf(text)).result == CodecOk; }

// A text the player can hold: code page 1252, no field separator, at most 259
// characters. On success `out` holds its code page 1252 bytes.
Refusal playerText(std::string_view utf8, std::string& out) {
    const Cp1252Text converted = utf8ToCp1252(utf8);
    if (!converted.ok()) {
        if (converted.refused.empty()) return "Ce texte n'est pas lisible (UTF-8 mal formé).";
        return "Le caractère « " + converted.refused + " » (" + codePointName(converted.refusedCode) +
               ") ne peut pas figurer dans un quiz : le lecteur ne sait pas l'afficher.";
    }
    if (converted.bytes.find('|') != std::string::npos) {
        return "Le caractère « | » ne peut pas figurer dans un quiz : il y sépare les textes.";
    }
    if (converted.bytes.find('\0') != std::string::npos) return "Un texte ne peut pas contenir le caractère nul.";
    if (converted.bytes.size() > MaxTextLength) {
        return std::to_string(MaxTextLength) + " caractères au plus par texte (celui-ci en a " +
               std::to_string(converted.bytes.size()) + ").";
    }
    out = converted.bytes;
    return {};
}

// The definition the player decodes must fit the content codec.
Refusal definitionFits(const DocumentContent& content) {
    if (encodes(definitionText(sourceOf(content)))) return {};
    return "Le quiz devient trop long pour le lecteur : raccourcissez des réponses, des commentaires ou des lieux.";
}

template <typename Source>
auto& quizTextOf(Source& source, QuizText field) {
    switch (field) {
        case QuizText::Name: return source.quizName;
        case QuizText::Creator: return source.creatorName;
        case QuizText::Explanation: return source.explanation;
        case QuizText::FirstAnswerLabel: return source.firstAnswerLabel;
        case QuizText::SecondAnswerLabel: break;
    }
    return source.secondAnswerLabel;
}

template <typename Question>
auto& questionTextOf(Question& question, QuestionText field) {
    switch (field) {
        case QuestionText::Answer: return question.answer;
        case QuestionText::SecondAnswer: return question.secondAnswer;
        case QuestionText::Location: return question.location;
        case QuestionText::Comment: break;
    }
    return question.comment;
}

// A change about to be made: the content before it becomes a step of the
// history, unless the change continues the typing in the same field.
void beginChange(QuizDocument& document, std::string name, std::string_view typingKey = {}) {
    DocumentHistory& history = document.history;
    const bool sameTyping = !typingKey.empty() && typingKey == history.typing;
    if (!sameTyping) {
        history.undo.push_back({std::move(name), static_cast<const DocumentContent&>(document), history.version});
    }
    history.typing = typingKey;
    history.redo.clear();
    history.version = ++history.lastVersion;
}

// Changes a copy of the content, checks that the player can still decode it,
// then keeps it as one step named `name`.
template <typename Change>
Refusal changeContent(QuizDocument& document, std::string name, std::string_view typingKey, Change change) {
    DocumentContent candidate = document;
    change(candidate);
    if (Refusal refusal = definitionFits(candidate); !refusal.empty()) return refusal;
    beginChange(document, std::move(name), typingKey);
    static_cast<DocumentContent&>(document) = std::move(candidate);
    return {};
}

std::string questionName(std::size_t question) { return "la question " + std::to_string(question + 1); }

const char* quizTextName(QuizText field) {
    switch (field) {
        case QuizText::Name: return "la saisie du nom du quiz";
        case QuizText::Creator: return "la saisie de l'auteur";
        case QuizText::Explanation: return "la saisie de l'explication";
        case QuizText::FirstAnswerLabel: return "la saisie du nom de la première réponse";
        case QuizText::SecondAnswerLabel: break;
    }
    return "la saisie du nom de la deuxième réponse";
}

const char* questionTextName(QuestionText field) {
    switch (field) {
        case QuestionText::Answer: return "la saisie de la réponse de ";
        case QuestionText::SecondAnswer: return "la saisie de la deuxième réponse de ";
        case QuestionText::Location: return "la saisie du lieu de ";
        case QuestionText::Comment: break;
    }
    return "la saisie du commentaire de ";
}

Refusal slotsRefusal(std::size_t questions, int answers) {
    if (questions * static_cast<std::size_t>(answers) <= static_cast<std::size_t>(MaxAnswerSlots)) return {};
    return "Un quiz a au plus " + std::to_string(MaxAnswerSlots) + " réponses : avec " + std::to_string(answers) +
           (answers == 1 ? " réponse" : " réponses") + " par question, au plus " +
           std::to_string(MaxAnswerSlots / answers) + " questions.";
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Rgb backgroundOf(const QuizSettings& quiz) {
    return {static_cast<std::uint8_t>(quiz.backgroundRed), static_cast<std::uint8_t>(quiz.backgroundGreen),
            static_cast<std::uint8_t>(quiz.backgroundBlue)};
}

// The names of the files that are no picture at all, listed for the author.
Refusal notPicturesRefusal(std::span<const std::optional<PictureInput>> pictures) {
    std::string names;
    for (const std::optional<PictureInput>& picture : pictures) {
        if (!picture || fileProblem(picture->bytes) != PictureProblem::NotAPicture) continue;
        names += (names.empty() ? "" : ", ") + fileNameOf(picture->name);
    }
    if (names.empty()) return {};
    return std::string("Ces fichiers ne sont pas des images ") + FrenchPictureFormats + " : " + names + ".";
}

// Every picture prepared for the quiz, or the refusal of the first that cannot be.
Refusal prepareAll(std::span<const std::optional<PictureInput>> pictures, Rgb background, const PicturePreparer& prepare,
                   const PictureProgress& progress, std::vector<std::optional<PreparedPicture>>& out) {
    out = prepare(pictures, background, progress);
    for (const std::optional<PreparedPicture>& picture : out) {
        if (picture && !picture->ok()) {
            return "L'image « " + fileNameOf(picture->subject) +
                   " » ne peut pas servir : " + pictureReasonInFrench(picture->reason) + ".";
        }
    }
    return {};
}

SharedPicture shared(std::optional<PictureInput> picture) {
    return picture ? std::make_shared<const PictureInput>(std::move(*picture)) : nullptr;
}

SharedPrepared shared(std::optional<PreparedPicture> picture) {
    return picture ? std::make_shared<const PreparedPicture>(std::move(*picture)) : nullptr;
}

}  // namespace

QuizSource sourceOf(const DocumentContent& content) {
    QuizSource source;
    static_cast<QuizSettings&>(source) = content.quiz;
    source.questions.reserve(content.questions.size());
    for (const DocumentQuestion& q : content.questions) {
        source.questions.push_back({q.answer, q.secondAnswer, q.location, q.comment, ""});
    }
    return source;
}

std::vector<SharedPrepared> preparedPictures(const DocumentContent& content) {
    std::vector<SharedPrepared> pictures;
    pictures.reserve(content.questions.size());
    for (const DocumentQuestion& question : content.questions) pictures.push_back(question.prepared);
    return pictures;
}

QuizDocument newDocument() {
    QuizDocument document;
    document.quiz.answersPerQuestion = 1;
    // A comment typed in a new quiz is shown once its question is solved.
    document.quiz.commentMode = 2;
    // The player tells "é" from "É" and from "e": players are told how to type.
    document.quiz.explanation = "Tapez les r\xE9" "ponses sans accent, puis Entr\xE9" "e.";
    return document;
}

Refusal setQuizText(QuizDocument& document, QuizText field, std::string_view text) {
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (quizTextOf(document.quiz, field) == bytes) return {};
    const std::string typing = "quiz:" + std::to_string(static_cast<int>(field));
    return changeContent(document, quizTextName(field), typing,
                         [&](DocumentContent& content) { quizTextOf(content.quiz, field) = bytes; });
}

Refusal setQuestionText(QuizDocument& document, std::size_t question, QuestionText field, std::string_view text) {
    if (question >= document.questions.size()) return {};
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (questionTextOf(document.questions[question], field) == bytes) return {};
    const std::string typing = "question:" + std::to_string(question) + ":" + std::to_string(static_cast<int>(field));
    return changeContent(document, questionTextName(field) + questionName(question), typing,
                         [&](DocumentContent& content) { questionTextOf(content.questions[question], field) = bytes; });
}

std::string_view quizText(const QuizDocument& document, QuizText field) {
    return quizTextOf(document.quiz, field);
}

std::string_view questionText(const QuizDocument& document, std::size_t question, QuestionText field) {
    if (question >= document.questions.size()) return {};
    return questionTextOf(document.questions[question], field);
}

Refusal setCodeLines(QuizDocument& document, std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string& line : splitLines(text)) {
        std::string bytes;
        if (Refusal refusal = playerText(line, bytes); !refusal.empty()) return refusal;
        lines.push_back(std::move(bytes));
    }
    if (lines.size() > static_cast<std::size_t>(MaxCodeLines)) {
        return std::to_string(MaxCodeLines) + " lignes de code au plus (il y en a " + std::to_string(lines.size()) + ").";
    }
    if (lines == document.codeLines) return {};
    QuizSource candidate;
    candidate.codes = lines;
    if (!encodes(codesText(candidate))) return "Les lignes de code sont trop longues pour le lecteur : raccourcissez-les.";
    beginChange(document, "la saisie des codes", "codes");
    document.codeLines = std::move(lines);
    return {};
}

std::string codeLinesText(const QuizDocument& document) {
    std::string text;
    for (std::size_t i = 0; i < document.codeLines.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + cp1252ToUtf8(document.codeLines[i]);
    }
    return text;
}

Refusal setAnswersPerQuestion(QuizDocument& document, int answers) {
    if (answers != 1 && answers != 2) return "Une ou deux réponses par question.";
    if (answers == document.quiz.answersPerQuestion) return {};
    if (Refusal refusal = slotsRefusal(document.questions.size(), answers); !refusal.empty()) return refusal;
    return changeContent(document, "le choix du nombre de réponses", {},
                         [&](DocumentContent& content) { content.quiz.answersPerQuestion = answers; });
}

Refusal setCommentMode(QuizDocument& document, int mode) {
    if (mode < 0 || mode > 4) return "Le mode des commentaires va de 0 à 4.";
    if (mode == document.quiz.commentMode) return {};
    return changeContent(document, "le choix des commentaires", {},
                         [&](DocumentContent& content) { content.quiz.commentMode = mode; });
}

void setPicturesInOverview(QuizDocument& document, bool shown) {
    const int value = shown ? 1 : 0;
    if (document.quiz.showPictures == value) return;
    beginChange(document, "le choix des images dans la vue d'ensemble");
    document.quiz.showPictures = value;
}

// Only a JPEG can hold no transparency.
bool takesBackground(const PictureInput& picture) { return pictureFormat(picture.bytes) != PictureFormat::Jpeg; }

std::vector<NeededPicture> picturesForBackground(const QuizDocument& document, Rgb colour) {
    if (colour == backgroundOf(document.quiz)) return {};
    std::vector<NeededPicture> needed;
    for (std::size_t i = 0; i < document.questions.size(); ++i) {
        const DocumentQuestion& q = document.questions[i];
        if (q.picture && takesBackground(*q.picture)) needed.push_back({i, q.quarterTurns});
    }
    return needed;
}

void setBackground(QuizDocument& document, Rgb colour, const PicturePreparer& prepare) {
    const std::vector<NeededPicture> needed = picturesForBackground(document, colour);
    if (colour == backgroundOf(document.quiz)) return;
    beginChange(document, "le changement de couleur");
    QuizSettings& quiz = document.quiz;
    quiz.backgroundRed = colour.red;
    quiz.backgroundGreen = colour.green;
    quiz.backgroundBlue = colour.blue;
    // The pictures that may hold transparency are flattened anew.
    std::vector<std::optional<PictureInput>> again;
    for (const NeededPicture& picture : needed) {
        again.emplace_back(*document.questions[picture.question].picture);
        again.back()->quarterTurns = picture.quarterTurns;
    }
    auto prepared = prepare(again, colour, {});
    for (std::size_t k = 0; k < needed.size() && k < prepared.size(); ++k) {
        if (prepared[k] && prepared[k]->ok()) document.questions[needed[k].question].prepared = shared(std::move(prepared[k]));
    }
}

namespace {

// Every picture prepared, the good ones after a bad one too: a batch stops
// at its first failure, so what it left is prepared again until none is left.
std::vector<std::optional<PreparedPicture>> prepareEvery(std::span<const std::optional<PictureInput>> pictures,
                                                         Rgb background, const PicturePreparer& prepare,
                                                         const PictureProgress& progress) {
    std::vector<std::optional<PreparedPicture>> prepared = prepare(pictures, background, progress);
    for (;;) {
        std::vector<std::size_t> left;
        std::vector<std::optional<PictureInput>> again;
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            if (pictures[i] && !prepared[i]) {
                left.push_back(i);
                again.push_back(pictures[i]);
            }
        }
        if (left.empty()) return prepared;
        std::vector<std::optional<PreparedPicture>> more = prepare(again, background, {});
        for (std::size_t k = 0; k < left.size(); ++k) prepared[left[k]] = std::move(more[k]);
        if (!more.front()) return prepared;  // no progress: never happens, the first is always started
    }
}

}  // namespace

namespace {

// A picture named by its author ("soleil.jpg") proposes its name as the
// answer, which the author sees in the field and may change.
void proposeAnswer(DocumentQuestion& question) {
    if (question.picture == nullptr) return;
    std::string answer;
    // The file's name goes through the rule of typed text: "Łódź.jpg" proposes "Lodz".
    if (playerText(enteredText(answerFromFileName(question.picture->name)).text, answer).empty()) question.answer = answer;
}

}  // namespace

AddedQuestions addQuestions(QuizDocument& document, std::span<const std::optional<PictureInput>> pictures,
                            const PicturePreparer& prepare, const PictureProgress& progress) {
    AddedQuestions result;
    const std::size_t room = static_cast<std::size_t>(MaxAnswerSlots / document.quiz.answersPerQuestion);
    const std::size_t before = document.questions.size();
    // Every good picture, in the order given, while answer slots are left.
    std::vector<std::optional<PictureInput>> wanted;
    for (const std::optional<PictureInput>& picture : pictures) {
        if (picture && fileProblem(picture->bytes) != PictureProblem::None) {
            result.refused.push_back({fileNameOf(picture->name), notAPictureInFrench(picture->bytes)});
        } else if (before + wanted.size() >= room) {
            result.refused.push_back({picture ? fileNameOf(picture->name) : "une question",
                                      "le quiz a déjà " + std::to_string(MaxAnswerSlots) + " réponses"});
        } else {
            wanted.push_back(picture);
        }
    }
    auto prepared = prepareEvery(wanted, backgroundOf(document.quiz), prepare, progress);
    std::vector<DocumentQuestion> kept;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (prepared[i] && !prepared[i]->ok()) {
            result.refused.push_back({fileNameOf(wanted[i]->name), pictureReasonInFrench(prepared[i]->reason)});
            continue;
        }
        DocumentQuestion& question = kept.emplace_back();
        question.picture = shared(std::move(wanted[i]));
        question.prepared = shared(std::move(prepared[i]));
        proposeAnswer(question);
    }
    if (kept.empty()) return result;
    const std::size_t count = kept.size();
    const bool withPictures = kept.front().picture != nullptr;
    beginChange(document, !withPictures ? (count == 1 ? "l'ajout d'une question" : "l'ajout de questions")
                          : count == 1  ? "l'ajout d'une image"
                                        : "l'ajout de " + std::to_string(count) + " images");
    document.questions.insert(document.questions.end(), std::make_move_iterator(kept.begin()),
                              std::make_move_iterator(kept.end()));
    result.added = count;
    return result;
}

Refusal setPicture(QuizDocument& document, std::size_t question, PictureInput picture, const PicturePreparer& prepare) {
    if (question >= document.questions.size()) return {};
    const std::optional<PictureInput> given[] = {std::move(picture)};
    if (Refusal refusal = notPicturesRefusal(given); !refusal.empty()) return refusal;
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(given, backgroundOf(document.quiz), prepare, {}, prepared); !refusal.empty()) {
        return refusal;
    }
    beginChange(document, "le changement de l'image de " + questionName(question));
    DocumentQuestion& changed = document.questions[question];
    changed.picture = shared(given[0]);
    changed.prepared = shared(std::move(prepared[0]));
    changed.quarterTurns = 0;
    return {};
}

std::vector<NeededPicture> picturesForTurn(const QuizDocument& document, std::size_t question, int quarterTurns) {
    if (question >= document.questions.size() || !document.questions[question].picture) return {};
    return {{question, ((document.questions[question].quarterTurns + quarterTurns) % 4 + 4) % 4}};
}

Refusal turnPicture(QuizDocument& document, std::size_t question, int quarterTurns, const PicturePreparer& prepare) {
    const std::vector<NeededPicture> needed = picturesForTurn(document, question, quarterTurns);
    if (needed.empty()) return {};
    std::optional<PictureInput> turned[] = {*document.questions[question].picture};
    turned[0]->quarterTurns = needed[0].quarterTurns;
    std::vector<std::optional<PreparedPicture>> prepared = prepare(turned, backgroundOf(document.quiz), {});
    if (prepared.empty() || !prepared[0]) return "L'image ne peut pas être tournée.";
    if (!prepared[0]->ok()) {
        return "L'image ne peut pas être tournée : " + pictureReasonInFrench(prepared[0]->reason) + ".";
    }
    beginChange(document, "la rotation de l'image de " + questionName(question));
    DocumentQuestion& changed = document.questions[question];
    changed.quarterTurns = needed[0].quarterTurns;
    changed.prepared = shared(std::move(prepared[0]));
    return {};
}

void removeQuestion(QuizDocument& document, std::size_t question) {
    if (question >= document.questions.size()) return;
    beginChange(document, "la suppression de " + questionName(question));
    document.questions.erase(document.questions.begin() + static_cast<std::ptrdiff_t>(question));
}

bool moveQuestion(QuizDocument& document, std::size_t question, int direction) {
    const std::size_t count = document.questions.size();
    if (question >= count || direction == 0 || (direction < 0 && question == 0) || (direction > 0 && question + 1 >= count)) {
        return false;
    }
    const std::size_t other = direction < 0 ? question - 1 : question + 1;
    beginChange(document, "le déplacement de " + questionName(question));
    std::swap(document.questions[question], document.questions[other]);
    return true;
}

void endTyping(QuizDocument& document) { document.history.typing.clear(); }

namespace {

// The content of `from`'s latest step comes back; the content now goes to `to`.
bool stepBack(QuizDocument& document, std::vector<HistoryStep>& from, std::vector<HistoryStep>& to) {
    if (from.empty()) return false;
    DocumentHistory& history = document.history;
    endTyping(document);
    HistoryStep step = std::move(from.back());
    from.pop_back();
    to.push_back({step.name, static_cast<const DocumentContent&>(document), history.version});
    static_cast<DocumentContent&>(document) = std::move(step.content);
    history.version = step.version;
    return true;
}

}  // namespace

bool undo(QuizDocument& document) { return stepBack(document, document.history.undo, document.history.redo); }
bool redo(QuizDocument& document) { return stepBack(document, document.history.redo, document.history.undo); }

std::optional<std::string> undoName(const QuizDocument& document) {
    if (document.history.undo.empty()) return std::nullopt;
    return document.history.undo.back().name;
}

std::optional<std::string> redoName(const QuizDocument& document) {
    if (document.history.redo.empty()) return std::nullopt;
    return document.history.redo.back().name;
}

bool isModified(const QuizDocument& document) { return document.history.version != document.history.savedVersion; }

void markSaved(QuizDocument& document) {
    endTyping(document);
    document.history.savedVersion = document.history.version;
}

void markUnsaved(QuizDocument& document) { document.history.savedVersion = ~std::uint64_t{0}; }

void sortByFileName(std::vector<std::string>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lowerAscii(fileNameOf(a));
        const std::string lb = lowerAscii(fileNameOf(b));
        return la != lb ? la < lb : fileNameOf(a) < fileNameOf(b);
    });
}

QuizSource savedSource(const QuizDocument& document) {
    QuizSource source = sourceOf(document);
    std::vector<std::string> codes = document.codeLines;
    if (codes.size() < source.questions.size()) codes.resize(source.questions.size());
    source.codes = std::move(codes);
    return source;
}

QuizResources documentResources(const QuizDocument& document, const std::string& name) {
    std::vector<std::optional<PreparedPicture>> pictures;
    for (const DocumentQuestion& question : document.questions) {
        pictures.push_back(question.prepared ? std::optional<PreparedPicture>(*question.prepared) : std::nullopt);
    }
    return quizResourcesOfPrepared(savedSource(document), name, pictures);
}

namespace {

// The texts a recovery copy keeps whole, as a quiz source (UTF-8): never in a
// quiz file, which keeps only what the player reads.
const ResourceKey DocumentTextsType = ResourceKey::fromName("ATELIER");
const ResourceKey DocumentTextsId = ResourceKey::fromId(1);

std::span<const std::uint8_t> bytesOfText(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

QuizResources recoveryResources(const QuizDocument& document) {
    QuizResources resources = documentResources(document, "atelier");
    if (!resources.ok()) return resources;
    QuizSource texts = sourceOf(document);
    texts.codes = document.codeLines;
    const std::string toml = formatQuizSource(texts);
    const auto bytes = bytesOfText(toml);
    resources.resources.push_back({DocumentTextsType, DocumentTextsId, QuizResourceLanguage, 0, {bytes.begin(), bytes.end()}});
    return resources;
}

namespace {

// A comment mode the player does not know reads no comment: the same as
// "Aucun commentaire", which the document then holds.
constexpr int UnknownCommentModeBecomes = 1;

// The quiz's own texts taken into a document, its code lines apart.
QuizDocument documentOf(const QuizSource& source, std::vector<std::string>& notes) {
    QuizDocument document;
    document.quiz = source;
    if (document.quiz.commentMode < 0 || document.quiz.commentMode > 4) {
        notes.push_back("Ce quiz avait un réglage des commentaires inconnu (" + std::to_string(document.quiz.commentMode) +
                        ") : il devient « Aucun commentaire », ce que voyaient déjà les joueurs.");
        document.quiz.commentMode = UnknownCommentModeBecomes;
    }
    document.codeLines = source.codes.value_or(std::vector<std::string>{});
    for (const SourceQuestion& question : source.questions) {
        document.questions.push_back({question.answer, question.secondAnswer, question.location, question.comment,
                                      nullptr, nullptr, 0});
    }
    return document;
}

// The texts a recovery copy kept whole, when they belong to this quiz.
void takeKeptTexts(std::span<const Resource> resources, QuizDocument& document) {
    const Resource* kept = findResource(resources, DocumentTextsType, DocumentTextsId);
    if (kept == nullptr) return;
    const ParsedSource parsed =
        parseQuizSource({reinterpret_cast<const char*>(kept->data.data()), kept->data.size()});
    if (!parsed.ok() || parsed.source.questions.size() != document.questions.size()) return;
    document.quiz = parsed.source;
    for (std::size_t i = 0; i < document.questions.size(); ++i) {
        const SourceQuestion& q = parsed.source.questions[i];
        DocumentQuestion& question = document.questions[i];
        question.answer = q.answer;
        question.secondAnswer = q.secondAnswer;
        question.location = q.location;
        question.comment = q.comment;
    }
    document.codeLines = parsed.source.codes.value_or(std::vector<std::string>{});
}

OpenedDocument documentOfQuiz(const QuizExecutable& quiz) {
    OpenedDocument opened;
    if (!quiz.ok()) {
        opened.error = "ce fichier ne contient pas de quiz Zorbel lisible.";
        return opened;
    }
    // A quiz's pictures are in their stored form already: they go back as they are.
    QuizDocument& document = opened.document = documentOf(quiz.source, opened.notes);
    for (std::size_t i = 0; i < quiz.pictures.size() && i < document.questions.size(); ++i) {
        if (!quiz.pictures[i]) continue;
        const std::string& name = quiz.source.questions[i].picture;
        DocumentQuestion& question = document.questions[i];
        question.picture = std::make_shared<const PictureInput>(PictureInput{name, quiz.pictures[i]->data});
        question.prepared = std::make_shared<const PreparedPicture>(
            PreparedPicture{pictureKindOf(*quiz.pictures[i]), quiz.pictures[i]->data, name, ""});
    }
    return opened;
}

}  // namespace

OpenedDocument documentFromExecutable(std::span<const std::uint8_t> image) {
    return documentOfQuiz(readQuizExecutable(image));
}

OpenedDocument documentFromResources(std::span<const Resource> resources) {
    OpenedDocument opened = documentOfQuiz(readQuizResources(resources));
    if (opened.error.empty()) takeKeptTexts(resources, opened.document);
    return opened;
}

OpenedDocument documentFromSource(const QuizSource& source, std::vector<std::optional<PictureInput>> pictures,
                                  const PicturePreparer& prepare, const PictureProgress& progress) {
    OpenedDocument opened;
    pictures.resize(source.questions.size());
    if (Refusal refusal = notPicturesRefusal(pictures); !refusal.empty()) {
        opened.error = refusal;
        return opened;
    }
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(pictures, backgroundOf(source), prepare, progress, prepared); !refusal.empty()) {
        opened.error = refusal;
        return opened;
    }
    QuizDocument& document = opened.document = documentOf(source, opened.notes);
    for (std::size_t i = 0; i < document.questions.size(); ++i) {
        document.questions[i].picture = shared(std::move(pictures[i]));
        document.questions[i].prepared = shared(std::move(prepared[i]));
    }
    return opened;
}
