#!/usr/bin/env python3
"""Draws the program's icon (a blue letter Q) and its warning variant, its hand pointer and the pointer the folder
list shows while an entry is dragged, and writes them as Windows .ico and .cur files. Run it again after changing a drawing; the outputs are kept
in the repository so a build needs no Python."""
import math
import struct


def ico_image(size, pixel):
    """One 32-bit BGRA image (bottom-up) with its AND mask, as stored inside .ico/.cur."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):
        row = b''
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytes(mask_row_bytes * size)  # alpha carries the shape
    return header + b''.join(rows) + mask


def container(kind, images, hotspots):
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = b''
    for (size, data), (hx, hy) in zip(images, hotspots):
        w = 0 if size == 256 else size
        out += struct.pack('<BBBBHHII', w, w, 0, 0, hx, hy, len(data), offset)
        offset += len(data)
        blobs += data
    return out + blobs


def q_pixel(x, y, size):
    """A white Q on a blue disc."""
    s = size / 32.0
    cx, cy = 16 * s - 0.5, 16 * s - 0.5
    d = math.hypot(x - cx, y - cy)
    if d > 15.5 * s:
        return (0, 0, 0, 0)
    blue = (28, 92, 196, 255)
    edge = (16, 60, 140, 255)
    if d > 14.2 * s:
        return edge
    # The letter: a ring, and a tail from the centre towards the lower right.
    ring = 5.2 * s <= math.hypot(x - cx, (y - cy) * 1.05) <= 8.6 * s
    tx, ty = x - (cx + 3 * s), y - (cy + 3 * s)
    along = (tx + ty) / math.sqrt(2)
    across = abs(tx - ty) / math.sqrt(2)
    tail = -1.0 * s <= along <= 8.0 * s and across <= 1.9 * s
    if ring or tail:
        return (255, 255, 255, 255)
    return blue


# The warning badge over the Q: an amber triangle with a black exclamation mark, in the lower
# right, where it stays clear of most of the letter. Corners in 32-pixel units.
BADGE = [(22.5, 13.0), (32.0, 31.5), (13.0, 31.5)]


def warning_pixel(x, y, size):
    """The Q marked for a backup that did not complete cleanly."""
    s = size / 32.0
    ux, uy = (x + 0.5) / s, (y + 0.5) / s
    if inside([(cx * s - 0.5, cy * s - 0.5) for cx, cy in BADGE], x, y):
        edge = not all(inside([(cx * s - 0.5, cy * s - 0.5) for cx, cy in BADGE], x + dx, y + dy)
                       for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
        if edge:
            return (60, 40, 0, 255)
        bar = abs(ux - 22.5) <= 1.3 and 18.5 <= uy <= 26.0
        dot = abs(ux - 22.5) <= 1.3 and 27.5 <= uy <= 29.6
        if bar or dot:
            return (0, 0, 0, 255)
        return (250, 176, 20, 255)
    return q_pixel(x, y, size)


HAND = [
    "......XX........",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..XXX.....",
    ".....X..X..XXX..",
    ".....X..X..X..XX",
    ".XXX.X..X..X..XX",
    "X..XX........X.X",
    "X...X..........X",
    ".X.............X",
    "..X............X",
    "..X...........X.",
    "...X..........X.",
    "....X........X..",
    ".....XXXXXXXXX..",
]


def hand_pixel(x, y, size):
    """The hand pointer drawn at twice the pattern's scale: black outline, white fill."""
    px, py = x // 2, y // 2
    if py >= len(HAND) or px >= len(HAND[0]):
        return (0, 0, 0, 0)
    if HAND[py][px] == 'X':
        return (0, 0, 0, 255)
    row = HAND[py]
    left = row.find('X')
    right = row.rfind('X')
    inside = left != -1 and left < px < right
    # The finger column between its outlines, and the palm below the knuckles, fill white.
    return (255, 255, 255, 255) if inside else (0, 0, 0, 0)


def inside(polygon, x, y):
    """Even-odd test of a pixel's centre against a polygon of (x, y) corners."""
    px, py = x + 0.5, y + 0.5
    result = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


# The drag pointer: an arrow whose tip is the hot spot (the top left corner), carrying a list
# entry with arrowheads above and below it: the entry goes up or down.
DRAG_ARROW = [(0, -1.5), (0, 17), (4, 13), (7, 20), (10, 19), (7, 12), (13, 12)]
DRAG_ENTRY = [(12, 18), (31, 18), (31, 25), (12, 25)]
DRAG_UP = [(21.5, 11), (27, 16.5), (16, 16.5)]
DRAG_DOWN = [(16, 26.5), (27, 26.5), (21.5, 32)]


def drag_shape(x, y):
    if inside(DRAG_ARROW, x, y):
        return 'arrow'
    if inside(DRAG_ENTRY, x, y):
        return 'entry'
    if inside(DRAG_UP, x, y) or inside(DRAG_DOWN, x, y):
        return 'head'
    return None


def drag_pixel(x, y, size):
    """Black outlines; a white arrow, a blue entry, blue arrowheads."""
    shape = drag_shape(x, y)
    if shape is None:
        return (0, 0, 0, 0)
    edge = any(drag_shape(x + dx, y + dy) != shape
               for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1))
               if 0 <= x + dx < size and 0 <= y + dy < size) or x in (0, size - 1) and shape != 'arrow'
    if edge or (shape == 'arrow' and (x == 0 or y == 0)):
        return (0, 0, 0, 255)
    if shape == 'arrow':
        return (255, 255, 255, 255)
    return (28, 92, 196, 255)


if __name__ == '__main__':
    icons = [(s, ico_image(s, q_pixel)) for s in (16, 32, 48)]
    with open('Tessaline.ico', 'wb') as f:
        f.write(container(1, icons, [(1, 32)] * len(icons)))
    warnings = [(s, ico_image(s, warning_pixel)) for s in (16, 32, 48)]
    with open('Tessaline-warning.ico', 'wb') as f:
        f.write(container(1, warnings, [(1, 32)] * len(warnings)))
    with open('HAND-M.CUR', 'wb') as f:
        f.write(container(2, [(32, ico_image(32, hand_pixel))], [(12, 0)]))
    with open('drag.ico', 'wb') as f:
        f.write(container(1, [(32, ico_image(32, drag_pixel))], [(1, 32)]))
