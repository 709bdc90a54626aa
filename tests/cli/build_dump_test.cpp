// quizmake build and dump as a quiz author runs them, on a small player
// image made here: the quiz goes in, comes back out, and bad files get one line.

#include <gtest/gtest.h>
#include <unistd.h>


#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "picture_preparation/picture_preparation.h"
#include "authoring/quiz_source.h"
#include "tests/support/bare_player.h"
#include "tests/support/command_line.h"
#include "tests/support/zip_reader.h"

namespace {

namespace fs = std::filesystem;

// Pictures already in their stored form: quizmake keeps their bytes.
const std::string Jpeg = readFile(ZORBEL_SOURCE_DIR "/samples/demo/pictures/soleil.jpg");
const std::string Png = readFile(ZORBEL_TEST_DATA "/pngsuite/basn2c08.png");

class BuildDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The process's own, so that two test runs at once never share one.
        folder_ = fs::temp_directory_path() /
                  ("zorbel-build-" + std::to_string(::getpid()) + "-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        writeFile(file("player.exe"), barePlayerImage());
        writeFile(file("un.jpg"), Jpeg);
        writeFile(file("deux.png"), Png);
        writeFile(file("quiz.toml"),
                  "name = \"Essai\"\ncreator = \"Moi\"\ncodes = [\"A\", \"B\"]\n\n"
                  "[[question]]\nanswer = \"UN\"\npicture = \"un.jpg\"\n\n"
                  "[[question]]\nanswer = \"DEUX\"\npicture = \"deux.png\"\n");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string file(const char* name) const { return (folder_ / name).string(); }

    Outcome quizmake(const std::vector<std::string>& arguments) const {
        return runProgram(QUIZMAKE_PATH, arguments, folder_);
    }

    fs::path folder_;
};

// The page carries the resources as the quiz stores them: the source and the
// executable built from it give the same page.
TEST_F(BuildDumpTest, WebPageOfASourceAndOfItsExecutableAreTheSame) {
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("quiz.exe"), "--player", file("player.exe")}).exitCode, 0);
    const Outcome fromExecutable = quizmake({"web", file("quiz.exe"), "-o", file("a.html")});
    ASSERT_EQ(fromExecutable.exitCode, 0) << fromExecutable.err;
    ASSERT_EQ(quizmake({"web", file("quiz.toml"), "-o", file("b.html")}).exitCode, 0);
    const std::string page = readFile(file("a.html"));
    EXPECT_EQ(page, readFile(file("b.html")));
    EXPECT_NE(page.find("<title>Essai</title>"), std::string::npos);
    EXPECT_NE(page.find("\"type\":\"jpeg\",\"data\":\"/9j/"), std::string::npos);
    EXPECT_NE(page.find("\"type\":\"png\",\"data\":\"iVBORw0KGgo"), std::string::npos);
}

// The package for a learning platform: the manifest, then the same page.
TEST_F(BuildDumpTest, ScormPackageHoldsTheManifestAndTheWebPage) {
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("quiz.exe"), "--player", file("player.exe")}).exitCode, 0);
    const Outcome packed = quizmake({"web", "--scorm", file("quiz.exe"), "-o", file("a.zip")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(packed.out + packed.err, "");
    ASSERT_EQ(quizmake({"web", file("quiz.toml"), "--scorm", "-o", file("b.zip")}).exitCode, 0);
    ASSERT_EQ(quizmake({"web", file("quiz.toml"), "-o", file("page.html")}).exitCode, 0);
    const std::string zip = readFile(file("a.zip"));
    EXPECT_EQ(zip, readFile(file("b.zip"))) << "a source and its executable, the same package";
    const ReadZip read = readStoredZip({reinterpret_cast<const std::uint8_t*>(zip.data()), zip.size()});
    EXPECT_EQ(read.problem, "");
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].name, "imsmanifest.xml");
    EXPECT_NE(read.entries[0].data.find("<title>Essai</title>"), std::string::npos) << read.entries[0].data;
    EXPECT_EQ(read.entries[1].name, "index.html");
    EXPECT_EQ(read.entries[1].data, readFile(file("page.html")));

    ASSERT_EQ(quizmake({"web", "--scorm", "--pass", "80", file("quiz.toml"), "-o", file("pass.zip")}).exitCode, 0);
    const std::string passZip = readFile(file("pass.zip"));
    const ReadZip withPass = readStoredZip({reinterpret_cast<const std::uint8_t*>(passZip.data()), passZip.size()});
    ASSERT_EQ(withPass.entries.size(), 2u);
    EXPECT_NE(withPass.entries[0].data.find("<adlcp:masteryscore>80</adlcp:masteryscore>"), std::string::npos);
    const Outcome refused = quizmake({"web", "--scorm", "--pass", "101", file("quiz.toml"), "-o", file("out.zip")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--pass: Value 101 not in range 0 to 100"), std::string::npos) << refused.err;
    EXPECT_NE(quizmake({"web", "--pass", "80", file("quiz.toml"), "-o", file("out.html")}).err.find("--pass requires --scorm"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(file("out.zip")));
}

// A teacher gives a folder that does not exist yet: it is made, and the
// source lands there beside the pictures it names.
TEST_F(BuildDumpTest, BuiltQuizDumpsBackWithItsPictures) {
    const Outcome built = quizmake({"build", file("quiz.toml"), "-o", file("quiz.exe"), "--player", file("player.exe")});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const fs::path out = folder_ / "new" / "nested";
    const Outcome dumped = quizmake({"dump", file("quiz.exe"), "-o", out.string()});
    ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
    EXPECT_EQ(dumped.out, "quiz source written to " + (out / "quiz.toml").string() + "\n");
    const std::string written = readFile(out / "quiz.toml");
    const ParsedSource source = parseQuizSource(written);
    ASSERT_TRUE(source.ok()) << source.error << "\n" << written;
    EXPECT_EQ(source.source.quizName, "Essai");
    EXPECT_EQ(source.source.creatorName, "Moi");
    ASSERT_EQ(source.source.questions.size(), 2u);
    EXPECT_EQ(source.source.questions[1].answer, "DEUX");
    EXPECT_EQ(source.source.questions[0].picture, "401.jpg") << "named as the file written beside it";
    EXPECT_EQ(source.source.questions[1].picture, "402.png");
    EXPECT_EQ(source.source.codes, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(readFile(out / "401.jpg"), Jpeg);
    EXPECT_EQ(readFile(out / "402.png"), Png);
    EXPECT_FALSE(fs::exists(out / "401.png"));

    const Outcome printed = quizmake({"dump", file("quiz.exe")});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.out, written) << "without a folder the source is printed";

    const Outcome underAFile = quizmake({"dump", file("quiz.exe"), "-o", (folder_ / "un.jpg" / "sub").string()});
    EXPECT_EQ(underAFile.exitCode, 1);
    EXPECT_EQ(underAFile.err, "quizmake: " + (folder_ / "un.jpg" / "sub").string() + ": cannot create the folder\n");
    EXPECT_EQ(readFile(file("un.jpg")), Jpeg);

    const std::string image = readFile(file("quiz.exe"));
    const PeResourcesResult read = readPeResources({reinterpret_cast<const std::uint8_t*>(image.data()), image.size()});
    ASSERT_EQ(read.error, PeError::Ok);
    EXPECT_NE(findResource(read.resources, ResourceKey::fromId(16), ResourceKey::fromId(1)), nullptr)
        << "the player's own resources stay";
    const Resource* png = findResource(read.resources, ResourceKey::fromId(10), ResourceKey::fromId(402));
    ASSERT_NE(png, nullptr) << "a PNG picture is raw data";
    EXPECT_EQ(png->language, 0x0409);
}

TEST_F(BuildDumpTest, TheDumpedSourceBuildsTheSameExecutable) {
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("a.exe"), "--player", file("player.exe")}).exitCode, 0);
    const Outcome dumped = quizmake({"dump", file("a.exe"), "-o", file("again")});
    ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
    const Outcome rebuilt =
        quizmake({"build", (folder_ / "again" / "a.toml").string(), "-o", file("b.exe"), "--player", file("player.exe")});
    ASSERT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
    EXPECT_EQ(readFile(file("b.exe")), readFile(file("a.exe")));
}

TEST_F(BuildDumpTest, CheckPrintsTheVerdictsOfABuiltQuiz) {
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("quiz.exe"), "--player", file("player.exe")}).exitCode, 0);
    const Outcome checked = quizmake({"check", file("quiz.exe")});
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_NE(checked.out.find("question 2: DEUX"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("\"deux\""), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("warning: 3 characters or fewer"), std::string::npos) << "UN is short";
    const Outcome notQuiz = quizmake({"check", file("player.exe")});
    EXPECT_EQ(notQuiz.exitCode, 1);
    EXPECT_NE(notQuiz.err.find("not a quiz executable"), std::string::npos) << notQuiz.err;
}

TEST_F(BuildDumpTest, BuildingTwiceGivesTheSameBytes) {
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("a.exe"), "--player", file("player.exe")}).exitCode, 0);
    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("b.exe"), "--player", file("player.exe")}).exitCode, 0);
    EXPECT_EQ(readFile(file("a.exe")), readFile(file("b.exe")));
    EXPECT_NE(readFile(file("a.exe")), readFile(file("player.exe")));
}

TEST_F(BuildDumpTest, PackWritesTheResourcesThatBuildWritesAndAScriptListingThem) {
    const Outcome packed = quizmake({"pack", file("quiz.toml"), file("packed")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    const fs::path out = folder_ / "packed";
    const auto entry = [&](const std::string& idAndType, const char* name) {
        return idAndType + " \"" + (out / name).generic_string() + "\"\n";
    };
    EXPECT_EQ(readFile(out / "quiz.rc"), "// Written by quizmake pack from " + file("quiz.toml") + "\n" +
                                             entry("104 PATCH", "definition.bin") + entry("105 PATCH", "codes.bin") +
                                             entry("401 IMG", "401.jpg") + entry("402 RCDATA", "402.png"));

    ASSERT_EQ(quizmake({"build", file("quiz.toml"), "-o", file("quiz.exe"), "--player", file("player.exe")}).exitCode, 0);
    const std::string image = readFile(file("quiz.exe"));
    const PeResourcesResult built = readPeResources({reinterpret_cast<const std::uint8_t*>(image.data()), image.size()});
    ASSERT_EQ(built.error, PeError::Ok);
    const struct {
        ResourceKey type;
        std::uint16_t id;
        const char* file;
    } resources[] = {
        {ResourceKey::fromName("PATCH"), 104, "definition.bin"},
        {ResourceKey::fromName("PATCH"), 105, "codes.bin"},
        {ResourceKey::fromName("IMG"), 401, "401.jpg"},
        {ResourceKey::fromId(10), 402, "402.png"},
    };
    for (const auto& r : resources) {
        const Resource* inBuild = findResource(built.resources, r.type, ResourceKey::fromId(r.id));
        ASSERT_NE(inBuild, nullptr) << r.file;
        EXPECT_EQ(readFile(out / r.file), std::string(inBuild->data.begin(), inBuild->data.end())) << r.file;
    }

    writeFile(file("bad.toml"), "[[question]]\nanswer = \"A\"\npicture = \"absent.jpg\"\n");
    const Outcome failed = quizmake({"pack", file("bad.toml"), file("not-packed")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("question 1: cannot read the picture"), std::string::npos) << failed.err;
    EXPECT_FALSE(fs::exists(folder_ / "not-packed")) << "nothing is written when packing fails";
}

TEST_F(BuildDumpTest, OtherPicturesArePreparedTheRightWayUp) {
    fs::copy_file(ZORBEL_TEST_DATA "/pictures/sideways.jpg", file("sideways.jpg"));
    fs::copy_file(ZORBEL_TEST_DATA "/pictures/picture.gif", file("picture.gif"));
    writeFile(file("other.toml"), "codes = [\"A\", \"B\"]\n[[question]]\nanswer = \"A\"\npicture = \"sideways.jpg\"\n"
                                  "[[question]]\nanswer = \"B\"\npicture = \"picture.gif\"\n");
    const Outcome built = quizmake({"build", file("other.toml"), "-o", file("other.exe"), "--player", file("player.exe")});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.err, "") << "quick builds show no progress line";
    ASSERT_EQ(quizmake({"dump", file("other.exe"), "-o", file("out")}).exitCode, 0);
    const std::string jpeg = readFile(folder_ / "out" / "401.jpg");
    const PreparedPicture again = preparePicture({reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()},
                                                 "401.jpg", Rgb{});
    EXPECT_EQ(std::string(again.bytes.begin(), again.bytes.end()), jpeg) << "stored upright, kept as it is";
    EXPECT_TRUE(fs::exists(folder_ / "out" / "402.png")) << "a GIF becomes a PNG";
}

TEST_F(BuildDumpTest, BadFilesGetOneLineAndExitOne) {
    writeFile(file("text.exe"), std::string(300, 'x'));
    writeFile(file("cut.exe"), barePlayerImage().substr(0, 0x180));
    writeFile(file("bad.png"), "not a picture");
    writeFile(file("bad.toml"), "name = \"X\"\n[[question]]\nanswer = \"A\"\npicture = \"bad.png\"\n");
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"dump", file("text.exe")}, "no MZ signature"},
        {{"dump", file("cut.exe")}, "cut short"},
        {{"dump", file("player.exe")}, "not a quiz executable"},
        {{"dump", file("absent.exe")}, "cannot read"},
        {{"build", file("quiz.toml"), "-o", file("out.exe"), "--player", file("text.exe")}, "no MZ signature"},
        {{"build", file("quiz.toml"), "-o", file("out.exe"), "--player", file("absent.exe")}, "cannot read the player"},
        {{"build", file("bad.toml"), "-o", file("out.exe"), "--player", file("player.exe")},
         "bad.png: question 1: not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture"},
        {{"web", file("player.exe"), "-o", file("out.html")}, "not a quiz executable"},
        {{"web", file("bad.toml"), "-o", file("out.html")}, "bad.png: question 1: not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture"},
        {{"web", file("absent.exe"), "-o", file("out.html")}, "cannot read"},
        {{"web", "--scorm", file("bad.toml"), "-o", file("out.zip")}, "bad.png: question 1: not a JPEG"},
        {{"web", "--scorm", file("player.exe"), "-o", file("out.zip")}, "not a quiz executable"},
        {{"web", "--scorm", file("quiz.toml"), "-o", file("missing/out.zip")}, "missing/out.zip: cannot write the file"},
    };
    for (const auto& c : cases) {
        const Outcome run = quizmake(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(fs::exists(file("out.exe"))) << "nothing is written when the build fails";
    EXPECT_FALSE(fs::exists(file("out.html"))) << "nor when the page cannot be made";
    EXPECT_FALSE(fs::exists(file("out.zip"))) << "nor the package";
}

}  // namespace
