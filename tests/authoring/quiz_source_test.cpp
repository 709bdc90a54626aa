// The quiz source format: what authors write, what the tool writes back,
// and the one-line messages for what cannot go into a quiz.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "authoring/quiz_source.h"

namespace {

std::string readText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(QuizSource, TheDemoReadsAndWritesBackUnchanged) {
    const ParsedSource demo = parseQuizSource(readText(ZORBEL_SOURCE_DIR "/samples/demo/demo.toml"));
    ASSERT_TRUE(demo.ok()) << demo.error;
    EXPECT_EQ(demo.source.quizName, "Le ciel et la nature");
    EXPECT_EQ(demo.source.creatorName, "L'\xE9quipe Zorbel") << "kept in code page 1252";
    EXPECT_EQ(demo.source.questions.size(), 12u);
    EXPECT_EQ(demo.source.questions[2].comment, "Par une nuit claire, on en voit environ trois mille \xE0 l'\x9C" "il nu.");
    EXPECT_EQ(demo.source.backgroundGreen, 130);
    ASSERT_TRUE(demo.source.codes.has_value());
    EXPECT_EQ(demo.source.codes->back(), "FELICITATION");

    const std::string written = formatQuizSource(demo.source);
    const ParsedSource again = parseQuizSource(written);
    ASSERT_TRUE(again.ok()) << again.error << "\n" << written;
    EXPECT_EQ(again.source, demo.source);
    EXPECT_EQ(formatQuizSource(again.source), written);
}

TEST(QuizSource, AwkwardTextsSurviveTheRoundTrip) {
    QuizSource quiz;
    quiz.quizName = "Guillemets \" et \\ barre";
    quiz.explanation = std::string("Tab\tet \x01 contr\xF4le");
    quiz.answersPerQuestion = 2;
    quiz.showPictures = 0;
    quiz.commentMode = 3;
    quiz.questions.push_back({"A", "B", "", "", "images/\xC3\xA9t\xC3\xA9.png"});  // picture names stay UTF-8
    quiz.codes = std::vector<std::string>{};
    const ParsedSource back = parseQuizSource(formatQuizSource(quiz));
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.source, quiz);
}

TEST(QuizSource, DefaultsForAnEmptyFile) {
    const ParsedSource empty = parseQuizSource("");
    ASSERT_TRUE(empty.ok()) << empty.error;
    EXPECT_EQ(empty.source, QuizSource{});
    EXPECT_EQ(empty.source.showPictures, 1);
    EXPECT_FALSE(empty.source.codes.has_value()) << "no codes key: the quiz carries no code lines";
}

std::string manyQuestions(int count, int answers) {
    std::string text = "answers_per_question = " + std::to_string(answers) + "\n";
    for (int i = 0; i < count; ++i) text += "[[question]]\nanswer = \"A\"\n";
    return text;
}

TEST(QuizSource, MistakesGetOneLineSayingWhere) {
    const struct {
        std::string source;
        std::string message;
    } cases[] = {
        {"name = \"x\"\nnmae = \"y\"", "unknown key \"nmae\""},
        {"[[question]]\nanwser = \"x\"", "question 1: unknown key \"anwser\""},
        {"name = 3", "name: not a text in quotes"},
        {"name = \"a|b\"", "name: contains \"|\""},
        {"creator = \"\xC4\x80\"", "creator: "},
        {"explanation = \"" + std::string(260, 'x') + "\"", "explanation: 260 characters, at most 259"},
        {"comment_mode = 5", "comment_mode: a whole number from 0 to 4"},
        {"answers_per_question = 3", "answers_per_question: a whole number from 1 to 2"},
        {"pictures_in_overview = 1", "pictures_in_overview: true or false"},
        {"background = [1, 2]", "background: three whole numbers"},
        {"background = [1, 2, 300]", "background: a whole number from 0 to 255"},
        {"[[question]]\nanswer = \"A\"\n[[question]]\ncomment = \"a|b\"", "question 2: comment: contains \"|\""},
        {"[[question]]\npicture = 4", "question 1: picture: a file name in quotes"},
        {"question = 1", "question: each question is a [[question]] table"},
        {manyQuestions(256, 1), "more than 255 questions"},
        {manyQuestions(49, 2), "more than 96 answer slots"},
        {"codes = [\"a\\nb\"]", "code 1: contains a line break"},
        {"codes = \"a\"", "codes: a list of at most 96 lines"},
        {"name = \"unterminated", "line 1: "},
        {"r\xC3\xA9ponse = \"SOLEIL\"", "line 1: a character that is not ASCII"},
        {"l=0\"\xC3\xA9", "line 1: a character that is not ASCII"},  // a quote where no text begins
        {"l=0.\"\xC3\xA9", "line 1: a character that is not ASCII"},
        {"n=2['\xC3\xA0", "line 1: a character that is not ASCII"},
        {"\"\"\"\\\xC3\xA9", "line 1: a character that is not ASCII"},  // no escape, and a backslash's spaces looked for
        {"a = \"\"\"x\\  \xC2\xA0\"\"\"", "line 1: a character that is not ASCII"},
        {"n=+=\"\xCD\xA5", "line 1: "},  // past the check: the parser's own answer, patched where it had none
        {"a = \"x\" \"\xC3\xA9\"", "line 1: a character that is not ASCII"},
        {std::string("x = 1\n[\0a]", 11), "line 2: a character that is not ASCII, or a control character"},
        {"[~question]]\nanswer = \"x\"", "line 1: "},  // the parser's own check, no assumption broken
        {"name = \"x\" # \xC3\xA9\n[[question]]\nanswer = 'a' \xC3\xA9", "line 3: a character that is not ASCII"},
        {"name = \"\"\"a\n\\\"\"\"\"\"\n\xC2\xA0= 1", "line 3: a character that is not ASCII"},
    };
    for (const auto& c : cases) {
        const ParsedSource parsed = parseQuizSource(c.source);
        EXPECT_FALSE(parsed.ok()) << c.source.substr(0, 60);
        EXPECT_NE(parsed.error.find(c.message), std::string::npos) << "got: " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
    std::string codes = "codes = [";
    for (int i = 0; i < 97; ++i) codes += "\"c\", ";
    EXPECT_NE(parseQuizSource(codes + "]").error.find("codes: a list of at most 96 lines"), std::string::npos);
    EXPECT_TRUE(parseQuizSource(manyQuestions(48, 2)).ok()) << "exactly 96 slots";
    // Letters past ASCII are texts' own, in every kind of quotes, and comments'.
    const ParsedSource quoted = parseQuizSource(
        "name = \"\xC3\xA9t\xC3\xA9 \\\" \xC5\x93\" # \xC3\xA0\ncreator = 'l\xC3\xA0'\n"
        "explanation = \"\"\"un\n\"deux\" \xC3\xA9\"\"\"\nfirst_answer_label = '''\xC3\xA9\n'''");
    ASSERT_TRUE(quoted.ok()) << quoted.error;
    EXPECT_EQ(quoted.source.quizName, "\xE9t\xE9 \" \x9C");
    EXPECT_EQ(quoted.source.explanation, "un\n\"deux\" \xE9");
}

TEST(QuizSource, WarnsAboutWhatIsAllowedButProbablyNotMeant) {
    const ParsedSource parsed = parseQuizSource(
        "answers_per_question = 2\ncodes = [\"UN\"]\n"
        "[[question]]\nanswer = \"A\"\nsecond_answer = \"B\"\n"
        "[[question]]\nsecond_answer = \"C\"\n"
        "[[question]]\nanswer = \"D\"\n");
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const std::vector<std::string> expected{
        "3 questions but 1 code lines: a player who solves more sees an empty code",
        "question 2: no answer: nothing typed can be right",
        "question 3: no second answer: its second field can never be right",
    };
    EXPECT_EQ(sourceWarnings(parsed.source), expected);
    EXPECT_TRUE(sourceWarnings(parseQuizSource(readText(ZORBEL_SOURCE_DIR "/samples/demo/demo.toml")).source).empty());
}

}  // namespace

namespace {

TEST(QuizSourceErrors, AreSaidInFrenchForTheEditor) {
    const struct {
        const char* toml;
        const char* french;
    } cases[] = {
        {"nom = \"x\"\n", "cl\xC3\xA9 inconnue \"nom\""},
        {"[[question]]\nanswer = 3\n", "question 1 : answer : pas un texte entre guillemets"},
        {"answers_per_question = 3\n", "answers_per_question : un nombre entier de 1 \xC3\xA0 2"},
        {"name = \"a|b\"\n", "name : contient \xC2\xAB | \xC2\xBB"},
        {"name = \"\xE2\x9C\x93\"\n", "name : caract\xC3\xA8re \xE2\x9C\x93 (U+2713) ne peut pas figurer dans un quiz"},
        {"name = \n", "ligne 1 : la source n'est pas du TOML valide ("},
    };
    for (const auto& c : cases) {
        const ParsedSource parsed = parseQuizSource(c.toml);
        ASSERT_FALSE(parsed.ok()) << c.toml;
        EXPECT_EQ(frenchSourceError(parsed.error).find(c.french), 0u) << frenchSourceError(parsed.error);
    }
}

}  // namespace

#include <filesystem>

#include "authoring/quiz_resources.h"

namespace {

// Where a source's pictures are looked for: one rule for quizmake and both editors.
TEST(QuizSource, PicturesAreLookedForAsWrittenThenBesideTheSource) {
    const struct {
        std::string written;
        std::vector<std::string> candidates;
    } cases[] = {
        {"soleil.jpg", {"soleil.jpg"}},
        {"images/soleil.jpg", {"images/soleil.jpg", "soleil.jpg"}},
        {"images\\soleil.jpg", {"images/soleil.jpg", "soleil.jpg"}},
        {"./images/soleil.jpg", {"images/soleil.jpg", "soleil.jpg"}},
        {"C:\\Users\\prof\\Photos\\soleil.jpg", {"C:/Users/prof/Photos/soleil.jpg", "soleil.jpg"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(pictureCandidates(c.written), c.candidates) << c.written;

    // A source written on Windows builds here: its backslashes, and a picture moved beside it.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zorbel_source_pictures";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "images");
    const std::filesystem::path png = ZORBEL_SOURCE_DIR "/tests/data/pngsuite/basn2c08.png";
    std::filesystem::copy_file(png, folder / "images" / "a.png");
    std::filesystem::copy_file(png, folder / "b.png");
    const QuizResources built = quizResources(
        "[[question]]\nanswer = \"A\"\npicture = 'images\\a.png'\n[[question]]\nanswer = \"B\"\n"
        "picture = 'D:\\ailleurs\\b.png'\n",
        "windows.toml", folder);
    EXPECT_TRUE(built.ok()) << built.error;
    std::filesystem::remove_all(folder);
}

}  // namespace
