#!/usr/bin/env python3
"""Checks resources/make_art.py: runs it into a temporary directory and reads
the BMP, ICO and PNG files back with an independent decoder.

    python3 tests/art/check_art.py

Exits non-zero if any check fails.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GENERATOR = os.path.join(ROOT, 'resources', 'make_art.py')
ART_DIR = os.path.join(ROOT, 'resources', 'art')

TRANSPARENT = (192, 192, 192)
# The hot and state image lists hold 16 colours; these are the ones they show.
STANDARD_16 = {
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
}
SEPARATORS = {3, 7, 10, 16, 19}
OUTPUTS = ('toolbar.bmp', 'toolbar_hot.bmp', 'state.bmp', 'dorvex.ico',
           'toolbar_150.bmp', 'toolbar_hot_150.bmp', 'state_150.bmp',
           'toolbar_200.bmp', 'toolbar_hot_200.bmp', 'state_200.bmp')

passed = 0
failed = 0


def check(condition, what):
    global passed, failed
    if condition:
        passed += 1
    else:
        failed += 1
        print('FAIL: %s' % what)
    return condition


def run(outdir, *extra, art=None):
    cmd = [sys.executable, GENERATOR, outdir] + list(extra)
    if art:
        cmd += ['--art', art]
    return subprocess.run(cmd, capture_output=True, text=True)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


# --- BMP -------------------------------------------------------------------

def parse_bmp(data, name):
    """Returns (header dict, rows of RGB tuples top row first)."""
    magic, size, _r1, _r2, offset = struct.unpack_from('<2sIHHI', data, 0)
    (bi_size, width, height, planes, bits, compression, image_size,
     _xppm, _yppm, clr_used, _clr_important) = struct.unpack_from('<IiiHHIIiiII', data, 14)
    h = dict(magic=magic, size=size, offset=offset, bi_size=bi_size, width=width,
             height=height, planes=planes, bits=bits, compression=compression,
             image_size=image_size, clr_used=clr_used)
    check(magic == b'BM', '%s: magic BM' % name)
    check(size == len(data), '%s: file size field %d matches %d' % (name, size, len(data)))
    check(bi_size == 40, '%s: BITMAPINFOHEADER' % name)
    check(planes == 1, '%s: one plane' % name)
    check(compression == 0, '%s: uncompressed' % name)
    check(height > 0, '%s: bottom-up rows (positive height)' % name)
    palette = []
    if bits <= 8:
        count = clr_used or (1 << bits)
        for i in range(count):
            b, g, r, _ = struct.unpack_from('<BBBB', data, 54 + 4 * i)
            palette.append((r, g, b))
        check(offset == 54 + 4 * count, '%s: pixel data right after the palette' % name)
    else:
        check(offset == 54, '%s: pixel data right after the header' % name)
    stride = ((width * bits + 31) // 32) * 4
    check(len(data) - offset == stride * abs(height),
          '%s: %d bytes of pixels for %dx%d at %d bits'
          % (name, len(data) - offset, width, height, bits))
    rows = []
    padding_clean = True
    for y in range(abs(height)):
        base = offset + (abs(height) - 1 - y) * stride
        row = []
        for x in range(width):
            if bits == 24:
                b, g, r = data[base + 3 * x:base + 3 * x + 3]
                row.append((r, g, b))
            elif bits == 4:
                byte = data[base + x // 2]
                idx = byte >> 4 if x % 2 == 0 else byte & 15
                row.append(palette[idx])
            else:
                raise AssertionError('unexpected bit depth %d' % bits)
        rows.append(row)
        pad = data[base + (width * bits + 7) // 8:base + stride]
        padding_clean = padding_clean and all(v == 0 for v in pad)
    check(padding_clean, '%s: row padding is zero' % name)
    h['palette'] = palette
    return h, rows


def frame(rows, index, width):
    return [row[index * width:(index + 1) * width] for row in rows]


def visible(pixels):
    return sum(1 for row in pixels for px in row if px != TRANSPARENT)


def check_toolbars(outdir):
    results = {}
    for name in ('toolbar.bmp', 'toolbar_hot.bmp'):
        h, rows = parse_bmp(read(os.path.join(outdir, name)), name)
        check(h['width'] == 336 and h['height'] == 15,
              '%s: 336x15, got %dx%d' % (name, h['width'], h['height']))
        check(h['bits'] == 24, '%s: 24 bits per pixel' % name)
        results[name] = rows
    normal, hot = results['toolbar.bmp'], results['toolbar_hot.bmp']
    odd = {px for row in hot for px in row} - STANDARD_16
    check(not odd, 'toolbar_hot.bmp uses only the 16 standard colours (also %r)' % sorted(odd))
    for slot in range(21):
        n, k = frame(normal, slot, 16), frame(hot, slot, 16)
        if slot in SEPARATORS:
            check(visible(n) == 0, 'normal slot %d (separator) fully transparent' % slot)
            check(visible(k) == 0, 'hot slot %d (separator) fully transparent' % slot)
        else:
            check(visible(n) >= 30, 'normal slot %d has a picture (%d pixels)' % (slot, visible(n)))
            check(visible(k) >= 30, 'hot slot %d has a picture (%d pixels)' % (slot, visible(k)))
            # transparent pixels in the same places: same pictures, other colours
            same_shape = all((a == TRANSPARENT) == (b == TRANSPARENT)
                             for ra, rb in zip(n, k) for a, b in zip(ra, rb))
            check(same_shape, 'slot %d: hot picture has the normal outline' % slot)
            differing = sum(1 for ra, rb in zip(n, k) for a, b in zip(ra, rb) if a != b)
            check(differing > 0, 'slot %d: hot differs from normal' % slot)
            check(any(px == TRANSPARENT for row in n for px in row),
                  'slot %d keeps some transparent background' % slot)
    check(frame(normal, 14, 16) == frame(normal, 5, 16), 'Verify Selected looks like Verify All')
    check(frame(normal, 15, 16) == frame(normal, 6, 16),
          'Recalculate Selected looks like Recalculate All')


def check_scaled(outdir):
    """The strips for 150% and 200% against the drawn ones: at 200% each pixel a 2x2 block; at
    150% each pixel drawn from the drawn pixels under it (a third of a pixel each way), opaque
    where all of them are, transparent where none is, and never the key colour otherwise."""
    for base in ('toolbar', 'toolbar_hot', 'state'):
        _h, drawn = parse_bmp(read(os.path.join(outdir, base + '.bmp')), base + '.bmp')
        width, height = len(drawn[0]), len(drawn)
        name = base + '_200.bmp'
        h, rows = parse_bmp(read(os.path.join(outdir, name)), name)
        check(h['bits'] == 24 and (h['width'], h['height']) == (2 * width, 2 * height),
              '%s: 24-bit, %dx%d' % (name, 2 * width, 2 * height))
        check(all(rows[y][x] == drawn[y // 2][x // 2] for y in range(2 * height)
                  for x in range(2 * width)), '%s: every pixel a 2x2 block' % name)
        name = base + '_150.bmp'
        h, rows = parse_bmp(read(os.path.join(outdir, name)), name)
        size = (width * 3 // 2, (height * 3 + 1) // 2)
        check(h['bits'] == 24 and (h['width'], h['height']) == size,
              '%s: 24-bit, %dx%d, got %dx%d' % ((name,) + size + (h['width'], h['height'])))
        clean = True
        for y in range(size[1]):
            for x in range(size[0]):
                under = {drawn[min(sy // 3, height - 1)][sx // 3]
                         for sy in (2 * y, 2 * y + 1) for sx in (2 * x, 2 * x + 1)
                         if sy // 3 < height}
                if TRANSPARENT not in under:
                    clean = clean and rows[y][x] != TRANSPARENT
                elif under == {TRANSPARENT}:
                    clean = clean and rows[y][x] == TRANSPARENT
        check(clean, '%s: opaque and transparent where the drawn picture is' % name)


def check_state(outdir):
    h, rows = parse_bmp(read(os.path.join(outdir, 'state.bmp')), 'state.bmp')
    check(h['width'] == 100 and h['height'] == 15,
          'state.bmp: 100x15, got %dx%d' % (h['width'], h['height']))
    check(h['bits'] == 4, 'state.bmp: 4 bits per pixel')
    check(len(h['palette']) == 16, 'state.bmp: 16-entry palette, got %d' % len(h['palette']))
    check(TRANSPARENT in h['palette'], 'state.bmp: palette holds the transparent colour')
    check(set(h['palette']) == STANDARD_16, 'state.bmp: palette is the 16 standard colours')
    images = [frame(rows, i, 20) for i in range(5)]
    for i, img in enumerate(images):
        check(visible(img) >= 100, 'state image %d has a picture' % i)
        check(img[0][0] == TRANSPARENT and img[14][19] == TRANSPARENT,
              'state image %d has transparent corners' % i)

    def count(img, test):
        return sum(1 for row in img for (r, g, b) in row if (r, g, b) != TRANSPARENT
                   and test(r, g, b))

    def yellow(r, g, b): return r > 200 and g > 180 and b < 120
    def green(r, g, b): return g > 120 and r < 100 and b < 100
    def red(r, g, b): return r > 180 and g < 80 and b < 80
    def black(r, g, b): return r + g + b < 60

    check(count(images[0], yellow) > 60 and count(images[0], black) > 10,
          'state 0: yellow ball with a black mark')
    check(count(images[1], green) > 60 and count(images[1], black) > 10,
          'state 1: green ball with a black mark')
    for i in (2, 3):
        check(count(images[i], red) > 60 and count(images[i], yellow) > 8,
              'state %d: red ball with a yellow mark' % i)
    check(images[4] == images[3], 'state 4 is the same picture as state 3')
    check(len({str(images[i]) for i in range(4)}) == 4, 'states 0 to 3 are distinct pictures')


def check_icon(outdir):
    data = read(os.path.join(outdir, 'dorvex.ico'))
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    check(reserved == 0 and kind == 1, 'dorvex.ico: icon header')
    check(count == 3, 'dorvex.ico: 3 images, got %d' % count)
    sizes = []
    for i in range(count):
        w, h, colours, _res, planes, bits, length, offset = \
            struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        sizes.append((w, h))
        check(planes == 1 and bits == 32, 'icon %dx%d: 32-bit entry' % (w, h))
        check(offset + length <= len(data), 'icon %dx%d: data inside the file' % (w, h))
        (bi_size, bw, bh, bplanes, bbits, compression) = struct.unpack_from('<IiiHHI', data, offset)
        check(bi_size == 40 and bw == w and bh == 2 * h and bbits == 32 and compression == 0,
              'icon %dx%d: BITMAPINFOHEADER with doubled height' % (w, h))
        mask_stride = ((w + 31) // 32) * 4
        check(length == 40 + w * h * 4 + mask_stride * h,
              'icon %dx%d: colour and AND mask sizes' % (w, h))
        xor = data[offset + 40:offset + 40 + w * h * 4]
        mask = data[offset + 40 + w * h * 4:offset + length]
        alphas = [xor[4 * p + 3] for p in range(w * h)]
        check(any(a == 255 for a in alphas) and any(a == 0 for a in alphas),
              'icon %dx%d: opaque and transparent pixels' % (w, h))
        opaque = sum(1 for a in alphas if a == 255)
        check(opaque > w * h // 4, 'icon %dx%d: the picture fills the icon' % (w, h))
        consistent = True
        for y in range(h):
            for x in range(w):
                bit = (mask[y * mask_stride + x // 8] >> (7 - x % 8)) & 1
                alpha = alphas[y * w + x]
                if (alpha == 0 and bit != 1) or (alpha == 255 and bit != 0):
                    consistent = False
        check(consistent, 'icon %dx%d: AND mask agrees with the alpha channel' % (w, h))
    check(sorted(sizes) == [(16, 16), (32, 32), (48, 48)],
          'dorvex.ico holds 48x48, 32x32 and 16x16: %r' % sizes)


def check_png(path):
    data = read(path)
    check(data[:8] == b'\x89PNG\r\n\x1a\n', 'preview: PNG signature')
    pos, chunks = 8, {}
    idat = b''
    while pos < len(data):
        (length,) = struct.unpack_from('>I', data, pos)
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack_from('>I', data, pos + 8 + length)
        check(crc == zlib.crc32(kind + body) & 0xffffffff, 'preview: CRC of %r' % kind)
        chunks[kind] = body
        if kind == b'IDAT':
            idat += body
        pos += 12 + length
    check(b'IHDR' in chunks and b'IEND' in chunks, 'preview: IHDR and IEND')
    width, height, depth, colour = struct.unpack_from('>IIBB', chunks[b'IHDR'], 0)
    raw = zlib.decompress(idat)
    check(len(raw) == height * (1 + 3 * width), 'preview: %dx%d RGB pixel data' % (width, height))
    check(width >= 21 * 16 * 6 and height >= 4 * 15 * 6, 'preview: pictures shown enlarged 6x')


def check_rejects(tmp):
    """Broken input must stop the generator with the file and line named."""
    cases = []

    def broken(edit, expect, what):
        cases.append(what)
        art = os.path.join(tmp, 'art%d' % len(cases))
        shutil.copytree(ART_DIR, art)
        path = os.path.join(art, edit[0])
        with open(path) as f:
            lines = f.read().split('\n')
        lineno = edit[1](lines)
        with open(path, 'w') as f:
            f.write('\n'.join(lines))
        out = os.path.join(tmp, 'out_' + os.path.basename(art))
        r = run(out, art=art)
        where = '%s:%d' % (edit[0], lineno) if lineno else edit[0]
        check(r.returncode != 0, '%s: generator fails' % what)
        check(where in r.stderr and expect in r.stderr,
              '%s: message names %s and says %r (got %r)' % (what, where, expect, r.stderr.strip()))
        check(not os.path.exists(os.path.join(out, 'toolbar.bmp')),
              '%s: nothing written' % what)

    def first_row(lines, header='frame 0'):
        return next(i for i, l in enumerate(lines) if l.startswith(header)) + 1

    def short_row(lines):
        i = first_row(lines)
        lines[i] = lines[i][:-1]
        return i + 1

    def bad_char(lines):
        i = first_row(lines) + 2
        lines[i] = '@' + lines[i][1:]
        return i + 1

    def wrong_count(lines):
        i = next(i for i, l in enumerate(lines) if l.startswith('frames '))
        lines[i] = 'frames 20'
        return i + 1

    def drawn_separator(lines):
        i = next(i for i, l in enumerate(lines) if l.startswith('frame 3 '))
        lines[i:i + 1] = ['frame 3 separator'] + ['K' * 16] * 15
        return i + 1

    def grey_colour(lines):
        i = next(i for i, l in enumerate(lines) if l.startswith('K = '))
        lines[i] = 'K = outline 192,192,192'
        return i + 1

    def odd_hot(lines):
        i = next(i for i, l in enumerate(lines) if l.startswith('R = '))
        lines[i] = 'R = red 184,64,56 hot 250,10,10'
        return i + 1

    def missing_frame(lines):
        i = next(i for i, l in enumerate(lines) if l.startswith('frame 4 '))
        lines[i] = 'frame 5 Read Error = 3'
        return i + 1

    broken(('toolbar.txt', short_row), 'expected 16', 'short toolbar row')
    broken(('toolbar.txt', bad_char), 'not in the legend', 'unknown character')
    broken(('toolbar.txt', wrong_count), 'needs 21', 'wrong frame count')
    broken(('toolbar.txt', drawn_separator), 'separator', 'drawn separator slot')
    broken(('toolbar.txt', grey_colour), 'transparent colour', 'visible transparent grey')
    broken(('toolbar.txt', odd_hot), 'standard colours', 'hot colour outside the 16')
    broken(('state.txt', missing_frame), 'frame 4 was expected', 'state frame skipped')
    broken(('icon16.txt', short_row), 'expected 16', 'short icon row')


def main():
    with tempfile.TemporaryDirectory() as tmp:
        out1, out2 = os.path.join(tmp, 'a'), os.path.join(tmp, 'b')
        preview = os.path.join(tmp, 'preview.png')
        r = run(out1, '--preview', preview)
        check(r.returncode == 0, 'generator runs (stderr: %r)' % r.stderr.strip())
        if r.returncode == 0:
            for name in OUTPUTS:
                check(os.path.isfile(os.path.join(out1, name)), '%s written' % name)
            check_toolbars(out1)
            check_state(out1)
            check_icon(out1)
            check_scaled(out1)
            check_png(preview)
            r2 = run(out2)
            check(r2.returncode == 0, 'second run')
            for name in OUTPUTS:
                check(read(os.path.join(out1, name)) == read(os.path.join(out2, name)),
                      '%s identical on a second run' % name)
        check_rejects(tmp)
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
