#!/usr/bin/env python3
"""End-to-end test of a figure with two curves, read as two series in the
windows on a private Xvfb display with real pointer and key events: a graph
drawn by gnuplot with a red and a blue curve; the red one digitized by its
colour and kept with "系列に追加" from the result list's menu, the blue one
digitized next, and both saved with "すべての系列を保存". The saved table must
hold both series, each following its plotted function within 1 % of full
scale, and the JSON beside it both series' points.

Usage: e2e_series_test.py PROGRAM [--screenshots FOLDER]"""

import json
import math
import sys
from pathlib import Path

from gnuplot_graph import draw_gnuplot_graph
from program_road import END_POINT_BUTTON, PLOT_ORIGIN, START_BUTTON, Program, Road, wait_for_file
from scenario import run_scenario
from window_capture import capture_window
from x_display import Desktop

WIDTH, HEIGHT = 800, 560
# The frame gnuplot is told to draw, in pixels from the top left.
LEFT, RIGHT, TOP, BOTTOM = 80, 720, 40, 480
LIST_CENTRE = (1032 + 124, 40 + 300)


def red(x: float) -> float:
    return 60 + 25 * math.sin(x)


def blue(x: float) -> float:
    return 30 + 3 * x


PLOT = f"""
set xrange [0:10]
set yrange [0:100]
plot 60 + 25 * sin(x) lc rgb "#d00000" lw 2, 30 + 3 * x lc rgb "#0000d0" lw 2
"""


def pixel(x: float, y: float) -> tuple[int, int]:
    return round(LEFT + (RIGHT - LEFT) * x / 10), round(BOTTOM - (BOTTOM - TOP) * y / 100)


def read_two_series(program: Path, work: Path, desktop: Desktop, screenshots) -> list[str]:
    folder = work / "start"
    folder.mkdir()
    draw_gnuplot_graph(folder / "two.png", (WIDTH, HEIGHT), (LEFT, RIGHT, TOP, BOTTOM), PLOT)
    problems = []
    with Program(program, folder, desktop, work / "program.log") as started:
        road = Road(desktop, started)
        road.select_first_file()
        road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
        road.pick(LEFT, BOTTOM, "closing the start-point message")
        road.type_pair("0", "0")
        road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
        road.pick(RIGHT, TOP, "closing the end-point message")
        road.type_pair("10", "100")
        road.choose_curve_colour(*pixel(1.5, red(1.5)))
        result = road.digitize(by_keyboard=False)
        # The list's menu: "コピー", then "系列に追加".
        desktop.click(result, *LIST_CENTRE, button=3)
        desktop.key("Down", "Down", "Return")
        # The result window stands over the image: back to the main window.
        desktop.raise_window(road.main)
        road.choose_curve_colour(*pixel(7.0, blue(7.0)))
        result = road.digitize(by_keyboard=False)
        if screenshots:
            capture_window(desktop, result, screenshots / "two-series.png", "the result window with two series")
        # Now: "コピー", "系列に追加", "系列の名前を変更", "すべての系列を保存", ...
        desktop.click(result, *LIST_CENTRE, button=3)
        desktop.key("Down", "Down", "Down", "Down", "Return")
        dialog = desktop.wait_for_window(" Data Save", "opening the save dialog for all series")
        desktop.click(dialog, 24 + 108, 312 + 12)
        desktop.focus(dialog)
        desktop.key("ctrl+a")
        desktop.type_text("both")
        desktop.click(dialog, 24 + 108, 528 + 20)
        road.acknowledge("closing the save confirmation")
        saved = wait_for_file(folder / "both.csv", "reading the table of all series")
        table = saved.decode("utf-8-sig")
        described = json.loads(wait_for_file(folder / "both.json", "reading the JSON of all series"))
    rows = [line.split(", ") for line in table.splitlines()[1:]]
    truth = {"系列 1": red, "系列 2": blue}
    for name, f in truth.items():
        errors = [abs(float(y) - f(float(x))) for n, x, y in rows if n == name]
        figures = f"{name}: {len(errors)} points, the largest error {max(errors, default=99):.2f} % of full scale"
        print(figures)
        if len(errors) < 500 or max(errors) > 1.0:
            problems.append(figures)
    # The names are not ASCII: a byte-order mark tells a spreadsheet the file is UTF-8.
    if not saved.startswith("\ufeffSeries, X, Y\r\n".encode()):
        problems.append(f"the table starts {saved[:24]!r}")
    names = [s["name"] for s in described["series"]]
    if names != ["系列 1", "系列 2"] or described["image"]["name"] != "two.png":
        problems.append(f"the JSON names {names} and the image {described['image']['name']!r}")
    return problems


if __name__ == "__main__":
    sys.exit(run_scenario(__doc__, "two series", read_two_series, needs_xclip=False, takes_screenshots=True))
