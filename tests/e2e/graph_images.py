"""Draws the test graphs and writes them as BMP, GIF or TIFF files, or as a
JPEG file cut off half-way.

Besides the curve, each graph holds the things the curve scan must judge
right: a frame and ticks just outside the scanned window, colours that look
dark but carry much green, colours that look light but carry little, a gap
in the curve, and a grid the scan must ignore or fall back to."""

import subprocess
from pathlib import Path

from graph_case import GraphCase, PlotArea
from raster import Raster, write_bmp

# Colours with their green component, which is all the curve scan looks at.
WHITE = (255, 255, 255)        # 255: never taken
BLACK = (0, 0, 0)              # 0
CURVE_BLUE = (20, 40, 170)     # 40
RED = (255, 0, 0)              # 0: ties with black, the topmost wins
BRIGHT_MAGENTA = (255, 30, 255)  # 30: light to the eye, yet beats the curve
DARK_TEAL = (0, 90, 90)        # 90: dark to the eye, yet loses to the curve
PURE_GREEN = (0, 255, 0)       # 255: never taken
YELLOW = (255, 255, 0)         # 255: never taken
GRID_CYAN = (190, 255, 255)    # 255: horizontal grid lines, invisible to the scan
GRID_GREY = (200, 200, 200)    # 200: vertical grid lines, taken only where the curve is missing

# Half the width, in columns, of the gap around the middle vertical grid line.
GAP_HALF_WIDTH = 6


def draw_graph(case: GraphCase) -> Raster:
    area = case.area
    raster = Raster(*case.image_size, WHITE)
    _draw_grid(raster, area)
    gap = _gap_columns(area)
    curve_rows = _draw_curve(raster, case, gap)
    _draw_frame_and_ticks(raster, area)
    _draw_decoys(raster, area, curve_rows)
    return raster


def _draw_grid(raster: Raster, area: PlotArea) -> None:
    for v in (0.25, 0.5, 0.75):
        raster.fill(area.start_x, area.row_at(v), area.end_x, area.row_at(v), GRID_CYAN)
    for u in (0.25, 0.5, 0.75):
        raster.fill(area.column_at(u), area.end_y, area.column_at(u), area.start_y, GRID_GREY)


def _gap_columns(area: PlotArea) -> range:
    middle = area.column_at(0.5)
    return range(middle - GAP_HALF_WIDTH, middle + GAP_HALF_WIDTH + 1)


def _draw_curve(raster: Raster, case: GraphCase, gap: range) -> dict[int, int]:
    """A curve three pixels thick, joined vertically between columns so that it
    has no holes; returns the centre row of every column drawn."""
    area = case.area
    centres = {}
    previous = None
    for x in range(area.start_x + 2 + case.blank_lead, area.end_x - 1):
        if x in gap:
            previous = None
            continue
        centre = area.row_at(case.curve((x - area.start_x) / area.width))
        top, bottom = centre - 1, centre + 1
        if previous is not None:
            top, bottom = min(top, previous), max(bottom, previous)
        raster.fill(x, top, x, bottom, CURVE_BLUE)
        centres[x] = centre
        previous = centre
    return centres


def _draw_frame_and_ticks(raster: Raster, area: PlotArea) -> None:
    """Black, and all outside the scanned window except where said."""
    sx, sy, ex, ey = area.start_x, area.start_y, area.end_x, area.end_y
    raster.fill(sx, ey, ex, ey + 1, BLACK)
    raster.fill(sx, sy - 1, ex, sy, BLACK)
    raster.fill(sx, ey, sx + 1, sy, BLACK)
    raster.fill(ex - 1, ey, ex, sy, BLACK)
    # Ticks up from the bottom edge reach row SY - 14, the last row not scanned.
    for u in (0.1, 0.3, 0.7, 0.9):
        raster.fill(area.column_at(u), sy - 14, area.column_at(u), sy, BLACK)
    # One tick reaches a row further, into the lowest scanned row.
    raster.fill(area.column_at(0.2), sy - 15, area.column_at(0.2), sy, BLACK)
    # Ticks down from the top edge end in row EY + 2, the last row not scanned...
    for u in (0.15, 0.45, 0.85):
        raster.fill(area.column_at(u), ey, area.column_at(u), ey + 2, BLACK)
    # ...but this one reaches the topmost scanned row.
    raster.fill(area.column_at(0.6), ey, area.column_at(0.6), ey + 3, BLACK)


def _draw_decoys(raster: Raster, area: PlotArea, curve_rows: dict[int, int]) -> None:
    top_limit, bottom_limit = area.end_y + 6, area.start_y - 20

    def block(u: float, offset: int, colour, size: int = 3) -> None:
        x = area.column_at(u)
        y = min(max(curve_rows[x] + offset, top_limit), bottom_limit)
        raster.fill(x, y, x + size - 1, y + size - 1, colour)

    block(0.35, 20, RED)            # below the curve, without green: taken
    block(0.35, 40, BLACK)          # as dark as the red above it: loses the tie
    block(0.8, 18, BRIGHT_MAGENTA)  # below the curve, less green: taken
    block(0.55, -24, DARK_TEAL, 4)  # above the curve, more green: ignored
    block(0.27, -22, PURE_GREEN, 4)
    block(0.27, -30, YELLOW, 4)


def write_image(raster: Raster, path: Path, scratch: Path) -> None:
    """Writes the raster in the format named by the file's extension. GIF,
    TIFF and PNG come from ImageMagick; all are lossless, which is checked by
    reading the file back, so that a wrong expectation never blames the program."""
    suffix = path.suffix.lower()
    if suffix == ".bmp":
        write_bmp(raster, path)
        return
    source = scratch / (path.stem + "-source.bmp")
    write_bmp(raster, source)
    options = {".gif": [], ".tif": ["-type", "TrueColor", "-compress", "LZW"],
               ".png": ["-type", "TrueColor"]}[suffix]
    subprocess.run(["convert", str(source), *options, str(path)], check=True)
    decoded = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"],
                             check=True, capture_output=True).stdout
    if decoded != raster.rgb_bytes():
        raise RuntimeError(f"test image {path.name} does not hold the pixels drawn for it")


def write_cut_jpeg(raster: Raster, path: Path, scratch: Path) -> None:
    """The graph as a JPEG file of which only the first half arrived, as from
    a broken download: a decoder fills the rest with grey."""
    source = scratch / (path.stem + "-source.bmp")
    write_bmp(raster, source)
    whole = subprocess.run(["convert", str(source), "-quality", "90", "jpg:-"],
                           check=True, capture_output=True).stdout
    path.write_bytes(whole[:len(whole) // 2])
