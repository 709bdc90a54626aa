#!/usr/bin/env python3
"""Writes hand.cur (the link's pointing hand, hot spot 6, 0) and zorbel.ico
(the program icon) from the pixel drawings below. Run once; the outputs are
committed."""
import struct

HAND = """
......##........................
.....#..#.......................
.....#..#.......................
.....#..#.......................
.....#..#.......................
.....#..###.....................
.....#..#..###..................
.....#..#..#..##................
..##.#..#..#..#.#...............
.#..##..#..#..#..#..............
.#...#........#..#..............
..#..#...........#..............
..#..............#..............
...#.............#..............
...#............#...............
....#...........#...............
....#..........#................
.....#.........#................
.....#.........#................
.....##########.................
"""
# The drawing's tip of the index finger is at x 6, y 0.
HOT_SPOT = (6, 0)


def hand_rows():
    rows = [line for line in HAND.strip("\n").split("\n")]
    rows += ["." * 32] * (32 - len(rows))
    return [row.ljust(32, ".") for row in rows]


def inside(rows):
    """Pixels enclosed by the outline, found by filling the outside from the corners."""
    outside = set()
    stack = [(0, 0)]
    while stack:
        x, y = stack.pop()
        if not (0 <= x < 32 and 0 <= y < 32) or (x, y) in outside or rows[y][x] == "#":
            continue
        outside.add((x, y))
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    return {(x, y) for y in range(32) for x in range(32) if (x, y) not in outside and rows[y][x] != "#"}


def mask_rows(predicate):
    """32 rows of 32 one-bit pixels, bottom row first, 4 bytes a row."""
    data = b""
    for y in reversed(range(32)):
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if predicate(x, y) else 0)
        data += struct.pack(">I", bits)
    return data


def write_cursor(path):
    rows = hand_rows()
    filled = inside(rows)
    # Screen = (screen AND and-mask) XOR xor-mask: outline black, inside white, rest unchanged.
    and_mask = mask_rows(lambda x, y: rows[y][x] != "#" and (x, y) not in filled)
    xor_mask = mask_rows(lambda x, y: (x, y) in filled)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, *HOT_SPOT, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def write_icon(path):
    """A 32 x 32 question bubble in the quiz's green, 32 bits with alpha."""
    question = [
        "..........######..........",
        "........##########........",
        ".......###......###.......",
        "...............####.......",
        ".............####.........",
        "...........####...........",
        "...........###............",
        "...........###............",
        "..........................",
        "...........###............",
        "...........###............",
    ]
    pixels = []
    for y in range(32):
        row = []
        for x in range(32):
            dx, dy = x - 15.5, y - 15.5
            if dx * dx + dy * dy > 15.5 * 15.5:
                row.append((0, 0, 0, 0))
                continue
            qy, qx = y - 9, x - 3
            if 0 <= qy < len(question) and 0 <= qx < len(question[qy]) and question[qy][qx] == "#":
                row.append((255, 255, 255, 255))
            elif dx * dx + dy * dy > 14 * 14:
                row.append((30, 120, 95, 255))
            else:
                row.append((163, 203, 53, 255))  # blue, green, red: the quiz's green
        pixels.append(row)
    xor = b"".join(struct.pack("<4B", *p) for row in reversed(pixels) for p in row)
    and_mask = mask_rows(lambda x, y: pixels[y][x][3] == 0)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    write_cursor("hand.cur")
    write_icon("zorbel.ico")
