#!/usr/bin/env python3
"""Writes the BMP test corpus: good/ holds 8-bit files in every layout the reader accepts,
broken/ holds files the reader must refuse, each named after its fault.

Every good file shows the same kind of image: pixel (x, y), y counted from the bottom row,
has the value (7x + 31y + 1) mod 256; stored row padding is 0xAB. A "colour" table has entry
i = (blue i, green 7i mod 256, red 255 - i); a "gray" table is the identity ramp.
bmp_file_test.cpp holds the expected size, table and resolution of each good file.
Run it from anywhere; it rewrites both folders but keeps the files of other programs that
make_third_party.sh writes there (see README.md).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def pixel(x, y):
    return (7 * x + 31 * y + 1) % 256


def stride_of(width):
    return (width * 8 + 31) // 32 * 4


def rows(width, height, top_down=False):
    """The stored pixel rows of a width x height image."""
    stride = stride_of(width)
    order = range(height - 1, -1, -1) if top_down else range(height)
    out = bytearray()
    for y in order:
        row = bytes(pixel(x, y) for x in range(width))
        out += row + b"\xab" * (stride - width)
    return bytes(out)


def table(count, kind, entry_size=4):
    out = bytearray()
    for i in range(count):
        if kind == "gray":
            b, g, r = i, i, i
        else:
            b, g, r = i, (7 * i) % 256, 255 - i
        out += bytes([b, g, r]) + (b"\x00" if entry_size == 4 else b"")
    return bytes(out)


def info_header(size, width, height, planes=1, bpp=8, compression=0, image_size=None,
                xres=2835, yres=3780, used=256, important=0):
    if image_size is None:
        image_size = stride_of(abs(width)) * abs(height) if width > 0 else 0
    head = struct.pack("<IiiHHIIiiII", size, width, height, planes, bpp, compression,
                       image_size & 0xFFFFFFFF, xres, yres, used, important)
    if size > 40:
        # Colour masks, colour space and the rest are zero for an indexed image.
        head += b"\x00" * (size - 40)
    return head


def core_header(width, height, planes=1, bpp=8):
    return struct.pack("<IHHHH", 12, width, height, planes, bpp)


def bmp(info, palette, pixels, gap=b"", file_size=None, offset=None, magic=b"BM", trailer=b""):
    if offset is None:
        offset = 14 + len(info) + len(palette) + len(gap)
    body = info + palette + gap + pixels + trailer
    if file_size is None:
        file_size = 14 + len(body)
    return magic + struct.pack("<IHHI", file_size & 0xFFFFFFFF, 0, 0, offset & 0xFFFFFFFF) + body


GOOD = {
    "info40.bmp": bmp(info_header(40, 5, 3), table(256, "colour"), rows(5, 3)),
    "info40_gray.bmp": bmp(info_header(40, 5, 3), table(256, "gray"), rows(5, 3)),
    "info52.bmp": bmp(info_header(52, 5, 3), table(256, "colour"), rows(5, 3)),
    "info56.bmp": bmp(info_header(56, 5, 3), table(256, "colour"), rows(5, 3)),
    "info108.bmp": bmp(info_header(108, 5, 3), table(256, "colour"), rows(5, 3)),
    "info124.bmp": bmp(info_header(124, 5, 3), table(256, "colour"), rows(5, 3)),
    "core12.bmp": bmp(core_header(5, 3), table(256, "colour", 3), rows(5, 3)),
    "colours_used_16_gray.bmp": bmp(info_header(40, 5, 3, used=16), table(16, "gray"), rows(5, 3)),
    "colours_used_2.bmp": bmp(info_header(40, 5, 3, used=2), table(2, "colour"), rows(5, 3)),
    "info124_colours_used_100.bmp": bmp(info_header(124, 5, 3, used=100), table(100, "colour"),
                                        rows(5, 3)),
    "top_down.bmp": bmp(info_header(40, 5, -3), table(256, "colour"), rows(5, 3, top_down=True)),
    "info124_top_down.bmp": bmp(info_header(124, 5, -3), table(256, "colour"),
                                rows(5, 3, top_down=True)),
    "file_size_zero.bmp": bmp(info_header(40, 5, 3, image_size=0), table(256, "colour"), rows(5, 3),
                              file_size=0),
    "file_size_too_large.bmp": bmp(info_header(40, 5, 3), table(256, "colour"), rows(5, 3),
                                   file_size=0x7FFFFFFF),
    "file_size_too_small.bmp": bmp(info_header(40, 5, 3), table(256, "colour"), rows(5, 3),
                                   file_size=100),
    "trailing_bytes.bmp": bmp(info_header(40, 5, 3), table(256, "colour"), rows(5, 3),
                              trailer=b"\x01\x02\x03" * 50),
    "gap_after_table.bmp": bmp(info_header(40, 5, 3), table(256, "colour"), rows(5, 3),
                               gap=b"\xcc" * 6),
    "one_pixel.bmp": bmp(info_header(40, 1, 1), table(256, "colour"), rows(1, 1)),
    "width_8.bmp": bmp(info_header(40, 8, 2), table(256, "colour"), rows(8, 2)),
    "resolution_zero.bmp": bmp(info_header(40, 5, 3, xres=0, yres=0), table(256, "colour"), rows(5, 3)),
}


def with_field(data, offset, fmt, value):
    out = bytearray(data)
    struct.pack_into(fmt, out, offset, value)
    return bytes(out)


BASE = GOOD["info40.bmp"]
CORE = GOOD["core12.bmp"]
PIXEL_OFFSET = 14 + 40 + 1024

BROKEN = {
    "empty.bmp": b"",
    "shorter_than_file_header.bmp": BASE[:13],
    "file_header_only.bmp": BASE[:14],
    "magic_mb.bmp": b"MB" + BASE[2:],
    "magic_lowercase.bmp": b"bm" + BASE[2:],
    "1bit.bmp": with_field(BASE, 28, "<H", 1),
    "4bit.bmp": with_field(BASE, 28, "<H", 4),
    "16bit.bmp": with_field(BASE, 28, "<H", 16),
    "24bit.bmp": bmp(info_header(40, 5, 3, bpp=24, used=0), b"", b"\x00" * 16 * 3),
    "32bit.bmp": bmp(info_header(40, 5, 3, bpp=32, used=0), b"", b"\x00" * 20 * 3),
    "planes_0.bmp": with_field(BASE, 26, "<H", 0),
    "planes_2.bmp": with_field(BASE, 26, "<H", 2),
    "rle8.bmp": with_field(BASE, 30, "<I", 1),
    "rle4.bmp": with_field(BASE, 30, "<I", 2),
    "bitfields.bmp": with_field(BASE, 30, "<I", 3),
    "jpeg.bmp": with_field(BASE, 30, "<I", 4),
    "png.bmp": with_field(BASE, 30, "<I", 5),
    "header_size_0.bmp": with_field(BASE, 14, "<I", 0),
    "header_size_64.bmp": with_field(BASE, 14, "<I", 64),
    "header_size_huge.bmp": with_field(BASE, 14, "<I", 0xFFFFFFF0),
    "truncated_info_header.bmp": BASE[:14 + 30],
    "truncated_core_header.bmp": CORE[:14 + 8],
    "truncated_palette.bmp": BASE[:14 + 40 + 500],
    "truncated_core_palette.bmp": CORE[:14 + 12 + 300],
    "truncated_pixels.bmp": BASE[:-1],
    "top_down_truncated_pixels.bmp": GOOD["top_down.bmp"][:-1],
    "no_pixels.bmp": BASE[:PIXEL_OFFSET],
    "width_0.bmp": with_field(BASE, 18, "<i", 0),
    "height_0.bmp": with_field(BASE, 22, "<i", 0),
    "width_negative.bmp": with_field(BASE, 18, "<i", -5),
    "height_min_int.bmp": with_field(BASE, 22, "<i", -2**31),
    "width_max_int.bmp": with_field(BASE, 18, "<i", 2**31 - 1),
    "height_max_int.bmp": with_field(BASE, 22, "<i", 2**31 - 1),
    "size_over_2gib.bmp": with_field(with_field(BASE, 18, "<i", 65536), 22, "<i", 32768),
    "core_width_0.bmp": with_field(CORE, 18, "<H", 0),
    "core_height_0.bmp": with_field(CORE, 20, "<H", 0),
    "core_24bit.bmp": with_field(CORE, 24, "<H", 24),
    "core_planes_2.bmp": with_field(CORE, 22, "<H", 2),
    "colours_used_257.bmp": with_field(BASE, 46, "<I", 257),
    "colours_used_max.bmp": with_field(BASE, 46, "<I", 0xFFFFFFFF),
    "pixel_offset_0.bmp": with_field(BASE, 10, "<I", 0),
    "pixel_offset_inside_file_header.bmp": with_field(BASE, 10, "<I", 10),
    "pixel_offset_inside_info_header.bmp": with_field(BASE, 10, "<I", 14 + 20),
    "pixel_offset_before_table_end.bmp": with_field(BASE, 10, "<I", PIXEL_OFFSET - 4),
    "palette_past_pixel_offset.bmp": bmp(info_header(40, 5, 3, used=0), table(16, "colour"), rows(5, 3)),
    "pixel_offset_past_end.bmp": with_field(BASE, 10, "<I", len(BASE) + 1),
    "pixel_offset_max.bmp": with_field(BASE, 10, "<I", 0xFFFFFFFF),
    "pixel_offset_too_late.bmp": with_field(BASE, 10, "<I", PIXEL_OFFSET + 4),
}


# Files other programs wrote (make_third_party.sh) are kept; all others are written anew.
THIRD_PARTY_PREFIXES = ("imagemagick_", "graphicsmagick_", "pillow_", "netpbm_", "ffmpeg_", "opencv_")


def write_folder(name, files):
    folder = os.path.join(HERE, name)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if not old.startswith(THIRD_PARTY_PREFIXES):
            os.remove(os.path.join(folder, old))
    for file_name, data in sorted(files.items()):
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    write_folder("good", GOOD)
    write_folder("broken", BROKEN)
