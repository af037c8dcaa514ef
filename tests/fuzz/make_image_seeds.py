#!/usr/bin/env python3
"""Writes the small seed pictures of the TGA and DIB fuzz targets into corpus/tga and corpus/dib."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def tga(image_type, width, height, bits, body, descriptor=0):
    return bytes([0, 0, image_type]) + bytes(9) + struct.pack('<HHBB', width, height, bits, descriptor) + body


def bmp(width, height, bits, data, palette=b'', compression=0, colors_used=0, masks=b'', core=False,
        file_header=True):
    if core:
        header = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, len(data), 2835, 2835,
                             colors_used, 0)
    body = header + masks + palette
    if not file_header:
        return body + data
    offset = 14 + len(body)
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + body + data


def palette(entries, entry_size=4):
    return b''.join(bytes([i * 13 % 256, 255 - i % 256, i * 7 % 256] + [0] * (entry_size - 3))
                    for i in range(entries))


def rows(width, height, bits, value):
    out = b''
    for y in range(height):
        if bits < 8:
            line = bytearray((width * bits + 7) // 8)
            for x in range(width):
                bit = x * bits
                line[bit // 8] |= value(x, y) << (8 - bits - bit % 8)
        else:
            line = bytearray()
            for x in range(width):
                line += value(x, y).to_bytes(bits // 8, 'little')
        line += bytes(-len(line) % 4)
        out += bytes(line)
    return out


def tga_seeds():
    px24 = bytes(range(24))
    px32 = bytes(range(100, 124))
    return {
        'plain24.tga': tga(2, 4, 2, 24, px24),
        'plain32.tga': tga(2, 3, 2, 32, px32),
        'topdown24.tga': tga(2, 2, 2, 24, px24[:12], 0x20),
        'rle24.tga': tga(10, 4, 2, 24, b'\x83\x01\x02\x03\x02\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x80\x0d\x0e\x0f'),
        'rle32.tga': tga(10, 64, 2, 32, b'\xff\x10\x20\x30\x40'),
        'rle_raw.tga': tga(10, 3, 1, 24, b'\x02' + bytes(range(9))),
        'short.tga': tga(10, 4, 2, 24, b'\x83\x01'),
    }


def dib_seeds():
    index = lambda x, y: (x + 2 * y) % 2
    return {
        'core1.bmp': bmp(5, 3, 1, rows(5, 3, 1, index), palette(2, 3), core=True),
        'core4.bmp': bmp(5, 3, 4, rows(5, 3, 4, lambda x, y: (x + y) % 16), palette(16, 3), core=True),
        'core8.bmp': bmp(5, 3, 8, rows(5, 3, 8, lambda x, y: x * 3 + y), palette(256, 3), core=True),
        'core24.bmp': bmp(3, 2, 24, rows(3, 2, 24, lambda x, y: x * 0x10203 + y), core=True),
        'info1.bmp': bmp(9, 2, 1, rows(9, 2, 1, index), palette(2)),
        'info4.bmp': bmp(5, 3, 4, rows(5, 3, 4, lambda x, y: (x + y) % 16), palette(16)),
        'info8short.bmp': bmp(5, 3, 8, rows(5, 3, 8, lambda x, y: x % 5), palette(4), colors_used=4),
        'info16.bmp': bmp(3, 2, 16, rows(3, 2, 16, lambda x, y: 0x7C00 >> (5 * x))),
        'fields565.bmp': bmp(3, 2, 16, rows(3, 2, 16, lambda x, y: 0xF800 >> (6 * x)), compression=3,
                             masks=struct.pack('<III', 0xF800, 0x07E0, 0x001F)),
        'info24.bmp': bmp(3, 2, 24, rows(3, 2, 24, lambda x, y: x * 0x102030 + y)),
        'info32.bmp': bmp(2, 2, 32, rows(2, 2, 32, lambda x, y: 0xFF000000 | x << 16 | y)),
        'fields32.bmp': bmp(2, 1, 32, rows(2, 1, 32, lambda x, y: 0x3FF << (10 * x)), compression=3,
                            masks=struct.pack('<III', 0x3FF00000, 0x000FFC00, 0x3FF)),
        'topdown24.bmp': bmp(3, -2, 24, rows(3, 2, 24, lambda x, y: x << 8 | y)),
        'packed8.bmp': bmp(4, 2, 8, rows(4, 2, 8, lambda x, y: x), palette(4), colors_used=4, file_header=False),
        'rle8.bmp': bmp(6, 4, 8, b'\x03\x01\x00\x03\x02\x03\x04\x00\x00\x00\x02\x05\x00\x02\x02\x01\x02\x06'
                        b'\x00\x00\x06\x07\x00\x01', palette(8), compression=1, colors_used=8),
        'rle4.bmp': bmp(7, 2, 4, b'\x05\x12\x02\x34\x00\x00\x00\x05\xab\xcd\xe0\x00\x02\xff\x00\x01', palette(16),
                        compression=2),
    }


def write(folder, seeds):
    path = os.path.join(HERE, 'corpus', folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(path, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    write('tga', tga_seeds())
    write('dib', dib_seeds())
    sys.exit(0)
