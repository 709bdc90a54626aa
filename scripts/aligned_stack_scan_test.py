#!/usr/bin/env python3
"""The stack-alignment scan on disassembly as objdump prints it: the kernel
that faulted on Windows is caught, realigned or unaligned-safe code is not."""

import unittest

from aligned_stack_scan import has_function_names, scan

HEADER = ["", "zorbel.exe:     file format pei-i386", "", "Disassembly of section .text:", ""]


def function(name, *instructions, address=0x410EA0):
    lines = [f"{address:08x} <{name}>:"]
    for offset, instruction in enumerate(instructions):
        lines.append(f"  {address + 4 * offset:x}:\t{instruction}")
    return lines + [""]


PAETH = "__ZN12_GLOBAL__N_111pixelsSse41INS_14PaethStepSse41ELj6EEEvPKhPhS3_j"
PROLOGUE = ["push   %ebp", "mov    %esp,%ebp", "push   %edi"]


class AlignedStackScan(unittest.TestCase):
    def test_cases(self):
        cases = [
            # (what, listing, the functions reported)
            ("the Paeth kernel as built before the fix",
             function(PAETH, *PROLOGUE, "sub    $0x20,%esp", "movups %xmm6,(%esp)", "pand   (%esp),%xmm2"), [PAETH]),
            ("an aligned move to a frame slot", function("_f", *PROLOGUE, "movaps %xmm0,-0x28(%ebp)"), ["_f"]),
            ("an indexed stack operand", function("_f", "psubw  0x10(%esp,%eax,1),%xmm1"), ["_f"]),
            ("a pminsd, which is not a scalar instruction", function("_f", "pminsd 0x10(%esp),%xmm1"), ["_f"]),
            ("realigned first",
             function(PAETH, *PROLOGUE, "and    $0xfffffff0,%esp", "pand   (%esp),%xmm2"), []),
            ("realigned to 32 bytes", function("_f", "and    $0xffffffe0,%esp", "movdqa %xmm1,(%esp)"), []),
            ("realigned only after the access",
             function("_f", "movaps %xmm0,(%esp)", "and    $0xfffffff0,%esp"), ["_f"]),
            ("aligned to 8 only", function("_f", "and    $0xfffffff8,%esp", "movaps %xmm0,(%esp)"), ["_f"]),
            ("unaligned moves and narrow operands",
             function("_f", "movups %xmm6,(%esp)", "movdqu 0x10(%esp),%xmm1", "movq   0x8(%esp),%xmm0",
                      "pmovzxbw 0x18(%esp),%xmm5", "addsd  0x8(%esp),%xmm0", "ucomiss 0x4(%ebp),%xmm1",
                      "cvtsi2sd 0x4(%esp),%xmm0", "pinsrw $0x1,0x4(%esp),%xmm0"), []),
            ("memory that is not the stack", function("_f", "pand   0x4d7150,%xmm2", "movaps (%eax),%xmm0"), []),
            ("VEX encodings need alignment only to move",
             function("_f", "vpand  (%esp),%xmm1,%xmm2", "vmovdqa (%esp),%xmm0"), ["_f"]),
            ("a cold part of a realigned function",
             function("_g", "and    $0xfffffff0,%esp") + function("_g.cold", "movaps (%esp),%xmm0", address=0x4CA590),
             []),
            ("a cold part of a function that does not realign",
             function("_g", "ret") + function("_g.cold", "movaps (%esp),%xmm0", address=0x4CA590), ["_g.cold"]),
        ]
        for what, listing, reported in cases:
            with self.subTest(what):
                self.assertEqual([name for name, _, _ in scan(HEADER + listing)], reported)

    def test_a_stripped_listing_is_told_apart(self):
        # Stripped, the whole code is one region named after its section.
        self.assertFalse(has_function_names(HEADER + function(".text", "and    $0xfffffff0,%esp", "ret")))
        self.assertTrue(has_function_names(HEADER + function(".text", "ret") + function("_f", "ret")))


if __name__ == "__main__":
    unittest.main()
