// The overview of every test quiz, control by control in the order they were
// made, against a record of it: however its pictures are decoded, what a
// player sees, and the order Tab and the screen reader follow, stay as they
// were. ZORBEL_RECORD_OVERVIEWS=1 writes the record anew instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/e2e/desktop_win32.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

const std::filesystem::path Record = std::filesystem::path(ZORBEL_FIXTURES) / "overview_layouts.txt";

// Each child of the overview in creation order: id, class, place, shown.
std::string overviewControls(PlayerRun& run) {
    HWND panel = run.overviewPanel();
    std::ostringstream out;
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[32] = {};
        GetClassNameA(child, kind, sizeof kind);
        const RECT r = run.placeIn(panel, child);
        out << GetDlgCtrlID(child) << ' ' << kind << ' ' << r.left << ' ' << r.top << ' ' << r.right - r.left << ' '
            << r.bottom - r.top << (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE ? "" : " hidden") << '\n';
    }
    return out.str();
}

std::string layoutOf(const std::string& exe) {
    PlayerRun run(exe);
    if (exe == "quiz_png.exe") run.answerMessageBox();  // its damaged picture
    if (!run.waitForMainWindow()) return "no main window\n";
    return overviewControls(run);
}

// The record's sections, "== quiz" then its controls, by quiz.
std::map<std::string, std::string> recordedLayouts() {
    std::ifstream in(Record, std::ios::binary);
    std::map<std::string, std::string> layouts;
    std::string line, quiz;
    while (std::getline(in, line)) {
        if (line.starts_with("== ")) {
            quiz = line.substr(3);
        } else {
            layouts[quiz] += line + '\n';
        }
    }
    return layouts;
}

TEST(OverviewRecord, EveryQuizsOverviewIsMadeAsRecorded) {
    const std::string quizzes[] = {"demo.exe", "quiz_one_answer.exe", "quiz_two_answers.exe", "quiz_seven.exe",
                                   "quiz_png.exe", "quiz_no_codes.exe", "quiz_prepared.exe", "quiz_96.exe"};
    const bool recording = std::getenv("ZORBEL_RECORD_OVERVIEWS") != nullptr;
    const std::map<std::string, std::string> recorded = recordedLayouts();
    std::string record;
    for (const std::string& quiz : quizzes) {
        // The 96-question quiz comes with the benchmarks.
        if (quiz == "quiz_96.exe" && !std::filesystem::exists(testProgramFolder() / quiz)) continue;
        const std::string layout = layoutOf(quiz);
        record += "== " + quiz + "\n" + layout;
        if (recording) continue;
        const auto found = recorded.find(quiz);
        ASSERT_NE(found, recorded.end()) << quiz << " is not in " << Record.string();
        EXPECT_EQ(layout, found->second) << quiz;
    }
    if (recording) {
        std::ofstream(Record, std::ios::binary) << record;
        GTEST_SKIP() << "recorded in " << Record.string();
    }
}

}  // namespace
