#!/usr/bin/env python3
"""Draws icon 101, a clock face showing ten past ten, at 16, 32 and 48 pixels.

Run it to regenerate res/orvanel.ico; the icon is committed, so builds need no Python.
`make_icon.py --hicolor DIR` writes the same face as DIR/SIZExSIZE/apps/orvanel.png
at the sizes a Linux desktop looks for (the Debian package's icons, also committed).
"""
import math
import os
import struct
import sys
import zlib

HICOLOR_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def draw(size):
    c = (size - 1) / 2.0
    r_out = size / 2.0 - 0.5
    ring = max(1.2, size / 14.0)
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def coverage(x, y, f):
        # 4x4 supersampling keeps the small sizes legible.
        n = 0
        for sy in range(4):
            for sx in range(4):
                if f(x + (sx + 0.5) / 4 - 0.5, y + (sy + 0.5) / 4 - 0.5):
                    n += 1
        return n / 16.0

    def seg(ax, ay, bx, by, w):
        def f(x, y):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            qx, qy = ax + t * dx - x, ay + t * dy - y
            return qx * qx + qy * qy <= (w / 2) ** 2
        return f

    def blend(x, y, colour, a):
        if a <= 0:
            return
        r0, g0, b0, a0 = px[y][x]
        na = a + a0 * (1 - a)
        mix = lambda s, d: int((s * a + d * a0 * (1 - a)) / na) if na else 0
        px[y][x] = (mix(colour[0], r0), mix(colour[1], g0), mix(colour[2], b0), na)

    face = lambda x, y: (x - c) ** 2 + (y - c) ** 2 <= r_out ** 2
    inner = lambda x, y: (x - c) ** 2 + (y - c) ** 2 <= (r_out - ring) ** 2
    hour = seg(c, c, c + math.sin(math.radians(305)) * r_out * 0.5,
               c - math.cos(math.radians(305)) * r_out * 0.5, max(1.5, size / 10.0))
    minute = seg(c, c, c + math.sin(math.radians(60)) * r_out * 0.78,
                 c - math.cos(math.radians(60)) * r_out * 0.78, max(1.2, size / 14.0))
    for y in range(size):
        for x in range(size):
            blend(x, y, (24, 58, 112), coverage(x, y, face))
            blend(x, y, (250, 246, 232), coverage(x, y, inner))
            blend(x, y, (24, 58, 112), coverage(x, y, hour))
            blend(x, y, (200, 40, 30), coverage(x, y, minute))
    if size >= 32:
        for k in range(12):
            a = math.radians(k * 30)
            ax, ay = c + math.sin(a) * (r_out - ring * 2.2), c - math.cos(a) * (r_out - ring * 2.2)
            bx, by = c + math.sin(a) * (r_out - ring * 1.2), c - math.cos(a) * (r_out - ring * 1.2)
            tick = seg(ax, ay, bx, by, max(1.0, size / 24.0))
            for y in range(size):
                for x in range(size):
                    blend(x, y, (24, 58, 112), coverage(x, y, tick))
    return px


def dib(size, px):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = px[y][x]
            rows += struct.pack('BBBB', b, g, r, int(round(a * 255)))
    mask_stride = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_stride * size)
    return header + rows + mask


def png(size, px):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    raw = b''.join(b'\0' + b''.join(struct.pack('BBBB', r, g, b, int(round(a * 255)))
                                     for r, g, b, a in row) for row in px)
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def hicolor(folder):
    for s in HICOLOR_SIZES:
        apps = os.path.join(folder, '%dx%d' % (s, s), 'apps')
        os.makedirs(apps, exist_ok=True)
        with open(os.path.join(apps, 'orvanel.png'), 'wb') as f:
            f.write(png(s, draw(s)))


def main(path):
    sizes = [16, 32, 48]
    images = [dib(s, draw(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == '--hicolor':
        hicolor(sys.argv[2])
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else 'orvanel.ico')
