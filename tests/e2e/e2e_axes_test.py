#!/usr/bin/env python3
"""End-to-end test of axes that calibrate themselves, in the windows on a
private Xvfb display with real key and pointer events: a graph drawn by
gnuplot with a negative X range and Y in thousands, calibrated with
"軸を自動検出" (Ctrl+K) alone, nothing picked or typed, then its red curve
digitized by its colour and saved. Every saved point must follow the
plotted function within 1 % of full scale. The program reads the labels
with OCR on one thread (or on the limit the user set), having started
itself again with that limit.

Usage: e2e_axes_test.py PROGRAM [--screenshots FOLDER]"""

import math
import os
import sys
from pathlib import Path

from gnuplot_graph import draw_gnuplot_graph
from program_road import Program, Road, wait_for_file
from scenario import run_scenario
from window_capture import capture_window
from x_display import Desktop

WIDTH, HEIGHT = 800, 560
LEFT, RIGHT, TOP, BOTTOM = 90, 730, 40, 480
X0, X1, Y0, Y1 = -5.0, 5.0, 0.0, 5000.0


def curve(x: float) -> float:
    return 2500 + 1800 * math.sin(0.8 * x)


PLOT = f"""
set xrange [{X0}:{X1}]
set yrange [{Y0}:{Y1}]
plot 2500 + 1800 * sin(0.8 * x) lc rgb "#d00000" lw 2
"""


def pixel(x: float, y: float) -> tuple[int, int]:
    return (round(LEFT + (RIGHT - LEFT) * (x - X0) / (X1 - X0)),
            round(BOTTOM - (BOTTOM - TOP) * (y - Y0) / (Y1 - Y0)))


def calibrate_by_itself(program: Path, work: Path, desktop: Desktop, screenshots) -> list[str]:
    folder = work / "start"
    folder.mkdir()
    draw_gnuplot_graph(folder / "graph.png", (WIDTH, HEIGHT), (LEFT, RIGHT, TOP, BOTTOM), PLOT)
    problems = []
    with Program(program, folder, desktop, work / "program.log") as started:
        limit = os.environ.get("OMP_THREAD_LIMIT", "1")
        environment = Path(f"/proc/{started.process.pid}/environ").read_bytes().split(b"\0")
        if f"OMP_THREAD_LIMIT={limit}".encode() not in environment:
            problems.append(f"the program runs without the OCR thread limit {limit}")
        road = Road(desktop, started)
        road.select_first_file()
        road.press_in_main("ctrl+k")
        road.choose_curve_colour(*pixel(1.0, curve(1.0)))
        result = road.digitize(by_keyboard=False)
        road.save(result, "auto")
        table = wait_for_file(folder / "auto.csv", "reading the saved points").decode()
        if screenshots:
            desktop.raise_window(road.main)
            capture_window(desktop, road.main, screenshots / "axes-detected.png", "the grid of the found axes")
    rows = [line.split(", ") for line in table.splitlines()[1:]]
    errors = [abs(float(y) - curve(float(x))) / (Y1 - Y0) * 100 for x, y in rows]
    span = (float(rows[0][0]), float(rows[-1][0])) if rows else (0, 0)
    figures = (f"{len(errors)} points from X {span[0]:.3f} to {span[1]:.3f}, "
               f"the largest error {max(errors, default=99):.2f} % of full scale")
    print(figures)
    if len(errors) < 500 or max(errors) > 1.0 or span[0] > X0 + 0.1 or span[1] < X1 - 0.1:
        problems.append(figures)
    return problems


if __name__ == "__main__":
    sys.exit(run_scenario(__doc__, "axes found", calibrate_by_itself, needs_xclip=False, takes_screenshots=True))
