#!/usr/bin/env python3
"""Several series from one image: curves by colour and scatter markers, each
--colour-at and --markers one series in the order given, in one file headed
"Series, X, Y"; one series alone gives the one-series file. Checked against
a graph drawn here of two straight lines and five square markers.

Usage: command_line_series_test.py PROGRAM"""

import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from graph_folder_case import run_tests  # noqa: E402
from raster import Raster, bmp_bytes  # noqa: E402

PROGRAM = None
# The frame: X 0 to 10 from column 40 to 360, Y 0 to 100 from row 260 up to 20.
FRAME = ["--start", "40,260", "--end", "360,20", "--x1", "0", "--y1", "0", "--x2", "10", "--y2", "100"]
RED, BLUE, GREEN = (220, 0, 0), (0, 0, 220), (0, 150, 0)
MARKERS = [(1, 55), (3, 60), (5, 58), (7, 40), (9, 45)]


def column(x: float) -> int:
    return round(40 + 32 * x)


def row(y: float) -> int:
    return round(260 - 2.4 * y)


def red_line(x: float) -> float:
    return 20 + 5 * x


def blue_line(x: float) -> float:
    return 95 - 2 * x


def drawn_graph() -> bytes:
    raster = Raster(400, 300)
    for c in range(40, 361):
        x = (c - 40) / 32
        for line, colour in ((red_line, RED), (blue_line, BLUE)):
            raster.fill(c, row(line(x)) - 1, c, row(line(x)) + 1, colour)
    for x, y in MARKERS:
        raster.fill(column(x) - 3, row(y) - 3, column(x) + 3, row(y) + 3, GREEN)
    return bmp_bytes(raster)


def on_line(line, x: float) -> str:
    return f"{column(x)},{row(line(x))}"


class SeriesTest(unittest.TestCase):
    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix="vastrel-series-")
        self.folder = Path(self._folder.name)
        self.image = self.folder / "graph.bmp"
        self.image.write_bytes(drawn_graph())

    def tearDown(self):
        self._folder.cleanup()

    def run_program(self, *options) -> subprocess.CompletedProcess:
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        return subprocess.run([PROGRAM, "digitize", str(self.image), *FRAME, *options], env=env,
                              capture_output=True, stdin=subprocess.DEVNULL, timeout=60)

    def assert_on_line(self, points, line):
        self.assertGreater(len(points), 300)
        for x, y in points:
            self.assertAlmostEqual(y, line(x), delta=0.8, msg=(x, y))

    def test_series_in_the_order_given_in_one_file(self):
        marker = f"{column(5)},{row(58)}"
        done = self.run_program("--colour-at", on_line(red_line, 2), "--markers", marker, f"--colour-at={on_line(blue_line, 5)}")
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        lines = done.stdout.decode().split("\r\n")
        self.assertEqual((lines[0], lines[-1]), ("Series, X, Y", ""))
        series = {}
        for line in lines[1:-1]:
            name, x, y = line.split(", ")
            series.setdefault(name, []).append((float(x), float(y)))
        self.assertEqual(list(series), ["1", "2", "3"])
        self.assert_on_line(series["1"], red_line)
        self.assert_on_line(series["3"], blue_line)
        self.assertEqual(len(series["2"]), len(MARKERS))
        for (x, y), (want_x, want_y) in zip(series["2"], MARKERS):
            self.assertAlmostEqual(x, want_x, delta=0.05)
            self.assertAlmostEqual(y, want_y, delta=0.5)

        # One series alone, markers too, gives the one-series file.
        alone = self.run_program("--markers", marker)
        self.assertEqual(alone.returncode, 0, alone.stderr)
        self.assertEqual(alone.stdout.decode().split("\r\n")[0], "X, Y")
        self.assertEqual(alone.stdout.count(b"\r\n"), 1 + len(MARKERS))

    def test_a_series_refused_gives_no_file_and_is_named(self):
        out = self.folder / "graph.csv"
        done = self.run_program("--colour-at", on_line(red_line, 2), "--markers", "300,250", "-o", str(out))
        self.assertEqual(done.returncode, 1)
        self.assertIn(f"{self.image}: --markers 300,250 shows 255, 255, 255, which the white paper matches: no marker "
                      "can be told by it", done.stderr.decode())
        self.assertFalse(out.exists())
        # A line is no marker: the series is named with the engine's refusal.
        done = self.run_program("--colour-at", on_line(red_line, 2), "--markers", on_line(blue_line, 3))
        self.assertEqual((done.returncode, done.stdout), (1, b""))
        self.assertIn(f"{self.image}: --markers {on_line(blue_line, 3)}: refused:", done.stderr.decode())


def take_program(path: str) -> None:
    global PROGRAM
    PROGRAM = path


if __name__ == "__main__":
    sys.exit(run_tests(__doc__, take_program))
