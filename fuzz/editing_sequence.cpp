#include "fuzz/editing_sequence.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "authoring/resource_bundle.h"
#include "editing/quiz_document.h"
#include "picture_preparation/picture_check.h"
#include "picture_preparation/picture_problem.h"

namespace {

// The edits' inputs, read one byte at a time; zeros once the bytes run out.
class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool done() const { return at_ >= bytes_.size(); }
    std::uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : byte() % limit; }
    // Up to 24 of the next bytes as they are: malformed UTF-8 included.
    std::string raw() {
        const std::size_t length = below(25);
        std::string text;
        for (std::size_t i = 0; i < length && !done(); ++i) text += static_cast<char>(byte());
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// What authors type and paste (UTF-8), the refused among them.
const std::array<std::string_view, 14> Texts = {
    "", "SOLEIL", "lune", "Tour Eiffel", "\xC3\xA9t\xC3\xA9", "c\xC5\x93ur \xE2\x80\x93 5 \xE2\x82\xAC",
    "l\xE2\x80\x99" "arbre", "a|b", "\xC5\x81\xC3\xB3" "d\xC5\xBA", "coch\xC3\xA9 \xE2\x9C\x93", "  espaces  ",
    "UN\r\nDEUX\r\n\r\nQUATRE", "ligne\nsuite\n\n", "",
};

std::string textFrom(Input& in) {
    const std::size_t pick = in.below(Texts.size() + 3);
    if (pick < Texts.size()) return std::string(Texts[pick]);
    if (pick == Texts.size()) return std::string(259, 'x');
    if (pick == Texts.size() + 1) return std::string(260, 'y');
    return in.raw();
}

// Picture files as the stand-in knows them: a format told by their first
// bytes, a number that tells them apart, and one that no preparation takes.
constexpr std::uint8_t DamagedMark = 0xBA;
constexpr std::size_t PictureFiles = 7;

std::optional<PictureInput> pictureFile(std::size_t which) {
    static const std::vector<std::uint8_t> Png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const std::vector<std::uint8_t> Jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'};
    switch (which) {
        case 0: return std::nullopt;  // a question without a picture
        case 5: return PictureInput{"notes.txt", {'t', 'e', 'x', 't', 'e', 0, 0, 0, 0}};
        case 6: {
            PictureInput damaged{"abimee.png", Png};
            damaged.bytes.push_back(DamagedMark);
            return damaged;
        }
        default: {
            PictureInput file{"image" + std::to_string(which) + (which % 2 ? ".png" : ".jpg"), which % 2 ? Png : Jpeg};
            file.bytes.push_back(static_cast<std::uint8_t>(which));
            return file;
        }
    }
}

std::vector<std::uint8_t> standInBytes(const PictureInput& picture, int quarterTurns, Rgb background) {
    std::vector<std::uint8_t> bytes = picture.bytes;
    bytes.push_back(static_cast<std::uint8_t>(0xA0 + quarterTurns));
    if (takesBackground(picture)) bytes.insert(bytes.end(), {background.red, background.green, background.blue});
    return bytes;
}

std::vector<std::optional<PreparedPicture>> standInPreparer(std::span<const std::optional<PictureInput>> pictures,
                                                            Rgb background, const PictureProgress&) {
    std::vector<std::optional<PreparedPicture>> prepared(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!pictures[i]) continue;
        const PictureInput& picture = *pictures[i];
        PreparedPicture& out = prepared[i].emplace();
        out.subject = picture.name;
        if (picture.bytes.size() > 8 && picture.bytes[8] == DamagedMark) {
            out.reason.problem = PictureProblem::Damaged;
            out.reason.format = PictureFormat::Png;
            out.error = pictureProblemLine(out.reason);
            continue;
        }
        out.kind = pictureFormat(picture.bytes) == PictureFormat::Jpeg ? PictureKind::Jpeg : PictureKind::Png;
        out.bytes = standInBytes(picture, picture.quarterTurns, background);
    }
    return prepared;
}

Rgb backgroundOf(const QuizSettings& quiz) {
    return {static_cast<std::uint8_t>(quiz.backgroundRed), static_cast<std::uint8_t>(quiz.backgroundGreen),
            static_cast<std::uint8_t>(quiz.backgroundBlue)};
}

// The history the steps made, kept apart from the document's own.
struct History {
    std::vector<DocumentContent> past;  // the content before each step, the latest last
    std::vector<DocumentContent> future;
    std::string typing;  // the field whose typing the next edit of it continues
};

class Session {
public:
    explicit Session(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    SequenceOutcome run() {
        while (!in_.done() && failure_.empty()) {
            step();
            if (failure_.empty()) check();
            done_.push_back(std::string(edit_) + " [" + std::to_string(document_.questions.size()) + " q, " +
                            std::to_string(history_.past.size()) + " back]");
            ++outcome_.steps;
        }
        outcome_.failure = failure_;
        return outcome_;
    }

private:
    Input in_;
    QuizDocument document_ = newDocument();
    History history_;
    std::string failure_;
    SequenceOutcome outcome_;
    const char* edit_ = "";

    std::vector<std::string> done_;  // the edits so far, said in the failure

    void fail(const std::string& what) {
        if (!failure_.empty()) return;
        failure_ = "step " + std::to_string(outcome_.steps) + " (" + edit_ + "): " + what + "; after:";
        const std::size_t first = done_.size() > 12 ? done_.size() - 12 : 0;
        for (std::size_t i = first; i < done_.size(); ++i) failure_ += " " + done_[i] + ";";
    }

    const DocumentContent& content() const { return document_; }
    std::size_t questionIndex() { return in_.below(document_.questions.size() + 1); }

    // A change the document took: one more step, unless it continues typing.
    void stepped(DocumentContent before, const std::string& typingKey = {}) {
        if (typingKey.empty() || typingKey != history_.typing) history_.past.push_back(std::move(before));
        history_.typing = typingKey;
        history_.future.clear();
    }

    // A text edit: a step when the document changed.
    void typed(DocumentContent before, const Refusal& refusal, const std::string& key) {
        if (!refusal.empty() || before == content()) {
            if (before != content()) fail("a refused or empty edit changed the document");
            return;
        }
        stepped(std::move(before), key);
    }

    // A setting: a step when it changed.
    void set(DocumentContent before) {
        if (before != content()) stepped(std::move(before));
    }

    void step() {
        DocumentContent before = content();
        switch (in_.below(18)) {
            case 0: {
                edit_ = "quiz text";
                const int field = static_cast<int>(in_.below(5));
                typed(std::move(before), setQuizText(document_, static_cast<QuizText>(field), textFrom(in_)),
                      "quiz:" + std::to_string(field));
                break;
            }
            case 1: {
                edit_ = "question text";
                const std::size_t q = questionIndex();
                const int field = static_cast<int>(in_.below(4));
                typed(std::move(before), setQuestionText(document_, q, static_cast<QuestionText>(field), textFrom(in_)),
                      "question:" + std::to_string(q) + ":" + std::to_string(field));
                break;
            }
            case 2: {
                edit_ = "code lines";
                std::string text;
                for (std::size_t lines = in_.below(5); lines > 0; --lines) text += textFrom(in_) + "\r\n";
                typed(std::move(before), setCodeLines(document_, text), "codes");
                break;
            }
            case 3:
                edit_ = "answers per question";
                (void)setAnswersPerQuestion(document_, static_cast<int>(in_.below(3)) + 1);
                set(std::move(before));
                break;
            case 4:
                edit_ = "comment mode";
                (void)setCommentMode(document_, static_cast<int>(in_.below(6)));
                set(std::move(before));
                break;
            case 5:
                edit_ = "pictures in overview";
                setPicturesInOverview(document_, in_.below(2) == 1);
                set(std::move(before));
                break;
            case 6: {
                edit_ = "background";
                static const Rgb Colours[] = {{53, 203, 163}, {255, 255, 255}, {0, 0, 0}, {200, 10, 10}};
                setBackground(document_, Colours[in_.below(4)], standInPreparer);
                set(std::move(before));
                break;
            }
            case 7: addPictures(std::move(before)); break;
            case 8: {
                edit_ = "change picture";
                const std::size_t q = questionIndex();
                const std::optional<PictureInput> file = pictureFile(1 + in_.below(PictureFiles - 1));
                const Refusal refusal = setPicture(document_, q, *file, standInPreparer);
                if (q < before.questions.size() && refusal.empty()) stepped(std::move(before));
                else if (before != content()) fail("a refused picture changed the document");
                break;
            }
            case 9: {
                edit_ = "turn";
                const std::size_t q = questionIndex();
                const bool turnable = q < before.questions.size() && before.questions[q].picture != nullptr;
                const Refusal refusal = turnPicture(document_, q, in_.below(2) == 0 ? 1 : -1, standInPreparer);
                if (turnable && refusal.empty()) stepped(std::move(before));
                else if (before != content()) fail("a turn that could not be made changed the document");
                break;
            }
            case 10: {
                edit_ = "remove";
                const std::size_t q = questionIndex();
                removeQuestion(document_, q);
                if (q < before.questions.size()) stepped(std::move(before));
                break;
            }
            case 11: {
                edit_ = "move";
                if (moveQuestion(document_, questionIndex(), in_.below(2) == 0 ? -1 : 1)) stepped(std::move(before));
                break;
            }
            case 12:
                edit_ = "end typing";
                endTyping(document_);
                history_.typing.clear();
                break;
            case 13:
            case 14: travel(history_.past, history_.future, undo, "undo"); break;
            case 15: travel(history_.future, history_.past, redo, "redo"); break;
            case 16: saveAndReopen(in_.below(2) == 1); break;
            default: recover(); break;
        }
    }

    void addPictures(DocumentContent before) {
        edit_ = "add pictures";
        std::vector<std::optional<PictureInput>> files;
        for (std::size_t count = 1 + in_.below(3); count > 0; --count) files.push_back(pictureFile(in_.below(PictureFiles)));
        const AddedQuestions added = addQuestions(document_, files, standInPreparer);
        if (added.added + added.refused.size() != files.size()) fail("a file neither added nor refused");
        if (document_.questions.size() != before.questions.size() + added.added) fail("the questions added are miscounted");
        if (added.added > 0) stepped(std::move(before));
        else if (before != content()) fail("nothing added, yet the document changed");
    }

    void travel(std::vector<DocumentContent>& from, std::vector<DocumentContent>& to, bool (*move)(QuizDocument&),
                const char* name) {
        edit_ = name;
        DocumentContent before = content();
        const bool moved = move(document_);
        if (moved != !from.empty()) {
            fail(moved ? "there was nothing to go back to" : "a step was lost");
            return;
        }
        if (!moved) return;
        history_.typing.clear();
        if (content() != from.back()) fail("the document is not the one of that step");
        to.push_back(std::move(before));
        from.pop_back();
    }

    // What the quiz file keeps of the document's texts: the comments its
    // mode reads and the second answers of two-answer quizzes.
    QuizSource fileTexts(const DocumentContent& content) const {
        QuizSource source = sourceOf(content);
        const int mode = content.quiz.commentMode;
        for (SourceQuestion& q : source.questions) {
            if (mode < 2 || mode > 4) q.comment.clear();
            if (content.quiz.answersPerQuestion != 2) q.secondAnswer.clear();
        }
        return source;
    }

    void samePictures(const DocumentContent& opened, const char* how) {
        for (std::size_t i = 0; i < content().questions.size() && i < opened.questions.size(); ++i) {
            const SharedPrepared& mine = content().questions[i].prepared;
            const SharedPrepared& theirs = opened.questions[i].prepared;
            if ((mine == nullptr) != (theirs == nullptr) || (mine && mine->bytes != theirs->bytes)) {
                fail(std::string(how) + ": question " + std::to_string(i + 1) + "'s picture differs");
            }
        }
    }

    void saveAndReopen(bool adopt) {
        edit_ = "save and open";
        const QuizResources saved = documentResources(document_, "quiz");
        if (!saved.ok()) return fail("the document cannot be saved: " + saved.error);
        OpenedDocument opened = documentFromResources(saved.resources);
        if (!opened.error.empty()) return fail("the saved quiz does not open: " + opened.error);
        if (sourceOf(opened.document) != fileTexts(content())) fail("the texts the file keeps came back changed");
        if (opened.document.codeLines != document_.codeLines) fail("the code lines came back changed");
        samePictures(opened.document, "saved and opened");
        const QuizResources again = documentResources(opened.document, "quiz");
        if (!again.ok() || bundleOf(again.resources) != bundleOf(saved.resources)) fail("saved again, other bytes");
        if (!adopt || !failure_.empty()) return;
        document_ = std::move(opened.document);
        markSaved(document_);
        history_ = {};
    }

    void recover() {
        edit_ = "recovery copy";
        const QuizResources kept = recoveryResources(document_);
        if (!kept.ok()) return fail("no recovery copy: " + kept.error);
        const ResourceBundle bundle = readBundle(bundleOf(kept.resources));
        if (!bundle.ok()) return fail("the copy cannot be read: " + bundle.error);
        const OpenedDocument opened = documentFromResources(bundle.resources);
        if (!opened.error.empty()) return fail("the copy does not open: " + opened.error);
        if (sourceOf(opened.document) != sourceOf(content())) fail("the copy lost or changed texts");
        if (opened.document.codeLines != document_.codeLines) fail("the copy lost or changed code lines");
        samePictures(opened.document, "recovered");
    }

    void check() {
        if (undoName(document_).has_value() != !history_.past.empty()) fail("undo offered wrongly");
        if (redoName(document_).has_value() != !history_.future.empty()) fail("redo offered wrongly");
        const Rgb background = backgroundOf(document_.quiz);
        for (std::size_t i = 0; i < document_.questions.size(); ++i) {
            const DocumentQuestion& q = document_.questions[i];
            const std::string which = "question " + std::to_string(i + 1) + ": ";
            if ((q.picture == nullptr) != (q.prepared == nullptr)) fail(which + "a picture without its prepared one");
            if (q.picture == nullptr) continue;
            if (q.quarterTurns < 0 || q.quarterTurns > 3) fail(which + "turns out of range");
            // A picture opened from a quiz is its stored form until prepared again.
            const bool asOpened = q.prepared->bytes == q.picture->bytes && q.quarterTurns == 0;
            if (!asOpened && q.prepared->bytes != standInBytes(*q.picture, q.quarterTurns, background)) {
                fail(which + "its prepared picture is not its picture with its turns on the quiz's colour");
            }
        }
    }
};

}  // namespace

SequenceOutcome runEditingSequence(std::span<const std::uint8_t> bytes) { return Session(bytes).run(); }
