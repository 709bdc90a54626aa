#include "tests/support/shifted_stack_win32.h"

#include <windows.h>

#if !defined(__i386__)
#error "shifted stacks are a 32-bit x86 matter"
#endif

extern "C" {
// The caller's stack pointer, for the way back after a fault.
std::uintptr_t zorbelShiftedSavedEsp = 0;
int zorbelCallShifted(void (*work)(void*), void* context, unsigned shift);
void zorbelShiftedRecovery();
}

// cdecl: saves the callee-saved registers, aligns, steps down by `shift`,
// calls; a fault resumes at the recovery label, which returns 1.
asm(R"(
    .text
    .globl _zorbelCallShifted
    .globl _zorbelShiftedRecovery
_zorbelCallShifted:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, _zorbelShiftedSavedEsp
    movl 20(%esp), %eax
    movl 24(%esp), %edx
    movl 28(%esp), %ecx
    andl $-16, %esp
    subl $12, %esp
    subl %ecx, %esp
    pushl %edx
    call *%eax
    xorl %eax, %eax
    jmp 1f
_zorbelShiftedRecovery:
    movl $1, %eax
1:
    movl _zorbelShiftedSavedEsp, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {

bool calling = false;
std::uintptr_t faultAddress = 0;

LONG CALLBACK resumeAfterFault(EXCEPTION_POINTERS* info) {
    if (!calling) return EXCEPTION_CONTINUE_SEARCH;
    switch (info->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:  // a misaligned movaps is a general protection fault, reported so
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        break;
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
    calling = false;
    faultAddress = info->ContextRecord->Eip;
    info->ContextRecord->Eip = reinterpret_cast<DWORD>(&zorbelShiftedRecovery);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

ShiftedCall callOnShiftedStack(unsigned shift, void (*work)(void*), void* context) {
    void* handler = AddVectoredExceptionHandler(1, resumeAfterFault);
    calling = true;
    faultAddress = 0;
    const int faulted = zorbelCallShifted(work, context, (shift % 16) & ~3u);
    calling = false;
    RemoveVectoredExceptionHandler(handler);
    return {faulted != 0, faultAddress};
}
