#!/usr/bin/env python3
"""Draws the monitor's pictures: toolbar.bmp (nine 16x15 images, 16 colours), the same at 24x22
and 32x30 (toolbar24.bmp, toolbar32.bmp) for higher display scales, and vigilo.ico
(32x32 and 16x16, 16 colours). Run it from anywhere; it writes next to itself.
With --preview DIR it also writes enlarged PNG copies for a look."""
import os
import struct
import sys
import zlib

# The 16 standard colours, indexed by the letters used in the drawings below.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0x80, 0x80, 0x80),
    (0xC0, 0xC0, 0xC0), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
KEYS = {
    'k': 0, 'R': 1, 'G': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, 'g': 7,
    '.': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'm': 13, 'c': 14, 'w': 15,
}
# '.' is the light grey the toolbar shows as its button face.

TOOLBAR = [
    # 0 start saving: a document with an arrow pointing into it
    ["................",
     ".....kkkkkkkk...",
     ".....kwwwwwwkk..",
     ".....kwwwwwwkwk.",
     ".....kwwwwwwkkkk",
     ".....bwwwwwwwwwk",
     ".....bbwggggggwk",
     "bbbbbbbbwwwwwwwk",
     "bbbbbbbbbgggggwk",
     "bbbbbbbbwwwwwwwk",
     ".....bbwggggggwk",
     ".....bwwwwwwwwwk",
     ".....kwwwwwwwwwk",
     ".....kkkkkkkkkkk",
     "................"],
    # 1 stop saving: a red square
    ["................",
     "................",
     "..RRRRRRRRRRRR..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rrrrrrrrrrrk..",
     "..Rkkkkkkkkkkk..",
     "................",
     "................"],
    # 2 paste: a clipboard
    ["......kkkk......",
     "..oooko..kooo...",
     ".oooogggggoooo..",
     ".ookkkkkkkkkoo..",
     ".ookwwwwwwwkoo..",
     ".ookwkkkkkwkoo..",
     ".ookwwwwwwwkoo..",
     ".ookwkkkkwwkoo..",
     ".ookwwwwwwwkoo..",
     ".ookwkkkkkwkoo..",
     ".ookwwwwwwwkoo..",
     ".ookwkkkwwwkoo..",
     ".ookwwwwwwwkoo..",
     ".ookkkkkkkkkoo..",
     "..oooooooooooo.."],
    # 3 copy: two documents
    ["kkkkkkk.........",
     "kwwwwwkk........",
     "kwkkkwkwk.......",
     "kwwwwwkkkk......",
     "kwkkkkkkkkkkk...",
     "kwwwwkwwwwwkkk..",
     "kwkkkkwkkkwkwkk.",
     "kwwwwkwwwwwkkkk.",
     "kwkkkkwkkkkkkwk.",
     "kwwwwkwwwwwwwwk.",
     "kkkkkkwkkkkkkwk.",
     "......wwwwwwwwk.",
     "......kkkkkkkkk.",
     "................",
     "................"],
    # 4 select all and copy: two documents over the letters ALL
    ["kkkkk...........",
     "kwwwkk..........",
     "kwkkkkkkk.......",
     "kwwwkwwwkk......",
     "kwkkkwkkwkk.....",
     "kwwwkwwwwwk.....",
     "kkkkkwkkkwk.....",
     ".....wwwwwk.....",
     ".....kkkkkk.....",
     "................",
     "..n...n....n....",
     ".n.n..n....n....",
     ".nnn..n....n....",
     ".n.n..n....n....",
     ".n.n..nnn..nnn.."],
    # 5 select all: text lines in a dashed selection frame
    ["kk.kk.kk.kk.kk..",
     "k.............k.",
     "..nnnnnnnnnn....",
     "k.............k.",
     "k.nnnnnnnn......",
     "...............k",
     "..nnnnnnnnnnn..k",
     "k...............",
     "k.nnnnnn.......k",
     "...............k",
     "..nnnnnnnnnn....",
     "k.............k.",
     "k.nnnnnnn.....k.",
     "................",
     "kk.kk.kk.kk.kk.."],
    # 6 erase all: an eraser
    ["................",
     "................",
     ".........kkkkk..",
     "........kmmmmmk.",
     ".......kmmmmmkk.",
     "......kmmmmmkpk.",
     ".....kmmmmmkpk..",
     "....kwwwwwkpk...",
     "...kwwwwwkpk....",
     "..kwwwwwkpk.....",
     "..kwwwwkpk......",
     "..kkkkkkk.......",
     "................",
     "ggggggggggggg...",
     "................"],
    # 7 settings: a window with a wrench
    ["kkkkkkkkkkk.....",
     "knnnnnnnwnwk....",
     "kkkkkkkkkkk..gg.",
     "kwwwwwwwwwk.gg..",
     "kwwwwwwwwwkgg..g",
     "kwwwwwwwwwkggggg",
     "kwwwwwwwwwgggggk",
     "kwwwwwwwwgggkkk.",
     "kkkkkkkkgggk....",
     ".......gggk.....",
     "......gggk......",
     ".....gggk.......",
     "....gggk........",
     "...gggk.........",
     "...gkk.........."],
    # 8 help: a question mark
    ["................",
     ".....nnnnnn.....",
     "....nnbbbbnnn...",
     "...nnbb..bbnn...",
     "...nbb....bbn...",
     "..........bbn...",
     ".........bbnn...",
     "........bbnn....",
     ".......bbnn.....",
     ".......bbn......",
     ".......bbn......",
     "................",
     ".......bbn......",
     ".......bbn......",
     "................"],
]


def parse(rows, width, height):
    assert len(rows) == height, (len(rows), rows)
    for row in rows:
        assert len(row) == width, (len(row), row)
    return [[KEYS[c] for c in row] for row in rows]


def icon_pixels(size):
    """A monitor screen showing console lines, on a stand; 'None' marks transparency."""
    px = [[None] * size for _ in range(size)]
    s = size / 32.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    rect(1, 2, 31, 24, 0)       # outer frame
    rect(2, 3, 30, 23, 7)       # bezel
    rect(4, 5, 28, 21, 4)       # screen (navy)
    for i, (y, length) in enumerate([(7, 18), (10, 12), (13, 21), (16, 9)]):
        rect(6, y, 6 + length, y + 2, 15 if i % 2 == 0 else 11)
    rect(20, 16, 22, 18, 10)    # caret block
    rect(13, 24, 19, 27, 7)     # neck
    rect(8, 27, 24, 30, 0)      # foot outline
    rect(9, 28, 23, 29, 8)
    return px


def bmp_4bit(rows):
    """A bottom-up BI_RGB 4-bit bitmap file with the standard palette."""
    height = len(rows)
    width = len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            line.append((hi << 4) | lo)
        line += b'\0' * (stride - len(line))
        data += line
    palette = b''.join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return header + info + palette + bytes(data)


def ico_image(pixels):
    """One 4-bit icon image (BITMAPINFOHEADER, palette, XOR bits, AND mask)."""
    size = len(pixels)
    colour_rows = [[0 if p is None else p for p in row] for row in pixels]
    bmp = bmp_4bit(colour_rows)
    dib = bmp[14:]
    info = bytearray(dib[:40])
    struct.pack_into('<i', info, 8, size * 2)  # icon height counts XOR and AND parts
    struct.pack_into('<I', info, 20, 0)
    body = bytes(info) + dib[40:]
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return body + bytes(mask)


def ico_file(images):
    header = struct.pack('<HHH', 0, 1, len(images))
    entries = b''
    blobs = b''
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob = ico_image(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset + len(blobs))
        blobs += blob
    return header + entries + blobs


def png(pixels, scale, path):
    """An enlarged RGB PNG of the pixels, transparency shown as magenta-free light grey."""
    rows = []
    for row in pixels:
        line = b''.join(bytes(PALETTE[8 if p is None else p]) * scale for p in row)
        rows += [line] * scale
    width = len(pixels[0]) * scale
    raw = b''.join(b'\0' + line for line in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    ihdr = struct.pack('>IIBBBBB', width, len(rows), 8, 2, 0, 0, 0)
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw))
                  + chunk(b'IEND', b''))


def scaled(image, width, height):
    """The drawing at another size, each pixel taken from the source pixel it falls on."""
    src_h, src_w = len(image), len(image[0])
    return [[image[y * src_h // height][x * src_w // width] for x in range(width)] for y in range(height)]


# The toolbar at each display scale: 16 x 15 at 96 DPI, 24 x 22 at 144, 32 x 30 at 192.
TOOLBAR_SIZES = [('toolbar.bmp', 16, 15), ('toolbar24.bmp', 24, 22), ('toolbar32.bmp', 32, 30)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    images = [parse(rows, 16, 15) for rows in TOOLBAR]
    assert len(images) == 9
    for name, width, height in TOOLBAR_SIZES:
        sized = [scaled(img, width, height) for img in images]
        row_strip = [sum((img[y] for img in sized), []) for y in range(height)]
        with open(os.path.join(here, name), 'wb') as out:
            out.write(bmp_4bit(row_strip))
    strip = [sum((img[y] for img in images), []) for y in range(15)]
    icons = [icon_pixels(32), icon_pixels(16)]
    with open(os.path.join(here, 'vigilo.ico'), 'wb') as out:
        out.write(ico_file(icons))
    if len(sys.argv) == 3 and sys.argv[1] == '--preview':
        png(strip, 8, os.path.join(sys.argv[2], 'toolbar.png'))
        png(icons[0], 8, os.path.join(sys.argv[2], 'icon32.png'))
        png(icons[1], 8, os.path.join(sys.argv[2], 'icon16.png'))


if __name__ == '__main__':
    main()
