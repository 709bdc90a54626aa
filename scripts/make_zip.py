#!/usr/bin/env python3
"""Writes a zip of a folder that is the same bytes for the same files: entries
in a fixed order (the order given, then any others sorted), every date the
same, no owner or permission from the build machine."""
import os
import sys
import zipfile

FIXED_DATE = (1980, 1, 1, 0, 0, 0)


def entries(folder, first):
    names = []
    for root, _dirs, files in os.walk(folder):
        for name in files:
            names.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/"))
    rest = sorted(n for n in names if n not in first)
    return [n for n in first if n in names] + rest


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_zip.py FOLDER OUT.zip [FIRST ENTRIES...]")
    folder, out = sys.argv[1], sys.argv[2]
    with zipfile.ZipFile(out, "w") as archive:
        for name in entries(folder, sys.argv[3:]):
            info = zipfile.ZipInfo(name, date_time=FIXED_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode stored
            info.external_attr = 0
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
