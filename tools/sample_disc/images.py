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


def read_png(path):
    """Rows of (r, g, b) of an 8-bit RGB PNG without interlace (Setup's preview pictures, any
    filter)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG file" % path)
    pos, idat, w, h = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h, depth, colour = struct.unpack_from(">IIBB", body)
            if depth != 8 or colour != 2:
                raise ValueError("%s: not 8-bit RGB" % path)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride, rows, prev = w * 3, [], bytearray(w * 3)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = prev[i], (prev[i - 3] if i >= 3 else 0)
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([(line[i], line[i + 1], line[i + 2]) for i in range(0, stride, 3)])
        prev = line
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


def contact_sheet(thumbs, columns=4, gap=12):
    """The pictures in rows of columns, each centred in a cell of the largest one's size."""
    cell_w = max(len(t[0]) for t in thumbs)
    cell_h = max(len(t) for t in thumbs)
    columns = min(columns, len(thumbs))
    lines = (len(thumbs) + columns - 1) // columns
    sheet = Canvas(gap + columns * (cell_w + gap), gap + lines * (cell_h + gap), (48, 52, 60))
    for i, thumb in enumerate(thumbs):
        x = gap + (i % columns) * (cell_w + gap) + (cell_w - len(thumb[0])) // 2
        y = gap + (i // columns) * (cell_h + gap) + (cell_h - len(thumb)) // 2
        sheet.blit(thumb, x, y)
    return sheet
