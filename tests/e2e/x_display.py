"""A private Xvfb display and real X input on it through xdotool.

Every wait polls a condition against a deadline and fails naming the step it
was waiting in, so a hang shows up as a clear message, not a stuck test."""

import os
import select
import subprocess
import time

SCREEN_SIZE = (1600, 1000)
POLL_INTERVAL = 0.03
STEP_TIMEOUT = 15.0
ERE_METACHARACTERS = set(".^$*+?()[]{}|\\")


class StepFailed(AssertionError):
    pass


class VirtualDisplay:
    """Xvfb on the first free display number, which Xvfb itself picks and
    reports (-displayfd); stopped again when the block is left, also on failure."""

    def __init__(self, log_path):
        self._log_path = log_path
        self._process = None
        self.name = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        with open(self._log_path, "ab") as log:
            self._process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        try:
            self.name = ":" + self._read_display_number(read_end)
        except BaseException:
            self._stop()
            raise
        finally:
            os.close(read_end)
        return self

    def __exit__(self, *exc):
        self._stop()
        return False

    def _read_display_number(self, read_end) -> str:
        deadline = time.monotonic() + STEP_TIMEOUT
        reported = b""
        while not reported.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                raise StepFailed("starting Xvfb: no display number reported in time")
            chunk = os.read(read_end, 64)
            if not chunk:
                raise StepFailed(f"starting Xvfb: it exited, see {self._log_path}")
            reported += chunk
        return reported.decode().strip()

    def _stop(self):
        if self._process:
            stop_process(self._process)


def stop_process(process: subprocess.Popen) -> None:
    """Asks a process still running to end, and kills it if it has not within 5 s."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def wait_until(condition, step: str, timeout: float = STEP_TIMEOUT, give_up=lambda: None):
    """Polls condition() until it returns something true and returns that.
    give_up() names a reason to stop waiting at once, or returns None."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if reason := give_up():
            raise StepFailed(f"{step}: {reason}")
        if time.monotonic() > deadline:
            raise StepFailed(f"{step}: timed out after {timeout:g} s")
        time.sleep(POLL_INTERVAL)


class Desktop:
    """xdotool on one display: searches by exact window title among mapped
    windows, and sends XTEST pointer and key events like a user would."""

    def __init__(self, display: str):
        self.display = display
        self.env = dict(os.environ, DISPLAY=display)
        # Set while a program runs, so that waits end as soon as it is gone.
        self.give_up = lambda: None

    def _xdotool(self, *args: str, check: bool = True) -> str:
        done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True, timeout=STEP_TIMEOUT)
        if check and done.returncode != 0:
            raise StepFailed(f"xdotool {' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def visible_windows(self, title: str) -> list[str]:
        """Mapped windows whose title is exactly `title`."""
        pattern = "^" + "".join("\\" + c if c in ERE_METACHARACTERS else c for c in title) + "$"
        return self._xdotool("search", "--onlyvisible", "--name", pattern, check=False).split()

    def wait_for_window(self, title: str, step: str) -> str:
        def found():
            windows = self.visible_windows(title)
            return windows[0] if windows else None
        return wait_until(found, f"{step} (waiting for a window titled {title!r})",
                          give_up=self.give_up)

    def wait_closed(self, window: str, title: str, step: str) -> None:
        wait_until(lambda: window not in self.visible_windows(title),
                   f"{step} (waiting for the window titled {title!r} to close)",
                   give_up=self.give_up)

    def click(self, window: str, x: int, y: int, button: int = 1) -> None:
        """A click (left unless told) at client position (x, y) of the window."""
        self._xdotool("mousemove", "--window", window, str(x), str(y), "click", str(button))

    def windows_of(self, pid: int) -> set[str]:
        """Mapped windows of a process, menus and other untitled ones included."""
        return set(self._xdotool("search", "--onlyvisible", "--pid", str(pid), check=False).split())

    def ctrl_click(self, window: str, x: int, y: int) -> None:
        """Left click at client position (x, y) with Ctrl held down."""
        self._xdotool("mousemove", "--window", window, str(x), str(y), "keydown", "ctrl", "click", "1",
                      "keyup", "ctrl")

    def move(self, window: str, x: int, y: int) -> None:
        self._xdotool("mousemove", "--window", window, str(x), str(y))

    def press_button(self, window: str, x: int, y: int, button: int) -> None:
        """Moves to client position (x, y) and holds the pointer button down."""
        self._xdotool("mousemove", "--window", window, str(x), str(y), "mousedown", str(button))

    def release_button(self, window: str, x: int, y: int, button: int) -> None:
        self._xdotool("mousemove", "--window", window, str(x), str(y), "mouseup", str(button))

    def focus(self, window: str) -> None:
        self._xdotool("windowfocus", "--sync", window)

    def raise_window(self, window: str) -> None:
        self._xdotool("windowraise", window)

    def key(self, *keys: str) -> None:
        self._xdotool("key", "--clearmodifiers", *keys)

    def type_text(self, text: str) -> None:
        self._xdotool("type", "--clearmodifiers", "--delay", "15", "--", text)

    def geometry(self, window: str) -> tuple[int, int, int, int]:
        """Left, top, width and height on the screen."""
        values = {}
        for line in self._xdotool("getwindowgeometry", "--shell", window).split():
            name, _, value = line.partition("=")
            values[name] = int(value) if value.lstrip("-").isdigit() else value
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]
