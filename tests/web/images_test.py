#!/usr/bin/env python3
"""The web tests' picture reading: PNGs of every filter type and both colour types, and PPMs,
give back the pixels they were made from; PSNR is as defined."""
import math
import os
import struct
import sys
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import images  # noqa: E402


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def paeth(left, up, corner):
    guess = left + up - corner
    pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
    return left if pa <= pb and pa <= pc else up if pb <= pc else corner


def encode_png(width, height, pixels, channels):
    """Row y is written with filter y % 5, so that every filter is used."""
    stride = width * channels
    raw = bytearray()
    previous = bytes(stride)
    for y in range(height):
        line = pixels[y * stride:(y + 1) * stride]
        kind = y % 5
        out = bytearray([kind])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            corner = previous[i - channels] if i >= channels else 0
            up = previous[i]
            guess = [0, left, up, (left + up) // 2, paeth(left, up, corner)][kind]
            out.append((line[i] - guess) & 0xFF)
        raw += out
        previous = line
    header = struct.pack(">IIBBBBB", width, height, 8, 2 if channels == 3 else 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw))) +
            chunk(b"IEND", b""))


def pattern(width, height, channels):
    return bytes((x * 37 + y * 91 + c * 53 + (x * y) % 7) & 0xFF
                 for y in range(height) for x in range(width) for c in range(channels))


class Pictures(unittest.TestCase):
    def test_png_rows_of_every_filter_decode_to_their_pixels(self):
        rgb = pattern(13, 11, 3)
        self.assertEqual(images.read_png(encode_png(13, 11, rgb, 3)), (13, 11, rgb))

    def test_rgba_loses_only_its_alpha(self):
        rgba = pattern(7, 6, 4)
        rgb = bytes(b for i, b in enumerate(rgba) if i % 4 != 3)
        self.assertEqual(images.read_png(encode_png(7, 6, rgba, 4)), (7, 6, rgb))

    def test_other_pngs_and_other_files_are_refused(self):
        with self.assertRaises(ValueError):
            images.read_png(b"GIF89a")
        paletted = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 3, 0, 0, 0)))
        with self.assertRaises(ValueError):
            images.read_png(paletted)

    def test_psnr(self):
        a = (2, 1, bytes([0, 0, 0, 255, 255, 255]))
        self.assertEqual(images.psnr(a, a), math.inf)
        b = (2, 1, bytes([0, 0, 0, 255, 255, 245]))  # one value off by 10 of six
        self.assertAlmostEqual(images.psnr(a, b), 10 * math.log10(255 * 255 * 6 / 100))
        with self.assertRaises(ValueError):
            images.psnr(a, (1, 2, a[2]))


if __name__ == "__main__":
    unittest.main()
