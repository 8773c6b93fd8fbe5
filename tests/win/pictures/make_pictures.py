#!/usr/bin/env python3
# Writes the resource pictures of win_tests; PictureTest.cpp expects these
# colours. logo.pcx: 8-bit PCX 6 x 4, pixel index 6y + x, palette entry i =
# (10i, 255 - 10i, 3i). tiles16.bmp: 4-bit 8 x 2, index (x + 8y) % 16, colour
# (16i, 0x40, 255 - 16i). photo256.bmp: 8-bit 5 x 3, index 50y + 7x, colour
# (i, 255 - i, 0x80).
import struct, os
here = os.path.dirname(os.path.abspath(__file__))

def bmp(w, h, bits, colors, index):
    row = ((w * bits + 31) // 32) * 4
    rows = b''
    for y in reversed(range(h)):      # bottom-up
        line = bytearray(row)
        for x in range(w):
            line[x * bits // 8] |= index(x, y) << ((1 - x % 2) * 4 if bits == 4 else 0)
        rows += bytes(line)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colors)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(rows), 2835, 2835, len(colors), 0)
    off = 14 + len(info) + len(table)
    return b'BM' + struct.pack('<IHHI', off + len(rows), 0, 0, off) + info + table + rows

def pcx8(w, h, index, palette):   # every index below 0xC0: no runs needed
    bpl = w + (w & 1)
    hdr = struct.pack('<BBBBHHHHHH', 10, 5, 1, 8, 0, 0, w - 1, h - 1, 72, 72) + bytes(49) + bytes([1]) \
        + struct.pack('<HH', bpl, 1) + bytes(58)
    data = bytes(index(x, y) if x < w else 0 for y in range(h) for x in range(bpl))
    return hdr + data + b'\x0c' + b''.join(bytes(c) for c in palette)

open(os.path.join(here, 'logo.pcx'), 'wb').write(
    pcx8(6, 4, lambda x, y: 6 * y + x, [((10 * i) & 255, (255 - 10 * i) & 255, (3 * i) & 255) for i in range(256)]))
open(os.path.join(here, 'tiles16.bmp'), 'wb').write(
    bmp(8, 2, 4, [(16 * i, 0x40, 255 - 16 * i) for i in range(16)], lambda x, y: (x + 8 * y) % 16))
open(os.path.join(here, 'photo256.bmp'), 'wb').write(
    bmp(5, 3, 8, [(i, 255 - i, 0x80) for i in range(256)], lambda x, y: 50 * y + 7 * x))
