#include "session/progress_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_access.h"
#include "shell/progress_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::vector<std::string> lines(std::string_view file, int count) {
    std::vector<std::string> out;
    for (const Text& line : parseProgressLines(bytesOf(file), count)) out.emplace_back(line.view());
    return out;
}

TEST(ProgressFileName, ReplacesTheLastThreeCharactersOfTheExecutableName) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"C:\\Jeux\\Quiz\\zorbel.exe", "zorbel.txt"},
        {"C:\\Jeux\\QUIZ.EXE", "QUIZ.txt"},
        {"D:\\a\\b\\quiz.Exe", "quiz.txt"},
        {"quiz.com", "quiz.txt"},
        {"C:\\x\\ab", "ab.txt"},
        {"C:\\x\\abc", "txt"},
        {"C:\\x\\", ".txt"},
        {"/home/joueur/quiz.exe", "quiz.txt"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(progressFileName(path), name) << path;
}

TEST(ParseProgressLines, CrEndsTheTextAndLfEndsTheLine) {
    struct Case {
        const char* name;
        std::string file;
        int count;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"plain lines", "un\r\ndeux\r\ntrois\r\n", 3, {"un", "deux", "trois"}},
        {"empty middle line", "un\r\n\r\ntrois\r\n", 3, {"un", "", "trois"}},
        {"missing lines are empty", "un\r\n", 3, {"un", "", ""}},
        {"extra lines are ignored", "un\r\ndeux\r\n", 1, {"un"}},
        {"LF alone does not end a line", "un\ndeux\ntrois", 2, {"un\ndeux\ntrois", ""}},
        {"bytes between CR and LF are dropped", "un\rxyz\ndeux\r\n", 2, {"un", "deux"}},
        {"zero bytes are dropped", std::string("a\0b\r\n", 5), 1, {"ab"}},
        {"no final CR LF", "un\r\ndeux", 2, {"un", "deux"}},
        {"CR without LF swallows the rest", "un\rdeux\r\ntrois\r\n", 2, {"un", "trois"}},
        {"empty file", "", 2, {"", ""}},
        {"no lines wanted", "un\r\n", 0, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(lines(c.file, c.count), c.expected) << c.name;
}

TEST(ParseProgressLines, LongLinesKeepTheirFirst259Bytes) {
    const std::string longLine(400, 'x');
    const auto read = lines(longLine + "\r\nsuite\r\n", 2);
    EXPECT_EQ(read[0], std::string(259, 'x'));
    EXPECT_EQ(read[1], "suite");
}

TEST(FormatProgressLines, CrLfAfterEverySlot) {
    const std::vector<Text> answers = {Text("un"), Text(""), Text("trois")};
    EXPECT_EQ(formatProgressLines(answers), "un\r\n\r\ntrois\r\n");
    EXPECT_EQ(formatProgressLines({}), "");
}

TEST(ProgressFormat, WrittenFilesReadBackTheSame) {
    std::vector<Text> answers;
    for (int i = 0; i < 96; ++i) answers.emplace_back(std::string(static_cast<std::size_t>(i * 3 % 260), static_cast<char>('a' + i % 26)));
    const std::string file = formatProgressLines(answers);
    const std::vector<Text> back = parseProgressLines(bytesOf(file), 96);
    EXPECT_EQ(back, answers);
    EXPECT_EQ(formatProgressLines(back), file) << "rewriting what was read gives the same bytes";
}

class ProgressFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zorbel-progress-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(ProgressFileTest, MissingFileReadsAsEmptyLines) {
    const auto read = readProgressFile(path("absent.txt"), 3);
    ASSERT_EQ(read.size(), 3u);
    for (const Text& line : read) EXPECT_TRUE(line.empty());
}

TEST_F(ProgressFileTest, ReplaceWritesTheExactBytesAndLeavesNoTemporaryFile) {
    const std::string file = path("quiz.txt");
    ASSERT_TRUE(writeProgressFile(file, {Text("premier"), Text("")}));
    ASSERT_TRUE(writeProgressFile(file, {Text("un"), Text("deux")}));
    EXPECT_EQ(readWholeFile(file), bytesOf("un\r\ndeux\r\n"));
    EXPECT_EQ(readWholeFile(path("absent.txt")), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST_F(ProgressFileTest, FailedSaveKeepsThePreviousFile) {
    const std::string file = path("quiz.txt");
    ASSERT_TRUE(writeProgressFile(file, {Text("garde-moi")}));
    // The temporary file's place is taken by a folder, so the save cannot be made.
    std::filesystem::create_directory(file + ".tmp");
    EXPECT_FALSE(writeProgressFile(file, {Text("perdu")}));
    EXPECT_EQ(readWholeFile(file), bytesOf("garde-moi\r\n"));
}

}  // namespace
