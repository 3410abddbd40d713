#!/usr/bin/python3
"""Draws graphs with gnuplot, Grace, R, ploticus and matplotlib to measure the
axes calibrated from the picture alone: the frame found, its tick marks, and
their labels read. Every graph of the tilted collection as drawn, more graphs
with tick labels small and large, with and without grids, over ranges whose
labels hold negative numbers, decimals, thousands and powers of ten, and
scans of some of them tilted a little, a few noisy and saved as JPEG.

Usage: axis_graphs.py OUTPUT_FOLDER

Beside every picture a JSON record in the tilted collection's form (the frame
corners to a fraction of a pixel, the graph values at them, a pixel on the
wanted curve and its vertices), and also: "axes" (lin-lin, lin-log with Y
logarithmic, log-log, log-lin), "fontSize" (the tick labels' em in pixels,
the nominal one where the program's own size is kept, with "fontOwn"),
"grid" and "tilt" (degrees, clockwise). Every graph's frame and curve are
checked where they were placed before any picture is written."""

import json
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import graph_programs
from page_distortions import PAGE, distort_page, read_rgb, write_pages
from tilted_graphs import GRAPHS, build, degraded, describe, draw_checked, lin, log, page_name

AXES = {1: "lin-lin", 2: "lin-log", 3: "log-log", 4: "log-lin"}
# The tick labels' em in pixels where the program keeps its own size:
# gnuplot's 11 and 12 points at 96 dpi, Grace's characters at size 1, R's
# 12 points at 72 dpi, ploticus's bitmap font. matplotlib's is worked out
# from its style.
OWN_EM = {"gnuplot-pngcairo": 11 / 0.75, "gnuplot-png": 12 / 0.75, "grace": graph_programs.GRACE_EM, "R": 12.0,
          "ploticus": 10.0}
SMALL, LARGE, LARGER = 8, 14, 18


def bump(x, at, width):
    return np.exp(-(((x - at) / width) ** 2))


# The tilted collection's form with the tick labels' em in pixels last.
# Ranges are chosen for what their labels hold: a minus sign, a decimal
# point, four digits, powers of ten. ploticus truncates its area's edges to
# whole pixels, so its frames lie at inches that make whole pixels in
# floating point (1.15 inches make column 114).
SIZED = [
    (("gnuplot-cairo-small-thousands", "gnuplot-pngcairo", 1, lin(0, 5000), (-1, 1), (98, 48, 762, 522),
      [("#9400d3", "wave", lambda x: 0.6 * np.sin(x / 700) * np.exp(-x / 6000))], 0, 600.0, False, True), SMALL),
    (("gnuplot-cairo-large-decimals", "gnuplot-pngcairo", 1, lin(-1, 1), (0, 5000), (110, 45, 755, 510),
      [("#0072b2", "peak", lambda x: 600 + 3600 * bump(x, 0.1, 0.5))], 0, -0.7, False, True), LARGE),
    (("gnuplot-cairo-larger-loglog", "gnuplot-pngcairo", 3, log(1, 1e4), (1e-3, 10), (120, 50, 750, 505),
      [("#e69f00", "falling", lambda x: 4 * x ** -0.7)], 0, 3.0, False, False), LARGER),
    (("gnuplot-gd-small-negative", "gnuplot-png", 1, lin(-50, 50), (-20, 80), (100, 55, 755, 525),
      [("#ff0000", "rise", lambda x: 30 + 0.8 * x), ("#0000ff", "dip", lambda x: 60 - 50 * bump(x, 10, 25))],
      0, -30.0, True, False), SMALL),
    (("gnuplot-gd-large-logy", "gnuplot-png", 2, lin(0, 2.5), (1, 1e4), (105, 50, 760, 515),
      [("#00a000", "growth", lambda x: 3 * 10 ** (1.2 * x))], 0, 0.5, False, True), LARGE),
    (("grace-small-decimals", "grace", 1, lin(0, 0.5), (-2.5, 2.5), (96, 48, 756, 516),
      [("#ff0000", "swing", lambda x: 1.8 * np.sin(9 * x) * np.exp(-2 * x))], 0, 0.05, False, True), SMALL),
    (("grace-larger-thousands-logx", "grace", 4, log(1, 1e4), (0, 5000), (118, 50, 752, 505),
      [("#0000ff", "step", lambda x: 500 + 4000 / (1 + (x / 100) ** -1.5))], 0, 3.0, False, False), LARGER),
    (("grace-large-loglog", "grace", 3, log(1, 1e4), (1e-2, 1e2), (110, 55, 750, 510),
      [("#008b00", "rising", lambda x: 0.02 * x ** 0.8)], 0, 10.0, False, True), LARGE),
    (("r-small-logy", "R", 2, lin(-10, 10), (1, 1e4), (99.5, 49.5, 759.5, 519.5),
      [("#ff0000", "bell", lambda x: 2 + 5000 * bump(x, 1, 4))], 0, -8.0, False, True), SMALL),
    (("r-large-thousands", "R", 1, lin(0, 5000), (-0.5, 0.25), (109.5, 49.5, 754.5, 514.5),
      [("#0000ff", "drift", lambda x: -0.4 + 0.5 * (1 - np.exp(-x / 1500)))], 0, 300.0, False, False), LARGE),
    (("r-larger-loglog", "R", 3, log(1, 1e4), (1e-2, 1e2), (119.5, 49.5, 749.5, 504.5),
      [("#a020f0", "power", lambda x: 50 * x ** -0.6)], 0, 2.0, False, True), LARGER),
    (("ploticus-small-negative", "ploticus", 1, lin(-100, 100), (-5, 5), (100, 60, 740, 500),
      [("#ff0000", "slope", lambda x: 0.03 * x + 1.2 * np.sin(x / 30))], 0, -80.0, False, True), SMALL),
    (("ploticus-large-logy", "ploticus", 2, lin(0, 5000), (1, 1e4), (120, 50, 750, 505),
      [("#0000ff", "growth", lambda x: 2 * 10 ** (x / 1500))], 0, 1000.0, False, False), LARGE),
    (("mpl-default-small-thousands", "matplotlib", 1, lin(0, 5000), (-0.05, 0.2), (100, 50, 760, 520),
      [("#1f77b4", "response", lambda x: -0.03 + 0.2 * (1 - np.exp(-x / 1200)))], 0, 400.0, False, True), SMALL),
    (("mpl-classic-larger-logx", "matplotlib-classic", 4, log(1, 1e4), (-40, 10), (120, 50, 750, 505),
      [("#0000ff", "gain", lambda f: 20 * np.log10(1 / np.sqrt(1 + (f / 300) ** 2)))], 0, 3.0, False, True),
     LARGER),
    (("mpl-seaborn-small-loglog", "matplotlib-seaborn", 3, log(1, 1e4), (1e-2, 1e2), (100, 50, 760, 520),
      [("#d62728", "falling", lambda x: 60 * x ** -0.9)], 0, 3.0, False, False), SMALL + 1),
]

# Scans tilted both ways, every other one noisy and saved as JPEG.
SCANNED = ["gnuplot-cairo-logy", "gnuplot-gd-small-negative", "grace-lin", "grace-small-decimals", "r-loglog",
           "r-large-thousands", "ploticus-logy", "ploticus-small-negative", "mpl-classic-logy",
           "mpl-classic-larger-logx"]


def matplotlib_em(program):
    """The em of matplotlib's tick labels in its style, at 100 dpi."""
    import matplotlib
    import matplotlib.pyplot as plt
    from matplotlib.font_manager import FontProperties
    matplotlib.use("Agg")
    with plt.style.context(graph_programs.MATPLOTLIB_STYLES[program]):
        return FontProperties(size=matplotlib.rcParams["xtick.labelsize"]).get_size_in_points() * 100 / 72


def collection():
    graphs = []
    for entry, size in [(e, None) for e in GRAPHS] + SIZED:
        g = build(entry)
        g["font_size"] = size
        g["em"] = size or OWN_EM.get(g["program"]) or matplotlib_em(g["program"])
        graphs.append(g)
    names = [g["name"] for g in graphs]
    if len(set(names)) != len(names) or not set(SCANNED) <= set(names):
        raise SystemExit("axis graphs: a name is taken twice, or a scanned graph is not in the collection")
    return graphs


def scan_plan(rng):
    """Angles of 0.3 to 2 degrees, the signs turning every second scan so
    that both kinds of scan are tilted both ways."""
    plan = {}
    for i, name in enumerate(SCANNED):
        angle = (-1) ** (i // 2) * float(rng.uniform(0.3, 2.0))
        v = {"kind": "scan-jpeg" if i % 2 else "scan", "angle": round(angle, 3)}
        plan[name] = degraded(v, rng) if i % 2 else v
    return plan


def record(graph, base_record, tilt, name=None):
    if name:
        base_record["name"] = name
    base_record.update(axes=AXES[graph["mode"]], fontSize=round(float(graph["em"]), 2),
                       fontOwn=graph["font_size"] is None, grid=bool(graph["grid"]), tilt=tilt)
    return base_record


def write_drawn(graph, picture, out):
    """The picture as drawn, every pixel where the program put it."""
    rgb = read_rgb(picture, PAGE)

    def drawn(name, file_name, kind):
        page = describe(graph, {"kind": kind}, file_name, lambda column, row: (column, row), rgb)
        return record(graph, page, 0.0, name)

    write_pages(graph["name"], picture, out, False, 0, drawn)
    return graph["name"]


def write_scan(graph, picture, variant, out):
    name = page_name(graph, variant)
    file_name = name + (".jpg" if "quality" in variant else ".png")
    mapping, size = distort_page(picture, out / file_name, variant)
    rgb = read_rgb(out / file_name, size)
    page = record(graph, describe(graph, variant, file_name, mapping, rgb), variant["angle"])
    (out / f"{name}.json").write_text(json.dumps(page, indent=1))
    return name


def draw_all(graphs, base):
    """matplotlib's styles are global, so its graphs are drawn one after the
    other in one worker while the other programs run beside it."""
    plotted = [g for g in graphs if g["program"] in graph_programs.MATPLOTLIB_STYLES]
    others = [g for g in graphs if g not in plotted]
    with ThreadPoolExecutor(max_workers=2) as pool:
        in_turn = pool.submit(lambda: [draw_checked(g, base) for g in plotted])
        pictures = dict(zip((g["name"] for g in others), pool.map(lambda g: draw_checked(g, base), others)))
        pictures.update(zip((g["name"] for g in plotted), in_turn.result()))
    return pictures


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: axis_graphs.py OUTPUT_FOLDER")
    start = time.monotonic()
    out = Path(sys.argv[1])
    base = out / "base"
    base.mkdir(parents=True, exist_ok=True)
    graphs = collection()
    plan = scan_plan(np.random.default_rng(20240722))
    pictures = draw_all(graphs, base)
    by_name = {g["name"]: g for g in graphs}
    with ThreadPoolExecutor(max_workers=2) as pool:
        jobs = [pool.submit(write_drawn, g, pictures[g["name"]], out) for g in graphs]
        jobs += [pool.submit(write_scan, by_name[n], pictures[n], v, out) for n, v in plan.items()]
        names = [job.result() for job in jobs]
    print(f"{len(graphs)} graphs drawn, {len(names)} pictures written to {out} in {time.monotonic() - start:.1f} s")


if __name__ == "__main__":
    main()
