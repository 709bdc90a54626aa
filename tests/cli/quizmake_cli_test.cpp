// quizmake run as a quiz author runs it: arguments, files, exit codes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>


#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/verdict_examples.h"
#include "tests/support/command_line.h"
#include "zorbel_version.h"
#include "authoring/cp1252.h"

namespace {

namespace fs = std::filesystem;

class QuizmakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The process's own, so that two test runs at once never share one.
        folder_ = fs::temp_directory_path() /
                  ("zorbel-quizmake-" + std::to_string(::getpid()) + "-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path file(const char* name) const { return folder_ / name; }

    Outcome quizmake(const std::vector<std::string>& arguments) const {
        return runProgram(QUIZMAKE_PATH, arguments, folder_);
    }

    fs::path folder_;
};

TEST_F(QuizmakeTest, EncodeWritesTheExactStream) {
    writeFile(file("abc.txt"), "abc");
    const Outcome run = quizmake({"encode", file("abc.txt").string(), file("abc.bin").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(file("abc.bin")), std::string("\x30\x98\x8C\x70\x00", 5));
}

TEST_F(QuizmakeTest, DecodeRestoresTheBytes) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += static_cast<char>((i * 7) % 256);
    writeFile(file("in.bin"), text);
    ASSERT_EQ(quizmake({"encode", file("in.bin").string(), file("enc.bin").string()}).exitCode, 0);
    const Outcome run = quizmake({"decode", file("enc.bin").string(), file("out.bin").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(file("out.bin")), text);
}

TEST_F(QuizmakeTest, BadInputGetsOneLineAndExitOne) {
    writeFile(file("empty"), "");
    writeFile(file("cut.bin"), std::string("\x30\x98\x8C", 3));
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"encode", file("empty").string(), file("x").string()}, "CodecInputExhausted"},
        {{"encode", file("absent").string(), file("x").string()}, "cannot read"},
        {{"decode", file("cut.bin").string(), file("x").string()}, "CodecBadStream"},
        {{"decode", file("empty").string(), file("x").string()}, "CodecInputExhausted"},
        {{"show", file("cut.bin").string()}, "Erreur dans le décryptage des reponses"},
    };
    for (const auto& c : cases) {
        const Outcome run = quizmake(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(fs::exists(file("x"))) << "nothing is written on failure";
}

TEST_F(QuizmakeTest, GradePrintsEveryDocumentedVerdict) {
    for (const VerdictExample& e : VerdictExamples) {
        const std::string expected = cp1252ToUtf8(e.expected);
        const std::string typed = cp1252ToUtf8(e.typed);
        SCOPED_TRACE(expected + " / " + typed);
        const Outcome single = quizmake({"grade", "--", expected, typed});
        EXPECT_EQ(single.exitCode, 0) << single.err;
        EXPECT_EQ(single.out, cp1252ToUtf8(e.singleVerdict) + "\n");
        const Outcome overview = quizmake({"grade", "--overview", "--", expected, typed});
        EXPECT_EQ(overview.out, cp1252ToUtf8(e.overviewVerdict) + "\n");
    }
}

TEST_F(QuizmakeTest, GradeTakesAnswersThatBeginWithADash) {
    EXPECT_EQ(quizmake({"grade", "--", "-12", "-12"}).out, "BRAVO\n");
}

TEST_F(QuizmakeTest, VersionIsTheBuildsOne) {
    const Outcome run = quizmake({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "quizmake " ZORBEL_VERSION_TEXT "\n");
}

TEST_F(QuizmakeTest, GradeRefusesBadArgumentsWithExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"grade", "PARIS"},
        {"grade", "中国", "chine"},
        {"grade", "PARIS", "\xFF"},
        {"grade", "--nope", "A", "B"},
        {},
        {"unknown"},
    };
    for (const auto& arguments : cases) {
        const Outcome run = quizmake(arguments);
        EXPECT_EQ(run.exitCode, 2) << (arguments.empty() ? "no arguments" : arguments.back());
        EXPECT_FALSE(run.err.empty());
    }
}

TEST_F(QuizmakeTest, ShowPrintsTheDefaultsForAnEmptyDefinition) {
    writeFile(file("empty"), "");
    const Outcome run = quizmake({"show", file("empty").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["quizName"], "Nom du zorbel");
    EXPECT_EQ(json["questionCount"], 7);
    EXPECT_EQ(json["commentMode"], 3);
    EXPECT_EQ(json["backgroundColour"], 10734389);
    EXPECT_EQ(json["questions"].size(), 2u);
    EXPECT_EQ(json["questions"][1]["location"], "emplacement");
}

TEST_F(QuizmakeTest, ShowDecodesADefinitionAndItsCodes) {
    const std::string definition = std::string("\x00\x02\x02\x01", 4) + "Quiz d'\xE9t\xE9|Moi|Devinez|A|B|" +
                                   "CH\xC2TEAU|Loire|ROME|Tibre|" + "\x04" + "Joli|\xC9ternelle|" + "\x0A\x14\x1E";
    writeFile(file("def.txt"), definition);
    writeFile(file("codes.txt"), "premier\r\nsecond\r\n");
    ASSERT_EQ(quizmake({"encode", file("def.txt").string(), file("def.bin").string()}).exitCode, 0);
    ASSERT_EQ(quizmake({"encode", file("codes.txt").string(), file("codes.bin").string()}).exitCode, 0);

    const Outcome run = quizmake({"show", file("def.bin").string(), file("codes.bin").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["quizName"], "Quiz d'été");
    EXPECT_EQ(json["showPictures"], 1);
    EXPECT_EQ(json["answersPerQuestion"], 1);
    EXPECT_EQ(json["commentMode"], 4);
    EXPECT_EQ(json["backgroundRed"], 10);
    EXPECT_EQ(json["backgroundGreen"], 20);
    EXPECT_EQ(json["backgroundBlue"], 30);
    EXPECT_EQ(json["backgroundColour"], 1971210);
    EXPECT_EQ(json["questions"][0]["answer"], "CHÂTEAU");
    EXPECT_EQ(json["questions"][1]["comment"], "Éternelle");
    EXPECT_EQ(json["codes"], nlohmann::json::array({"premier", "second"}));

    writeFile(file("bad-codes.bin"), "\x01");
    const Outcome badCodes = quizmake({"show", file("def.bin").string(), file("bad-codes.bin").string()});
    EXPECT_EQ(badCodes.exitCode, 1);
    EXPECT_NE(badCodes.err.find("Erreur dans le décryptage des codes"), std::string::npos) << badCodes.err;
}

std::uint32_t little32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

std::uint16_t little16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

const fs::path Suite = fs::path(ZORBEL_TEST_DATA) / "pngsuite";

TEST_F(QuizmakeTest, Png2BmpWritesThePlayersBitmap) {
    // 32 x 32 indexed, 2 bits: widened to 4 bits, a 16-entry table led by the 4 PLTE colours.
    const Outcome run = quizmake({"png2bmp", (Suite / "basn3p02.png").string(), file("p.bmp").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bmp = readFile(file("p.bmp"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const std::uint32_t offset = 14 + 40 + 16 * 4;
    EXPECT_EQ(little32(bmp, 10), offset);
    EXPECT_EQ(little32(bmp, 14), 40u);
    EXPECT_EQ(little32(bmp, 18), 32u);
    EXPECT_EQ(static_cast<std::int32_t>(little32(bmp, 22)), -32) << "rows top-down, as the player's DIB";
    EXPECT_EQ(little16(bmp, 28), 4);
    EXPECT_EQ(little32(bmp, 46), 0u) << "the whole 16-entry table";
    EXPECT_EQ(bmp.size(), offset + 16u * 32u);
    EXPECT_EQ(little32(bmp, 2), bmp.size());
    for (std::size_t entry = 4; entry < 16; ++entry) {
        EXPECT_EQ(little32(bmp, 54 + 4 * entry), 0u) << "entry " << entry << " past the PLTE";
    }

    // 16-bit grey: 8 bits over a 256-entry grey ramp.
    ASSERT_EQ(quizmake({"png2bmp", (Suite / "basn0g16.png").string(), file("g.bmp").string()}).exitCode, 0);
    const std::string grey = readFile(file("g.bmp"));
    EXPECT_EQ(little16(grey, 28), 8);
    EXPECT_EQ(little32(grey, 46), 256u);
    EXPECT_EQ(little32(grey, 54 + 4 * 1), 0x00010101u);
    EXPECT_EQ(little32(grey, 54 + 4 * 255), 0x00FFFFFFu);
}

TEST_F(QuizmakeTest, Png2BmpSaysWhatThePlayerWouldShowInstead) {
    std::string damaged = readFile(Suite / "basn0g08.png");
    damaged[damaged.find("IDAT") + 4] = '\x77';  // compression method 7
    writeFile(file("damaged.png"), damaged);
    const struct {
        fs::path in;
        const char* message;
    } cases[] = {
        {Suite / "xs1n0g01.png", "no picture: NotPng"},
        {Suite / "xc1n0g08.png", "no picture: UnsupportedFormat"},
        {file("damaged.png"), "\"Error: couldn't decode PNG resource\": BadZlibHeader"},
        {file("absent.png"), "cannot read"},
    };
    for (const auto& c : cases) {
        const Outcome run = quizmake({"png2bmp", c.in.string(), file("x.bmp").string()});
        EXPECT_EQ(run.exitCode, 1) << c.in;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(file("x.bmp"))) << "nothing is written on failure";
}

}  // namespace
