#!/usr/bin/env python3
"""Writes the example's icons, 16 x 16 PNG files drawn below as text ('#' is
black, '.' white), into icons/. Run it after changing a drawing; the PNG files
are kept in the repository, as a project keeps the icons it draws."""

import pathlib
import struct
import zlib

ICONS = {
    "arrow": [
        "................",
        ".......##.......",
        "......####......",
        ".....######.....",
        "....###..###....",
        "...###....###...",
        "..###......###..",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        "................",
    ],
    "bell": [
        ".......##.......",
        "......####......",
        ".....#....#.....",
        "....#......#....",
        "....#......#....",
        "....#......#....",
        "...#........#...",
        "...#........#...",
        "...#........#...",
        "..#..........#..",
        "..#..........#..",
        ".##############.",
        "................",
        "......####......",
        ".......##.......",
        "................",
    ],
    "heart": [
        "................",
        "..####....####..",
        ".######..######.",
        "################",
        "################",
        "################",
        ".##############.",
        "..############..",
        "...##########...",
        "....########....",
        ".....######.....",
        "......####......",
        ".......##.......",
        "................",
        "................",
        "................",
    ],
    "smiley": [
        ".....######.....",
        "...##......##...",
        "..#..........#..",
        ".#............#.",
        ".#...##..##...#.",
        "#....##..##....#",
        "#..............#",
        "#..............#",
        "#..#........#..#",
        "#...#......#...#",
        ".#...######...#.",
        ".#............#.",
        "..#..........#..",
        "...##......##...",
        ".....######.....",
        "................",
    ],
}


def png(rows):
    """A one-bit greyscale PNG of the rows: 0 is black, 1 white."""
    width, height = len(rows[0]), len(rows)
    raw = b""
    for row in rows:
        bits = "".join("0" if c == "#" else "1" for c in row)
        bits += "1" * (-len(bits) % 8)
        raw += b"\0" + bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 1, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    folder = pathlib.Path(__file__).resolve().parent / "icons"
    folder.mkdir(exist_ok=True)
    for name, rows in ICONS.items():
        assert len(rows) == 16 and all(len(row) == 16 for row in rows), name
        (folder / f"{name}.png").write_bytes(png(rows))


if __name__ == "__main__":
    main()
