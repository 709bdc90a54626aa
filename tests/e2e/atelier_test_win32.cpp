// Zorbel Atelier as an author uses it: a quiz made from nothing with pictures
// added through the menu command and by a drop, edited, saved, opened again
// and played; changes undone and redone; a picture turned; the try field
// against the grading core; a save over a quiz that is running; unsaved
// changes on closing; a file that is not a quiz; the player's rules explained
// before the quiz goes out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <optional>
#include <set>

#include "common/file_access.h"
#include "authoring/quiz_executable.h"
#include "common/utf8_path.h"

#include "grading/verdict.h"
#include "editor/editor_ids.h"
#include "resources/contract_ids.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/player_driver_win32.h"
#include "tests/support/zip_reader.h"

namespace {

using namespace atelierid;

std::string fileBytes(const std::filesystem::path& path) {
    const auto bytes = readWholeFile(utf8Of(path));
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::wstring utf16(std::string_view cp1252) {
    std::wstring wide(cp1252.size(), L'\0');
    MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

bool textBecomes(AtelierRun& run, int id, const std::wstring& text) {
    return eventually([&] { return run.text(id) == text; });
}

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

void putOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::wcscpy(static_cast<wchar_t*>(GlobalLock(block)), text.c_str());
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

// The folders F5 plays quizzes in, under the temporary folder.
std::set<std::wstring> testFolders() {
    std::set<std::wstring> folders;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path() / "ZorbelAtelier", error)) {
        folders.insert(entry.path().filename().wstring());
    }
    return folders;
}

// Grey text over the list's background, in its middle.
bool listShowsAHint(AtelierRun& run) {
    RECT list{};
    GetWindowRect(run.control(QuestionList), &list);
    const int y = (list.top + list.bottom) / 2;
    int dark = 0;
    for (int x = list.left + 10; x < list.right - 10; ++x) {
        if (!closeTo(screenPixel(x, y), GetSysColor(COLOR_WINDOW), 40)) ++dark;
    }
    return dark > 10;
}

TEST(Atelier, MakesAQuizFromNothingThatThePlayerPlays) {
    AtelierRun run;
    const auto lune = run.copyIn("pictures/lune.jpg");
    const auto soleil = run.copyIn("pictures/soleil.jpg");
    // A picture in a folder whose name no ANSI code page holds.
    std::filesystem::create_directories(run.folder() / L"photos ✓ 日本");
    const auto arbre = run.folder() / L"photos ✓ 日本" / L"Arbre fruitier.jpg";
    std::filesystem::copy_file(testProgramFolder() / "pictures/arbre.jpg", arbre);
    std::ofstream(run.folder() / "notes.txt") << "pas une image";
    ASSERT_TRUE(run.start()) << "no editor window";
    EXPECT_EQ(run.caption(), L"Sans titre - Zorbel Atelier");

    run.dropFiles({soleil, run.folder() / "notes.txt", lune});
    const auto refused = run.answerBox(IDOK);
    ASSERT_TRUE(refused.has_value()) << "no message for the file that is not a picture";
    EXPECT_NE(refused->text.find(L"notes.txt"), std::wstring::npos) << refused->text;
    EXPECT_EQ(refused->text.find(L"lune.jpg"), std::wstring::npos) << "only the refused file is named";
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 2; })) << "the good pictures are added";
    run.press({VK_CONTROL}, 'I');
    ASSERT_TRUE(run.chooseInFileDialog(arbre.wstring())) << "no picture dialog";
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 3; }));
    EXPECT_EQ(run.caption(), L"*Sans titre - Zorbel Atelier");

    // Dropped together, they come in file-name order: lune before soleil.
    run.clickQuestion(0);
    run.typeInto(ExpectedAnswer, L"LUNE");
    EXPECT_EQ(run.questionText(0), L"1. LUNE");
    run.clickQuestion(1);
    run.typeInto(ExpectedAnswer, L"SOLEIL");
    run.typeInto(Comment, L"Une étoile.");
    run.typeInto(QuizName, L"Le ciel");
    EXPECT_EQ(run.questionText(1), L"2. SOLEIL");

    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(run.answerBox(IDOK).has_value()) << "no creator, no code lines: the save check, answered";
    const std::filesystem::path saved = run.folder() / L"mon quiz é.exe";
    ASSERT_TRUE(run.chooseInFileDialog(saved.wstring())) << "no save dialog";
    ASSERT_TRUE(eventually([&] { return run.caption() == L"mon quiz é.exe - Zorbel Atelier"; }))
        << "caption: " << testing::PrintToString(run.caption());

    PlayerRun player(saved);
    ASSERT_TRUE(player.waitForMainWindow()) << "the saved quiz does not start";
    EXPECT_EQ(player.text(player.mainWindow()), "Le ciel");
    player.answer("lune");
    EXPECT_TRUE(eventually([&] { return player.panelText(controlid::VerdictLabel) == "BRAVO"; }));
    player.close();
    EXPECT_EQ(player.progressFile(), "lune\r\n\r\n\r\n") << "the answers are kept beside a quiz named with an accent";

    AtelierRun again;
    std::filesystem::copy_file(saved, again.folder() / "quiz.exe");
    ASSERT_TRUE(again.start(L"quiz.exe"));
    ASSERT_EQ(again.questionCount(), 3);
    EXPECT_EQ(again.questionText(1), L"2. SOLEIL");
    EXPECT_EQ(again.text(QuizName), L"Le ciel");
    again.clickQuestion(1);
    EXPECT_TRUE(textBecomes(again, Comment, L"Une étoile."));
}

TEST(Atelier, EveryChangeUndoesAndRedoes) {
    AtelierRun run;
    run.copyIn("demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe"));
    run.press({VK_CONTROL}, 'Z');  // nothing to undo yet
    run.clickQuestion(1);
    run.press({}, VK_DELETE);
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 11; }));
    EXPECT_EQ(run.caption(), L"*demo.exe - Zorbel Atelier");
    run.press({VK_CONTROL}, 'Z');
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 12; })) << "Ctrl+Z brings the question back";
    EXPECT_EQ(run.questionText(1), L"2. LUNE");
    run.clickQuestion(1);
    EXPECT_TRUE(textBecomes(run, ExpectedAnswer, L"LUNE")) << "with its texts";
    EXPECT_TRUE(eventually([&] { return SendMessageW(run.control(PicturePreview), STM_GETIMAGE, IMAGE_BITMAP, 0) != 0; }))
        << "with its picture";
    EXPECT_TRUE(eventually([&] { return run.caption() == L"demo.exe - Zorbel Atelier"; })) << "back at the saved state";

    run.typeInto(QuizName, L"Nouveau nom");
    run.click(Creator);  // leaving the field ends the step
    run.press({VK_CONTROL}, 'Z');
    EXPECT_TRUE(textBecomes(run, QuizName, L"Le ciel et la nature")) << "one stay in a field, one step";
    run.press({VK_CONTROL}, 'Y');
    EXPECT_TRUE(textBecomes(run, QuizName, L"Nouveau nom"));
    run.press({VK_CONTROL}, 'Z');
    EXPECT_TRUE(textBecomes(run, QuizName, L"Le ciel et la nature"));
    run.press({VK_CONTROL, VK_SHIFT}, 'Z');
    EXPECT_TRUE(textBecomes(run, QuizName, L"Nouveau nom")) << "Ctrl+Maj+Z redoes too";
}

TEST(Atelier, ADropAddsEveryGoodPictureAndATurnedPictureIsPlayedTurned) {
    AtelierRun run;
    const auto lune = run.copyIn("pictures/lune.jpg");
    const auto soleil = run.copyIn("pictures/soleil.jpg");
    const auto sideways = run.copyIn("pictures/sideways.jpg");
    std::ofstream(run.folder() / "liste.txt") << "pas une image";
    ASSERT_TRUE(run.start());
    run.dropFiles({soleil, run.folder() / "liste.txt", sideways, lune});
    const auto refused = run.answerBox(IDOK);
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->text.find(L"liste.txt"), std::wstring::npos) << refused->text;
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 3; })) << "three pictures, three questions";
    EXPECT_EQ(run.questionText(0), L"1. lune") << "the file's name proposed as the answer";

    run.clickQuestion(1);  // lune, sideways, soleil
    run.press({VK_CONTROL}, 'R');
    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(run.answerBox(IDOK).has_value()) << "the save check";
    const std::filesystem::path saved = run.folder() / L"tourné.exe";
    ASSERT_TRUE(run.chooseInFileDialog(saved.wstring()));
    ASSERT_TRUE(eventually([&] { return run.caption() == L"tourné.exe - Zorbel Atelier"; }));

    // Upright it shows red, green / blue, yellow; a quarter clockwise more: blue, red / yellow, green.
    PlayerRun player(saved);
    ASSERT_TRUE(player.waitForMainWindow());
    player.click(player.control(player.singlePanel(), controlid::NextButton));
    ASSERT_TRUE(eventually([&] { return player.panelText(controlid::QuestionSelector) == "Image n\xB0" "2"; }));
    const RECT shown = player.screenRect(player.control(player.singlePanel(), controlid::PictureFrame));
    const COLORREF wanted[4] = {RGB(40, 60, 200), RGB(220, 40, 40), RGB(230, 210, 40), RGB(40, 180, 60)};
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const int x = shown.left + (shown.right - shown.left) * (quadrant % 2 == 0 ? 1 : 3) / 4;
        const int y = shown.top + (shown.bottom - shown.top) * (quadrant < 2 ? 1 : 3) / 4;
        EXPECT_TRUE(eventually([&] { return closeTo(screenPixel(x, y), wanted[quadrant], 24); })) << "quadrant " << quadrant;
    }
    EXPECT_GT(shown.bottom - shown.top, shown.right - shown.left) << "the picture stands upright";
    player.close();
}

// A copy is no executable, in name or in content: a virus scanner would
// hold a program rewritten every 30 seconds in the application data.
bool hasRecoveryCopy(const AtelierRun& run) {
    const std::filesystem::path folder = run.appData() / "Zorbel" / "Atelier";
    std::error_code none;
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder, none)) {
        EXPECT_NE(entry.path().extension(), ".exe") << entry.path();
        if (entry.path().extension() != ".copie") continue;
        const auto bytes = readWholeFile(utf8Of(entry.path())).value_or(std::vector<std::uint8_t>{});
        found = bytes.size() > 2 && !(bytes[0] == 'M' && bytes[1] == 'Z');
    }
    return found;
}

// Fichier > Fichiers récents > the first one.
void openFirstRecentFile(AtelierRun& run) {
    run.press({VK_MENU}, 'F');
    run.press({}, 'R');
    run.press({}, '1');
}

TEST(Atelier, ACrashLosesNothingAndTheEditorRemembersItsFilesAndPlace) {
    AtelierRun first;
    const auto demo = first.copyIn("demo.exe");
    ASSERT_TRUE(first.start(L"demo.exe"));
    first.typeInto(QuizName, L"Le ciel, retrouvé");
    first.clickQuestion(0);
    first.press({}, VK_DELETE);  // a change of the questions: the copy is written at once
    ASSERT_TRUE(eventually([&] { return first.questionCount() == 11; }));
    ASSERT_TRUE(eventually([&] { return hasRecoveryCopy(first); })) << "no recovery copy";
    first.kill();

    AtelierRun second;
    second.shareAppDataOf(first);
    ASSERT_TRUE(second.start());
    {
        // Started while the first offers the copy: the copy is not offered twice.
        AtelierRun meanwhile;
        meanwhile.shareAppDataOf(first);
        ASSERT_TRUE(meanwhile.start());
        EXPECT_FALSE(meanwhile.answerBox(IDNO, std::chrono::seconds(2)).has_value()) << "offered by two Ateliers";
    }
    const auto offered = second.answerBox(IDYES);
    ASSERT_TRUE(offered.has_value()) << "the copy is not offered";
    EXPECT_EQ(offered->text, L"Le quiz « demo.exe » n'a pas été enregistré avant la fermeture de l'Atelier. "
                             L"Le récupérer ?");
    EXPECT_EQ(offered->buttons, (std::vector<std::wstring>{L"&Oui", L"&Non"}));
    ASSERT_TRUE(eventually([&] { return second.questionCount() == 11; })) << "recovered whole";
    EXPECT_TRUE(textBecomes(second, QuizName, L"Le ciel, retrouvé"));
    EXPECT_EQ(second.caption(), L"*demo.exe - Zorbel Atelier") << "an unsaved document with its name";
    second.click(QuizName);  // back to the foreground, which the Atelier started meanwhile took

    // The quiz the first run opened is the first recent file.
    openFirstRecentFile(second);
    ASSERT_TRUE(second.answerBox(IDNO).has_value()) << "the recovered changes are not dropped without asking";
    ASSERT_TRUE(eventually([&] { return second.questionCount() == 12; }));
    EXPECT_EQ(second.caption(), L"demo.exe - Zorbel Atelier");
    EXPECT_FALSE(hasRecoveryCopy(second)) << "nothing unsaved, no copy";

    SetWindowPos(second.window(), nullptr, 40, 30, 1100, 720, SWP_NOZORDER);
    const RECT placed = screenRect(second.window());
    PostMessageW(second.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(second.waitForExit());

    std::filesystem::remove(demo);
    AtelierRun third;
    third.shareAppDataOf(first);
    ASSERT_TRUE(third.start());
    const RECT again = screenRect(third.window());
    EXPECT_EQ(again.left, placed.left) << "the window opens where it was left";
    EXPECT_EQ(again.right - again.left, placed.right - placed.left);
    openFirstRecentFile(third);
    const auto gone = third.answerBox(IDOK);
    ASSERT_TRUE(gone.has_value());
    EXPECT_NE(gone->text.find(L"n'existe plus"), std::wstring::npos) << gone->text;
    openFirstRecentFile(third);
    EXPECT_FALSE(third.answerBox(IDOK, std::chrono::milliseconds(1500)).has_value()) << "removed from the list";
}

// Two Ateliers on one file: the second is told the first has it open, and a
// save over what the other saved since asks first; a recovery copy of a file
// changed since says so.
TEST(Atelier, TwoAteliersOnOneFileLoseNeitherOnesWork) {
    AtelierRun first;
    const auto shared = first.copyIn("demo.exe", "partage.exe");
    ASSERT_TRUE(first.start(L"partage.exe"));
    first.typeInto(QuizName, L"Version A");
    first.clickQuestion(11);
    first.press({}, VK_DELETE);  // a change of the questions: its recovery copy is written at once
    ASSERT_TRUE(eventually([&] { return first.questionCount() == 11; }));

    AtelierRun second;
    second.shareAppDataOf(first);
    ASSERT_TRUE(second.start(shared.wstring()));
    const auto told = second.answerBox(IDOK);
    ASSERT_TRUE(told.has_value()) << "the second Atelier is not told";
    EXPECT_TRUE(contains(told->text, L"« partage.exe » est déjà ouvert dans un autre Atelier")) << told->text;
    second.typeInto(QuizName, L"Version B");
    second.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(eventually([&] { return second.caption() == L"partage.exe - Zorbel Atelier"; })) << second.caption();
    PostMessageW(second.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(second.waitForExit());

    first.click(QuizName);
    first.press({VK_CONTROL}, 'S');
    const auto asked = first.answerBox(IDCANCEL);
    ASSERT_TRUE(asked.has_value()) << "a save over the other's asks nothing";
    EXPECT_TRUE(contains(asked->text, L"« partage.exe » a été modifié ailleurs depuis son ouverture")) << asked->text;
    EXPECT_EQ(asked->buttons, (std::vector<std::wstring>{L"Enregistrer sous…", L"Remplacer quand même", L"Annuler"}));
    EXPECT_EQ(first.caption(), L"*partage.exe - Zorbel Atelier") << "Annuler saves nothing";
    const auto kept = readWholeFile(utf8Of(shared));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(readQuizExecutable(*kept).source.quizName, "Version B") << "the other's save is whole";

    // The first dies: its copy, taken back, says the file changed since.
    ASSERT_TRUE(eventually([&] { return hasRecoveryCopy(first); }));
    first.kill();
    AtelierRun third;
    third.shareAppDataOf(first);
    ASSERT_TRUE(third.start());
    const auto offered = third.answerBox(IDYES);
    ASSERT_TRUE(offered.has_value()) << "the copy is not offered";
    EXPECT_TRUE(contains(offered->text, L"« partage.exe » a été modifié depuis")) << offered->text;
}

TEST(Atelier, PicturesAsAuthorsHaveThemArePreparedAsTheyAreAdded) {
    AtelierRun run;
    const auto gif = run.copyIn("pictures/picture.gif");
    const auto bmp = run.copyIn("pictures/picture.bmp");
    const auto turned = run.copyIn("pictures/sideways.jpg");
    ASSERT_TRUE(run.start());
    run.dropFiles({turned, gif, bmp});
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 3; })) << "GIF, BMP and a turned photo become questions";
    for (int question = 0; question < 3; ++question) {
        run.clickQuestion(question);
        EXPECT_TRUE(eventually([&] {
            return SendMessageW(run.control(PicturePreview), STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
        })) << "question " << question + 1 << " shows its picture";
    }
}

TEST(Atelier, TheTryFieldGivesThePlayersVerdictsInBothViews) {
    AtelierRun run;
    run.copyIn("demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe"));
    run.clickQuestion(0);
    ASSERT_TRUE(textBecomes(run, ExpectedAnswer, L"SOLEIL"));
    for (const char* typed : {"soleil", "solei", "soliel", "soleils", "sol", "lune", " SOLEIL "}) {
        run.typeInto(TryField, utf16(typed));
        const std::string single(verdictText(gradeAnswer("SOLEIL", typed, false)));
        const std::string overview(verdictText(gradeAnswer("SOLEIL", typed, true)));
        EXPECT_TRUE(textBecomes(run, SingleViewVerdict, utf16(single))) << typed << ": " << single;
        EXPECT_TRUE(textBecomes(run, OverviewVerdict, utf16(overview))) << typed << ": " << overview;
    }
    run.typeInto(TryField, L"soleil");
    ASSERT_TRUE(textBecomes(run, SingleViewVerdict, L"BRAVO"));
    EXPECT_EQ(run.fillColour(SingleViewVerdict), RGB(0, 255, 0)) << "the player's colour for BRAVO";
    EXPECT_EQ(run.caption(), L"demo.exe - Zorbel Atelier") << "trying changes nothing in the quiz";

    run.clickQuestion(11);  // ARC-EN-CIEL
    run.typeInto(ExpectedAnswer, L"ÉTÉ");
    EXPECT_NE(run.text(Warnings).find(L"3 caractères ou moins"), std::wstring::npos) << run.text(Warnings);
    EXPECT_NE(run.text(Warnings).find(L"Capitale accentuée"), std::wstring::npos) << run.text(Warnings);
    EXPECT_NE(run.text(Warnings).find(L"Conseil : écrivez la réponse sans accent"), std::wstring::npos);
}

TEST(Atelier, QuestionsMoveAndGoByKeyAndTheQuizIsTriedAndExported) {
    AtelierRun run;
    run.copyIn("demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe"));
    run.clickQuestion(1);
    run.press({VK_MENU}, VK_UP);
    ASSERT_TRUE(eventually([&] { return run.questionText(0) == L"1. LUNE"; })) << run.questionText(0);
    EXPECT_EQ(run.questionText(1), L"2. SOLEIL");
    run.clickQuestion(11);
    run.press({}, VK_DELETE);
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 11; }));
    EXPECT_EQ(run.caption(), L"*demo.exe - Zorbel Atelier");

    // F5: the document as it is now, played from a folder of its own.
    run.press({}, VK_F5);
    HWND quiz = nullptr;
    ASSERT_TRUE(eventually([&] { return (quiz = FindWindowA(MainWindowClass, nullptr)) != nullptr; }, std::chrono::milliseconds(15000)))
        << "F5 started no quiz";
    char caption[64] = {};
    GetWindowTextA(quiz, caption, sizeof caption);
    EXPECT_STREQ(caption, "Le ciel et la nature");
    PostMessageA(quiz, WM_CLOSE, 0, 0);
    EXPECT_EQ(readWholeFile(utf8Of(run.folder() / "demo.exe"))->size(),
              std::filesystem::file_size(testProgramFolder() / "demo.exe"))
        << "trying the quiz does not save it";

    // Fichier > Exporter la source..., once the editor has the keyboard back.
    ASSERT_TRUE(eventually([&] { return !IsWindow(quiz); }));
    run.clickQuestion(0);
    run.press({VK_MENU}, 'F');
    run.press({}, 'X');
    ASSERT_TRUE(run.chooseInFileDialog((run.folder() / L"source.toml").wstring())) << "no export dialog";
    const auto source = readWholeFile(utf8Of(run.folder() / "source.toml"));
    ASSERT_TRUE(source.has_value()) << "no source written";
    const std::string text(source->begin(), source->end());
    const std::size_t first = text.find("[[question]]\nanswer = \"LUNE\"");
    EXPECT_NE(first, std::string::npos) << "the moved question comes first: " << text;
    EXPECT_EQ(text.find("picture = \"401.jpg\""), text.find("picture = ", first)) << text;
    EXPECT_TRUE(std::filesystem::exists(run.folder() / "411.jpg")) << "its pictures beside it";
    EXPECT_FALSE(std::filesystem::exists(run.folder() / "412.jpg")) << "the removed question's picture is gone";

    // Fichier > Exporter en page web...: one file, the pictures inside, in the document's order.
    run.press({VK_MENU}, 'F');
    run.press({}, 'W');
    ASSERT_TRUE(run.chooseInFileDialog((run.folder() / L"ciel.html").wstring())) << "no web export dialog";
    const auto page = readWholeFile(utf8Of(run.folder() / "ciel.html"));
    ASSERT_TRUE(page.has_value()) << "no page written";
    const std::string html(page->begin(), page->end());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<title>Le ciel et la nature</title>"), std::string::npos);
    const std::string jpegPicture = "{\"type\":\"jpeg\",\"data\":\"";
    std::size_t pictures = 0;
    for (std::size_t at = html.find(jpegPicture); at != std::string::npos; at = html.find(jpegPicture, at + 1)) ++pictures;
    EXPECT_EQ(pictures, 11u) << "one picture for each of the 11 questions left";

    // Fichier > Exporter pour une plateforme (SCORM)...: a pass mark, then the manifest and the same page.
    run.press({VK_MENU}, 'F');
    run.press({}, 'P');
    ASSERT_TRUE(run.answerPassMark(L"80 %")) << "no pass mark asked";
    ASSERT_TRUE(run.chooseInFileDialog((run.folder() / L"ciel.zip").wstring())) << "no SCORM export dialog";
    const auto zip = readWholeFile(utf8Of(run.folder() / "ciel.zip"));
    ASSERT_TRUE(zip.has_value()) << "no package written";
    const ReadZip package = readStoredZip(*zip);
    EXPECT_EQ(package.problem, "");
    ASSERT_EQ(package.entries.size(), 2u);
    EXPECT_EQ(package.entries[0].name, "imsmanifest.xml");
    EXPECT_NE(package.entries[0].data.find("<title>Le ciel et la nature</title>"), std::string::npos);
    EXPECT_NE(package.entries[0].data.find("adlcp:scormtype=\"sco\" href=\"index.html\""), std::string::npos);
    EXPECT_NE(package.entries[0].data.find("<adlcp:masteryscore>80</adlcp:masteryscore>"), std::string::npos);
    EXPECT_EQ(package.entries[1].name, "index.html");
    std::string withPassMark = html;
    const std::size_t noPassMark = withPassMark.find("\"passMark\":null");
    ASSERT_NE(noPassMark, std::string::npos);
    withPassMark.replace(noPassMark, 15, "\"passMark\":80");
    EXPECT_EQ(package.entries[1].data, withPassMark) << "the page of the web export, with the pass mark";
}

TEST(Atelier, AQuizSourceOpensWithItsPictures) {
    AtelierRun run;
    std::filesystem::create_directories(run.folder() / "pictures");
    run.copyIn("pictures/soleil.jpg", "pictures/soleil.jpg");
    run.copyIn("pictures/picture.gif", "pictures/nuage.gif");
    std::ofstream(run.folder() / "ciel.toml") << "name = \"Le ciel\"\ncodes = [\"A\", \"AB\"]\n"
                                                 "[[question]]\nanswer = \"SOLEIL\"\npicture = \"pictures/soleil.jpg\"\n"
                                                 "[[question]]\nanswer = \"NUAGE\"\npicture = \"pictures/nuage.gif\"\n";
    ASSERT_TRUE(run.start(L"ciel.toml"));
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 2; }));
    EXPECT_EQ(run.questionText(1), L"2. NUAGE");
    EXPECT_EQ(run.text(CodeLines), L"A\r\nAB");
    EXPECT_EQ(run.caption(), L"Sans titre - Zorbel Atelier") << "a source is imported into a new quiz";
    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(run.answerBox(IDOK).has_value()) << "the save check";
    ASSERT_TRUE(run.chooseInFileDialog((run.folder() / L"ciel.exe").wstring())) << "the first save asks where";
    EXPECT_TRUE(eventually([&] { return run.caption() == L"ciel.exe - Zorbel Atelier"; }));
}

// The note under a field: shown, right under `id`, and what it says.
std::optional<std::wstring> noteUnder(AtelierRun& run, int id) {
    HWND note = run.control(editorid::FieldNote);
    if (!IsWindowVisible(note)) return std::nullopt;
    RECT field{};
    RECT shown{};
    GetWindowRect(run.control(id), &field);
    GetWindowRect(note, &shown);
    if (shown.left != field.left || shown.top < field.bottom || shown.top > field.bottom + 8) return std::nullopt;
    return run.text(editorid::FieldNote);
}

TEST(Atelier, PastedLettersOfTheCodePageAreAllKept) {
    AtelierRun run;
    ASSERT_TRUE(run.start());
    const std::wstring letters = L"cœur, Œuvre, Škoda, Žižkov, Ÿ, l’été";
    putOnClipboard(letters);
    run.click(QuizName);
    run.press({VK_CONTROL}, 'V');
    EXPECT_TRUE(textBecomes(run, QuizName, letters)) << testing::PrintToString(run.text(QuizName));
    EXPECT_FALSE(IsWindowVisible(run.control(editorid::FieldNote))) << "nothing to say of letters the quiz holds";
    EXPECT_EQ(messageBoxOf(run.processId()), nullptr);

    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(run.answerBox(IDOK).has_value()) << "the save check, answered";
    const std::filesystem::path saved = run.folder() / L"lettres.exe";
    ASSERT_TRUE(run.chooseInFileDialog(saved.wstring()));
    ASSERT_TRUE(eventually([&] { return run.caption() == L"lettres.exe - Zorbel Atelier"; }));
    AtelierRun again;
    std::filesystem::copy_file(saved, again.folder() / "quiz.exe");
    ASSERT_TRUE(again.start(L"quiz.exe"));
    EXPECT_EQ(again.text(QuizName), letters) << "the saved quiz holds every letter";
}

TEST(Atelier, ALetterTheQuizCannotHoldIsMendedOrNamedUnderItsField) {
    AtelierRun run;
    ASSERT_TRUE(run.start());
    // Typed: Ł becomes L, said under the field; each change says what it mended or refused.
    run.typeInto(QuizName, L"Ł");
    EXPECT_TRUE(textBecomes(run, QuizName, L"L")) << testing::PrintToString(run.text(QuizName));
    EXPECT_TRUE(eventually([&] { return noteUnder(run, QuizName).has_value(); })) << "no note under the field";
    EXPECT_EQ(noteUnder(run, QuizName), L"« Ł » (U+0141) devient « L » : le lecteur ne sait pas l'afficher.");
    EXPECT_EQ(messageBoxOf(run.processId()), nullptr) << "no box stops the typing";
    EXPECT_EQ(focusedIn(GetWindowThreadProcessId(run.window(), nullptr)), run.control(QuizName)) << "the note takes no focus";
    // 中 has no mend; the keys after it are all typed.
    typeText(L"ódź 中 et la suite");
    EXPECT_TRUE(textBecomes(run, QuizName, L"Lódz  et la suite")) << testing::PrintToString(run.text(QuizName));
    const auto typed = noteUnder(run, QuizName);
    ASSERT_TRUE(typed.has_value());
    EXPECT_TRUE(contains(*typed, L"« 中 » (U+4E2D) ne peut pas figurer dans un quiz")) << *typed;
    EXPECT_EQ(messageBoxOf(run.processId()), nullptr);
    if (const char* folder = std::getenv("ZORBEL_SCREENSHOT_FOLDER")) {
        pause(300);
        EXPECT_TRUE(saveScreenshot(run.window(), std::filesystem::path(folder) / "field_note.bmp"));
    }

    // A key the quiz takes does not end the note; a change after the field was left does.
    run.press({}, 'X');
    EXPECT_TRUE(textBecomes(run, QuizName, L"Lódz  et la suitex"));
    EXPECT_EQ(noteUnder(run, QuizName), typed);
    run.typeInto(Creator, L"Anne");
    EXPECT_EQ(noteUnder(run, QuizName), typed) << "leaving the field keeps its note";
    run.typeInto(QuizName, L"Le ciel");
    EXPECT_TRUE(eventually([&] { return !IsWindowVisible(run.control(editorid::FieldNote)); }));

    // Pasted: the same rule, the rest of the text kept.
    putOnClipboard(L"Kraków ✓ Iᵉʳ");
    run.click(CodeLines);
    run.press({VK_CONTROL}, 'V');
    EXPECT_TRUE(textBecomes(run, CodeLines, L"Kraków  Ier")) << testing::PrintToString(run.text(CodeLines));
    const auto pasted = noteUnder(run, CodeLines);
    ASSERT_TRUE(pasted.has_value());
    EXPECT_TRUE(contains(*pasted, L"« ✓ » (U+2713)")) << *pasted;
    EXPECT_EQ(messageBoxOf(run.processId()), nullptr);

    // Accents pasted apart from their letters are joined to them, nothing said.
    putOnClipboard(L" e\u0301te\u0301");
    run.click(Creator);
    run.press({}, VK_END);
    run.press({VK_CONTROL}, 'V');
    EXPECT_TRUE(textBecomes(run, Creator, L"Anne été")) << testing::PrintToString(run.text(Creator));
    EXPECT_EQ(noteUnder(run, CodeLines), pasted) << "the code lines' note is theirs alone";
}

TEST(Atelier, SavingOverARunningQuizSaysSoAndLosesNothing) {
    AtelierRun run;
    const auto quiz = run.copyIn("demo.exe", "quiz.exe");
    const std::string before = fileBytes(quiz);
    ASSERT_TRUE(run.start(L"quiz.exe"));
    run.clickQuestion(0);
    run.typeInto(ExpectedAnswer, L"ASTRE");
    // Typed keys arrive when the editor reads them.
    ASSERT_TRUE(eventually([&] { return run.caption() == L"*quiz.exe - Zorbel Atelier"; }));

    // As Windows holds a running program's file.
    HANDLE held = CreateFileW(quiz.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run.press({VK_CONTROL}, 'S');
    const auto box = run.answerBox(IDOK);
    CloseHandle(held);
    ASSERT_TRUE(box.has_value()) << "the failed save says nothing";
    EXPECT_NE(box->text.find(L"quiz.exe est ouvert par un autre programme"), std::wstring::npos) << box->text;
    EXPECT_EQ(run.caption(), L"*quiz.exe - Zorbel Atelier") << "still unsaved";
    EXPECT_EQ(fileBytes(quiz), before) << "the old quiz is whole";

    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(eventually([&] { return run.caption() == L"quiz.exe - Zorbel Atelier"; }));
    EXPECT_NE(fileBytes(quiz), before);
}

TEST(Atelier, UnsavedChangesAreNeverLostWithoutAsking) {
    AtelierRun run;
    const auto quiz = run.copyIn("demo.exe");
    const std::string before = fileBytes(quiz);
    ASSERT_TRUE(run.start(L"demo.exe"));
    run.typeInto(Creator, L"Camille");

    PostMessageW(run.window(), WM_CLOSE, 0, 0);
    const auto cancelled = run.answerBox(IDCANCEL);
    ASSERT_TRUE(cancelled.has_value()) << "closing did not ask";
    EXPECT_EQ(cancelled->text, L"Enregistrer les modifications apportées à demo.exe ?");
    EXPECT_EQ(cancelled->buttons, (std::vector<std::wstring>{L"&Oui", L"&Non", L"Annuler"}));
    EXPECT_TRUE(run.running()) << "Annuler keeps the editor open";

    PostMessageW(run.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.answerBox(IDNO).has_value());
    EXPECT_TRUE(run.waitForExit()) << "Non closes";
    EXPECT_EQ(fileBytes(quiz), before) << "and writes nothing";

    AtelierRun yes;
    yes.copyIn("demo.exe");
    ASSERT_TRUE(yes.start(L"demo.exe"));
    yes.typeInto(Creator, L"Camille");
    PostMessageW(yes.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(yes.answerBox(IDYES).has_value());
    EXPECT_TRUE(yes.waitForExit()) << "Oui saves and closes";
    EXPECT_NE(fileBytes(yes.folder() / "demo.exe"), before);
}

TEST(Atelier, ExplainsThePlayersRulesBeforeTheQuizGoesOut) {
    AtelierRun run;
    // A camera's names: they propose no answer.
    const auto soleil = run.copyIn("pictures/soleil.jpg", "IMG_0002.jpg");
    const auto lune = run.copyIn("pictures/lune.jpg", "IMG_0001.jpg");
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(eventually([&] { return listShowsAHint(run); })) << "an empty list says what to do";

    // Help, by F1 (kept as a screenshot where one is asked for).
    run.press({}, VK_F1);
    HWND helpBox = nullptr;
    ASSERT_TRUE(eventually([&] { return (helpBox = messageBoxOf(run.processId())) != nullptr; }));
    if (const char* folder = std::getenv("ZORBEL_SCREENSHOT_FOLDER")) {
        pause(300);
        EXPECT_TRUE(saveScreenshot(helpBox, std::filesystem::path(folder) / "help.bmp"));
    }
    const auto help = run.answerBox(IDOK);
    ASSERT_TRUE(help.has_value()) << "no help";
    EXPECT_TRUE(contains(help->text, L"sans accent")) << help->text;
    EXPECT_TRUE(contains(help->text, L"la ligne k")) << "what the code is";

    // A paste keeps what the quiz can hold and names the rest under the field.
    putOnClipboard(L"François Iᵉʳ ✓");
    run.click(Creator);
    run.press({VK_CONTROL}, 'V');
    EXPECT_TRUE(textBecomes(run, Creator, L"François Ier ")) << "ᵉʳ as er";
    EXPECT_TRUE(eventually([&] { return contains(run.text(editorid::FieldNote), L"« ✓ »"); }))
        << run.text(editorid::FieldNote);

    // A name the player's header cuts is marked with what will show.
    run.typeInto(QuizName, L"Les animaux de la ferme et de la forêt, pour la classe de CE1");
    EXPECT_TRUE(eventually([&] { return contains(run.text(editorid::HeaderNotes), L"Le nom sera coupé"); }))
        << run.text(editorid::HeaderNotes);
    run.typeInto(QuizName, L"Les animaux");
    EXPECT_TRUE(textBecomes(run, editorid::HeaderNotes, L"")) << "a name that fits is not marked";

    // Questions that will surprise the players are marked in the list.
    run.dropFiles({soleil, lune});
    ASSERT_TRUE(eventually([&] { return run.questionCount() == 2; }));
    EXPECT_EQ(run.questionText(0), L"1.   (!)") << "no expected answer";
    run.clickQuestion(0);
    run.typeInto(ExpectedAnswer, L"forêt");
    EXPECT_TRUE(eventually([&] { return contains(run.text(Warnings), L"Conseil : écrivez la réponse sans accent"); }));
    run.typeInto(ExpectedAnswer, L"SOLEIL");
    EXPECT_TRUE(eventually([&] { return run.questionText(0) == L"1. SOLEIL"; })) << run.questionText(0);

    // Saving lists what will surprise the players; Revenir goes back to them.
    run.press({VK_CONTROL}, 'S');
    const auto check = run.answerBox(IDCANCEL);
    ASSERT_TRUE(check.has_value()) << "no save check";
    EXPECT_TRUE(contains(check->text, L"Pas de lignes de code")) << check->text;
    EXPECT_TRUE(contains(check->text, L"Question 2 : pas de réponse attendue")) << check->text;
    EXPECT_EQ(check->buttons, (std::vector<std::wstring>{L"Enregistrer quand même", L"Revenir"}));
    EXPECT_EQ(run.caption(), L"*Sans titre - Zorbel Atelier") << "Revenir saves nothing";

    // Both exports check the quiz first, as saving does: a package that no
    // pupil can complete is not made without a word.
    for (const wchar_t menuKey : {L'W', L'P'}) {
        run.press({VK_MENU}, 'F');
        run.press({}, menuKey);
        const auto exportCheck = run.answerBox(IDCANCEL);
        ASSERT_TRUE(exportCheck.has_value()) << "no check before the export " << static_cast<char>(menuKey);
        EXPECT_TRUE(contains(exportCheck->text, L"Question 2 : pas de réponse attendue")) << exportCheck->text;
    }

    // Enregistrer quand même: the file is proposed in Documents, named after the quiz.
    run.press({VK_CONTROL}, 'S');
    ASSERT_TRUE(run.answerBox(IDOK).has_value());
    const auto proposed = run.fileDialogProposal();
    ASSERT_TRUE(proposed.has_value());
    EXPECT_TRUE(proposed->ends_with(L"Les animaux.exe")) << *proposed;
    ASSERT_TRUE(run.chooseInFileDialog((run.folder() / L"animaux.exe").wstring()));
    ASSERT_TRUE(eventually([&] { return run.caption() == L"animaux.exe - Zorbel Atelier"; }));

    // F5's copy is gone once the Atelier closes.
    const std::set<std::wstring> before = testFolders();
    run.press({}, VK_F5);
    HWND quiz = nullptr;
    ASSERT_TRUE(eventually([&] { return (quiz = FindWindowA(MainWindowClass, nullptr)) != nullptr; },
                           std::chrono::milliseconds(15000)));
    EXPECT_GT(testFolders().size(), before.size()) << "F5 plays from a folder of its own";
    PostMessageA(quiz, WM_CLOSE, 0, 0);
    ASSERT_TRUE(eventually([&] { return !IsWindow(quiz); }));
    PostMessageW(run.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.waitForExit());
    for (const std::wstring& folder : testFolders()) EXPECT_TRUE(before.contains(folder)) << "left behind: " << folder;
}

TEST(Atelier, AFileThatIsNotAQuizLeavesAnEmptyDocument) {
    AtelierRun run;
    run.copyIn("zorbel.exe", "lecteur.exe");
    ASSERT_TRUE(run.start(L"lecteur.exe"));
    const auto box = run.answerBox(IDOK);
    ASSERT_TRUE(box.has_value()) << "no message for a file without a quiz";
    EXPECT_EQ(box->text.find(L'\n'), std::wstring::npos) << "one line: " << box->text;
    EXPECT_NE(box->text.find(L"lecteur.exe"), std::wstring::npos) << box->text;
    EXPECT_EQ(run.caption(), L"Sans titre - Zorbel Atelier");
    EXPECT_EQ(run.questionCount(), 0);
}

}  // namespace
