#!/usr/bin/env python3
"""sim_plots_check.py: tolvarin-sim's --plot SVG files read back.

Each file must be well-formed XML; the points drawn, turned back into
the panel's units through the window and place each panel records, must
be the figures the same run gives in its JSON document (the waveform's
highest point is vpk_V, the spectrum's bars reach harmonics_dBc and its
dashed step the mask's limits_dBc,
the sweep's lines pass through every drive frequency's figures); a plot
is made only when its run was asked for; a bad folder is refused before
anything runs.  Usage: sim_plots_check.py PATH-TO-tolvarin-sim
"""
import json
import math
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
PANEL = "{https://tolvarin.invalid/plot}panel"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(sim, args):
    p = subprocess.run([sim] + args, capture_output=True, text=True, timeout=600)
    return p.returncode, p.stdout, p.stderr


def panels(root):
    out = {}
    for p in root.iter(PANEL):
        out[p.get("name")] = {k: float(v) for k, v in p.attrib.items() if k != "name"}
    return out


def shapes(root, filled=False):
    """Every line drawn (or every filled area) as a list of (x, y) in page
    units, y up."""
    out = []
    for e in root.iter(SVG + "polyline"):
        if (e.get("fill", "none") != "none") != filled:
            continue
        pts = []
        for pair in e.get("points").split():
            x, y = pair.split(",")
            pts.append((float(x), float(y)))
        out.append(pts)
    return out


def inside(p, pts):
    """The points strictly inside a panel's frame (ticks lie outside)."""
    e = 0.05
    return [(x, y) for x, y in pts
            if p["left"] + e < x < p["right"] - e and p["bottom"] + e < y < p["top"] - e]


def world(p, x, y):
    wx = p["x0"] + (x - p["left"]) / (p["right"] - p["left"]) * (p["x1"] - p["x0"])
    wy = p["y0"] + (y - p["bottom"]) / (p["top"] - p["bottom"]) * (p["y1"] - p["y0"])
    return wx, wy


def resolution(p):
    """What 0.05 of a page unit is worth in y, x: the SVG's 0.01 and
    PLplot's own rounding of its points and of the frame's place."""
    return (0.05 * (p["y1"] - p["y0"]) / (p["top"] - p["bottom"]),
            0.05 * (p["x1"] - p["x0"]) / (p["right"] - p["left"]))


def check_waveforms(path, point):
    root = ET.parse(path).getroot()
    check(root.tag == SVG + "svg", "waveforms.svg is not an SVG")
    check("BASIC" in root.find(SVG + "title").text, "waveforms.svg does not name the design")
    p = panels(root)["voltage"]
    # PLplot writes a line as many short polylines: every point drawn
    # inside the frame counts (the key and the labels are outside it).
    drawn = [pt for s in shapes(root) for pt in inside(p, s)]
    check(len(drawn) > 300, "waveforms.svg holds no switch-voltage trace")
    top = max(world(p, x, y)[1] for x, y in drawn)
    dy, _ = resolution(p)
    check(abs(top - point["vpk_V"]) <= dy + 1e-6 * point["vpk_V"],
          "waveform peak %.6g V drawn, the run's vpk_V is %.6g V" % (top, point["vpk_V"]))
    texts = " ".join("".join(t.itertext()) for t in root.iter(SVG + "text"))
    check("turn-on" in texts, "waveforms.svg does not mark the turn-on instant")
    check("(V)" in texts and "(A)" in texts and "(ns)" in texts,
          "waveforms.svg axes lack their units")


def check_spectrum(path, point, mask):
    """A bar per harmonic H1 to H10 up to its level in the run's JSON, and
    the limit drawn across each of H2 to H10 at the level the JSON gives."""
    root = ET.parse(path).getroot()
    p = panels(root)["spectrum"]
    dy, dx = resolution(p)
    bars = {}
    for s in shapes(root, filled=True):
        pts = [world(p, x, y) for x, y in s]
        xs = [x for x, _ in pts]
        centre = round((min(xs) + max(xs)) / 2)
        bars[centre] = max(y for _, y in pts)
    levels = [0.0] + point["harmonics_dBc"]
    for h, want in enumerate(levels, start=1):
        check(h in bars and abs(bars[h] - want) <= dy + 1e-9,
              "spectrum bar H%d reaches %s dBc, the run gives %.6g" % (h, bars.get(h), want))
    limits = mask.get("limits_dBc") or []
    # The step is dashed: pieces of level line, some within each slot.
    flats = []
    for s in shapes(root):
        pts = [world(p, x, y) for x, y in s]
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            if abs(y0 - y1) <= dy and x1 != x0:
                flats.append(((x0 + x1) / 2, y0))
    for h, want in enumerate(limits, start=2):
        check(any(abs(x - h) < 0.5 and abs(y - want) <= dy + 1e-9 for x, y in flats),
              "the limit across H%d at %.6g dBc is not drawn" % (h, want))


def check_schematic(path, doc):
    """Every element the run's JSON lists is drawn once, and the switch."""
    root = ET.parse(path).getroot()
    drawn = sorted(g.get("id") for g in root.iter(SVG + "g") if g.get("id"))
    want = sorted([k.rsplit("_", 1)[0] for k in doc["elements"]] + ["switch"])
    check(drawn == want, "schematic.svg draws %s, the run's elements are %s" % (drawn, want))


def check_sweep(path, doc):
    root = ET.parse(path).getroot()
    ps = panels(root)
    lines = shapes(root)
    figures = {"pout": lambda q: q["pout_W"], "eff": lambda q: 100 * q["eff"],
               "vpk": lambda q: q["vpk_V"], "pdev": lambda q: q["pdev_W"]}
    for name, figure in figures.items():
        p = ps[name]
        dy, dx = resolution(p)
        want = [(q["drive_MHz"], figure(q)) for q in doc["points"] if q["ok"]]
        # The line is written as segments: each figure must be one of
        # their ends.
        drawn = [world(p, x, y) for s in lines for x, y in inside(p, s)]
        for w in want:
            check(any(abs(d[0] - w[0]) <= dx and abs(d[1] - w[1]) <= dy for d in drawn),
                  "sweep.svg: the %s line misses the run's %s" % (name, w))
        check(len(want) == 5, "the sweep did not run its five frequencies")


def check_tolerance(path, tol):
    """Each histogram counts every sample that ran; Vmax is drawn."""
    root = ET.parse(path).getroot()
    ps = panels(root)
    ran = tol["samples"] - tol["failed"]
    for name in ("pout", "vpk", "pdev"):
        p = ps[name]
        total = 0.0
        for s in shapes(root, filled=True):
            pts = [world(p, x, y) for x, y in s]
            xs = [x for x, _ in pts]
            if p["x0"] <= min(xs) and max(xs) <= p["x1"] and min(y for _, y in pts) >= -1e-6:
                inside_panel = [pt for pt in s if p["left"] - 0.1 <= pt[0] <= p["right"] + 0.1]
                if len(inside_panel) == len(s):
                    total += max(y for _, y in pts)
        check(abs(total - ran) < 0.05 * 6,
              "tolerance.svg %s histogram counts %.2f samples, %d ran" % (name, total, ran))
    p = ps["vpk"]
    dy, dx = resolution(p)
    vertical = [[world(p, x, y) for x, y in s] for s in shapes(root)]
    at_vmax = [l for l in vertical if l and all(abs(x - tol["vmax_V"]) <= dx for x, _ in l)]
    check(at_vmax, "tolerance.svg draws no line at Vmax %.6g V" % tol["vmax_V"])


def check_mismatch(path, points, vmax):
    """Each phase's peak voltage at its angle; the rating circle drawn."""
    root = ET.parse(path).getroot()
    p = panels(root)["vpk"]
    dy, dx = resolution(p)
    drawn = [world(p, x, y) for s in shapes(root) for x, y in s]
    for q in points:
        a = math.radians(q["phase_deg"])
        want = (q["vpk_V"] * math.cos(a), q["vpk_V"] * math.sin(a))
        check(any(abs(d[0] - want[0]) <= dx and abs(d[1] - want[1]) <= dy for d in drawn),
              "mismatch.svg lacks Vpk %.6g V at %g deg" % (q["vpk_V"], q["phase_deg"]))
    on_rating = [d for d in drawn if abs(math.hypot(*d) - vmax) <= 2 * dx]
    check(len(on_rating) >= 60, "mismatch.svg draws no rating circle at %g V" % vmax)


def main():
    sim = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        # One frequency: the waveforms and the spectrum, no sweep.
        folder = os.path.join(tmp, "new", "plots")
        code, out, err = run(sim, ["--json", "--plot", folder])
        check(code == 0, "the built-in example failed: %s" % err)
        doc = json.loads(out)
        check_waveforms(os.path.join(folder, "waveforms.svg"), doc["points"][0])
        check_spectrum(os.path.join(folder, "spectrum.svg"), doc["points"][0], doc["mask"])
        check_schematic(os.path.join(folder, "schematic.svg"), doc)
        check(not os.path.exists(os.path.join(folder, "sweep.svg")),
              "sweep.svg written without --sweep")

        # A sweep: its plot, and the others of the design frequency.
        folder = os.path.join(tmp, "sweep")
        code, out, err = run(sim, ["--json", "--sweep", "3.4:4.2:0.2", "--plot", folder])
        check(code == 0, "the sweep failed: %s" % err)
        check_sweep(os.path.join(folder, "sweep.svg"), json.loads(out))

        # The longest network with its trap: every part in the schematic.
        folder = os.path.join(tmp, "trap")
        code, out, err = run(sim, ["--json", "--topology", "pinet-el-tch", "--notch",
                                   "--plot", folder])
        check(code == 0, "the trap design failed: %s" % err)
        check_schematic(os.path.join(folder, "schematic.svg"), json.loads(out))

        # The analyses draw theirs only when run.
        check(not os.path.exists(os.path.join(folder, "tolerance.svg"))
              and not os.path.exists(os.path.join(folder, "mismatch.svg")),
              "an analysis plot was written without its run")
        folder = os.path.join(tmp, "analyses")
        code, out, err = run(sim, ["--json", "--tolerance", "--samples", "40", "--mismatch", "2.5",
                                   "--vmax", "60", "--plot", folder])
        check(code == 0, "the analyses failed: %s" % err)
        doc = json.loads(out)
        check_tolerance(os.path.join(folder, "tolerance.svg"), doc["tolerance"])
        check_mismatch(os.path.join(folder, "mismatch.svg"), doc["mismatch"], 60.0)

        # A folder that is a file is refused before anything runs.
        blocker = os.path.join(tmp, "file")
        open(blocker, "w").close()
        code, out, err = run(sim, ["--plot", blocker])
        check(code == 2 and "--plot" in err and out == "",
              "a file given as the plot folder was not refused up front: %d %r" % (code, err))
        code, out, err = run(sim, ["--plot", os.path.join(blocker, "under")])
        check(code == 2 and "--plot" in err, "a folder under a file was not refused")
        # So is a report that cannot be written, and nothing is made.
        code, out, err = run(sim, ["--report", tmp, "--plot", os.path.join(tmp, "unmade")])
        check(code == 2 and "--report" in err and out == "",
              "a folder given as the report was not refused up front: %d %r" % (code, err))
        check(not os.path.exists(os.path.join(tmp, "unmade")),
              "a refused run made its plot folder")

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
