#!/usr/bin/env python3
"""Copying the result from the result window, read back from outside the
program: on a private Xvfb display, real keys and clicks copy the points of a
run of 1000, 1 and 0 points, and xclip reads the clipboard as a spreadsheet
pasting it would. Each line is compared with values worked out here from the
drawn graph and the clicked corners.

Usage: clipboard_test.py PROGRAM"""

import argparse
import math
import subprocess
import sys
import tempfile
from pathlib import Path

from expected_points import expected_points, number_texts
from graph_case import GraphCase, PlotArea
from program_road import Program, Road
from raster import Raster, write_bmp
from road_scenarios import Walk, calibrate
from x_display import Desktop, StepFailed, VirtualDisplay, wait_until

# The result window's list, and a point on its first row (client pixels).
RESULT_LIST = (1032, 40, 249, 669)
FIRST_LIST_ROW = (RESULT_LIST[0] + 60, RESULT_LIST[1] + 10)


def graph(name: str, area: PlotArea, typed, mode: int) -> GraphCase:
    # The whole image area, so that the 1000-point run lies inside the image.
    return GraphCase(name=name, mode=mode, image_size=(1005, 805), area=area, typed=typed,
                     curve=lambda u: 0.5 + 0.4 * math.sin(5 * u))


# (case, how the copy is asked for)
CASES = (
    (graph("thousand-points", PlotArea(0, 802, 1003, 2), ("-2.5", "1", "7.5", "1000"), 2), "ctrl+c in the list"),
    (graph("one-point", PlotArea(300, 600, 304, 100), ("0", "0", "4", "500"), 1), "the list's menu"),
    (graph("no-point", PlotArea(300, 600, 303, 100), ("0", "0", "3", "500"), 1), "ctrl+c on Close"),
)


def draw(case: GraphCase) -> Raster:
    """A curve two pixels thick on white paper, across the whole image."""
    raster = Raster(*case.image_size)
    area = case.area
    for x in range(case.image_size[0]):
        row = area.row_at(case.curve((x - area.start_x) / max(area.width, 1)))
        raster.fill(x, row, x, row + 1, (20, 40, 170))
    return raster


def expected_lines(case: GraphCase, raster: Raster) -> list[set[str]]:
    """Per line, the texts accepted: the header, then X and Y of each point."""
    return [{"X\tY"}] + [{f"{x}\t{y}" for x in number_texts(px) for y in number_texts(py)}
                         for px, py in expected_points(case, raster)]


def clipboard(desktop: Desktop) -> str | None:
    done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=desktop.env,
                          capture_output=True, timeout=10)
    return done.stdout.decode() if done.returncode == 0 and done.stdout else None


def copy(road: Road, result_window: str, how: str) -> None:
    desktop = road.desktop
    desktop.focus(result_window)
    if how == "ctrl+c on Close":
        # "Close" has the focus when the window first shows.
        desktop.key("ctrl+c")
    elif how == "ctrl+c in the list":
        desktop.click(result_window, *FIRST_LIST_ROW)
        desktop.key("ctrl+c")
    else:
        before = desktop.windows_of(road.program.process.pid)
        desktop.click(result_window, *FIRST_LIST_ROW, button=3)
        wait_until(lambda: desktop.windows_of(road.program.process.pid) - before,
                   "opening the list's menu", give_up=desktop.give_up)
        desktop.key("Down", "Return")


def problems_of(copied: str, expected: list[set[str]]) -> list[str]:
    if not copied.endswith("\n") or "\r" in copied:
        return [f"the text does not end every line with a bare LF: {copied[-40:]!r}"]
    lines = copied[:-1].split("\n")
    problems = [] if len(lines) == len(expected) else [f"{len(lines)} lines, expected {len(expected)}"]
    wrong = [f"line {n}: {line!r}, expected one of {sorted(accepted)}"
             for n, (line, accepted) in enumerate(zip(lines, expected), 1) if line not in accepted]
    return problems + wrong[:5]


def run_case(program: Path, work: Path, desktop: Desktop, case: GraphCase, how: str) -> list[str]:
    folder = work / case.name
    folder.mkdir()
    raster = draw(case)
    write_bmp(raster, folder / f"{case.name}.bmp")
    with Program(program, folder, desktop, work / f"{case.name}.log") as running:
        road = Road(desktop, running)
        if clipboard(desktop) is not None:
            return ["the clipboard holds text before anything was copied"]
        calibrate(road, case, Walk())
        result_window = road.digitize(by_keyboard=False)
        copy(road, result_window, how)
        copied = wait_until(lambda: clipboard(desktop), f"reading the clipboard after {how}",
                            give_up=desktop.give_up)
        problems = problems_of(copied, expected_lines(case, raster))
        status = road.end()
        return problems + ([] if status == 0 else [f'"END" ended the program with exit status {status}'])


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", type=Path)
    program = parser.parse_args().program.resolve()
    failed = 0
    with tempfile.TemporaryDirectory(prefix="vastrel-clipboard-") as work_dir:
        work = Path(work_dir)
        with VirtualDisplay(work / "xvfb.log") as display:
            desktop = Desktop(display.name)
            for case, how in CASES:
                try:
                    problems = run_case(program, work, desktop, case, how)
                except StepFailed as failure:
                    problems = [str(failure)]
                print(f"{'FAIL' if problems else 'PASS'} {case.name} by {how}", *problems, sep="\n  ", flush=True)
                failed += bool(problems)
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
