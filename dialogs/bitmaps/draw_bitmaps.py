#!/usr/bin/env python3
"""Draws the directory chooser's pictures as 16 x 16 bitmaps with 8 bits per
pixel and a palette of the colours they use (biClrUsed), on an opaque white
background:
folder_open.bmp (resource 106), folder_closed.bmp (107) and drive.bmp (108).
Edit the pictures below and run this script to redraw them."""
import os
import struct

COLOURS = {
    '.': (255, 255, 255),  # background
    'k': (0, 0, 0),        # outline
    'y': (255, 214, 66),   # folder
    'Y': (214, 160, 32),   # folder, shaded
    'w': (224, 224, 224),  # drive, top
    'g': (176, 176, 176),  # drive, front
    'G': (112, 112, 112),  # drive, shadow
    'l': (0, 200, 0),      # drive light
}
ORDER = '.kyYwgGl'

PICTURES = {
    'folder_closed.bmp': [
        '................',
        '................',
        '..kkkkk.........',
        '.kyyyyyk........',
        '.kyyyyyykkkkkkk.',
        '.kYYYYYYYYYYYYk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kyyyyyyyyyyyyk.',
        '.kkkkkkkkkkkkkk.',
        '................',
        '................',
    ],
    'folder_open.bmp': [
        '................',
        '................',
        '..kkkkk.........',
        '.kYYYYYk........',
        '.kYYYYYYkkkkkk..',
        '.kYYYYYYYYYYYk..',
        '.kYYkkkkkkkkkkkk',
        '.kYkyyyyyyyyyyyk',
        '.kYkyyyyyyyyyyk.',
        '.kkyyyyyyyyyyyk.',
        '.kkyyyyyyyyyyk..',
        '.kyyyyyyyyyyyk..',
        '.kyyyyyyyyyyk...',
        '.kkkkkkkkkkkk...',
        '................',
        '................',
    ],
    'drive.bmp': [
        '................',
        '................',
        '................',
        '................',
        '................',
        '..kkkkkkkkkkkk..',
        '.kwwwwwwwwwwwwk.',
        '.kwwwwwwwwwwwwk.',
        '.kggggggggggggk.',
        '.kgggggggggllgk.',
        '.kggggggggggggk.',
        '.kGGGGGGGGGGGGk.',
        '..kkkkkkkkkkkk..',
        '................',
        '................',
        '................',
    ],
}


def bitmap(rows):
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0)
                       for r, g, b in (COLOURS[c] for c in ORDER))
    pixels = b''.join(bytes(ORDER.index(c) for c in row) for row in reversed(rows))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, 16, 16, 1, 8, 0, len(pixels),
                       2835, 2835, len(ORDER), 0)
    return header + info + palette + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in PICTURES.items():
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
        with open(os.path.join(here, name), 'wb') as out:
            out.write(bitmap(rows))


if __name__ == '__main__':
    main()
