#pragma once
// The pictures start-up shows, decoded and fitted by worker threads while the
// window thread makes the controls. They are asked for in the order the
// panels take them; taking one waits for that one only. A failure's message
// box is still shown by the window thread, when it takes the picture, as if
// it had decoded it there.

#include <windows.h>

#include <cstddef>
#include <span>

#include "pictures/picture_loader_win32.h"

struct PictureJob {
    int resourceId = 0;
    int frameWidth = 0;
    int frameHeight = 0;
};

// Starts `workers` threads on `jobs`, in their order.
void startPictureWork(std::span<const PictureJob> jobs, unsigned workers);

// The picture of `resourceId` fitted to the frame, its failure reported: the
// workers' when they have it in hand, else decoded here.
HBITMAP takeQuestionPicture(int resourceId, int frameWidth, int frameHeight);

// Waits for the workers and deletes what was never taken.
void endPictureWork();

// What a worker runs: jobs taken in order until none is left. Exposed for the
// test of its stack.
DWORD WINAPI runPictureWorker(void* unused);
