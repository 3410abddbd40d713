"""What the command-line tests share: the linear test graph drawn once, with
the points expected of it, a fresh folder for each test, and the way the
program under test is named on the command line."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from expected_points import expected_points  # noqa: E402
from graph_case import GRAPH_CASES  # noqa: E402
from graph_images import draw_graph  # noqa: E402

LINEAR = GRAPH_CASES[0]


class GraphFolderCase(unittest.TestCase):
    folder_prefix = "vastrel-cli-"

    @classmethod
    def setUpClass(cls):
        cls.raster = draw_graph(LINEAR)
        cls.expected = expected_points(LINEAR, cls.raster)

    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix=self.folder_prefix)
        self.folder = Path(self._folder.name)

    def tearDown(self):
        self._folder.cleanup()


def run_tests(doc: str, take_program) -> int:
    """Runs the module's tests with the program named by the one argument,
    given to `take_program` first."""
    if len(sys.argv) != 2:
        print(doc)
        return 2
    take_program(str(Path(sys.argv.pop(1)).resolve()))
    return 0 if unittest.main(module="__main__", exit=False, verbosity=2).result.wasSuccessful() else 1
