#!/usr/bin/env python3
"""Writes the sample tree that "Load Sample/Example Folders" puts in the folder list: a few
folders over three levels holding short texts, two small pictures drawn here and two small
spreadsheets as CSV, so a first backup has real files to copy. Run it again after changing a
file below; the tree is kept in the repository so a build needs no Python."""
import math
import os
import shutil
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, 'Samples')


def text(lines):
    """Windows text: CR LF after every line."""
    return ''.join(line + '\r\n' for line in lines).encode('ascii')


def png(width, height, pixel):
    """An 8-bit RGB PNG of pixel(x, y) -> (r, g, b)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    rows = b''.join(
        b'\x00' + b''.join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows, 9))
            + chunk(b'IEND', b''))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def lighthouse(x, y):
    """A lighthouse on a rock at sunset, 96 x 64."""
    w, h = 96, 64
    horizon = 42
    sun = math.hypot(x - 70, y - 30)
    if y < horizon:
        colour = mix((58, 84, 160), (250, 176, 96), y / horizon)
        if sun < 9:
            colour = (255, 226, 120)
        elif sun < 12:
            colour = mix((255, 226, 120), colour, (sun - 9) / 3)
    else:
        wave = math.sin(x / 3.0 + y) * 0.08
        colour = mix((40, 70, 130), (20, 36, 80), (y - horizon) / (h - horizon) + wave)
        if abs(x - 70) < 10 - (y - horizon) / 3 and (x + y) % 3 == 0:
            colour = (240, 170, 90)  # the sun's path on the water
    # The rock and the tower with its red bands, a lantern and its beam.
    if y >= 46 and abs(x - 24) < (y - 40) * 1.6:
        colour = (70, 62, 56)
    top, bottom = 14, 47
    if top <= y <= bottom:
        half = 3 + (y - top) * 3 / (bottom - top)
        if abs(x - 24) <= half:
            colour = (200, 40, 40) if (y - top) // 6 % 2 else (245, 245, 240)
    if 9 <= y < 14 and abs(x - 24) <= 3:
        colour = (255, 240, 150)
    if 8 <= y <= 15 and 27 < x < w and abs((y - 11.5) - (x - 27) * 0.05) < 1 + (x - 27) * 0.04:
        colour = mix(colour, (255, 250, 200), 0.5)
    return colour


def squares(x, y):
    """Overlapping coloured squares, 48 x 48."""
    colour = (250, 250, 245)
    for left, top, size, fill in ((4, 6, 24, (230, 90, 70)), (16, 14, 22, (70, 140, 220)),
                                  (24, 24, 20, (90, 180, 100))):
        if left <= x < left + size and top <= y < top + size:
            edge = x in (left, left + size - 1) or y in (top, top + size - 1)
            colour = (40, 40, 40) if edge else mix(colour, fill, 0.8)
    return colour


FILES = {
    'Documents/Read me first.txt': text([
        'These folders are samples that come with Tessaline.',
        '',
        'Load Sample/Example Folders puts every folder of this tree in the list, choose a',
        'destination and press Backup Now (Test): the destination then holds a copy of each',
        'folder, and View History Log shows one line for each.',
        '',
        'Change a file here and back up again to see only the new copy replace the old one.',
    ]),
    'Documents/Letters/Thank you.txt': text([
        'Dear Marit,',
        '',
        'thank you for the seeds from your garden. The tomatoes came up within a week and the',
        'basil is already taller than the pot.',
        '',
        'With warm regards,',
        'Jonas',
    ]),
    'Documents/Letters/Drafts/Invitation.txt': text([
        'Draft - not sent yet',
        '',
        'You are invited to a small picnic by the lake on Saturday at noon.',
        'Bring a blanket; we bring bread, cheese and lemonade.',
    ]),
    'Documents/Notes/Shopping list.txt': text([
        '- flour',
        '- 6 eggs',
        '- apples',
        '- light bulbs (2)',
        '- stamps',
    ]),
    'Pictures/Lighthouse.png': png(96, 64, lighthouse),
    'Pictures/Sketches/Squares.png': png(48, 48, squares),
    'Spreadsheets/Household budget.csv': text([
        'Month,Rent,Food,Power,Travel,Savings',
        'January,650,310,72,45,120',
        'February,650,295,68,30,150',
        'March,650,320,61,80,100',
        'April,650,305,55,25,160',
    ]),
    'Spreadsheets/Yearly/Rainfall.csv': text([
        'Month,Rainfall (mm),Rainy days',
        'January,78,14',
        'February,61,11',
        'March,55,12',
        'April,42,9',
        'May,58,10',
        'June,67,11',
    ]),
}

if __name__ == '__main__':
    shutil.rmtree(ROOT, ignore_errors=True)
    for path, data in FILES.items():
        target = os.path.join(ROOT, *path.split('/'))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, 'wb') as f:
            f.write(data)
