// Plays the demo quiz as a player does and saves what the window looks like
// after a right answer, a near miss and a wrong one, for people to look at.
// Usage: demo_screenshots FOLDER   (writes solved, near_miss, wrong, overview_top
// and overview_scrolled .bmp)

#include <cstdio>
#include <string>

#include "resources/contract_ids.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

using controlid::VerdictLabel;
using controlid::NextButton;

struct Shot {
    const char* typed;
    const char* file;
};

bool saveShot(PlayerRun& run, const std::filesystem::path& path) {
    if (saveScreenshot(run.mainWindow(), path)) {
        std::printf("%s\n", path.string().c_str());
        return true;
    }
    std::fprintf(stderr, "could not save %s\n", path.string().c_str());
    return false;
}

bool verdictSettles(PlayerRun& run) {
    return eventually([&] { return run.panelText(VerdictLabel) != "?"; });
}

// Zorbel Atelier on the demo quiz: the first question, an attempt in the try field.
bool editorScreenshot(const std::filesystem::path& path) {
    AtelierRun editor;
    editor.copyIn("demo.exe");
    if (!editor.start(L"demo.exe")) {
        std::fprintf(stderr, "the editor never showed its window\n");
        return false;
    }
    editor.clickQuestion(0);
    editor.typeInto(atelierid::TryField, L"soleill");
    Sleep(300);
    if (!saveScreenshot(editor.window(), path)) {
        std::fprintf(stderr, "could not save %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s\n", path.string().c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_screenshots FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    PlayerRun run("demo.exe");
    if (!run.waitForMainWindow()) {
        std::fprintf(stderr, "the demo quiz never showed its window\n");
        return 1;
    }
    // Questions 1, 2 and 3 of the demo: sun, moon, star.
    const Shot shots[] = {{"soleil", "solved.bmp"}, {"lunne", "near_miss.bmp"}, {"nuage", "wrong.bmp"}};
    bool first = true;
    for (const Shot& shot : shots) {
        if (!first) run.click(run.control(run.singlePanel(), NextButton));
        first = false;
        run.answer(shot.typed);
        if (!verdictSettles(run)) {
            std::fprintf(stderr, "no verdict for \"%s\"\n", shot.typed);
            return 1;
        }
        Sleep(300);  // let the colours paint
        const auto path = folder / shot.file;
        if (!saveScreenshot(run.mainWindow(), path)) {
            std::fprintf(stderr, "could not save %s\n", path.string().c_str());
            return 1;
        }
        std::printf("%s: \"%s\" -> %s\n", path.string().c_str(), shot.typed, run.panelText(VerdictLabel).c_str());
    }

    // The overview: the first row with the solved question's comment, then
    // scrolled down by the wheel over the panel.
    run.pressKey(VK_F3);
    HWND overview = run.overviewPanel();
    if (!eventually([&] { return IsWindowVisible(overview) != FALSE; })) {
        std::fprintf(stderr, "F3 did not show the overview\n");
        return 1;
    }
    Sleep(300);
    if (!saveShot(run, folder / "overview_top.bmp")) return 1;
    run.click(run.control(overview, controlid::OverviewFieldBase + 5));
    run.type("arbre");
    run.pressKey(VK_RETURN);
    for (int notch = 0; notch < 6; ++notch) run.wheel(overview, -WHEEL_DELTA);
    Sleep(300);
    if (!saveShot(run, folder / "overview_scrolled.bmp")) return 1;
    run.close();
    return editorScreenshot(folder / "atelier.bmp") ? 0 : 1;
}
