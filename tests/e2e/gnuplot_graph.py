"""A graph drawn by gnuplot's cairo terminal with its frame where a test
wants it, in pixels from the top left, so that the test knows its truth."""

import subprocess
from pathlib import Path


def draw_gnuplot_graph(path: Path, size: tuple[int, int], frame: tuple[int, int, int, int], body: str) -> None:
    """`frame` is (left, right, top, bottom); `body` the ranges and the plot."""
    width, height = size
    left, right, top, bottom = frame
    script = f"""
set terminal pngcairo size {width},{height} background "white"
set output "{path}"
set lmargin at screen {left / width}
set rmargin at screen {right / width}
set tmargin at screen {1 - top / height}
set bmargin at screen {1 - bottom / height}
unset key
set samples 1000
{body}
"""
    subprocess.run(["gnuplot"], input=script.encode(), check=True, timeout=60)
