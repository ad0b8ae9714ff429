#!/usr/bin/env python3
"""sim_report_browser.py: tolvarin-sim's --report page opened in a real
browser (headless Chromium).

The page must be self-contained (no script, no stylesheet or picture
fetched from elsewhere, every picture a data: address that decodes to
well-formed SVG); Chromium must load it without a console error or a
failed resource, its DOM must hold the schematic with every part of the
run's JSON document, the tables with the run's figures and one picture
per plot; its screenshot must be a page with something drawn on it.
Exits 77 (CTest's skip) saying why when no Chromium is installed.
Usage: sim_report_browser.py PATH-TO-tolvarin-sim
"""
import base64
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def chromium(exe, args, url, tmp):
    profile = os.path.join(tmp, "profile")
    cmd = [exe, "--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
           "--user-data-dir=" + profile, "--enable-logging=stderr", "--v=0"] + args + [url]
    return subprocess.run(cmd, capture_output=True, text=True, timeout=180)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    sim = sys.argv[1]
    exe = browser()
    if not exe:
        print("SKIP: no Chromium installed (apt-get install chromium; .ci/run installs it)")
        return 77
    with tempfile.TemporaryDirectory() as tmp:
        page = os.path.join(tmp, "report.html")
        p = subprocess.run([sim, "--json", "--sweep", "3.6:4:0.2", "--report", page],
                           capture_output=True, text=True, timeout=600)
        check(p.returncode == 0, "the run failed: %s" % p.stderr)
        doc = json.loads(p.stdout)
        html = open(page, encoding="utf-8").read()

        # Self-contained: nothing fetched, no script.
        check("<script" not in html.lower(), "the page has a script")
        check("<link" not in html.lower(), "the page links a file")
        srcs = re.findall(r'src="([^"]*)"', html)
        check(all(s.startswith("data:image/svg+xml;base64,") for s in srcs),
              "a picture comes from elsewhere: %s" % [s[:40] for s in srcs])
        check(not re.search(r"url\(\s*['\"]?(https?:|file:|//)", html), "the style fetches a file")
        for s in srcs:
            svg = base64.b64decode(s.split(",", 1)[1])
            try:
                ET.fromstring(svg)
            except ET.ParseError as e:
                check(False, "a picture is not well-formed SVG: %s" % e)
        check(len(srcs) == 3, "%d plot pictures, want waveforms, spectrum and sweep" % len(srcs))

        # Chromium's own reading of it.
        shot = os.path.join(tmp, "shot.png")
        r = chromium(exe, ["--window-size=1280,2400", "--screenshot=" + shot], "file://" + page,
                     tmp)
        check(os.path.exists(shot), "Chromium took no screenshot: %s" % r.stderr[-500:])
        errors = [l for l in r.stderr.splitlines()
                  if "CONSOLE" in l or "Failed to load resource" in l or "Uncaught" in l]
        check(not errors, "the page logged errors: %s" % errors)
        if os.path.exists(shot):
            check(png_size(shot) == (1280, 2400), "the screenshot is not the window's size")
            # A blank page compresses to a few kilobytes; text, tables and a
            # schematic take far more.
            check(os.path.getsize(shot) > 40000,
                  "the screenshot looks blank (%d bytes)" % os.path.getsize(shot))
        r = chromium(exe, ["--dump-dom"], "file://" + page, tmp)
        dom = r.stdout
        check("<svg" in dom, "the DOM holds no inline schematic")
        for key in doc["elements"]:
            name = key.rsplit("_", 1)[0]
            check('id="%s"' % name in dom, "the schematic in the DOM lacks %s" % name)
        check(dom.count("<table") >= 4, "the DOM holds %d tables" % dom.count("<table"))
        for point in doc["points"]:
            check("%.6g" % point["vpk_V"] in dom, "the figures table lacks vpk %.6g" % point["vpk_V"])
            check("%.6g" % point["pout_W"] in dom, "the figures table lacks pout %.6g" % point["pout_W"])
        for caption in ("One steady period", "Harmonics at the load", "Against the drive frequency"):
            check('alt="%s"' % caption in dom, "the DOM lacks the plot %s" % caption)
        if failures and os.path.exists(shot):
            shutil.copy(shot, "/tmp/tolvarin-report-failed.png")

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
