#!/usr/bin/env python3
"""Writes the project's own picture assets: the control's three status pictures (GIF, into
assets/), its toolbox bitmap (16 x 15, 16 colours, into win32/sealbrook/) and the path form's icon
(30 x 27, 24-bit colour) and the ribbon buttons' icons (32 x 32 with alpha), both into
win32/penvane/. Run from the repository's top folder; the results are committed."""
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


def icon(painter, size=32):
    """An icon file with one 32-bit image (alpha channel) of size x size: the ribbon's buttons."""
    w = h = size
    xor = bytearray()
    for y in reversed(range(h)):  # bottom-up
        for x in range(w):
            r, g, b, a = painter(x, y)
            xor += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    mask = bytes(mask_row * h)  # everything drawn through the alpha channel
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + bytes(xor) + mask
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return head + entry + image


CLEAR = (0, 0, 0, 0)
INK = (20, 40, 160, 255)
SEAL = (200, 30, 30, 255)
CARD = (255, 255, 255, 255)
EDGE = (90, 90, 90, 255)
FOLDER = (230, 180, 60, 255)


def card(x, y):
    """The signature block: a white card with a grey edge and a signature stroke."""
    if 3 <= x <= 28 and 7 <= y <= 24:
        if x in (3, 28) or y in (7, 24):
            return EDGE
        if y == 19 and 6 <= x <= 20:
            return EDGE
        import math
        if 6 <= x <= 22 and abs(y - (15 + int(3 * math.sin(x / 2.0)))) <= 0:
            return INK
        return CARD
    return CLEAR


def pen(x, y):
    """A pen writing from the top right down to the lower left."""
    d = x + y
    if abs(d - 33) <= 1 and 12 <= x <= 29:
        return INK
    if abs(d - 33) <= 0 and 9 <= x < 12:
        return EDGE
    return CLEAR


def seal(x, y):
    return SEAL if (x - 23) ** 2 + (y - 22) ** 2 <= 20 else CLEAR


def layered(*painters):
    def paint(x, y):
        for p in painters:
            c = p(x, y)
            if c[3]:
                return c
        return CLEAR
    return paint


def folder(x, y):
    if 2 <= x <= 20 and 12 <= y <= 28:
        return EDGE if x in (2, 20) or y in (12, 28) else FOLDER
    if 2 <= x <= 9 and 9 <= y <= 11:
        return FOLDER
    return CLEAR


def plus(x, y):
    if (22 <= x <= 30 and 25 <= y <= 27) or (25 <= x <= 27 and 22 <= y <= 30):
        return (0, 128, 0, 255)
    return CLEAR


def badge(colour, shape):
    """A round badge in the lower right corner with a white tick, cross or question mark."""
    def paint(x, y):
        dx, dy = x - 23, y - 23
        if dx * dx + dy * dy > 64:
            return CLEAR
        on = False
        if shape == "tick":
            on = (abs(dy - 2 - dx) <= 1 and -4 <= dx <= -1) or (abs(dy - 2 + dx) <= 1 and -1 <= dx <= 4)
        elif shape == "cross":
            on = -4 <= dx <= 4 and (abs(dx - dy) <= 1 or abs(dx + dy) <= 1)
        elif shape == "question":
            on = (dy == -4 and -2 <= dx <= 2) or (dx == 2 and -4 <= dy <= -1) or \
                 (dy == -1 and 0 <= dx <= 2) or (dx == 0 and -1 <= dy <= 1) or (dx == 0 and dy == 4)
        return (255, 255, 255, 255) if on else colour
    return paint


def lens(x, y):
    """A magnifying glass over the lower right of the card."""
    dx, dy = x - 20, y - 19
    r2 = dx * dx + dy * dy
    if 25 <= r2 <= 42:
        return EDGE
    if r2 < 25:
        return (200, 225, 255, 255)
    if abs((x - 24) - (y - 23)) <= 1 and 24 <= x <= 30 and 23 <= y <= 29:
        return EDGE
    return CLEAR


RIBBON_ICONS = {
    "ribbon_setuppath.ico": layered(pen, folder),
    "ribbon_insert.ico": layered(plus, card),
    "ribbon_sign.ico": layered(pen, seal),
    "ribbon_insertandsign.ico": layered(pen, seal, card),
    # The status of the active document, and verify.
    "ribbon_status_unsigned.ico": card,
    "ribbon_status_valid.ico": layered(badge((0, 140, 0, 255), "tick"), card),
    "ribbon_status_invalid.ico": layered(badge((190, 0, 0, 255), "cross"), card),
    "ribbon_status_unknown.ico": layered(badge((200, 130, 0, 255), "question"), card),
    "ribbon_verify.ico": layered(lens, card),
}


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
    for name, painter in RIBBON_ICONS.items():
        Path("win32/penvane/" + name).write_bytes(icon(painter))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "assets")
