"""Draws one graph with one of several plotting programs, the plotting area
placed through the program's own coordinates so that the drawn frame's pixels
are known exactly.

A graph is a dict: name, program, mode (1 linear-linear, 2 linear-log,
3 log-log, 4 log-linear), xlim, ylim, curves [(colour "#rrggbb", label, ys)]
sampled at xs, legend, grid, and frame (left, top, right, bottom): the centre
of each frame line as a pixel index (pixel k's centre is at k). Every program
draws an 800 x 600 picture. An optional font_size sets the tick labels' size
in pixels to the em (points at 72 dpi); without it each program's own."""

import os
import subprocess

import numpy as np

WIDTH, HEIGHT = 800, 600
LIBERATION = "/usr/share/fonts/truetype/liberation2"
# The em in pixels of Grace's characters at size 1 on this page.
GRACE_EM = 16.0
MATPLOTLIB_STYLES = {"matplotlib": "default", "matplotlib-classic": "classic",
                     "matplotlib-seaborn": "seaborn-v0_8-ticks"}


def log_x(graph):
    return graph["mode"] in (3, 4)


def log_y(graph):
    return graph["mode"] in (2, 3)


def write_data(graph, path):
    """The curves' vertices, one row per X: every program draws straight
    segments between them in its own axis terms."""
    columns = [graph["xs"]] + [ys for _, _, ys in graph["curves"]]
    np.savetxt(path, np.column_stack(columns), fmt="%.17g")


def gnuplot_frame(frame, cairo, font_size=None):
    """The terminal and the margins that put the frame's lines at `frame`.
    Margins at screen fractions; gnuplot's y counts from the bottom, pixel
    row = H - 1 - y. pngcairo puts a fraction s at s * (W - 1) pixels and
    its frame lines on whole pixels. The gd terminal truncates: the left and
    bottom margins to floor(s W) and floor(s H), the right and top ones to
    floor(s (W - 1)) and floor(s (H - 1)), so each fraction is taken half a
    pixel past the wanted one, safe from rounding. Both set their text at
    96 dpi, a point three quarters of a pixel."""
    left, top, right, bottom = frame
    points = f"{font_size * 0.75:g}" if font_size else "11"
    if cairo:
        lo_x = hi_x = lambda column: column / (WIDTH - 1)  # noqa: E731
        lo_y = hi_y = lambda row: (HEIGHT - 1 - row) / (HEIGHT - 1)  # noqa: E731
        terminal = f"pngcairo size 800,600 background rgb 'white' font 'Liberation Sans,{points}'"
    else:
        lo_x = lambda column: (column + 0.5) / WIDTH  # noqa: E731
        hi_x = lambda column: (column + 0.5) / (WIDTH - 1)  # noqa: E731
        lo_y = lambda row: (HEIGHT - 1 - row + 0.5) / HEIGHT  # noqa: E731
        hi_y = lambda row: (HEIGHT - 1 - row + 0.5) / (HEIGHT - 1)  # noqa: E731
        terminal = "png size 800,600 background rgb 'white'"
        if font_size:  # gd's own font otherwise, which has one size
            terminal += f" font 'Liberation Sans,{points}'"
    return [
        f"set terminal {terminal}",
        f"set lmargin at screen {lo_x(left)!r}", f"set rmargin at screen {hi_x(right)!r}",
        f"set tmargin at screen {hi_y(top)!r}", f"set bmargin at screen {lo_y(bottom)!r}",
    ]


def gnuplot(graph, folder, out, cairo):
    data = folder / f"{graph['name']}.dat"
    write_data(graph, data)
    lines = gnuplot_frame(graph["frame"], cairo, graph.get("font_size")) + [
        f"set output '{out}'",
        f"set xrange [{graph['xlim'][0]!r}:{graph['xlim'][1]!r}]",
        f"set yrange [{graph['ylim'][0]!r}:{graph['ylim'][1]!r}]",
        "set mxtics", "set mytics", "set border lw 1",
        "set key top right" if graph["legend"] else "unset key",
    ]
    if log_x(graph):
        lines += ["set logscale x", "set format x '10^{%L}'"]
    if log_y(graph):
        lines += ["set logscale y", "set format y '10^{%L}'"]
    if graph["grid"]:
        lines.append("set grid")
    # gd draws a line of an even width off its centre: its usual width 1.
    width = 2 if cairo else 1
    plots = [f"'{data}' using 1:{i + 2} with lines lw {width} lc rgb '{colour}' title '{label}'"
             for i, (colour, label, _) in enumerate(graph["curves"])]
    lines.append("plot " + ", ".join(plots))
    subprocess.run(["gnuplot"], input="\n".join(lines), text=True, check=True)


def grace_view(frame):
    """Viewport units are page points over the page's shorter side; at 72 dpi
    a point is a pixel, column = v * 600, row = 600 - v * 600."""
    left, top, right, bottom = frame
    return f"VIEW {left / 600!r}, {(600 - bottom) / 600!r}, {right / 600!r}, {(600 - top) / 600!r}"


def grace(graph, folder, out):
    """Reading data must not rescale the world, and the curves are 3 pixels
    wide: Grace draws without anti-aliasing, and a line of an even width off
    its centre."""
    data = folder / f"{graph['name']}.dat"
    write_data(graph, data)
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = [
        "PAGE SIZE 800, 600", "WITH G0",
        f"WORLD {x1!r}, {y1!r}, {x2!r}, {y2!r}",
        grace_view(graph["frame"]),
        "FRAME LINEWIDTH 1.0", "AUTOSCALE ONREAD NONE",
    ]
    for axis, is_log, (lo, hi) in (("X", log_x(graph), graph["xlim"]), ("Y", log_y(graph), graph["ylim"])):
        if is_log:
            lines += [f"{axis}AXES SCALE LOGARITHMIC", f"{axis}AXIS TICK MAJOR 10", f"{axis}AXIS TICK MINOR TICKS 8",
                      f'{axis}AXIS TICKLABEL FORMAT POWER', f"{axis}AXIS TICKLABEL PREC 0"]
        else:
            lines += [f"{axis}AXIS TICK MAJOR {(hi - lo) / 5!r}", f"{axis}AXIS TICK MINOR TICKS 1"]
        if graph.get("font_size"):
            lines.append(f"{axis}AXIS TICKLABEL CHAR SIZE {graph['font_size'] / GRACE_EM!r}")
        if graph["grid"]:  # grey, at the major ticks
            lines += [f"{axis}AXIS TICK MAJOR GRID ON", f"{axis}AXIS TICK MAJOR COLOR 7"]
    for i, (colour, label, _) in enumerate(graph["curves"]):
        r, g, b = (int(colour[k:k + 2], 16) for k in (1, 3, 5))
        lines += [
            f'MAP COLOR {16 + i} TO ({r}, {g}, {b}), "curve{i}"',
            f'READ BLOCK "{data}"', f'BLOCK XY "1:{i + 2}"',
            f"S{i} LINE COLOR {16 + i}", f"S{i} LINEWIDTH 3.0", f'S{i} LEGEND "{label}"',
        ]
    lines.append("LEGEND ON" if graph["legend"] else "LEGEND OFF")
    script = folder / f"{graph['name']}.bat"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["gracebat", "-nosafe", "-batch", str(script), "-hardcopy", "-hdevice", "PNG",
                    "-printfile", str(out)], check=True, stdout=subprocess.DEVNULL)


def r_plt(frame):
    """par(plt) gives the plotting area as fractions of the device, whose
    cairo coordinates run from the picture's top-left edge: a line at device
    position d covers d - w/2 .. d + w/2, so its centre is pixel index d - 0.5."""
    left, top, right, bottom = frame
    return [(left + 0.5) / WIDTH, (right + 0.5) / WIDTH, (HEIGHT - bottom - 0.5) / HEIGHT,
            (HEIGHT - top - 0.5) / HEIGHT]


def r_plot(graph, folder, out):
    data = folder / f"{graph['name']}.dat"
    write_data(graph, data)
    plt = r_plt(graph["frame"])
    log = ("x" if log_x(graph) else "") + ("y" if log_y(graph) else "")
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    colours = ", ".join(f'"{c}"' for c, _, _ in graph["curves"])
    # The device's 12 points at 72 dpi are 12 pixels.
    cex = f", cex.axis = {graph['font_size'] / 12!r}" if graph.get("font_size") else ""
    labels = ", ".join(f'"{label}"' for _, label, _ in graph["curves"])
    lines = [
        f'd <- read.table("{data}")',
        f'png("{out}", width = 800, height = 600, type = "cairo", bg = "white")',
        f"par(plt = c({', '.join(repr(p) for p in plt)}), xaxs = 'i', yaxs = 'i', las = 1{cex})",
        f'plot(NA, xlim = c({x1!r}, {x2!r}), ylim = c({y1!r}, {y2!r}), log = "{log}", xlab = "x", ylab = "y")',
        "grid(col = 'grey70', lty = 'dotted')" if graph["grid"] else "",
        f"cols <- c({colours})",
        "for (i in seq_along(cols)) lines(d[[1]], d[[i + 1]], col = cols[i], lwd = 2)",
        f"legend('topright', legend = c({labels}), col = cols, lwd = 2, bg = 'white')" if graph["legend"] else "",
        "box()", "invisible(dev.off())",
    ]
    script = folder / f"{graph['name']}.R"
    script.write_text("\n".join(lines) + "\n")
    subprocess.run(["Rscript", "--vanilla", str(script)], check=True)


def ploticus_rectangle(frame):
    """The area's rectangle is in inches from the page's lower-left corner, at
    100 pixels an inch: column = 100 x, row = 600 - 100 y. Its curves come
    out about half a pixel left of and below their values, whatever their
    width; the frame lies exactly on the rectangle."""
    left, top, right, bottom = frame
    return f"rectangle: {left / 100!r} {(HEIGHT - bottom) / 100!r} {right / 100!r} {(HEIGHT - top) / 100!r}"


def ploticus(graph, folder, out):
    left, top, right, bottom = graph["frame"]
    data = folder / f"{graph['name']}.dat"
    write_data(graph, data)
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    lines = [
        "#proc page", "backgroundcolor: white", "",
        "#proc getdata", f"file: {data}", "",
        "#proc areadef",
        ploticus_rectangle(graph["frame"]),
        f"xrange: {x1!r} {x2!r}", f"yrange: {y1!r} {y2!r}", "frame: width=0.5 color=black",
        "xscaletype: log" if log_x(graph) else "", "yscaletype: log" if log_y(graph) else "", "",
    ]
    for axis, is_log, (lo, hi) in (("x", log_x(graph), graph["xlim"]), ("y", log_y(graph), graph["ylim"])):
        lines.append(f"#proc {axis}axis")
        if graph.get("font_size"):  # points at 100 pixels an inch
            lines.append(f"stubdetails: size={graph['font_size'] * 0.72:g}")
        if graph["grid"]:
            lines += ["grid: color=gray(0.8) width=0.5", "gridskip: both"]  # not over the frame
        if is_log:  # a stub at every decade, named by its power of ten
            decades = range(int(np.ceil(np.log10(lo))), int(np.floor(np.log10(hi))) + 1)
            lines += ["selflocatingstubs: text"] + [f"   {10.0 ** e!r}   {10.0 ** e:g}" for e in decades] + [""]
        else:
            lines += [f"stubs: inc {(hi - lo) / 5!r}", "minortics: yes", f"minorticinc: {(hi - lo) / 10!r}", ""]
    for i, (colour, label, _) in enumerate(graph["curves"]):
        r, g, b = (int(colour[k:k + 2], 16) / 255 for k in (1, 3, 5))
        lines += ["#proc lineplot", "xfield: 1", f"yfield: {i + 2}",
                  f"linedetails: color=rgb({r:.4f},{g:.4f},{b:.4f}) width=2", f"legendlabel: {label}", ""]
    if graph["legend"]:
        lines += ["#proc legend", f"location: {(right - 130) / 100!r} {(HEIGHT - top - 15) / 100!r}", ""]
    script = folder / f"{graph['name']}.pl"
    script.write_text("\n".join(lines) + "\n")
    # Its own font comes in five fixed sizes: a sized one is a FreeType font,
    # which it takes by a name on GDFONTPATH (a whole path overflows it).
    font = ["-font", "LiberationSans-Regular"] if graph.get("font_size") else []
    env = dict(os.environ, GDFONTPATH=LIBERATION) if font else None
    subprocess.run(["ploticus", "-png", "-pagesize", "8,6", "-crop", "0,0,8,6"] + font + ["-o", str(out), str(script)],
                   check=True, env=env)


def matplotlib_plot(graph, out, style):
    """Agg's display coordinates run from the lower-left edge, pixel k
    covering k .. k + 1. The axes' edges are put on the pixel edges before the
    frame's pixels, and the spines snapped from there: a line of an odd whole
    number of pixels onto those pixels' centres, one of an even number stays
    on the edge, half a pixel before. The curve is not snapped, so the
    frame's values are taken where its lines were drawn."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    left, top, right, bottom = graph["frame"]
    with plt.style.context(style):
        fig = plt.figure(figsize=(WIDTH / 100, HEIGHT / 100), dpi=100, facecolor="white")
        ax = fig.add_axes([left / WIDTH, (HEIGHT - bottom) / HEIGHT, (right - left) / WIDTH, (bottom - top) / HEIGHT])
        ax.set_facecolor("white")
        if log_x(graph):
            ax.set_xscale("log")
        if log_y(graph):
            ax.set_yscale("log")
        for colour, label, ys in graph["curves"]:
            ax.plot(graph["xs"], ys, color=colour, linewidth=1.5, label=label)
        ax.set_xlim(*graph["xlim"])
        ax.set_ylim(*graph["ylim"])
        ax.grid(graph["grid"])
        if graph.get("font_size"):  # points at 100 dpi
            ax.tick_params(labelsize=graph["font_size"] * 0.72)
        if graph["legend"]:
            ax.legend(loc="upper right")
        fig.savefig(out, dpi=100, facecolor="white")
        shift = 0.0 if round(matplotlib.rcParams["axes.linewidth"] * 100 / 72) % 2 else -0.5
        frame = tuple(v + shift for v in graph["frame"])
        inverse = ax.transData.inverted()
        x1, y1 = inverse.transform((frame[0] + 0.5, HEIGHT - frame[3] - 0.5))
        x2, y2 = inverse.transform((frame[2] + 0.5, HEIGHT - frame[1] - 0.5))
        plt.close(fig)
    return frame, tuple(float(v) for v in (x1, y1, x2, y2))


def draw(graph, folder, out):
    """Draws the graph; returns the frame lines' centres and the graph values
    (x1, y1, x2, y2) at its lower-left and upper-right corners."""
    program = graph["program"]
    if program in MATPLOTLIB_STYLES:
        return matplotlib_plot(graph, out, MATPLOTLIB_STYLES[program])
    if program.startswith("gnuplot"):
        gnuplot(graph, folder, out, cairo=program == "gnuplot-pngcairo")
    elif program == "grace":
        grace(graph, folder, out)
    elif program == "R":
        r_plot(graph, folder, out)
    else:
        ploticus(graph, folder, out)
    (x1, x2), (y1, y2) = graph["xlim"], graph["ylim"]
    return graph["frame"], (x1, y1, x2, y2)
