"""A 24-bit RGB raster and its BMP file form: enough to draw test graphs
pixel by pixel and know exactly which colour every pixel has."""

import struct
import zlib

Rgb = tuple[int, int, int]


class Raster:
    def __init__(self, width: int, height: int, background: Rgb = (255, 255, 255)):
        self.width = width
        self.height = height
        self._pixels = [background] * (width * height)

    def get(self, x: int, y: int) -> Rgb:
        return self._pixels[self._index(x, y)]

    def set(self, x: int, y: int, colour: Rgb) -> None:
        self._pixels[self._index(x, y)] = colour

    def fill(self, x0: int, y0: int, x1: int, y1: int, colour: Rgb) -> None:
        """Paints the rectangle with both corners included."""
        for y in range(min(y0, y1), max(y0, y1) + 1):
            for x in range(min(x0, x1), max(x0, x1) + 1):
                self.set(x, y, colour)

    def rgb_bytes(self) -> bytes:
        """Top row first, three bytes R, G, B per pixel: ImageMagick's rgb: form."""
        return bytes(channel for pixel in self._pixels for channel in pixel)

    def _index(self, x: int, y: int) -> int:
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width} x {self.height}")
        return y * self.width + x


def bmp_bytes(raster: Raster) -> bytes:
    """An uncompressed 24-bit BMP: rows bottom-up, B G R, each row padded to 4 bytes."""
    row_size = (3 * raster.width + 3) & ~3
    padding = bytes(row_size - 3 * raster.width)
    rows = []
    for y in range(raster.height - 1, -1, -1):
        row = bytearray()
        for x in range(raster.width):
            red, green, blue = raster.get(x, y)
            row += bytes((blue, green, red))
        rows.append(bytes(row) + padding)
    pixel_data = b"".join(rows)
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixel_data), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, raster.width, raster.height, 1, 24, 0,
                              len(pixel_data), 2835, 2835, 0, 0)
    return file_header + info_header + pixel_data


def write_bmp(raster: Raster, path) -> None:
    with open(path, "wb") as out:
        out.write(bmp_bytes(raster))


def png_bytes(raster: Raster, extra_chunks: bytes = b"") -> bytes:
    """An 8-bit RGB PNG, rows unfiltered; `extra_chunks` (whole chunks) follow the header."""
    pixels, row = raster.rgb_bytes(), 3 * raster.width
    rows = b"".join(b"\0" + pixels[y * row:(y + 1) * row] for y in range(raster.height))
    header = struct.pack(">IIBBBBB", raster.width, raster.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra_chunks +
            png_chunk(b"IDAT", zlib.compress(rows, 6)) + png_chunk(b"IEND", b""))


def png_chunk(kind: bytes, body: bytes) -> bytes:
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
