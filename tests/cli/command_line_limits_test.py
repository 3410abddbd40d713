#!/usr/bin/env python3
"""The digitize command as a careless or hostile user runs it: under memory
and process limits, on FIFOs and names that are no UTF-8, with its output
unwritable, with numbers copied from papers and corners beyond the picture.
Every image that fails is named with its reason, the others give their files,
and nothing else reaches standard error.

Usage: command_line_limits_test.py PROGRAM"""

import os
import shutil
import stat
import subprocess
import sys
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from csv_check import csv_problems  # noqa: E402
from graph_folder_case import LINEAR, GraphFolderCase, run_tests  # noqa: E402
from raster import Raster, png_bytes, png_chunk  # noqa: E402

PROGRAM = None
RUN_TIMEOUT = 60
MEMORY_LIMIT = 300 << 20  # ulimit -v 307200
TIGHT_LIMIT = 220 << 20  # the program's own needs and some 100 MB more
NO_MEMORY = "not enough memory to digitize this image"


def calibration(x1=None, x2=None) -> list[str]:
    area = LINEAR.area
    typed = list(LINEAR.typed)
    typed[0], typed[2] = x1 or typed[0], x2 or typed[2]
    return [f"--start={area.start_x},{area.start_y}", f"--end={area.end_x},{area.end_y}",
            f"--x1={typed[0]}", f"--y1={typed[1]}", f"--x2={typed[2]}", f"--y2={typed[3]}"]


def run(*arguments, limits=(), user=None, program=None, **options) -> subprocess.CompletedProcess:
    """The program with `limits` as prlimit options, as `user` (setpriv) when given."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    command = [program or PROGRAM, *map(os.fsencode, arguments)]
    if limits:
        command = ["prlimit", *limits, *command]
    if user is not None:
        command = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", *command]
    if "stdout" not in options:
        options["capture_output"] = True
    return subprocess.run(command, env=env, stdin=subprocess.DEVNULL, timeout=RUN_TIMEOUT, **options)


def sanitized() -> bool:
    return "libasan" in subprocess.run(["ldd", PROGRAM], capture_output=True, text=True).stdout


def huge_png(side: int) -> bytes:
    """A white RGB PNG of side x side pixels, small on disk, side² × 4 bytes decoded."""
    packer = zlib.compressobj(1)
    row = b"\0" + b"\xff" * (3 * side)
    data = b"".join(packer.compress(row) for _ in range(side)) + packer.flush()
    header = side.to_bytes(4, "big") * 2 + bytes((8, 2, 0, 0, 0))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data) +
            png_chunk(b"IEND", b""))


class CommandLineLimitsTest(GraphFolderCase):
    folder_prefix = "vastrel-limits-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.png = png_bytes(cls.raster)

    def images(self, count: int, stem: str = "graph") -> list[Path]:
        paths = [self.folder / f"{stem}{i:03}.png" for i in range(count)]
        for path in paths:
            path.write_bytes(self.png)
        return paths

    def assert_csvs(self, folder: Path, names: list[str]):
        self.assertEqual(sorted(os.listdir(folder)), sorted(names))
        for name in names:
            self.assertEqual(csv_problems((folder / name).read_bytes(), self.expected), [], name)

    def assert_only_own_lines(self, errors: str):
        for line in errors.splitlines():
            self.assertTrue(line.startswith("vastrel-digitizer: "), f"a line not of the program's: {line!r}")

    def test_memory_runs_short_for_one_image_and_for_many_jobs(self):
        if sanitized():
            self.skipTest("the sanitizers reserve more address space than the limit leaves")
        limit, tight = [f"--as={MEMORY_LIMIT}"], [f"--as={TIGHT_LIMIT}"]
        good = self.images(10)
        # A valid text chunk larger than libpng holds: left out, the graph is read.
        text = b"Comment\0" + b"a" * (50 << 20)
        (self.folder / "text.png").write_bytes(self.png[:33] + png_chunk(b"tEXt", text) + self.png[33:])
        # Whole, but more pixels than the limit leaves room for.
        huge = self.folder / "huge.png"
        huge.write_bytes(huge_png(7000))
        done = run("digitize", *good[:5], self.folder / "text.png", huge, *good[5:], *calibration(), "-o",
                   self.folder / "one", "--jobs", "1", limits=tight)
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 1, errors)
        self.assertEqual(errors, f"vastrel-digitizer: {huge}: {NO_MEMORY}\n"
                                 "vastrel-digitizer: 1 of 12 images gave no CSV file\n")
        self.assert_csvs(self.folder / "one", [f"graph{i:03}.csv" for i in range(10)] + ["text.csv"])

        many = self.images(40, "many")
        done = run("digitize", *many, *calibration(), "-o", self.folder / "many", "--jobs", "64", limits=limit)
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 0, errors)
        self.assertRegex(errors, r"^vastrel-digitizer: the address-space limit leaves room for \d+ of the 64 jobs")
        self.assert_csvs(self.folder / "many", [f"many{i:03}.csv" for i in range(40)])

        # Alone and still too large: short of memory, never "damaged".
        done = run("digitize", huge, *calibration(), limits=tight)
        self.assertEqual((done.returncode, done.stdout), (1, b""))
        self.assertIn(f"vastrel-digitizer: {huge}: {NO_MEMORY}\n", done.stderr.decode())

    def test_threads_the_system_refuses(self):
        if os.geteuid() != 0 or not shutil.which("setpriv"):
            self.skipTest("needs root to run the program as a user of its own under a process limit")
        os.chmod(self.folder, 0o777)
        images = self.images(6)
        out = self.folder / "out"
        # A copy the other user can reach, wherever the build folder lies.
        program = shutil.copy(PROGRAM, self.folder / "vastrel-digitizer")
        # One process for the user and no thread more: all on the main thread.
        done = run("digitize", *images, *calibration(), "-o", out, "--jobs", "4", limits=["--nproc=1"],
                   user=65534, program=program)
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 0, errors)
        self.assertEqual(errors, "vastrel-digitizer: the system gave 1 of the 4 jobs asked for; going on with 1\n")
        self.assert_csvs(out, [f"graph{i:03}.csv" for i in range(6)])

    def test_fifos_are_refused_never_waited_for(self):
        images = self.images(3)
        fifo = self.folder / "f.png"
        os.mkfifo(fifo)
        out = self.folder / "out"
        out.mkdir()
        os.mkfifo(out / "graph001.csv")  # where an output would go
        done = run("digitize", images[0], fifo, *images[1:], *calibration(), "-o", out)
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 1, errors)
        self.assertIn(f"vastrel-digitizer: {fifo}: cannot read the image: ファイルではありません\n", errors)
        self.assertIn(f"vastrel-digitizer: {images[1]}: cannot write {out}/graph001.csv: it is not a regular file",
                      errors)
        self.assertTrue(errors.endswith("vastrel-digitizer: 2 of 4 images gave no CSV file\n"), errors)
        self.assertTrue(stat.S_ISFIFO(os.stat(out / "graph001.csv").st_mode))
        self.assertEqual(csv_problems((out / "graph000.csv").read_bytes(), self.expected), [])

    def test_names_keep_their_bytes_and_print_on_one_line(self):
        folder = os.fsencode(self.folder)
        latin1 = folder + b"/r\xe9sultat.png"  # no UTF-8
        with open(latin1, "wb") as file:
            file.write(self.png)
        faker = folder + b"/x\nvastrel-digitizer: 0 of 2 images gave no CSV file\n.png"
        with open(faker, "wb") as file:
            file.write(b"no image")
        out = folder + b"/out"
        done = run("digitize", latin1, faker, *calibration(), "-o", out)
        self.assertEqual(done.returncode, 1)
        with open(out + b"/r\xe9sultat.csv", "rb") as file:
            self.assertEqual(csv_problems(file.read(), self.expected), [])
        lines = done.stderr.decode().splitlines()
        self.assertEqual(len(lines), 2, lines)
        self.assertTrue(lines[0].startswith(f"vastrel-digitizer: {self.folder}/x\\nvastrel-digitizer: 0 of 2 "
                                            "images gave no CSV file\\n.png: cannot read the image: "), lines)
        done = run("digitize", folder + b"/missing\xfe.png", *calibration())
        self.assertIn(f"{self.folder}/missing\\xFE.png: cannot read the image: ファイルがありません",
                      done.stderr.decode())

    def test_help_and_version_report_an_output_they_cannot_write(self):
        for arguments in (["--help"], ["--version"], ["digitize", "--help"]):
            with open("/dev/full", "wb") as full:
                done = run(*arguments, stdout=full, stderr=subprocess.PIPE)
            self.assertEqual(done.returncode, 1, arguments)
            self.assertEqual(done.stderr.decode(),
                             "vastrel-digitizer: cannot write to standard output: No space left on device\n")
        image = self.images(1)[0]
        for arguments in (["--version"], ["digitize", image, *calibration()]):
            done = subprocess.run([PROGRAM, *map(str, arguments)], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  stdin=subprocess.DEVNULL, timeout=RUN_TIMEOUT, preexec_fn=lambda: os.close(1))
            self.assertEqual(done.returncode, 1, arguments)
            self.assertIn("cannot write to standard output: Bad file descriptor", done.stderr.decode())

    def test_the_libraries_say_nothing_of_their_own(self):
        raster = Raster(100, 100)
        width, height = raster.width, raster.height
        # A whole TIFF with a tag libtiff does not know, which it warns of.
        entries = [(256, 3, width), (257, 3, height), (258, 3, 8), (259, 3, 1), (262, 3, 1), (273, 4, 0),
                   (277, 3, 1), (278, 3, height), (279, 4, width * height), (65000, 3, 7)]
        data_at = 8 + 2 + 12 * len(entries) + 4
        tiff = b"II*\0" + (8).to_bytes(4, "little") + len(entries).to_bytes(2, "little")
        for tag, kind, value in entries:
            value = data_at if tag == 273 else value
            tiff += tag.to_bytes(2, "little") + kind.to_bytes(2, "little") + (1).to_bytes(4, "little")
            tiff += value.to_bytes(2, "little") + b"\0\0" if kind == 3 else value.to_bytes(4, "little")
        (self.folder / "tagged.tif").write_bytes(tiff + bytes(4) + b"\xff" * (width * height))
        # Chunks all whole, rows one short: libpng's "Not enough image data".
        whole = png_bytes(raster)
        rows = b"".join(b"\0" + b"\xff" * 3 * width for _ in range(height - 1))
        short = whole[:33] + png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b"")
        (self.folder / "short.png").write_bytes(short)
        done = run("digitize", self.folder / "tagged.tif", self.folder / "short.png", "--start", "10,90",
                   "--end", "90,10", "--x1", "0", "--y1", "0", "--x2", "1", "--y2", "1", "-o", self.folder / "out")
        errors = done.stderr.decode()
        self.assertEqual(done.returncode, 1, errors)
        self.assertEqual(errors, f"vastrel-digitizer: {self.folder}/short.png: cannot read the image: PNG の画像データが"
                                 "壊れています (ファイルが破損しています)\n"
                                 "vastrel-digitizer: 1 of 2 images gave no CSV file\n")

    def test_numbers_copied_from_papers_read_as_they_show(self):
        image = self.images(1)[0]
        plain = run("digitize", image, *calibration(x1="-2.5", x2="100000"))
        for x1, x2 in (("−2.5", "10⁵"), ("-2.5", "1×10⁵"), ("–2.5", "10^5")):
            done = run("digitize", image, *calibration(x1=x1, x2=x2))
            self.assertEqual((done.stdout, done.stderr), (plain.stdout, b""), (x1, x2))
        done = run("digitize", image, *calibration(x1="-2.5 V", x2="7,5"))
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stderr.decode(), 'vastrel-digitizer: warning: --x2 "7,5" reads as 7: ",5" is not '
                                               "part of the number\n")

    def test_corners_beyond_the_picture_or_leaving_nothing_to_read(self):
        small = self.folder / "small.png"
        small.write_bytes(png_bytes(Raster(400, 300)))
        typed = ["--x1", "0", "--y1", "0", "--x2", "10", "--y2", "100"]
        done = run("digitize", small, "--start", "80,520", "--end", "760,40", *typed)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stdout.count(b"\r\n"), 1 + 760 - 80 - 3)  # the windows' bytes, all points
        self.assertEqual(done.stderr.decode(), f"vastrel-digitizer: {small}: warning: columns 400 to 758, rows 300 "
                                               "to 505 lie beyond the picture (400 × 300 pixels): the scan read the "
                                               "grey margin there\n")
        for start, end, why in (("760,520", "80,40", "no column"), ("80,40", "760,520", "no row")):
            done = run("digitize", small, "--start", start, "--end", end, *typed)
            self.assertEqual((done.returncode, done.stdout), (1, b""))
            self.assertTrue(done.stderr.decode().startswith(f"vastrel-digitizer: {small}: no point: {why} lies "
                                                            "between the corners"), done.stderr)


def take_program(path: str) -> None:
    global PROGRAM
    PROGRAM = path


if __name__ == "__main__":
    sys.exit(run_tests(__doc__, take_program))
