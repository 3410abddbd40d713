"""The frame every end-to-end scenario runs in: the program named on the
command line, a private Xvfb display and a scratch folder, a PASS or FAIL
line at the end and, on a failure, the end of the program's own log."""

import argparse
import signal
import sys
import tempfile
from pathlib import Path

from clipboard import require_xclip
from x_display import Desktop, StepFailed, VirtualDisplay


def run_scenario(doc: str, name: str, scenario, needs_xclip: bool = False, takes_screenshots: bool = False) -> int:
    """Runs scenario(program, work, desktop[, screenshots]), which returns
    the problems it found; the exit status for the test runner."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("program", type=Path)
    if takes_screenshots:
        parser.add_argument("--screenshots", type=Path)
    arguments = parser.parse_args()
    extra = [arguments.screenshots] if takes_screenshots else []
    with tempfile.TemporaryDirectory(prefix=f"vastrel-{name.replace(' ', '-')}-") as work_dir:
        work = Path(work_dir)
        try:
            if needs_xclip:
                require_xclip()
            with VirtualDisplay(work / "xvfb.log") as display:
                problems = scenario(arguments.program.resolve(), work, Desktop(display.name), *extra)
        except StepFailed as failure:
            problems = [str(failure)]
        if problems:
            print(f"FAIL {name}:", *(f"  {p}" for p in problems), sep="\n")
            log = work / "program.log"
            if log.exists():
                print(log.read_text(errors="replace")[-3000:])
            return 1
    print(f"PASS {name}")
    return 0
