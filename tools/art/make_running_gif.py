#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes resources/running.gif, the progress window's animation: six frames of a block of
# green squares running from left to right, 119 x 15 pixels. Uses only the standard library.
import struct, sys

W, H, FRAMES = 119, 15, 6
PALETTE = [(0xC0, 0xDC, 0xC0), (0x2E, 0x7D, 0x32), (0x81, 0xC7, 0x84), (0xFF, 0xFF, 0xFF)]

def frame(n):
    px = []
    for y in range(H):
        for x in range(W):
            cell = x // 10
            inside = 2 <= (x % 10) <= 8 and 3 <= y <= 11
            if not inside:
                px.append(0)
            elif (cell - 2 * n) % 12 in (0, 1):
                px.append(1)
            elif (cell - 2 * n) % 12 in (2, 11):
                px.append(2)
            else:
                px.append(3)
    return px

def lzw_literal(px, min_size=7):
    # Literal codes only, 8 bits wide, with a clear code often enough that the width never grows.
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray([clear])
    run = 0
    for p in px:
        if run == 100:
            out.append(clear)
            run = 0
        out.append(p)
        run += 1
    out.append(end)
    return bytes(out)

def blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)

def main(path):
    g = bytearray(b'GIF89a')
    g += struct.pack('<HHBBB', W, H, 0xF6, 0, 0)  # global table of 128 colours
    pal = PALETTE + [(0, 0, 0)] * (128 - len(PALETTE))
    for r, gg, b in pal:
        g += bytes((r, gg, b))
    g += b'\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00'  # loop for ever
    for n in range(FRAMES):
        g += b'\x21\xF9\x04\x00' + struct.pack('<H', 12) + b'\x00\x00'  # 120 ms
        g += b'\x2C' + struct.pack('<HHHHB', 0, 0, W, H, 0)
        g += bytes([7]) + blocks(lzw_literal(frame(n)))
    g += b'\x3B'
    with open(path, 'wb') as f:
        f.write(g)

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'running.gif')
