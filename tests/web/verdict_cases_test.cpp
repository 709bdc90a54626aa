// The table of verdicts that the module under node and the page in browsers
// are held to, held first to the native core: a typed text (UTF-8, as the
// page receives it) converted as the page converts it, then graded.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "authoring/cp1252.h"
#include "grading/verdict.h"
#include "web/typed_text.h"

namespace {

TEST(VerdictCases, TheNativeCoreGivesEveryRecordedVerdict) {
    std::ifstream table(ZORBEL_TEST_DATA "/verdict_cases.tsv");
    ASSERT_TRUE(table) << "tests/data/verdict_cases.tsv is missing";
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t a = line.find('\t');
        const std::size_t b = line.find('\t', a + 1);
        const std::size_t c = line.find('\t', b + 1);
        ASSERT_NE(c, std::string::npos) << line;
        const std::string expected = line.substr(0, a);
        const std::string typed = line.substr(a + 1, b - a - 1);
        const std::string view = line.substr(b + 1, c - b - 1);
        const std::string verdict = line.substr(c + 1);
        const Verdict given = gradeAnswer(utf8ToCp1252Replacing(expected, '?'), typedTextBytes(typed), view == "overview");
        EXPECT_EQ(cp1252ToUtf8(verdictText(given)), verdict) << expected << " / " << typed << " / " << view;
        ++rows;
    }
    EXPECT_GE(rows, 500);
}

}  // namespace
