#!/usr/bin/env python3
# Writes the resource pictures of win_tests byte by byte. PictureTest.cpp
# expects exactly these colours: keep the formulas in step with it.
#   logo.pcx     8-bit PCX, 6 x 4, pixel (x, y) = index 6y + x,
#                palette entry i = (red 10i, green 255 - 10i, blue 3i)
#   tiles16.bmp  4-bit BMP, 8 x 2, pixel (x, y) = index (x + 8y) % 16,
#                colour i = (red 16i, green 0x40, blue 255 - 16i)
#   photo256.bmp 8-bit BMP, 5 x 3, pixel (x, y) = index 50y + 7x,
#                colour i = (red i, green 255 - i, blue 0x80)
import struct, os
here = os.path.dirname(os.path.abspath(__file__))

def bmp(w, h, bits, colors, index):
    row = ((w * bits + 31) // 32) * 4
    rows = b''
    for y in reversed(range(h)):      # bottom-up
        line = bytearray(row)
        for x in range(w):
            v = index(x, y)
            if bits == 8:
                line[x] = v
            else:
                line[x // 2] |= v << (4 if x % 2 == 0 else 0)
        rows += bytes(line)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colors)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(rows), 2835, 2835, len(colors), 0)
    off = 14 + len(info) + len(table)
    return b'BM' + struct.pack('<IHHI', off + len(rows), 0, 0, off) + info + table + rows

def pcx8(w, h, index, palette):
    bpl = w + (w & 1)
    hdr = struct.pack('<BBBBHHHHHH', 10, 5, 1, 8, 0, 0, w - 1, h - 1, 72, 72) + bytes(48) + b'\0' + bytes([1]) \
        + struct.pack('<HH', bpl, 1) + bytes(58)
    data = bytearray()
    for y in range(h):
        for x in range(bpl):
            v = index(x, y) if x < w else 0
            if v >= 0xC0:
                data += bytes([0xC1, v])
            else:
                data.append(v)
    return hdr + bytes(data) + b'\x0c' + b''.join(bytes(c) for c in palette)

open(os.path.join(here, 'logo.pcx'), 'wb').write(
    pcx8(6, 4, lambda x, y: 6 * y + x, [((10 * i) & 255, (255 - 10 * i) & 255, (3 * i) & 255) for i in range(256)]))
open(os.path.join(here, 'tiles16.bmp'), 'wb').write(
    bmp(8, 2, 4, [(16 * i, 0x40, 255 - 16 * i) for i in range(16)], lambda x, y: (x + 8 * y) % 16))
open(os.path.join(here, 'photo256.bmp'), 'wb').write(
    bmp(5, 3, 8, [(i, 255 - i, 0x80) for i in range(256)], lambda x, y: 50 * y + 7 * x))
