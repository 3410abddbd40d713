"""What a digitizing of a test graph must give, worked out here from the
pixels drawn and the corners clicked, without the program's own code."""

import math
import struct
from decimal import ROUND_FLOOR, Decimal

from graph_case import GraphCase, PlotArea
from raster import Raster

# A value this close (relative) to a rounding half may round either way.
ROUNDING_HALF_TOLERANCE = Decimal("1e-9")


def curve_rows(raster: Raster, area: PlotArea) -> list[int]:
    """For each column from SX + 2 to EX - 2, the topmost row of least green
    among rows EY + 3 to SY - 15; a column without green below 255 repeats the
    row before it, which starts at 0."""
    rows = []
    row = 0
    for x in range(area.start_x + 2, area.end_x - 1):
        least_green = 255
        for y in range(area.end_y + 3, area.start_y - 14):
            green = raster.get(x, y)[1]
            if green < least_green:
                least_green, row = green, y
        rows.append(row)
    return rows


def colour_rows(raster: Raster, area: PlotArea, colour, tolerance: int = 48) -> tuple[int, list[float]]:
    """For each column from SX + 2 to EX - 2 that the curve reaches, the
    centre of the pixels within `tolerance` of `colour` in every component
    among rows EY + 1 to SY - 1 (the test graphs draw the curve in one colour,
    one run per column, so every pixel weighs the same); columns without one
    on the straight line between their found neighbours. Before the first and
    after the last column that shows the curve there is none. Returned with
    the index of the first column from SX + 2; single precision, as the
    program keeps rows."""
    found = []
    for x in range(area.start_x + 2, area.end_x - 1):
        rows = [y for y in range(area.end_y + 1, area.start_y)
                if all(abs(a - b) <= tolerance for a, b in zip(raster.get(x, y), colour))]
        found.append((min(rows) + max(rows)) / 2 if rows else None)
    known = [i for i, row in enumerate(found) if row is not None]
    if not known:
        return 0, []
    rows = []
    for i in range(known[0], known[-1] + 1):
        before = max(k for k in known if k <= i)
        after = min(k for k in known if k >= i)
        row = found[i] if before == after else found[before] + (found[after] - found[before]) * (i - before) / (after - before)
        rows.append(struct.unpack("f", struct.pack("f", row))[0])
    return known[0], rows


def graph_x(case: GraphCase, column: float) -> float:
    area, x1, x2 = case.area, float(case.typed[0]), float(case.typed[2])
    if case.mode in (3, 4):
        return x1 * math.exp((column - area.start_x) * (math.log(x2 / x1) / area.width))
    return x1 + ((column - area.start_x) * (x2 - x1)) / area.width


def graph_y(case: GraphCase, row: float) -> float:
    area, y1, y2 = case.area, float(case.typed[1]), float(case.typed[3])
    if case.mode in (1, 4):
        return y1 + ((area.start_y - row) * (y2 - y1)) / area.height
    return y1 * math.exp((area.start_y - row) * (math.log(y2 / y1) / area.height))


def expected_points(case: GraphCase, raster: Raster, colour=None) -> list[tuple[float, float]]:
    """The points of the darkest-pixel rule, or of the curve's `colour`."""
    first, rows = (0, curve_rows(raster, case.area)) if colour is None else colour_rows(raster, case.area, colour)
    first_column = case.area.start_x + 2 + first
    return [(graph_x(case, first_column + i), graph_y(case, row)) for i, row in enumerate(rows)]


def _text(negative: bool, mantissa_thousandths: int, exponent: int) -> str:
    if mantissa_thousandths == 10000:  # 9.9995 rounded up is 1.000 of the next power
        mantissa_thousandths, exponent = 1000, exponent + 1
    whole, decimals = divmod(mantissa_thousandths, 1000)
    sign = "-" if negative else ""
    exponent_sign = "-" if exponent < 0 else "+"
    return f"{sign}{whole}.{decimals:03d}E{exponent_sign}{abs(exponent):02d}"


def number_texts(value: float) -> set[str]:
    """The "0.000E+00" texts accepted for value: the correctly rounded one and,
    only when the value lies within 1e-9 relative of a rounding half, also the
    one a digit away on the other side of that half."""
    if value == 0:
        return {"0.000E+00"}
    exact = Decimal(value)  # the double's exact decimal expansion
    magnitude = abs(exact)
    exponent = magnitude.adjusted()
    thousandths = magnitude.scaleb(3 - exponent)  # 1000 <= thousandths < 10000
    lower = int(thousandths.to_integral_value(rounding=ROUND_FLOOR))
    fraction = thousandths - lower
    if fraction > Decimal("0.5"):
        nearest = lower + 1
    elif fraction < Decimal("0.5"):
        nearest = lower
    else:
        nearest = lower + (lower % 2)  # an exact half: either way is accepted below
    texts = {_text(value < 0, nearest, exponent)}
    if abs(fraction - Decimal("0.5")) <= ROUNDING_HALF_TOLERANCE * thousandths:
        texts |= {_text(value < 0, lower, exponent), _text(value < 0, lower + 1, exponent)}
    return texts
