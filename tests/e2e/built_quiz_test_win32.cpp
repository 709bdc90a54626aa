// A quiz executable that quizmake build wrote into a copy of the player, with
// no resource compiler or linker: it plays, and the system's own resource
// functions find what the linked quiz of the same source holds, byte for byte.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "resources/contract_ids.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

constexpr int Score = controlid::ScoreLabel;
constexpr int Field = controlid::AnswerField;
constexpr int Verdict = controlid::VerdictLabel;

TEST(BuiltQuiz, StartsAndGrades) {
    PlayerRun run("quiz_built.exe");
    ASSERT_TRUE(run.waitForMainWindow()) << "the main window never appeared";
    EXPECT_EQ(run.text(run.mainWindow()), "Quiz d'essai");
    EXPECT_EQ(run.headerText(Score), " 0 / 3");
    run.answer("tour eiffel");
    EXPECT_TRUE(eventually([&] { return run.panelText(Verdict) == "BRAVO"; }))
        << "verdict: " << run.panelText(Verdict) << ", field: " << run.panelText(Field);
    EXPECT_EQ(run.headerText(Score), " 1 / 3");
    EXPECT_EQ(run.close(), 0u);
}

class Module {
public:
    explicit Module(const char* exe)
        : handle_(LoadLibraryExA((testProgramFolder() / exe).string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Module() {
        if (handle_ != nullptr) FreeLibrary(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    bool loaded() const { return handle_ != nullptr; }

    std::optional<std::string> resource(int id, LPCSTR type) const {
        HRSRC found = FindResourceA(handle_, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) return std::nullopt;
        HGLOBAL loaded = LoadResource(handle_, found);
        if (loaded == nullptr) return std::nullopt;
        const auto* bytes = static_cast<const char*>(LockResource(loaded));
        return std::string(bytes, SizeofResource(handle_, found));
    }

private:
    HMODULE handle_;
};

TEST(BuiltQuiz, ResourcesAreThoseOfTheLinkedQuiz) {
    const Module built("quiz_built.exe");
    const Module linked("quiz_one_answer.exe");
    ASSERT_TRUE(built.loaded()) << "LoadLibraryEx refused the built executable";
    ASSERT_TRUE(linked.loaded());
    struct Wanted {
        int id;
        LPCSTR type;
    };
    const Wanted wanted[] = {{104, "PATCH"}, {105, "PATCH"}, {401, "IMG"}, {402, "IMG"}, {403, "IMG"}};
    for (const Wanted& w : wanted) {
        const auto ours = built.resource(w.id, w.type);
        const auto theirs = linked.resource(w.id, w.type);
        ASSERT_TRUE(ours.has_value()) << w.type << " " << w.id << " not found in the built quiz";
        ASSERT_TRUE(theirs.has_value()) << w.type << " " << w.id << " not found in the linked quiz";
        EXPECT_FALSE(ours->empty()) << w.type << " " << w.id;
        EXPECT_EQ(*ours, *theirs) << w.type << " " << w.id << " differs from the linked quiz";
    }
    EXPECT_FALSE(built.resource(404, "IMG").has_value()) << "a picture beyond the questions";
    // The player's own resources are still there: the version block.
    EXPECT_TRUE(built.resource(1, MAKEINTRESOURCEA(16)).has_value()) << "the version block was lost";
}

}  // namespace
