#!/usr/bin/env python3
"""The digitize command as a user runs it, with no display at all: on good
and damaged images, with wrong arguments, over existing files, on a
terminal and in a pipe. The CSV files are checked against values worked out
here from the drawn graphs.

Usage: command_line_test.py PROGRAM"""

import math
import os
import pty
import re
import select
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from csv_check import csv_problems  # noqa: E402
from graph_folder_case import LINEAR, GraphFolderCase, run_tests  # noqa: E402
from raster import bmp_bytes  # noqa: E402

PROGRAM = None
MODE_NAMES = {1: "linear-linear", 2: "linear-log", 3: "log-log"}
SAMPLES = Path(__file__).resolve().parent.parent.parent / "samples"
RUN_TIMEOUT = 60
# Everything a display could be found through.
DISPLAY_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")


def without_display() -> dict:
    return {name: value for name, value in os.environ.items() if name not in DISPLAY_VARIABLES}


def calibration(case) -> list[str]:
    """The options for a graph case; the texts in both forms an option takes,
    a minus sign after a blank included."""
    area = case.area
    x1, y1, x2, y2 = case.typed
    return [f"--start={area.start_x},{area.start_y}", "--end", f"{area.end_x},{area.end_y}",
            "--x1", x1, f"--y1={y1}", "--x2", x2, "--y2", y2, "--mode", MODE_NAMES[case.mode]]


def run(*arguments, cwd=None) -> subprocess.CompletedProcess:
    return subprocess.run([PROGRAM, *arguments], cwd=cwd, env=without_display(), capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=RUN_TIMEOUT)


class CommandLineTest(GraphFolderCase):
    folder_prefix = "vastrel-cli-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.file = bmp_bytes(cls.raster)

    def image(self, name: str) -> Path:
        path = self.folder / name
        path.write_bytes(self.file)
        return path

    def assert_right_csv(self, data: bytes):
        self.assertEqual(csv_problems(data, self.expected), [])

    def test_a_damaged_image_among_good_ones(self):
        good = [self.image(f"good{i}.bmp") for i in range(4)]
        damaged = self.folder / "damaged.bmp"
        whole = good[0].read_bytes()
        damaged.write_bytes(whole[: len(whole) // 2])  # cut off half-way through its pixels
        missing = self.folder / "missing.bmp"
        images = [good[0], damaged, good[1], missing, good[2], good[3]]
        out = self.folder / "out"
        done = run("digitize", *map(str, images), *calibration(LINEAR), "-o", str(out), "--jobs", "2")
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 1, errors)
        self.assertIn(f"vastrel-digitizer: {damaged}: cannot read the image: BMP の画像データが途中で切れています", errors)
        self.assertIn(f"vastrel-digitizer: {missing}: cannot read the image: ", errors)
        self.assertTrue(errors.endswith("vastrel-digitizer: 2 of 6 images gave no CSV file\n"), errors)
        self.assertEqual(sorted(os.listdir(out)), [f"good{i}.csv" for i in range(4)])
        for i in range(4):
            self.assert_right_csv((out / f"good{i}.csv").read_bytes())

    def test_an_image_too_big_for_the_memory_is_reported_and_the_others_go_on(self):
        if "libasan" in subprocess.run(["ldd", PROGRAM], capture_output=True, text=True).stdout:
            self.skipTest("the sanitizers reserve more address space than the limit leaves")
        first, last = self.image("first.bmp"), self.image("last.bmp")
        big = self.folder / "big.bmp"  # a whole picture, then 300 MB of zeros after its end
        with open(big, "wb") as file:
            file.write(self.file)
            file.truncate(len(self.file) + (300 << 20))
        out = self.folder / "out"
        limited = ["prlimit", f"--as={250 << 20}", PROGRAM]
        done = subprocess.run([*limited, "digitize", str(first), str(big), str(last), *calibration(LINEAR), "-o",
                               str(out), "--jobs", "2"], env=dict(without_display(), MALLOC_ARENA_MAX="1"),
                              capture_output=True, stdin=subprocess.DEVNULL, timeout=RUN_TIMEOUT)
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 1, errors)
        self.assertIn(f"vastrel-digitizer: {big}: not enough memory to digitize this image", errors)
        self.assertEqual(sorted(os.listdir(out)), ["first.csv", "last.csv"])
        for name in ("first.csv", "last.csv"):
            self.assert_right_csv((out / name).read_bytes())

    def test_a_folder_that_cannot_be_made_says_why(self):
        image, blocker = self.image("graph.bmp"), self.folder / "results"
        blocker.write_text("a file where the folder would go\n")
        done = run("digitize", str(image), *calibration(LINEAR), "-o", f"{blocker}/june/")
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stderr.decode(), f"vastrel-digitizer: cannot make the folder {blocker}/june/: "
                                               f"{blocker} is a file, not a folder\n")

    def test_a_colour_of_the_paper_is_refused_for_the_image(self):
        image = self.image("graph.bmp")
        done = run("digitize", str(image), *calibration(LINEAR), "--colour-at", "0,0")
        self.assertEqual((done.returncode, done.stdout), (1, b""))
        self.assertIn(f"vastrel-digitizer: {image}: --colour-at 0,0 shows 255, 255, 255, which the white paper "
                      "matches", done.stderr.decode())

    def test_wrong_arguments_do_nothing(self):
        image = str(self.image("graph.bmp"))
        self.image("graph.gif")
        out = str(self.folder / "out")
        full = calibration(LINEAR)
        cases = [
            (["digitize", image, *full[:-4], "-o", out], "missing --y2"),
            (["digitize", image, image.replace("bmp", "gif"), *full, "-o", out],
             f"{image} and {image.replace('bmp', 'gif')} would both be written to {out}/graph.csv"),
            (["digitize", image, image, *full], "2 images need -o FOLDER, one CSV file each"),
            (["digitise", image, *full, "-o", out], 'unknown command "digitise"'),
            (["--digitize", image, *full, "-o", out], "unknown option --digitize"),
            (["-v"], "unknown option -v"),  # not Qt's: no windows, which could not open here
        ]
        for arguments, mistake in cases:
            with self.subTest(mistake):
                done = run(*arguments)
                self.assertEqual((done.returncode, done.stdout), (2, b""))
                first_line, _, rest = done.stderr.decode().partition("\n")
                self.assertEqual(first_line, f"vastrel-digitizer: {mistake}")
                self.assertIn("Usage: vastrel-digitizer", rest)
                self.assertFalse(os.path.exists(out))

    def test_an_existing_file_is_replaced_only_when_complete(self):
        image = self.image("graph.bmp")
        target = self.folder / "graph.csv"
        old = b"X, Y\r\n1.000E+00, 2.000E+00\r\n"
        target.write_bytes(old)
        # A second name for the old file: writing into it in place would show here.
        os.link(target, self.folder / "old-link.csv")
        done = run("digitize", str(image), *calibration(LINEAR), "-o", str(target))
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        self.assert_right_csv(target.read_bytes())
        self.assertEqual((self.folder / "old-link.csv").read_bytes(), old)
        self.assertEqual(sorted(os.listdir(self.folder)), ["graph.bmp", "graph.csv", "old-link.csv"])

        # An image that fails leaves the file of its name as it was.
        image.write_bytes(b"BM not an image")
        done = run("digitize", str(image), str(self.image("other.bmp")), *calibration(LINEAR), "-o", str(self.folder))
        self.assertEqual(done.returncode, 1)
        self.assert_right_csv(target.read_bytes())
        self.assert_right_csv((self.folder / "other.csv").read_bytes())

        # A file that cannot be written: reported, and nothing left behind.
        blocked = self.folder / "blocked"
        (blocked / "graph.csv").mkdir(parents=True)
        done = run("digitize", str(self.image("graph.bmp")), *calibration(LINEAR), "-o", str(blocked))
        self.assertEqual(done.returncode, 1)
        self.assertIn(f"graph.bmp: cannot write {blocked}/graph.csv: ", done.stderr.decode())
        self.assertEqual(os.listdir(blocked), ["graph.csv"])
        self.assertEqual(os.listdir(blocked / "graph.csv"), [])

    def test_progress_only_on_a_terminal(self):
        images = [str(self.image(f"g{i}.bmp")) for i in range(3)]
        arguments = ["digitize", *images, *calibration(LINEAR), "-o", str(self.folder / "out")]
        self.assertEqual(run(*arguments).stderr, b"")

        controller, terminal = pty.openpty()
        program = subprocess.Popen([PROGRAM, *arguments], env=without_display(), stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=terminal)
        os.close(terminal)
        shown = b""
        deadline = time.monotonic() + RUN_TIMEOUT
        while time.monotonic() < deadline and select.select([controller], [], [], 1.0)[0] is not None:
            try:
                chunk = os.read(controller, 4096)
            except OSError:  # the program has closed the terminal
                break
            if not chunk:
                break
            shown += chunk
        os.close(controller)
        self.assertEqual(program.wait(timeout=RUN_TIMEOUT), 0)
        # The terminal ends lines with CR LF; the line is redrawn after a CR.
        final = shown.decode().replace("\r\n", "\n").split("\r")[-1]
        self.assertRegex(final, r"^\x1b\[K3/3 images  \d+\.\d images/s  done in \d+:\d\d\n$")

    def test_help_version_and_the_readme_example(self):
        done = run("--help")
        self.assertEqual(done.returncode, 0)
        text = done.stdout.decode()
        for option in ("--start SX,SY", "--end EX,EY", "--x1 TEXT", "--y1 TEXT", "--x2 TEXT", "--y2 TEXT",
                       "--mode MODE", "--erase X0,Y0,X1,Y1", "-o, --output OUT", "-j, --jobs N", "--help",
                       "--version", "linear-linear", "linear-log", "log-log", "Exit status", "Examples:"):
            self.assertIn(option, text)
        self.assertEqual(run("digitize", "--help").stdout, done.stdout)
        self.assertRegex(run("--version").stdout.decode(), r"^vastrel-digitizer \d+\.\d+\.\d+\n$")

        # The first example of the help and the README, run as written in a
        # folder beside the samples: the curve of that sample is y = 50 + 40 sin(x).
        example = re.search(r"\n    (vastrel-digitizer digitize samples/.*?)\n\n", text, re.S).group(1)
        (self.folder / "samples").symlink_to(SAMPLES)
        done = run(*example.replace("\\\n", " ").split()[1:], cwd=self.folder)
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        lines = (self.folder / "linear-linear.csv").read_text().splitlines()
        self.assertEqual(lines[0], "X, Y")
        self.assertEqual(len(lines), 1 + 760 - 80 - 3)
        for line in lines[1:]:
            x, y = map(float, line.split(", "))
            self.assertAlmostEqual(y, 50 + 40 * math.sin(x), delta=1.5, msg=line)


def take_program(path: str) -> None:
    global PROGRAM
    PROGRAM = path


if __name__ == "__main__":
    sys.exit(run_tests(__doc__, take_program))
