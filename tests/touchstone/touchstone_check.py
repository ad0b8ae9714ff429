#!/usr/bin/env python3
"""The --touchstone file read back by an independent reader (scikit-rf).

The output network is a passive reciprocal two-port, so the file must
show S12 = S21 and no gain (every singular value of S at most 1).  And
the input impedance with the load resistance at port 2 must be what
--impedance gives by its own AC analysis, at three frequencies, within
0.1 %.  Exit 77 (skipped) when scikit-rf is missing.

Usage: touchstone_check.py TOLVARIN_SIM_BINARY
"""
import os
import re
import subprocess
import sys
import tempfile

try:
    import numpy as np
    import skrf
except ImportError:
    print("scikit-rf is not installed (apt-get install python3-scikit-rf): skipped")
    sys.exit(77)

SIM = sys.argv[1]
# The built-in example's load (Ro of the BASIC network; Rload behind a match).
CASES = [
    (["--topology", "basic"], "3:5:1"),
    (["--topology", "pinet-el-tch"], "3.4:4.2:0.4"),
    (["--topology", "pinet-el-tch", "--notch", "--touchstone-ref", "75"], "2:7.6:2.8"),
]


def run(args):
    out = subprocess.run([SIM] + args, capture_output=True, text=True, check=True)
    return out.stdout


def impedance_table(text):
    """Drive MHz -> (Rp, Xp) with losses, from the --impedance section."""
    rows = {}
    section = text.split("Impedance seen by the device", 1)[1]
    for line in section.splitlines():
        m = re.match(r"^\s*(\d+\.\d+)\s+(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+)\s*$",
                     line)
        if m:
            rows[float(m.group(1))] = (float(m.group(4)), float(m.group(5)))
    return rows


def load_resistance(text):
    m = re.search(r"(Ro|Rload) ([\d.]+) ohm", text)
    if m:
        return float(m.group(2))
    raise SystemExit("no load resistance in the report")


failures = []
for extra, sweep in CASES:
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "net.s2p")
        text = run(extra + ["--sweep", sweep, "--impedance", "--touchstone", path,
                            "--json"])
        import json
        doc = json.loads(text)
        key = "Ro_ohm" if "Ro_ohm" in doc["elements"] else "Rload_ohm"
        rload = doc["elements"][key]
        table = impedance_table(run(extra + ["--sweep", sweep, "--impedance"]))
        net = skrf.Network(path)
    s = net.s
    z0 = float(np.real(net.z0[0, 0]))
    name = " ".join(extra)
    if np.max(np.abs(s[:, 0, 1] - s[:, 1, 0])) > 1e-9:
        failures.append(f"{name}: S12 differs from S21")
    sv = np.linalg.svd(s, compute_uv=False)
    if np.max(sv) > 1.0 + 1e-9:
        failures.append(f"{name}: not passive, largest singular value {np.max(sv)}")
    gl = (rload - z0) / (rload + z0)
    gin = s[:, 0, 0] + s[:, 0, 1] * s[:, 1, 0] * gl / (1.0 - s[:, 1, 1] * gl)
    zin = z0 * (1.0 + gin) / (1.0 - gin)
    yin = 1.0 / zin
    checked = 0
    for i, f in enumerate(net.f / 1e6):
        key = min(table, key=lambda k: abs(k - f))
        if abs(key - f) > 1e-6:
            continue
        rp, xp = 1.0 / yin[i].real, -1.0 / yin[i].imag  # Xp positive when inductive
        want_rp, want_xp = table[key]
        # The report prints Rp to 3 decimals and Xp to 2: allow that rounding too.
        if abs(rp - want_rp) > max(1e-3 * abs(want_rp), 5e-4):
            failures.append(f"{name} {f} MHz: Rp {rp} against --impedance {want_rp}")
        if abs(xp - want_xp) > max(1e-3 * abs(want_xp), 5e-3):
            failures.append(f"{name} {f} MHz: Xp {xp} against --impedance {want_xp}")
        checked += 1
    if checked != 3:
        failures.append(f"{name}: {checked} frequencies compared, not 3")
    print(f"{name}: {len(net.f)} points, reference {z0} ohm, load {rload} ohm, "
          f"{checked} impedances compared")

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
