#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/tga, corpus/dib, corpus/model and corpus/glyphs.

Every seed is small (bytes to about a kilobyte) so that each run stays quick, and there is one
of every kind of input the readers take or refuse. Each folder is made to hold exactly these
seeds: files the script does not write are removed. The output is the same on every run.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The fuzz targets are run with this -max_len (tests/fuzz/CMakeLists.txt); no seed may be longer.
MAX_LEN = {'tga': 2048, 'dib': 2048, 'model': 4096, 'glyphs': 2048}


def tga(image_type, width, height, bits, body, descriptor=0, id_length=0, color_map=None, origin=(0, 0)):
    """color_map: (first entry, entries, bits per entry) for a file that has one."""
    spec = bytes(5) if color_map is None else struct.pack('<HHB', *color_map)
    return (bytes([id_length, 0 if color_map is None else 1, image_type]) + spec +
            struct.pack('<HHHHBB', origin[0], origin[1], width, height, bits, descriptor) + body)


def bgr(i):
    return bytes([i * 37 % 256, i * 11 % 256, 255 - i % 256])


def bmp(width, height, bits, data, palette=b'', compression=0, colors_used=0, masks=b'', core=False,
        file_header=True, header_size=40, bits_offset=None):
    if core:
        header = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        header = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bits, compression, len(data), 2835,
                             2835, colors_used, 0)
        # The V4 and V5 headers go on with masks, colour space, end points and gamma (and intent, profile).
        header += bytes(header_size - 40)
    body = header + masks + palette
    if not file_header:
        return body + data
    offset = 14 + len(body) if bits_offset is None else bits_offset
    return b'BM' + struct.pack('<IHHI', 14 + len(body) + len(data), 0, 0, offset) + body + data


def palette(entries, entry_size=4):
    return b''.join(bytes([i * 13 % 256, 255 - i % 256, i * 7 % 256] + [0] * (entry_size - 3))
                    for i in range(entries))


def rows(width, height, bits, value, pad_last=True):
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
        if pad_last or y < height - 1:
            line += bytes(-len(line) % 4)
        out += bytes(line)
    return out


def tga_seeds():
    px24 = bytes(range(24))
    px32 = bytes(range(100, 124))
    raw128 = b''.join(bgr(i) for i in range(128))
    many_runs = b''.join(b'\xff' + bgr(i) for i in range(16))
    footer = bytes(8) + b'TRUEVISION-XFILE.\0'
    return {
        # Uncompressed, both depths, every descriptor (origin and alpha bits are ignored).
        'plain24.tga': tga(2, 4, 2, 24, px24),
        'plain32.tga': tga(2, 3, 2, 32, px32),
        'plain24_odd_rows.tga': tga(2, 3, 3, 24, bytes(range(27))),
        'topdown24.tga': tga(2, 2, 2, 24, px24[:12], 0x20),
        'plain32_alpha_bits.tga': tga(2, 2, 1, 32, px32[:8], 0x08),
        'plain32_top_right.tga': tga(2, 2, 1, 32, px32[:8], 0x38),
        'plain24_footer.tga': tga(2, 1, 1, 24, b'\x01\x02\x03' + footer),
        'plain24_wide.tga': tga(2, 128, 2, 24, raw128 + raw128[::-1]),
        # Run-length: runs, raw packets, the longest of each, packets across rows, both depths.
        'rle24.tga': tga(10, 4, 2, 24, b'\x83\x01\x02\x03\x02\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x80\x0d\x0e\x0f'),
        'rle32.tga': tga(10, 64, 2, 32, b'\xff\x10\x20\x30\x40'),
        'rle32_mixed.tga': tga(10, 3, 1, 32, b'\x01\x01\x02\x03\x04\x05\x06\x07\x08\x80\x09\x0a\x0b\x0c'),
        'rle_raw.tga': tga(10, 3, 1, 24, b'\x02' + bytes(range(9))),
        'rle_raw128.tga': tga(10, 128, 1, 24, b'\x7f' + raw128),
        'rle_runs.tga': tga(10, 64, 32, 24, many_runs),
        'rle_across_rows.tga': tga(10, 3, 2, 24,
                                   b'\x81' + bgr(1) + b'\x02' + bgr(2) + bgr(3) + bgr(4) + b'\x80' + bgr(5)),
        'rle24_top_down.tga': tga(10, 2, 2, 24, b'\x81' + bgr(6) + b'\x81' + bgr(7), 0x20),
        # Files that end at each stage, or hold more or other than they may.
        'short.tga': tga(10, 4, 2, 24, b'\x83\x01'),
        'rle_ends_between_packets.tga': tga(10, 4, 2, 24, b'\x83' + bgr(8)),
        'rle_ends_in_raw.tga': tga(10, 4, 2, 24, b'\x03' + bgr(9) + b'\x01'),
        'rle_too_many.tga': tga(10, 4, 2, 24, b'\x85' + bgr(1) + b'\x82' + bgr(2)),
        'rle_large_picture_short_file.tga': tga(10, 1024, 512, 24, many_runs + b'\x05' + bgr(3)),
        'plain_large_picture_short_file.tga': tga(2, 1024, 512, 32, px32),
        'plain_cut.tga': tga(2, 4, 2, 24, px24[:20]),
        'header_only.tga': tga(2, 4, 2, 24, b'')[:12],
        'info_cut.tga': tga(10, 4, 2, 24, b'')[:15],
        'header_cut.tga': b'\0\0\x02\0\0\0',
        'id_length.tga': tga(2, 1, 1, 24, b'\x41' + bgr(1), id_length=1),
        'color_mapped.tga': tga(1, 1, 1, 8, bytes(3 * 2) + b'\x01', color_map=(0, 2, 24)),
        'gray.tga': tga(3, 2, 1, 8, b'\x10\x20'),
        'rle_color_mapped.tga': tga(9, 2, 1, 8, b'\x81\x01'),
        'rle_gray.tga': tga(11, 2, 1, 8, b'\x81\x40'),
        'x_origin.tga': tga(2, 1, 1, 24, bgr(1), origin=(5, 0)),
        'depth16.tga': tga(2, 2, 1, 16, b'\x1f\x7c\xe0\x03'),
        'depth8.tga': tga(10, 2, 1, 8, b'\x81\x05'),
        'width0.tga': tga(2, 0, 4, 24, px24[:12]),
        'height0.tga': tga(10, 4, 0, 32, b'\x80' + px32[:4]),
        'beyond_32_bits.tga': tga(10, 65535, 65535, 32, b'\xff' + px32[:4]),
    }


def rle8_every_code():
    return (b'\x03\x01'  # a run of three
            b'\x00\x03\x02\x03\x04\x00'  # three absolute pixels, padded
            b'\x00\x00'  # end of line
            b'\x00\x02\x01\x01'  # move right one and up one
            b'\x09\x05'  # a run past the row's end
            b'\x00\x00'
            b'\x00\x04\x06\x07\x00\x01'  # four absolute pixels
            b'\x00\x01')  # end of bitmap


def rle4_every_code():
    return (b'\x05\x12'  # five alternating nibbles
            b'\x00\x03\x34\x50'  # three absolute nibbles, padded
            b'\x00\x00'
            b'\x00\x02\x02\x00'  # move right two
            b'\x02\xff'
            b'\x00\x05\xab\xcd\xe0\x00'
            b'\x00\x01')


def dib_seeds():
    index = lambda x, y: (x + 2 * y) % 2
    return {
        # Core headers: 3-byte colour tables.
        'core1.bmp': bmp(5, 3, 1, rows(5, 3, 1, index), palette(2, 3), core=True),
        'core4.bmp': bmp(5, 3, 4, rows(5, 3, 4, lambda x, y: (x + y) % 16), palette(16, 3), core=True),
        'core8.bmp': bmp(5, 3, 8, rows(5, 3, 8, lambda x, y: x * 3 + y), palette(256, 3), core=True),
        'core24.bmp': bmp(3, 2, 24, rows(3, 2, 24, lambda x, y: x * 0x10203 + y), core=True),
        'core_packed4.bmp': bmp(3, 2, 4, rows(3, 2, 4, lambda x, y: x + y), palette(16, 3), core=True,
                                file_header=False),
        # Info headers at every depth, short and full colour tables.
        'info1.bmp': bmp(9, 2, 1, rows(9, 2, 1, index), palette(2)),
        'info4.bmp': bmp(5, 3, 4, rows(5, 3, 4, lambda x, y: (x + y) % 16), palette(16)),
        'info8.bmp': bmp(3, 2, 8, rows(3, 2, 8, lambda x, y: x * 80 + y), palette(256)),
        'info8short.bmp': bmp(5, 3, 8, rows(5, 3, 8, lambda x, y: x % 5), palette(4), colors_used=4),
        'info16.bmp': bmp(3, 2, 16, rows(3, 2, 16, lambda x, y: 0x7C00 >> (5 * x))),
        'info24.bmp': bmp(3, 2, 24, rows(3, 2, 24, lambda x, y: x * 0x102030 + y)),
        'info24_last_row_unpadded.bmp': bmp(5, 2, 24, rows(5, 2, 24, lambda x, y: x << 16 | y, pad_last=False)),
        'info32.bmp': bmp(2, 2, 32, rows(2, 2, 32, lambda x, y: 0xFF000000 | x << 16 | y)),
        'info24_palette_too.bmp': bmp(2, 1, 24, rows(2, 1, 24, lambda x, y: 0x123456), palette(2), colors_used=2),
        # Bit fields: 5-6-5, 10-bit and lopsided masks, and a colour with no bits.
        'fields565.bmp': bmp(3, 2, 16, rows(3, 2, 16, lambda x, y: 0xF800 >> (6 * x)), compression=3,
                             masks=struct.pack('<III', 0xF800, 0x07E0, 0x001F)),
        'fields32.bmp': bmp(2, 1, 32, rows(2, 1, 32, lambda x, y: 0x3FF << (10 * x)), compression=3,
                            masks=struct.pack('<III', 0x3FF00000, 0x000FFC00, 0x3FF)),
        'fields16_odd.bmp': bmp(4, 1, 16, rows(4, 1, 16, lambda x, y: 0x1111 * x), compression=3,
                                masks=struct.pack('<III', 0x8000, 0x7F00, 0)),
        'fields32_wide.bmp': bmp(2, 1, 32, rows(2, 1, 32, lambda x, y: 0xFFFFFFFF >> x), compression=3,
                                 masks=struct.pack('<III', 0xFFFFFFFF, 0x00000001, 0x00FFFF00)),
        # Top-down at several depths.
        'topdown1.bmp': bmp(10, -2, 1, rows(10, 2, 1, index), palette(2)),
        'topdown8.bmp': bmp(3, -3, 8, rows(3, 3, 8, lambda x, y: y), palette(3), colors_used=3),
        'topdown16.bmp': bmp(2, -2, 16, rows(2, 2, 16, lambda x, y: 0x03E0 * y + x)),
        'topdown24.bmp': bmp(3, -2, 24, rows(3, 2, 24, lambda x, y: x << 8 | y)),
        'topdown32_fields.bmp': bmp(2, -2, 32, rows(2, 2, 32, lambda x, y: x << 24 | y), compression=3,
                                    masks=struct.pack('<III', 0xFF000000, 0xFF, 0xFF00)),
        'packed8.bmp': bmp(4, 2, 8, rows(4, 2, 8, lambda x, y: x), palette(4), colors_used=4, file_header=False),
        # Run-length: every escape, odd absolute runs, data that stop early or inside a packet.
        'rle8.bmp': bmp(6, 4, 8, b'\x03\x01\x00\x03\x02\x03\x04\x00\x00\x00\x02\x05\x00\x02\x02\x01\x02\x06'
                        b'\x00\x00\x06\x07\x00\x01', palette(8), compression=1, colors_used=8),
        'rle4.bmp': bmp(7, 2, 4, b'\x05\x12\x02\x34\x00\x00\x00\x05\xab\xcd\xe0\x00\x02\xff\x00\x01', palette(16),
                        compression=2),
        'rle8_every_code.bmp': bmp(8, 4, 8, rle8_every_code(), palette(8), compression=1, colors_used=8),
        'rle4_every_code.bmp': bmp(9, 3, 4, rle4_every_code(), palette(16), compression=2),
        'rle8_unterminated.bmp': bmp(4, 3, 8, b'\x04\x01\x00\x00\x02\x02', palette(4), compression=1, colors_used=4),
        'rle8_cut_in_packet.bmp': bmp(4, 2, 8, b'\x00\x04\x01\x02', palette(4), compression=1, colors_used=4),
        'rle4_cut_in_delta.bmp': bmp(4, 2, 4, b'\x02\x11\x00\x02\x01', palette(16), compression=2),
        'rle8_large.bmp': bmp(128, 64, 8, b'\xff\x01\x00\x01', palette(2), compression=1, colors_used=2),
        'rle8_top_down.bmp': bmp(2, -2, 8, b'\x02\x01\x00\x01', palette(2), compression=1, colors_used=2),
        # Headers and layouts that are refused.
        'v4.bmp': bmp(2, 1, 24, rows(2, 1, 24, lambda x, y: 0x010203), header_size=108),
        'v5.bmp': bmp(2, 1, 32, rows(2, 1, 32, lambda x, y: 0x01020304), header_size=124),
        'os2v2.bmp': bmp(1, 1, 24, rows(1, 1, 24, lambda x, y: 7), header_size=64),
        'file_header_cut.bmp': b'BM\x3a\0\0\0\0\0',
        'bits_past_end.bmp': bmp(1, 1, 24, rows(1, 1, 24, lambda x, y: 9), bits_offset=0x1000),
        'rows_missing.bmp': bmp(3, 4, 24, rows(3, 2, 24, lambda x, y: 5)),
        'palette_missing.bmp': bmp(2, 1, 8, b'', palette(2), colors_used=200),
        'depth2.bmp': bmp(4, 1, 2, b'\x1b\0\0\0', palette(4)),
        'jpeg.bmp': bmp(1, 1, 24, b'\xff\xd8\xff\xd9', compression=4),
        'width0.bmp': bmp(0, 1, 24, b'\0\0\0\0'),
    }


MODEL = [
    'box',
    'numofjoints 2',
    'numofframe 2',
    'framerate 12',
    'first {',
    '\tPOINT 3',
    '\tFACE 1',
    '\t1.0 2.0 3.0 0.25 0.5',
    '\t4.5 0.5 1.0 1.0 0.0',
    '\t2.0 6.0 0.5 0.0 1.0',
    '\t0.0 1.0 2.0',
    '}',
    'second {',
    '\tPOINT 4',
    '\tFACE 2',
    '\t-1.0 -2.0 -3.0 0 0',
    '\t-0.5 -1.5e0 -7 1 1',
    '\t-2 -1 -0.25 0.5 0.5',
    '\t-1 -1 -1 0 1',
    '\t0.0 1.0 2.0',
    '\t3.0 2.0 1.0',
    '}',
    'frame 0 {',
    '\tjoint 0 0 0 0 0 0',
    '\tjoint 1 2 3 10 20 30',
    '}',
    'frame 1 {',
    '\tjoint 0.5 0 0 90 0 0',
    '\tjoint -1 -2 -3 -10 -20 -30',
    '}',
]


def model(lines=MODEL, ending='\n'):
    return (ending.join(lines) + ending).encode()


def with_line(old, new, lines=MODEL):
    return [new if line == old else line for line in lines]


def model_seeds():
    reference = model()
    commented = []
    for line in MODEL:
        commented += ['// c', '', line.replace('\t', '  ')]
    # Read in pieces of 254 characters: a comment whose second piece is a comment too, and an
    # ignored line whose line end comes alone as a blank piece.
    long_lines = ['/' * 300, 'b' * 254] + MODEL[1:]
    return {
        'reference.txt': reference,
        'crlf_comments_blanks.txt': model(commented, '\r\n'),
        'long_lines.txt': model(long_lines),
        'no_final_line_end.txt': reference[:-1],
        'no_frames.txt': model(with_line('numofframe 2', 'numofframe 0')[:22]),
        'no_joints.txt': b'm\nnumofjoints 0\nnumofframe 3\nframerate 1000\na\nb\nc\nd\ne\nf\n',
        'header_keyword_indented.txt': model(with_line('numofjoints 2', ' numofjoints 2')),
        'header_values_odd.txt': model(with_line('framerate 12', 'framerate\t\t-3 fps')),
        'faces_without_point_zero.txt': model(with_line('\t3.0 2.0 1.0', '\t3 2 1')),
        'face_fraction.txt': model(with_line('\t3.0 2.0 1.0', '\t2.0 3.5 1.0')),
        'unmatched_point_and_joint.txt': model(with_line('\tjoint 1 2 3 10 20 30', '\tJOINT 1 2 3 10 20 30',
                                                         with_line('\t4.5 0.5 1.0 1.0 0.0', '\t4.5 x 1.0 1.0 0.0'))),
        'numbers_out_of_range.txt': model(with_line('\t-1 -1 -1 0 1', '\t1e39 -1e39 1e-60 0x10 2e')),
        'trailing_text.txt': model(['%s // more' % line if line.startswith('\t') else line for line in MODEL]),
        'after_the_end.txt': reference + b'numofjoints 99\n\tjoint garbage\n\x01\x02\n',
        # Refused files.
        'truncated.txt': model(MODEL[:9]),
        'negative_points.txt': model(with_line('\tPOINT 3', '\tPOINT -3')),
        'counts_beyond_the_file.txt': model(with_line('numofframe 2', 'numofframe 2147483647')),
        'count_overflowing.txt': model(with_line('\tFACE 2', '\tFACE 99999999999999')),
        'corner_out_of_range.txt': model(with_line('\t3.0 2.0 1.0', '\t3.0 9.0 1.0')),
        'corner_nan.txt': model(with_line('\t3.0 2.0 1.0', 'nan 1.0 2.0')),
        'corner_inf.txt': model(with_line('\t3.0 2.0 1.0', '\t3.0 -inf 1.0')),
        'corner_missing.txt': model(with_line('\t3.0 2.0 1.0', '\t3.0 2.0')),
    }


def glyph_font(name, height, weight, italic, first, glyphs):
    """glyphs: (width, rows, bits) or None for a glyph that was not rendered."""
    out = struct.pack('<H', len(name)) + name + struct.pack('<iiBII', height, weight, italic, first, len(glyphs))
    for glyph in glyphs:
        if glyph is None:
            out += b'\0'
            continue
        width, rows, bits = glyph
        out += b'\1' + struct.pack('<HHffff', width, rows, -1.0, 2.0, 14.0, 0.0) + bits
    return out


def glyph_file(fonts, version=1):
    return b'OYUNGLYF' + struct.pack('<II', version, len(fonts)) + b''.join(fonts)


def glyph_seeds():
    letter = glyph_font(b'Courier New', -24, 700, 0, 32, [(9, 3, bytes([0xF8, 0x80, 0x88, 0x80, 0xFF, 0x80])), None,
                                                       (0, 0, b'')])
    return {
        'one_font.bin': glyph_file([letter]),
        'two_fonts.bin': glyph_file([letter, glyph_font(b'Serif', 16, 400, 1, 200, [(16, 1, b'\xAA\x55')])]),
        'no_fonts.bin': glyph_file([]),
        'version_2.bin': glyph_file([letter], version=2),
        'cut_short.bin': glyph_file([letter])[:-3],
        'count_beyond_the_file.bin': glyph_file([glyph_font(b'A', 10, 400, 0, 0, [])])[:-4] + struct.pack('<I', 65536),
        'wide_glyph.bin': glyph_file([glyph_font(b'A', 10, 400, 0, 0, [(4104, 0, b'')])]),
    }


def write(folder, seeds):
    path = os.path.join(HERE, 'corpus', folder)
    os.makedirs(path, exist_ok=True)
    for name in sorted(os.listdir(path)):
        if name not in seeds and os.path.isfile(os.path.join(path, name)):
            os.remove(os.path.join(path, name))
    for name, data in sorted(seeds.items()):
        if len(data) > MAX_LEN[folder]:
            sys.exit('%s/%s is %d bytes, over the %d of -max_len' % (folder, name, len(data), MAX_LEN[folder]))
        with open(os.path.join(path, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    write('tga', tga_seeds())
    write('dib', dib_seeds())
    write('model', model_seeds())
    write('glyphs', glyph_seeds())
    sys.exit(0)
