#!/usr/bin/python3
"""Draws graphs with gnuplot, Grace, R, ploticus and matplotlib, then makes
scans and photographs of them with ImageMagick: pages tilted a little, pages
photographed at an angle, blurred, noisy and saved as JPEG. Beside every
picture a JSON file says what is true of it: the two corners a user clicks,
the four frame corners to a fraction of a pixel, the graph values at the
corners, a pixel on the wanted curve, and that curve's vertices in graph
values.

Usage: tilted_graphs.py OUTPUT_FOLDER

The frame of every graph is placed through its program's own coordinates
(graph_programs.py) and checked against the drawn lines; the distortions'
corners are the same mappings ImageMagick applied, worked out here."""

import json
import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import graph_programs
from page_distortions import PAGE, distort_page, frame_line_offsets, read_rgb

SAMPLES = 400


def lin(lo, hi):
    return np.linspace(lo, hi, SAMPLES)


def log(lo, hi):
    return np.geomspace(lo, hi, SAMPLES)


def low_pass(f, f0=1e3, order=1.5):
    return 1 / np.sqrt(1 + (f / f0) ** (2 * order))


def resonance(f, f0=2e3, q=3.0):
    u = f / f0
    return 1 / np.sqrt((1 - u * u) ** 2 + (u / q) ** 2)


# name, program, mode, xs, ylim, frame (left, top, right, bottom: the lines'
# centres as pixel indices, a half for a line across two pixels), curves
# [(colour, label, function)], wanted curve, graph X where it is clicked,
# legend, grid.
GRAPHS = [
    ("gnuplot-cairo-lin", "gnuplot-pngcairo", 1, lin(0, 10), (0, 1), (96, 50, 760, 520),
     [("#9400d3", "damped", lambda x: 0.5 + 0.32 * np.sin(1.1 * x) * np.exp(-0.06 * x))], 0, 2.2, True, False),
    ("gnuplot-cairo-logy", "gnuplot-pngcairo", 2, lin(0, 10), (1e-2, 1e3), (90, 45, 765, 515),
     [("#009e73", "decay", lambda x: 10 ** (2.5 - 0.4 * x)), ("#e69f00", "growth", lambda x: 0.5 * 10 ** (0.3 * x))],
     0, 1.5, True, True),
    ("gnuplot-gd-lin", "gnuplot-png", 1, lin(0, 10), (0, 10), (100, 55, 755, 525),
     [("#ff0000", "rise", lambda x: 2 + 0.6 * x), ("#0000ff", "step", lambda x: 8 - 6 / (1 + np.exp(-(x - 5) * 1.2)))],
     1, 2.0, True, False),
    ("gnuplot-gd-loglog", "gnuplot-png", 3, log(10, 1e5), (1e-4, 10), (105, 50, 760, 515),
     [("#00a000", "low pass", low_pass)], 0, 100.0, False, False),
    ("grace-lin", "grace", 1, lin(0, 10), (0, 100), (96, 48, 756, 516),
     [("#ff0000", "wave", lambda x: 40 + 25 * np.sin(0.6 * x)), ("#0000ff", "line", lambda x: 10 + 7 * x)],
     0, 1.0, True, False),
    ("grace-logy", "grace", 2, lin(0, 10), (1e-3, 1e2), (110, 60, 750, 510),
     [("#008b00", "decay", lambda x: 10 ** (1 - 0.3 * x + 0.3 * np.sin(x)))], 0, 3.0, False, False),
    ("r-lin", "R", 1, lin(0, 20), (-1, 1), (99.5, 49.5, 759.5, 519.5),
     [("#ff0000", "sine", lambda x: 0.8 * np.sin(0.4 * x)),
      ("#0000ff", "cosine", lambda x: 0.8 * np.cos(0.3 * x) * np.exp(-0.03 * x))], 1, 5.0, True, True),
    ("r-loglog", "R", 3, log(0.1, 1e3), (1e-4, 1e2), (100, 50, 755, 520),
     [("#ff8c00", "falling", lambda x: 3 * x ** -0.8), ("#a020f0", "rising", lambda x: 0.01 * x ** 1.2)],
     1, 1.0, False, False),
    ("r-logx", "R", 4, log(10, 1e5), (-80, 20), (109.5, 59.5, 749.5, 509.5),
     [("#0000cd", "gain", lambda f: 20 * np.log10(resonance(f)))], 0, 300.0, False, True),
    ("ploticus-lin", "ploticus", 1, lin(0, 10), (0, 6), (100, 60, 740, 500),
     [("#ff0000", "series", lambda x: 2.5 + 1.5 * np.sin(0.6 * x) + 0.1 * x)], 0, 4.0, False, False),
    ("ploticus-logy", "ploticus", 2, lin(0, 8), (1, 1e4), (110, 50, 750, 500),
     [("#0000ff", "growth", lambda x: 2 * 10 ** (0.4 * x)), ("#ff0000", "decay", lambda x: 4000 * 10 ** (-0.3 * x))],
     1, 2.0, True, False),
    ("mpl-default-lin", "matplotlib", 1, lin(0, 10), (0, 1.2), (100, 50, 760, 520),
     [("#1f77b4", "sine", lambda x: 0.5 + 0.3 * np.sin(0.9 * x)), ("#ff7f0e", "line", lambda x: 0.15 + 0.075 * x)],
     0, 1.5, True, False),
    ("mpl-default-loglog", "matplotlib", 3, log(10, 1e5), (1e-4, 10), (95, 45, 765, 515),
     [("#2ca02c", "resonance", resonance)], 0, 100.0, False, True),
    ("mpl-classic-logy", "matplotlib-classic", 2, lin(0, 10), (1e-2, 1e2), (105, 55, 755, 515),
     [("#0000ff", "wave", lambda x: 10 ** (0.8 * np.sin(0.7 * x))),
      ("#008000", "decay", lambda x: 10 ** (1.5 - 0.35 * x))],
     0, 0.8, True, False),
    ("mpl-seaborn-lin", "matplotlib-seaborn", 1, lin(0, 10), (-25, 25), (100, 50, 760, 520),
     [("#d62728", "ringing", lambda x: 20 * np.exp(-0.3 * x) * np.cos(1.5 * x))], 0, 0.5, False, False),
]


def build(entry):
    name, program, mode, xs, ylim, frame, curves, wanted, click_x, legend, grid = entry
    return {
        "name": name, "program": program, "mode": mode, "xs": xs, "xlim": (float(xs[0]), float(xs[-1])),
        "ylim": ylim, "frame": frame, "legend": legend, "grid": grid, "wanted": wanted, "click_x": click_x,
        "curves": [(colour, label, function(xs)) for colour, label, function in curves],
        "function": curves[wanted][2],
    }


def axis_term(value, is_log):
    return np.log10(value) if is_log else value


def base_pixel(graph, x, y):
    """The continuous pixel index of graph values in the undistorted picture."""
    left, top, right, bottom = graph["frame"]
    x1, y1, x2, y2 = graph["values"]
    lx, ly = graph_programs.log_x(graph), graph_programs.log_y(graph)
    u = (axis_term(x, lx) - axis_term(x1, lx)) / (axis_term(x2, lx) - axis_term(x1, lx))
    v = (axis_term(y, ly) - axis_term(y1, ly)) / (axis_term(y2, ly) - axis_term(y1, ly))
    return left + u * (right - left), bottom - v * (bottom - top)


def curve_offsets(graph, path):
    """How many rows the wanted curve lies from where its values put it, at
    columns where it runs alone and gently: the line's centre is weighed by
    how much of the curve's colour each pixel holds."""
    rgb = 255.0 - read_rgb(path, PAGE).astype(float)
    curves = [ys for _, _, ys in graph["curves"]]
    colour = graph["curves"][graph["wanted"]][0]
    ink = 255.0 - np.array([int(colour[k:k + 2], 16) for k in (1, 3, 5)], float)
    columns, rows = base_pixel(graph, graph["xs"], curves[graph["wanted"]])
    others = [base_pixel(graph, graph["xs"], ys)[1] for i, ys in enumerate(curves) if i != graph["wanted"]]
    offsets = []
    for i in range(10, len(columns) - 10, 5):
        slope = abs(rows[i + 1] - rows[i - 1]) / (columns[i + 1] - columns[i - 1])
        if slope > 2 or any(abs(o[i] - rows[i]) < 12 for o in others):
            continue
        column, row = int(round(columns[i])), int(round(rows[i]))
        pale = rgb[row - 6:row + 7, column]
        share = np.clip(pale @ ink / (ink @ ink), 0, 1)
        weights = np.where(np.linalg.norm(pale - share[:, None] * ink, axis=1) < 40, share, 0)
        if weights.sum() > 0.5:
            centre = (weights * np.arange(row - 6, row + 7)).sum() / weights.sum()
            offsets.append(centre - np.interp(column, columns, rows))
    return np.array(offsets)


def draw_checked(graph, folder):
    out = folder / f"{graph['name']}.png"
    graph["frame"], graph["values"] = graph_programs.draw(graph, folder, out)
    offsets = frame_line_offsets(out, graph["frame"])
    if max(abs(o) for o in offsets) > 0.15:
        raise SystemExit(f"{graph['name']}: the drawn frame lies off its computed place by {offsets} px")
    # Programs that draw without anti-aliasing put a line's vertices on whole
    # pixels, and ploticus its curves up to a pixel aside, down and left:
    # where a wrong mapping would be many pixels off.
    rows = curve_offsets(graph, out)
    if rows.size < 20 or abs(np.median(rows)) > 1.0 or np.abs(rows).max() > 2.5:
        raise SystemExit(f"{graph['name']}: the curve is drawn off its values (rows {rows.round(2)})")
    return out


def degraded(v, rng):
    """Noise and a JPEG quality for a page that is saved as JPEG."""
    v.update(quality=int(rng.integers(50, 71)), noise=float(rng.uniform(0.2, 0.5)), seed=int(rng.integers(1, 10**6)))
    return v


def variants(count, rng):
    """Each graph is scanned once and photographed once, the kinds of scan
    and of photograph taken in turn so that every program meets several."""
    plan = []
    for i in range(count):
        scan = {"kind": "scan-jpeg" if i % 2 else "scan", "angle": float(rng.choice([-1, 1]) * rng.uniform(0.5, 3.0))}
        photo = {"kind": "photo-png" if i % 3 == 2 else "photo", "angle": float(rng.uniform(-1.5, 1.5)),
                 "keystone": float(rng.uniform(0.05, 0.12)),
                 "short_side": str(rng.choice(["top", "bottom", "left", "right"])),
                 "scale": float(rng.uniform(1.0, 1.2))}
        plan.append([degraded(v, rng) if v["kind"] in ("scan-jpeg", "photo") else v for v in (scan, photo)])
    # The log-log pages once more, keystoned as much as is meant to be read.
    for i, angle in ((3, -1.2), (7, 1.4)):
        plan[i].append(degraded({"kind": "photo", "tag": "photo-strong", "angle": angle, "keystone": 0.12,
                                 "short_side": "left", "scale": 1.1}, rng))
    return plan


def page_name(graph, variant):
    return f"{graph['name']}-{variant.get('tag', variant['kind'])}"


def describe(graph, variant, file_name, mapping, rgb):
    left, top, right, bottom = graph["frame"]
    corners = {k: mapping(c, r) for k, (c, r) in
               {"lowerLeft": (left, bottom), "upperLeft": (left, top), "lowerRight": (right, bottom),
                "upperRight": (right, top)}.items()}
    x = graph["click_x"]
    cx, cy = mapping(*base_pixel(graph, x, graph["function"](x)))
    # The most colourful pixel next to where the curve passes, as a user
    # clicks on the line and not beside it.
    c0, r0 = int(round(cx)), int(round(cy))
    window = rgb[r0 - 1:r0 + 2, c0 - 1:c0 + 2].astype(int)
    chroma = window.max(axis=2) - window.min(axis=2)
    dr, dc = np.unravel_index(np.argmax(chroma), chroma.shape)
    x1, y1, x2, y2 = graph["values"]
    return {
        "name": page_name(graph, variant), "file": file_name, "program": graph["program"],
        "kind": variant["kind"], "distortion": variant, "mode": graph["mode"],
        "values": {"x1": float(x1), "y1": float(y1), "x2": float(x2), "y2": float(y2)},
        "picks": {"lowerLeft": [round(v) for v in corners["lowerLeft"]],
                  "upperRight": [round(v) for v in corners["upperRight"]]},
        "corners": {k: [float(v) for v in c] for k, c in corners.items()},
        "colourAt": [c0 + int(dc) - 1, r0 + int(dr) - 1],
        "curve": {"colour": graph["curves"][graph["wanted"]][0], "x": [float(v) for v in graph["xs"]],
                  "y": [float(v) for v in graph["curves"][graph["wanted"]][2]]},
    }


def make_variant(graph, base, variant, out):
    name = page_name(graph, variant)
    file_name = name + (".jpg" if "quality" in variant else ".png")
    mapping, size = distort_page(base, out / file_name, variant)
    rgb = read_rgb(out / file_name, size)
    record = describe(graph, variant, file_name, mapping, rgb)
    (out / f"{name}.json").write_text(json.dumps(record, indent=1))
    return name


def main():
    out = Path(sys.argv[1])
    base_folder = out / "base"
    base_folder.mkdir(parents=True, exist_ok=True)
    graphs = [build(entry) for entry in GRAPHS]
    rng = np.random.default_rng(20240611)
    plan = variants(len(graphs), rng)
    # matplotlib's styles are global: the graphs are drawn one at a time.
    bases = [draw_checked(g, base_folder) for g in graphs]
    with ThreadPoolExecutor(max_workers=2) as pool:
        jobs = [pool.submit(make_variant, g, b, v, out) for g, b, vs in zip(graphs, bases, plan) for v in vs]
        names = [job.result() for job in jobs]
    print(f"{len(graphs)} graphs drawn, {len(names)} pages written to {out}")


if __name__ == "__main__":
    main()
