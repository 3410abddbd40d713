#!/usr/bin/env python3
"""End-to-end test of the built program: on a private Xvfb display, real
pointer and key events walk the whole road from the file box to the saved CSV
file for every scale mode and image format, and the file is compared with
values worked out here from the drawn graph and the clicked corners.

Usage: e2e_road_test.py PROGRAM"""

import argparse
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from graph_case import GRAPH_CASES, LOG_LINEAR_CASE as LOG_LINEAR
from road_scenarios import Context, Walk, digitize_and_save, digitize_by_colour, refuse_then_digitize
from x_display import Desktop, StepFailed, VirtualDisplay

LINEAR_LINEAR, LINEAR_LOG, LOG_LOG = GRAPH_CASES
BY_MOUSE = Walk()
# (graph, image format, walk): every mode in every format; the keyboard road
# once for each logarithmic mode (its scale mode by Down, and by Up round the
# group, after a re-pick over the start values of an earlier graph); a cut-off
# JPEG refused on the way.
ROAD_RUNS = (
    (LINEAR_LINEAR, "bmp", Walk(cut_jpeg_first=True)), (LINEAR_LOG, "bmp", Walk(by_keyboard=True)),
    (LOG_LOG, "bmp", BY_MOUSE),
    (LINEAR_LINEAR, "gif", BY_MOUSE), (LINEAR_LOG, "gif", BY_MOUSE),
    (LOG_LOG, "gif", Walk(by_keyboard=True, stale_start=("9", "9"))),
    (LINEAR_LINEAR, "tif", BY_MOUSE), (LINEAR_LOG, "tif", BY_MOUSE), (LOG_LOG, "tif", BY_MOUSE),
    (LOG_LINEAR, "bmp", Walk(by_keyboard=True)),
)
LOG_TAIL_LINES = 20
# Scenarios still waiting when this much time has passed are not started, so
# that the summary comes out before CTest's timeout cuts the run off.
TIME_BUDGET = 90.0


def scenarios(context: Context):
    """(name, callable taking the log path) of every scenario, in running order."""
    for case, image_format, walk in ROAD_RUNS:
        name = f"{case.name}-{image_format}{walk.name()}"
        yield name, (lambda log, c=case, f=image_format, w=walk, n=name:
                     digitize_and_save(context, n, c, f, w, log))
    yield "refusal-then-linear-linear-bmp", (
        lambda log: refuse_then_digitize(context, "refusal", LINEAR_LINEAR, "bmp", log))
    yield "colour-log-linear-gif", (
        lambda log: digitize_by_colour(context, "colour-log-linear", LOG_LINEAR, "gif", log))


def keep_failure_screen(display: str, name: str) -> Path:
    shot = Path.cwd() / f"e2e-failure-{name}.png"
    subprocess.run(["import", "-display", display, "-window", "root", str(shot)],
                   capture_output=True, timeout=20)
    return shot


def run_all(program: Path) -> int:
    failed = []
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="vastrel-e2e-") as work_dir:
        work = Path(work_dir)
        with VirtualDisplay(work / "xvfb.log") as display:
            context = Context(program, work, Desktop(display.name))
            for name, scenario in scenarios(context):
                if time.monotonic() - started > TIME_BUDGET:
                    failed.append(name)
                    print(f"FAIL {name}: not started, the {TIME_BUDGET:g} s budget is spent")
                    continue
                log = work / f"{name}.log"
                began = time.monotonic()
                try:
                    problems = scenario(log)
                except StepFailed as failure:
                    problems = [str(failure)]
                if not problems:
                    print(f"PASS {name} ({time.monotonic() - began:.1f} s)", flush=True)
                    continue
                failed.append(name)
                print(f"FAIL {name}:", *(f"  {p}" for p in problems), sep="\n")
                print(f"  screen kept in {keep_failure_screen(display.name, name)}")
                tail = log.read_text(errors="replace").splitlines()[-LOG_TAIL_LINES:] if log.exists() else []
                if tail:
                    print("  program output:", *(f"    {line}" for line in tail), sep="\n")
    total = time.monotonic() - started
    print(f"{'FAILED: ' + ', '.join(failed) if failed else 'all scenarios passed'} ({total:.1f} s)")
    return 1 if failed else 0


def main() -> int:
    # A terminated run still stops the program and Xvfb on its way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", type=Path)
    program = parser.parse_args().program.resolve()
    if not program.is_file():
        print(f"no program at {program}")
        return 1
    return run_all(program)


if __name__ == "__main__":
    sys.exit(main())
