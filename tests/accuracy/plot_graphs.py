#!/usr/bin/python3
"""Draws the graphs the curve-colour accuracy check reads, with matplotlib,
and writes beside them what is true of each: the clicked corners, the values
to type for them, the pixel the curve's colour is taken from, and for every
scanned column the true graph values and image row of the curve.

Usage: plot_graphs.py OUTPUT_FOLDER

The corners are pixels on the axes' frame, as a user clicks them; the values
typed for them are the graph values at those pixels' centres, so that any
error measured is the scan's and not the calibration's."""

import json
import math
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

DPI = 100
SIZE = (900, 700)
LINE_WIDTH = 1.5 * 72 / DPI  # 1.5 pixels, in points


def new_axes(log_x=False):
    fig = plt.figure(figsize=(SIZE[0] / DPI, SIZE[1] / DPI), dpi=DPI)
    ax = fig.add_axes([0.1, 0.09, 0.86, 0.86])
    if log_x:
        ax.set_xscale("log")
    # Ticks inside on all four sides, where the darkest-pixel rule meets them.
    ax.tick_params(which="both", direction="in", top=True, right=True)
    ax.grid(True, which="both" if log_x else "major", linestyle=":")
    return fig, ax


def pixel_of(ax, x, y):
    """Continuous image position (column, row) of a data point; pixel k spans k .. k + 1."""
    dx, dy = ax.transData.transform((x, y))
    return dx - 0.5, SIZE[1] - dy - 0.5


def data_at(ax, column, row):
    return ax.transData.inverted().transform((column + 0.5, SIZE[1] - row - 0.5))


def marker_centre(ax, x, y):
    """Where matplotlib's Agg renderer centres a marker: it puts every marker
    on the nearest whole display pixel, half a pixel off the line's position."""
    dx, dy = ax.transData.transform((x, y))
    return math.floor(dx + 0.5), math.floor(SIZE[1] - dy + 0.5)


def corners(ax):
    box = ax.get_window_extent()
    return (int(round(box.x0 - 0.5)), int(round(SIZE[1] - box.y0 - 0.5)),
            int(round(box.x1 - 0.5)), int(round(SIZE[1] - box.y1 - 0.5)))


def click_on(ax, function, x):
    """The pixel a careful user Ctrl+clicks: the one under the curve at x."""
    column, row = pixel_of(ax, x, function(x))
    return int(math.floor(column + 0.5)), int(math.floor(row + 0.5))


def describe(fig, ax, name, mode, truth, click, image_format="png", markers=()):
    """Saves the figure and returns its record; `truth` gives graph Y for graph X."""
    fig.canvas.draw()
    sx, sy, ex, ey = corners(ax)
    x1, y1 = data_at(ax, sx, sy)
    x2, y2 = data_at(ax, ex, ey)
    columns = []
    for column in range(sx + 2, ex - 1):
        x, _ = data_at(ax, column, 0)
        y = truth(x)
        columns.append({"x": float(x), "y": float(y), "row": float(pixel_of(ax, x, y)[1])})
    file_name = f"{name}.{image_format}"
    options = {"pil_kwargs": {"quality": 85}} if image_format == "jpg" else {}
    fig.savefig(Path(sys.argv[1]) / file_name, dpi=DPI, **options)
    plt.close(fig)
    return {
        "name": name, "file": file_name, "mode": mode,
        "corners": [sx, sy, ex, ey], "typed": [repr(float(v)) for v in (x1, y1, x2, y2)],
        "click": list(click), "columns": columns,
        "markers": [{"column": c, "row": r} for c, r in markers],
    }


def crossing_curves():
    """Three 1.5-pixel curves that cross, the first drawn under the others,
    with a legend of text and line samples inside the plot."""
    curves = [
        ("tab:blue", lambda x: 0.55 + 0.32 * np.sin(0.9 * x)),
        ("tab:orange", lambda x: 0.15 + 0.075 * x),
        ("tab:green", lambda x: 0.85 - 0.06 * x + 0.05 * np.sin(2.0 * x)),
    ]
    records = []
    for chosen, (colour, function) in enumerate(curves):
        fig, ax = new_axes()
        xs = np.linspace(0, 10, 3000)
        for i, (c, f) in enumerate(curves):
            ax.plot(xs, f(xs), color=c, linewidth=LINE_WIDTH, label=f"curve {i + 1}")
        ax.set_xlim(0, 10)
        ax.set_ylim(0, 1.25)
        ax.legend(loc="upper center", ncol=3)
        records.append(describe(fig, ax, f"crossing-{chosen + 1}", 1, function,
                                click_on(ax, function, 1.3 + 0.4 * chosen)))
    return records


def fringe_next_to(image, click):
    """A pale pixel of the line right above or below `click`: a click that
    misses the line's core by one pixel."""
    column, row = click
    for step in range(0, 40):
        for dy in (-1, 1):
            rgb = image[row + dy, column + step, :3].astype(int)
            ink = (255 - rgb).max()
            if 50 <= ink <= 140:
                return column + step, row + dy
    raise RuntimeError("no fringe pixel near the click")


def single_curve():
    function = lambda x: 0.5 + 0.4 * np.sin(1.3 * x) * np.exp(-0.05 * x)  # noqa: E731
    fig, ax = new_axes()
    xs = np.linspace(0, 10, 3000)
    ax.plot(xs, function(xs), color="tab:red", linewidth=LINE_WIDTH)
    ax.set_xlim(0, 10)
    ax.set_ylim(0, 1)
    fig.canvas.draw()
    image = np.asarray(fig.canvas.buffer_rgba())
    click = click_on(ax, function, 3.0)
    fringe = fringe_next_to(image, click)
    record = describe(fig, ax, "single", 1, function, click)
    return [record, dict(record, name="single-fringe", click=list(fringe))]


def markers_joined_by_lines():
    """Round markers on the data points, joined by straight lines, and a legend."""
    points_x = np.arange(0.5, 10, 0.75)
    points_y = 2.0 + 1.5 * np.sin(0.7 * points_x) + 0.1 * points_x
    truth = lambda x: np.interp(x, points_x, points_y)  # noqa: E731
    records = []
    for image_format in ("png", "jpg"):
        fig, ax = new_axes()
        ax.plot(points_x, points_y, "o-", color="tab:purple", linewidth=LINE_WIDTH, markersize=7,
                label="measured")
        ax.plot(points_x, points_y * 0.6, "s--", color="tab:gray", linewidth=LINE_WIDTH, label="model")
        ax.set_xlim(0, 10)
        ax.set_ylim(0, 4.5)
        ax.legend(loc="upper right")
        fig.canvas.draw()
        centres = [marker_centre(ax, x, y) for x, y in zip(points_x, points_y)]
        records.append(describe(fig, ax, f"markers-{image_format}", 1, truth,
                                click_on(ax, truth, points_x[3]), image_format, centres))
    return records


def log_linear():
    """A frequency response: gain in dB over a logarithmic frequency axis."""
    def gain(f, f0=1000.0, q=2.0):
        u = f / f0
        return -10.0 * np.log10((1 - u * u) ** 2 + (u / q) ** 2)

    fig, ax = new_axes(log_x=True)
    fs = np.logspace(1, 5, 4000)
    ax.plot(fs, gain(fs), color="tab:blue", linewidth=LINE_WIDTH, label="f0 = 1 kHz")
    ax.plot(fs, gain(fs, f0=300.0, q=0.7), color="tab:red", linewidth=LINE_WIDTH, label="f0 = 300 Hz")
    ax.set_xlim(10, 1e5)
    ax.set_ylim(-90, 15)
    ax.legend(loc="lower left")
    return [describe(fig, ax, "log-linear", 4, gain, click_on(ax, gain, 1000.0))]


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    records = crossing_curves() + single_curve() + markers_joined_by_lines() + log_linear()
    (out / "graphs.json").write_text(json.dumps(records, indent=1))
    print(f"{len(records)} graphs written to {out}")


if __name__ == "__main__":
    main()
