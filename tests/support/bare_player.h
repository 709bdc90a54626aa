#pragma once
// A bare PE32 player for the tests of quiz building: headers and one code
// section, its version block as its only resource.

#include <string>

std::string barePlayerImage();
