"""Reading BMP files and writing PNG files in pure Python, for the skin mock-up and the contact
sheet of the sample walk's screenshots."""
import os
import struct
import zlib


def read_bmp(path):
    """Rows of (r, g, b), top row first; 24- and 32-bit uncompressed pictures."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError("%s: not a BMP file" % path)
    offset, = struct.unpack_from("<I", data, 10)
    w, h, _, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
    if bpp not in (24, 32) or compression not in (0, 3):
        raise ValueError("%s: %d bits per pixel, compression %d" % (path, bpp, compression))
    step = bpp // 8
    stride = (w * step + 3) & ~3
    if offset + stride * abs(h) > len(data):
        raise ValueError("%s: truncated" % path)
    rows = []
    for y in range(abs(h)):
        start = offset + ((abs(h) - 1 - y) if h > 0 else y) * stride
        row = data[start:start + w * step]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, w * step, step)])
    return rows


class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def fill(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = c

    def blit(self, img, x0, y0, w=None, h=None):
        for y, row in enumerate(img[:h] if h else img):
            if not 0 <= y0 + y < self.h:
                continue
            dst = self.px[y0 + y]
            for x, c in enumerate(row[:w] if w else row):
                if 0 <= x0 + x < self.w:
                    dst[x0 + x] = c

    def png(self, path):
        write_png(path, self.px)


def halve(rows):
    """The picture at half its size, each pixel the mean of four."""
    out = []
    for y in range(0, len(rows) - 1, 2):
        a, b = rows[y], rows[y + 1]
        out.append([tuple((a[x][k] + a[x + 1][k] + b[x][k] + b[x + 1][k]) // 4 for k in range(3))
                    for x in range(0, len(a) - 1, 2)])
    return out


def write_png(path, rows):
    h, w = len(rows), len(rows[0]) if rows else 0
    raw = b"".join(b"\0" + bytes(v for c in row for v in c) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + \
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    if os.path.dirname(path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
