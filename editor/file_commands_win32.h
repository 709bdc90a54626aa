#pragma once
// The document and its files: new, open, save, save as, export of the
// source, and the test run of the quiz. Unsaved changes are never lost
// without the author's word.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The player that every quiz is written into: the one this program carries.
std::span<const std::uint8_t> carriedPlayer();

// True when the document may be put aside: nothing unsaved, or the author
// saved it or chose not to.
bool confirmDiscard();

void newQuiz();
void openQuiz();
// Opens `path` (a quiz executable or a quiz source); a message and the
// document untouched when it holds no quiz.
bool openFile(const std::wstring& path);
// A file named at start, opened around the window's making: a quiz
// executable becomes the document before the window exists, so that its first
// paint shows it; a quiz source (its pictures prepared under a progress
// window) and every message wait for the window.
struct StartFile {
    std::wstring path;     // as named; made whole once read
    std::wstring error;    // shown once the window is there
    bool adopted = false;  // the document is the file's already
};
StartFile openBeforeWindow(const std::wstring& path);
// What `openBeforeWindow` left: its message, or the file remembered, or opened now.
void openAfterWindow(const StartFile& start);
// Opens recent file `index` (settings_win32.h keeps the list); one that no
// longer exists is removed with a message.
void openRecentFile(std::size_t index);
bool saveQuiz();
bool saveQuizAs();
void exportSource();
// The quiz as one web page that plays it in any browser.
void exportWebPage();
// The quiz as a SCORM 1.2 package (a zip) for a school's learning platform.
void exportScormPackage();
void testQuiz();
