// Times the player under the conditions a person meets, under Wine:
// - the demo quiz from its start to an idle window with the first picture;
// - the "next" arrow showing the next question (picture decoded and scaled,
//   answer restored and graded);
// - a 96-question quiz from its start to an idle window, beside the bare
//   picture work that start-up cannot avoid, taken in turn in the same run:
//   its 96 pictures decoded and scaled for the overview, and the first one for
//   the single-question view, on one thread; the start also with its picture
//   workers capped at one, and of other builds of the quiz given as arguments;
// - Zorbel Atelier opening the 96-question quiz, from its start to an idle
//   window with the 96 questions listed and the visible thumbnails drawn,
//   beside the editor starting with no file, and a question's deletion
//   undone and redone in it, from the key to the list shown again;
// - the player's peak working set (psapi) with the demo and with the
//   96-question quiz, once idle after start-up and once every question has
//   been shown.
// `player_timing --atelier [--runs N] [OTHER_ATELIER.exe...]` times only the
// editor's two starts, this build's and each other build's in turn (15 runs
// unless told).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "pictures/picture_loader_win32.h"
#include "resources/contract_ids.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

using Clock = std::chrono::steady_clock;
using controlid::NextButton;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-44s %3zu runs: min %7.1f ms, median %7.1f ms, max %7.1f ms\n", what, samples.size(),
                samples.front(), median(samples), samples.back());
}

std::vector<double> timeStartUps(const char* exe, int runs) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        PlayerRun run(exe);
        if (!run.waitForMainWindow()) {
            std::fprintf(stderr, "%s never showed its window\n", exe);
            return {};
        }
        samples.push_back(milliseconds(Clock::now() - start));
        run.close();
    }
    return samples;
}

std::vector<double> timeNextQuestion(const char* exe, int steps) {
    PlayerRun run(exe);
    if (!run.waitForMainWindow()) return {};
    HWND panel = run.singlePanel();
    HWND next = run.control(panel, NextButton);
    std::vector<double> samples;
    for (int i = 0; i < steps; ++i) {
        const auto start = Clock::now();
        // Sent, not posted: it returns once the player has shown the question.
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(NextButton, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        samples.push_back(milliseconds(Clock::now() - start));
    }
    run.close();
    return samples;
}

// Decodes and scales every IMG resource 401 ... 400 + count of `exe`.
bool decodeAndScale(HMODULE module, int count) {
    for (int i = 0; i < count; ++i) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(FirstPictureResourceId + i), JpegResourceType);
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        if (loaded == nullptr) return false;
        HBITMAP picture = scaleToFrame(loadOlePicture(LockResource(loaded), SizeofResource(module, found)), 210, 210);
        if (picture == nullptr) return false;
        DeleteObject(picture);
    }
    // The single-question view's first picture, in its 640 x 480 frame.
    HRSRC first = FindResourceA(module, MAKEINTRESOURCEA(FirstPictureResourceId), JpegResourceType);
    HGLOBAL data = LoadResource(module, first);
    HBITMAP shown = scaleToFrame(loadOlePicture(LockResource(data), SizeofResource(module, first)), 640, 480);
    if (shown == nullptr) return false;
    DeleteObject(shown);
    return true;
}

std::vector<double> timePictureWork(const char* exe, int count, int runs) {
    const std::string path = (testProgramFolder() / exe).string();
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return {};
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!decodeAndScale(module, count)) {
            std::fprintf(stderr, "the pictures of %s could not be decoded\n", exe);
            samples.clear();
            break;
        }
        samples.push_back(milliseconds(Clock::now() - start));
    }
    FreeLibrary(module);
    return samples;
}

// The 96-question quiz's start beside the bare picture work, taken in turn in
// one run so that both meet the same load: with its picture workers, with one
// (ZORBEL_PICTURE_THREADS=1), and each other build of the quiz given on the
// command line (an earlier player, to compare).
struct StartUpComparison {
    std::vector<double> workers;
    std::vector<double> oneWorker;
    std::vector<double> pictures;
    std::vector<std::vector<double>> others;
};

std::vector<double> oneStartUp(const char* exe) { return timeStartUps(exe, 1); }

StartUpComparison compareStartUps(const char* exe, int count, int runs, const std::vector<const char*>& others) {
    StartUpComparison taken;
    taken.others.resize(others.size());
    for (int i = 0; i < runs; ++i) {
        const auto add = [](std::vector<double>& to, const std::vector<double>& sample) {
            to.insert(to.end(), sample.begin(), sample.end());
        };
        add(taken.workers, oneStartUp(exe));
        SetEnvironmentVariableA("ZORBEL_PICTURE_THREADS", "1");
        add(taken.oneWorker, oneStartUp(exe));
        SetEnvironmentVariableA("ZORBEL_PICTURE_THREADS", nullptr);
        add(taken.pictures, timePictureWork(exe, count, 1));
        for (std::size_t k = 0; k < others.size(); ++k) add(taken.others[k], oneStartUp(others[k]));
    }
    return taken;
}

struct PeakWorkingSet {
    double afterStartUp = 0;  // MB (10^6 bytes)
    double afterEveryQuestion = 0;
};

// The player started, then moved through `questions` questions with the
// "next" arrow.
std::optional<PeakWorkingSet> peakWorkingSet(const char* exe, int questions) {
    PlayerRun run(exe);
    if (!run.waitForMainWindow()) return std::nullopt;
    const std::optional<std::size_t> started = run.peakWorkingSet();
    HWND panel = run.singlePanel();
    HWND next = run.control(panel, NextButton);
    for (int i = 0; i < questions; ++i) {
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(NextButton, BN_CLICKED), reinterpret_cast<LPARAM>(next));
    }
    const std::optional<std::size_t> toured = run.peakWorkingSet();
    run.close();
    if (!started || !toured) {
        std::fprintf(stderr, "no working set for %s\n", exe);
        return std::nullopt;
    }
    return PeakWorkingSet{static_cast<double>(*started) / 1e6, static_cast<double>(*toured) / 1e6};
}

void reportPeak(const char* exe, const PeakWorkingSet& peak) {
    std::printf("peak working set (%s): %.1f MB idle after start-up, %.1f MB after every question shown\n", exe,
                peak.afterStartUp, peak.afterEveryQuestion);
}

// Polls every millisecond until `condition` holds: how long it took, or
// the largest duration after 10 seconds.
Clock::duration timeUntil(const std::function<bool()>& condition) {
    const auto start = Clock::now();
    while (!condition()) {
        if (Clock::now() - start > std::chrono::seconds(10)) return Clock::duration::max();
        Sleep(1);
    }
    return Clock::now() - start;
}

// `file` empty: the editor with a new document; `atelier` the build that runs.
std::vector<double> timeEditorOpening(const char* file, int questions, int runs,
                                      const std::filesystem::path& atelier = "atelier.exe") {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        AtelierRun run;
        std::wstring argument;
        if (*file != '\0') argument = run.copyIn(file).filename().wstring();
        const auto start = Clock::now();
        // Listed, and the thumbnails of the rows shown drawn (they are made by a thread of their own).
        const auto shown = [&] {
            return run.questionCount() == questions &&
                   (questions == 0 || run.thumbnailShown(run.lastVisibleQuestion()));
        };
        if (!run.start(argument, atelier) || timeUntil(shown) == Clock::duration::max()) {
            std::fprintf(stderr, "the editor did not show %d questions\n", questions);
            return {};
        }
        samples.push_back(milliseconds(Clock::now() - start));
    }
    return samples;
}

// Ctrl+`key` pressed, then polled until `condition` holds: the step measured
// is shorter than the pauses of `press` and `eventually`.
Clock::duration timeKeyUntil(WORD key, const std::function<bool()>& condition) {
    const auto start = Clock::now();
    sendKey(VK_CONTROL, false);
    sendKey(key, false);
    sendKey(key, true);
    sendKey(VK_CONTROL, true);
    const Clock::duration taken = timeUntil(condition);
    return taken == Clock::duration::max() ? taken : Clock::now() - start;
}

// A question of the 96 deleted, then Ctrl+Z: from the key to the document
// shown again as saved, and Ctrl+Y: to the deletion shown again.
std::vector<double> timeEditorUndo(const char* file, int questions, int rounds) {
    AtelierRun run;
    const std::wstring argument = run.copyIn(file).filename().wstring();
    if (!run.start(argument) || !eventually([&] { return run.questionCount() == questions; })) return {};
    run.clickQuestion(0);
    run.press({}, VK_DELETE);
    if (!eventually([&] { return run.questionCount() == questions - 1; })) return {};
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        // The caption is the last thing an undo or a redo shows: the * goes and comes back.
        const auto undone = timeKeyUntil('Z', [&] { return run.caption().front() != L'*'; });
        const auto redone = timeKeyUntil('Y', [&] { return run.caption().front() == L'*'; });
        if (run.questionCount() != questions - 1) return {};
        if (undone == Clock::duration::max() || redone == Clock::duration::max()) return {};
        samples.push_back(milliseconds(undone));
        samples.push_back(milliseconds(redone));
    }
    return samples;
}

// `--atelier [OTHER.exe...]`: the editor alone, this build and each other
// one given opening quiz_96.exe (and starting with no file) in turn, so that
// all meet the same load.
int compareEditors(const std::vector<const char*>& others, int runs) {
    std::vector<const char*> builds{"atelier.exe"};
    builds.insert(builds.end(), others.begin(), others.end());
    std::vector<std::vector<double>> empty(builds.size());
    std::vector<std::vector<double>> opened(builds.size());
    // Each start waits a moment, so that the last run's end does not fall into it.
    const auto timeSettled = [](const char* file, int questions, const char* build) {
        Sleep(250);
        return timeEditorOpening(file, questions, 1, build);
    };
    for (int i = 0; i < runs; ++i) {
        for (std::size_t k = 0; k < builds.size(); ++k) {
            const auto none = timeSettled("", 0, builds[k]);
            const auto big = timeSettled("quiz_96.exe", 96, builds[k]);
            if (none.empty() || big.empty()) return 1;
            empty[k].push_back(none.front());
            opened[k].push_back(big.front());
        }
    }
    for (std::size_t k = 0; k < builds.size(); ++k) {
        std::printf("%s\n", builds[k]);
        report("  editor: start to idle window, no file", empty[k]);
        report("  editor: start to idle window, quiz_96.exe listed", opened[k]);
        std::printf("  quiz_96.exe listed / no file (medians): %.2f\n", median(opened[k]) / median(empty[k]));
        if (k > 0) {
            std::printf("  atelier.exe / this build, quiz_96.exe listed (medians): %.2f\n",
                        median(opened[0]) / median(opened[k]));
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--atelier") {
        const bool counted = argc > 3 && std::string_view(argv[2]) == "--runs";
        const int runs = counted ? std::max(1, std::atoi(argv[3])) : 15;
        return compareEditors(std::vector<const char*>(argv + (counted ? 4 : 2), argv + argc), runs);
    }
    const std::vector<const char*> others(argv + 1, argv + argc);
    const auto demoStart = timeStartUps("demo.exe", 7);
    const auto steps = timeNextQuestion("demo.exe", 48);
    const StartUpComparison big = compareStartUps("quiz_96.exe", 96, 9, others);
    const auto& bigStart = big.workers;
    const auto& pictures = big.pictures;
    const auto editorEmpty = timeEditorOpening("", 0, 5);
    const auto editorBig = timeEditorOpening("quiz_96.exe", 96, 5);
    const auto editorUndo = timeEditorUndo("quiz_96.exe", 96, 10);
    const auto demoMemory = peakWorkingSet("demo.exe", 12);
    const auto bigMemory = peakWorkingSet("quiz_96.exe", 96);
    if (demoStart.empty() || steps.empty() || bigStart.empty() || pictures.empty() || editorEmpty.empty() ||
        editorBig.empty() || editorUndo.empty() || !demoMemory || !bigMemory) {
        return 1;
    }

    report("start to idle window (demo.exe, 12 pictures)", demoStart);
    report("next question shown (640 x 402 JPEG)", steps);
    report("start to idle window (quiz_96.exe)", bigStart);
    report("the same, one picture worker", big.oneWorker);
    report("decode and scale its 96 + 1 pictures alone", pictures);
    std::printf("start-up / picture work (medians): %.2f, with one worker %.2f\n", median(bigStart) / median(pictures),
                median(big.oneWorker) / median(pictures));
    for (std::size_t k = 0; k < others.size(); ++k) {
        if (big.others[k].empty()) continue;
        report(others[k], big.others[k]);
        std::printf("%s start-up / picture work (medians): %.2f\n", others[k], median(big.others[k]) / median(pictures));
    }
    report("editor: start to idle window, no file", editorEmpty);
    report("editor: start to idle window, quiz_96.exe listed", editorBig);
    report("editor: Ctrl+Z or Ctrl+Y, quiz_96.exe shown", editorUndo);
    reportPeak("demo.exe", *demoMemory);
    reportPeak("quiz_96.exe", *bigMemory);
    for (const char* other : others) {
        if (const auto memory = peakWorkingSet(other, 96)) reportPeak(other, *memory);
    }
    return 0;
}
