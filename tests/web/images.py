"""Pictures for the web tests: PNG (the browser's screenshots, oyun-capture's frames) and PPM
decoded with the standard library alone, and their likeness as PSNR."""
import math
import struct
import zlib


def read_png(data):
    """(width, height, rgb bytes) of an 8-bit, non-interlaced RGB or RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at = 8
    width = height = colour = None
    compressed = bytearray()
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace != 0:
                raise ValueError(f"unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(bytes(compressed))
    stride = width * channels
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        rows.append(bytes(line))
        previous = line
    pixels = b"".join(rows)
    if channels == 4:
        pixels = bytes(b for i, b in enumerate(pixels) if i % 4 != 3)
    return width, height, pixels


def read_picture(path):
    with open(path, "rb") as file:
        data = file.read()
    return read_png(data)


def psnr(a, b):
    """Peak signal-to-noise ratio in dB of two pictures of one size (inf when equal)."""
    if a[:2] != b[:2]:
        raise ValueError(f"sizes differ: {a[0]}x{a[1]} and {b[0]}x{b[1]}")
    squared = sum((x - y) * (x - y) for x, y in zip(a[2], b[2]))
    if squared == 0:
        return math.inf
    return 10.0 * math.log10(255.0 * 255.0 * len(a[2]) / squared)
