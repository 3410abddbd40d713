#!/usr/bin/env python3
"""Walks the road once per sample graph on a private Xvfb display and saves a
picture of every window on the way into the screenshot folder.

Usage: guide_screenshots.py PROGRAM SAMPLES_FOLDER OUTPUT_FOLDER"""

import argparse
import re
import shutil
import signal
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

from clipboard import ImageOnClipboard
from graph_case import SCALE_MODE_NAMES
from program_road import (END_POINT_BUTTON, FILE_SAVE_BUTTON, IMAGE_ORIGIN, MAIN_TITLE,
                          MESSAGE_TITLE, PLOT_ORIGIN, RESULT_TITLE, SAVE_DATA_BUTTON, SAVE_TITLE,
                          START_BUTTON, Program, Road, centre, wait_for_file)
from window_capture import capture_window
from x_display import Desktop, StepFailed, VirtualDisplay

SCALE_MODES = {name: mode for mode, name in SCALE_MODE_NAMES.items()}
# The three samples shown in the guide, one per scale mode.
GUIDE_SAMPLES = ("linear-linear.bmp", "linear-log.gif", "log-log.tif")
IMAGE_SUFFIXES = (".bmp", ".jpg", ".gif", ".tif", ".png")
# The figure copied out of a paper, pasted and cleaned of its legend.
PASTED_SAMPLE = "paper-figure.png"
# Image pixels of the rectangle that takes the legend away (corners included).
LEGEND_ERASED = ((446, 70), (734, 182))


@dataclass(frozen=True)
class Sample:
    file: str
    mode: int
    typed: tuple[str, str, str, str]
    lower_left: tuple[int, int]
    upper_right: tuple[int, int]

    @property
    def stem(self) -> str:
        return Path(self.file).stem


def read_samples(values_file: Path) -> dict[str, Sample]:
    """The samples and the values to type for them, as the samples folder lists them."""
    text = values_file.read_text()
    corners = {}
    for corner in ("lower left", "upper right"):
        found = re.search(r"pixel \((\d+), (\d+)\) at the " + corner, text)
        if not found:
            raise ValueError(f"{values_file.name} names no {corner} corner")
        corners[corner] = (int(found[1]), int(found[2]))
    modes = "|".join(map(re.escape, SCALE_MODES))
    row = re.compile(rf"^(\S+\.(?:bmp|jpg|gif|tif|png))\s+({modes})\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s*$")
    samples = {}
    for line in text.splitlines():
        if match := row.match(line):
            samples[match[1]] = Sample(match[1], SCALE_MODES[match[2]], tuple(match.group(3, 4, 5, 6)),
                                       corners["lower left"], corners["upper right"])
    return samples


class GuideRoad:
    def __init__(self, road: Road, output: Path):
        self.road = road
        self.desktop = road.desktop
        self.output = output
        self.saved = []

    def shot(self, window: str, name: str) -> None:
        path = self.output / f"{name}.png"
        capture_window(self.desktop, window, path, f"taking {path.name}")
        self.saved.append(path)

    def shot_of_message(self, name: str, step: str) -> None:
        box = self.desktop.wait_for_window(MESSAGE_TITLE, step)
        self.shot(box, name)
        self.road.acknowledge(step)

    def calibrate(self, sample: Sample, leave_end_y_empty: bool) -> None:
        road = self.road
        road.select_first_file()
        road.press_ok(by_keyboard=False)
        road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
        road.pick(*sample.lower_left, "closing the start-point message")
        road.type_pair(sample.typed[0], sample.typed[1])
        road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
        road.pick(*sample.upper_right, "closing the end-point message")
        if leave_end_y_empty:
            road.type_in_main(sample.typed[2])
            road.press_in_main("Return")
        else:
            road.type_pair(sample.typed[2], sample.typed[3])
        road.choose_scale_mode(sample.mode)

    def result_with_crosshair(self, sample: Sample, result_window: str) -> None:
        """The pointer over the middle of the digitized stretch puts the crosshair on the curve."""
        column = (sample.lower_left[0] + sample.upper_right[0]) // 2
        row = (sample.lower_left[1] + sample.upper_right[1]) // 2
        self.desktop.move(result_window, PLOT_ORIGIN[0] + column, PLOT_ORIGIN[1] + row)
        self.shot(result_window, f"result-{sample.stem}")


def first_sample_road(guide: GuideRoad, sample: Sample) -> None:
    """Start-up, the picked corners, a refusal, the completion message, the
    result, the save dialog and its confirmation."""
    road = guide.road
    guide.shot(road.main, "main-window")
    guide.calibrate(sample, leave_end_y_empty=True)
    road.press_digitize(by_keyboard=False)
    guide.shot_of_message("refusal-message", "closing the refusal of the empty end Y box")
    road.type_into("Text4", sample.typed[3])
    guide.shot(road.main, "main-window-picked")
    road.press_digitize(by_keyboard=False)
    guide.shot_of_message("digitize-finished", "closing the completion message")
    result_window = road.desktop.wait_for_window(RESULT_TITLE, "showing the result window")
    guide.result_with_crosshair(sample, result_window)
    road.desktop.click(result_window, *centre(SAVE_DATA_BUTTON))
    dialog = road.desktop.wait_for_window(SAVE_TITLE, "opening the save dialog")
    guide.shot(dialog, "save-dialog")
    road.desktop.click(dialog, *centre(FILE_SAVE_BUTTON))
    guide.shot_of_message("save-confirmation", "closing the save confirmation")


def other_sample_road(guide: GuideRoad, sample: Sample) -> None:
    guide.calibrate(sample, leave_end_y_empty=False)
    result_window = guide.road.digitize(by_keyboard=False)
    guide.result_with_crosshair(sample, result_window)


def pasted_sample_road(guide: GuideRoad, sample: Sample, image: Path, folder: Path) -> None:
    """The figure pasted from the clipboard, its legend erased (the rubber
    band, then the erased image), the start corner aimed at with the loupe,
    and on through Digitize to the saved CSV file."""
    road, desktop = guide.road, guide.desktop
    with ImageOnClipboard(desktop, image):
        road.paste()
    (left, top), (right, bottom) = LEGEND_ERASED
    road.begin_erasing((left, top), (right, bottom))
    guide.shot(road.main, "paste-rubber-band")
    road.finish_erasing((right, bottom))
    guide.shot(road.main, "paste-erased")
    road.arm_pick(START_BUTTON, False, "closing the start-point prompt")
    x, y = sample.lower_left
    desktop.move(road.main, IMAGE_ORIGIN[0] + x + 3, IMAGE_ORIGIN[1] + y - 2)
    desktop.move(road.main, IMAGE_ORIGIN[0] + x, IMAGE_ORIGIN[1] + y)
    guide.shot(road.main, "paste-loupe")
    road.pick(x, y, "closing the start-point message")
    road.type_pair(sample.typed[0], sample.typed[1])
    road.arm_pick(END_POINT_BUTTON, False, "closing the end-point prompt")
    road.pick(*sample.upper_right, "closing the end-point message")
    road.type_pair(sample.typed[2], sample.typed[3])
    result_window = road.digitize(by_keyboard=True)
    guide.result_with_crosshair(sample, result_window)
    road.save(result_window, sample.stem)
    wait_for_file(folder / f"{sample.stem}.csv", "reading the saved file")


def take_all(program: Path, samples_folder: Path, output: Path) -> list[Path]:
    samples = read_samples(samples_folder / "corner-values.txt")
    output.mkdir(parents=True, exist_ok=True)
    saved = []
    with tempfile.TemporaryDirectory(prefix="vd-") as work_dir:
        work = Path(work_dir)
        with VirtualDisplay(work / "xvfb.log") as display:
            desktop = Desktop(display.name)
            for index, name in enumerate(GUIDE_SAMPLES):
                # The first run shows every sample in the file box; the others
                # start where their sample is the only file.
                # Deep enough that the folder boxes show only these plain names.
                folder = work / f"run-{index + 1}" / "home" / "user" / "samples"
                folder.mkdir(parents=True)
                images = sorted((image for image in samples_folder.iterdir()
                                 if image.suffix in IMAGE_SUFFIXES), key=lambda p: p.name.lower())
                if index > 0:
                    images = [samples_folder / name]
                if images[0].name != name:
                    raise StepFailed(f"{name} is not the first file of the file box")
                for image in images:
                    shutil.copy(image, folder)
                with Program(program, folder, desktop, work / "program.log") as started:
                    guide = GuideRoad(Road(desktop, started), output)
                    (first_sample_road if index == 0 else other_sample_road)(guide, samples[name])
                    if started.main_window not in desktop.visible_windows(MAIN_TITLE):
                        raise StepFailed("the main window closed on the way")
                    if Road(desktop, started).end() != 0:
                        raise StepFailed('"END" did not end the program cleanly')
                    saved += guide.saved
            folder = work / "run-paste" / "home" / "user" / "Documents"
            folder.mkdir(parents=True)
            with Program(program, folder, desktop, work / "program.log") as started:
                guide = GuideRoad(Road(desktop, started), output)
                pasted_sample_road(guide, samples[PASTED_SAMPLE], samples_folder / PASTED_SAMPLE, folder)
                if Road(desktop, started).end() != 0:
                    raise StepFailed('"END" did not end the program cleanly')
                saved += guide.saved
    return saved


def main() -> int:
    # A terminated run still stops the program and Xvfb on its way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", type=Path)
    parser.add_argument("samples", type=Path)
    parser.add_argument("output", type=Path)
    args = parser.parse_args()
    try:
        saved = take_all(args.program.resolve(), args.samples.resolve(), args.output.resolve())
    except StepFailed as failure:
        print(f"screenshots failed: {failure}", file=sys.stderr)
        return 1
    for path in saved:
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
