#include "authoring/quiz_document.h"

#include <algorithm>
#include <iterator>
#include <cctype>

#include "authoring/cp1252.h"
#include "picture_preparation/picture_batch.h"
#include "picture_preparation/picture_check.h"
#include "authoring/picture_resources.h"
#include "authoring/quiz_executable.h"
#include "content/content_codec.h"
#include "content/quiz_record.h"
#include "content/text.h"

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

// Changes a copy of the source, checks that the player can still decode it,
// then keeps it.
template <typename Change>
Refusal changeSource(QuizDocument& document, Change change) {
    QuizSource candidate = document.source;
    if (Refusal refusal = change(candidate); !refusal.empty()) return refusal;
    if (Refusal refusal = definitionFits(candidate); !refusal.empty()) return refusal;
    document.source = std::move(candidate);
    document.modified = true;
    return {};
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
        if (!picture || pictureFormat(picture->bytes) != PictureFormat::Unknown) continue;
        names += (names.empty() ? "" : ", ") + fileNameOf(picture->name);
    }
    if (names.empty()) return {};
    return "Ces fichiers ne sont pas des images JPEG, PNG, GIF ou BMP : " + names + ".";
}

// Every picture prepared for the quiz, or the refusal of the first that cannot be.
Refusal prepareAll(std::span<const std::optional<PictureInput>> pictures, Rgb background,
                   const PictureProgress& progress, std::vector<std::optional<PreparedPicture>>& out) {
    out = preparePictures(pictures, background, progress);
    for (const std::optional<PreparedPicture>& picture : out) {
        if (picture && !picture->ok()) {
            return "L'image « " + fileNameOf(picture->subject) +
                   " » ne peut pas servir : elle est endommagée, tronquée ou trop grande (" + picture->error + ").";
        }
    }
    return {};
}

}  // namespace

QuizDocument newDocument() {
    QuizDocument document;
    document.source.answersPerQuestion = 1;
    // A comment typed in a new quiz is shown once its question is solved.
    document.source.commentMode = 2;
    return document;
}

Refusal setQuizText(QuizDocument& document, QuizText field, std::string_view text) {
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (quizTextOf(document.source, field) == bytes) return {};
    return changeSource(document, [&](QuizSource& source) {
        quizTextOf(source, field) = bytes;
        return Refusal{};
    });
}

Refusal setQuestionText(QuizDocument& document, std::size_t question, QuestionText field, std::string_view text) {
    if (question >= document.source.questions.size()) return {};
    std::string bytes;
    if (Refusal refusal = playerText(text, bytes); !refusal.empty()) return refusal;
    if (questionTextOf(document.source.questions[question], field) == bytes) return {};
    return changeSource(document, [&](QuizSource& source) {
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
    document.codeLines = std::move(lines);
    document.modified = true;
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
    return changeSource(document, [&](QuizSource& source) {
        source.answersPerQuestion = answers;
        return Refusal{};
    });
}

Refusal setCommentMode(QuizDocument& document, int mode) {
    if (mode < 0 || mode > 4) return "Le mode des commentaires va de 0 à 4.";
    if (mode == document.source.commentMode) return {};
    return changeSource(document, [&](QuizSource& source) {
        source.commentMode = mode;
        return Refusal{};
    });
}

void setPicturesInOverview(QuizDocument& document, bool shown) {
    const int value = shown ? 1 : 0;
    if (document.source.showPictures == value) return;
    document.source.showPictures = value;
    document.modified = true;
}

void setBackground(QuizDocument& document, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    QuizSource& source = document.source;
    if (source.backgroundRed == red && source.backgroundGreen == green && source.backgroundBlue == blue) return;
    source.backgroundRed = red;
    source.backgroundGreen = green;
    source.backgroundBlue = blue;
    document.modified = true;
    // Only a JPEG can hold no transparency; the others are flattened anew.
    std::vector<std::optional<PictureInput>> again(document.pictures.size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        const auto& picture = document.pictures[i];
        if (picture && pictureFormat(picture->bytes) != PictureFormat::Jpeg) again[i] = picture;
    }
    const auto prepared = preparePictures(again, backgroundOf(source));
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        if (prepared[i]) document.prepared[i] = prepared[i];
    }
}

Refusal addQuestions(QuizDocument& document, std::span<const std::optional<PictureInput>> pictures,
                     const PictureProgress& progress) {
    if (Refusal refusal = notPicturesRefusal(pictures); !refusal.empty()) return refusal;
    const std::size_t total = document.source.questions.size() + pictures.size();
    if (Refusal refusal = slotsRefusal(total, document.source.answersPerQuestion); !refusal.empty()) return refusal;
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(pictures, backgroundOf(document.source), progress, prepared); !refusal.empty()) {
        return refusal;
    }
    Refusal refusal = changeSource(document, [&](QuizSource& source) {
        source.questions.resize(total);
        return Refusal{};
    });
    if (!refusal.empty()) return refusal;
    document.pictures.insert(document.pictures.end(), pictures.begin(), pictures.end());
    document.prepared.insert(document.prepared.end(), std::make_move_iterator(prepared.begin()),
                             std::make_move_iterator(prepared.end()));
    return {};
}

Refusal setPicture(QuizDocument& document, std::size_t question, PictureInput picture) {
    if (question >= document.pictures.size()) return {};
    const std::optional<PictureInput> given[] = {std::move(picture)};
    if (Refusal refusal = notPicturesRefusal(given); !refusal.empty()) return refusal;
    std::vector<std::optional<PreparedPicture>> prepared;
    if (Refusal refusal = prepareAll(given, backgroundOf(document.source), {}, prepared); !refusal.empty()) {
        return refusal;
    }
    document.pictures[question] = given[0];
    document.prepared[question] = std::move(prepared[0]);
    document.modified = true;
    return {};
}

void removeQuestion(QuizDocument& document, std::size_t question) {
    if (question >= document.source.questions.size()) return;
    const auto at = static_cast<std::ptrdiff_t>(question);
    document.source.questions.erase(document.source.questions.begin() + at);
    document.pictures.erase(document.pictures.begin() + at);
    document.prepared.erase(document.prepared.begin() + at);
    document.modified = true;
}

bool moveQuestion(QuizDocument& document, std::size_t question, int direction) {
    const std::size_t count = document.source.questions.size();
    if (question >= count || (direction < 0 && question == 0) || (direction > 0 && question + 1 >= count)) return false;
    const std::size_t other = direction < 0 ? question - 1 : question + 1;
    std::swap(document.source.questions[question], document.source.questions[other]);
    std::swap(document.pictures[question], document.pictures[other]);
    std::swap(document.prepared[question], document.prepared[other]);
    document.modified = true;
    return true;
}

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
    return quizResourcesOfPrepared(savedSource(document), name, document.prepared);
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

}  // namespace

OpenedDocument documentFromExecutable(std::span<const std::uint8_t> image) {
    QuizExecutable quiz = readQuizExecutable(image);
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
        document.pictures.push_back(PictureInput{name, quiz.pictures[i]->data});
        document.prepared.push_back(PreparedPicture{pictureKindOf(*quiz.pictures[i]), quiz.pictures[i]->data, name, ""});
    }
    return opened;
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
    if (Refusal refusal = prepareAll(pictures, backgroundOf(source), progress, document.prepared); !refusal.empty()) {
        opened.error = refusal;
        return opened;
    }
    std::vector<std::optional<PreparedPicture>> prepared = std::move(document.prepared);
    document = documentOf(source);
    document.prepared = std::move(prepared);
    document.pictures = std::move(pictures);
    return opened;
}
