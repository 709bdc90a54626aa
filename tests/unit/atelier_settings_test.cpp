#include "editor/atelier_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(AtelierSettings, WhatIsWrittenIsReadBack) {
    AtelierSettings settings;
    settings.recentFiles = {"C:\\Quiz\\été.exe", "D:\\école\\ciel.exe"};
    settings.window = WindowPlace{-8, 40, 1100, 720, true};
    EXPECT_EQ(parseSettings(formatSettings(settings)), settings);
    EXPECT_EQ(parseSettings(formatSettings(AtelierSettings{})), AtelierSettings{});
}

TEST(AtelierSettings, LinesItCannotReadAreLeftOut) {
    struct Case {
        const char* text;
        std::size_t recentFiles;
        bool window;
    };
    const Case cases[] = {
        {"", 0, false},
        {"récent=\r\n", 0, false},                            // no path
        {"récent=a.exe\nrécent=b.exe", 2, false},             // LF only, no last newline
        {"fenêtre=10 20 800 600 0\r\n", 0, true},
        {"fenêtre=10 20 800 600\r\n", 0, false},             // a number missing
        {"fenêtre=10 20 0 600 0\r\n", 0, false},             // no width
        {"fenêtre=10 20 800 600 2\r\n", 0, false},           // neither maximised nor not
        {"fenêtre=10 20 800 600 0 9\r\n", 0, false},         // one too many
        {"fenêtre=10 20 99999999999 600 0\r\n", 0, false},   // out of range
        {"couleur=bleu\r\nrécent=a.exe\r\n\r\n", 1, false},   // an unknown key
        {"recent=a.exe\r\n", 0, false},                       // the key is French
    };
    for (const Case& c : cases) {
        const AtelierSettings read = parseSettings(c.text);
        EXPECT_EQ(read.recentFiles.size(), c.recentFiles) << c.text;
        EXPECT_EQ(read.window.has_value(), c.window) << c.text;
    }
    std::string many;
    for (int i = 0; i < 20; ++i) many += "récent=" + std::to_string(i) + ".exe\r\n";
    EXPECT_EQ(parseSettings(many).recentFiles.size(), MaxRecentFiles) << "a file grown by hand is cut to eight";
}

TEST(AtelierSettings, AFileRememberedGoesFirstOnceAndTheOldestLeave) {
    AtelierSettings settings;
    for (int i = 1; i <= 9; ++i) rememberFile(settings, "C:\\q" + std::to_string(i) + ".exe");
    ASSERT_EQ(settings.recentFiles.size(), MaxRecentFiles);
    EXPECT_EQ(settings.recentFiles.front(), "C:\\q9.exe");
    EXPECT_EQ(settings.recentFiles.back(), "C:\\q2.exe") << "the oldest left";

    rememberFile(settings, "c:\\Q5.EXE");  // the same file, written another way
    EXPECT_EQ(settings.recentFiles.size(), MaxRecentFiles);
    EXPECT_EQ(settings.recentFiles.front(), "c:\\Q5.EXE");
    EXPECT_EQ(std::count(settings.recentFiles.begin(), settings.recentFiles.end(), "C:\\q5.exe"), 0);

    rememberFile(settings, "");
    EXPECT_EQ(settings.recentFiles.front(), "c:\\Q5.EXE") << "no empty entry";
    forgetFile(settings, "C:\\Q9.exe");
    EXPECT_EQ(settings.recentFiles.size(), MaxRecentFiles - 1);
    EXPECT_EQ(std::count(settings.recentFiles.begin(), settings.recentFiles.end(), "C:\\q9.exe"), 0);
}
