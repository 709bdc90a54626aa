#include "pictures/picture_workers_win32.h"

#include <float.h>

#include <algorithm>
#include <vector>

namespace {

struct Slot {
    PictureJob job;
    PictureSource source;
    FittedPicture fitted;
    HANDLE done = nullptr;  // set once `fitted` holds the picture
    bool taken = false;
};

// The jobs of one start-up. `next` hands each job to one thread only, the
// window thread's included: it decodes while it waits.
struct PictureWork {
    std::vector<Slot> slots;
    LONG next = -1;
    std::vector<HANDLE> workers;
    unsigned floatingPoint = 0;  // the window thread's x87 precision and rounding
};
PictureWork work;

// Takes the next job not yet begun and does it; false when none is left.
bool doNextJob() {
    const LONG index = InterlockedIncrement(&work.next);
    if (index >= static_cast<LONG>(work.slots.size())) return false;
    Slot& slot = work.slots[static_cast<std::size_t>(index)];
    slot.fitted = fitPicture(slot.source, slot.job.frameWidth, slot.job.frameHeight);
    SetEvent(slot.done);
    return true;
}

Slot* slotFor(int resourceId, int frameWidth, int frameHeight) {
    for (Slot& slot : work.slots) {
        const PictureJob& job = slot.job;
        if (!slot.taken && job.resourceId == resourceId && job.frameWidth == frameWidth &&
            job.frameHeight == frameHeight) {
            return &slot;
        }
    }
    return nullptr;
}

}  // namespace

void startPictureWork(std::span<const PictureJob> jobs, unsigned workers) {
    work.floatingPoint = _control87(0, 0) & (_MCW_PC | _MCW_RC);
    work.slots.resize(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        Slot& slot = work.slots[i];
        slot.job = jobs[i];
        slot.source = questionPictureSource(jobs[i].resourceId);
        slot.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (slot.done == nullptr) {  // no event, no waiting: this job and the rest are decoded when taken
            work.slots.resize(i);
            break;
        }
    }
    for (unsigned i = 0; i < workers; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, runPictureWorker, nullptr, 0, nullptr);
        if (thread != nullptr) work.workers.push_back(thread);
    }
}

HBITMAP takeQuestionPicture(int resourceId, int frameWidth, int frameHeight) {
    Slot* slot = slotFor(resourceId, frameWidth, frameHeight);
    if (slot == nullptr) return loadQuestionPicture(resourceId, frameWidth, frameHeight);
    while (WaitForSingleObject(slot->done, 0) != WAIT_OBJECT_0) {
        if (!doNextJob()) WaitForSingleObject(slot->done, INFINITE);
    }
    slot->taken = true;
    return reportPictureFailure(slot->fitted);
}

void endPictureWork() {
    // Jobs no panel took (a window that could not be made) are not begun.
    InterlockedExchange(&work.next, static_cast<LONG>(work.slots.size()));
    if (!work.workers.empty()) {
        WaitForMultipleObjects(static_cast<DWORD>(work.workers.size()), work.workers.data(), TRUE, INFINITE);
    }
    for (HANDLE worker : work.workers) CloseHandle(worker);
    for (Slot& slot : work.slots) {
        if (!slot.taken && slot.fitted.bitmap != nullptr) DeleteObject(slot.fitted.bitmap);
        CloseHandle(slot.done);
    }
    work = PictureWork{};
}

// Windows starts a thread with its stack aligned to 4 bytes only; the
// decoders keep 16-byte vectors on theirs.
__attribute__((force_align_arg_pointer)) DWORD WINAPI runPictureWorker(void*) {
    // A new thread computes in double precision where the program's start set
    // extended: a size fitted and truncated would then differ by a pixel from
    // the same picture fitted on the window thread.
    _control87(work.floatingPoint, _MCW_PC | _MCW_RC);
    while (doNextJob()) {
    }
    return 0;
}
