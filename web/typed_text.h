#pragma once
// What a player types into the page, as the Windows player's answer field
// would hold it: code page 1252 bytes. The typographic apostrophe that phone
// keyboards put for ' is read as '; a character that code page 1252 cannot
// hold becomes '?', as Windows' own conversion does by default. (The page
// composes accents (NFC) before the text comes here.)

#include <string>
#include <string_view>

std::string typedTextBytes(std::string_view utf8);
