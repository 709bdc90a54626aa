#pragma once
// Drives Zorbel Atelier as an author does: started in a fresh folder of its
// own, found by its window class, typed into with real keys, its list,
// dialogs and message boxes read and answered from outside.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/desktop_win32.h"

class AtelierRun {
public:
    AtelierRun();  // makes the folder; `start` starts the editor in it
    ~AtelierRun();
    AtelierRun(const AtelierRun&) = delete;
    AtelierRun& operator=(const AtelierRun&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    // The user's local application data the editor is given (LOCALAPPDATA):
    // this run's own, unless it shares another's (a restart after a crash).
    const std::filesystem::path& appData() const { return appData_; }
    void shareAppDataOf(const AtelierRun& earlier) { appData_ = earlier.appData_; }
    // Ends the editor at once, as a crash or a power cut would.
    void kill();
    // Copies a file of the test program's folder into this run's folder.
    std::filesystem::path copyIn(const std::filesystem::path& fromTestPrograms, const std::string& as = "");
    // Starts `program` (atelier.exe beside the tests, or any path) with
    // `argument` (a file name in the folder, or none); false when no window came.
    bool start(const std::wstring& argument = L"", const std::filesystem::path& program = "atelier.exe");

    HWND window() const { return window_; }
    DWORD processId() const { return process_.dwProcessId; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::wstring text(int id) const;
    std::wstring caption() const;
    COLORREF fillColour(int id) const;

    void click(int id);
    // Clicks the field until it has the focus, selects its text, types `text`.
    void typeInto(int id, const std::wstring& text);
    void press(std::initializer_list<WORD> held, WORD key);

    int questionCount() const;
    std::wstring questionText(int index) const;
    // The height in pixels of the question list's rows, which its thumbnails set.
    int questionRowHeight() const;
    // Question `index`'s thumbnail is on the screen: its tile shows more than
    // the list's background.
    bool thumbnailShown(int index) const;
    // The index of the last question the list shows whole.
    int lastVisibleQuestion() const;
    // Tells the editor its window is now on a monitor of `dpi` dots per inch,
    // as Windows does when the window moves there: the same corner, the size
    // scaled from the editor's present `fromDpi`.
    void moveToMonitorOfDpi(unsigned fromDpi, unsigned dpi);
    void clickQuestion(int index);
    // Drops files from outside onto the window, as Explorer does.
    void dropFiles(const std::vector<std::filesystem::path>& files);

    // Waits for a message box, reads it and presses the button `id` (IDOK...).
    std::optional<BoxSeen> answerBox(int id, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for the system's open or save dialog and reads the file name it proposes.
    std::optional<std::wstring> fileDialogProposal() const;
    // Waits for the system's open or save dialog and chooses `path` in it.
    bool chooseInFileDialog(const std::wstring& path);
    // Waits for the SCORM export's dialog, types `passMark` in it and presses OK.
    bool answerPassMark(const std::wstring& passMark);

    bool running() const;
    bool waitForExit();

private:
    std::filesystem::path folder_;
    std::filesystem::path appData_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};
