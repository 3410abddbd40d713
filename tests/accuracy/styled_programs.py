"""Draws one graph in the line styles printed graphs use, with gnuplot (png
and pngcairo), Grace, R or ploticus: dashed and dotted curves, markers at the
data points, graph paper grids, inward ticks and a boxed legend. The frame is
placed as graph_programs.py places it, so its pixels are known exactly.

A graph is a dict: name, program, mode, xlim, ylim and frame as in
graph_programs.py; curves, each a dict of colour "#rrggbb", label, xs, ys,
dash ("solid", "dashed", "dotted", "dashdot" or "none" for markers alone)
and marker (None or (shape, filled), shape one of SHAPES, drawn at every
vertex); grid (black lines at the major ticks, grey ones at the minor
ticks); ticks_in (inward ticks on all four sides) and legend (boxed, inside
the area's upper right corner, with the curves' line samples)."""

import math
import subprocess

import numpy as np

from graph_programs import gnuplot_frame, grace_view, log_x, log_y, ploticus_rectangle, r_plt

MINOR_GREY = "#b0b0b0"
SHAPES = ("circle", "square", "triangle", "diamond", "cross")


def ticks(lo, hi, is_log):
    """Major and minor tick values: five steps and their halves on a linear
    axis, decades and their 2 .. 9 multiples on a logarithmic one."""
    if not is_log:
        step = (hi - lo) / 5
        return [lo + k * step for k in range(6)], [lo + (k + 0.5) * step for k in range(5)]
    decades = range(math.floor(math.log10(lo) + 1e-9), math.ceil(math.log10(hi) - 1e-9) + 1)
    inside = lambda v: lo * (1 - 1e-9) <= v <= hi * (1 + 1e-9)  # noqa: E731
    majors = [10.0 ** e for e in decades if inside(10.0 ** e)]
    minors = [k * 10.0 ** e for e in decades for k in range(2, 10) if inside(k * 10.0 ** e)]
    return majors, minors


def axis_ticks(graph):
    return (ticks(*graph["xlim"], log_x(graph)), ticks(*graph["ylim"], log_y(graph)))


def write_curves(graph, folder):
    paths = []
    for i, curve in enumerate(graph["curves"]):
        paths.append(folder / f"{graph['name']}-{i}.dat")
        np.savetxt(paths[-1], np.column_stack([curve["xs"], curve["ys"]]), fmt="%.17g")
    return paths


def rgb(colour):
    return tuple(int(colour[k:k + 2], 16) for k in (1, 3, 5))


GNUPLOT_DASHES = {"solid": 1, "dashed": 2, "dotted": 3, "dashdot": 4}
GNUPLOT_POINTS = {("circle", False): 6, ("circle", True): 7, ("square", False): 4, ("square", True): 5,
                  ("triangle", False): 8, ("triangle", True): 9, ("diamond", False): 12, ("diamond", True): 13,
                  ("cross", False): 2, ("cross", True): 2}


def gnuplot(graph, folder, out, cairo):
    """Explicit tick lists, the minor ones at level 1, so that the grid lies
    where ticks() says. The gd terminal draws every line solid, and lines of
    an even width off their centre: its curves are one pixel wide. Both
    terminals put point symbols on whole pixels, lines not; "pi 1" draws
    one at every vertex with the line running on through it."""
    if not cairo and any(c["dash"] not in ("solid", "none") for c in graph["curves"]):
        raise ValueError("gnuplot's png terminal draws no dashes")
    lines = gnuplot_frame(graph["frame"], cairo) + [
        f"set output '{out}'", f"set xrange [{graph['xlim'][0]!r}:{graph['xlim'][1]!r}]",
        f"set yrange [{graph['ylim'][0]!r}:{graph['ylim'][1]!r}]", "set border lw 1 front",
        "set tics front",
    ]
    for axis, is_log, (majors, minors) in zip("xy", (log_x(graph), log_y(graph)), axis_ticks(graph)):
        if is_log:
            lines += [f"set logscale {axis}", f"set format {axis} '10^{{%L}}'"]
        marks = [f"{v!r}" for v in majors] + [f'"" {v!r} 1' for v in minors]
        mirror = "in mirror " if graph["ticks_in"] else ""
        lines.append(f"set {axis}tics {mirror}({', '.join(marks)})")
    if graph["grid"]:
        lines.append(f"set grid xtics ytics mxtics mytics back lt 1 lw 1 lc rgb 'black', "
                     f"lt 1 lw 1 lc rgb '{MINOR_GREY}'")
    lines.append("set key inside top right box opaque samplen 4" if graph["legend"] else "unset key")
    width = 2 if cairo else 1
    plots = []
    for path, curve in zip(write_curves(graph, folder), graph["curves"]):
        style = "points" if curve["dash"] == "none" else "linespoints" if curve["marker"] else "lines"
        clause = f"'{path}' using 1:2 with {style} lc rgb '{curve['colour']}'"
        if curve["dash"] != "none":
            clause += f" lw {width}" + (f" dt {GNUPLOT_DASHES[curve['dash']]}" if cairo else "")
        if curve["marker"]:
            clause += f" pt {GNUPLOT_POINTS[curve['marker']]} ps 1.8 pi 1"
        plots.append(clause + f" title '{curve['label']}'")
    lines.append("plot " + ", ".join(plots))
    subprocess.run(["gnuplot"], input="\n".join(lines), text=True, check=True)


GRACE_DASHES = {"none": 0, "solid": 1, "dotted": 2, "dashed": 3, "dashdot": 5}
GRACE_SYMBOLS = {"circle": 1, "square": 2, "diamond": 3, "triangle": 4, "cross": 9}


def grace(graph, folder, out):
    """Curves 3 pixels wide and grid lines 1: Grace draws without
    anti-aliasing, a line of an even width off its centre. Its symbols are
    outlined in the curve's colour and filled with pattern 1, or 0 for none."""
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = ["PAGE SIZE 800, 600", f'MAP COLOR 15 TO {rgb(MINOR_GREY)}, "minorgrey"', "WITH G0",
             f"WORLD {x1!r}, {y1!r}, {x2!r}, {y2!r}", grace_view(graph["frame"]), "FRAME LINEWIDTH 1.0",
             "AUTOSCALE ONREAD NONE"]
    for axis, is_log, (lo, hi) in (("X", log_x(graph), graph["xlim"]), ("Y", log_y(graph), graph["ylim"])):
        if is_log:
            lines += [f"{axis}AXES SCALE LOGARITHMIC", f"{axis}AXIS TICK MAJOR 10", f"{axis}AXIS TICK MINOR TICKS 8",
                      f"{axis}AXIS TICKLABEL FORMAT POWER", f"{axis}AXIS TICKLABEL PREC 0"]
        else:
            lines += [f"{axis}AXIS TICK MAJOR {(hi - lo) / 5!r}", f"{axis}AXIS TICK MINOR TICKS 1"]
        if graph["ticks_in"]:
            lines += [f"{axis}AXIS TICK IN", f"{axis}AXIS TICK PLACE BOTH"]
        if graph["grid"]:
            lines += [f"{axis}AXIS TICK MAJOR GRID ON", f"{axis}AXIS TICK MAJOR COLOR 1",
                      f"{axis}AXIS TICK MINOR GRID ON", f"{axis}AXIS TICK MINOR COLOR 15"]
    for i, (path, curve) in enumerate(zip(write_curves(graph, folder), graph["curves"])):
        lines += [f'MAP COLOR {16 + i} TO {rgb(curve["colour"])}, "curve{i}"', f'READ XY "{path}"',
                  f"S{i} LINE COLOR {16 + i}", f"S{i} LINEWIDTH 3.0", f"S{i} LINESTYLE {GRACE_DASHES[curve['dash']]}",
                  f'S{i} LEGEND "{curve["label"]}"']
        if curve["marker"]:
            shape, filled = curve["marker"]
            lines += [f"S{i} SYMBOL {GRACE_SYMBOLS[shape]}", f"S{i} SYMBOL SIZE 1.6", f"S{i} SYMBOL COLOR {16 + i}",
                      f"S{i} SYMBOL LINEWIDTH 1.0", f"S{i} SYMBOL FILL COLOR {16 + i}",
                      f"S{i} SYMBOL FILL PATTERN {int(filled)}"]
    if graph["legend"]:
        left, top, right, _ = graph["frame"]
        lines += ["LEGEND ON", "LEGEND LOCTYPE VIEW", f"LEGEND {(right - 150) / 600!r}, {(600 - top - 12) / 600!r}",
                  "LEGEND BOX ON", "LEGEND BOX COLOR 1", "LEGEND BOX FILL ON", "LEGEND BOX FILL COLOR 0"]
    else:
        lines.append("LEGEND OFF")
    script = folder / f"{graph['name']}.bat"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["gracebat", "-nosafe", "-batch", str(script), "-hardcopy", "-hdevice", "PNG",
                    "-printfile", str(out)], check=True, stdout=subprocess.DEVNULL)


R_DASHES = {"solid": "solid", "dashed": "dashed", "dotted": "dotted", "dashdot": "dotdash"}
R_POINTS = {("circle", False): 1, ("circle", True): 16, ("square", False): 0, ("square", True): 15,
            ("triangle", False): 2, ("triangle", True): 17, ("diamond", False): 5, ("diamond", True): 18,
            ("cross", False): 4, ("cross", True): 4}


def r_vector(values):
    return "c(" + ", ".join(repr(float(v)) for v in values) + ")"


def r_plot(graph, folder, out):
    """The axes drawn at ticks()' values, the grid as lines across the area
    under the curves, inward ticks by a positive tick length."""
    log = ("x" if log_x(graph) else "") + ("y" if log_y(graph) else "")
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    (xmajor, xminor), (ymajor, yminor) = axis_ticks(graph)
    tcl = 0.5 if graph["ticks_in"] else -0.5
    lines = [f'png("{out}", width = 800, height = 600, type = "cairo", bg = "white")',
             f"par(plt = {r_vector(r_plt(graph['frame']))}, xaxs = 'i', yaxs = 'i', las = 1, tcl = {tcl})",
             f'plot(NA, xlim = c({x1!r}, {x2!r}), ylim = c({y1!r}, {y2!r}), log = "{log}", axes = FALSE, '
             'xlab = "x", ylab = "y")']
    if graph["grid"]:
        lines += [f"abline(v = {r_vector(xminor)}, h = {r_vector(yminor)}, col = '{MINOR_GREY}', lwd = 1)",
                  f"abline(v = {r_vector(xmajor)}, h = {r_vector(ymajor)}, col = 'black', lwd = 1)"]
    sides = (1, 2, 3, 4) if graph["ticks_in"] else (1, 2)
    for side in sides:
        major, minor = (xmajor, xminor) if side % 2 else (ymajor, yminor)
        labels = "TRUE" if side < 3 else "FALSE"
        lines += [f"axis({side}, at = {r_vector(major)}, labels = {labels})",
                  f"axis({side}, at = {r_vector(minor)}, labels = FALSE, tcl = {tcl / 2})"]
    for i, (path, curve) in enumerate(zip(write_curves(graph, folder), graph["curves"])):
        lines.append(f'd{i} <- read.table("{path}")')
        if curve["dash"] != "none":
            lines.append(f"lines(d{i}[[1]], d{i}[[2]], col = '{curve['colour']}', lwd = 2, "
                         f"lty = '{R_DASHES[curve['dash']]}')")
        if curve["marker"]:
            lines.append(f"points(d{i}[[1]], d{i}[[2]], col = '{curve['colour']}', pch = {R_POINTS[curve['marker']]}, "
                         "cex = 1.8, lwd = 1)")
    if graph["legend"]:
        curves = graph["curves"]
        lines.append("legend('topright', inset = 0.02, bg = 'white', box.col = 'black', lwd = 2, "
                     f"legend = c({', '.join(repr(c['label']) for c in curves)}), "
                     f"col = c({', '.join(repr(c['colour']) for c in curves)}), "
                     f"lty = c({', '.join(repr(R_DASHES.get(c['dash'], 'blank')) for c in curves)}), "
                     f"pch = c({', '.join(str(R_POINTS[c['marker']]) if c['marker'] else 'NA' for c in curves)}))")
    lines += ["box()", "invisible(dev.off())"]
    script = folder / f"{graph['name']}.R"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["Rscript", "--vanilla", str(script)], check=True)


PLOTICUS_DASHES = {"solid": 0, "dashed": 1, "dotted": 5, "dashdot": 7}


def ploticus_axes(graph):
    """Grid lines come with an axis's stubs: the minor grid by one pass of
    unlabelled stubs, the major grid and the labels by a second. A list of
    stubs ends at a blank line, so it comes last."""
    grey = "rgb({:.4f},{:.4f},{:.4f})".format(*(c / 255 for c in rgb(MINOR_GREY)))
    procs = []
    for axis, is_log, (majors, minors) in zip("xy", (log_x(graph), log_y(graph)), axis_ticks(graph)):
        if graph["grid"]:
            procs += [f"#proc {axis}axis", "tics: none", f"grid: color={grey} width=0.5",
                      "selflocatingstubs: text"] + [f"   {v!r}   " for v in minors] + [""]
        procs += [f"#proc {axis}axis"]
        if graph["grid"]:
            procs.append("grid: color=black width=0.5")
        if graph["ticks_in"]:
            procs.append("ticlen: 0 0.08")
        procs += ["selflocatingstubs: text"] + [f"   {v!r}   {v:g}" for v in majors] + [""]
        if graph["ticks_in"]:
            procs += [f"#proc {axis}axis", "location: max", "ticlen: 0.08 0", "selflocatingstubs: text"]
            procs += [f"   {v!r}   " for v in majors] + [""]
    return procs


def ploticus(graph, folder, out):
    """Dash patterns by line style and dash scale; every curve reads its own
    data before its line plot."""
    if any(c["marker"] for c in graph["curves"]):
        raise ValueError("markers are drawn by the other programs")
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = ["#proc page", "backgroundcolor: white", "", "#proc areadef", ploticus_rectangle(graph["frame"]),
             f"xrange: {x1!r} {x2!r}", f"yrange: {y1!r} {y2!r}", "frame: width=0.5 color=black",
             "xscaletype: log" if log_x(graph) else "", "yscaletype: log" if log_y(graph) else "", ""]
    lines += ploticus_axes(graph)
    for path, curve in zip(write_curves(graph, folder), graph["curves"]):
        r, g, b = (c / 255 for c in rgb(curve["colour"]))
        lines += ["#proc getdata", f"file: {path}", "", "#proc lineplot", "xfield: 1", "yfield: 2",
                  f"linedetails: color=rgb({r:.4f},{g:.4f},{b:.4f}) width=2 "
                  f"style={PLOTICUS_DASHES[curve['dash']]} dashscale=4",
                  f"legendlabel: {curve['label']}", "legendsampletype: line", ""]
    if graph["legend"]:
        _, top, right, _ = graph["frame"]
        lines += ["#proc legend", f"location: {(right - 140) / 100!r} {(600 - top - 10) / 100!r}",
                  "frame: color=black width=0.5", "backcolor: white", ""]
    script = folder / f"{graph['name']}.pl"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["ploticus", "-png", "-pagesize", "8,6", "-crop", "0,0,8,6", "-o", str(out), str(script)],
                   check=True)


def draw(graph, folder, out):
    program = graph["program"]
    if program.startswith("gnuplot"):
        gnuplot(graph, folder, out, cairo=program == "gnuplot-pngcairo")
    elif program == "grace":
        grace(graph, folder, out)
    elif program == "R":
        r_plot(graph, folder, out)
    else:
        ploticus(graph, folder, out)
