#include "content/definition_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/content_codec.h"
#include "content/quiz_loader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Header bytes: not interpreted, picture byte, question count, answers per question.
std::string header(int picture, int count, int answers) {
    return {'\x07', static_cast<char>(picture), static_cast<char>(count), static_cast<char>(answers)};
}
std::string byte(int value) { return std::string(1, static_cast<char>(value)); }

QuizRecord parsed(std::string_view definition) {
    QuizRecord record;
    initialiseRecord(record);
    parseDefinition(record, bytesOf(definition));
    return record;
}

std::vector<std::string> answers(QuizRecord& record) {
    std::vector<std::string> all;
    for (const QuestionEntry* q = record.questions.head; q != nullptr; q = q->next) all.emplace_back(q->answer.view());
    return all;
}

const std::string TwoQuestionsMode2 = header(2, 2, 1) + "Quiz|Moi|Devinez|Ville|Pays|" + "PARIS|Seine|ROME|Tibre|" +
                                      byte(2) + "Lumiere|Eternelle|" + byte(10) + byte(20) + byte(30);

TEST(ParseDefinition, OneAnswerPerQuestionWithComments) {
    QuizRecord record = parsed(TwoQuestionsMode2);
    EXPECT_EQ(record.showPictures, 1) << "picture byte 2 gives 1";
    EXPECT_EQ(record.quizName.view(), "Quiz");
    EXPECT_EQ(record.creatorName.view(), "Moi");
    EXPECT_EQ(record.explanation.view(), "Devinez");
    EXPECT_EQ(record.firstAnswerLabel.view(), "Ville");
    EXPECT_EQ(record.secondAnswerLabel.view(), "Pays");
    EXPECT_EQ(record.questionCount, 2);
    EXPECT_EQ(record.answersPerQuestion, 1);
    EXPECT_EQ(record.commentMode, 2);
    EXPECT_EQ(answers(record), (std::vector<std::string>{"PARIS", "ROME"}));
    EXPECT_EQ(questionAt(record, 0)->location.view(), "Seine");
    EXPECT_EQ(questionAt(record, 0)->secondAnswer.view(), "");
    EXPECT_EQ(questionAt(record, 1)->comment.view(), "Eternelle");
    EXPECT_EQ(backgroundColourOf(record), (Rgb{10, 20, 30})) << "stored red, green, blue";
    EXPECT_EQ(record.backgroundColour, 1971210u);
}

TEST(ParseDefinition, TwoAnswersPerQuestion) {
    QuizRecord record = parsed(header(1, 2, 2) + "Q|C|E|Ville|Pays|" + "PARIS|FRANCE|ici|ROME|ITALIE|la|" + byte(0) +
                               byte(1) + byte(2) + byte(3));
    EXPECT_EQ(record.showPictures, 0);
    EXPECT_EQ(record.answersPerQuestion, 2);
    ASSERT_EQ(record.questionCount, 2);
    EXPECT_EQ(questionAt(record, 1)->answer.view(), "ROME");
    EXPECT_EQ(questionAt(record, 1)->secondAnswer.view(), "ITALIE");
    EXPECT_EQ(questionAt(record, 1)->location.view(), "la");
    EXPECT_EQ(backgroundColourOf(record), (Rgb{1, 2, 3}));
}

TEST(ParseDefinition, AnswersPerQuestionByteOtherThanTwoMeansOne) {
    for (const int value : {0, 1, 3, 255}) {
        QuizRecord record = parsed(header(2, 1, value) + "Q|C|E|A|B|" + "X|loc|" + byte(0) + byte(4) + byte(5) + byte(6));
        EXPECT_EQ(record.answersPerQuestion, 1) << value;
        EXPECT_EQ(questionAt(record, 0)->location.view(), "loc") << value;
        EXPECT_EQ(backgroundColourOf(record), (Rgb{4, 5, 6})) << value;
    }
}

TEST(ParseDefinition, CommentModes) {
    struct Case {
        int mode;
        std::string block;
        std::string firstComment;
    };
    const Case cases[] = {
        {0, "", ""},
        {1, "", ""},
        {7, "", ""},
        {2, "un|deux|", "un"},
        {4, "un|deux|", "un"},
        {3, "un|jete|deux|jete aussi|", "un"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        QuizRecord record = parsed(header(2, 2, 1) + "Q|C|E|A|B|" + "X|l|Y|l|" + byte(c.mode) + c.block + byte(11) +
                                   byte(22) + byte(33));
        EXPECT_EQ(record.commentMode, c.mode);
        EXPECT_EQ(questionAt(record, 0)->comment.view(), c.firstComment);
        EXPECT_EQ(questionAt(record, 1)->comment.view(), c.firstComment.empty() ? "" : "deux");
        EXPECT_EQ(backgroundColourOf(record), (Rgb{11, 22, 33})) << "the colour follows the comment block";
    }
}

TEST(ParseDefinition, NoQuestionsAndEmptyFields) {
    QuizRecord record = parsed(header(2, 0, 1) + "||E|||" + byte(2) + byte(9) + byte(8) + byte(7));
    EXPECT_EQ(record.questionCount, 0);
    EXPECT_EQ(record.questions.head, nullptr);
    EXPECT_EQ(record.quizName.view(), "");
    EXPECT_EQ(record.explanation.view(), "E");
    EXPECT_EQ(record.commentMode, 2);
    EXPECT_EQ(backgroundColourOf(record), (Rgb{9, 8, 7}));
}

TEST(ParseDefinition, LongTextsAreCutAndTheRestOfTheFieldSkipped) {
    const std::string longName(400, 'N');
    QuizRecord record = parsed(header(2, 1, 1) + longName + "|C|E|A|B|" + std::string(300, 'R') + "|l|" + byte(0) +
                               byte(1) + byte(1) + byte(1));
    EXPECT_EQ(record.quizName.view(), std::string(259, 'N'));
    EXPECT_EQ(record.creatorName.view(), "C");
    EXPECT_EQ(questionAt(record, 0)->answer.view(), std::string(259, 'R'));
    EXPECT_EQ(questionAt(record, 0)->location.view(), "l");
}

TEST(ParseDefinition, MoreQuestionsThanAnswerSlotsKeepsTheFirst96AndStaysAligned) {
    for (const int perQuestion : {1, 2}) {
        SCOPED_TRACE(std::to_string(perQuestion) + " answers per question");
        std::string definition = header(2, 100, perQuestion) + "Q|C|E|A|B|";
        for (int q = 0; q < 100; ++q) {
            definition += "A" + std::to_string(q) + "|";
            if (perQuestion == 2) definition += "S" + std::to_string(q) + "|";
            definition += "L|";
        }
        definition += byte(2);
        for (int q = 0; q < 100; ++q) definition += "C" + std::to_string(q) + "|";
        definition += byte(40) + byte(50) + byte(60);

        QuizRecord record = parsed(definition);
        const int kept = 96 / perQuestion;
        EXPECT_EQ(record.questionCount, kept);
        EXPECT_EQ(record.questions.size(), kept);
        EXPECT_EQ(record.commentMode, 2);
        EXPECT_EQ(questionAt(record, kept - 1)->answer.view(), "A" + std::to_string(kept - 1));
        EXPECT_EQ(questionAt(record, kept - 1)->comment.view(), "C" + std::to_string(kept - 1))
            << "later comments must not land on the last kept question";
        EXPECT_EQ(backgroundColourOf(record), (Rgb{40, 50, 60}));
    }
}

TEST(ParseDefinition, ShortDefinitionsKeepWhatWasRead) {
    struct Case {
        std::string definition;
        int questions;
        int commentMode;
        Rgb colour;
    };
    const Rgb initial = InitialBackground;
    const Case cases[] = {
        {"", 0, 0, initial},
        {header(2, 3, 1).substr(0, 2), 0, 0, initial},
        {header(2, 3, 1) + "Q|C", 0, 0, initial},
        {header(2, 3, 1) + "Q|C|E|A|B|X|l|Y", 2, 0, initial},
        {header(2, 3, 1) + "Q|C|E|A|B|X|l|Y|l|Z|l|", 3, 0, initial},
        {header(2, 3, 1) + "Q|C|E|A|B|X|l|Y|l|Z|l|" + byte(2) + "c1|", 3, 2, initial},
        {header(2, 1, 1) + "Q|C|E|A|B|X|l|" + byte(0) + byte(1) + byte(2), 1, 0, initial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("definition of " + std::to_string(c.definition.size()) + " bytes");
        QuizRecord record = parsed(c.definition);
        EXPECT_EQ(record.questionCount, c.questions);
        EXPECT_EQ(record.questions.size(), c.questions);
        EXPECT_EQ(record.commentMode, c.commentMode);
        EXPECT_EQ(backgroundColourOf(record), c.colour);
    }
}

// Every prefix of a real definition parses without reading past its end
// (the sanitizers watch), never keeps more questions than declared.
TEST(ParseDefinition, EveryPrefixIsSafe) {
    for (std::size_t size = 0; size <= TwoQuestionsMode2.size(); ++size) {
        const std::string prefix = TwoQuestionsMode2.substr(0, size);
        std::vector<std::uint8_t> exact(prefix.begin(), prefix.end());  // no slack after the text
        QuizRecord record;
        initialiseRecord(record);
        parseDefinition(record, exact);
        EXPECT_LE(record.questionCount, 2);
        EXPECT_EQ(record.questions.size(), record.questionCount);
    }
}

TEST(ReadField, StopsAtTheSeparatorOrTheEnd) {
    const Bytes text = bytesOf("ab||c");
    std::size_t position = 0;
    EXPECT_EQ(readField(text, position).view(), "ab");
    EXPECT_EQ(position, 2u);
    position = 4;
    EXPECT_EQ(readField(text, position).view(), "c");
    EXPECT_EQ(position, 5u);
    position = 2;
    EXPECT_EQ(readField(text, position).view(), "") << "a field that starts at a separator is empty";
    position = 9;
    EXPECT_EQ(readField(text, position).view(), "");
}

TEST(ParseCodes, OneLinePerQuestion) {
    QuizRecord record;
    record.questionCount = 4;
    parseCodes(record, bytesOf("un\r\ndeux\r\n" + std::string(300, 'z') + "\r\n"));
    EXPECT_EQ(record.codes[0].view(), "un");
    EXPECT_EQ(record.codes[1].view(), "deux");
    EXPECT_EQ(record.codes[2].view(), std::string(259, 'z'));
    EXPECT_EQ(record.codes[3].view(), "") << "missing lines are empty";
}

TEST(ParseCodes, OnlyCarriageReturnEndsALine) {
    QuizRecord record;
    record.questionCount = 2;
    parseCodes(record, bytesOf("a\nb\rXc\r"));
    EXPECT_EQ(record.codes[0].view(), "a\nb");
    EXPECT_EQ(record.codes[1].view(), "c") << "the byte after the CR is skipped, whatever it is";
}

// ---------------------------------------------------------------- loading

Bytes encoded(std::string_view text) {
    const CodecOutput out = encodeContent(bytesOf(text));
    return Bytes(out.bytes().begin(), out.bytes().end());
}

TEST(LoadQuizContent, DefaultsWithoutADefinition) {
    QuizRecord record;
    initialiseRecord(record);
    const LoadOutcome outcome = loadQuizContent(record, {}, Bytes{});
    EXPECT_TRUE(outcome.messages.empty()) << "the codes are not read without a definition";
    EXPECT_EQ(record.quizName.view(), "Nom du zorbel");
    EXPECT_EQ(record.creatorName.view(), "Createur zorbel");
    EXPECT_EQ(record.explanation.view(), "Explications du zorbel");
    EXPECT_EQ(record.firstAnswerLabel.view(), "TEST");
    EXPECT_EQ(record.questionCount, 7);
    EXPECT_EQ(record.commentMode, 3);
    EXPECT_EQ(record.showPictures, 1);
    EXPECT_EQ(record.backgroundColour, 10734389u);
    EXPECT_EQ(record.versionText.view(), "R\xE9" "alis\xE9 avec la version 2.2");
    ASSERT_EQ(record.questions.size(), 2);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(questionAt(record, i), record.questions.tail) << i;
    EXPECT_EQ(questionAt(record, 0)->location.view(), "emplacement");
}

TEST(LoadQuizContent, DefinitionAndCodes) {
    QuizRecord record;
    initialiseRecord(record);
    const LoadOutcome outcome =
        loadQuizContent(record, encoded(TwoQuestionsMode2), Bytes(encoded("premier\r\nsecond\r\n")));
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(record.questionCount, 2);
    EXPECT_EQ(record.codes[1].view(), "second");
}

TEST(LoadQuizContent, UndecodableDefinition) {
    QuizRecord record;
    initialiseRecord(record);
    const LoadOutcome outcome = loadQuizContent(record, Bytes{0xFF, 0xFF, 0xFF}, Bytes(encoded("x\r\n")));
    EXPECT_EQ(outcome.messages, std::vector<LoaderMessage>{DefinitionUndecodable});
    EXPECT_EQ(DefinitionUndecodable.text, "Erreur dans le d\xE9" "cryptage des reponses");
    EXPECT_EQ(record.questionCount, 0);
    EXPECT_EQ(record.quizName.view(), "nom du zorbel") << "other fields keep their initial values";
    EXPECT_FALSE(record.versionText.empty());
}

TEST(LoadQuizContent, MissingOrDamagedCodesKeepTheQuiz) {
    for (const Bytes& codes : {Bytes{}, Bytes{0x00}}) {
        QuizRecord record;
        initialiseRecord(record);
        const LoadOutcome outcome = loadQuizContent(record, encoded(TwoQuestionsMode2), codes);
        EXPECT_EQ(outcome.messages, std::vector<LoaderMessage>{CodesUndecodable});
        EXPECT_EQ(record.questionCount, 2);
        EXPECT_EQ(record.codes[0].view(), "");
    }
}

}  // namespace
