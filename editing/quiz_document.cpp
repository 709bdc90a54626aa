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
#include "editing/file_names.h"
#include "editing/picture_reasons.h"
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
Refusal definitionFits(const QuizSource& source) {
    if (encodes(definitionText(source))) return {};
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

// Changes a copy of the source, checks that the player can still decode it,
// then keeps it as one step named `name`.
template <typename Change>
Refusal changeSource(QuizDocument& document, std::string name, std::string_view typingKey, Change change) {
    QuizSource candidate = document.source;
    if (Refusal refusal = change(candidate); !refusal.empty()) return refusal;
    if (Refusal refusal = definitionFits(candidate); !refusal.empty()) return refusal;
    beginChange(document, std::move(name), typingKey);
    document.source = std::move(candidate);
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

Rgb backgroundOf(const QuizSource& source) {
    return {static_cast<std::uint8_t>(source.backgroundRed), static_cast<std::uint8_t>(source.backgroundGreen),
            static_cast<std::uint8_t>(source.backgroundBlue)};
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
Refusal prepareAll(std::span<const std::optional<PictureInput>> pictures, Rgb background,
                   const PictureProgress& progress, std::vector<std::optional<PreparedPicture>>& out) {
    out = preparePictures(pictures, background, progress);
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

QuizDocument newDocument() {
    QuizDocument document;
    document.source.answersPerQuestion = 1;
    // A comment typed in a new quiz is shown once its question is solved.
    document.source.commentMode = 2;
    // The player tells "é" from "É" and from "e": players are told how to type.
    document.source.explanation = "Tapez les r\xE9" "ponses sans accent, puis Entr\xE9" "e.";
    return document;
}

Refusal setQuizText(QuizDocument& document, QuizText field, std::string_view text) {
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (quizTextOf(document.source, field) == bytes) return {};
    const std::string typing = "quiz:" + std::to_string(static_cast<int>(field));
    return changeSource(document, quizTextName(field), typing, [&](QuizSource& source) {
        quizTextOf(source, field) = bytes;
        return Refusal{};
    });
}

Refusal setQuestionText(QuizDocument& document, std::size_t question, QuestionText field, std::string_view text) {
    if (question >= document.source.questions.size()) return {};
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (questionTextOf(document.source.questions[question], field) == bytes) return {};
    const std::string typing = "question:" + std::to_string(question) + ":" + std::to_string(static_cast<int>(field));
    return changeSource(document, questionTextName(field) + questionName(question), typing, [&](QuizSource& source) {
        questionTextOf(source.questions[question], field) = bytes;
        return Refusal{};
    });
}

std::string_view quizText(const QuizDocument& document, QuizText field) {
    return quizTextOf(document.source, field);
}

std::string_view questionText(const QuizDocument& document, std::size_t question, QuestionText field) {
    if (question >= document.source.questions.size()) return {};
    return questionTextOf(document.source.questions[question], field);
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
    QuizSource candidate = document.source;
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
    if (answers == document.source.answersPerQuestion) return {};
    if (Refusal refusal = slotsRefusal(document.source.questions.size(), answers); !refusal.empty()) return refusal;
    return changeSource(document, "le choix du nombre de réponses", {}, [&](QuizSource& source) {
        source.answersPerQuestion = answers;
        return Refusal{};
    });
}

Refusal setCommentMode(QuizDocument& document, int mode) {
    if (mode < 0 || mode > 4) return "Le mode des commentaires va de 0 à 4.";
    if (mode == document.source.commentMode) return {};
    return changeSource(document, "le choix des commentaires", {}, [&](QuizSource& source) {
        source.commentMode = mode;
        return Refusal{};
    });
}

void setPicturesInOverview(QuizDocument& document, bool shown) {
    const int value = shown ? 1 : 0;
    if (document.source.showPictures == value) return;
    beginChange(document, "le choix des images dans la vue d'ensemble");
    document.source.showPictures = value;
}

// Only a JPEG can hold no transparency.
bool takesBackground(const PictureInput& picture) { return pictureFormat(picture.bytes) != PictureFormat::Jpeg; }

void setBackground(QuizDocument& document, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    QuizSource& source = document.source;
    if (source.backgroundRed == red && source.backgroundGreen == green && source.backgroundBlue == blue) return;
    beginChange(document, "le changement de couleur");
    source.backgroundRed = red;
    source.backgroundGreen = green;
    source.backgroundBlue = blue;
    // The pictures that may hold transparency are flattened anew.
    std::vector<std::optional<PictureInput>> again(document.pictures.size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        const SharedPicture& picture = document.pictures[i];
        if (!picture || !takesBackground(*picture)) continue;
        again[i] = *picture;
        again[i]->quarterTurns = document.quarterTurns[i];
    }
    auto prepared = preparePictures(again, backgroundOf(source));
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        if (prepared[i] && prepared[i]->ok()) document.prepared[i] = shared(std::move(prepared[i]));
    }
}

namespace {

// Every picture prepared, the good ones after a bad one too: a batch stops
// at its first failure, so what it left is prepared again until none is left.
std::vector<std::optional<PreparedPicture>> prepareEvery(std::span<const std::optional<PictureInput>> pictures,
                                                         Rgb background, const PictureProgress& progress) {
    std::vector<std::optional<PreparedPicture>> prepared = preparePictures(pictures, background, progress);
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
        std::vector<std::optional<PreparedPicture>> more = preparePictures(again, background);
        for (std::size_t k = 0; k < left.size(); ++k) prepared[left[k]] = std::move(more[k]);
        if (!more.front()) return prepared;  // no progress: never happens, the first is always started
    }
}

}  // namespace

namespace {

// A picture named by its author ("soleil.jpg") proposes its name as the
// answer, which the author sees in the field and may change.
void proposeAnswers(QuizDocument& document, std::size_t first, std::span<const SharedPicture> pictures) {
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i] == nullptr) continue;
        std::string answer;
        if (playerText(answerFromFileName(pictures[i]->name), answer).empty()) {
            document.source.questions[first + i].answer = answer;
        }
    }
}

}  // namespace

AddedQuestions addQuestions(QuizDocument& document, std::span<const std::optional<PictureInput>> pictures,
                            const PictureProgress& progress) {
    AddedQuestions result;
    const std::size_t room = static_cast<std::size_t>(MaxAnswerSlots / document.source.answersPerQuestion);
    const std::size_t before = document.source.questions.size();
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
    auto prepared = prepareEvery(wanted, backgroundOf(document.source), progress);
    std::vector<SharedPicture> keptPictures;
    std::vector<SharedPrepared> keptPrepared;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (prepared[i] && !prepared[i]->ok()) {
            result.refused.push_back({fileNameOf(wanted[i]->name), pictureReasonInFrench(prepared[i]->reason)});
            continue;
        }
        keptPictures.push_back(shared(std::move(wanted[i])));
        keptPrepared.push_back(shared(std::move(prepared[i])));
    }
    if (keptPictures.empty()) return result;
    const std::size_t count = keptPictures.size();
    const bool withPictures = keptPictures.front() != nullptr;
    beginChange(document, !withPictures ? (count == 1 ? "l'ajout d'une question" : "l'ajout de questions")
                          : count == 1  ? "l'ajout d'une image"
                                        : "l'ajout de " + std::to_string(count) + " images");
    document.source.questions.resize(before + count);
    proposeAnswers(document, before, keptPictures);
    document.pictures.insert(document.pictures.end(), keptPictures.begin(), keptPictures.end());
    document.prepared.insert(document.prepared.end(), keptPrepared.begin(), keptPrepared.end());
    document.quarterTurns.resize(before + count, 0);
    result.added = count;
    return result;
}

Refusal setPicture(QuizDocument& document, std::size_t question, PictureInput picture) {
    if (question >= document.pictures.size()) return {};
    const std::optional<PictureInput> given[] = {std::move(picture)};
    if (Refusal refusal = notPicturesRefusal(given); !refusal.empty()) return refusal;
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(given, backgroundOf(document.source), {}, prepared); !refusal.empty()) {
        return refusal;
    }
    beginChange(document, "le changement de l'image de " + questionName(question));
    document.pictures[question] = shared(given[0]);
    document.prepared[question] = shared(std::move(prepared[0]));
    document.quarterTurns[question] = 0;
    return {};
}

Refusal turnPicture(QuizDocument& document, std::size_t question, int quarterTurns) {
    if (question >= document.pictures.size() || !document.pictures[question]) return {};
    const int turns = ((document.quarterTurns[question] + quarterTurns) % 4 + 4) % 4;
    const PictureInput& given = *document.pictures[question];
    PreparedPicture turned = preparePicture(given.bytes, given.name, backgroundOf(document.source), turns);
    if (!turned.ok()) return "L'image ne peut pas être tournée : " + pictureReasonInFrench(turned.reason) + ".";
    beginChange(document, "la rotation de l'image de " + questionName(question));
    document.quarterTurns[question] = turns;
    document.prepared[question] = shared(std::move(turned));
    return {};
}

void removeQuestion(QuizDocument& document, std::size_t question) {
    if (question >= document.source.questions.size()) return;
    beginChange(document, "la suppression de " + questionName(question));
    const auto at = static_cast<std::ptrdiff_t>(question);
    document.source.questions.erase(document.source.questions.begin() + at);
    document.pictures.erase(document.pictures.begin() + at);
    document.prepared.erase(document.prepared.begin() + at);
    document.quarterTurns.erase(document.quarterTurns.begin() + at);
}

bool moveQuestion(QuizDocument& document, std::size_t question, int direction) {
    const std::size_t count = document.source.questions.size();
    if (question >= count || (direction < 0 && question == 0) || (direction > 0 && question + 1 >= count)) return false;
    const std::size_t other = direction < 0 ? question - 1 : question + 1;
    beginChange(document, "le déplacement de " + questionName(question));
    std::swap(document.source.questions[question], document.source.questions[other]);
    std::swap(document.pictures[question], document.pictures[other]);
    std::swap(document.prepared[question], document.prepared[other]);
    std::swap(document.quarterTurns[question], document.quarterTurns[other]);
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
    QuizSource source = document.source;
    std::vector<std::string> codes = document.codeLines;
    if (codes.size() < source.questions.size()) codes.resize(source.questions.size());
    source.codes = std::move(codes);
    return source;
}

QuizResources documentResources(const QuizDocument& document, const std::string& name) {
    std::vector<std::optional<PreparedPicture>> pictures;
    for (const SharedPrepared& picture : document.prepared) {
        pictures.push_back(picture ? std::optional<PreparedPicture>(*picture) : std::nullopt);
    }
    return quizResourcesOfPrepared(savedSource(document), name, pictures);
}

namespace {

// The quiz's own texts taken into a document, its code lines apart.
QuizDocument documentOf(const QuizSource& source) {
    QuizDocument document;
    document.source = source;
    document.codeLines = source.codes.value_or(std::vector<std::string>{});
    document.source.codes.reset();
    for (SourceQuestion& question : document.source.questions) question.picture.clear();
    return document;
}

OpenedDocument documentOfQuiz(const QuizExecutable& quiz) {
    OpenedDocument opened;
    if (!quiz.ok()) {
        opened.error = "ce fichier ne contient pas de quiz Zorbel lisible.";
        return opened;
    }
    // A quiz's pictures are in their stored form already: they go back as they are.
    QuizDocument& document = opened.document = documentOf(quiz.source);
    for (std::size_t i = 0; i < quiz.pictures.size(); ++i) {
        if (!quiz.pictures[i]) {
            document.pictures.emplace_back();
            document.prepared.emplace_back();
            continue;
        }
        const std::string& name = quiz.source.questions[i].picture;
        document.pictures.push_back(std::make_shared<const PictureInput>(PictureInput{name, quiz.pictures[i]->data}));
        document.prepared.push_back(std::make_shared<const PreparedPicture>(
            PreparedPicture{pictureKindOf(*quiz.pictures[i]), quiz.pictures[i]->data, name, ""}));
    }
    document.quarterTurns.assign(document.pictures.size(), 0);
    return opened;
}

}  // namespace

OpenedDocument documentFromExecutable(std::span<const std::uint8_t> image) {
    return documentOfQuiz(readQuizExecutable(image));
}

OpenedDocument documentFromResources(std::span<const Resource> resources) {
    return documentOfQuiz(readQuizResources(resources));
}

OpenedDocument documentFromSource(const QuizSource& source, std::vector<std::optional<PictureInput>> pictures,
                                  const PictureProgress& progress) {
    OpenedDocument opened;
    pictures.resize(source.questions.size());
    QuizDocument& document = opened.document;
    if (Refusal refusal = notPicturesRefusal(pictures); !refusal.empty()) {
        opened.error = refusal;
        return opened;
    }
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(pictures, backgroundOf(source), progress, prepared); !refusal.empty()) {
        opened.error = refusal;
        return opened;
    }
    document = documentOf(source);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        document.pictures.push_back(shared(std::move(pictures[i])));
        document.prepared.push_back(shared(std::move(prepared[i])));
    }
    document.quarterTurns.assign(document.pictures.size(), 0);
    return opened;
}
