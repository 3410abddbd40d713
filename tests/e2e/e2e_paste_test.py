#!/usr/bin/env python3
"""End-to-end test of an image pasted from another program: on a private Xvfb
display, xclip holds a PNG graph on the clipboard as a browser would; Ctrl+V
shows it, a right-button drag erases the legend that the scan would otherwise
take for the curve ("元に戻す" in the right-click menu brings it back, a drag
the other way erases it again), and the road goes on with the loupe beside the pointer to
the saved CSV file, compared with values worked out here from the drawn graph
with the legend painted out.

Usage: e2e_paste_test.py PROGRAM"""

import subprocess
import sys
from pathlib import Path

from clipboard import ImageOnClipboard
from csv_check import csv_problems
from expected_points import expected_points
from graph_case import GRAPH_CASES
from graph_images import BLACK, CURVE_BLUE, WHITE, draw_graph, write_image
from program_road import END_POINT_BUTTON, IMAGE_ORIGIN, START_BUTTON, Program, Road, wait_for_file
from raster import Raster
from road_scenarios import end_with_result_window
from scenario import run_scenario
from window_capture import settled_screen
from x_display import Desktop, StepFailed, wait_until

CASE = GRAPH_CASES[0]
# The legend's box (left, top, right, bottom, corners included), below the
# curve's peak at the left of the plotting area, and the rectangle erased.
LEGEND = (100, 236, 187, 326)
ERASED = (96, 232, 191, 330)


def graph(with_legend: bool) -> Raster:
    raster = draw_graph(CASE)
    left, top, right, bottom = LEGEND
    for edge in ((left, top, right, top), (left, bottom, right, bottom),
                 (left, top, left, bottom), (right, top, right, bottom)):
        raster.fill(*edge, BLACK)
    raster.fill(left + 6, top + 12, left + 30, top + 13, CURVE_BLUE)
    for row in (top + 8, top + 30, top + 50, top + 70):  # words, as black bars
        raster.fill(left + 36, row, right - 8, row + 4, BLACK)
    if not with_legend:
        raster.fill(*ERASED, WHITE)
    return raster


def shows(desktop: Desktop, window: str, raster: Raster, step: str) -> bool:
    """Whether the image area shows exactly the raster's pixels."""
    left, top, _, _ = desktop.geometry(window)
    screen = settled_screen(desktop, step)
    width = int(subprocess.run(["xdotool", "getdisplaygeometry"], env=desktop.env, check=True,
                               capture_output=True, text=True).stdout.split()[0])
    expected = raster.rgb_bytes()
    row_bytes = raster.width * 3
    for y in range(raster.height):
        start = ((top + IMAGE_ORIGIN[1] + y) * width + left + IMAGE_ORIGIN[0]) * 3
        if screen[start:start + row_bytes] != expected[y * row_bytes:(y + 1) * row_bytes]:
            return False
    return True


def paste_erase_and_digitize(program: Path, work: Path, desktop: Desktop) -> list[str]:
    folder = work / "start"
    folder.mkdir()
    original, erased = graph(with_legend=True), graph(with_legend=False)
    expected = expected_points(CASE, erased)
    if expected == expected_points(CASE, original):
        raise StepFailed("the legend would not disturb the scan: the test would prove nothing")
    png = work / "copied graph.png"
    write_image(original, png, work)
    with Program(program, folder, desktop, work / "program.log") as started:
        road = Road(desktop, started)
        with ImageOnClipboard(desktop, png):
            road.paste()  # the focus is in the drive box, as after start-up
            wait_until(lambda: shows(desktop, road.main, original, "pasting"), "showing the pasted graph",
                       give_up=desktop.give_up)
        road.erase(ERASED[:2], ERASED[2:])
        wait_until(lambda: shows(desktop, road.main, erased, "erasing"), "showing the erased legend",
                   give_up=desktop.give_up)
        # The clipboard is empty again, so the menu's first entry that can
        # apply is "元に戻す".
        road.open_image_menu((300, 300))
        desktop.key("Down", "Return")
        wait_until(lambda: shows(desktop, road.main, original, "undoing"), "showing the legend again",
                   give_up=desktop.give_up)
        road.erase(ERASED[2:], ERASED[:2])
        wait_until(lambda: shows(desktop, road.main, erased, "erasing again"), "showing the legend erased again",
                   give_up=desktop.give_up)

        area = CASE.area
        start_x, start_y, end_x, end_y = CASE.typed
        road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
        road.pick(area.start_x, area.start_y, "closing the start-point message")
        road.type_pair(start_x, start_y)
        road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
        road.pick(area.end_x, area.end_y, "closing the end-point message")
        road.type_pair(end_x, end_y)
        result_window = road.digitize(by_keyboard=True)
        road.save(result_window, "pasted graph")
        data = wait_for_file(folder / "pasted graph.csv", "reading the saved file")
        return csv_problems(data, expected) + end_with_result_window(road, result_window)


if __name__ == "__main__":
    sys.exit(run_scenario(__doc__, "paste-erase-digitize", paste_erase_and_digitize, needs_xclip=True, takes_screenshots=False))
