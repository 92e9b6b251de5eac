#!/usr/bin/env python3
"""Draws the program icon, three varbules on the dark blue background, and writes it as a
32 by 32 icon with a 256-colour palette: src/resources/varbule.ico. Run it again only to
change the picture; the icon file itself is kept in the repository."""
import struct
import sys

SIZE = 32
BACKGROUND = (0, 0, 128)
DISCS = [  # centre x, centre y, radius, colour (r, g, b); drawn in this order
    (11, 11, 8, (255, 95, 63)),
    (22, 14, 6, (255, 223, 79)),
    (15, 23, 7, (95, 207, 255)),
]


def render():
    palette = [BACKGROUND, (255, 255, 255)] + [colour for *_, colour in DISCS]
    pixels = [[0] * SIZE for _ in range(SIZE)]
    for index, (cx, cy, r, _) in enumerate(DISCS, start=2):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    pixels[y][x] = index
    # A white glint on each disc, as if it were lit from the top left.
    for cx, cy, r, _ in DISCS:
        pixels[cy - r // 2][cx - r // 2] = 1
    return palette + [(0, 0, 0)] * (256 - len(palette)), pixels


def icon_bytes(palette, pixels):
    and_mask = bytes(SIZE * SIZE // 8)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, SIZE * SIZE + len(and_mask), 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    rows = b"".join(bytes(row) for row in reversed(pixels))  # bottom-up
    image = header + colours + rows + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "src/resources/varbule.ico"
    with open(out, "wb") as f:
        f.write(icon_bytes(*render()))
