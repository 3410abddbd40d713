"""The built program on the private display, and the user's road through its
windows with real pointer and key events, one method per step."""

import os
import subprocess
from pathlib import Path

from x_display import Desktop, StepFailed, wait_until

MAIN_TITLE = "  Vastrel Digitizer"
MESSAGE_TITLE = "Vastrel Digitizer"
RESULT_TITLE = "Digitalized Graph"
SAVE_TITLE = " Data Save"

# Client rectangles (left, top, width, height) of the controls on the road.
FILE_BOX = (24, 160, 217, 86)
OK_BUTTON = (32, 256, 89, 33)
START_BUTTON = (16, 488, 33, 49)
END_POINT_BUTTON = (16, 552, 33, 49)
TEXT_BOXES = {"Text1": (104, 488, 73, 25), "Text2": (104, 512, 73, 25),
              "Text3": (104, 552, 73, 25), "Text4": (104, 576, 73, 25)}
SCALE_OPTIONS = {1: (64, 352, 137, 17), 2: (64, 376, 137, 17), 3: (64, 400, 121, 17),
                 4: (64, 424, 137, 17)}
DIGITIZE_BUTTON = (48, 632, 193, 49)
SHOW_RESULT_BUTTON = (48, 696, 193, 33)
QUIT_BUTTON = (48, 744, 73, 33)
SAVE_DATA_BUTTON = (1072, 728, 161, 33)
FILE_NAME_BOX = (24, 312, 217, 25)
FILE_SAVE_BUTTON = (24, 528, 217, 41)
# Image pixel (x, y) of the main window's image area is client (274 + x, 26 + y);
# the result window's plot is drawn in the same pixels from client (10, 10).
IMAGE_ORIGIN = (274, 26)
PLOT_ORIGIN = (10, 10)
# The first row of the file box, whatever the font makes its height.
FIRST_FILE_ROW = (FILE_BOX[0] + 60, FILE_BOX[1] + 9)
# The keys that choose a scale mode in the option group while the first mode
# is selected: the arrows go round the group.
# Each arrow key selects the next mode and sends the focus on to "始点", so
# "Log - Log" takes two trips into the group: up round to "Log - Linear", then up again.
SCALE_MODE_KEYS = {2: ("Down",), 4: ("Up",), 3: ("Up", "Up")}
# Tab stops from "始点" to the scale modes: "終点", "Digitize", "END", the image
# area, and the selected mode's button.
TABS_FROM_START_BUTTON_TO_SCALE_MODE = 5

END_TIMEOUT = 5.0


def centre(rectangle) -> tuple[int, int]:
    left, top, width, height = rectangle
    return left + width // 2, top + height // 2


class Program:
    """The program started in `folder`, its start folder; killed on leaving the
    block if it is still running then."""

    def __init__(self, executable: Path, folder: Path, desktop: Desktop, log_path: Path):
        self._executable = executable
        self._folder = folder
        self._desktop = desktop
        self._log_path = log_path
        self.process = None
        self.main_window = None

    def __enter__(self):
        runtime_dir = self._log_path.parent / "xdg-runtime"
        runtime_dir.mkdir(mode=0o700, exist_ok=True)
        env = dict(self._desktop.env, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8",
                   XDG_RUNTIME_DIR=str(runtime_dir))
        with open(self._log_path, "ab") as log:
            self.process = subprocess.Popen([str(self._executable)], cwd=self._folder, env=env,
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self._desktop.give_up = self._ended
        try:
            self.main_window = self._desktop.wait_for_window(MAIN_TITLE, "start-up")
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self._desktop.give_up = lambda: None
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        return False

    def _ended(self):
        status = self.process.poll()
        return None if status is None else f"the program ended with exit status {status}"

    def running(self) -> bool:
        return self.process.poll() is None

    def wait_for_exit(self, step: str, timeout: float = END_TIMEOUT) -> int:
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"{step}: the program still runs {timeout:g} s later") from None


class Road:
    """The steps of a user, each waiting for the window it leads to."""

    def __init__(self, desktop: Desktop, program: Program):
        self.desktop = desktop
        self.program = program
        self.main = program.main_window

    def acknowledge(self, step: str) -> None:
        """Waits for the message box of this step and closes it with Enter."""
        box = self.desktop.wait_for_window(MESSAGE_TITLE, step)
        self.desktop.focus(box)
        self.desktop.key("Return")
        self.desktop.wait_closed(box, MESSAGE_TITLE, step)

    def click_main(self, rectangle) -> None:
        self.desktop.click(self.main, *centre(rectangle))

    def press_in_main(self, *keys: str) -> None:
        """Keys for whatever control of the main window has the focus."""
        self.desktop.focus(self.main)
        self.desktop.key(*keys)

    def type_in_main(self, text: str) -> None:
        self.desktop.focus(self.main)
        self.desktop.type_text(text)

    def select_first_file(self) -> None:
        self.desktop.click(self.main, *FIRST_FILE_ROW)

    def choose_first_file_by_keyboard(self) -> None:
        """From the drive box, where the focus starts, Tab to the file box and
        Down onto its first file."""
        self.press_in_main("Tab", "Tab", "Down")

    def press_ok(self, by_keyboard: bool) -> None:
        if by_keyboard:
            self.press_in_main("Return")
        else:
            self.click_main(OK_BUTTON)

    def arm_pick(self, button, by_keyboard: bool, step: str) -> None:
        if by_keyboard:
            self.press_in_main("Return")
        else:
            self.click_main(button)
        self.acknowledge(step)

    def pick(self, x: int, y: int, step: str) -> None:
        """As a hand does it: the pointer comes onto the image up and left of
        the point, the loupe shows below and right of it, then the pointer
        jumps onto the point, over where the loupe stands, and presses at once.
        A loupe that caught the pointer would swallow that press."""
        (x0, y0), pid = IMAGE_ORIGIN, self.program.process.pid
        shown = self.desktop.windows_of(pid)
        self.desktop.move(self.main, x0 + max(x - 60, 0), y0 + max(y - 60, 0))
        wait_until(lambda: len(self.desktop.windows_of(pid)) > len(shown), f"{step} (waiting for the loupe)",
                   give_up=self.desktop.give_up)
        self.desktop.click(self.main, x0 + x, y0 + y)
        self.acknowledge(step)

    def choose_curve_colour(self, x: int, y: int) -> None:
        """Ctrl + click on image pixel (x, y): its colour becomes the curve's."""
        self.desktop.ctrl_click(self.main, IMAGE_ORIGIN[0] + x, IMAGE_ORIGIN[1] + y)

    def paste(self) -> None:
        """Ctrl+V with the focus wherever it is in the main window."""
        self.press_in_main("ctrl+v")

    def begin_erasing(self, start, over) -> None:
        """Right button down on image pixel `start`, then on to pixel `over`
        in steps, the button still held: the rubber band is shown."""
        desktop, (x0, y0) = self.desktop, IMAGE_ORIGIN
        desktop.press_button(self.main, x0 + start[0], y0 + start[1], 3)
        for step in (1, 2, 3):
            desktop.move(self.main, x0 + start[0] + (over[0] - start[0]) * step // 3,
                         y0 + start[1] + (over[1] - start[1]) * step // 3)

    def finish_erasing(self, end) -> None:
        self.desktop.release_button(self.main, IMAGE_ORIGIN[0] + end[0], IMAGE_ORIGIN[1] + end[1], 3)

    def open_image_menu(self, at) -> None:
        """A right click without movement on image pixel `at`."""
        x, y = IMAGE_ORIGIN[0] + at[0], IMAGE_ORIGIN[1] + at[1]
        self.desktop.press_button(self.main, x, y, 3)
        self.desktop.release_button(self.main, x, y, 3)

    def erase(self, start, end) -> None:
        """A right-button drag from image pixel `start` to `end`."""
        self.begin_erasing(start, end)
        self.finish_erasing(end)

    def type_pair(self, first: str, second: str) -> None:
        """Types into the focused box, Enter, the next box, Enter."""
        self.type_in_main(first)
        self.press_in_main("Return")
        self.type_in_main(second)
        self.press_in_main("Return")

    def type_into(self, box: str, text: str) -> None:
        self.click_main(TEXT_BOXES[box])
        self.type_in_main(text)

    def choose_scale_mode(self, mode: int) -> None:
        self.click_main(SCALE_OPTIONS[mode])

    def choose_scale_mode_by_keyboard(self, mode: int) -> None:
        """From "始点", with the first mode selected: Tab into the option group
        and an arrow key onto the mode, which brings the focus back."""
        for key in SCALE_MODE_KEYS[mode]:
            self.press_in_main(*["Tab"] * TABS_FROM_START_BUTTON_TO_SCALE_MODE, key)

    def press_digitize(self, by_keyboard: bool) -> None:
        if by_keyboard:
            self.press_in_main("Return")
        else:
            self.click_main(DIGITIZE_BUTTON)

    def digitize(self, by_keyboard: bool) -> str:
        """Runs Digitize through its completion message; returns the result window."""
        self.press_digitize(by_keyboard)
        self.acknowledge("closing the completion message")
        return self.desktop.wait_for_window(RESULT_TITLE, "showing the result window")

    def save(self, result_window: str, file_name) -> str:
        """Saves from the result window under `file_name`, or under the name the
        dialog proposes when it is None; returns the save dialog's id."""
        self.desktop.click(result_window, *centre(SAVE_DATA_BUTTON))
        dialog = self.desktop.wait_for_window(SAVE_TITLE, "opening the save dialog")
        if file_name is not None:
            self.desktop.click(dialog, *centre(FILE_NAME_BOX))
            self.desktop.focus(dialog)
            self.desktop.key("ctrl+a")
            self.desktop.type_text(file_name)
        self.desktop.click(dialog, *centre(FILE_SAVE_BUTTON))
        self.acknowledge("closing the save confirmation")
        self.desktop.wait_closed(dialog, SAVE_TITLE, "hiding the save dialog after saving")
        return dialog

    def end(self) -> int:
        """Presses "END" and returns the exit status."""
        self.desktop.raise_window(self.main)
        self.click_main(QUIT_BUTTON)
        return self.program.wait_for_exit('pressing "END"')


def wait_for_file(path: Path, step: str) -> bytes:
    return wait_until(lambda: path.is_file() and path.read_bytes(), f"{step} (waiting for {path.name})")


def csv_files(folder: Path) -> list[str]:
    return sorted(name for name in os.listdir(folder) if name.lower().endswith(".csv"))
