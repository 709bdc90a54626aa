// The quiz the editor holds: the player's limits enforced where the author
// types, refused changes leaving the document as it was, questions moved with
// their pictures, and a saved quiz opened again as it was.

#include "authoring/quiz_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "common/file_access.h"
#include "tests/support/bare_player.h"

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path) { return readWholeFile(path).value_or(std::vector<std::uint8_t>{}); }

// Pictures already in their stored form, so the document keeps their bytes.
PictureInput jpeg(const std::string& name) { return {name, fileBytes(ZORBEL_SOURCE_DIR "/samples/demo/pictures/soleil.jpg")}; }
PictureInput png(const std::string& name) { return {name, fileBytes(ZORBEL_SOURCE_DIR "/tests/data/pngsuite/basn2c08.png")}; }

QuizDocument withQuestions(std::size_t count) {
    QuizDocument document = newDocument();
    const std::vector<std::optional<PictureInput>> pictures(count, jpeg("a.jpg"));
    EXPECT_EQ(addQuestions(document, pictures), "");
    document.modified = false;
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
        document.modified = false;
        const Refusal refusal = setQuestionText(document, 0, QuestionText::Comment, c.typed);
        if (c.stored.empty()) {
            EXPECT_NE(refusal.find(c.message), std::string::npos) << refusal;
            EXPECT_EQ(questionText(document, 0, QuestionText::Comment), "avant");
            EXPECT_FALSE(document.modified);
        } else {
            EXPECT_EQ(refusal, "");
            EXPECT_EQ(questionText(document, 0, QuestionText::Comment), c.stored);
            EXPECT_TRUE(document.modified);
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
    const QuizSource& kept = document.source;
    EXPECT_TRUE(kept.questions[question - 1].comment.empty() || kept.questions[question - 1].location.empty())
        << "the refused text is not kept";
    EXPECT_TRUE(documentResources(document, "quiz").ok()) << "what is kept still saves";
}

TEST(QuizDocument, AnswerSlotsAreCountedAsTheQuestionsGrow) {
    QuizDocument document = withQuestions(95);
    EXPECT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>(1)), "");
    EXPECT_NE(addQuestions(document, std::vector<std::optional<PictureInput>>(1)).find("96 réponses"), std::string::npos);
    EXPECT_EQ(document.source.questions.size(), 96u);

    QuizDocument pairs = withQuestions(49);
    EXPECT_FALSE(setAnswersPerQuestion(pairs, 2).empty()) << "49 questions with two answers is 98 slots";
    removeQuestion(pairs, 48);
    EXPECT_EQ(setAnswersPerQuestion(pairs, 2), "");
    EXPECT_EQ(pairs.source.answersPerQuestion, 2);
}

TEST(QuizDocument, FilesThatAreNotPicturesAreListedAndNothingIsAdded) {
    QuizDocument document = newDocument();
    const std::vector<std::optional<PictureInput>> dropped{
        jpeg("C:/photos/soleil.jpg"), PictureInput{"C:/notes/liste.txt", {'h', 'i'}}, png("lune.png"),
        PictureInput{"D:/x/rapport.doc", {0xD0, 0xCF}}};
    const Refusal refusal = addQuestions(document, dropped);
    EXPECT_NE(refusal.find("liste.txt, rapport.doc"), std::string::npos) << refusal;
    EXPECT_TRUE(document.source.questions.empty());
    EXPECT_FALSE(document.modified);

    PictureInput cut = jpeg("coupée.jpg");
    cut.bytes.resize(cut.bytes.size() / 2);
    const std::vector<std::optional<PictureInput>> damaged{png("lune.png"), cut};
    EXPECT_NE(addQuestions(document, damaged).find("« coupée.jpg »"), std::string::npos) << "a damaged picture is named";
    EXPECT_TRUE(document.source.questions.empty());
}

TEST(QuizDocument, TransparencyIsFlattenedAgainOnANewBackground) {
    QuizDocument document = newDocument();
    const PictureInput transparent{"transparent.png", fileBytes(ZORBEL_SOURCE_DIR "/tests/data/pictures/transparent.png")};
    ASSERT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>{transparent, jpeg("soleil.jpg")}), "");
    const auto before = document.prepared;
    setBackground(document, 200, 10, 10);
    EXPECT_NE(document.prepared[0]->bytes, before[0]->bytes) << "the transparent picture takes the new colour";
    EXPECT_EQ(document.prepared[1]->bytes, before[1]->bytes) << "a photo has nothing to flatten";
    EXPECT_EQ(document.prepared[1]->bytes, jpeg("").bytes) << "a picture in its stored form keeps its bytes";
}

TEST(QuizDocument, QuestionsMoveAndGoWithTheirPictures) {
    QuizDocument document = newDocument();
    ASSERT_EQ(addQuestions(document, std::vector<std::optional<PictureInput>>{jpeg("1.jpg"), png("2.png"), {}}), "");
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(setQuestionText(document, i, QuestionText::Answer, std::to_string(i + 1)), "");
    }
    EXPECT_FALSE(moveQuestion(document, 0, -1));
    EXPECT_FALSE(moveQuestion(document, 2, +1));
    EXPECT_TRUE(moveQuestion(document, 0, +1));
    EXPECT_TRUE(moveQuestion(document, 2, -1));  // 2 1 3 -> 2 3 1
    EXPECT_EQ(questionText(document, 1, QuestionText::Answer), "3");
    EXPECT_FALSE(document.pictures[1].has_value());
    removeQuestion(document, 0);
    EXPECT_EQ(questionText(document, 0, QuestionText::Answer), "3");
    EXPECT_EQ(document.pictures[1]->name, "1.jpg");
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
    ASSERT_EQ(setPicture(document, 2, png("3.png")), "");
    ASSERT_EQ(setCodeLines(document, "UN\r\n\r\nTROIS\r\n\r\n"), "");
    EXPECT_EQ(document.codeLines, (std::vector<std::string>{"UN", "", "TROIS"}));
    setBackground(document, 1, 2, 3);
    EXPECT_EQ(savedSource(document).codes->size(), 3u) << "one code line per question";

    const QuizResources resources = documentResources(document, "quiz");
    ASSERT_TRUE(resources.ok()) << resources.error;
    const std::string player = barePlayerImage();
    const PeWriteResult image = writePeResources({reinterpret_cast<const std::uint8_t*>(player.data()), player.size()},
                                                 resources.resources);
    ASSERT_EQ(image.error, PeError::Ok);
    const OpenedDocument opened = documentFromExecutable(image.image);
    ASSERT_EQ(opened.error, "");
    EXPECT_EQ(opened.document.source, document.source);
    EXPECT_EQ(codeLinesText(opened.document), "UN\r\n\r\nTROIS");
    ASSERT_EQ(opened.document.pictures.size(), 3u);
    EXPECT_EQ(opened.document.pictures[2]->bytes, png("").bytes) << "pictures come back byte for byte";
    EXPECT_FALSE(opened.document.modified);

    EXPECT_FALSE(documentFromExecutable({image.image.data(), 100}).error.empty()) << "a cut file is not a quiz";
    EXPECT_FALSE(documentFromExecutable({reinterpret_cast<const std::uint8_t*>(player.data()), player.size()})
                     .error.empty())
        << "a player without a quiz is not one";
}

}  // namespace
