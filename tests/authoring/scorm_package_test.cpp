// The SCORM 1.2 package: the manifest first, then the very page of the web
// export; the same bytes for the same quiz; a manifest that xmllint reads
// (where the machine has it) with every element a platform looks for, whatever
// the quiz's name holds.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "authoring/quiz_resources.h"
#include "authoring/scorm_package.h"
#include "tests/support/zip_reader.h"

namespace {

namespace fs = std::filesystem;

WebQuiz quizNamed(const std::string& name) {
    QuizSource source;
    source.quizName = name;
    source.questions = {{"SOLEIL", "", "", "", ""}, {"LUNE", "", "", "", ""}};
    source.codes = std::vector<std::string>{"A", "AB"};
    return webQuizOf(quizResourcesOfPrepared(source, "essai.toml", {}));
}

TEST(ScormPackage, HoldsTheManifestThenTheWebPageAndIsReproducible) {
    const WebQuiz quiz = quizNamed("Le ciel");
    const ScormPackage package = scormPackage(quiz, builtInWebPageAssets(), "9.9.9");
    ASSERT_TRUE(package.ok()) << package.error;
    const ReadZip zip = readStoredZip(package.zip);
    EXPECT_EQ(zip.problem, "");
    ASSERT_EQ(zip.entries.size(), 2u);
    EXPECT_EQ(zip.entries[0].name, "imsmanifest.xml");
    EXPECT_EQ(zip.entries[0].data, scormManifest("Le ciel", "zorbel-" + webQuizKey(quiz)));
    EXPECT_EQ(zip.entries[1].name, "index.html");
    EXPECT_EQ(zip.entries[1].data, webPage(quiz, builtInWebPageAssets(), "9.9.9").html) << "the web export's page";
    EXPECT_EQ(package.zip, scormPackage(quizNamed("Le ciel"), builtInWebPageAssets(), "9.9.9").zip);
    EXPECT_NE(package.zip, scormPackage(quizNamed("La mer"), builtInWebPageAssets(), "9.9.9").zip);
}

TEST(ScormPackage, APassMarkIsTheMasteryScoreAndGoesToThePage) {
    const WebQuiz quiz = quizNamed("Le ciel");
    const ScormPackage package = scormPackage(quiz, builtInWebPageAssets(), "9.9.9", 80);
    ASSERT_TRUE(package.ok()) << package.error;
    const ReadZip zip = readStoredZip(package.zip);
    ASSERT_EQ(zip.entries.size(), 2u);
    EXPECT_NE(zip.entries[0].data.find("</title>\n        <adlcp:masteryscore>80</adlcp:masteryscore>\n      </item>"),
              std::string::npos) << zip.entries[0].data;
    EXPECT_NE(zip.entries[1].data.find("\"passMark\":80}"), std::string::npos);
    EXPECT_EQ(scormManifest("Le ciel", "x").find("masteryscore"), std::string::npos) << "none without a pass mark";
    EXPECT_NE(webPage(quiz, builtInWebPageAssets(), "1").html.find("\"passMark\":null}"), std::string::npos);
    for (const int outside : {-1, 101}) {
        EXPECT_NE(scormPackage(quiz, builtInWebPageAssets(), "1", outside).error.find("from 0 to 100"), std::string::npos);
    }
}

TEST(ScormPackage, APassMarkIsTypedAsAPercentageOrLeftBlank) {
    const std::pair<std::string_view, std::optional<int>> valid[] = {
        {"", std::nullopt}, {"   ", std::nullopt}, {"80", 80}, {" 80 % ", 80}, {"0", 0}, {"100", 100}, {"007", 7}};
    for (const auto& [typed, mark] : valid) {
        EXPECT_TRUE(typedPassMark(typed).valid) << typed;
        EXPECT_EQ(typedPassMark(typed).mark, mark) << typed;
    }
    for (const std::string_view typed : {"101", "-5", "8.5", "%", "quatre-vingts", "1000"}) EXPECT_FALSE(typedPassMark(typed).valid) << typed;
}

TEST(ScormPackage, IsRefusedWhenThePageCannotBeMade) {
    WebPageAssets assets = builtInWebPageAssets();
    assets.module = "";
    const ScormPackage package = scormPackage(quizNamed("Le ciel"), assets, "1");
    EXPECT_NE(package.error.find("without the web page's grading module"), std::string::npos) << package.error;
    EXPECT_TRUE(package.zip.empty());
}

// xmllint's answer to an XPath expression on `manifest`; its exit status in `status`.
std::string xpath(const fs::path& manifest, const std::string& expression, int& status) {
    const fs::path out = manifest.parent_path() / "xpath.txt";
    const std::string command = "xmllint --xpath \"" + expression + "\" " + manifest.string() + " >" + out.string() + " 2>&1";
    status = std::system(command.c_str());
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

TEST(ScormPackage, ManifestIsWellFormedWithWhatAPlatformLooksFor) {
    if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint (Debian: libxml2-utils)";
    const fs::path folder = fs::temp_directory_path() / ("zorbel-scorm-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path manifest = folder / "imsmanifest.xml";
    const struct {
        std::string name;
        std::string title;  // as the platform will show it
    } names[] = {
        {"Le ciel et la nature", "Le ciel et la nature"},
        {"</title><x a='1'> & \"moi\" ]]>", "</title><x a='1'> & \"moi\" ]]>"},
        {"Tab\tet\x01" "bip", "Tab et bip"},
        {"", "Quiz Zorbel"},
    };
    const struct {
        std::string expression;
        std::string expected;
    } elements[] = {
        {"string(/*[local-name()='manifest']/*[local-name()='metadata']/*[local-name()='schema'])", "ADL SCORM"},
        {"string(//*[local-name()='metadata']/*[local-name()='schemaversion'])", "1.2"},
        {"count(//*[local-name()='organizations']/*[local-name()='organization'])", "1"},
        {"count(//*[local-name()='organization']/*[local-name()='item'])", "1"},
        {"count(//*[local-name()='resources']/*[local-name()='resource'])", "1"},
        {"string(//*[local-name()='resource']/@*[local-name()='scormtype'])", "sco"},
        {"namespace-uri(//*[local-name()='resource']/@*[local-name()='scormtype'])", "http://www.adlnet.org/xsd/adlcp_rootv1p2"},
        {"string(//*[local-name()='resource']/@href)", "index.html"},
        {"string(//*[local-name()='item']/@identifierref = //*[local-name()='resource']/@identifier)", "true"},
        {"string(//*[local-name()='organizations']/@default = //*[local-name()='organization']/@identifier)", "true"},
    };
    for (const auto& n : names) {
        std::ofstream(manifest, std::ios::binary) << scormManifest(n.name, "zorbel-0123456789abcdef");
        const std::string check = "xmllint --noout " + manifest.string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(check.c_str()), 0) << n.name << ": well-formed";
        int status = 0;
        EXPECT_EQ(xpath(manifest, "string(//*[local-name()='organization']/*[local-name()='title'])", status), n.title);
        EXPECT_EQ(xpath(manifest, "string(//*[local-name()='item']/*[local-name()='title'])", status), n.title);
        for (const auto& e : elements) {
            EXPECT_EQ(xpath(manifest, e.expression, status), e.expected) << n.name << ": " << e.expression;
            EXPECT_EQ(status, 0) << e.expression;
        }
    }
    fs::remove_all(folder);
}

}  // namespace
