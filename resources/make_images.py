"""Builds the program's icon and its invisible pointer from readable sources.

    make_images.py ICON_TEXT ICON_OUT CURSOR_OUT

ICON_TEXT holds 16 rows of 16 characters ('.' black, '#' cyan; lines starting
with '#' followed by a space are comments). The icon is written as a 16 x 16,
16-colour .ico, fully opaque. The pointer is a 32 x 32 monochrome .cur whose
every pixel is transparent.
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
PIXEL_INDEX = {".": PALETTE.index((0, 0, 0)), "#": PALETTE.index((0, 255, 255))}
ICON_SIZE = 16
CURSOR_SIZE = 32


def read_icon_rows(path):
    with open(path, encoding="utf-8") as source:
        rows = [line.rstrip("\n") for line in source if not line.startswith("# ")]
    rows = [row for row in rows if row]
    if len(rows) != ICON_SIZE or any(len(row) != ICON_SIZE for row in rows):
        raise SystemExit(f"{path}: expected {ICON_SIZE} rows of {ICON_SIZE} pixels")
    for row in rows:
        for pixel in row:
            if pixel not in PIXEL_INDEX:
                raise SystemExit(f"{path}: unknown pixel {pixel!r}")
    return rows


def bitmap_header(width, height, bit_count, colours, image_size):
    # Icon and cursor images store the colour bitmap and the mask one above
    # the other, so the header gives twice the height.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bit_count, 0, image_size, 0, 0, colours, 0)


def mask_rows(size, byte):
    stride = ((size + 31) // 32) * 4
    return bytes([byte]) * (stride * size)


def icon_image(rows):
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour = bytearray()
    for row in reversed(rows):  # bottom-up
        indices = [PIXEL_INDEX[p] for p in row]
        for i in range(0, ICON_SIZE, 2):
            colour.append((indices[i] << 4) | indices[i + 1])
    mask = mask_rows(ICON_SIZE, 0x00)  # opaque everywhere
    header = bitmap_header(ICON_SIZE, ICON_SIZE, 4, 16, len(colour) + len(mask))
    return header + palette + bytes(colour) + mask


def cursor_image():
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    colour = mask_rows(CURSOR_SIZE, 0x00)
    mask = mask_rows(CURSOR_SIZE, 0xFF)  # AND mask all set, colour all clear: transparent
    header = bitmap_header(CURSOR_SIZE, CURSOR_SIZE, 1, 2, len(colour) + len(mask))
    return header + palette + colour + mask


def write_icon(path, image):
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICON_SIZE, ICON_SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


def write_cursor(path, image):
    directory = struct.pack("<HHH", 0, 2, 1)
    hot_spot = CURSOR_SIZE // 2
    entry = struct.pack("<BBBBHHII", CURSOR_SIZE, CURSOR_SIZE, 2, 0, hot_spot, hot_spot, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__)
    write_icon(argv[2], icon_image(read_icon_rows(argv[1])))
    write_cursor(argv[3], cursor_image())


if __name__ == "__main__":
    main(sys.argv)
