// The quiz the editor holds: the player's limits enforced where the author
// types, refused changes leaving the document as it was, questions moved with
// their pictures, every change a step of a history that undoes and redoes it,
// and a saved quiz opened again as it was.

#include "editing/quiz_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/resource_bundle.h"
#include "common/file_access.h"
#include "tests/support/bare_player.h"

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path) { return readWholeFile(path).value_or(std::vector<std::uint8_t>{}); }

// Pictures already in their stored form, so the document keeps their bytes.
PictureInput jpeg(const std::string& name) { return {name, fileBytes(ZORBEL_SOURCE_DIR "/samples/demo/pictures/soleil.jpg")}; }
PictureInput png(const std::string& name) { return {name, fileBytes(ZORBEL_SOURCE_DIR "/tests/data/pngsuite/basn2c08.png")}; }

QuizDocument withQuestions(std::size_t count) {
    QuizDocument document = newDocument();
    const std::vector<std::optional<PictureInput>> pictures(count, jpeg("IMG_0001.jpg"));
    EXPECT_EQ(addQuestions(document, pictures, preparePictures).added, count);
    markSaved(document);
    return document;
}

TEST(QuizDocument, TextsTheLimitsRefuseLeaveTheDocumentAsItWas) {
    struct Case {
        std::string typed;
        std::string stored;   // code page 1252; empty: refused
        std::string message;  // a part of the refusal
    };
    const Case cases[] = {
        {"Tour Eiffel", "Tour Eiffel", ""},
        {"Œuvre – 5 € …", "\x8Cuvre \x96 5 \x80 \x85", ""},
        {"coché ✓", "", "« ✓ » (U+2713)"},
        {"a|b", "", "« | »"},
        {std::string(259, 'x'), std::string(259, 'x'), ""},
        {std::string(260, 'x'), "", "259 caractères au plus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.substr(0, 20));
        QuizDocument document = withQuestions(1);
        ASSERT_EQ(setQuestionText(document, 0, QuestionText::Comment, "avant"), "");
        markSaved(document);
        const Refusal refusal = setQuestionText(document, 0, QuestionText::Comment, c.typed);
        if (c.stored.empty()) {
            EXPECT_NE(refusal.find(c.message), std::string::npos) << refusal;
            EXPECT_EQ(questionText(document, 0, QuestionText::Comment), "avant");
            EXPECT_FALSE(isModified(document));
        } else {
            EXPECT_EQ(refusal, "");
            EXPECT_EQ(questionText(document, 0, QuestionText::Comment), c.stored);
            EXPECT_TRUE(isModified(document));
        }
        EXPECT_EQ(setQuizText(document, QuizText::Name, c.typed).empty(), !c.stored.empty()) << "quiz texts alike";
    }
}

TEST(QuizDocument, AQuizTooLongForTheCodecIsRefusedWhereTheAuthorTypes) {
    QuizDocument document = withQuestions(96);
    ASSERT_EQ(setCommentMode(document, 2), "");
    // Text that barely compresses: every comment different.
    std::uint32_t seed = 7;
    Refusal refusal;
    std::size_t question = 0;
    const auto noise = [&] {
        std::string text;
        for (int i = 0; i < 259; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += static_cast<char>('!' + (seed >> 16) % 90);
        }
        std::replace(text.begin(), text.end(), '|', '/');
        return text;
    };
    for (; question < 96 && refusal.empty(); ++question) {
        for (const QuestionText field : {QuestionText::Answer, QuestionText::Location, QuestionText::Comment}) {
            refusal = setQuestionText(document, question, field, noise());
            if (!refusal.empty()) break;
        }
    }
    ASSERT_LT(question, 96u) << "the quiz should have outgrown the codec";
    EXPECT_NE(refusal.find("trop long"), std::string::npos) << refusal;
    const DocumentQuestion& kept = document.questions[question - 1];
    EXPECT_TRUE(kept.comment.empty() || kept.location.empty())
        << "the refused text is not kept";
    EXPECT_TRUE(documentResources(document, "quiz").ok()) << "what is kept still saves";
}

TEST(QuizDocument, AnswerSlotsAreCountedAsTheQuestionsGrow) {
    QuizDocument document = withQuestions(95);
    EXPECT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>(1), preparePictures).added, 1u);
    const AddedQuestions full = addQuestions(document, std::vector<std::optional<PictureInput>>(1), preparePictures);
    EXPECT_EQ(full.added, 0u);
    ASSERT_EQ(full.refused.size(), 1u);
    EXPECT_NE(full.refused[0].reason.find("96 réponses"), std::string::npos) << full.refused[0].reason;
    EXPECT_EQ(document.questions.size(), 96u);

    QuizDocument pairs = withQuestions(49);
    EXPECT_FALSE(setAnswersPerQuestion(pairs, 2).empty()) << "49 questions with two answers is 98 slots";
    removeQuestion(pairs, 48);
    EXPECT_EQ(setAnswersPerQuestion(pairs, 2), "");
    EXPECT_EQ(pairs.quiz.answersPerQuestion, 2);
}

TEST(QuizDocument, EveryGoodPictureOfADropIsAddedAndTheOthersListedWithWhy) {
    QuizDocument document = newDocument();
    PictureInput cut = jpeg("C:/photos/coupée.jpg");
    cut.bytes.resize(cut.bytes.size() / 2);
    const std::vector<std::optional<PictureInput>> dropped{
        jpeg("C:/photos/soleil.jpg"), PictureInput{"C:/notes/liste.txt", {'h', 'i'}}, cut, png("lune.png"),
        PictureInput{"D:/x/rapport.doc", {0xD0, 0xCF}}};
    const AddedQuestions result = addQuestions(document, dropped, preparePictures);
    EXPECT_EQ(result.added, 2u);
    ASSERT_EQ(document.questions.size(), 2u);
    EXPECT_EQ(document.questions[0].picture->name, "C:/photos/soleil.jpg") << "in the order given";
    EXPECT_EQ(document.questions[1].picture->name, "lune.png");
    EXPECT_EQ(questionText(document, 0, QuestionText::Answer), "soleil") << "the file's name proposed as the answer";
    EXPECT_EQ(questionText(document, 1, QuestionText::Answer), "lune");
    ASSERT_EQ(result.refused.size(), 3u);
    EXPECT_EQ(result.refused[0].name, "liste.txt");
    EXPECT_NE(result.refused[0].reason.find("pas une image"), std::string::npos) << result.refused[0].reason;
    EXPECT_EQ(result.refused[1].name, "rapport.doc");
    EXPECT_EQ(result.refused[2].name, "coupée.jpg");
    EXPECT_NE(result.refused[2].reason.find("tronqué"), std::string::npos) << "cut, not damaged: " << result.refused[2].reason;
    EXPECT_EQ(undoName(document), "l'ajout de 2 images") << "one drop, one step";

    QuizDocument named = newDocument();
    const std::vector<std::optional<PictureInput>> lodz{jpeg("\xC5\x81\xC3\xB3" "d\xC5\xBA.jpg")};
    ASSERT_EQ(addQuestions(named, lodz, preparePictures).added, 1u);
    EXPECT_EQ(questionText(named, 0, QuestionText::Answer), "L\xF3" "dz") << "a name past the code page mended as typed";

    QuizDocument untouched = newDocument();
    EXPECT_EQ(addQuestions(untouched, std::vector<std::optional<PictureInput>>{PictureInput{"a.txt", {'x'}}}, preparePictures).added, 0u);
    EXPECT_FALSE(isModified(untouched)) << "nothing added, nothing changed";
    EXPECT_FALSE(undoName(untouched).has_value());
}

TEST(QuizDocument, TransparencyIsFlattenedAgainOnANewBackground) {
    QuizDocument document = newDocument();
    const PictureInput transparent{"transparent.png", fileBytes(ZORBEL_SOURCE_DIR "/tests/data/pictures/transparent.png")};
    ASSERT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>{transparent, jpeg("soleil.jpg")}, preparePictures).added, 2u);
    const std::vector<SharedPrepared> before = preparedPictures(document);
    ASSERT_EQ(picturesForBackground(document, {200, 10, 10}).size(), 1u) << "only the picture that may hold transparency";
    setBackground(document, {200, 10, 10}, preparePictures);
    EXPECT_NE(document.questions[0].prepared->bytes, before[0]->bytes) << "the transparent picture takes the new colour";
    EXPECT_EQ(document.questions[1].prepared, before[1]) << "a photo has nothing to flatten";
    EXPECT_EQ(document.questions[1].prepared->bytes, jpeg("").bytes) << "a picture in its stored form keeps its bytes";
}

TEST(QuizDocument, QuestionsMoveAndGoWithTheirPictures) {
    QuizDocument document = newDocument();
    ASSERT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>{jpeg("1.jpg"), png("2.png"), {}}, preparePictures).added, 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(setQuestionText(document, i, QuestionText::Answer, std::to_string(i + 1)), "");
    }
    EXPECT_FALSE(moveQuestion(document, 0, -1));
    EXPECT_FALSE(moveQuestion(document, 2, +1));
    EXPECT_FALSE(moveQuestion(document, 2, 0)) << "no direction, no move (the module takes any number)";
    EXPECT_TRUE(moveQuestion(document, 0, +1));
    EXPECT_TRUE(moveQuestion(document, 2, -1));  // 2 1 3 -> 2 3 1
    EXPECT_EQ(questionText(document, 1, QuestionText::Answer), "3");
    EXPECT_EQ(document.questions[1].picture, nullptr);
    removeQuestion(document, 0);
    EXPECT_EQ(questionText(document, 0, QuestionText::Answer), "3");
    EXPECT_EQ(document.questions[1].picture->name, "1.jpg");
}

// Each change undone names itself and brings the content back whole; redo
// goes forward again; the saved state is known whichever way it is reached.
TEST(DocumentHistory, EveryChangeIsAStepThatUndoesAndRedoes) {
    QuizDocument document = withQuestions(3);
    const DocumentContent saved = document;
    const std::vector<std::pair<std::function<void()>, std::string>> changes = {
        {[&] { removeQuestion(document, 2); }, "la suppression de la question 3"},
        {[&] { moveQuestion(document, 0, +1); }, "le déplacement de la question 1"},
        {[&] { (void)setPicture(document, 0, png("p.png"), preparePictures); }, "le changement de l'image de la question 1"},
        {[&] { (void)turnPicture(document, 1, +1, preparePictures); }, "la rotation de l'image de la question 2"},
        {[&] { setBackground(document, {1, 2, 3}, preparePictures); }, "le changement de couleur"},
        {[&] { (void)setCommentMode(document, 4); }, "le choix des commentaires"},
        {[&] { (void)setCodeLines(document, "A\r\nB"); }, "la saisie des codes"},
        {[&] { (void)setQuestionText(document, 1, QuestionText::Answer, "LUNE"); }, "la saisie de la réponse de la question 2"},
    };
    std::vector<DocumentContent> before;
    for (const auto& [change, name] : changes) {
        before.push_back(document);
        change();
        ASSERT_EQ(undoName(document), name);
    }
    const DocumentContent last = document;
    for (std::size_t i = changes.size(); i-- > 0;) {
        EXPECT_EQ(undoName(document), changes[i].second);
        ASSERT_TRUE(undo(document));
        EXPECT_EQ(static_cast<const DocumentContent&>(document), before[i])
            << "undoing " << changes[i].second << " brings back the very pictures, shared";
    }
    EXPECT_FALSE(isModified(document)) << "back at the saved state";
    EXPECT_EQ(static_cast<const DocumentContent&>(document), saved);
    EXPECT_EQ(undoName(document), "l'ajout de 3 images") << "the questions' own step comes before";
    while (redo(document)) {}
    EXPECT_EQ(static_cast<const DocumentContent&>(document), last);
    EXPECT_TRUE(isModified(document));
    markSaved(document);
    ASSERT_TRUE(undo(document));
    EXPECT_TRUE(isModified(document)) << "one step before the saved state";
    ASSERT_TRUE(redo(document));
    EXPECT_FALSE(isModified(document)) << "saving keeps the history";
    ASSERT_TRUE(undo(document));
    ASSERT_TRUE(redoName(document).has_value());
    (void)setQuizText(document, QuizText::Name, "Nouveau");
    EXPECT_FALSE(redoName(document).has_value()) << "a new change ends what could be redone";
}

TEST(DocumentHistory, TextTypedInOneFieldIsOneStepUntilTheFieldIsLeft) {
    QuizDocument document = withQuestions(1);
    for (const char* typed : {"L", "Lu", "Lune"}) ASSERT_EQ(setQuestionText(document, 0, QuestionText::Answer, typed), "");
    (void)setQuizText(document, QuizText::Name, "Q");  // another field: another step
    (void)setQuizText(document, QuizText::Name, "Quiz");
    endTyping(document);
    (void)setQuizText(document, QuizText::Name, "Quiz 2");  // the same field, entered again
    ASSERT_TRUE(undo(document));
    EXPECT_EQ(quizText(document, QuizText::Name), "Quiz");
    ASSERT_TRUE(undo(document));
    EXPECT_EQ(quizText(document, QuizText::Name), "");
    EXPECT_EQ(undoName(document), "la saisie de la réponse de la question 1");
    ASSERT_TRUE(undo(document));
    EXPECT_EQ(questionText(document, 0, QuestionText::Answer), "");
    EXPECT_EQ(undoName(document), "l'ajout d'une image") << "three steps in all after the questions' own";
}

TEST(DocumentHistory, ATurnedPictureIsPreparedAgainFromTheFileGiven) {
    QuizDocument document = newDocument();
    const PictureInput sideways{"sideways.jpg", fileBytes(ZORBEL_SOURCE_DIR "/tests/data/pictures/sideways.jpg")};
    ASSERT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>{sideways}, preparePictures).added, 1u);
    const SharedPrepared upright = document.questions[0].prepared;
    ASSERT_EQ(turnPicture(document, 0, +1, preparePictures), "");
    ASSERT_EQ(turnPicture(document, 0, -1, preparePictures), "");
    EXPECT_EQ(document.questions[0].quarterTurns, 0);
    EXPECT_EQ(document.questions[0].prepared->bytes, upright->bytes) << "turned back, the same picture as first prepared";
    ASSERT_EQ(picturesForTurn(document, 0, -1).size(), 1u);
    EXPECT_EQ(picturesForTurn(document, 0, -1)[0].quarterTurns, 3) << "a quarter anticlockwise is three clockwise";
    ASSERT_EQ(turnPicture(document, 0, +1, preparePictures), "");
    EXPECT_EQ(document.questions[0].picture->bytes, sideways.bytes) << "the file given is kept as it was";
    EXPECT_NE(document.questions[0].prepared->bytes, upright->bytes);
}

TEST(QuizDocument, PicturesChosenTogetherComeInFileNameOrder) {
    std::vector<std::string> paths{"C:/b/Zèbre.jpg", "C:/a/lune.png", "C:/z/Arbre.jpg", "C:/z/arbre.jpg", "soleil.gif"};
    sortByFileName(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"C:/z/Arbre.jpg", "C:/z/arbre.jpg", "C:/a/lune.png", "soleil.gif",
                                               "C:/b/Zèbre.jpg"}));
}

TEST(QuizDocument, ASavedQuizOpensAgainAsItWas) {
    QuizDocument document = withQuestions(3);
    ASSERT_EQ(setQuizText(document, QuizText::Name, "Mon quiz"), "");
    ASSERT_EQ(setQuestionText(document, 1, QuestionText::Answer, "ÉTÉ"), "");
    ASSERT_EQ(setPicture(document, 2, png("3.png"), preparePictures), "");
    ASSERT_EQ(setCodeLines(document, "UN\r\n\r\nTROIS\r\n\r\n"), "");
    EXPECT_EQ(document.codeLines, (std::vector<std::string>{"UN", "", "TROIS"}));
    setBackground(document, {1, 2, 3}, preparePictures);
    EXPECT_EQ(savedSource(document).codes->size(), 3u) << "one code line per question";

    const QuizResources resources = documentResources(document, "quiz");
    ASSERT_TRUE(resources.ok()) << resources.error;
    const std::string player = barePlayerImage();
    const PeWriteResult image = writePeResources({reinterpret_cast<const std::uint8_t*>(player.data()), player.size()},
                                                 resources.resources);
    ASSERT_EQ(image.error, PeError::Ok);
    // As a quiz executable, and as the resource bundle of a recovery copy.
    const std::vector<std::uint8_t> bundle = bundleOf(resources.resources);
    for (const OpenedDocument& opened :
         {documentFromExecutable(image.image), documentFromResources(readBundle(bundle).resources)}) {
        ASSERT_EQ(opened.error, "");
        EXPECT_EQ(sourceOf(opened.document), sourceOf(document));
        EXPECT_EQ(codeLinesText(opened.document), "UN\r\n\r\nTROIS");
        ASSERT_EQ(opened.document.questions.size(), 3u);
        EXPECT_EQ(opened.document.questions[2].picture->bytes, png("").bytes) << "pictures come back byte for byte";
        EXPECT_FALSE(isModified(opened.document));
    }
    for (std::size_t size = 0; size < bundle.size(); size += 7) {
        EXPECT_FALSE(readBundle({bundle.data(), size}).ok()) << "a bundle cut at " << size;
    }
    std::vector<std::uint8_t> longer = bundle;
    longer.push_back(0);
    EXPECT_FALSE(readBundle(longer).ok()) << "bytes past the end";
    EXPECT_FALSE(readBundle(image.image).ok()) << "an executable is not a bundle";

    EXPECT_FALSE(documentFromExecutable({image.image.data(), 100}).error.empty()) << "a cut file is not a quiz";
    EXPECT_FALSE(documentFromExecutable({reinterpret_cast<const std::uint8_t*>(player.data()), player.size()})
                     .error.empty())
        << "a player without a quiz is not one";
}

}  // namespace

namespace {

std::vector<std::uint8_t> asExecutable(const QuizResources& resources) {
    const std::string player = barePlayerImage();
    return writePeResources({reinterpret_cast<const std::uint8_t*>(player.data()), player.size()}, resources.resources)
        .image;
}

// What the author made comes back whole: from the quiz file what it can hold,
// from a recovery copy everything the document held.
TEST(QuizDocument, SavingAndRecoveringKeepWhatTheAuthorWrote) {
    QuizDocument document = withQuestions(2);
    ASSERT_EQ(setCodeLines(document, "UN\r\nDEUX\r\nTROIS\r\nQUATRE"), "") << "typed before the questions were added";
    ASSERT_EQ(setCommentMode(document, 0), "");
    ASSERT_EQ(setQuestionText(document, 0, QuestionText::Comment, "Un commentaire gardé"), "");
    ASSERT_EQ(setQuestionText(document, 1, QuestionText::SecondAnswer, "DEUXIEME"), "");
    const std::vector<std::string> codes{"UN", "DEUX", "TROIS", "QUATRE"};

    const QuizResources saved = documentResources(document, "quiz");
    ASSERT_TRUE(saved.ok()) << saved.error;
    for (const OpenedDocument& opened : {documentFromExecutable(asExecutable(saved)), documentFromResources(saved.resources)}) {
        ASSERT_EQ(opened.error, "");
        EXPECT_EQ(opened.document.codeLines, codes) << "code lines past the questions are kept";
    }

    const QuizResources kept = recoveryResources(document);
    ASSERT_TRUE(kept.ok()) << kept.error;
    const OpenedDocument recovered = documentFromResources(readBundle(bundleOf(kept.resources)).resources);
    ASSERT_EQ(recovered.error, "");
    EXPECT_EQ(sourceOf(recovered.document), sourceOf(document)) << "comments of mode 0 and second answers kept";
    EXPECT_EQ(recovered.document.codeLines, codes);
    EXPECT_EQ(recovered.document.quiz, document.quiz);
}

// A comment mode the player does not know reads no comment and puts the
// colour right after it: opened, it becomes "Aucun commentaire", said so, and
// the colour stays the quiz's.
TEST(QuizDocument, AnUnknownCommentModeIsBroughtIntoRangeAndSaid) {
    QuizSource source;
    source.commentMode = 85;
    source.backgroundRed = 10;
    source.backgroundGreen = 20;
    source.backgroundBlue = 30;
    source.questions.push_back({"SOLEIL", "", "", "", ""});
    const QuizResources made = quizResourcesOfPrepared(source, "hand-made", std::vector<std::optional<PreparedPicture>>(1));
    ASSERT_TRUE(made.ok()) << made.error;
    OpenedDocument opened = documentFromExecutable(asExecutable(made));
    ASSERT_EQ(opened.error, "");
    EXPECT_EQ(opened.document.quiz.commentMode, 1);
    ASSERT_EQ(opened.notes.size(), 1u);
    EXPECT_NE(opened.notes[0].find("(85)"), std::string::npos) << opened.notes[0];
    const OpenedDocument again = documentFromResources(documentResources(opened.document, "quiz").resources);
    ASSERT_EQ(again.error, "");
    EXPECT_EQ(again.document.quiz.backgroundRed, 10);
    EXPECT_EQ(again.document.quiz.backgroundGreen, 20);
    EXPECT_EQ(again.document.quiz.backgroundBlue, 30) << "the colour read where the player reads it";
    EXPECT_TRUE(again.notes.empty());
}

}  // namespace
