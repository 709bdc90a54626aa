#pragma once
// Where the Atelier keeps what it remembers for the user (recovery copies,
// recent files, the window's place): Zorbel\Atelier in the user's local
// application data, LOCALAPPDATA as the system sets it.

#include <string>

// The folder, made if need be; empty when there is none.
std::wstring atelierDataFolder();
