#!/usr/bin/env python3
"""End-to-end test of a page scanned crooked: a graph drawn by matplotlib,
turned by 2 degrees with ImageMagick, read in the main window on a private
Xvfb display with real pointer and key events. The two corners are clicked
where the tilted frame shows them, "四隅を検出" (Ctrl+F) finds the other two,
"目盛を表示" (Ctrl+G) lays the fitted grid over the picture, the curve is
chosen by its colour, and the saved file must follow the plotted function
within 1 % of full scale, where the two corners alone are off by several.

Usage: e2e_tilted_test.py PROGRAM [--screenshots FOLDER]"""

import math
import subprocess
import sys
from pathlib import Path

from program_road import END_POINT_BUTTON, START_BUTTON, Program, Road, wait_for_file
from scenario import run_scenario
from window_capture import capture_window
from x_display import Desktop

# The frame in the drawn picture, in pixel centres: 100 .. 700 across, 60 .. 460 down.
LEFT, RIGHT, TOP, BOTTOM = 100, 700, 60, 460
WIDTH, HEIGHT = 800, 540
DEGREES = 2.0
CENTRE = (400.0, 270.0)  # of the turn, in ImageMagick's pixel-edge coordinates


def curve(x: float) -> float:
    return 50 + 40 * math.sin(x)


PLOT = f"""
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
fig = plt.figure(figsize=({WIDTH} / 100, {HEIGHT} / 100), dpi=100)
# Frame lines centred on the pixel centres {LEFT}, {RIGHT}, {TOP}, {BOTTOM}.
ax = fig.add_axes([{LEFT + 0.5} / {WIDTH}, 1 - {BOTTOM + 0.5} / {HEIGHT},
                   {RIGHT - LEFT} / {WIDTH}, {BOTTOM - TOP} / {HEIGHT}])
x = np.linspace(0, 10, 2000)
ax.plot(x, 50 + 40 * np.sin(x), color="#d62728", linewidth=1.5)
ax.set_xlim(0, 10)
ax.set_ylim(0, 100)
ax.grid(True, linestyle=":")
for spine in ax.spines.values():
    spine.set_linewidth(1.0)
fig.savefig(r"{{out}}", dpi=100)
"""


def turned(x: float, y: float) -> tuple[float, float]:
    """Where pixel centre (x, y) lands when ImageMagick turns the page."""
    a = math.radians(DEGREES)
    dx, dy = x + 0.5 - CENTRE[0], y + 0.5 - CENTRE[1]
    return (CENTRE[0] + math.cos(a) * dx - math.sin(a) * dy - 0.5,
            CENTRE[1] + math.sin(a) * dx + math.cos(a) * dy - 0.5)


def errors_of(csv: bytes) -> list[float]:
    rows = [line.split(", ") for line in csv.decode().splitlines()[1:]]
    return [abs(float(y) - curve(float(x))) for x, y in rows]


def read_tilted_page(program: Path, work: Path, desktop: Desktop, screenshots) -> list[str]:
    folder = work / "start"
    folder.mkdir()
    drawn = work / "drawn.png"
    subprocess.run(["/usr/bin/python3", "-c", PLOT.replace("{out}", str(drawn))], check=True, timeout=120)
    subprocess.run(["convert", str(drawn), "-virtual-pixel", "white", "-distort", "SRT",
                    f"{CENTRE[0]},{CENTRE[1]} 1 {DEGREES}", str(folder / "tilted.png")], check=True, timeout=60)
    lower_left, upper_right = turned(LEFT, BOTTOM), turned(RIGHT, TOP)
    middle = turned(LEFT + (RIGHT - LEFT) * 0.15, BOTTOM - (BOTTOM - TOP) * curve(1.5) / 100)
    problems = []
    with Program(program, folder, desktop, work / "program.log") as started:
        road = Road(desktop, started)
        road.select_first_file()
        road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
        road.pick(round(lower_left[0]), round(lower_left[1]), "closing the start-point message")
        road.type_pair("0", "0")
        road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
        road.pick(round(upper_right[0]), round(upper_right[1]), "closing the end-point message")
        road.type_pair("10", "100")
        road.press_in_main("ctrl+f")
        desktop.wait_for_window("基準点", "showing the reference points found")
        road.press_in_main("ctrl+g")
        if screenshots:
            capture_window(desktop, road.main, screenshots / "tilted-grid.png", "the grid over the tilted page")
        road.choose_curve_colour(round(middle[0]), round(middle[1]))
        result = road.digitize(by_keyboard=False)
        road.save(result, "tilted")
        errors = errors_of(wait_for_file(folder / "tilted.csv", "reading the saved file"))
        figures = f"{len(errors)} points, the largest error {max(errors):.2f} % of full scale"
        if len(errors) < 500 or max(errors) > 1.0:
            problems.append(figures)
    # The same page read by its two corners alone misses the tilt.
    alone = subprocess.run([str(program), "digitize", str(folder / "tilted.png"),
                            f"--start={round(lower_left[0])},{round(lower_left[1])}",
                            f"--end={round(upper_right[0])},{round(upper_right[1])}", "--x1", "0", "--y1", "0",
                            "--x2", "10", "--y2", "100", f"--colour-at={round(middle[0])},{round(middle[1])}"],
                           capture_output=True, timeout=60)
    if max(errors_of(alone.stdout)) < 2.0:
        problems.append("the two corners alone read the tilted page well: the test would prove nothing")
    print(f"{figures}; with the two corners alone {max(errors_of(alone.stdout)):.2f} %")
    return problems


if __name__ == "__main__":
    sys.exit(run_scenario(__doc__, "tilted page", read_tilted_page, needs_xclip=False, takes_screenshots=True))
