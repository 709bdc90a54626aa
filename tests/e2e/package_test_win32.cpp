// The release as a person unpacks it (the folder in ZORBEL_PACKAGE_FOLDER):
// quizmake.exe rebuilds the packaged demo byte for byte from the examples,
// the editor opens it, and no executable carries the time it was made.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/file_access.h"
#include "common/utf8_path.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/desktop_win32.h"

namespace {

std::filesystem::path package() {
    const char* folder = std::getenv("ZORBEL_PACKAGE_FOLDER");
    return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& path) {
    return readWholeFile(utf8Of(path)).value_or(std::vector<std::uint8_t>{});
}

// Runs `command` in the package's folder and waits; its exit code. Given a
// file, its standard output and error go there.
std::optional<DWORD> runIn(const std::filesystem::path& folder, std::wstring command, HANDLE output = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, CREATE_NO_WINDOW, nullptr,
                        folder.wstring().c_str(), &startup, &process)) {
        return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(Package, QuizmakeRebuildsTheDemoByteForByteFromTheExamples) {
    ASSERT_FALSE(package().empty()) << "ZORBEL_PACKAGE_FOLDER names no folder";
    const auto code = runIn(package(), L"\"" + (package() / "quizmake.exe").wstring() +
                                           L"\" build exemples\\demo.toml -o \"démo refaite.exe\"");
    ASSERT_EQ(code, 0u) << "quizmake.exe build failed";
    const auto rebuilt = bytesOf(package() / L"démo refaite.exe");
    EXPECT_FALSE(rebuilt.empty());
    EXPECT_TRUE(rebuilt == bytesOf(package() / "demo.exe")) << "the packaged demo is not what quizmake.exe makes";
}

// What `file` holds from its start, read through that handle: a child's copy
// of it may outlive the child for a moment under Wine, refusing a new open.
std::string contentOf(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

// A console gets characters; a file must keep the UTF-8 bytes. (Wine cannot
// show what a real console receives: only the redirected side is checked.)
TEST(Package, QuizmakeWritesUtf8ToAFile) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE output = CreateFileW((std::filesystem::temp_directory_path() / "quizmake-sortie.txt").wstring().c_str(),
                                      GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(output, INVALID_HANDLE_VALUE) << "cannot create the output file";
    const std::wstring quizmake = L"\"" + (package() / "quizmake.exe").wstring() + L"\"";
    const auto code = runIn(package(), quizmake + L" dump demo.exe", output);
    const auto missing = runIn(package(), quizmake + L" dump \"absente é.exe\"", output);
    const std::string text = contentOf(output);
    CloseHandle(output);
    ASSERT_EQ(code, 0u) << "quizmake.exe dump failed";
    EXPECT_EQ(missing, 1u) << "a missing quiz is not refused";
    EXPECT_NE(text.find("creator = \"L'\xC3\xA9quipe Zorbel\""), std::string::npos) << "the source is not UTF-8:\n" << text;
    EXPECT_NE(text.find("quizmake: absente \xC3\xA9.exe: cannot read the file"), std::string::npos)
        << "the message is not UTF-8:\n" << text;
}

// Windows takes paths of 260 characters or more only from programs whose
// manifest says they can (Wine takes them from any: it cannot show the fault).
TEST(Package, TheAtelierAndQuizmakeDeclareLongPaths) {
    for (const wchar_t* program : {L"atelier.exe", L"quizmake.exe"}) {
        HMODULE module = LoadLibraryExW((package() / program).wstring().c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << program;
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        const char* text = found != nullptr ? static_cast<const char*>(LockResource(LoadResource(module, found))) : "";
        const std::string manifest(text, found != nullptr ? SizeofResource(module, found) : 0);
        EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << program;
        FreeLibrary(module);
    }
}

TEST(Package, TheEditorOpensTheDemo) {
    AtelierRun run;
    std::filesystem::copy_file(package() / "demo.exe", run.folder() / "demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe", package() / "atelier.exe")) << "atelier.exe shows no window";
    EXPECT_EQ(run.caption(), L"demo.exe - Zorbel Atelier");
    EXPECT_EQ(run.questionCount(), 12);
}

TEST(Package, NoExecutableCarriesTheTimeItWasMade) {
    for (const char* name : {"zorbel.exe", "atelier.exe", "quizmake.exe", "demo.exe"}) {
        const auto image = bytesOf(package() / name);
        ASSERT_GT(image.size(), 0x100u) << name;
        const std::uint32_t pe = image[0x3C] | image[0x3D] << 8 | image[0x3E] << 16 | static_cast<std::uint32_t>(image[0x3F]) << 24;
        ASSERT_LT(pe + 12, image.size()) << name;
        const std::uint32_t stamp = image[pe + 8] | image[pe + 9] << 8 | image[pe + 10] << 16 |
                                    static_cast<std::uint32_t>(image[pe + 11]) << 24;
        EXPECT_EQ(stamp, 0u) << name << " is stamped with the time it was linked";
    }
}

}  // namespace
