#!/usr/bin/env python3
"""Tolvarin's screens, worked out a second time.

An independent model of the whole program in the scripted mode: given the
bytes of a session (keys and typed numbers), it produces the transcript the
program must print.  It is written from the program's documented screens
and design equations, not from the C++ sources, so the expected transcripts
it writes are a check of the program rather than a copy of its output.

Numerics follow the program's rule: every stored value is single precision,
the arithmetic between two stores is double precision.  F() is the store.
Printf conversions are Python's % operator, which rounds exactly as glibc's
printf does (both print the exact binary value, ties to even).

The help pages are prose: their texts are taken literally from
app/help_text.cpp.

Usage:
  model.py SESSION.keys           print the transcript of one session
  model.py --write                write expected/NAME.txt for every session
  model.py --check                exit 1 unless every expected/NAME.txt is
                                  what the model gives for sessions/NAME.keys
"""

import copy
import math
import os
import re
import struct
import sys
from fractions import Fraction

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.normpath(os.path.join(HERE, "..", ".."))

# ---------------------------------------------------------------------------
# Single precision
# ---------------------------------------------------------------------------

TWO_PI = 6.283185307  # 2 pi, as every formula of the program writes it


def F(x):
    """Round a double to the nearest float (a store), inf on overflow."""
    try:
        return struct.unpack("f", struct.pack("f", x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


def fdiv(a, b):
    """IEEE division where a zero divisor is part of the design (the pitch
    of a coil with no turns is infinite)."""
    if b == 0.0:
        if a == 0.0 or math.isnan(a):
            return math.nan
        return math.copysign(math.inf, a) * math.copysign(1.0, b)
    return a / b


def float_bits(f):
    return struct.unpack("<I", struct.pack("<f", f))[0]


def float_from_bits(b):
    return struct.unpack("<f", struct.pack("<I", b))[0]


def strtof(text):
    """A decimal string rounded once, correctly, to single precision (what
    strtof does): the double nearest the value may lie on the wrong side
    of a float halfway point, so the neighbours are compared exactly."""
    exact = Fraction(text)
    try:
        guess = F(float(exact))
    except OverflowError:
        return math.copysign(math.inf, exact)
    if math.isinf(guess):
        return guess
    best = guess
    bits = float_bits(guess)
    for b in (bits - 1, bits + 1):
        if b < 0 or b >= 0xFFFFFFFF:
            continue
        cand = float_from_bits(b)
        if math.isinf(cand) or math.isnan(cand):
            continue
        dc, db = abs(Fraction(cand) - exact), abs(Fraction(best) - exact)
        if dc < db or (dc == db and float_bits(cand) % 2 == 0):
            best = cand
    return best


# ---------------------------------------------------------------------------
# The console in the scripted mode
# ---------------------------------------------------------------------------


class EndOfInput(Exception):
    """A key was wanted and none is left: the program ends at once, as the
    exit key of the main menu does, and writes nothing more."""


NUMBER = re.compile(rb"[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")
BLANKS = b" \t\n\r\v\f"


class Console:
    def __init__(self, keys):
        self.keys = keys
        self.pos = 0
        self.out = []

    def clear(self):
        """Clearing the screen writes one form feed when output is not a
        terminal."""
        self.out.append("\f")

    def print(self, fmt, *args):
        self.out.append(fmt % args if args else fmt.replace("%%", "%"))

    def key(self):
        """Every byte is a key, newline and space included."""
        if self.pos >= len(self.keys):
            raise EndOfInput
        c = self.keys[self.pos]
        self.pos += 1
        return chr(c)

    def number(self):
        """Skip blanks and line ends, take the longest decimal prefix, then
        drop the rest of its line.  None when no number starts there or
        the input ends (the field then stays as it was)."""
        while self.pos < len(self.keys) and self.keys[self.pos] in BLANKS:
            self.pos += 1
        if self.pos >= len(self.keys):
            return None
        m = NUMBER.match(self.keys, self.pos)
        value = strtof(m.group(0).decode()) if m else None
        end = self.keys.find(b"\n", self.pos)
        self.pos = len(self.keys) if end < 0 else end + 1
        return value

    def text(self):
        return "".join(self.out)


# ---------------------------------------------------------------------------
# The design record
# ---------------------------------------------------------------------------

CHOKE, TUNE, MATCH, LS2LS3 = 0, 1, 2, 3
COIL_ROWS = ["Choke-Lp1", "Tune-Ls2 ", "Match-Ls3", "Ls2+Ls3  "]
COIL_NAMES = ["Choke", "Tune", "Match", "Ls2+LM"]

# The coil editor's remembered selection.
SEL_NONE, SEL_SEPARATE, SEL_COMBINED = "none", "separate", "combined"


class Coil:
    def __init__(self):
        self.Uhy = self.Nturns = self.Len = self.Dia = self.Pitch = 0.0
        self.Qu = self.Rac = self.XL = self.Pdiss = self.Rdc = self.PdissDc = 0.0
        self.AWGMIN = 0


class Column:
    def __init__(self):
        self.Rp = [0.0] * 25
        self.Xp = [0.0] * 25
        self.Pwr = [0.0] * 25
        self.Db2xFo = 0.0
        self.Db3xFo = 0.0


# Every real field of the design, grouped as the program groups them.
DESIGN_FIELDS = """
    Freq Power Vcc QL Rload Ron  Safety SwitchEff Qcap
    FreqHz Vpk DevBV Ro Ls2 Cp1 Cs2 QC RoPiRef Cp2PiRef Lp1
    Qmatch Ls3 Cp3 VLp1 ILp1 VCp1 ICp1 VLs2 ILs2 VCs2 ICs2 VRo IRo VRload IRload
    VCp3 ICp3 VLs3 ILs3
    Pdc Idc DevIpk DevDiss Pcoils Pcaps PwrOut OverallEff
    NTBAS ZTBAS Ls2BAS Cs2BAS RoBAS QmatchBAS LMBAS CMBAS
    NTPI ZTPI Ls2PI Cp2PI RoPI QmatchPI LMPI CMPI
    Cs1 Cp2N Ls2N Rt  Cpin LsTCH Cpout CsTrap LsTrap
""".split()


class Design:
    """Every field starts at zero, as the program's record does."""

    def __init__(self):
        for name in DESIGN_FIELDS:
            setattr(self, name, 0.0)
        self.coils = [Coil() for _ in range(4)]
        self.SweepFreq = [0.0] * 25
        self.SweepOmega = [0.0] * 25
        self.FilterRs = [0.0] * 25
        self.FilterXs = [0.0] * 25
        self.FilterRp = [0.0] * 25
        self.FilterXp = [0.0] * 25
        self.columns = {}  # the six sweep columns by their labels
        self.MatchEL = self.MatchBAS = self.MatchPI = 0
        self.TchNotch = 0
        self.FullRecalc = 0
        self.selection = SEL_NONE  # the coil editor's, kept between visits
        self.notice = ""  # the refused entry the next main screen reports


# ---------------------------------------------------------------------------
# Start-up
# ---------------------------------------------------------------------------


def default_coil_form(s):
    """Form diameter and winding length, one size for all four coils, from
    the frequency: the last row whose threshold the frequency reaches."""
    f = max(s.Freq, 0.5)
    size = 4.0
    for at_least, inches in [(0.5, 4.0), (0.8, 3.0), (1, 2.0), (3, 1.0), (10, 0.75),
                             (30, 0.5), (100, 0.375), (300, 0.25), (500, 0.14)]:
        if f >= at_least:
            size = inches
    for c in s.coils:
        c.Dia = c.Len = F(size)


def reset_turns_ratios(s):
    s.NTBAS = s.ZTBAS = s.NTPI = s.ZTPI = 1.0


def start_values():
    s = Design()
    s.FullRecalc = 1
    s.Qcap, s.Rload, s.Freq, s.QL = F(500), F(50), F(3.8), F(2.5)
    s.Power, s.Vcc, s.Ron = F(2.5), F(12), F(0.2)
    s.Safety, s.SwitchEff = F(0.8), F(0.97)
    default_coil_form(s)
    plan_sweep(s, s.Freq)
    reset_turns_ratios(s)
    s.TchNotch = 0
    return s


# ---------------------------------------------------------------------------
# Basic class-E synthesis
# ---------------------------------------------------------------------------


def basic_synthesis(s):
    s.FreqHz = F(s.Freq * 1000000.0)
    s.Vpk = F(3.56 * s.Vcc)                      # peak switch voltage
    s.DevBV = F(s.Vpk / s.Safety)                # breakdown the device needs
    a = F(s.Vcc * s.Vcc / s.Power)
    k = F((1.001245 - 0.451759 / s.QL) - 0.402444 / (s.QL * s.QL))
    s.Ro = F(a * 0.576801 * k)                   # resistance the network must see
    s.Ls2 = F(s.QL * s.Ro / (TWO_PI * s.FreqHz))  # henries ...
    s.Ls2 = F(s.Ls2 * 1000000.0)                 # ... then uH
    s.Cp1 = F(1.0 / (34.2219 * s.FreqHz * s.Ro))  # farads, corrected, pF
    s.Cp1 = F((0.91424 / s.QL + 0.99866 - 1.03175 / (s.QL * s.QL)) * s.Cp1)
    s.Cp1 = F(s.Cp1 * 1e12)
    s.Cs2 = F(1.0 / (TWO_PI * s.FreqHz * s.Ro))  # farads, two corrections, pF
    s.Cs2 = F(s.Cs2 / (s.QL - 0.104823))
    s.Cs2 = F((1.01468 / (s.QL - 1.7879) + 1.00121) * s.Cs2)
    s.Cs2 = F(s.Cs2 * 1e12)
    x = F(1.0 / (TWO_PI * s.FreqHz * s.Cs2 * 1e-12))  # reactance of Cs2
    s.QC = F(x / s.Ro)
    # Series Cs2 + Ro as a parallel pair (the pi-net reference).
    s.RoPiRef = F((s.QC * s.QC + 1.0) * s.Ro)
    s.Cp2PiRef = F(s.QC * s.QC * s.Cs2 / (s.QC * s.QC + 1.0))


# ---------------------------------------------------------------------------
# EL matching and element stresses
# ---------------------------------------------------------------------------


def el_rule(s, r):
    """The EL rule from a resistance r to Rload, one rule for the main
    match and both referred matches: series inductor on the low side,
    shunt capacitor across the high side.  Returns (arrangement, Qmatch,
    L uH, C pF); the inductor is stored in henries before it is scaled,
    the capacitor in farads."""
    w = TWO_PI * s.FreqHz
    if s.Rload > r:    # 1: series L next to the network, shunt C across the load
        q = F(math.sqrt(s.Rload / r - 1.0))
        l_h = F(r * q / w)
        c_f = F(1.0 / (w * (s.Rload / q)))
    elif s.Rload < r:  # 2: shunt C across r, series L towards the load
        q = F(math.sqrt(r / s.Rload - 1.0))
        l_h = F(s.Rload * q / w)
        c_f = F(1.0 / (w * (r / q)))
    else:              # 0: equal, no network
        return 0, 0.0, 0.0, 0.0
    return (1 if s.Rload > r else 2), q, F(l_h * 1000000.0), F(c_f * 1e12)


def el_match(s):
    """The main match, Ro to Rload; returns the arrangement.  With none
    (arrangement 0) Ls3 and Cp3 are 0 and Qmatch is left as it was."""
    arrangement, q, l_uh, c_pf = el_rule(s, s.Ro)
    if arrangement != 0:
        s.Qmatch = q
    s.Ls3, s.Cp3 = l_uh, c_pf
    return arrangement


def element_stresses(s, arrangement):
    """RMS voltage and current of every element: all of Power reaches Ro
    and the load, the shunt capacitor takes half the series current, the
    choke sees the peak switch voltage over 2.83."""
    s.VRload = F(math.sqrt(s.Power * s.Rload))
    s.IRload = F(s.VRload / s.Rload)
    s.VRo = F(math.sqrt(s.Power * s.Ro))
    s.IRo = F(s.VRo / s.Ro)
    s.ICs2 = s.IRo
    x = F(1.0 / (TWO_PI * s.FreqHz * s.Cs2 * 1e-12))
    s.VCs2 = F(s.ICs2 * x)
    s.ILs2 = s.IRo
    x = F(TWO_PI * s.FreqHz * s.Ls2 * 1e-6)
    s.VLs2 = F(s.ILs2 * x)
    s.VLp1 = F(s.Vpk * (1.0 / 2.83))
    s.VCp1 = s.VLp1
    x = F(TWO_PI * s.FreqHz * s.Lp1 * 1e-6)
    s.ILp1 = F(s.VLp1 / x)
    s.ICp1 = F(s.ICs2 * 0.5)
    if arrangement == 1:
        s.ILs3 = s.ILs2
        s.VLs3 = F((TWO_PI * s.FreqHz * s.Ls3 * 1e-6) * s.ILs3)
        s.VCp3 = s.VRload
        s.ICp3 = F(s.VCp3 / (1.0 / (TWO_PI * s.FreqHz * s.Cp3 * 1e-12)))
    elif arrangement == 2:
        s.ILs3 = s.IRload
        s.VLs3 = F(s.ILs3 * (TWO_PI * s.FreqHz * s.Ls3 * 1e-6))
        s.VCp3 = s.VRo
        s.ICp3 = F(s.VCp3 / (1.0 / (TWO_PI * s.FreqHz * s.Cp3 * 1e-12)))
    # Arrangement 0 keeps the EL fields as they were; no screen shows them.


# ---------------------------------------------------------------------------
# Solenoid coil model
# ---------------------------------------------------------------------------


def wire_dia(g):
    """Bare diameter of solid copper wire of AWG gauge g, inches."""
    return F(math.exp(-0.11592146552553575 * (g + 9.69875)))


NO_GAUGE = 99  # what the table shows when no gauge fits the pitch: plainly impossible


def min_gauge(pitch):
    """The thickest gauge whose bare wire is thinner than the pitch (a wire
    exactly as thick does not fit).  The search stops after gauge 98, so a
    pitch of zero or less ends it too."""
    for g in range(0, NO_GAUGE):
        if wire_dia(g) < pitch:
            return g
    return NO_GAUGE


def turns_for_inductance(dia, uhy, length):
    """Wheeler's single-layer formula L = D^2 N^2 / (18 D + 40 len), for N."""
    return F(math.sqrt((18.0 * dia + 40.0 * length) * uhy / (dia * dia)))


def length_for_turns(dia, uhy, n):
    """The same formula solved for the winding length."""
    return F((n * n * dia * dia / uhy - 18.0 * dia) * 0.025)


def coil_qu(dia, length, freq):
    """Unloaded Q of the form, whatever the turns and wire."""
    return F(143.0 * dia * math.sqrt(freq) / (1.0 + 0.45 * dia / length))


def design_coil(s, c):
    c.Nturns = turns_for_inductance(c.Dia, c.Uhy, c.Len)
    c.Qu = coil_qu(c.Dia, c.Len, s.Freq)
    c.Pitch = F(fdiv(c.Len, c.Nturns))
    c.AWGMIN = min_gauge(c.Pitch)


def coil_rdc(awgmin, dia, n):
    """DC resistance wound with the USE wire (AWGMIN + 4); one turn is
    pi * sqrt(D^2 + w^2) long, D through the wire centres."""
    w = wire_dia(int(awgmin + 4.0))
    area = F(3.14159265 * w * w * 0.25)
    ohms_per_inch = F(6.787795275590551e-7 / area)  # copper at 20 C
    d = F(dia + w)
    turn = F(3.14159265 * math.sqrt(d * d + w * w))
    return F(ohms_per_inch * turn * n)


def coil_losses(s):
    """Reactance from the design's inductances, RF loss resistance XL/Qu,
    dissipation from the element currents; only the choke carries the DC
    current Idc (of the previous pass)."""
    choke = s.coils[CHOKE]
    choke.XL = F(TWO_PI * s.FreqHz * s.Lp1 * 1e-6)
    choke.Rac = F(choke.XL / choke.Qu)
    choke.Rdc = coil_rdc(choke.AWGMIN, choke.Dia, choke.Nturns)
    choke.PdissDc = F(s.Idc * s.Idc * choke.Rdc)
    choke.Pdiss = F(choke.Rac * s.ILp1 * s.ILp1)
    choke.Pdiss = F(choke.Pdiss + choke.PdissDc)
    for index, inductance, current in [(TUNE, s.Ls2, s.ILs2), (MATCH, s.Ls3, s.ILs3),
                                       (LS2LS3, s.Ls2 + s.Ls3, s.ILs2)]:
        c = s.coils[index]
        c.XL = F(TWO_PI * s.FreqHz * inductance * 1e-6)
        c.Rac = F(c.XL / c.Qu)
        c.Pdiss = F(c.Rac * current * current)
        c.Rdc = coil_rdc(c.AWGMIN, c.Dia, c.Nturns)


# ---------------------------------------------------------------------------
# Power and efficiency estimate
# ---------------------------------------------------------------------------


def capacitor_losses(s, arrangement):
    """ESR = X / Qcap for every capacitor; with no EL network (arrangement
    0) there is no EL capacitor to lose anything."""
    w = F(TWO_PI * s.FreqHz * 1e-12)
    pairs = [(s.Cp1, s.ICp1), (s.Cs2, s.ICs2)]
    if arrangement != 0:
        pairs.append((s.Cp3, s.ICp3))
    total = 0.0
    for cap, current in pairs:
        x = F(1.0 / (w * cap))
        esr = F(x / s.Qcap)
        loss = F(esr * current * current)
        total = F(total + loss)
    return total


def power_estimate(s, arrangement):
    choke = s.coils[CHOKE].Pdiss
    if arrangement == 1:  # Ls3 wound together with Ls2
        s.Pcoils = F(choke + s.coils[LS2LS3].Pdiss)
    elif arrangement == 2:
        s.Pcoils = F(choke + s.coils[TUNE].Pdiss + s.coils[MATCH].Pdiss)
    else:  # only the tuning coil is in the circuit
        s.Pcoils = F(choke + s.coils[TUNE].Pdiss)
    s.Pcaps = capacitor_losses(s, arrangement)
    s.Pdc = s.Power
    s.Idc = F(s.Pdc / s.Vcc)
    s.DevIpk = F(3.56 * s.Idc)
    # Switching loss plus conduction loss.
    s.DevDiss = F((1.0 - s.SwitchEff) * s.Pdc + s.Idc * s.Idc * s.Ron)
    s.PwrOut = F(s.Pdc - s.Pcoils - s.Pcaps - s.DevDiss)
    s.OverallEff = F(s.PwrOut / s.Pdc)


# ---------------------------------------------------------------------------
# Pi-net and transformer matching, Norton transform, Tchebychev filter
# ---------------------------------------------------------------------------


def transformer_matching(s):
    """An ideal 1:NT transformer after Cp1: inductances and resistances
    beyond it times ZT = NT^2, capacitances over ZT."""
    s.ZTBAS = F(s.NTBAS * s.NTBAS)
    s.Ls2BAS = F(s.Ls2 * s.ZTBAS)
    s.Cs2BAS = F(s.Cs2 / s.ZTBAS)
    s.RoBAS = F(s.Ro * s.ZTBAS)
    s.MatchBAS, s.QmatchBAS, s.LMBAS, s.CMBAS = el_rule(s, s.RoBAS)
    s.ZTPI = F(s.NTPI * s.NTPI)
    s.Ls2PI = F(s.Ls2 * s.ZTPI)
    s.Cp2PI = F(s.Cp2PiRef / s.ZTPI)
    s.RoPI = F(s.RoPiRef * s.ZTPI)
    s.MatchPI, s.QmatchPI, s.LMPI, s.CMPI = el_rule(s, s.RoPI)


def norton_transform(s):
    """Shunt Cp1 + series Cs2 become series Cs1 + shunt Cp2N; what lies
    beyond is stepped down by n^2."""
    n = F(s.Cp1 / s.Cs2 + 1.0)
    n2 = F(n * n)
    s.Cs1 = F(n * s.Cs2)
    s.Cp2N = F(n * s.Cp1)
    s.Rt = F(s.Ro / n2)
    s.Ls2N = F(s.Ls2 / n2)


def tchebychev_filter(s):
    """0.4 dB ripple three-element low-pass at Rload, prototype 1.491 /
    1.118 / 1.491, cut-off 1.1548556 Fo; the output capacitor's trap is
    three quarters of it, resonant at 2 Fo."""
    wc = F(TWO_PI * s.FreqHz * F(1.1548556))
    s.Cpin = F(F(1.491) / (s.Rload * wc) * 1e12)
    s.LsTCH = F(s.Rload * F(1.118) / wc * 1e6)
    s.Cpout = s.Cpin
    s.CsTrap = F(0.75 * s.Cpout)
    w = F(TWO_PI * s.FreqHz)
    s.LsTrap = F(1e6 / (4.0 * w * w * s.CsTrap * 1e-12))


# ---------------------------------------------------------------------------
# Sweep plan, conversions and filter response
# ---------------------------------------------------------------------------


def plan_sweep(s, f):
    """25 points: 0.75 F to 1.25 F in 2.5 % steps, then 1.5, 1.75, 2 and 3 F.
    The step, the start and the scaled frequencies are held in single
    precision; each point is then one double expression, stored once."""
    step = F(0.025 * f)
    low = F(0.75 * f)
    for i in range(10):
        s.SweepFreq[i] = F(i * step + low)
    for i in range(10, 20):
        s.SweepFreq[i] = F((i - 10) * F(0.025 * f) + f)
    for i in range(20, 24):
        s.SweepFreq[i] = F((i - 20) * F(0.25 * f) + F(1.25 * f))
    s.SweepFreq[24] = F(3.0 * s.SweepFreq[10])
    for k in range(25):
        s.SweepOmega[k] = F(s.SweepFreq[k] * 6283185.307)


def cap_reactance(c_pf, w):
    return F(-1.0 / (c_pf * 1e-12 * w))


def ind_reactance(l_uh, w):
    return F(l_uh * 1e-6 * w)


def series_to_parallel(r, x, guard):
    if x == 0.0:
        x = F(guard)
    q = F(x / r)
    rp = F((q * q + 1.0) * r)
    return rp, F(rp / q)


def parallel_to_series(rp, xp):
    q = F(rp / xp)
    r = F(rp / (q * q + 1.0))
    return r, F(r * q)


def parallel_reactance(xa, xb):
    if xa + xb == 0.0:
        return 1e6  # parallel resonance: an open circuit
    return F(1.0 / (1.0 / xa + 1.0 / xb))


def trap_coil_q(s):
    """The trap is wound like the EL coil of the arrangement; with no EL
    network, like the tuning coil."""
    if s.MatchEL == 1:
        return s.coils[LS2LS3].Qu
    if s.MatchEL == 2:
        return s.coils[MATCH].Qu
    return s.coils[TUNE].Qu


def filter_response(s, notch):
    """Input impedance of the filter terminated in Rload, from the load
    towards the amplifier, in both forms."""
    for k in range(25):
        w = s.SweepOmega[k]
        if notch == 0:
            rp, xp = s.Rload, cap_reactance(s.Cpout, w)
        else:
            xl = ind_reactance(s.LsTrap, w)
            rt = F(xl / trap_coil_q(s))                 # trap loss resistance
            xt = F(xl + cap_reactance(s.CsTrap, w))     # trap reactance
            rpt, xpt = series_to_parallel(rt, xt, 1e-9)
            rp, xp = F(1.0 / (1.0 / rpt + 1.0 / s.Rload)), xpt
        r, x = parallel_to_series(rp, xp)
        x = F(x + ind_reactance(s.LsTCH, w))
        rp, xp = series_to_parallel(r, x, 1e-6)
        xp = parallel_reactance(xp, cap_reactance(s.Cpin, w))
        s.FilterRp[k], s.FilterXp[k] = rp, xp
        s.FilterRs[k], s.FilterXs[k] = parallel_to_series(rp, xp)


# ---------------------------------------------------------------------------
# Topology sweeps: one ladder walk for all six variants
# ---------------------------------------------------------------------------

SERIES, SHUNT = "series", "shunt"


def ladder(s, variant):
    """(load, elements from the load to the device, ZT) of a variant.  An
    element is (kind, 'C' or 'L', value).  The load is ('R', ohms),
    ('filter',) or ('filter-series',), the last for the filter's series
    form turned to parallel form before a shunt element."""
    basic = variant.startswith("BASIC")
    extras = variant.split("+")[1:]  # [], ["EL"] or ["EL", "TCH"]
    match = s.MatchBAS if basic else s.MatchPI
    if basic:
        lm, cm, zt, r0 = s.LMBAS, s.CMBAS, s.ZTBAS, s.RoBAS
        core = [(SERIES, "C", s.Cs2BAS), (SERIES, "L", s.Ls2BAS)]
    else:
        lm, cm, zt, r0 = s.LMPI, s.CMPI, s.ZTPI, s.RoPI
        core = [(SHUNT, "C", s.Cp2PI), (SERIES, "L", s.Ls2PI)]
    el = {1: [(SHUNT, "C", cm), (SERIES, "L", lm)],
          2: [(SERIES, "L", lm), (SHUNT, "C", cm)], 0: []}[match]
    if not extras or (extras == ["EL"] and match == 0):
        return ("R", r0), core, zt  # no match: the network's own resistance
    if extras == ["EL"]:
        return ("R", s.Rload), el + core, zt
    if match == 0 and not basic:
        return ("filter-series",), core, zt
    return ("filter",), el + core, zt


def reactance(kind, value, w):
    return cap_reactance(value, w) if kind == "C" else ind_reactance(value, w)


def sweep_point(s, load, elements, zt, k):
    """Carry the impedance from the load to the device at point k; ends in
    parallel form with Cp1 across it."""
    w = s.SweepOmega[k]
    first_kind, first_lc, first_value = elements[0]
    x1 = reactance(first_lc, first_value, w)
    if load[0] == "R":
        form, a, b = first_kind, load[1], x1
    elif load[0] == "filter-series":
        rp, xp = series_to_parallel(s.FilterRs[k], s.FilterXs[k], 1e-6)
        form, a, b = SHUNT, rp, parallel_reactance(xp, x1)
    elif first_kind == SHUNT:
        form, a, b = SHUNT, s.FilterRp[k], parallel_reactance(s.FilterXp[k], x1)
    else:
        form, a, b = SERIES, s.FilterRs[k], F(s.FilterXs[k] + x1)
    for kind, lc, value in elements[1:]:
        x = reactance(lc, value, w)
        if kind == SERIES:
            if form == SHUNT:
                a, b = parallel_to_series(a, b)
                form = SERIES
            b = F(b + x)
        else:
            if form == SERIES:
                a, b = series_to_parallel(a, b, 1e-6)
                form = SHUNT
            b = parallel_reactance(b, x)
    rp, xp = series_to_parallel(a, b, 1e-6)  # the last element is in series
    rp, xp = F(rp / zt), F(xp / zt)          # to the device side of the transformer
    xp = parallel_reactance(xp, cap_reactance(s.Cp1, w))
    return rp, xp


def compute_sweep(s, variant):
    col = Column()
    load, elements, zt = ladder(s, variant)
    for k in range(25):
        col.Rp[k], col.Xp[k] = sweep_point(s, load, elements, zt, k)
    # Power scales with the BASIC design-frequency Rp over the point's Rp.
    ref = col.Rp[10] if variant == "BASIC" else s.columns["BASIC"].Rp[10]
    for k in range(25):
        col.Pwr[k] = F(s.Power * ref / col.Rp[k])
    col.Db2xFo = F(10.0 * math.log10(ref / col.Rp[23]))
    col.Db3xFo = F(10.0 * math.log10(ref / col.Rp[24]))
    s.columns[variant] = col


# ---------------------------------------------------------------------------
# One pass of the main loop
# ---------------------------------------------------------------------------


def full_pass_part(s):
    """What only a full pass does: filter, plan, choke = 10 Ls2, all four
    coils redesigned, losses, filter response with the current notch."""
    tchebychev_filter(s)
    plan_sweep(s, s.Freq)
    s.Lp1 = F(10.0 * s.Ls2)
    for index, uhy in [(CHOKE, s.Lp1), (TUNE, s.Ls2), (MATCH, s.Ls3),
                       (LS2LS3, F(s.Ls2 + s.Ls3))]:
        s.coils[index].Uhy = uhy
        design_coil(s, s.coils[index])
    s.FullRecalc = 0
    coil_losses(s)
    filter_response(s, s.TchNotch)


def compute_pass(s):
    if s.FullRecalc == 1:
        # After an edit the last pass's DC current may be another design's:
        # a full pass takes it as not yet known, as at start-up.
        s.Idc = 0.0
    basic_synthesis(s)
    s.MatchEL = el_match(s)
    transformer_matching(s)
    if s.FullRecalc == 1:
        full_pass_part(s)
    element_stresses(s, s.MatchEL)
    coil_losses(s)  # Idc of the previous light pass, or none: Space brings it in
    power_estimate(s, s.MatchEL)
    norton_transform(s)


# ---------------------------------------------------------------------------
# Screens.  Each takes a print function p(fmt, *args).
# ---------------------------------------------------------------------------


def main_screen(s, p):
    """The main design screen (after the clear)."""
    p(" " * 40 + "\n\n")
    p("Freq-Mhz  Vdc    Ron   Pwatts    QL    QC      Rload\n")
    p("%7.2f%7.1f%7.2f %7.1f%8.2f%6.2f%10.2f\n", s.Freq, s.Vcc, s.Ron, s.Power, s.QL, s.QC,
      s.Rload)
    p("\n")
    p("Pdc     Idc     Vpk    Safety  Dev-BV  Dev-Ipk  DevDiss\n")
    p("%5.1f %5.2f%8.1f%8.1f%9.1f%8.2f%9.2f\n", s.Pdc, s.Idc, s.Vpk, s.Safety, s.DevBV,
      s.DevIpk, s.DevDiss)
    p("\n")
    p("Basic Class-E Element Values:\n")
    p("QL      Lp1-uh    Cp1-pf   Ls2-uh     Cs2-pf    Ro ohms\n")
    p("%4.2f%10.2f%10.1f%9.2f  %10.1f%10.2f\n", s.QL, s.Lp1, s.Cp1, s.Ls2, s.Cs2, s.Ro)
    if s.MatchEL != 0:
        p("\n")
        p("EL-Matching network Basic-Ro %4.2f ohms to %4.2f ohms\n", s.Ro, s.Rload)
        if s.MatchEL == 1:
            p("Qmatch=%0.3f    Series Ls3= %0.3f uh   Shunt  Cp3= %0.1f pf\n", s.Qmatch, s.Ls3,
              s.Cp3)
        else:
            p("Qmatch=%0.3f    Shunt  Cp2= %0.1f pf   Series Ls3= %0.3f uh\n", s.Qmatch, s.Cp3,
              s.Ls3)
    p("\n")
    p("Element Voltage and Current Estimate:(Includes EL-Match)\n")
    row = "%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f \n"
    if s.MatchEL == 1:
        p("          Lp1     Cp1     Cs2     Ls2     Ls3     Cp3     Rload\n")
        p("VRMS  " + row, s.VLp1, s.VCp1, s.VCs2, s.VLs2, s.VLs3, s.VCp3, s.VRload)
        p("IRMS  " + row, s.ILp1, s.ICp1, s.ICs2, s.ILs2, s.ILs3, s.ICp3, s.IRload)
    elif s.MatchEL == 2:
        p("          Lp1     Cp1     Cs2     Ls2     Cp3     Ls3      Rload\n")
        p("VRMS  " + row, s.VLp1, s.VCp1, s.VCs2, s.VLs2, s.VCp3, s.VLs3, s.VRload)
        p("IRMS  " + row, s.ILp1, s.ICp1, s.ICs2, s.ILs2, s.ICp3, s.ILs3, s.IRload)
    if s.MatchEL == 1:
        coil_table(s, p, [CHOKE, LS2LS3])
    elif s.MatchEL == 2:
        coil_table(s, p, [CHOKE, TUNE, MATCH])
    device_eff = F(1.0 - s.DevDiss / s.Power)
    p("\n")
    p("Pwr Out = %0.2f watts=Pgen[%0.2f]-Pcoils[%0.2f]-Pcaps[%0.2f]-Pdev[%0.2f]\n", s.PwrOut,
      s.Power, s.Pcoils, s.Pcaps, s.DevDiss)
    p("Overall Eff.= %3.2f   Device Eff.= %3.2f   \n", s.OverallEff, device_eff)
    p("\nPi-net reference (Ro=%0.2f ohms :  Cp2=%8.2f pf)\n", s.RoPiRef, s.Cp2PiRef)
    p("Norton reference (Rt=%0.2f ohms)\n", s.Rt)
    if s.PwrOut < 0:  # Pgen less every loss booked: nothing is left
        p("Losses exceed Pgen: by this estimate the design cannot deliver power\n")
    if s.notice:
        p("%s\n", s.notice)


def coil_table(s, p, rows):
    p("\n")
    p("COIL      L-uhy   Dia-in   Len-in   Turns  AWGMIN(USE) Qu   Rac   Rdc   Pdiss\n")
    for index in rows:
        c = s.coils[index]
        p(COIL_ROWS[index] + "%8.2f%8.2f%8.2f%8.1f  #%2i (#%2i)%6.0f%6.2f%6.2f%6.2f\n", c.Uhy,
          c.Dia, c.Len, c.Nturns, c.AWGMIN, c.AWGMIN + 4, c.Qu, c.Rac, c.Rdc, c.Pdiss)


MENU = ("\nSelect letter...(or <Space> to update efficiency estimate)\n"
        "Freq  Power  Vcc  QL  Rload  rOn  Coil  Alt  BB  Wire  Help  eXit\n")


def match_line(p, arrangement, q, l_uh, c_pf):
    if arrangement == 2:
        p("   Qmatch=%0.3f   Shunt  CM= %0.1f pf  Series LM= %0.3f uh\n", q, c_pf, l_uh)
    else:
        p("   Qmatch=%0.3f   Series LM= %0.3f uh  Shunt  CM= %0.1f pf\n", q, l_uh, c_pf)


def alternate_page(s, p):
    """The alternate topologies page (after the clear)."""
    p("ALTERNATE TOPOLOGIES: Q=%0.2f  V=%0.1f volts  P=%0.1f watts  Fo=%0.2f mhz\n", s.QL, s.Vcc,
      s.Power, s.Freq)
    p("\n(1)BASIC Class-E Element Values: \n")
    p("   Cp1-pf    NT    ZT    Ls2-uh     Cs2-pf    Ro ohms\n")
    p("%8.1f  %6.2f%6.2f%10.2f%10.1f%10.2f\n", s.Cp1, s.NTBAS, s.ZTBAS, s.Ls2BAS, s.Cs2BAS,
      s.RoBAS)
    p("\n(1a)BASIC EL-Matching network-Ro %4.2f ohms to %4.2f ohms\n", s.RoBAS, s.Rload)
    p("   For Ro and RL within 5%% of each other,the matching network is not needed.\n")
    match_line(p, s.MatchBAS, s.QmatchBAS, s.LMBAS, s.CMBAS)
    p("\n")
    p("\n(2)PINET Element Values for Alternate topology:(Cs2 to Cp2 conversion)\n")
    p("   Cp1-pf    NT    ZT    Ls2-uh    Cp2-pf     Ro ohms\n")
    p("%8.1f  %6.2f%6.2f%10.2f%10.1f%10.2f\n", s.Cp1, s.NTPI, s.ZTPI, s.Ls2PI, s.Cp2PI, s.RoPI)
    p("\n")
    p("(2a)PINET EL-Matching network-Ro %4.2f ohms to %4.2f ohms\n", s.RoPI, s.Rload)
    p("   For Ro and RL within 5%% of each other,the matching network is not needed.\n")
    match_line(p, s.MatchPI, s.QmatchPI, s.LMPI, s.CMPI)
    p("\n")
    p("\n(3)Separate Tchebychev filter (LPF):\n")
    p("  Cpin-pf     Ls-uhy      Cpout-pf    RL-ohms\n")
    p("%8.1f   %8.3f   %10.1f   %8.2f\n", s.Cpin, s.LsTCH, s.Cpout, s.Rload)
    p("\n(3a)Tchebychev filter Cp-out Conversion:\n")
    p("   Replace the Cp-out cap (%0.1f-pf) with a series (Ls+Cs)trap to ground.\n", s.Cpout)
    p("   Second harmonic suppression will improve by approx 20 db.\n")
    p("   The filter impedance at Fo=%0.3f mhz is unchanged.\n", s.Freq)
    p("   Ls=%0.3f uhy       Cs=%0.1f pf\n\n", s.LsTrap, s.CsTrap)
    norton_transform(s)
    p("\n(4)Norton transform of 'BASIC' circuit into adjacent Cs1 and Cp2\n")
    p("   [Occasional use for devices with low Cdev]\n")
    p("  Cs1-pf    Cp2-pf      Ls2-uhy    Rt-ohms\n")
    p(" %6.1f    %6.1f     %6.3f     %6.2f\n", s.Cs1, s.Cp2N, s.Ls2N, s.Rt)
    p("\nPress <B> or <P> to change BASIC or PINET Turns Ratio.\n"
      "Any other key to exit Alternate topology....\n")


def sweep_page(s, p, pinet):
    """The BASIC or the PINET power-versus-frequency page (after the clear)."""
    notch = "is USED" if s.TchNotch == 1 else "is NOT USED"
    name = "PINET" if pinet else "BASIC"
    names = [name, name + "+EL", name + "+EL+TCH"]
    cols = [s.columns[n] for n in names]
    p("[%s] POWER VS FREQUENCY ESTIMATE FROM ZIN converted to Rp-Xp\n\n" % name)
    p("The CE waveform remains valid if Rp and Xp are within\n"
      "approx 10%% of the " + name + " Rp and Xp design center value.\n ")
    if pinet:
        p("\nNTPI=1:%0.3f   ZTPI=1:%0.3f             The TCH 2xFo notch %s\n", s.NTPI, s.ZTPI,
          notch)
        p("\nSWEEP       PINET                 PINET+EL              PINET+EL+TCH\n")
    else:
        p("\nNTBAS=1:%0.3f   ZTBAS=1:%0.3f           The TCH 2xFo notch %s\n", s.NTBAS, s.ZTBAS,
          notch)
        p("\nSWEEP       BASIC                 BASIC+EL              BASIC+EL+TCH\n")
    p("Freq-Mhz    Rp     Xp     Pwr     Rp     Xp     Pwr     Rp     Xp     Pwr  \n")
    p("________    ___________________   ___________________   __________________\n")
    for i in range(24):
        if i == 10:
            p("\n")
        values = [s.SweepFreq[i]]
        for c in cols:
            values += [c.Rp[i], c.Xp[i], c.Pwr[i]]
        p("%4.2e  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f\n", *values)
        if i == 10:
            p(pinet_mismatch(s) if pinet else "\n")
    p("\n2xFo-db                %6.1f                %6.1f                %6.1f\n",
      *[c.Db2xFo for c in cols])
    p("3xFo-db                %6.1f                %6.1f                %6.1f\n",
      *[c.Db3xFo for c in cols])


def pinet_mismatch(s):
    """The line after the PINET page's design-frequency row."""
    ratio = F(s.columns["BASIC"].Rp[10] / s.columns["PINET+EL+TCH"].Rp[10])
    if ratio >= 1.04:
        return "***Caution-Pinet+TCH (Ro < RL) Mismatch***\n"
    if ratio <= 0.96:
        return "***Caution-Pinet+TCH (Ro > RL) Mismatch***\n"
    return "\n"


def wire_screen(p, gauges, prompt):
    """One screen of the wire table (after the clear)."""
    p("AWG(solid)   Dia-in   Ohms/in\t Ohms/ft   Ohms/Kft  ~DCAmps/10degC rise\n\n")
    for g in gauges:
        d = wire_dia(g)
        area = F(3.14159265 * d * d * 0.25)
        per_inch = F(6.787795275590551e-7 / area)
        per_foot = F(per_inch * 12.0)
        per_kft = F(per_foot * 1000.0)
        amps = F(10.0 ** (1.82652 - 0.063065 * g))  # ~10 degC rise
        p("%3i      %10.4f%10.5f%10.4f%10.3f%10.2f\n", g, d, per_inch, per_foot, per_kft, amps)
    p(prompt)


# ---------------------------------------------------------------------------
# Refused entries: no screen may ever show "nan" or "inf"
# ---------------------------------------------------------------------------


def prints_finite(s):
    """Would the main screen, the alternate page and both sweep pages (as
    they stand, and after N with either notch) print only numbers?  A
    Python arithmetic fault is a value that is not finite."""
    t = copy.deepcopy(s)
    out = []

    def p(fmt, *args):
        out.append(fmt % args if args else fmt)

    try:
        main_screen(t, p)
        alternate_page(t, p)
        for notch in (None, 0, 1):
            if notch is not None:
                filter_response(t, notch)
            for v in ["BASIC", "BASIC+EL", "BASIC+EL+TCH", "PINET", "PINET+EL", "PINET+EL+TCH"]:
                compute_sweep(t, v)
            sweep_page(t, p, False)
            sweep_page(t, p, True)
    except (ArithmeticError, ValueError):
        return False
    text = "".join(out)
    return "nan" not in text and "inf" not in text


# ---------------------------------------------------------------------------
# Main menu and parameter entry
# ---------------------------------------------------------------------------

INPUTS = {
    "f": ("Freq", "Enter frequency <%f> Mhz...\n"),
    "p": ("Power", "Enter power <%f> watts...\n"),
    "v": ("Vcc", "Enter VCC <%f> volts...\n"),
    "q": ("QL", "Enter Q <%f>\n"),
    "o": ("Ron", "Enter Ron <%f> ohms\n"),
    "r": ("Rload", "Enter Rload <%f> ohms\n"),
}


def limit(name, v):
    """Freq 0.5 to 500 MHz, QL 1.8 to 20; 'not at least the minimum' also
    catches a value that compares with nothing."""
    if name == "Freq":
        v = v if v >= 0.5 else F(0.5)
        v = F(500) if v > 500 else v
    elif name == "QL":
        v = v if v >= F(1.8) else F(1.8)
        v = F(20) if v > 20 else v
    return v


def domain_fault(name, v):
    if math.isinf(v) or math.isnan(v):
        return "the value is too large to hold"
    rules = {"Power": (v > 0, "Power must be above 0 watts"),
             "Vcc": (v > 0, "Vcc must be above 0 volts"),
             "Rload": (v > 0, "Rload must be above 0 ohms"),
             "Ron": (v >= 0, "Ron must not be negative")}
    ok, why = rules.get(name, (True, None))
    return None if ok else why


def follow_up(s, name):
    """What every entry of the input does, accepted or refused."""
    if name == "Freq":
        default_coil_form(s)
        plan_sweep(s, s.Freq)
    elif name == "Rload":
        reset_turns_ratios(s)
    s.FullRecalc = 1


def design_holds(s, name, v):
    """The design the entry gives, on its first screen and after a Space."""
    t = copy.deepcopy(s)
    setattr(t, name, v)
    follow_up(t, name)
    for _ in range(2):
        try:
            compute_pass(t)
        except (ArithmeticError, ValueError):
            return False
        if not prints_finite(t):
            return False
    return True


def enter_input(s, con, name, prompt):
    """A typed value that cannot stand is refused and the input keeps its
    value.  The follow-up of the entry (new forms, 1:1 ratios) happens as
    after a non-number, unless the design as it stands would not survive
    it: then it is left undone too, and the notice says so."""
    old = getattr(s, name)
    con.print(prompt, old)
    typed = con.number()
    s.FullRecalc = 1
    why = None
    if typed is not None:
        v = limit(name, typed)
        if v == 0:
            v = 0.0  # a negative zero is stored as zero
        why = domain_fault(name, v)
        if why is None and not design_holds(s, name, v):
            why = "the design would overflow or underflow"
        if why is None:
            setattr(s, name, v)
            follow_up(s, name)
            return
    holds = design_holds(s, name, old)
    if holds:
        follow_up(s, name)
    suffix = "" if holds else ("; forms kept" if name == "Freq" else "; ratios kept")
    if why is not None:
        if math.isinf(v) or math.isnan(v):
            s.notice = "%s refused: %s%s" % (name, why, suffix)
        else:
            s.notice = "%s %g refused: %s%s" % (name, v, why, suffix)
    elif not holds:
        s.notice = ("Freq unchanged, coil forms kept: default forms would overflow the design"
                    if name == "Freq" else
                    "Rload unchanged, turns ratios kept: at 1:1 the design would overflow")


def main_menu(s, con):
    """Returns False for the exit key."""
    con.print(MENU)
    k = con.key()
    lower = k.lower() if k.isascii() else k
    if lower in INPUTS:
        enter_input(s, con, *INPUTS[lower])
    elif lower == "c":
        coil_editor(s, con)
    elif lower == "a":
        alternate_topologies(s, con)
    elif lower == "b":
        power_estimate_pages(s, con)
    elif lower == "w":
        wire_table(con)
    elif lower == "h":
        help_pages(con)
    elif lower == "x":
        return False
    return True


# ---------------------------------------------------------------------------
# Coil editor
# ---------------------------------------------------------------------------

PARAM_NAMES = {"d": "Dia", "l": "Len", "n": "Nturns", "u": "Uhy"}
MUST_BE_POSITIVE = {"d": "the diameter must be above 0 inches",
                    "l": "the length must be above 0 inches",
                    "n": "the turns must be above 0",
                    "u": "the inductance must be above 0 uH"}


def reshape(s, c, param, v):
    """The coil after the entry: at a fixed inductance D and L give new
    turns, N gives a new length; U scales the choke's turns by the square
    root of the inductance ratio, which keeps its length."""
    c = copy.copy(c)
    if param in "dl":
        if param == "d":
            c.Dia = v
        else:
            c.Len = v
        design_coil(s, c)
        return c
    if param == "n":
        c.Nturns = v
    else:
        ratio = v / c.Uhy
        c.Uhy = v
        c.Nturns = F(c.Nturns * math.sqrt(ratio))
    c.Len = length_for_turns(c.Dia, c.Uhy, c.Nturns)
    c.Qu = coil_qu(c.Dia, c.Len, s.Freq)
    c.Pitch = F(c.Len / c.Nturns)
    c.AWGMIN = min_gauge(c.Pitch)
    return c


def coil_entry_fault(s, index, old, param, v):
    """Why the entry cannot stand (the coil then keeps every value), or
    None, together with the reshaped coil."""
    if math.isinf(v) or math.isnan(v):
        return "the value is too large to hold", None
    if not v > 0:
        return MUST_BE_POSITIVE[param], None
    if not old.Uhy > 0:
        return ("the choke has no inductance to scale" if param == "u"
                else "the coil has no inductance here"), None
    try:
        c = reshape(s, old, param, v)
    except (ArithmeticError, ValueError):
        return "the design would overflow or underflow", None
    if not c.Len > 0:
        return "too few turns for this inductance", None
    t = copy.deepcopy(s)
    t.coils[index] = c
    t.Lp1 = t.coils[CHOKE].Uhy
    try:
        compute_pass(t)
    except (ArithmeticError, ValueError):
        return "the design would overflow or underflow", None
    if not prints_finite(t):
        return "the design would overflow or underflow", None
    return None, c


def coil_entry(s, con, index, param, prompt):
    c = s.coils[index]
    old_value = {"d": c.Dia, "l": c.Len, "n": c.Nturns, "u": c.Uhy}[param]
    con.print(prompt, old_value)
    typed = con.number()
    v = old_value if typed is None else typed
    why, reshaped = coil_entry_fault(s, index, c, param, v)
    if why is not None:
        if typed is not None:  # an entry that is not a number says nothing
            if math.isinf(v):
                s.notice = "%s coil %s refused: %s" % (COIL_NAMES[index], PARAM_NAMES[param], why)
            else:
                s.notice = "%s coil %s %g refused: %s" % (COIL_NAMES[index], PARAM_NAMES[param],
                                                          v, why)
        return
    s.coils[index] = reshaped
    if index == CHOKE:
        s.Lp1 = reshaped.Uhy


def coil_editor(s, con):
    """Below the main menu: a coil, one parameter, one number.  With no EL
    network (arrangement 0) the separate coils menu serves."""
    combined = s.MatchEL == 1
    s.selection = SEL_COMBINED if combined else SEL_SEPARATE
    con.print("\nSelect Coil to Change...\n")
    con.print("Choke   Ls2+lm   eXit\n" if combined else "Choke   Tune   Match    eXit\n")
    k = con.key().lower()
    if k == "x":
        return
    if k == "c":
        s.selection = CHOKE
    elif k in ("t", "m") and not combined:
        s.selection = TUNE if k == "t" else MATCH
    elif k == "l" and combined:
        s.selection = LS2LS3
    coil = s.selection if isinstance(s.selection, int) else None
    con.print("\nSelect %s Coil Parameter to Change...\n",
              "No" if coil is None else COIL_NAMES[coil])
    con.print("Uhy  Dia  Len  Nturns  eXit\n" if coil == CHOKE else "Dia  Len  Nturns  eXit\n")
    k = con.key().lower()
    prompts = {"d": "Enter Form Diam <%f> inches...\n",
               "l": "Enter Winding Length <%f> inches...\n",
               "n": "Enter Number of Turns <%f>...\n"}
    if k in prompts and coil is not None:
        coil_entry(s, con, coil, k, prompts[k])
    elif k == "u":  # always the choke
        coil_entry(s, con, CHOKE, "u", "Enter Inductance <%f> uhy...\n")
        return
    elif k == "x":
        return
    element_stresses(s, s.MatchEL)
    coil_losses(s)


# ---------------------------------------------------------------------------
# Alternate topologies page
# ---------------------------------------------------------------------------


def clamp_turns_ratio(v):
    if not v >= F(0.2):
        return F(0.2)
    return F(5.0) if v > 5.0 else v


def alternate_topologies(s, con):
    notice = None
    while True:
        con.clear()
        alternate_page(s, con.print)
        if notice:
            con.print("%s\n", notice)
        notice = None
        k = con.key()
        if k not in ("B", "b", "P", "p"):
            return
        field = "NTBAS" if k in "Bb" else "NTPI"
        con.print("Enter BASIC turns ratio <%f> ...\n" if field == "NTBAS" else
                  "Enter PINET turns ratio <%f> ...\n", getattr(s, field))
        old = getattr(s, field)
        typed = con.number()
        con.key()  # one more key press, without effect
        setattr(s, field, clamp_turns_ratio(old if typed is None else typed))
        transformer_matching(s)
        if not prints_finite(s):
            setattr(s, field, old)
            transformer_matching(s)
            notice = "Turns ratio refused: this design would overflow single precision with it"


# ---------------------------------------------------------------------------
# Sweep pages
# ---------------------------------------------------------------------------


def toggle_notch(s):
    s.TchNotch = 0 if s.TchNotch == 1 else 1
    filter_response(s, s.TchNotch)


def power_estimate_pages(s, con):
    compute_sweep(s, "BASIC")
    compute_sweep(s, "BASIC+EL")
    while True:
        compute_sweep(s, "BASIC+EL+TCH")
        con.clear()
        sweep_page(s, con.print, False)
        con.print("\nPress <N> to toggle TCH Notch\n")
        con.print("Any other key to continue Power Estimate...\n")
        if con.key() not in ("N", "n"):
            break
        toggle_notch(s)
    compute_sweep(s, "PINET")
    compute_sweep(s, "PINET+EL")
    while True:
        compute_sweep(s, "PINET+EL+TCH")
        con.clear()
        sweep_page(s, con.print, True)
        con.print("\nPress <N> to toggle TCH Notch\n")
        con.print("Any other key to exit Power Estimate...\n")
        if con.key() not in ("N", "n"):
            return
        toggle_notch(s)


# ---------------------------------------------------------------------------
# Wire table and help pages
# ---------------------------------------------------------------------------


def wire_table(con):
    con.clear()
    wire_screen(con.print, range(0, 22),
                "[68degF values]...Press any key to continue Wire Table...")
    con.key()
    con.clear()
    wire_screen(con.print, range(20, 42), "[68degF values]...Press any key to exit Wire Table...")
    con.key()


C_ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def help_texts():
    """The seven page texts of app/help_text.cpp, as C would see them."""
    with open(os.path.join(SOURCE_DIR, "app", "help_text.cpp")) as f:
        source = re.sub(r"/\*.*?\*/", "", f.read(), flags=re.S)
    pages = []
    literal = r'"(?:[^"\\]|\\.)*"'
    for body in re.findall(r"const char kPage\d\[\] =((?:\s*%s)+)\s*;" % literal, source):
        text = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body))
        pages.append(re.sub(r"\\(.)", lambda m: C_ESCAPES[m.group(1)], text))
    assert len(pages) == 7, "help_text.cpp: expected seven pages"
    return pages


def help_pages(con):
    pages = help_texts()
    for text in pages[:6]:
        con.clear()
        con.print(text)  # printed as its own format: %% shows as %
        con.print("\nPress any key to continue Help...or <X> to Exit")
        if con.key() in ("X", "x"):
            return
    con.clear()
    con.print(pages[6])
    con.print("\nPress any key to exit References...")
    con.key()


# ---------------------------------------------------------------------------
# The program
# ---------------------------------------------------------------------------


def run(keys):
    """The transcript of the built program given keys on its standard
    input, start-up clear included."""
    con = Console(keys)
    con.clear()  # start-up
    s = start_values()
    try:
        while True:
            compute_pass(s)
            con.clear()
            main_screen(s, con.print)
            s.notice = ""  # a notice is shown once
            if not main_menu(s, con):
                break
    except EndOfInput:
        pass
    return con.text()


def sessions():
    folder = os.path.join(HERE, "sessions")
    return sorted(n[:-5] for n in os.listdir(folder) if n.endswith(".keys"))


def transcript_of(name):
    with open(os.path.join(HERE, "sessions", name + ".keys"), "rb") as f:
        return run(f.read())


def first_difference(expected, actual):
    a, b = expected.split("\n"), actual.split("\n")
    for i in range(max(len(a), len(b))):
        x = a[i] if i < len(a) else "<end>"
        y = b[i] if i < len(b) else "<end>"
        if x != y:
            return "line %d:\n  expected %r\n  model    %r" % (i + 1, x, y)
    return "no line differs"


def main(argv):
    if len(argv) == 2 and argv[1] == "--write":
        for name in sessions():
            with open(os.path.join(HERE, "expected", name + ".txt"), "w", newline="") as f:
                f.write(transcript_of(name))
        return 0
    if len(argv) == 2 and argv[1] == "--check":
        failed = 0
        for name in sessions():
            with open(os.path.join(HERE, "expected", name + ".txt"), newline="") as f:
                expected = f.read()
            actual = transcript_of(name)
            if actual != expected:
                failed += 1
                print("%s: the model no longer gives the expected transcript, %s"
                      % (name, first_difference(expected, actual)))
            else:
                print("%s: ok" % name)
        return 1 if failed else 0
    if len(argv) == 2:
        with open(argv[1], "rb") as f:
            sys.stdout.write(run(f.read()))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
