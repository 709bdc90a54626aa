#!/usr/bin/env python3
"""Finds the 32-bit functions that would fault on Windows' 4-byte-aligned stacks.

32-bit Windows calls window, dialog and hook procedures and thread start
functions with the stack aligned to 4 bytes only. A function that keeps an SSE
value on its stack and reads it with an instruction that needs 16 bytes
(movaps, movdqa, or a legacy-encoded SSE operation on a 128-bit memory operand)
faults unless the function realigns the stack itself (`and $-16,%esp`).

Usage: aligned_stack_scan.py [--objdump PROGRAM] [--symbols FOLDER] EXE...
Functions are found by their names: a stripped program is read with the names
of the program in FOLDER whose code is the same bytes (the build keeps such a
copy of every program it strips). Prints one line per such function and exits
1 when there is any; 0 otherwise.
"""

import argparse
import pathlib
import re
import struct
import subprocess
import sys

# SSE instructions whose memory operand may sit anywhere: unaligned moves,
# scalar and 64-bit-or-narrower operands, inserts and extracts.
UNALIGNED_OK = re.compile(
    r"""^(
        movups|movupd|movdqu|lddqu|
        movd|movq|movlps|movhps|movlpd|movhpd|movddup|
        (add|sub|mul|div|min|max|sqrt|rcp|rsqrt|round|mov|u?comi|cmp[a-z]*)(ss|sd)|
        cvtsi2s[sd][lq]?|cvtss2s[di]|cvtsd2s[si]|cvtts[sd]2si|
        cvtps2pd|cvtdq2pd|cvtpi2p[sd]|cvtps2pi|cvttps2pi|
        pinsr[bwdq]|pextr[bwdq]|extractps|insertps|
        pmov[sz]x(bw|bd|bq|wd|wq|dq)
    )$""",
    re.VERBOSE,
)
# VEX-encoded instructions need alignment only for these.
VEX_ALIGNED = re.compile(r"^vmov(aps|apd|dqa|ntps|ntpd|ntdq)$")

FUNCTION = re.compile(r"^[0-9a-f]+ <(?P<name>[^>]+)>:$")
INSTRUCTION = re.compile(r"^\s*(?P<address>[0-9a-f]+):\s+(?P<mnemonic>[a-z0-9.]+)\s*(?P<operands>[^#<]*)")
STACK_OPERAND = re.compile(r"\((%esp|%ebp)[,)]")
# and $-16 (or a stricter mask) on %esp: the function realigns its own stack.
REALIGN = re.compile(r"^and[l]?$")
REALIGN_OPERANDS = re.compile(r"^\$0xff+[0-9a-f]0,%esp$")


def needs_alignment(mnemonic, operands):
    if "%xmm" not in operands or not STACK_OPERAND.search(operands):
        return False
    if mnemonic.startswith("v"):
        return bool(VEX_ALIGNED.match(mnemonic))
    return not UNALIGNED_OK.match(mnemonic)


def has_function_names(lines):
    """Stripped, objdump labels only sections (`<.text>`); named functions otherwise."""
    return any(match and not match.group("name").startswith(".") for match in map(FUNCTION.match, lines))


def parent_function(name):
    """A cold part (`f.cold`, `f.cold.3`) runs in its parent's frame."""
    return re.sub(r"\.cold(\.\d+)?$", "", name)


def scan(lines):
    """Yields (function, address, instruction) for each offending function."""
    realigned = {}
    first_fault = {}
    current = None
    for line in lines:
        match = FUNCTION.match(line)
        if match:
            current = match.group("name")
            realigned.setdefault(current, False)
            continue
        match = INSTRUCTION.match(line)
        if not match or current is None:
            continue
        mnemonic = match.group("mnemonic")
        operands = match.group("operands").strip()
        if REALIGN.match(mnemonic) and REALIGN_OPERANDS.match(operands):
            realigned[current] = True
        elif current not in first_fault and needs_alignment(mnemonic, operands):
            # Only a realignment before the access counts.
            if not realigned[current]:
                first_fault[current] = (match.group("address"), f"{mnemonic} {operands}")
    for name, (address, instruction) in first_fault.items():
        parent = parent_function(name)
        if parent == name or not realigned.get(parent, False):
            yield name, address, instruction


def code_sections(exe):
    """The bytes of a PE file's executable sections, with their addresses."""
    data = pathlib.Path(exe).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{exe}: not a PE file")
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        virtual_size, address, raw_size, raw_at = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        flags = struct.unpack_from("<I", data, table + 40 * i + 36)[0]
        if flags & 0x20000000:  # IMAGE_SCN_MEM_EXECUTE
            sections.append((address, data[raw_at:raw_at + min(virtual_size, raw_size)]))
    return sections


def twin_with_names(exe, folder):
    """The program in `folder` whose code is byte for byte `exe`'s."""
    code = code_sections(exe)
    for candidate in sorted(pathlib.Path(folder).glob("*.exe")):
        if code_sections(candidate) == code:
            return str(candidate)
    return None


def disassembly(objdump, exe):
    result = subprocess.run([objdump, "-d", "--no-show-raw-insn", exe], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{exe}: {objdump} failed: {result.stderr.strip()}")
    return result.stdout.splitlines()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--symbols", help="a folder of the same programs before they were stripped")
    parser.add_argument("executables", nargs="+")
    arguments = parser.parse_args()
    faults = 0
    for exe in arguments.executables:
        lines = disassembly(arguments.objdump, exe)
        if not has_function_names(lines):
            twin = twin_with_names(exe, arguments.symbols) if arguments.symbols else None
            if twin is None:
                sys.exit(f"{exe}: stripped, and no program with the same code and its symbols was given (--symbols)")
            lines = disassembly(arguments.objdump, twin)
        for name, address, instruction in scan(lines):
            print(f"{exe}: {name} at 0x{address} uses an aligned stack slot without realigning: {instruction}")
            faults += 1
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
