"""Scans and photographs of a drawn graph, made with ImageMagick, and the
mapping each applies to the page, so that the frame corners' true places in
the result are known to a fraction of a pixel.

ImageMagick's -distort works in continuous coordinates in which pixel k's
centre lies at k + 0.5; the pixel indices used everywhere else here have
pixel k's centre at k, so every mapping converts on the way in and out."""

import json
import math
import subprocess

import numpy as np

CONVERT = "/usr/bin/convert"
PAGE = (800, 600)
SCAN_TINT = "#f6f1e4"
TABLE = "#5b5247"


def run_convert(args):
    subprocess.run([CONVERT] + [str(a) for a in args], check=True)


def read_rgb(path, size):
    raw = subprocess.run([CONVERT, str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return np.frombuffer(raw, np.uint8).reshape(size[1], size[0], 3)


def darkness(path):
    raw = subprocess.run([CONVERT, str(path), "-background", "white", "-alpha", "remove", "-colorspace", "gray",
                          "-depth", "8", "gray:-"], capture_output=True, check=True).stdout
    return 255.0 - np.frombuffer(raw, np.uint8).reshape(PAGE[1], PAGE[0])


def frame_line_offsets(path, frame):
    """How far each drawn side (left, top, right, bottom) lies from its
    computed centre: the median over the side of the line's darkness-weighted
    centre, across which ticks, labels and curves are outvoted."""
    dark = darkness(path)
    left, top, right, bottom = frame
    offsets = []
    for expected, vertical, lo, hi in ((left, True, top, bottom), (top, False, left, right),
                                       (right, True, top, bottom), (bottom, False, left, right)):
        first = int(math.floor(expected)) - 3
        centres = []
        for along in range(int(lo) + 20, int(hi) - 20, 3):
            profile = dark[along, first:first + 8] if vertical else dark[first:first + 8, along]
            weights = profile - profile.min()
            if (profile > 60).sum() > 3 or weights.sum() < 60:
                continue  # a tick or a grid line along the profile, or no line at all
            centres.append((weights * np.arange(first, first + 8)).sum() / weights.sum())
        offsets.append(float(np.median(centres)) - expected if centres else math.inf)
    return offsets


def homography(src, dst):
    """The projective mapping taking the four points src to dst."""
    rows = []
    for (x, y), (u, v) in zip(src, dst):
        rows.append([x, y, 1, 0, 0, 0, -u * x, -u * y, -u])
        rows.append([0, 0, 0, x, y, 1, -v * x, -v * y, -v])
    _, _, vt = np.linalg.svd(np.array(rows, float))
    m = vt[-1].reshape(3, 3)
    return m / m[2, 2]


def rotation(degrees, centre, moved_to, scale=1.0):
    """ImageMagick's SRT: scaled and turned about `centre` (clockwise on the
    picture for a positive angle, its rows running downwards), then moved."""
    a = math.radians(degrees)
    c, s = scale * math.cos(a), scale * math.sin(a)
    (cx, cy), (tx, ty) = centre, moved_to
    return np.array([[c, -s, tx - c * cx + s * cy], [s, c, ty - s * cx - c * cy], [0.0, 0.0, 1.0]])


def index_mapping(m):
    """The mapping between pixel indices that `m` makes in continuous coordinates."""
    def apply(column, row):
        x, y, w = m @ np.array([column + 0.5, row + 0.5, 1.0])
        return x / w - 0.5, y / w - 0.5
    return apply


def photo_corners(v, size):
    """Where a photograph at an angle puts the page's corners: the side
    farthest from the camera shortened by the keystone share, the whole
    turned a little, scaled and centred in the photograph."""
    w, h = PAGE
    k = v["keystone"]
    corners = {"top": [(k * w / 2, 0), (w - k * w / 2, 0), (w, h), (0, h)],
               "bottom": [(0, 0), (w, 0), (w - k * w / 2, h), (k * w / 2, h)],
               "left": [(0, k * h / 2), (w, 0), (w, h), (0, h - k * h / 2)],
               "right": [(0, 0), (w, k * h / 2), (w, h - k * h / 2), (0, h)]}[v["short_side"]]
    turn = rotation(v["angle"], (w / 2, h / 2), (size[0] / 2, size[1] / 2), v["scale"])
    return [tuple((turn @ np.array([x, y, 1.0]))[:2]) for x, y in corners]


def degradations(v, size):
    """Blur, the paper's tint or the light's fall-off, noise and JPEG."""
    w, h = size
    photo = v["kind"].startswith("photo")
    light = "radial-gradient:#fdfbf5-#d8d2c4" if photo else f"xc:{SCAN_TINT}"
    args = ["-blur", f"0x{0.7 if photo else 0.5}",
            "(", "-size", f"{w}x{h}", light, ")", "-compose", "multiply", "-composite"]
    if "noise" in v:
        args += ["-seed", v["seed"], "-attenuate", v["noise"], "+noise", "Gaussian"]
    if "quality" in v:
        args += ["-quality", v["quality"]]
    # No time stamps, so that the same page makes the same file.
    return args + ["-strip", "-define", "png:exclude-chunks=date,time"]


def distort_page(base, out, v):
    """Writes the scan or photograph `v` of the page `base` to `out`; returns
    the mapping of pixel indices from the page to it, and its size."""
    w, h = PAGE
    start = [base, "-background", "white", "-alpha", "remove", "-alpha", "off"]
    if v["kind"].startswith("scan"):
        size = PAGE
        m = rotation(v["angle"], (w / 2, h / 2), (w / 2, h / 2))
        geometry = ["-virtual-pixel", "white", "-distort", "SRT", f"{w / 2},{h / 2} 1 {v['angle']!r} {w / 2},{h / 2}"]
    else:
        size = (round(w * v["scale"]), round(h * v["scale"]))
        src = [(0, 0), (w, 0), (w, h), (0, h)]
        dst = photo_corners(v, size)
        m = homography(src, dst)
        points = " ".join(f"{x},{y} {u!r},{t!r}" for (x, y), (u, t) in zip(src, dst))
        geometry = ["-virtual-pixel", "background", "-background", TABLE,
                    "-define", f"distort:viewport={size[0]}x{size[1]}+0+0", "-distort", "Perspective", points]
    run_convert(start + geometry + degradations(v, size) + [out])
    return index_mapping(m), size


def write_pages(name, picture, out, scanned, seed, describe):
    """The picture as drawn and, when `scanned`, its JPEG scan, each beside
    the record `describe(page_name, file_name, kind)`; the scan leaves every
    pixel where it was, so both share one truth. Returns how many pages."""
    pages = [(name, f"{name}.png", "drawn")]
    run_convert([picture, "-strip", "-define", "png:exclude-chunks=date,time", out / pages[0][1]])
    if scanned:
        pages.append((f"{name}-scan", f"{name}-scan.jpg", "scan-jpeg"))
        v = {"kind": "scan-jpeg", "noise": 0.35, "seed": seed, "quality": 60}
        run_convert([picture, "-background", "white", "-alpha", "remove", "-alpha", "off"] + degradations(v, PAGE)
                    + [out / pages[1][1]])
    for page_name, file_name, kind in pages:
        (out / f"{page_name}.json").write_text(json.dumps(describe(page_name, file_name, kind), indent=1))
    return len(pages)
