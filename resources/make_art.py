#!/usr/bin/env python3
"""Draws the program's pictures from the text pixel files in resources/art.

    python3 resources/make_art.py OUTDIR [--preview PNG] [--art DIR]

Writes OUTDIR/toolbar.bmp (bitmap 122), toolbar_hot.bmp (123), state.bmp (124)
and dorvex.ico (48x48, 32x32 and 16x16), and the same strips for screens of 150%
and 200%: toolbar_150.bmp, toolbar_hot_150.bmp, state_150.bmp and the _200 ones.
Standard library only, and byte-for-byte deterministic, so the build can
regenerate them at will.

The larger pictures are scaled from the drawn ones so that they stay clean: at
200% every pixel becomes a 2x2 block; at 150% every pixel becomes a 3x3 block
and each 2x2 group of the result is then averaged into one pixel (opaque where
at least half of it is, of the mean colour of its opaque part), so no pixel is
doubled where its neighbour is not. They are 24-bit bitmaps, since averaged
colours are not among the 16 standard ones.

Text pixel file format (see the files themselves for examples):
    # comment                       anywhere outside a frame's rows
    size WxH                        size of every frame
    frames N                        how many frames follow
    C = name R,G,B[,A] [hot R,G,B[,A]]
                                    legend: one character per colour; "hot" gives
                                    the colour under the mouse (default: the same)
    frame I label...                then exactly H rows of W characters
    frame I label... = J            same picture as frame J
    frame I label... = blank        all transparent
The legend entry named "transparent" must be 192,192,192: the image lists key
on that colour, so no visible pixel may use it. Hot toolbar colours and state
colours must be among the 16 standard colours (see STANDARD_16).
"""

import argparse
import os
import re
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ART_DIR = os.path.join(HERE, 'art')

TRANSPARENT_RGB = (192, 192, 192)

# The hot and state image lists are created with ILC_MASK alone, which gives
# 16-colour lists: whatever is drawn there is mapped onto these colours at run
# time. Drawing in them from the start keeps the pictures exactly as drawn.
# Order is the usual 4-bit palette order; silver is the transparent colour.
STANDARD_16 = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
TOOLBAR_SEPARATORS = (3, 7, 10, 16, 19)

# file name -> (frame width, frame height, frame count)
EXPECTED = {
    'toolbar.txt': (16, 15, 21),
    'state.txt': (20, 15, 5),
    'icon32.txt': (32, 32, 1),
    'icon16.txt': (16, 16, 1),
}

# Characters that the file syntax itself uses.
RESERVED_CHARS = set(' \t#=')


class ArtError(Exception):
    pass


class Colour:
    def __init__(self, name, normal, hot, lineno):
        self.name = name
        self.lineno = lineno
        self.normal = normal    # (r, g, b, a)
        self.hot = hot

    @property
    def transparent(self):
        return self.name == 'transparent'


class Art:
    """One parsed text pixel file: legend and frames of legend characters."""

    def __init__(self, path):
        self.path = path
        self.width = self.height = self.count = None
        self.legend = {}            # char -> Colour, in file order
        self.frames = []            # list of lists of row strings
        self.frame_lines = []       # line number of each frame's header
        self.transparent_char = None


def _fail(path, lineno, message):
    where = '%s:%d' % (path, lineno) if lineno else path
    raise ArtError('%s: %s' % (where, message))


def _parse_rgba(path, lineno, text):
    parts = text.split(',')
    if len(parts) not in (3, 4) or not all(p.strip().isdigit() for p in parts):
        _fail(path, lineno, 'colour %r is not R,G,B or R,G,B,A' % text)
    values = tuple(int(p) for p in parts)
    if any(v > 255 for v in values):
        _fail(path, lineno, 'colour %r has a component above 255' % text)
    return values if len(values) == 4 else values + (255,)


LEGEND_RE = re.compile(r'^(\S) = (\S+)\s+(\S+)(?:\s+hot\s+(\S+))?\s*$')
FRAME_RE = re.compile(r'^frame\s+(\d+)(.*?)(?:=\s*(\S+))?\s*$')


def parse_art(path, expected):
    art = Art(path)
    with open(path, 'rb') as f:
        raw = f.read()
    try:
        text = raw.decode('ascii')
    except UnicodeDecodeError as e:
        _fail(path, raw[:e.start].count(b'\n') + 1, 'not plain ASCII')
    lines = text.replace('\r\n', '\n').split('\n')
    width, height, count = expected

    i = 0
    while i < len(lines):
        lineno = i + 1
        line = lines[i].rstrip()
        i += 1
        if not line or line.startswith('#'):
            continue
        if (line.startswith('size ') or line.startswith('frames ')) and art.frames:
            _fail(path, lineno, '"%s" after the first frame' % line.split()[0])
        if line.startswith('size '):
            m = re.match(r'^size (\d+)x(\d+)$', line)
            if not m:
                _fail(path, lineno, 'expected "size WxH"')
            art.width, art.height = int(m.group(1)), int(m.group(2))
            if (art.width, art.height) != (width, height):
                _fail(path, lineno, 'size is %dx%d, this picture must be %dx%d'
                      % (art.width, art.height, width, height))
            continue
        if line.startswith('frames '):
            m = re.match(r'^frames (\d+)$', line)
            if not m:
                _fail(path, lineno, 'expected "frames N"')
            art.count = int(m.group(1))
            if art.count != count:
                _fail(path, lineno, 'declares %d frames, this picture needs %d'
                      % (art.count, count))
            continue
        m = LEGEND_RE.match(line)
        if m:
            if art.frames:
                _fail(path, lineno, 'legend entry after the first frame')
            char, name = m.group(1), m.group(2)
            if char in RESERVED_CHARS:
                _fail(path, lineno, 'character %r cannot be a pixel' % char)
            if char in art.legend:
                _fail(path, lineno, 'character %r is already in the legend' % char)
            normal = _parse_rgba(path, lineno, m.group(3))
            hot = _parse_rgba(path, lineno, m.group(4)) if m.group(4) else normal
            colour = Colour(name, normal, hot, lineno)
            if colour.transparent:
                if art.transparent_char is not None:
                    _fail(path, lineno, 'second "transparent" entry')
                if normal[:3] != TRANSPARENT_RGB or hot[:3] != TRANSPARENT_RGB:
                    _fail(path, lineno, 'transparent must be %d,%d,%d' % TRANSPARENT_RGB)
                art.transparent_char = char
            else:
                for state, rgba in (('normal', normal), ('hot', hot)):
                    if rgba[:3] == TRANSPARENT_RGB:
                        _fail(path, lineno, '%s colour of %r is the transparent colour'
                              % (state, name))
                    if rgba[3] == 0:
                        _fail(path, lineno, '%s colour of %r is fully transparent'
                              % (state, name))
            art.legend[char] = colour
            continue
        m = FRAME_RE.match(line)
        if m:
            if art.width is None or art.count is None:
                _fail(path, lineno, '"size" and "frames" must come before the first frame')
            if art.transparent_char is None:
                _fail(path, lineno, 'the legend has no "transparent" entry')
            index = int(m.group(1))
            if index != len(art.frames):
                _fail(path, lineno, 'frame %d found where frame %d was expected'
                      % (index, len(art.frames)))
            if index >= art.count:
                _fail(path, lineno, 'frame %d is beyond the declared %d frames'
                      % (index, art.count))
            source = m.group(3)
            if source == 'blank':
                rows = [art.transparent_char * art.width] * art.height
            elif source is not None:
                if not source.isdigit() or int(source) >= index:
                    _fail(path, lineno, '"= %s" must name an earlier frame or "blank"' % source)
                rows = list(art.frames[int(source)])
            else:
                rows = []
                for _ in range(art.height):
                    rowno = i + 1
                    if i >= len(lines):
                        _fail(path, rowno, 'file ends inside frame %d (%d of %d rows)'
                              % (index, len(rows), art.height))
                    row = lines[i].rstrip()
                    i += 1
                    if not row:
                        _fail(path, rowno, 'frame %d ends after %d rows, needs %d'
                              % (index, len(rows), art.height))
                    if len(row) != art.width:
                        _fail(path, rowno, 'row is %d pixels wide, expected %d'
                              % (len(row), art.width))
                    for col, ch in enumerate(row):
                        if ch not in art.legend:
                            _fail(path, rowno, 'column %d: %r is not in the legend'
                                  % (col + 1, ch))
                    rows.append(row)
            art.frames.append(rows)
            art.frame_lines.append(lineno)
            continue
        if art.frames and art.legend and all(ch in art.legend for ch in line):
            _fail(path, lineno, 'frame %d has more than %d rows'
                  % (len(art.frames) - 1, art.height))
        _fail(path, lineno, 'cannot read this line: %r' % line)

    if art.count is None:
        _fail(path, 0, 'no "frames" line')
    if len(art.frames) != art.count:
        _fail(path, 0, 'has %d frames, declares %d' % (len(art.frames), art.count))
    return art


def _is_blank(art, rows):
    return all(ch == art.transparent_char for row in rows for ch in row)


def check_toolbar(art):
    """Separator slots are never shown; every button needs a picture."""
    for index, rows in enumerate(art.frames):
        line = art.frame_lines[index]
        if index in TOOLBAR_SEPARATORS and not _is_blank(art, rows):
            _fail(art.path, line, 'frame %d is a separator slot and must be blank' % index)
        if index not in TOOLBAR_SEPARATORS and _is_blank(art, rows):
            _fail(art.path, line, 'frame %d is a button and has no picture' % index)


def check_standard(art, use_hot):
    """Colours bound for a 16-colour image list must be standard ones."""
    for colour in art.legend.values():
        rgb = (colour.hot if use_hot else colour.normal)[:3]
        if rgb not in STANDARD_16:
            _fail(art.path, colour.lineno, '%s colour %d,%d,%d of %r is not one of the 16 '
                  'standard colours' % (('hot' if use_hot else 'the',) + rgb + (colour.name,)))


def check_opaque(art):
    """BMPs carry no alpha: a half-transparent colour would come out solid."""
    for colour in art.legend.values():
        if not colour.transparent and (colour.normal[3] != 255 or colour.hot[3] != 255):
            _fail(art.path, colour.lineno, 'colour %r has alpha, bitmaps cannot show it'
                  % colour.name)


def strip_pixels(art, hot=False):
    """Frames side by side, as rows of (r, g, b, a) tuples, top row first."""
    out = []
    for y in range(art.height):
        row = []
        for rows in art.frames:
            for ch in rows[y]:
                colour = art.legend[ch]
                if colour.transparent:
                    row.append(TRANSPARENT_RGB + (0,))
                else:
                    row.append(colour.hot if hot else colour.normal)
        out.append(row)
    return out


def _bmp_file(width, height, bits, palette, pixel_data):
    header_size = 14 + 40 + 4 * len(palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0,
                       len(pixel_data), 2835, 2835, len(palette), 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    head = struct.pack('<2sIHHI', b'BM', header_size + len(pixel_data), 0, 0, header_size)
    return head + info + pal + pixel_data


def bmp24(pixels):
    height, width = len(pixels), len(pixels[0])
    pad = b'\0' * ((4 - (width * 3) % 4) % 4)
    data = bytearray()
    for row in reversed(pixels):            # bottom-up
        for (r, g, b, _a) in row:
            data += bytes((b, g, r))
        data += pad
    return _bmp_file(width, height, 24, [], bytes(data))


def bmp4(pixels):
    """16-colour bitmap with the standard palette (see check_standard)."""
    palette = list(STANDARD_16)
    index_of = {rgb: i for i, rgb in enumerate(palette)}
    height, width = len(pixels), len(pixels[0])
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, px in enumerate(row):
            idx = index_of[px[:3]]
            line[x // 2] |= idx << 4 if x % 2 == 0 else idx
        data += line
    return _bmp_file(width, height, 4, palette, bytes(data))


def ico(images):
    """32-bit BGRA images with their AND masks, in the order given."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels in images:
        height, width = len(pixels), len(pixels[0])
        xor = bytearray()
        for row in reversed(pixels):
            for (r, g, b, a) in row:
                xor += bytes((b, g, r, a) if a else (0, 0, 0, 0))
        stride = ((width + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            line = bytearray(stride)
            for x, px in enumerate(row):
                # Mostly see-through pixels (the soft shadow) drop out where
                # the system draws icons without their alpha channel.
                if px[3] < 128:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
        info = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        entries.append(struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs)


def png(width, height, rgb_rows):
    raw = b''.join(b'\0' + bytes(row) for row in rgb_rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def preview(arts):
    """All pictures 6x on a button-face background, then at their real size."""
    scale, gap, margin = 6, 8, 12
    background = (236, 233, 216)
    toolbar, state, icon32, icon16 = (arts[n] for n in
                                      ('toolbar.txt', 'state.txt', 'icon32.txt', 'icon16.txt'))

    def frames_of(art, hot=False):
        strip = strip_pixels(art, hot)
        return [[row[k * art.width:(k + 1) * art.width] for row in strip]
                for k in range(art.count)]

    big_rows = [frames_of(toolbar), frames_of(toolbar, True), frames_of(state),
                frames_of(icon32) + frames_of(icon16)]
    small_row = frames_of(toolbar) + frames_of(toolbar, True) + frames_of(state) \
        + frames_of(icon32) + frames_of(icon16)

    def row_width(frames, s, g):
        return sum(len(f[0]) * s for f in frames) + g * (len(frames) - 1)

    width = 2 * margin + max(max(row_width(r, scale, gap) for r in big_rows),
                             row_width(small_row, 1, 4))
    height = margin + sum(max(len(f) for f in r) * scale + margin for r in big_rows) \
        + max(len(f) for f in small_row) + margin
    canvas = [[background] * width for _ in range(height)]

    def put(frames, top, s, g):
        x0 = margin
        for f in frames:
            for y, row in enumerate(f):
                for x, (r, gg, b, a) in enumerate(row):
                    if a == 0:
                        continue
                    # blend any soft icon pixels onto the background
                    c = tuple((v * a + bg * (255 - a)) // 255
                              for v, bg in zip((r, gg, b), background))
                    for dy in range(s):
                        line = canvas[top + y * s + dy]
                        for dx in range(s):
                            line[x0 + x * s + dx] = c
            x0 += len(f[0]) * s + g
        return top + max(len(f) for f in frames) * s + margin

    top = margin
    for r in big_rows:
        top = put(r, top, scale, gap)
    put(small_row, top, 1, 4)
    rows = [b''.join(bytes(px) for px in line) for line in canvas]
    return png(width, height, rows)


def load_all(art_dir):
    arts = {}
    for name, expected in EXPECTED.items():
        path = os.path.join(art_dir, name)
        if not os.path.isfile(path):
            raise ArtError('%s: missing' % path)
        arts[name] = parse_art(path, expected)
    check_toolbar(arts['toolbar.txt'])
    check_opaque(arts['toolbar.txt'])
    check_opaque(arts['state.txt'])
    check_standard(arts['toolbar.txt'], use_hot=True)
    check_standard(arts['state.txt'], use_hot=False)
    return arts


def scale_pixels(pixels, percent):
    """The picture at 150% or 200% (see the module's notes); frames stay whole when each frame's
    width is even, as every frame's is."""
    if percent == 200:
        return [[px for px in row for _ in range(2)] for row in pixels for _ in range(2)]
    if percent != 150:
        raise ValueError(percent)
    tripled = [[px for px in row for _ in range(3)] for row in pixels for _ in range(3)]
    if len(tripled) % 2:  # an odd height: a transparent row below, halved away
        tripled.append([TRANSPARENT_RGB + (0,)] * len(tripled[0]))
    out = []
    for y in range(0, len(tripled), 2):
        row = []
        for x in range(0, len(tripled[0]), 2):
            group = [tripled[y][x], tripled[y][x + 1], tripled[y + 1][x], tripled[y + 1][x + 1]]
            opaque = [px for px in group if px[3] != 0]
            if len(opaque) * 2 < len(group):
                row.append(TRANSPARENT_RGB + (0,))
                continue
            mean = tuple((sum(px[i] for px in opaque) + len(opaque) // 2) // len(opaque)
                         for i in range(4))
            if mean[:3] == TRANSPARENT_RGB:  # never the key colour
                mean = (191,) + mean[1:]
            row.append(mean)
        out.append(row)
    return out


def build(arts):
    toolbar, state = arts['toolbar.txt'], arts['state.txt']
    outputs = {
        'toolbar.bmp': bmp24(strip_pixels(toolbar)),
        'toolbar_hot.bmp': bmp24(strip_pixels(toolbar, hot=True)),
        'state.bmp': bmp4(strip_pixels(state)),
        'dorvex.ico': ico([scale_pixels(strip_pixels(arts['icon32.txt']), 150),
                           strip_pixels(arts['icon32.txt']), strip_pixels(arts['icon16.txt'])]),
    }
    for percent in (150, 200):
        outputs['toolbar_%d.bmp' % percent] = bmp24(scale_pixels(strip_pixels(toolbar), percent))
        outputs['toolbar_hot_%d.bmp' % percent] = bmp24(
            scale_pixels(strip_pixels(toolbar, hot=True), percent))
        outputs['state_%d.bmp' % percent] = bmp24(scale_pixels(strip_pixels(state), percent))
    return outputs


def _write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def main(argv=None):
    parser = argparse.ArgumentParser(description='Draw the toolbar, state and icon pictures.')
    parser.add_argument('outdir', help='directory for toolbar.bmp, toolbar_hot.bmp, '
                        'state.bmp and dorvex.ico')
    parser.add_argument('--preview', metavar='PNG', help='also write an enlarged preview')
    parser.add_argument('--art', metavar='DIR', default=DEFAULT_ART_DIR,
                        help='directory of the text pixel files (default: %(default)s)')
    args = parser.parse_args(argv)
    try:
        arts = load_all(args.art)
        outputs = build(arts)
        pic = preview(arts) if args.preview else None
    except (ArtError, OSError) as e:
        print('make_art: error: %s' % e, file=sys.stderr)
        return 1
    os.makedirs(args.outdir, exist_ok=True)
    for name, data in outputs.items():
        _write(os.path.join(args.outdir, name), data)
    if pic is not None:
        _write(args.preview, pic)
    return 0


if __name__ == '__main__':
    sys.exit(main())
