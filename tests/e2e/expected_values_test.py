"""Checks of the end-to-end test's own yardstick: the number text it accepts,
the CSV comparison, the BMP writer, and that the drawn graphs tell a correct
scan from a nearly correct one, so that a passing road means something."""

import math
import subprocess
import tempfile
import unittest
from pathlib import Path

from csv_check import csv_problems
from expected_points import curve_rows, graph_x, graph_y, number_texts
from graph_case import GRAPH_CASES
from graph_images import draw_graph
from raster import Raster, write_bmp


class NumberTextTest(unittest.TestCase):
    def test_examples_of_the_number_form(self):
        self.assertEqual(number_texts(1234.56), {"1.235E+03"})
        self.assertEqual(number_texts(0.0012), {"1.200E-03"})
        self.assertEqual(number_texts(-52.7), {"-5.270E+01"})
        self.assertEqual(number_texts(0.0), {"0.000E+00"})
        self.assertEqual(number_texts(1.0), {"1.000E+00"})
        self.assertEqual(number_texts(1e100), {"1.000E+100"})
        self.assertEqual(number_texts(2.5e-120), {"2.500E-120"})

    def test_rounding_carries_into_the_next_power_of_ten(self):
        self.assertEqual(number_texts(9.9996), {"1.000E+01"})
        self.assertEqual(number_texts(-0.099996), {"-1.000E-01"})

    def test_near_a_half_both_neighbours_are_accepted(self):
        # 1.2345 and 9.9995 are stored a hair below the half; the program may
        # round the decimal text either way.
        self.assertEqual(number_texts(1.2345), {"1.234E+00", "1.235E+00"})
        self.assertEqual(number_texts(9.9995), {"9.999E+00", "1.000E+01"})
        self.assertEqual(number_texts(-0.0123450000001), {"-1.234E-02", "-1.235E-02"})

    def test_away_from_a_half_only_the_rounded_text(self):
        self.assertEqual(number_texts(1.23451), {"1.235E+00"})
        self.assertEqual(number_texts(1.23449), {"1.234E+00"})
        # 1e-8 relative is far outside the tolerance.
        self.assertEqual(number_texts(1.2345 * (1 + 1e-8)), {"1.235E+00"})


class CsvProblemsTest(unittest.TestCase):
    POINTS = [(-2.5, 10.0), (0.125, 1234.56), (7.5, 0.0012)]

    def good_file(self) -> bytes:
        lines = ["X, Y"] + [f"{min(number_texts(x))}, {min(number_texts(y))}" for x, y in self.POINTS]
        return "".join(line + "\r\n" for line in lines).encode("ascii")

    def test_a_right_file_has_no_problems(self):
        self.assertEqual(csv_problems(self.good_file(), self.POINTS), [])

    def test_form_faults_are_reported(self):
        good = self.good_file()
        self.assertTrue(csv_problems(good.replace(b"\r\n", b"\n"), self.POINTS))
        self.assertTrue(csv_problems(good[:-2], self.POINTS))
        self.assertTrue(csv_problems(b"\xef\xbb\xbf" + good, self.POINTS))
        self.assertTrue(csv_problems(good.replace(b"X, Y", b"X,Y", 1), self.POINTS))
        self.assertTrue(csv_problems(good.replace(b", ", b",", 2), self.POINTS))

    def test_missing_and_extra_lines_are_reported(self):
        good = self.good_file()
        self.assertTrue(csv_problems(good.rsplit(b"\r\n", 2)[0] + b"\r\n", self.POINTS))
        self.assertTrue(csv_problems(good + good.splitlines(keepends=True)[1], self.POINTS))

    def test_a_value_one_digit_off_is_reported(self):
        off = self.good_file().replace(b"1.235E+03", b"1.236E+03")
        problems = csv_problems(off, self.POINTS)
        self.assertTrue(any("1.236E+03" in problem for problem in problems), problems)


class BmpWriterTest(unittest.TestCase):
    def test_image_magick_reads_back_every_pixel(self):
        # An odd width needs row padding; distinct colours catch swapped channels.
        raster = Raster(7, 5)
        for y in range(5):
            for x in range(7):
                raster.set(x, y, (x * 36, y * 60, (x + y) * 20))
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "check.bmp"
            write_bmp(raster, path)
            decoded = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"],
                                     check=True, capture_output=True).stdout
        self.assertEqual(decoded, raster.rgb_bytes())


class ConversionTest(unittest.TestCase):
    def test_reference_corners_give_the_typed_values(self):
        for case in GRAPH_CASES:
            with self.subTest(case=case.name):
                x1, y1, x2, y2 = map(float, case.typed)
                area = case.area
                self.assertAlmostEqual(graph_x(case, area.start_x), x1, delta=1e-12 * abs(x2))
                self.assertAlmostEqual(graph_x(case, area.end_x), x2, delta=1e-12 * abs(x2))
                self.assertAlmostEqual(graph_y(case, area.start_y), y1, delta=1e-12 * abs(y2))
                self.assertAlmostEqual(graph_y(case, area.end_y), y2, delta=1e-12 * abs(y2))

    def test_log_axes_are_geometric_and_linear_axes_arithmetic(self):
        _, linear_log, log_log = GRAPH_CASES
        middle_row = (linear_log.area.start_y + linear_log.area.end_y) / 2
        y1, y2 = float(linear_log.typed[1]), float(linear_log.typed[3])
        self.assertAlmostEqual(graph_y(linear_log, middle_row), math.sqrt(y1 * y2), places=9)
        middle_column = (linear_log.area.start_x + linear_log.area.end_x) / 2
        x1, x2 = float(linear_log.typed[0]), float(linear_log.typed[2])
        self.assertAlmostEqual(graph_x(linear_log, middle_column), (x1 + x2) / 2, places=9)
        middle_column = (log_log.area.start_x + log_log.area.end_x) / 2
        x1, x2 = float(log_log.typed[0]), float(log_log.typed[2])
        self.assertAlmostEqual(graph_x(log_log, middle_column), math.sqrt(x1 * x2), places=9)


class GraphsTellScansApartTest(unittest.TestCase):
    """A scan that is nearly right must give other points on these graphs;
    otherwise the road could pass with that fault in the program."""

    def setUp(self):
        self.graphs = [(case, draw_graph(case)) for case in GRAPH_CASES]

    def rows_of_columns(self, raster, columns, rows, tie_to_bottom=False, by_luminance=False,
                        carry=True):
        """A variant scan over explicit column and row ranges."""
        result, row = [], 0
        for x in columns:
            best = 255.0
            if not carry:
                row = 0
            for y in (reversed(rows) if tie_to_bottom else rows):
                red, green, blue = raster.get(x, y)
                darkness = (red + green + blue) / 3 if by_luminance else green
                if darkness < best:
                    best, row = darkness, y
            result.append(row)
        return result

    def test_the_true_scan_matches_its_variant_form(self):
        for case, raster in self.graphs:
            area = case.area
            columns = range(area.start_x + 2, area.end_x - 1)
            rows = range(area.end_y + 3, area.start_y - 14)
            self.assertEqual(self.rows_of_columns(raster, columns, rows),
                             curve_rows(raster, area))

    def test_window_bounds_one_pixel_off_are_told_apart(self):
        for case, raster in self.graphs:
            area = case.area
            truth = curve_rows(raster, area)
            columns = range(area.start_x + 2, area.end_x - 1)
            for name, rows in (("top row too high", range(area.end_y + 2, area.start_y - 14)),
                               ("top row too low", range(area.end_y + 4, area.start_y - 14)),
                               ("bottom row too low", range(area.end_y + 3, area.start_y - 13)),
                               ("bottom row too high", range(area.end_y + 3, area.start_y - 15))):
                with self.subTest(case=case.name, variant=name):
                    self.assertNotEqual(self.rows_of_columns(raster, columns, rows), truth)

    def test_points_read_one_column_aside_are_told_apart(self):
        # Right count, wrong column: point i read from its neighbour column.
        for case, raster in self.graphs:
            area = case.area
            truth = curve_rows(raster, area)
            rows = range(area.end_y + 3, area.start_y - 14)
            for name, columns in (("one left", range(area.start_x + 1, area.end_x - 2)),
                                  ("one right", range(area.start_x + 3, area.end_x))):
                with self.subTest(case=case.name, variant=name):
                    self.assertNotEqual(self.rows_of_columns(raster, columns, rows), truth)

    def test_ties_darkness_and_gaps_are_told_apart(self):
        for case, raster in self.graphs:
            area = case.area
            truth = curve_rows(raster, area)
            columns = range(area.start_x + 2, area.end_x - 1)
            rows = range(area.end_y + 3, area.start_y - 14)
            for name, options in (("bottommost of a tie", {"tie_to_bottom": True}),
                                  ("darkness by luminance", {"by_luminance": True}),
                                  ("no carry-over", {"carry": False})):
                with self.subTest(case=case.name, variant=name):
                    self.assertNotEqual(self.rows_of_columns(raster, columns, rows, **options),
                                        truth)


if __name__ == "__main__":
    unittest.main()
