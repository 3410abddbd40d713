"""What is true of a scatter plot drawn by scatter_programs.py: where each
program puts a marker for a data point, the pixel a user clicks on one
marker, and the check that the drawn markers lie where their values put them.

Pixel indices have pixel k's centre at k, as in graph_programs.py."""

import numpy as np

from line_style_truth import ink_share, to_pixel, to_value


def value_frame(graph):
    """The frame through which the program maps values to pixels: matplotlib's
    axes' edges lie on the pixel edges before the frame's pixels, half a
    pixel before the lines' centres."""
    if graph["program"] == "matplotlib":
        return dict(graph, frame=tuple(v - 0.5 for v in graph["frame"]))
    return graph


def snapped(program, marker, columns, rows):
    """The nearest places to (columns, rows) where the program draws a marker
    right on its data point. R draws an outline anywhere, a filled shape's
    corners on half pixels, on whole or half pixels; gnuplot and Grace put it on
    a whole pixel; matplotlib's Agg on a whole display position, a circle
    half a pixel further, on a pixel's centre: the data point just short of
    it, since a display position ending in .5 is rounded up."""
    shape, filled = marker
    columns, rows = np.asarray(columns, float), np.asarray(rows, float)
    if program == "R":
        return (np.round(2 * columns) / 2, np.round(2 * rows) / 2) if filled else (columns, rows)
    if program != "matplotlib":
        return np.round(columns), np.round(rows)
    if shape == "circle":
        return np.round(columns) - 0.02, np.round(rows) - 0.02
    return np.floor(columns) + 0.5, np.floor(rows) + 0.5


def values_at(graph, columns, rows):
    return to_value(value_frame(graph), columns, rows)


def pixels_of(graph, xs, ys):
    return to_pixel(value_frame(graph), xs, ys)


def near_segments(point, xs, ys, graph):
    """The distance from a pixel to the polyline through (xs, ys)."""
    us, vs = pixels_of(graph, xs, ys)
    p = np.asarray(point, float)
    best = np.inf
    for a, b in zip(np.column_stack([us, vs])[:-1], np.column_stack([us, vs])[1:]):
        t = np.clip(np.dot(p - a, b - a) / max(np.dot(b - a, b - a), 1e-12), 0, 1)
        best = min(best, float(np.linalg.norm(p - (a + t * (b - a)))))
    return best


def click_pixel(graph, rgb, marker_index, size):
    """The fullest pixel of ink of the wanted series' marker `marker_index`, as a
    user clicks it: on its outline or arms, not at its exact centre, and off
    the line through it where the markers are joined."""
    s = graph["series"][graph["wanted"]]
    us, vs = pixels_of(graph, s["xs"], s["ys"])
    u, v = float(us[marker_index]), float(vs[marker_index])
    c0, r0 = int(round(u)), int(round(v))
    reach = int(np.ceil(size / 2)) + 1
    share = ink_share(rgb[r0 - reach:r0 + reach + 1, c0 - reach:c0 + reach + 1], s["colour"])
    best = None
    for dr in range(-reach, reach + 1):
        for dc in range(-reach, reach + 1):
            column, row = c0 + dc, r0 + dr
            d = np.hypot(column - u, row - v)
            value = share[dr + reach, dc + reach]
            if value < 0.45 or d < 1.5 or d > 0.6 * size:
                continue
            if s["joined"] and near_segments((column, row), s["xs"], s["ys"], graph) < 2.5:
                continue
            key = (-round(float(value), 2), d)
            if best is None or key < best[0]:
                best = (key, [column, row])
    if best is None:
        raise SystemExit(f"{graph['name']}: no pixel of full ink on marker {marker_index} to click")
    return best[1]


def check_markers(graph, rgb, truth):
    """Stops the run where a drawn marker's ink-weighted centre lies more than
    0.35 px from its truth, on a graph of markers alone, well apart."""
    colour = graph["series"][graph["wanted"]]["colour"]
    worst = 0.0
    for u, v in truth:
        c0, r0 = int(round(u)), int(round(v))
        share = ink_share(rgb[r0 - 10:r0 + 11, c0 - 10:c0 + 11], colour)
        rows, columns = np.mgrid[r0 - 10:r0 + 11, c0 - 10:c0 + 11]
        total = share.sum()
        if total <= 0:
            raise SystemExit(f"{graph['name']}: no marker drawn at ({u:.2f}, {v:.2f})")
        worst = max(worst, float(np.hypot((share * columns).sum() / total - u, (share * rows).sum() / total - v)))
    if worst > 0.35:
        raise SystemExit(f"{graph['name']}: a marker drawn {worst:.2f} px off its data point")
    return worst
