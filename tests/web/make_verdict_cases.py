#!/usr/bin/env python3
"""Writes tests/data/verdict_cases.tsv: expected answers and typed texts in
every family that the verdicts tell apart (right, capitals, spaces, one and two
edits, anagrams, texts too short or too long, accents, the short-answer rule),
each for both views, with the verdict the native core gives (quizmake grade).
The native tests, the module under node and the browsers all check it.

Usage: make_verdict_cases.py QUIZMAKE > tests/data/verdict_cases.tsv
Typed texts are as a player types them (UTF-8, composed): the page reads the
typographic apostrophe as ' and a character that code page 1252 cannot hold
as '?', so the core is asked about the text so converted.
"""

import random
import subprocess
import sys

EXPECTED = [
    "TOUR EIFFEL", "PHARE", "BATEAU", "CHATEAU DE SABLE", "ETOILE", "ÉTOILE", "FORÊT", "forêt", "CŒUR", "cœur",
    "ARC-EN-CIEL", "L'ÉTÉ", "AUJOURD'HUI", "OUI", "AB", "ÉTÉ", "MER", "NOËL", "GARÇON", "LA TOUR DE PISE",
    "ABCDEFGHIJ", "ABCDEFGHIJKLMNOP", "1789", "ÎLE", "PÂQUES", "", "A", "œuf", "CAFÉ CRÈME", "SAINT-MALO",
    "MONT SAINT-MICHEL", "ÆSOPE", "Ça", "HÔPITAL", "NAÏF", "ZÈBRE",
]

ACCENTS = str.maketrans("ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸàâäçéèêëîïôöùûüÿ", "AAACEEEEIIOOUUUYaaaceeeeiioouuuy")


def variants(expected, rng):
    lower = expected.lower()
    text = lower if lower else "x"
    half = max(1, len(text) // 2)
    out = [
        expected, lower, expected.upper(), "  " + lower + "  ", lower.replace(" ", "   "),
        text[:-1], text + "s", text[1:], text[:half] + "z" + text[half + 1:],
        text[:half] + text[half + 1:][:1] + text[half:half + 1] + text[half + 2:],  # neighbours exchanged
        text[:-2], text + "xy", "".join(sorted(text)), "".join(reversed(text)),
        text[: int(len(text) * 0.75)], text[: int(len(text) * 0.55)], text[: int(len(text) * 0.4)],
        lower + " de paris", "le " + lower, "", "   ", "quelque chose", lower.translate(ACCENTS),
        expected.translate(ACCENTS), lower.replace("œ", "oe").replace("æ", "ae"), lower.replace("'", "’"),
        lower.capitalize(),
    ]
    spread = list(text)
    for at in (1, len(spread) // 2, len(spread) - 2):  # three edits apart
        if 0 <= at < len(spread):
            spread[at] = "q"
    out.append("".join(spread))
    shuffled = list(text)
    rng.shuffle(shuffled)
    out.append("".join(shuffled))
    seen = []
    for typed in out:
        if typed not in seen:
            seen.append(typed)
    return seen


def core_text(typed):
    converted = typed.replace("’", "'")
    return "".join(c if c.encode("cp1252", errors="ignore") else "?" for c in converted)


def grade(quizmake, expected, typed, overview):
    command = [quizmake, "grade"] + (["--overview"] if overview else []) + ["--", expected, core_text(typed)]
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout.rstrip("\n")


def main():
    quizmake = sys.argv[1]
    rng = random.Random(2026)
    print("# expected\ttyped\tview\tverdict  (made by tests/web/make_verdict_cases.py from the native core)")
    for expected in EXPECTED:
        for typed in variants(expected, rng):
            for view in ("single", "overview"):
                verdict = grade(quizmake, expected, typed, view == "overview")
                print(f"{expected}\t{typed}\t{view}\t{verdict}")


if __name__ == "__main__":
    main()
