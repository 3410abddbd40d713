"""Pictures of single windows on the private display, taken once the screen
has stopped changing so that no half-painted window is kept."""

import subprocess
import time
from pathlib import Path

from x_display import Desktop, StepFailed

SETTLE_INTERVAL = 0.15
SETTLE_TIMEOUT = 10.0


def _screen_pixels(desktop: Desktop) -> bytes:
    return subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=desktop.env,
                          check=True, capture_output=True, timeout=30).stdout


def settled_screen(desktop: Desktop, step: str) -> bytes:
    """The screen's pixels once two grabs in a row are alike."""
    deadline = time.monotonic() + SETTLE_TIMEOUT
    previous = _screen_pixels(desktop)
    while True:
        time.sleep(SETTLE_INTERVAL)
        current = _screen_pixels(desktop)
        if current == previous:
            return current
        if time.monotonic() > deadline:
            raise StepFailed(f"{step}: the screen kept changing for {SETTLE_TIMEOUT:g} s")
        previous = current


def screen_area(desktop: Desktop, left: int, top: int, width: int, height: int, step: str) -> bytes:
    """Three bytes R, G, B per pixel, top row first, of a rectangle of the
    settled screen."""
    screen = settled_screen(desktop, step)
    screen_width, _ = _screen_size(desktop)
    rows = (screen[3 * ((top + y) * screen_width + left):][:3 * width] for y in range(height))
    return b"".join(rows)


def capture_window(desktop: Desktop, window: str, path: Path, step: str) -> None:
    """Saves the window's area of the settled screen as a PNG file."""
    left, top, width, height = desktop.geometry(window)
    screen = settled_screen(desktop, step)
    screen_width, screen_height = _screen_size(desktop)
    subprocess.run(["convert", "-size", f"{screen_width}x{screen_height}", "-depth", "8", "rgb:-",
                    "-crop", f"{width}x{height}{left:+d}{top:+d}", "+repage", "-strip", str(path)],
                   input=screen, check=True, capture_output=True, timeout=30)


def _screen_size(desktop: Desktop) -> tuple[int, int]:
    width, height = subprocess.run(["xdotool", "getdisplaygeometry"], env=desktop.env, check=True,
                                   capture_output=True, text=True).stdout.split()
    return int(width), int(height)
