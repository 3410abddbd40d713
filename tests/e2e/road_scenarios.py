"""The scenarios of the end-to-end test. Each starts the program in a folder of
its own, walks the road and returns the problems it found (empty: passed)."""

import datetime
from dataclasses import dataclass
from pathlib import Path

from csv_check import csv_problems
from expected_points import expected_points
from graph_case import GraphCase
from graph_images import CURVE_BLUE, draw_graph, write_cut_jpeg, write_image
from program_road import (END_POINT_BUTTON, IMAGE_ORIGIN, MESSAGE_TITLE, RESULT_TITLE,
                          SHOW_RESULT_BUTTON, START_BUTTON, Program, Road, csv_files, wait_for_file)
from raster import Raster
from window_capture import screen_area
from x_display import Desktop, wait_until


@dataclass
class Context:
    program: Path
    work: Path
    desktop: Desktop


@dataclass(frozen=True)
class Walk:
    """How the user goes along the road."""
    # Every step by key but the picks on the image, the scale mode by arrow keys.
    by_keyboard: bool = False
    # Start coordinates typed before the start point is picked again, as if
    # left from a previous graph: the pick selects them, so typing replaces them.
    stale_start: tuple[str, str] | None = None
    # Choose a cut-off JPEG file after the graph: it must be refused, and the
    # graph stay shown and digitized.
    cut_jpeg_first: bool = False

    def name(self) -> str:
        return ("-keyboard" if self.by_keyboard else "") + ("-repick" if self.stale_start else "") + \
            ("-after-cut-jpeg" if self.cut_jpeg_first else "")


def prepare_folder(context: Context, run: str, case: GraphCase, image_format: str, cut_jpeg: bool = False,
                   colour=None):
    """A start folder holding the graph (and, if asked, a cut-off JPEG of it
    listed after it); returns the folder, the graph's pixels and the points its
    digitizing must give, by the darkest pixel or by the curve's `colour`."""
    folder = context.work / run
    folder.mkdir()
    raster = draw_graph(case)
    write_image(raster, folder / f"{case.name}.{image_format}", context.work)
    if cut_jpeg:
        write_cut_jpeg(raster, folder / "z-cut-off.jpg", context.work)
    return folder, raster, expected_points(case, raster, colour)


def image_area_problems(road: Road, raster: Raster, step: str) -> list[str]:
    """Whether the image area shows exactly the graph's pixels."""
    left, top, _, _ = road.desktop.geometry(road.main)
    shown = screen_area(road.desktop, left + IMAGE_ORIGIN[0], top + IMAGE_ORIGIN[1],
                        raster.width, raster.height, step)
    wanted = raster.rgb_bytes()
    differing = sum(shown[i:i + 3] != wanted[i:i + 3] for i in range(0, len(wanted), 3))
    return [f"{step}: {differing} pixels of the image area differ from the graph"] if differing else []


def refuse_cut_jpeg(road: Road, raster: Raster) -> list[str]:
    """With the graph shown and the focus on "OK": back to the file box and
    Down onto the cut-off JPEG, whose refusal must leave the graph shown."""
    problems = image_area_problems(road, raster, "showing the graph")
    road.press_in_main("shift+Tab", "Down")
    road.acknowledge("closing the refusal of the cut-off JPEG")
    return problems + image_area_problems(road, raster, "after refusing the cut-off JPEG")


def calibrate(road: Road, case: GraphCase, walk: Walk, type_end_y: bool = True,
              file_chosen: bool = False) -> None:
    """From the file box to the four coordinates. By keyboard, Enter presses
    each button the focus moves to, and the scale mode is chosen right after
    "OK"; by mouse, every button is clicked and the scale mode comes last."""
    area = case.area
    start_x, start_y, end_x, end_y = case.typed
    by_keyboard = walk.by_keyboard
    if by_keyboard:
        road.choose_first_file_by_keyboard()
    elif not file_chosen:
        road.select_first_file()
    road.press_ok(by_keyboard)
    if by_keyboard:
        # Only choosing another mode moves the focus on, so mode 1 cannot lead here.
        assert case.mode != 1, "the keyboard road needs a mode other than the preset one"
        road.choose_scale_mode_by_keyboard(case.mode)
    road.arm_pick(START_BUTTON, by_keyboard, "closing the start-point prompt")
    road.pick(area.start_x, area.start_y, "closing the start-point message")
    if walk.stale_start:
        road.type_pair(*walk.stale_start)
        road.press_in_main("shift+Tab")  # from "終点" back to "始点"
        road.arm_pick(START_BUTTON, True, "closing the start-point prompt again")
        road.pick(area.start_x, area.start_y, "closing the start-point message again")
    road.type_pair(start_x, start_y)
    road.arm_pick(END_POINT_BUTTON, by_keyboard, "closing the end-point prompt")
    road.pick(area.end_x, area.end_y, "closing the end-point message")
    if type_end_y:
        road.type_pair(end_x, end_y)
    else:
        road.type_in_main(end_x)
        road.press_in_main("Return")
    if not by_keyboard:
        road.choose_scale_mode(case.mode)


def end_with_result_window(road: Road, result_window: str) -> list[str]:
    if result_window not in road.desktop.visible_windows(RESULT_TITLE):
        return ['the result window was not open when "END" was to be pressed']
    status = road.end()
    return [] if status == 0 else [f'"END" ended the program with exit status {status}']


def digitize_and_save(context: Context, run: str, case: GraphCase, image_format: str,
                      walk: Walk, log: Path) -> list[str]:
    folder, raster, expected = prepare_folder(context, run, case, image_format, walk.cut_jpeg_first)
    file_name = f"{image_format} {case.name}"
    problems = []
    with Program(context.program, folder, context.desktop, log) as program:
        road = Road(context.desktop, program)
        if walk.cut_jpeg_first:
            road.select_first_file()
            problems += refuse_cut_jpeg(road, raster)
        calibrate(road, case, walk, file_chosen=walk.cut_jpeg_first)
        result_window = road.digitize(walk.by_keyboard)
        road.save(result_window, file_name)
        data = wait_for_file(folder / f"{file_name}.csv", "reading the saved file")
        problems += csv_problems(data, expected)
        if csv_files(folder) != [f"{file_name}.csv"]:
            problems.append(f"the start folder holds the CSV files {csv_files(folder)}")
        return problems + end_with_result_window(road, result_window)


def digitize_by_colour(context: Context, run: str, case: GraphCase, image_format: str,
                       log: Path) -> list[str]:
    """Ctrl + click on the curve before Digitize: the saved points are the
    centres of the curve's colour, with its gap bridged, not the darker decoys."""
    folder, _, expected = prepare_folder(context, run, case, image_format, colour=CURVE_BLUE)
    file_name = f"colour {case.name}"
    area = case.area
    on_curve = (area.column_at(0.4), area.row_at(case.curve(0.4)))
    with Program(context.program, folder, context.desktop, log) as program:
        road = Road(context.desktop, program)
        calibrate(road, case, Walk())
        road.choose_curve_colour(*on_curve)
        result_window = road.digitize(by_keyboard=False)
        road.save(result_window, file_name)
        problems = csv_problems(wait_for_file(folder / f"{file_name}.csv", "reading the saved file"), expected)
        return problems + end_with_result_window(road, result_window)


def date_names(*days: datetime.date) -> set[str]:
    return {day.strftime("%m-%d-%Y") + ".csv" for day in days}


def refuse_then_digitize(context: Context, run: str, case: GraphCase, image_format: str,
                         log: Path) -> list[str]:
    """Digitize with the end Y box empty is refused and changes nothing; after
    typing it, the same calibration digitizes, and the proposed name is the date."""
    folder, _, expected = prepare_folder(context, run, case, image_format)
    problems = []
    with Program(context.program, folder, context.desktop, log) as program:
        road = Road(context.desktop, program)
        calibrate(road, case, Walk(), type_end_y=False)
        road.press_digitize(by_keyboard=False)
        road.acknowledge("closing the refusal of the empty end Y box")
        # "Digitized Graph" answers with a message only while no result exists,
        # and only after every earlier event: proof that no run slipped through.
        desktop = context.desktop
        road.click_main(SHOW_RESULT_BUTTON)
        wait_until(lambda: desktop.visible_windows(RESULT_TITLE) or desktop.visible_windows(MESSAGE_TITLE),
                   'pressing "Digitized Graph" after the refusal', give_up=desktop.give_up)
        if desktop.visible_windows(RESULT_TITLE):
            return ["a result window is shown although the end Y box was empty"]
        road.acknowledge('closing the message that "Digitized Graph" has no result')
        if csv_files(folder):
            problems.append(f"a refused run left CSV files {csv_files(folder)}")
        if not program.running():
            return problems + ["the program ended after refusing to digitize"]

        road.type_into("Text4", case.typed[3])
        result_window = road.digitize(by_keyboard=False)
        before = datetime.date.today()
        road.save(result_window, None)
        names = csv_files(folder)
        accepted = date_names(before, datetime.date.today())
        if len(names) != 1 or names[0] not in accepted:
            return problems + [f"saved {names}, expected one of {sorted(accepted)}"]
        problems += csv_problems(wait_for_file(folder / names[0], "reading the saved file"), expected)
        return problems + end_with_result_window(road, result_window)
