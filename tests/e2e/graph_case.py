"""The graphs the end-to-end test digitizes: one per scale mode, each with its
plotting area (the two corners the test clicks) and the four coordinates it
types."""

import math
from dataclasses import dataclass
from typing import Callable

SCALE_MODE_NAMES = {1: "Linear - Linear", 2: "Linear - Log", 3: "Log - Log", 4: "Log - Linear"}


@dataclass(frozen=True)
class PlotArea:
    """Image pixels of the lower-left (start) and upper-right (end) corner."""
    start_x: int
    start_y: int
    end_x: int
    end_y: int

    @property
    def width(self) -> int:
        return self.end_x - self.start_x

    @property
    def height(self) -> int:
        return self.start_y - self.end_y

    def column_at(self, u: float) -> int:
        """Image column at fraction u of the way from the left edge to the right."""
        return self.start_x + round(u * self.width)

    def row_at(self, v: float) -> int:
        """Image row at fraction v of the way from the bottom edge up."""
        return self.start_y - round(v * self.height)


@dataclass(frozen=True)
class GraphCase:
    name: str
    mode: int
    image_size: tuple[int, int]
    area: PlotArea
    # Texts typed into the start X, start Y, end X and end Y boxes.
    typed: tuple[str, str, str, str]
    # The curve: height v (0 at the bottom edge, 1 at the top) at fraction u across.
    curve: Callable[[float], float]
    # Columns at the left of the scanned stretch left without curve, so the
    # first points carry the initial row over.
    blank_lead: int = 0


GRAPH_CASES = (
    GraphCase(
        name="linear-linear", mode=1, image_size=(600, 440),
        area=PlotArea(62, 398, 541, 37),
        typed=("-2.5", "10", "7.5", "2.6e2"),
        curve=lambda u: 0.5 + 0.4 * math.sin(3 * math.pi * u),
        blank_lead=4),
    GraphCase(
        name="linear-log", mode=2, image_size=(620, 430),
        area=PlotArea(48, 405, 560, 30),
        typed=("0", "0.01", "50", "1000"),
        curve=lambda u: 0.08 + 0.85 * u * u),
    GraphCase(
        name="log-log", mode=3, image_size=(580, 420),
        area=PlotArea(75, 380, 523, 52),
        typed=("1", "0.5", "1e3", "5000"),
        curve=lambda u: 0.12 + 0.75 * u),
)

# A frequency response: flat, then falling, over four decades.
LOG_LINEAR_CASE = GraphCase(
    name="log-linear", mode=4, image_size=(610, 440),
    area=PlotArea(58, 402, 570, 44),
    typed=("10", "-40", "1e5", "20"),
    curve=lambda u: 0.85 - 0.7 * max(0.0, u - 0.3) ** 1.5,
    blank_lead=6)
