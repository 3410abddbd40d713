"""Draws one scatter plot with R, gnuplot (pngcairo), Grace or matplotlib:
series of markers, some joined by a line of their own colour, lines of other
colours across them, and a boxed legend with the series' samples and labels.
The frame is placed as graph_programs.py places it, so its pixels are known.

A graph is a dict: name, program, xlim, ylim, frame (as in
graph_programs.py), series, each a dict of colour "#rrggbb", label, xs, ys,
marker (shape, filled), shape one of SHAPES, and joined (a line of the
series' colour through its markers, in their order); lines, each a dict of
colour, xs, ys: curves without markers; legend (a boxed legend inside the
area's upper right corner)."""

import subprocess

import numpy as np

from graph_programs import HEIGHT, WIDTH, gnuplot_frame, grace_view, r_plt

SHAPES = ("circle", "square", "triangle", "diamond", "cross", "plus")
MARKER_SIZE = 1.6  # in each program's own unit: about 12 pixels across


def rgb(colour):
    return tuple(int(colour[k:k + 2], 16) for k in (1, 3, 5))


def write_xy(folder, name, xs, ys):
    path = folder / f"{name}.dat"
    np.savetxt(path, np.column_stack([xs, ys]), fmt="%.17g")
    return path


GNUPLOT_POINTS = {("circle", False): 6, ("circle", True): 7, ("square", False): 4, ("square", True): 5,
                  ("triangle", False): 8, ("triangle", True): 9, ("diamond", False): 12, ("diamond", True): 13,
                  ("cross", False): 2, ("plus", False): 1}


def gnuplot(graph, folder, out):
    """pngcairo puts point symbols on whole pixels; "pi 1" leaves a gap in
    the joining line at none of them."""
    lines = gnuplot_frame(graph["frame"], cairo=True) + [
        f"set output '{out}'", f"set xrange [{graph['xlim'][0]!r}:{graph['xlim'][1]!r}]",
        f"set yrange [{graph['ylim'][0]!r}:{graph['ylim'][1]!r}]", "set border lw 1 front",
        "set key inside top right box opaque samplen 3" if graph["legend"] else "unset key",
        "set pointintervalbox 0",
    ]
    plots = []
    for i, line in enumerate(graph["lines"]):
        path = write_xy(folder, f"{graph['name']}-line{i}", line["xs"], line["ys"])
        plots.append(f"'{path}' using 1:2 with lines lw 2 lc rgb '{line['colour']}' notitle")
    for i, s in enumerate(graph["series"]):
        path = write_xy(folder, f"{graph['name']}-{i}", s["xs"], s["ys"])
        style = "linespoints lw 2" if s["joined"] else "points"
        plots.append(f"'{path}' using 1:2 with {style} lc rgb '{s['colour']}' pt {GNUPLOT_POINTS[s['marker']]} "
                     f"ps {MARKER_SIZE} title '{s['label']}'")
    lines.append("plot " + ", ".join(plots))
    subprocess.run(["gnuplot"], input="\n".join(lines), text=True, check=True)


GRACE_SYMBOLS = {"circle": 1, "square": 2, "diamond": 3, "triangle": 4, "plus": 8, "cross": 9}


def grace(graph, folder, out):
    """Grace draws without anti-aliasing, its symbols on whole pixels,
    outlined in the series' colour and filled with pattern 1, or 0 for none."""
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = ["PAGE SIZE 800, 600", "WITH G0", f"WORLD {x1!r}, {y1!r}, {x2!r}, {y2!r}", grace_view(graph["frame"]),
             "FRAME LINEWIDTH 1.0", "AUTOSCALE ONREAD NONE", f"XAXIS TICK MAJOR {(x2 - x1) / 5!r}",
             f"YAXIS TICK MAJOR {(y2 - y1) / 5!r}", "XAXIS TICK MINOR TICKS 1", "YAXIS TICK MINOR TICKS 1"]
    sets = [(line, None) for line in graph["lines"]] + [(s, s) for s in graph["series"]]
    for i, (data, s) in enumerate(sets):
        path = write_xy(folder, f"{graph['name']}-{i}", data["xs"], data["ys"])
        lines += [f'MAP COLOR {16 + i} TO {rgb(data["colour"])}, "set{i}"', f'READ XY "{path}"',
                  f"S{i} LINE COLOR {16 + i}", "" if s is None else f'S{i} LEGEND "{s["label"]}"']
        if s is None:
            lines.append(f"S{i} LINEWIDTH 2.0")
            continue
        shape, filled = s["marker"]
        lines += [f"S{i} LINESTYLE {1 if s['joined'] else 0}", f"S{i} LINEWIDTH 2.0",
                  f"S{i} SYMBOL {GRACE_SYMBOLS[shape]}", f"S{i} SYMBOL SIZE {MARKER_SIZE * 0.75!r}",
                  f"S{i} SYMBOL COLOR {16 + i}", f"S{i} SYMBOL LINEWIDTH 1.5",
                  f"S{i} SYMBOL FILL COLOR {16 + i}", f"S{i} SYMBOL FILL PATTERN {int(filled)}"]
    if graph["legend"]:
        _, top, right, _ = graph["frame"]
        lines += ["LEGEND ON", "LEGEND LOCTYPE VIEW", f"LEGEND {(right - 140) / 600!r}, {(600 - top - 12) / 600!r}",
                  "LEGEND BOX ON", "LEGEND BOX COLOR 1", "LEGEND BOX FILL ON", "LEGEND BOX FILL COLOR 0"]
    else:
        lines.append("LEGEND OFF")
    script = folder / f"{graph['name']}.bat"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["gracebat", "-nosafe", "-batch", str(script), "-hardcopy", "-hdevice", "PNG",
                    "-printfile", str(out)], check=True, stdout=subprocess.DEVNULL)


R_POINTS = {("circle", False): 1, ("circle", True): 16, ("square", False): 0, ("square", True): 15,
            ("triangle", False): 2, ("triangle", True): 17, ("diamond", False): 5, ("diamond", True): 18,
            ("cross", False): 4, ("plus", False): 3}


def r_vector(values):
    return "c(" + ", ".join(repr(float(v)) for v in values) + ")"


def r_plot(graph, folder, out):
    """R's cairo device draws its points where their values put them, off
    the pixel grid."""
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = [f'png("{out}", width = {WIDTH}, height = {HEIGHT}, type = "cairo", bg = "white")',
             f"par(plt = {r_vector(r_plt(graph['frame']))}, xaxs = 'i', yaxs = 'i', las = 1)",
             f'plot(NA, xlim = c({x1!r}, {x2!r}), ylim = c({y1!r}, {y2!r}), xlab = "x", ylab = "y")']
    for line in graph["lines"]:
        lines.append(f"lines({r_vector(line['xs'])}, {r_vector(line['ys'])}, col = '{line['colour']}', lwd = 2)")
    for s in graph["series"]:
        kind = "b" if s["joined"] else "p"
        lines.append(f"points({r_vector(s['xs'])}, {r_vector(s['ys'])}, type = '{kind}', col = '{s['colour']}', "
                     f"pch = {R_POINTS[s['marker']]}, cex = {MARKER_SIZE!r}, lwd = 1.5)")
    if graph["legend"]:
        series = graph["series"]
        lines.append("legend('topright', inset = 0.02, bg = 'white', box.col = 'black', pt.cex = "
                     f"{MARKER_SIZE!r}, pt.lwd = 1.5, legend = c({', '.join(repr(s['label']) for s in series)}), "
                     f"col = c({', '.join(repr(s['colour']) for s in series)}), "
                     f"lty = c({', '.join('1' if s['joined'] else '0' for s in series)}), "
                     f"pch = c({', '.join(str(R_POINTS[s['marker']]) for s in series)}))")
    lines += ["box()", "invisible(dev.off())"]
    script = folder / f"{graph['name']}.R"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["Rscript", "--vanilla", str(script)], check=True)


MATPLOTLIB_MARKERS = {"circle": "o", "square": "s", "triangle": "^", "diamond": "D", "cross": "x", "plus": "P"}


def matplotlib_plot(graph, out):
    """The axes' edges on the pixel edges before the frame's pixels, as in
    graph_programs.py; markers 12 pixels across, outlined 1.5 pixels wide."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    left, top, right, bottom = graph["frame"]
    fig = plt.figure(figsize=(WIDTH / 100, HEIGHT / 100), dpi=100, facecolor="white")
    ax = fig.add_axes([left / WIDTH, (HEIGHT - bottom) / HEIGHT, (right - left) / WIDTH, (bottom - top) / HEIGHT])
    for line in graph["lines"]:
        ax.plot(line["xs"], line["ys"], color=line["colour"], linewidth=1.5)
    for s in graph["series"]:
        shape, filled = s["marker"]
        marker = "+" if shape == "plus" else MATPLOTLIB_MARKERS[shape]
        ax.plot(s["xs"], s["ys"], linestyle="-" if s["joined"] else "none", linewidth=1.5, color=s["colour"],
                marker=marker, markersize=MARKER_SIZE * 5.4, markeredgewidth=1.1,
                markerfacecolor=s["colour"] if filled else "none", label=s["label"])
    ax.set_xlim(*graph["xlim"])
    ax.set_ylim(*graph["ylim"])
    if graph["legend"]:
        ax.legend(loc="upper right", numpoints=1, edgecolor="black", fancybox=False, framealpha=1)
    fig.savefig(out, dpi=100, facecolor="white")
    plt.close(fig)


def draw(graph, folder, out):
    program = graph["program"]
    if program == "gnuplot":
        gnuplot(graph, folder, out)
    elif program == "grace":
        grace(graph, folder, out)
    elif program == "R":
        r_plot(graph, folder, out)
    else:
        matplotlib_plot(graph, out)
