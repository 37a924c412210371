#!/usr/bin/env python3
"""Draws the directory chooser's pictures, each 16 x 16 on an opaque white
background, side by side in one strip: tree_images.bmp (resource 106), 48 x 16
with 4 bits per pixel and a palette of the colours they use (biClrUsed). The
image list cuts the strip into its pictures in the order of STRIP: open
folder (image 0), closed folder (1), drive (2). One bitmap of 4 bits per pixel
takes about half the room of three of 8.
Edit the pictures below and run this script to redraw it."""
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
    'folder_closed': [
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
    'folder_open': [
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
    'drive': [
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


STRIP = ('folder_open', 'folder_closed', 'drive')


def pixel_rows(pictures):
    """The strip's rows, top row first, each a list of palette indexes."""
    return [[ORDER.index(c) for name in pictures for c in PICTURES[name][y]]
            for y in range(16)]


def bitmap(rows):
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0)
                       for r, g, b in (COLOURS[c] for c in ORDER))
    width = len(rows[0])
    assert width % 8 == 0 and len(ORDER) <= 16  # whole 4-byte rows, 4 bits
    pixels = b''.join(bytes(row[x] << 4 | row[x + 1] for x in range(0, width, 2))
                      for row in reversed(rows))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, len(rows), 1, 4, 0, len(pixels),
                       2835, 2835, len(ORDER), 0)
    return header + info + palette + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in PICTURES.items():
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
    with open(os.path.join(here, 'tree_images.bmp'), 'wb') as out:
        out.write(bitmap(pixel_rows(STRIP)))


if __name__ == '__main__':
    main()
