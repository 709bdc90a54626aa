#pragma once
// The editor's files, named through the wide-character API so that any name
// works: whole files read, and written to a temporary file that then replaces
// the old one, so a failed save leaves it whole.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

std::optional<std::vector<std::uint8_t>> readFileWide(const std::wstring& path);

enum class SaveOutcome { Saved, InUse, Failed };

// InUse: another program holds the file (a quiz that is running, say).
SaveOutcome replaceFileWide(const std::wstring& path, std::span<const std::uint8_t> bytes);

std::wstring fileNameOf(const std::wstring& path);
std::wstring folderOf(const std::wstring& path);  // with no trailing separator
std::wstring extensionOf(const std::wstring& path);  // lower case, with its dot

// A new empty folder for one test run of a quiz, under the user's temporary folder.
std::optional<std::wstring> newTestFolder();
// Removes the test folders this Atelier made, and those left a day ago or more.
void removeTestFolders();
