#!/usr/bin/env python3
"""Writes the project's own picture assets: the control's three status pictures (GIF, into
assets/), its toolbox bitmap (16 x 15, 16 colours, into win32/sealbrook/) and the path form's icon
(30 x 27, 24-bit colour, into win32/penvane/). Run from the repository's top folder; the results
are committed."""
import struct
import sys
from pathlib import Path


def lzw_gif_data(pixels, min_code_size):
    """GIF LZW, emitting a clear code often enough that codes stay small (simple, valid)."""
    clear = 1 << min_code_size
    end = clear + 1
    codes, bits, nbits = [], 0, 0
    out = bytearray()
    size = min_code_size + 1

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    run = 0
    for p in pixels:
        if run == (1 << size) - clear - 3:  # keep the table from growing: restart it
            emit(clear)
            run = 0
        emit(p)
        run += 1
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray()
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    return bytes(blocks)


def gif(width, height, palette, pixels):
    assert len(palette) == 4 and len(pixels) == width * height
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0)
    colors = b"".join(bytes(c) for c in palette)
    image = b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    return head + colors + image + bytes([2]) + lzw_gif_data(pixels, 2) + b"\x3B"


def draw(width, height, painter):
    return [painter(x, y) for y in range(height) for x in range(width)]


def signature(x, y):
    # A blue scribble over a grey line on white: a rough signature, 160 x 60.
    import math
    wave = 26 + int(10 * math.sin(x / 9.0)) + int(4 * math.sin(x / 3.1))
    if 10 <= x < 150 and abs(y - wave) <= 1:
        return 1
    if 10 <= x < 150 and y in (50, 51):
        return 2
    return 0


def mark(ok):
    """A 230 x 130 frame in the status colour with a tick or a cross in its lower right part,
    where the signature picture (drawn over it from the same corner) leaves it visible."""
    def paint(x, y):
        if x < 4 or y < 4 or x >= 226 or y >= 126:
            return 1
        cx, cy = x - 170, y - 70
        if ok:  # a tick
            on = (abs(cy - 20 - cx) <= 2 and -20 <= cx <= 0) or (abs(cy - 20 + cx) <= 2 and 0 <= cx <= 40)
        else:  # a cross
            on = -25 <= cx <= 25 and (abs(cx - cy + 25) <= 2 or abs(cx + cy - 25) <= 2)
        return 2 if on else 0
    return paint


def toolbox_bitmap():
    """16 x 15, 4 bits per pixel, the standard 16-colour palette: a pen over a seal."""
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    w, h = 16, 15
    def px(x, y):
        if (x - 8) ** 2 + (y - 9) ** 2 <= 16:
            return 9 if (x - 8) ** 2 + (y - 9) ** 2 >= 9 else 15
        if x + y == 13 and 2 <= x <= 12:
            return 4
        return 7
    rows = []
    for y in reversed(range(h)):  # bottom-up
        row = bytearray()
        for x in range(0, w, 2):
            row.append((px(x, y) << 4) | px(x + 1, y))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    colors = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(info) + len(colors)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return header + info + colors + data


def form_icon():
    """30 x 27, 24 bits per pixel: a blue pen writing a stroke on a white card with a red seal."""
    w, h = 30, 27
    def px(x, y):
        if x in (0, w - 1) or y in (0, h - 1):
            return (96, 96, 96)
        if (x - 22) ** 2 + (y - 19) ** 2 <= 16:
            return (200, 30, 30)
        if abs((x + y) - 22) <= 1 and 6 <= x <= 20:
            return (20, 40, 160)
        if y == 22 and 3 <= x <= 14:
            return (60, 60, 60)
        return (255, 255, 255)
    rows = []
    for y in reversed(range(h)):  # bottom-up
        row = bytearray()
        for x in range(w):
            r, g, b = px(x, y)
            row += bytes((b, g, r))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return header + info + data


def main(out):
    out = Path(out)
    white, blue, grey = (255, 255, 255), (20, 40, 160), (160, 160, 160)
    (out / "ck copy.gif").write_bytes(
        gif(160, 60, [white, blue, grey, white], draw(160, 60, signature)))
    (out / "Pass.gif").write_bytes(
        gif(230, 130, [white, (0, 128, 0), (0, 160, 0), white], draw(230, 130, mark(True))))
    (out / "False.gif").write_bytes(
        gif(230, 130, [white, (176, 0, 0), (200, 0, 0), white], draw(230, 130, mark(False))))
    Path(sys.argv[2] if len(sys.argv) > 2 else "win32/sealbrook/toolbox.bmp").write_bytes(
        toolbox_bitmap())
    Path("win32/penvane/form_icon.bmp").write_bytes(form_icon())


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "assets")
