#!/usr/bin/python3
"""Draws scatter plots with R, gnuplot, Grace and matplotlib to measure how
well the markers like a clicked one are found: hollow and filled circles,
squares, triangles and diamonds, x and plus crosses; markers alone, joined
by a line of their colour, crossed by lines of other colours, beside a
second series and a boxed legend with its samples and labels, and sets in
which a tenth of the markers overlap in pairs. Some are scanned too:
blurred, tinted, noisy and saved as JPEG at quality 60. Beside every
picture a JSON file says what is true of it: the plotting area, the pixel a
user clicks on one marker of the wanted series, and every marker's centre
from its data point.

Usage: scatter_markers.py OUTPUT_FOLDER

Each program's markers are put where it draws them right on their data
points (scatter_truth.snapped); the pictures of markers alone are checked
against their truth."""

import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import scatter_programs
from page_distortions import PAGE, read_rgb, write_pages
from scatter_truth import check_markers, click_pixel, pixels_of, snapped, values_at

FRAMES = ((96, 50, 756, 516), (105, 45, 760, 520), (90, 55, 750, 510))
SIZE = 13  # about the markers' width, in pixels, in every program
INKS = ("#1f3a9e", "#c0392b", "#000000", "#117a3d", "#7d3c98")
# The triangles' point is their centroid in R's and Grace's drawing only.
PROGRAMS = {"R": ("circle", "square", "triangle", "diamond", "cross", "plus"),
            "gnuplot": ("circle", "square", "diamond", "cross", "plus"),
            "grace": ("circle", "square", "triangle", "diamond", "cross", "plus"),
            "matplotlib": ("circle", "square", "diamond", "cross", "plus")}
HOLLOW_ONLY = ("cross", "plus")


def places(rng, frame, count, apart, keep_out=()):
    """`count` places in the frame, 25 px inside it (off its ticks), at least `apart` from each
    other and outside the boxes `keep_out`."""
    left, top, right, bottom = frame
    chosen = []
    while len(chosen) < count:
        p = rng.uniform([left + 25, top + 25], [right - 25, bottom - 25])
        if any(l <= p[0] <= r and t <= p[1] <= b for l, t, r, b in keep_out):
            continue
        if all(np.hypot(*(p - q)) >= apart for q in chosen):
            chosen.append(p)
    return np.array(chosen)


def along_curve(rng, frame, count, middle, swing, keep_out=()):
    """`count` places along a gentle wave across the frame, as measurements
    joined in their order: a column every 1/count of the width, jittered;
    the wave about `middle` and `swing` either side of it, shares of the
    frame's height from its top."""
    left, top, right, bottom = frame
    columns = np.linspace(left + 30, right - 30, count) + rng.uniform(-3, 3, count)
    phase = rng.uniform(0, 2 * np.pi)
    wave = middle + swing * np.sin(columns / 90.0 + phase)
    rows = top + (bottom - top) * wave + rng.uniform(-12, 12, count)
    for l, t, r, b in keep_out:  # under the legend, not through it
        rows = np.where((columns >= l - 20) & (rows <= b + 20), b + 20 + rng.uniform(0, 30, count), rows)
    return np.column_stack([columns, rows])


def with_pairs(rng, points, pairs, frame):
    """The places with `pairs` of them given a partner overlapping it, 0.45 to
    1 marker widths off in any direction; the partners' indices."""
    left, top, right, bottom = frame
    points, partners = list(points), []
    for k in range(pairs):
        base = points[3 * k + 1]
        while True:
            angle = rng.uniform(0, 2 * np.pi)
            p = base + SIZE * (0.45 + 0.55 * k / max(pairs - 1, 1)) * np.array([np.cos(angle), np.sin(angle)])
            if left + 15 < p[0] < right - 15 and top + 15 < p[1] < bottom - 15 and all(
                    np.hypot(*(p - q)) >= 2.5 * SIZE for i, q in enumerate(points) if i != 3 * k + 1):
                break
        partners.append((3 * k + 1, len(points)))
        points.append(p)
    return np.array(points), partners


def series(graph, colour, label, points, marker, joined=False):
    if joined:
        points = points[np.argsort(points[:, 0])]
    columns, rows = snapped(graph["program"], marker, points[:, 0], points[:, 1])
    xs, ys = values_at(graph, columns, rows)
    return {"colour": colour, "label": label, "xs": xs, "ys": ys, "marker": marker, "joined": joined}


def crossing_line(graph, colour, phase):
    """A line of another colour winding across the whole area, through many markers."""
    left, top, right, bottom = graph["frame"]
    columns = np.linspace(left + 2, right - 2, 200)
    rows = (top + bottom) / 2 + 0.38 * (bottom - top) * np.sin(columns / 70.0 + phase)
    xs, ys = values_at(graph, columns, rows)
    return {"colour": colour, "xs": xs, "ys": ys}


def scatter(name, program, case, frame, seed, marker, count=50, joined=False, lines=0, legend=False, pairs=0):
    rng = np.random.default_rng(seed)
    g = {"name": name, "program": program, "case": case, "mode": 1, "xlim": (0, 10), "ylim": (0, 10),
         "frame": frame, "lines": [], "legend": legend, "wanted": 0, "pairs": []}
    _, top, right, _ = frame
    keep_out = [(right - 240, top, right, top + 120)] if legend else []
    if joined:
        bands = ((0.4, 0.14), (0.75, 0.14)) if legend else ((0.5, 0.3),)
        points = np.concatenate([along_curve(rng, frame, count, m, w, keep_out) for m, w in bands])
    else:
        points = places(rng, frame, count + (count // 2 if legend else 0), 2.6 * SIZE, keep_out)
    if pairs:
        points, g["pairs"] = with_pairs(rng, points[:count - pairs], pairs, frame)
    g["series"] = [series(g, INKS[seed % len(INKS)], "measured", points[:count], marker, joined)]
    if legend:  # a second series of another colour and shape, and both in the legend
        other = PROGRAMS[program][(PROGRAMS[program].index(marker[0]) + 2) % len(PROGRAMS[program])]
        g["series"].append(series(g, INKS[(seed + 2) % len(INKS)], "model", points[count:],
                                  (other, other not in HOLLOW_ONLY), joined))
    g["lines"] = [crossing_line(g, INKS[(seed + 1 + k) % len(INKS)], 1.7 * k + seed) for k in range(lines)]
    return g


def kind_name(marker):
    shape, filled = marker
    return shape if shape in HOLLOW_ONLY else f"{'filled' if filled else 'hollow'}-{shape}"


def collection():
    graphs = []
    for p, (program, shapes) in enumerate(PROGRAMS.items()):
        kinds = [(s, f) for s in shapes for f in ((False,) if s in HOLLOW_ONLY else (False, True))]
        for k, marker in enumerate(kinds):
            seed = 10 * p + k
            graphs.append(scatter(f"plain-{program}-{kind_name(marker)}", program, "alone", FRAMES[seed % 3], seed,
                                  marker))
        cases = [("joined", 0, FRAMES[0], {"joined": True, "count": 24}),
                 ("joined", 3, FRAMES[1], {"joined": True, "count": 24}),
                 ("crossed", 1, FRAMES[2], {"lines": 2}), ("legend", 2, FRAMES[0], {"legend": True}),
                 ("legend-joined", 4, FRAMES[1], {"joined": True, "legend": True, "count": 22}),
                 ("pairs", 0, FRAMES[2], {"count": 60, "pairs": 3}),
                 ("pairs", 1, FRAMES[0], {"count": 60, "pairs": 3, "lines": 1})]
        for c, (case, kind, frame, options) in enumerate(cases):
            marker = kinds[kind]
            graphs.append(scatter(f"{case}-{program}-{kind_name(marker)}", program, case.split("-")[0], frame,
                                  10 * p + 20 + c, marker, **options))
    return graphs


# Pictures scanned once more: blurred, on tinted paper, noisy, JPEG.
SCANNED = ("plain-R-hollow-circle", "crossed-gnuplot-filled-circle", "joined-grace-filled-square",
           "legend-matplotlib-hollow-square", "pairs-R-hollow-circle")


def describe(g, name, file_name, kind, click):
    s = g["series"][g["wanted"]]
    us, vs = pixels_of(g, s["xs"], s["ys"])
    paired = {i for pair in g["pairs"] for i in pair}
    shape, filled = s["marker"]
    return {"name": name, "file": file_name, "program": g["program"], "case": g["case"], "kind": kind,
            "shape": ("filled " if filled else "hollow ") + shape if shape not in HOLLOW_ONLY else shape,
            "area": list(g["frame"]), "click": click, "size": SIZE,
            "markers": [{"column": float(u), "row": float(v), "paired": i in paired}
                        for i, (u, v) in enumerate(zip(us, vs))],
            "pairs": [list(pair) for pair in g["pairs"]]}


def draw(g, base):
    picture = base / f"{g['name']}.png"
    scatter_programs.draw(g, base, picture)
    return picture


def write_pictures(g, picture, out, seed):
    rgb = read_rgb(picture, PAGE)
    if g["case"] == "alone":
        s = g["series"][0]
        check_markers(g, rgb, list(zip(*pixels_of(g, s["xs"], s["ys"]))))
    paired = {i for pair in g["pairs"] for i in pair}
    clicked = next(i for i in range(4, len(g["series"][0]["xs"])) if i not in paired)
    click = click_pixel(g, rgb, clicked, SIZE)
    return write_pages(g["name"], picture, out, g["name"] in SCANNED, seed,
                       lambda name, file_name, kind: describe(g, name, file_name, kind, click))


def main():
    out = Path(sys.argv[1])
    base = out / "base"
    base.mkdir(parents=True, exist_ok=True)
    graphs = collection()
    # matplotlib draws in this process, one figure at a time; the others run
    # as programs of their own, two at once.
    own = [g for g in graphs if g["program"] == "matplotlib"]
    others = [g for g in graphs if g["program"] != "matplotlib"]
    with ThreadPoolExecutor(max_workers=2) as pool:
        running = pool.map(lambda g: draw(g, base), others)
        pictures = {g["name"]: draw(g, base) for g in own}
        pictures.update({g["name"]: p for g, p in zip(others, running)})
        counts = list(pool.map(lambda a: write_pictures(*a),
                               [(g, pictures[g["name"]], out, 2000 + i) for i, g in enumerate(graphs)]))
    print(f"{len(graphs)} graphs drawn, {sum(counts)} pictures written to {out}")


if __name__ == "__main__":
    main()
