#!/usr/bin/env python3
"""Draws the tool-bar pictures and the program icon of Folivo as BMP files.

Run it from anywhere; it writes the .bmp files next to itself (res/), where
the build picks up every *.bmp and embeds it in the executable, and the icon
for the desktop's menus as a PNG at its drawn size into ../data/icons/
(installed, not embedded).

The tool-bar pictures are 16-colour bitmaps.  The program treats the colour
of a picture's bottom-left pixel as transparent, so every tool-bar picture
is painted on silver and keeps its bottom-left pixel silver.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICONS = os.path.join(HERE, '..', 'data', 'icons')
APP_ID = 'org.example.folivo'

# The classic 16-colour palette, in the usual order, so that the files look
# right in any editor that assumes it.
PALETTE16 = [
    (0, 0, 0),        # 0 black
    (128, 0, 0),      # 1 maroon
    (0, 128, 0),      # 2 green
    (128, 128, 0),    # 3 olive
    (0, 0, 128),      # 4 navy
    (128, 0, 128),    # 5 purple
    (0, 128, 128),    # 6 teal
    (192, 192, 192),  # 7 silver
    (128, 128, 128),  # 8 grey
    (255, 0, 0),      # 9 red
    (0, 255, 0),      # 10 lime
    (255, 255, 0),    # 11 yellow
    (0, 0, 255),      # 12 blue
    (255, 0, 255),    # 13 fuchsia
    (0, 255, 255),    # 14 aqua
    (255, 255, 255),  # 15 white
]

# Letters used in the pixel art below.
CHARS16 = {
    '.': 7,   # silver background (drawn transparent)
    'k': 0,   # black
    'm': 1,   # maroon
    'o': 3,   # olive
    'n': 4,   # navy
    'g': 8,   # grey
    'r': 9,   # red
    'y': 11,  # yellow
    'w': 15,  # white
}


def write_bmp(path, width, height, bpp, palette, rows):
    """Writes rows (top row first, lists of palette indices) as a BMP."""
    assert len(rows) == height and all(len(r) == width for r in rows)
    ncolours = 1 << bpp
    pal = list(palette) + [(0, 0, 0)] * (ncolours - len(palette))
    stride = ((width * bpp + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # BMP rows are stored bottom-up
        line = bytearray()
        if bpp == 4:
            for x in range(0, width, 2):
                hi = row[x]
                lo = row[x + 1] if x + 1 < width else 0
                line.append((hi << 4) | lo)
        elif bpp == 8:
            line.extend(row)
        else:
            raise ValueError('unsupported depth')
        line.extend(b'\0' * (stride - len(line)))
        data.extend(line)
    offset = 14 + 40 + 4 * ncolours
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0,
                       len(data), 2835, 2835, ncolours, 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in pal)
    with open(path, 'wb') as f:
        f.write(header + info + colours + bytes(data))


def write_png(path, rows):
    """Writes rows of (r, g, b, a) tuples as an 8-bit RGBA PNG."""
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    raw = b''.join(b'\0' + bytes(v for px in row for v in px) for row in rows)
    png = (b'\x89PNG\r\n\x1a\n'
           + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 9))
           + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


def parse(art, chars):
    rows = [line.strip() for line in art.strip().splitlines()]
    return [[chars[c] for c in row] for row in rows]


def blank(width, height, index):
    return [[index] * width for _ in range(height)]


def save16(name, rows):
    height, width = len(rows), len(rows[0])
    assert rows[-1][0] == 7, name + ': bottom-left pixel must be silver'
    write_bmp(os.path.join(HERE, name), width, height, 4, PALETTE16, rows)


def disabled(rows):
    """The greyed look of a tool-bar button: the shape in grey over a white
    copy of itself shifted one pixel right and down."""
    h, w = len(rows), len(rows[0])
    out = blank(w, h, 7)
    for y in range(h):
        for x in range(w):
            if rows[y][x] != 7 and y + 1 < h and x + 1 < w:
                out[y + 1][x + 1] = 15
    for y in range(h):
        for x in range(w):
            if rows[y][x] != 7:
                out[y][x] = 8
    return out


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


# --- tool-bar pictures -----------------------------------------------------

CLOSE = """
................
................
................
...kk......kk...
...kkk....kkk...
....kkk..kkk....
.....kkkkkk.....
......kkkk......
......kkkk......
.....kkkkkk.....
....kkk..kkk....
...kkk....kkk...
...kk......kk...
................
................
................
"""

OPENFOLDER = """
................
.........kkk....
........k...k...
........k.kkkkk.
...........kkk..
............k...
.kkkk...........
kyyyyk..........
kyyyyykkkkkk....
kyoooooooook....
kyookkkkkkkkkkk.
kyokyyyyyyyyyk..
kykyyyyyyyyyk...
kkyyyyyyyyyk....
kkkkkkkkkkk.....
................
"""

BACKPAGE = """
................
................
................
........k.nn....
.......nn.nn....
......nnn.nn....
.....nnnn.nn....
....nnnnn.nn....
....nnnnn.nn....
.....nnnn.nn....
......nnn.nn....
.......nn.nn....
........n.nn....
................
................
................
""".replace('k', 'n')

NEXTPAGE = """
................
................
................
....nn.n........
....nn.nn.......
....nn.nnn......
....nn.nnnn.....
....nn.nnnnn....
....nn.nnnnn....
....nn.nnnn.....
....nn.nnn......
....nn.nn.......
....nn.n........
................
................
................
"""

SLIDEPLAY = """
................
................
.....k..........
.....kk.........
.....kkk........
.....kkkk.......
.....kkkkk......
.....kkkkkk.....
.....kkkkkk.....
.....kkkkk......
.....kkkk.......
.....kkk........
.....kk.........
.....k..........
................
................
"""

SLIDEPAUSE = """
................
................
................
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
....kkk..kkk....
................
................
................
"""

SLIDESTOP = """
................
................
................
................
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
....kkkkkkkk....
................
................
................
................
"""

# The little window shared by the three window-size buttons: grey frame,
# navy title bar, white client area.
WINDOW = """
ggggggggg
gnnnnnnng
gnnnnnnng
gwwwwwwwg
gwwwwwwwg
gwwwwwwwg
gwwwwwwwg
ggggggggg
"""

# The arrows are as long as the window is wide or tall.
HARROW = """
..r...r..
.rr...rr.
rrrrrrrrr
.rr...rr.
..r...r..
"""

VARROW = """
..r..
.rrr.
rrrrr
..r..
..r..
rrrrr
.rrr.
..r..
"""


def stamp(canvas, art, left, top):
    for dy, row in enumerate(parse(art, CHARS16)):
        for dx, v in enumerate(row):
            if v != 7:
                canvas[top + dy][left + dx] = v


def window_picture(window_at, harrow_at=None, varrow_at=None):
    c = blank(16, 16, 7)
    stamp(c, WINDOW, *window_at)
    if harrow_at:
        stamp(c, HARROW, *harrow_at)
    if varrow_at:
        stamp(c, VARROW, *varrow_at)
    return c


def toolbar_pictures():
    save16('close.bmp', parse(CLOSE, CHARS16))
    save16('openfolder.bmp', parse(OPENFOLDER, CHARS16))
    for name, art in (('backpage.bmp', BACKPAGE), ('nextpage.bmp', NEXTPAGE)):
        normal = parse(art, CHARS16)
        save16(name, side_by_side(normal, disabled(normal)))
    save16('slideplay.bmp', parse(SLIDEPLAY, CHARS16))
    save16('slidepause.bmp', parse(SLIDEPAUSE, CHARS16))
    save16('slidestop.bmp', parse(SLIDESTOP, CHARS16))
    save16('autoresize.bmp',
           window_picture((0, 1), harrow_at=(0, 10), varrow_at=(10, 1)))
    save16('wndwidth.bmp', window_picture((3, 1), harrow_at=(3, 10)))
    save16('wndheight.bmp', window_picture((0, 4), varrow_at=(10, 4)))


# --- program icon ----------------------------------------------------------

# The icon has a palette of its own; the classic colours come first and a
# few softer shades follow for the book and its pictures.
ICON_COLOURS = {
    '.': (192, 192, 192),  # background
    'k': (0, 0, 0),        # outlines
    'w': (255, 255, 255),  # paper
    'e': (222, 222, 214),  # paper in the shadow of the gutter
    'g': (128, 128, 128),  # lines of text
    'c': (200, 40, 40),    # cover
    'C': (120, 20, 20),    # cover, dark edge
    'b': (140, 200, 255),  # sky
    'y': (255, 214, 0),    # sun
    'G': (40, 160, 60),    # hill
    'l': (120, 210, 90),   # near hill
    'r': (220, 40, 40),    # roof
    'h': (245, 220, 160),  # house wall
    'd': (120, 70, 30),    # door
    's': (255, 205, 160),  # face
    'p': (255, 190, 220),  # panel background
    'Y': (255, 245, 170),  # panel background
    'n': (0, 0, 128),      # hair
}


def icon():
    names = list(ICON_COLOURS)
    index = {ch: i for i, ch in enumerate(names)}
    c = [['.'] * 32 for _ in range(32)]

    def put(x, y, ch):
        c[y][x] = ch

    def rect(x0, y0, x1, y1, ch, outline=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                put(x, y, outline if (outline and edge) else ch)

    def hline(x0, x1, y, ch):
        for x in range(x0, x1 + 1):
            put(x, y, ch)

    # The cover, showing a little around the pages.
    rect(1, 7, 30, 28, 'c', 'k')
    hline(2, 29, 27, 'C')

    # Two facing pages; their edges sink towards the gutter so the book
    # looks open rather than flat.
    for x in range(3, 29):
        s = 15 - x if x <= 15 else x - 16
        dip = 2 if s == 0 else 1 if s <= 2 else 0
        top, bottom = 4 + dip, 25 + dip
        for y in range(top, bottom + 1):
            edge = x in (3, 28) or x in (15, 16)  # outer edges, gutter
            put(x, y, 'k' if edge or y in (top, bottom) else 'w')
        if x in (14, 17):
            for y in range(top + 1, bottom):
                put(x, y, 'e')

    # Left page: a picture of a house on a hill under the sun, then text.
    rect(5, 6, 13, 16, 'b', 'k')
    hline(10, 11, 7, 'y')
    hline(9, 12, 8, 'y')
    hline(9, 12, 9, 'y')
    hline(10, 11, 10, 'y')
    put(8, 10, 'r')
    hline(7, 9, 11, 'r')
    hline(6, 10, 12, 'r')
    for y in (13, 14, 15):
        hline(7, 9, y, 'h')
    put(8, 14, 'd')
    put(8, 15, 'd')
    hline(11, 12, 13, 'G')
    hline(10, 12, 14, 'G')
    hline(10, 12, 15, 'l')
    put(6, 15, 'l')
    put(6, 14, 'G')
    hline(5, 13, 18, 'g')
    hline(5, 13, 20, 'g')
    hline(5, 10, 22, 'g')

    # Right page: comic panels - a face, a tree and a heart.
    def sprite(x0, y0, art):
        for dy, row in enumerate(art.split()):
            for dx, ch in enumerate(row):
                put(x0 + dx, y0 + dy, ch)

    rect(18, 6, 26, 13, 'Y', 'k')
    sprite(19, 7, """
        YYnnnYY
        YnnnnnY
        YsksksY
        YsssssY
        YssrssY
        YYsssYY
    """)
    rect(18, 15, 22, 22, 'b', 'k')
    sprite(19, 16, """
        .G.
        GGG
        GGG
        .d.
        .d.
        lll
    """.replace('.', 'b'))
    rect(22, 15, 26, 22, 'p', 'k')
    sprite(23, 17, """
        r.r
        rrr
        .r.
    """.replace('.', 'p'))
    hline(18, 26, 24, 'g')

    pixels = [[index[ch] for ch in row] for row in c]
    write_bmp(os.path.join(HERE, 'mainicon.bmp'), 32, 32, 8,
              [ICON_COLOURS[ch] for ch in names], pixels)

    # The desktop's copies: the background is see-through, as in the about box.
    rgba = [[(0, 0, 0, 0) if ch == '.' else ICON_COLOURS[ch] + (255,) for ch in row]
            for row in c]
    os.makedirs(os.path.join(ICONS, '32x32'), exist_ok=True)
    write_png(os.path.join(ICONS, '32x32', APP_ID + '.png'), rgba)


if __name__ == '__main__':
    toolbar_pictures()
    icon()
