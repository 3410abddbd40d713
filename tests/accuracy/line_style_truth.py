"""What is true of a graph drawn by styled_programs.py, and the checks that
the drawn picture agrees: where graph values fall in pixels, where a user
Ctrl + clicks the wanted curve, and that the curve and its markers are drawn
where their values put them.

Pixel indices have pixel k's centre at k, as in graph_programs.py."""

import math

import numpy as np

from graph_programs import log_x, log_y
from page_distortions import PAGE, darkness, read_rgb
from styled_programs import axis_ticks

# The share of a full ink a pixel must hold to count as a line's core.
CORE = 0.75


def axis_term(value, is_log):
    return np.log10(value) if is_log else np.asarray(value, float)


def to_pixel(graph, x, y):
    """The continuous pixel index of graph values: linear between the frame's
    lines in each axis' own terms."""
    left, top, right, bottom = graph["frame"]
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lx, ly = log_x(graph), log_y(graph)
    u = (axis_term(x, lx) - axis_term(x1, lx)) / (axis_term(x2, lx) - axis_term(x1, lx))
    v = (axis_term(y, ly) - axis_term(y1, ly)) / (axis_term(y2, ly) - axis_term(y1, ly))
    return left + u * (right - left), bottom - v * (bottom - top)


def to_value(graph, column, row):
    """The graph values at a pixel index, the inverse of to_pixel."""
    left, top, right, bottom = graph["frame"]
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lx, ly = log_x(graph), log_y(graph)
    u, v = (column - left) / (right - left), (bottom - row) / (bottom - top)
    x = axis_term(x1, lx) + u * (axis_term(x2, lx) - axis_term(x1, lx))
    y = axis_term(y1, ly) + v * (axis_term(y2, ly) - axis_term(y1, ly))
    return (10.0 ** x if lx else x), (10.0 ** y if ly else y)


def ink_share(pixels, colour):
    """How much of `colour`'s ink each white-paper pixel holds (0 .. 1), zero
    where the pixel's hue is another's."""
    ink = 255.0 - np.array([int(colour[k:k + 2], 16) for k in (1, 3, 5)], float)
    pale = 255.0 - np.asarray(pixels, float)
    share = np.clip(pale @ ink / (ink @ ink), 0.0, 1.0)
    residual = np.linalg.norm(pale - share[..., None] * ink, axis=-1)
    return np.where(residual < 40, share, 0.0)


def curve_rows(graph, curve, columns):
    """The curve's continuous row at each column, from its vertices."""
    us, vs = to_pixel(graph, curve["xs"], curve["ys"])
    inside = (columns >= us[0]) & (columns <= us[-1])
    return np.where(inside, np.interp(columns, us, vs), np.nan)


def grid_pixels(graph):
    """The columns and rows of every tick, where the grid lines lie."""
    (xmajor, xminor), (ymajor, yminor) = axis_ticks(graph)
    columns, _ = to_pixel(graph, np.array(xmajor + xminor), graph["ylim"][0])
    _, rows = to_pixel(graph, graph["xlim"][0], np.array(ymajor + yminor))
    return np.asarray(columns), np.asarray(rows)


def legend_box(graph):
    """A generous box around every program's legend, at the area's upper right."""
    _, top, right, _ = graph["frame"]
    return right - 230, top, right, top + 110


def clear_of(graph, column, row, gap):
    """True where (column, row) is at least `gap` pixels from the grid lines
    and the legend, three times that from the other curves, the markers and
    the frame with its ticks."""
    wanted = graph["curves"][graph["wanted"]]
    left, top, right, bottom = graph["frame"]
    if min(column - left, right - column, row - top, bottom - row) < 3 * gap:
        return False
    if graph["legend"]:
        l, t, r, b = legend_box(graph)
        if l - gap <= column <= r and t <= row <= b + gap:
            return False
    grid_columns, grid_rows = grid_pixels(graph)
    if graph["grid"] and (np.abs(grid_columns - column).min() < gap or np.abs(grid_rows - row).min() < gap):
        return False
    if wanted["marker"]:
        us, vs = to_pixel(graph, wanted["xs"], wanted["ys"])
        if np.hypot(us - column, vs - row).min() < 3 * gap:
            return False
    span = np.arange(column - 3 * gap, column + 3 * gap + 1, dtype=float)
    for other in graph["curves"]:
        if other is not wanted and np.nanmin(np.abs(curve_rows(graph, other, span) - row), initial=np.inf) < 3 * gap:
            return False
    return True


def click_pixel(graph, rgb):
    """The pixel a user Ctrl + clicks: the fullest pixel of the wanted curve
    next to where it passes, at the X nearest the graph's chosen one where it
    runs clear of everything else and a dash, not a gap, is drawn."""
    wanted = graph["curves"][graph["wanted"]]
    target, _ = to_pixel(graph, graph["click_x"], graph["ylim"][0])
    first, last = to_pixel(graph, np.array([wanted["xs"][0], wanted["xs"][-1]]), graph["ylim"][0])[0]
    columns = np.arange(int(np.ceil(first)), int(np.floor(last)) + 1)
    for column in sorted(columns, key=lambda c: abs(c - target)):
        row = float(curve_rows(graph, wanted, np.array([column], float))[0])
        if not clear_of(graph, column, row, gap=5):
            continue
        r0 = int(round(row))
        window = rgb[r0 - 1:r0 + 2, column - 1:column + 2]
        share = ink_share(window, wanted["colour"])
        if share.max() >= CORE:
            dr, dc = np.unravel_index(np.argmax(share), share.shape)
            return [int(column + dc - 1), int(r0 + dr - 1)]
    raise SystemExit(f"{graph['name']}: no clear pixel on the wanted curve to click")


def curve_offsets(graph, rgb):
    """How many rows the wanted curve's drawn centre lies from where its
    values put it, at columns where it runs gently and clear of the rest:
    the ink-weighted centre of its pixels in the column."""
    wanted = graph["curves"][graph["wanted"]]
    first, last = to_pixel(graph, np.array([wanted["xs"][0], wanted["xs"][-1]]), graph["ylim"][0])[0]
    offsets = []
    for column in range(int(first) + 6, int(last) - 5, 3):
        row = float(curve_rows(graph, wanted, np.array([column], float))[0])
        slope = np.diff(curve_rows(graph, wanted, np.array([column - 1, column + 1], float)))[0] / 2
        if abs(slope) > 1.0 or not clear_of(graph, column, row, gap=6):
            continue
        r0 = int(round(row))
        share = ink_share(rgb[r0 - 3:r0 + 4, column], wanted["colour"])
        if share.max() >= CORE:  # on a dash
            offsets.append((share * np.arange(r0 - 3, r0 + 4)).sum() / share.sum() - row)
    return np.array(offsets)


def marker_offsets(graph, rgb):
    """How far each drawn marker's ink-weighted centre lies from its data
    point, in a picture of the markers alone; (column, row) pairs, the row
    left out for triangles, which are not symmetric about their point."""
    wanted = graph["curves"][graph["wanted"]]
    shape, _ = wanted["marker"]
    us, vs = to_pixel(graph, wanted["xs"], wanted["ys"])
    offsets = []
    for u, v in zip(us, vs):
        c0, r0 = int(round(u)), int(round(v))
        share = ink_share(rgb[r0 - 10:r0 + 11, c0 - 10:c0 + 11], wanted["colour"])
        rows, columns = np.mgrid[r0 - 10:r0 + 11, c0 - 10:c0 + 11]
        total = share.sum()
        dc = (share * columns).sum() / total - u
        dr = (share * rows).sum() / total - v
        offsets.append((dc, 0.0 if shape == "triangle" else dr))
    return np.array(offsets)


def frame_offsets(picture, frame):
    """How far each drawn side (left, top, right, bottom) lies from its
    computed centre: the median over the side of the line's darkness-weighted
    centre within two pixels, close enough that a log axis' dense grid beside
    it stays out; profiles along a tick or a grid line are left out."""
    dark = darkness(picture)
    left, top, right, bottom = frame
    offsets = []
    for expected, vertical, lo, hi in ((left, True, top, bottom), (top, False, left, right),
                                       (right, True, top, bottom), (bottom, False, left, right)):
        first = int(math.floor(expected)) - 2
        centres = []
        for along in range(int(lo) + 20, int(hi) - 20, 3):
            profile = dark[along, first:first + 5] if vertical else dark[first:first + 5, along]
            weights = profile - profile.min()
            if (profile > 60).sum() > 2 or weights.sum() < 60:
                continue
            centres.append((weights * np.arange(first, first + 5)).sum() / weights.sum())
        offsets.append(float(np.median(centres)) - expected if centres else math.inf)
    return offsets


def check_drawing(graph, picture, markers_alone=None):
    """Stops the run when the picture's frame, its wanted curve or (from the
    picture of them alone) its markers lie off where their values put them."""
    offsets = frame_offsets(picture, graph["frame"])
    if max(abs(o) for o in offsets) > 0.15:
        raise SystemExit(f"{graph['name']}: the drawn frame lies off its computed place by {offsets} px")
    rows = curve_offsets(graph, read_rgb(picture, PAGE))
    # Without anti-aliasing a line's vertices fall on whole pixels, and
    # ploticus draws its curves up to a pixel aside, down and left: on a
    # steep stretch that is more than a row.
    if rows.size < 10 or abs(np.median(rows)) > 0.8 or np.abs(rows).max() > 2.0:
        raise SystemExit(f"{graph['name']}: the curve is drawn off its values (rows {rows.round(2)})")
    if markers_alone is not None:
        offsets = marker_offsets(graph, read_rgb(markers_alone, PAGE))
        if np.abs(offsets).max() > 0.3:
            raise SystemExit(f"{graph['name']}: markers drawn off their points by {offsets.round(2).tolist()} px")
