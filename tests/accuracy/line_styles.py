#!/usr/bin/python3
"""Draws graphs in the line styles of printed graphs with gnuplot (png and
pngcairo), Grace, R and ploticus, to measure the curve followed by its
colour on them: a black curve on black and grey graph paper, black curves
told apart by their dashes, lines with markers at their data points, curves
that start and end inside the plotting area, black-and-white graphs with
inward ticks and a boxed legend, and plain coloured curves. Some are scanned
too: blurred, tinted, noisy and saved as JPEG. Beside every picture a JSON
file says what is true of it: the two corners a user clicks and their graph
values, the pixel the wanted curve is Ctrl + clicked at, the curve's
vertices and X range, and its markers' centres and kinds.

Usage: line_styles.py OUTPUT_FOLDER

Every picture is checked against its truth: the frame where it was placed,
the curve and each marker where their values put them."""

import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import styled_programs
from line_style_truth import check_drawing, click_pixel, to_pixel, to_value
from page_distortions import PAGE, read_rgb, write_pages

BLACK = "#000000"
# Programs that put a marker on a whole pixel: those that draw without
# anti-aliasing, and gnuplot, which snaps its point symbols to pixels.
WHOLE_PIXELS = ("gnuplot-png", "gnuplot-pngcairo", "grace")


def curve(colour, label, xs, ys, dash="solid", marker=None):
    return {"colour": colour, "label": label, "xs": np.asarray(xs, float), "ys": np.asarray(ys, float),
            "dash": dash, "marker": marker}


def lin(lo, hi, n=300):
    return np.linspace(lo, hi, n)


def graph(name, case, program, mode, xlim, ylim, frame, curves, wanted=0, click_x=None, **style):
    """`click_x`: the graph X near which the wanted curve is Ctrl + clicked."""
    g = {"name": name, "case": case, "program": program, "mode": mode, "xlim": xlim, "ylim": ylim, "frame": frame,
         "curves": curves, "wanted": wanted, "click_x": click_x, "grid": False, "ticks_in": False, "legend": False}
    g.update(style)
    return g


def marked(name, program, mode, xlim, ylim, frame, function, colour, marker, count=16):
    """A line through `count` data points with a marker at each: the points
    on whole columns from 30 pixels inside the frame, and on whole rows where
    the program draws without anti-aliasing, so that every marker's centre
    is known exactly."""
    g = graph(name, "markers", program, mode, xlim, ylim, frame, [])
    left, _, right, _ = frame
    columns = np.round(np.linspace(left + 30, right - 30, count))
    xs, _ = to_value(g, columns, 0.0)
    _, rows = to_pixel(g, xs, function(xs))
    if program in WHOLE_PIXELS:
        rows = np.round(rows)
    _, ys = to_value(g, columns, rows)
    g["curves"] = [curve(colour, "data", xs, ys, marker=marker)]
    g["click_x"] = float((xs[5] + xs[6]) / 2)
    return g


def inside(name, program, xlim, ylim, frame, function, colour, click_x):
    """A curve over the middle 60 % of the frame, its ends on whole columns:
    where a program draws a line's end a little aside, it still ends within
    a column of its first and last vertex."""
    g = graph(name, "inside", program, 1, xlim, ylim, frame, [], click_x=click_x)
    left, _, right, _ = frame
    (lo, hi), _ = to_value(g, np.round(left + np.array([0.2, 0.8]) * (right - left)), 0.0)
    xs = lin(lo, hi)
    g["curves"] = [curve(colour, "segment", xs, function(xs))]
    return g


def sine(x):
    return 5 + 3.2 * np.sin(0.8 * x) * np.exp(-0.05 * x)


def logistic(x):
    return 1.5 + 7 / (1 + np.exp(-1.1 * (x - 5)))


def collection():
    x10, x8 = lin(0, 10), lin(0, 8)
    lin10, frame_a, frame_b, frame_c = ((0, 10), (0, 10)), (96, 50, 756, 516), (105, 45, 760, 520), (90, 55, 750, 510)
    return [
        # Graph paper: the curve in the grid's ink.
        graph("grid-gnuplot-cairo", "grid", "gnuplot-pngcairo", 1, *lin10, frame_a,
              [curve(BLACK, "response", x10, sine(x10))], click_x=1.3, grid=True),
        graph("grid-gnuplot-gd", "grid", "gnuplot-png", 1, *lin10, frame_b,
              [curve(BLACK, "growth", x10, logistic(x10))], click_x=2.3, grid=True),
        graph("grid-grace", "grid", "grace", 1, (0, 8), (-1, 1), frame_c,
              [curve(BLACK, "ringing", x8, 0.8 * np.cos(1.4 * x8) * np.exp(-0.2 * x8))], click_x=1.1, grid=True),
        graph("grid-r-logy", "grid", "R", 2, (0, 10), (1e-2, 1e3), frame_a,
              [curve(BLACK, "decay", x10, 10 ** (2.4 - 0.42 * x10 + 0.15 * np.sin(x10)))], click_x=3.1, grid=True),
        # Black curves told apart by their dashes alone, crossing.
        graph("dash-gnuplot-cairo-dashed", "dashes", "gnuplot-pngcairo", 1, *lin10, frame_b,
              [curve(BLACK, "model", x10, sine(x10)), curve(BLACK, "fit", x10, 1 + 0.8 * x10, "dashed")],
              wanted=1, click_x=7.2, legend=True),
        graph("dash-gnuplot-cairo-dashdot", "dashes", "gnuplot-pngcairo", 1, (0, 8), (0, 6), frame_c,
              [curve(BLACK, "measured", x8, 3 + 2 * np.sin(0.7 * x8), "dashed"),
               curve(BLACK, "predicted", x8, 5.2 - 0.55 * x8, "dashdot")], wanted=1, click_x=1.2),
        graph("dash-grace-solid", "dashes", "grace", 1, *lin10, frame_a,
              [curve(BLACK, "theory", x10, 8.5 - 0.7 * x10), curve(BLACK, "data", x10, logistic(x10), "dashed")],
              click_x=1.5, legend=True),
        graph("dash-r-dotted", "dashes", "R", 1, *lin10, frame_b,
              [curve(BLACK, "first", x10, sine(x10)), curve(BLACK, "second", x10, 8.6 - 0.75 * x10, "dotted"),
               curve(BLACK, "third", x10, 1.2 + 0.25 * x10, "dashdot")], wanted=1, click_x=3.2, legend=True),
        graph("dash-ploticus-dashed", "dashes", "ploticus", 1, *lin10, frame_c,
              [curve(BLACK, "level", x10, 7 - 4 / (1 + np.exp(-(x10 - 4)))),
               curve(BLACK, "slope", x10, 1.5 + 0.7 * x10, "dashed")], wanted=1, click_x=2.0),
        # Lines with markers at their data points.
        marked("markers-gnuplot-cairo-circle", "gnuplot-pngcairo", 1, *lin10, frame_a, sine, "#0072b2",
               ("circle", False)),
        marked("markers-gnuplot-gd-disc", "gnuplot-png", 1, *lin10, frame_b, logistic, BLACK, ("circle", True)),
        marked("markers-grace-square", "grace", 1, *lin10, frame_c, lambda x: 8 - 0.6 * x + 0.8 * np.sin(x),
               "#d55e00", ("square", False)),
        marked("markers-grace-cross", "grace", 1, (0, 8), (0, 6), frame_a, lambda x: 1 + 4 * (x / 8) ** 2, BLACK,
               ("cross", False), count=14),
        marked("markers-r-triangle", "R", 1, *lin10, frame_b, lambda x: 2 + 6 * np.exp(-0.3 * x), BLACK,
               ("triangle", True)),
        marked("markers-r-diamond-logy", "R", 2, (0, 10), (1e-1, 1e4), frame_c,
               lambda x: 10 ** (3.5 - 0.35 * x), "#009e73", ("diamond", False), count=18),
        # Curves that start and end inside the plotting area.
        inside("inside-gnuplot-gd", "gnuplot-png", *lin10, frame_a, lambda x: 5 + 2.5 * np.sin(1.1 * x), "#cc0000",
               3.5),
        inside("inside-r", "R", (0, 100), (0, 50), frame_b, lambda x: 10 + 0.5 * x - 8 * np.sin(x / 9), BLACK, 40),
        inside("inside-grace", "grace", *lin10, frame_c, lambda x: 2 + 0.08 * x ** 2, "#0000cc", 4),
        # Black and white: curve, frame, inward ticks, labels and boxed legend
        # in one ink; the curve runs behind the legend, along the ticks of the
        # bottom side, or out of a corner of the frame.
        graph("bw-gnuplot-cairo", "black-white", "gnuplot-pngcairo", 1, *lin10, frame_c,
              [curve(BLACK, "signal", x10, 0.6 + 9.0 * (1 - np.exp(-0.45 * x10)))], click_x=2.2, ticks_in=True,
              legend=True),
        graph("bw-grace", "black-white", "grace", 1, (0, 5), (0, 1), frame_a,
              [curve(BLACK, "fraction", lin(0, 5), 0.95 * np.exp(-0.9 * lin(0, 5)) + 0.005)], click_x=0.6,
              ticks_in=True, legend=True),
        graph("bw-ploticus", "black-white", "ploticus", 1, *lin10, frame_b,
              [curve(BLACK, "trend", x10, 0.12 + 0.092 * x10 ** 2)], click_x=5.0, ticks_in=True, legend=True),
        # Plain coloured curves, one on a logarithmic axis.
        graph("plain-gnuplot-cairo-logy", "plain", "gnuplot-pngcairo", 2, (0, 10), (1e-3, 1e2), frame_b,
              [curve("#e69f00", "rise", x10, 2e-3 * 10 ** (0.45 * x10)),
               curve("#56b4e9", "fall", x10, 10 ** (1.5 - 0.4 * x10))], wanted=1, click_x=2.0),
        graph("plain-ploticus", "plain", "ploticus", 1, *lin10, frame_a,
              [curve("#009e73", "wave", x10, 5 + 3 * np.sin(0.6 * x10))], click_x=1.0),
    ]


# The pictures scanned once more: blurred, on tinted paper, noisy, JPEG.
SCANNED = ("grid-gnuplot-cairo", "dash-r-dotted", "markers-grace-square", "inside-gnuplot-gd", "bw-ploticus")


def markers_alone(g):
    wanted = dict(g["curves"][g["wanted"]], dash="none")
    return dict(g, name=g["name"] + "-markers", curves=[wanted], wanted=0, grid=False, legend=False)


def draw_checked(g, base):
    picture = base / f"{g['name']}.png"
    styled_programs.draw(g, base, picture)
    alone = None
    if g["curves"][g["wanted"]]["marker"]:
        alone = base / f"{g['name']}-markers.png"
        styled_programs.draw(markers_alone(g), base, alone)
    check_drawing(g, picture, alone)
    return picture


def describe(g, name, file_name, kind, click):
    wanted = g["curves"][g["wanted"]]
    (x1, x2), (y1, y2) = g["xlim"], g["ylim"]
    left, top, right, bottom = g["frame"]
    record = {
        "name": name, "file": file_name, "program": g["program"], "case": g["case"], "kind": kind,
        "mode": g["mode"], "values": {"x1": x1, "y1": y1, "x2": x2, "y2": y2},
        "picks": {"lowerLeft": [left, bottom], "upperRight": [right, top]}, "colourAt": click,
        "curve": {"colour": wanted["colour"], "dash": wanted["dash"], "x": wanted["xs"].tolist(),
                  "y": wanted["ys"].tolist(), "xRange": [float(wanted["xs"][0]), float(wanted["xs"][-1])]},
    }
    if wanted["marker"]:
        shape, filled = wanted["marker"]
        columns, rows = to_pixel(g, wanted["xs"], wanted["ys"])
        record["markers"] = [{"column": float(c), "row": float(r), "shape": shape, "filled": filled}
                             for c, r in zip(columns, rows)]
    return record


def write_pictures(g, picture, out, rng_seed):
    """The picture as drawn and, for the graphs in SCANNED, its scan; the
    scan leaves every pixel where it was, so the truth is the same."""
    click = click_pixel(g, read_rgb(picture, PAGE))
    return write_pages(g["name"], picture, out, g["name"] in SCANNED, rng_seed,
                       lambda name, file_name, kind: describe(g, name, file_name, kind, click))


def main():
    out = Path(sys.argv[1])
    base = out / "base"
    base.mkdir(parents=True, exist_ok=True)
    graphs = collection()
    with ThreadPoolExecutor(max_workers=2) as pool:
        pictures = list(pool.map(lambda g: draw_checked(g, base), graphs))
        counts = list(pool.map(lambda a: write_pictures(*a), [(g, p, out, 1000 + i) for i, (g, p) in
                                                                enumerate(zip(graphs, pictures))]))
    print(f"{len(graphs)} graphs drawn, {sum(counts)} pictures written to {out}")


if __name__ == "__main__":
    main()
