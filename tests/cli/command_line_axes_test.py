#!/usr/bin/env python3
"""Axes that calibrate themselves, from the command line: "axes" on a small
set of graphs drawn by gnuplot, ploticus, Grace and R (one of them scanned
with a tilt) whose calibration is known from the renderer, and one by
gnuplot with no Y labels, which must be refused by name; then
"digitize --auto-axes --colour-at" against the curve plotted.

Usage: command_line_axes_test.py PROGRAM"""

import json
import math
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

PROGRAM = None
GRAPHS = Path(__file__).resolve().parent / "axis_graphs"
CALIBRATED = ["gnuplot-cairo-logy", "ploticus-logy", "grace-logy", "r-loglog-scan"]
MODES = {1: "linear-linear", 2: "linear-log", 3: "log-log", 4: "log-linear"}


def solve(a, b):
    """Gaussian elimination with partial pivoting."""
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def truth_of(record):
    """Graph values to pixels through the frame's four corners."""
    mode, v, c = record["mode"], record["values"], record["corners"]
    lx, ly = mode in (3, 4), mode in (2, 3)
    t = lambda value, log: math.log10(value) if log else value  # noqa: E731
    pairs = [((t(v["x1"], lx), t(v["y1"], ly)), c["lowerLeft"]), ((t(v["x1"], lx), t(v["y2"], ly)), c["upperLeft"]),
             ((t(v["x2"], lx), t(v["y1"], ly)), c["lowerRight"]), ((t(v["x2"], lx), t(v["y2"], ly)), c["upperRight"])]
    rows, rhs = [], []
    for (u, w), (col, row) in pairs:
        rows.append([u, w, 1, 0, 0, 0, -u * col, -w * col]), rhs.append(col)
        rows.append([0, 0, 0, u, w, 1, -u * row, -w * row]), rhs.append(row)
    h = solve(rows, rhs)

    def pixel(x, y):
        u, w = t(x, lx), t(y, ly)
        d = h[6] * u + h[7] * w + 1
        return (h[0] * u + h[1] * w + h[2]) / d, (h[3] * u + h[4] * w + h[5]) / d
    return pixel


def record(name):
    return json.loads((GRAPHS / f"{name}.json").read_text())


class AxesCommand(unittest.TestCase):
    def test_calibrations_match_the_renderers_and_a_refusal_names_its_image(self):
        images = [str(GRAPHS / f"{n}.png") for n in CALIBRATED + ["gnuplot-unlabelled-y"]]
        run = subprocess.run([PROGRAM, "axes", *images], capture_output=True, text=True, timeout=60)
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertIn("gnuplot-unlabelled-y.png: not calibrated:", run.stderr)
        self.assertIn("Y軸", run.stderr)
        lines = [json.loads(line) for line in run.stdout.splitlines()]
        self.assertEqual([line["image"] for line in lines], [f"{n}.png" for n in CALIBRATED])
        for name, line in zip(CALIBRATED, lines):
            with self.subTest(graph=name):
                truth = record(name)
                self.assertEqual(line["mode"], MODES[truth["mode"]])
                self.assertGreaterEqual(len(line["refs"]), 3)
                pixel = truth_of(truth)
                # The first four are the plotting area's corners as the fitted
                # scales place them; a tick itself may be drawn a little aside.
                worst = max(math.dist((col, row), pixel(x, y)) for col, row, x, y in line["refs"][:4])
                self.assertLess(worst, 0.5, f"a corner lies {worst:.2f} px off")
                self.assertLess(line["max_residual_px"], 1.0)
                for tick in line["ticks"]:
                    self.assertIn(tick["axis"], ("x", "y"))
                    self.assertTrue(tick["text"])
                # The refs span the plotting area: its corners, as a user picks them.
                corners = truth["corners"]
                self.assertLess(math.dist(line["refs"][0][:2], corners["lowerLeft"]), 2.0)
                self.assertLess(math.dist(line["refs"][1][:2], corners["upperRight"]), 2.0)

    def test_auto_axes_digitizes_the_curve_as_typed_corners_would(self):
        truth = record("gnuplot-cairo-logy")
        with tempfile.TemporaryDirectory() as folder:
            out = Path(folder) / "curve.csv"
            colour = ",".join(str(v) for v in truth["colourAt"])
            run = subprocess.run([PROGRAM, "digitize", str(GRAPHS / "gnuplot-cairo-logy.png"), "--auto-axes",
                                  "--colour-at", colour, "-o", str(out)], capture_output=True, text=True, timeout=60)
            self.assertEqual(run.returncode, 0, run.stderr)
            rows = [line.split(", ") for line in out.read_text().splitlines()[1:]]
        xs, ys = truth["curve"]["x"], [math.log10(y) for y in truth["curve"]["y"]]
        span = math.log10(truth["values"]["y2"]) - math.log10(truth["values"]["y1"])
        worst = 0.0
        for x, y in ((float(a), float(b)) for a, b in rows):
            i = min(max(1, next((k for k, u in enumerate(xs) if u > x), len(xs) - 1)), len(xs) - 1)
            f = (x - xs[i - 1]) / (xs[i] - xs[i - 1])
            worst = max(worst, abs(math.log10(y) - (ys[i - 1] + f * (ys[i] - ys[i - 1]))) / span)
        self.assertGreater(len(rows), 500)
        self.assertLess(worst, 0.01, f"the curve lies {100 * worst:.2f} % of full scale off")

    def test_auto_axes_refuses_the_options_it_replaces(self):
        run = subprocess.run([PROGRAM, "digitize", str(GRAPHS / "ploticus-logy.png"), "--auto-axes", "--mode",
                              "log-log"], capture_output=True, text=True, timeout=60)
        self.assertEqual(run.returncode, 2)
        self.assertIn("--mode cannot be given with --auto-axes", run.stderr)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main()
