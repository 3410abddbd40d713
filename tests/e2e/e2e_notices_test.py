#!/usr/bin/env python3
"""End-to-end test of what the main window tells a user who goes astray, on a
private Xvfb display with real pointer and key events: erasing more than the
undo memory holds is said once; a file copied as file://localhost/... loads
and one of another computer is refused; corners picked beyond a small
picture give the result as always, with a framed notice at the foot of the
image area while the completion message shows.

Usage: e2e_notices_test.py PROGRAM [--screenshots FOLDER]
(--screenshots keeps pictures of the notice and the two messages there)"""

import shutil
import subprocess
import sys
from pathlib import Path

from clipboard import ImageOnClipboard
from graph_images import BLACK, write_image
from program_road import (END_POINT_BUTTON, IMAGE_ORIGIN, MESSAGE_TITLE, RESULT_TITLE, START_BUTTON, Program,
                          Road)
from raster import Raster
from scenario import run_scenario
from window_capture import capture_window, screen_area
from x_display import Desktop, StepFailed, wait_until

# The whole-area erase after which the undo memory (64 MB, 3.2 MB an erase)
# forgets its first step, and one more.
FIRST_FORGETTING = (64 << 20) // (1000 * 800 * 4) + 1
ERASES = FIRST_FORGETTING + 1
# The notice's place, in client pixels of the main window: the foot of the image area.
NOTICE = (276, 805, 600, 24)


def graph(width: int, height: int) -> Raster:
    raster = Raster(width, height)
    raster.fill(0, height // 2, width - 1, height // 2, BLACK)
    return raster


def red_pixels(area: bytes) -> int:
    return sum(1 for i in range(0, len(area), 3) if area[i] > 200 and area[i + 1] < 60 and area[i + 2] < 60)


def no_message_within(desktop: Desktop, seconds: float) -> bool:
    try:
        wait_until(lambda: desktop.visible_windows(MESSAGE_TITLE), "a message", timeout=seconds)
    except StepFailed:
        return True
    return False


def go_astray(program: Path, work: Path, desktop: Desktop, screenshots) -> list[str]:
    folder = work / "start"
    folder.mkdir()
    write_image(graph(1000, 800), folder / "large.png", work)
    write_image(graph(400, 300), work / "small graph.png", work)
    problems = []
    with Program(program, folder, desktop, work / "program.log") as started:
        road = Road(desktop, started)
        road.select_first_file()
        for i in range(ERASES):
            road.erase((0, 0), (999, 799))
            if i + 1 == FIRST_FORGETTING:
                if screenshots:
                    desktop.wait_for_window(MESSAGE_TITLE, "showing the message that old erases go")
                    shutil.copy(capture(desktop, work / "erase.png"), screenshots / "old-erases.png")
                road.acknowledge("closing the message that old erases go")
        if not no_message_within(desktop, 1.0):
            problems.append("the message on old erases came more than once")

        uri = work / "uri-list"
        uri.write_text("file://localhost" + str((work / "small graph.png")).replace(" ", "%20") + "\r\n")
        with ImageOnClipboard(desktop, uri, "text/uri-list"):
            road.paste()
            # The small picture shows, the large one's black line at row 400 is gone.
            wait_until(lambda: screen_area(desktop, *desktop_point(desktop, road, 100, 400), 1, 1,
                                           "pasting")[0] == 0xC0, "showing the pasted small graph",
                       give_up=desktop.give_up)
        uri.write_text("file://fileserver/share/graph.png\r\n")
        with ImageOnClipboard(desktop, uri, "text/uri-list"):
            road.paste()
            if screenshots:
                desktop.wait_for_window(MESSAGE_TITLE, "showing the refusal of another computer's file")
                shutil.copy(capture(desktop, work / "remote.png"), screenshots / "remote-file.png")
            road.acknowledge("closing the refusal of another computer's file")

        road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
        road.pick(10, 290, "closing the start-point message")
        road.type_pair("0", "0")
        road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
        road.pick(600, 10, "closing the end-point message")  # beyond the picture's right edge
        road.type_pair("10", "1")
        road.press_digitize(by_keyboard=True)
        desktop.wait_for_window(MESSAGE_TITLE, "showing the completion message")
        left, top, _, _ = desktop.geometry(road.main)
        notice = screen_area(desktop, left + NOTICE[0], top + NOTICE[1], NOTICE[2], NOTICE[3], "the notice")
        if red_pixels(notice) < 200:
            problems.append("no notice in red at the foot of the image area while the completion message shows")
        if screenshots:
            capture_window(desktop, road.main, screenshots / "scan-notice.png", "the notice")
        road.acknowledge("closing the completion message")
        desktop.wait_for_window(RESULT_TITLE, "showing the result window")
    return problems


def desktop_point(desktop: Desktop, road: Road, x: int, y: int) -> tuple[int, int]:
    """The screen position of image pixel (x, y)."""
    left, top, _, _ = desktop.geometry(road.main)
    return left + IMAGE_ORIGIN[0] + x, top + IMAGE_ORIGIN[1] + y


def capture(desktop: Desktop, path: Path) -> Path:
    subprocess.run(["import", "-window", "root", str(path)], env=desktop.env, check=True, timeout=30)
    return path


if __name__ == "__main__":
    sys.exit(run_scenario(__doc__, "notices", go_astray, needs_xclip=True, takes_screenshots=True))
