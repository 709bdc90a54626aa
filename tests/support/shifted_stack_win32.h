#pragma once
// Calls a function with the stack pointer off a 16-byte boundary, as 32-bit
// Windows may leave it when it calls a window procedure or a thread: Wine
// aligns its callbacks, so only a call made this way shows what Windows does.
// A fault inside is caught and reported instead of ending the test program.
// For 32-bit x86 Windows only.

#include <cstdint>

struct ShiftedCall {
    bool faulted = false;
    std::uintptr_t faultAddress = 0;  // the faulting instruction
};

// Runs `work(context)` with the stack pointer `shift` bytes (0, 4, 8 or 12)
// below the 16-byte boundary the compiler assumes at a call.
ShiftedCall callOnShiftedStack(unsigned shift, void (*work)(void*), void* context);

template <typename Work>
ShiftedCall callOnShiftedStack(unsigned shift, Work& work) {
    return callOnShiftedStack(shift, [](void* context) { (*static_cast<Work*>(context))(); }, &work);
}
