#pragma once
// How many threads decode pictures: as many as the processor runs, no more
// than there are pictures, and at most 4 in a 32-bit process, whose 2 to 4 GB
// the decoded pictures share. The player's start-up and the authoring tools
// use it alike.

#include <cstddef>

std::size_t pictureWorkerCount(unsigned hardwareThreads, std::size_t jobs, std::size_t pointerBytes = sizeof(void*));
