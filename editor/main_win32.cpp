// Zorbel Atelier: start-up, the file named on the command line, and the
// message loop.

#include <windows.h>
#include <ole2.h>
#include <commctrl.h>
#include <shellapi.h>

#include "editor/editor_state_win32.h"
#include "editor/editor_window_win32.h"
#include "editor/file_commands_win32.h"
#include "editor/recovery_win32.h"
#include "editor/settings_win32.h"

namespace {

// `atelier.exe [FILE]`: the file to open at start, if any.
std::wstring fileFromCommandLine() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring file = arguments != nullptr && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return file;
}

int runMessageLoop(HWND window, HACCEL keys) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window, keys, &message)) continue;
        // Tab and Shift+Tab move between the fields.
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

// The window thread is a single-threaded apartment for as long as it runs:
// the shell (the Aide's link) and the system's picture codecs want COM there.
struct OleApartment {
    HRESULT joined = OleInitialize(nullptr);
    ~OleApartment() {
        if (SUCCEEDED(joined)) OleUninitialize();
    }
};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const OleApartment apartment;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    if (!registerEditorClass(instance)) return 1;
    loadSettings();
    HWND window = createEditorWindow(instance);
    if (window == nullptr) return 1;
    if (!settings().window || !restoreWindowPlace(window)) ShowWindow(window, show);
    fitIntoWorkArea(window);
    UpdateWindow(window);
    // A document taken back from a crash comes before the file asked for.
    const bool recovered = startRecovery(window);
    if (const std::wstring file = fileFromCommandLine(); !file.empty() && !recovered) openFile(file);
    HACCEL keys = createEditorAccelerators();
    const int exitCode = runMessageLoop(window, keys);
    DestroyAcceleratorTable(keys);
    return exitCode;
}
