/*
** netlist.cpp: the designed amplifier written as an ngspice netlist, one
** string per line, for the in-process simulator or for a file.
**
** Every element of the chosen network carries its loss: a capacitor a
** series resistance of X / Qcap, a coil a series resistance of XL / Qu
** (its own coil record's Qu), both at the design frequency.  The choke
** carries its winding's DC resistance in series and its RF loss as
** Qu x XL across it, so the DC current does not pay the RF loss.  A coil
** whose Qu is 0 (not designed) is lossless.
**
** The switch is a conductance driven between 1/Roff and 1/Ron by a 0..1
** pulse with short linear ramps.  A hard switch would dump the charge left
** on Cp1 at turn-on within one time step and lose that energy from the
** books; with a ramp the simulator resolves the discharge and the switch
** is charged with it.
**
** The transient starts near the steady state (the choke carrying the DC
** input current, each DC-blocking capacitor charged to Vcc), which only
** shortens the settling; the steady state itself does not depend on it.
** The pi-network has no series capacitor, so the transient netlist puts a
** DC-blocking capacitor (reactance 1 % of the pi-net resistance at the
** design frequency) between the switch node and Ls2; the supply would
** otherwise drive DC through the load.
*/
#include "sim/netlist.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "engine/single_precision.h"
#include "sim/options.h"
#include "sim/sim_types.h"

const char* const kNodeSwitch = "d";
const char* const kNodeLoad = "out";
const char* const kSwitchCurrent = "vsw#branch";
const char* const kMeterIn = "ein";
const char* const kMeterOut = "eout";
const char* const kMeterDevice = "edev";
const double kSwitchRamp = 0.005;

namespace {

const int kStepsPerPeriod = 400;     /* largest time step: a 400th of a period */
const double kOffResistance = 1e6;   /* the open switch: 1 Mohm, */
const double kOffToRo = 1e4;         /* or 10^4 x Ro when that is more */
const double kMinRon = 1e-3;         /* a closed switch of 0 ohm cannot be simulated */
const double kBlockReactance = 0.01; /* DC block, as a fraction of the pi-net resistance */

/* Where the lines go and how the elements are written. */
struct Writer {
  std::vector<std::string>* lines;
  const DesignState* s;
  double w0;    /* design angular frequency: losses are set there */
  bool lossy;   /* loss resistors in */
  bool initial; /* initial conditions in (transient) */
};

void Add(Writer& w, const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  w.lines->push_back(buf);
}

std::string Lower(const char* name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string InitialCurrent(const Writer& w, double amps) {
  return w.initial ? " IC=" + SpiceNumber(amps) : "";
}

/* A coil of uh microhenries from a to b, with its series loss at Qu. */
void Coil(Writer& w, const char* name, const char* a, const char* b, double uh, double qu,
          double icAmps = 0.0) {
  const double henry = uh * 1e-6;
  const std::string ic = InitialCurrent(w, icAmps);
  if (!w.lossy || qu <= 0.0) {
    Add(w, "%s %s %s %s%s", name, a, b, SpiceNumber(henry).c_str(), ic.c_str());
    return;
  }
  const std::string mid = Lower(name) + "_r";
  Add(w, "%s %s %s %s%s", name, a, mid.c_str(), SpiceNumber(henry).c_str(), ic.c_str());
  Add(w, "R%s %s %s %s", name, mid.c_str(), b, SpiceNumber(w.w0 * henry / qu).c_str());
}

/* A capacitor of pf picofarads from a to b, with its series loss at
   Qcap, charged to icVolts at the start of a transient. */
void Capacitor(Writer& w, const char* name, const char* a, const char* b, double pf,
               double icVolts = 0.0) {
  const double farad = pf * 1e-12;
  const std::string ic = w.initial ? " IC=" + SpiceNumber(icVolts) : "";
  const double qcap = w.s->Qcap;
  if (!w.lossy || qcap <= 0.0) {
    Add(w, "%s %s %s %s%s", name, a, b, SpiceNumber(farad).c_str(), ic.c_str());
    return;
  }
  const std::string mid = Lower(name) + "_r";
  Add(w, "%s %s %s %s%s", name, a, mid.c_str(), SpiceNumber(farad).c_str(), ic.c_str());
  Add(w, "R%s %s %s %s", name, mid.c_str(), b, SpiceNumber(1.0 / (w.w0 * farad * qcap)).c_str());
}

void Resistor(Writer& w, const char* name, const char* a, const char* b, double ohm) {
  Add(w, "%s %s %s %s", name, a, b, SpiceNumber(ohm).c_str());
}

/* Coil Q of the tuning inductor, and of the matching inductor, as the
   calculator books them: one coil wound for both when they are in series
   (BASIC with the load above the network's resistance), two otherwise. */
double TuneQu(const DesignState& s, int topology) {
  if (topology == kSimBasicEl && s.MatchBAS == 1) return s.Coils[kLs2PlusLs3].Qu;
  return s.Coils[kTuneLs2].Qu;
}

double MatchQu(const DesignState& s, int topology) {
  if (topology == kSimBasicEl && s.MatchBAS == 1) return s.Coils[kLs2PlusLs3].Qu;
  return s.Coils[kMatchLs3].Qu;
}

/* The filter's coils take the Q the calculator's sweep gives its trap. */
double FilterQu(const DesignState& s) {
  if (s.MatchEL == 1) return s.Coils[kLs2PlusLs3].Qu;
  if (s.MatchEL == 2) return s.Coils[kMatchLs3].Qu;
  return s.Coils[kTuneLs2].Qu;
}

/* The EL match from node `from` (network side) to the load node:
   arrangement 1 series LM then shunt CM across the load, 2 shunt CM
   across the network side then series LM, 0 a plain connection.
   Returns the node the load side continues from. */
const char* Match(Writer& w, int match, double lmUh, double cmPf, double qu, const char* from,
                  const char* to) {
  if (match == 1) {
    Coil(w, "LM", from, to, lmUh, qu);
    Capacitor(w, "CM", to, "0", cmPf);
    return to;
  }
  if (match == 2) {
    Capacitor(w, "CM", from, "0", cmPf);
    Coil(w, "LM", from, to, lmUh, qu);
    return to;
  }
  return from;
}

/* The separate low-pass filter from node `from` to the load node, with
   the trap in place of its output capacitor when notch is 1. */
void Filter(Writer& w, int notch, const char* from) {
  const DesignState& s = *w.s;
  const double qu = FilterQu(s);
  Capacitor(w, "Cpin", from, "0", s.Cpin);
  Coil(w, "LsTCH", from, kNodeLoad, s.LsTCH, qu);
  if (notch) {
    Coil(w, "LsTrap", kNodeLoad, "trap", s.LsTrap, qu);
    Capacitor(w, "CsTrap", "trap", "0", s.CsTrap);
  } else {
    Capacitor(w, "Cpout", kNodeLoad, "0", s.Cpout);
  }
}

/* Cp1 across the switch, then the output network and its load; in a
   transient the pi-net gets its DC block after the switch node. */
void OutputNetwork(Writer& w, int topology, int notch) {
  const DesignState& s = *w.s;
  const double vcc = s.Vcc;
  Add(w, "* Shunt capacitor across the switch");
  Capacitor(w, "Cp1", kNodeSwitch, "0", s.Cp1);
  Add(w, "* Output network (%s)", TopologyTitle(topology));
  if (topology == kSimBasic || topology == kSimBasicEl) {
    Coil(w, "Ls2", kNodeSwitch, "n1", s.Ls2BAS, TuneQu(s, topology));
    const bool matched = topology == kSimBasicEl && s.MatchBAS != 0;
    Capacitor(w, "Cs2", "n1", matched ? "n2" : kNodeLoad, s.Cs2BAS, vcc);
    if (matched) Match(w, s.MatchBAS, s.LMBAS, s.CMBAS, MatchQu(s, topology), "n2", kNodeLoad);
  } else {
    const char* start = kNodeSwitch;
    if (w.initial) {
      const double blockPf = 1e12 / (w.w0 * kBlockReactance * double(s.RoPI));
      Capacitor(w, "Cblk", kNodeSwitch, "blk", blockPf, vcc);
      start = "blk";
    }
    const bool matched = topology != kSimPinet && s.MatchPI != 0;
    const bool filtered = topology == kSimPinetElTch;
    const char* piOut = matched || filtered ? "n1" : kNodeLoad;
    Coil(w, "Ls2", start, piOut, s.Ls2PI, TuneQu(s, topology));
    Capacitor(w, "Cp2", piOut, "0", s.Cp2PI);
    if (topology != kSimPinet) {
      const char* matchOut = Match(w, s.MatchPI, s.LMPI, s.CMPI, MatchQu(s, topology), piOut,
                                   filtered ? "n2" : kNodeLoad);
      if (filtered) Filter(w, notch, matchOut);
    }
  }
  const bool own = topology == kSimBasic || topology == kSimPinet;
  Add(w, "* Load");
  Resistor(w, own ? "Ro" : "Rload", kNodeLoad, "0", LoadResistance(s, topology));
}

/* Title and the design the netlist was made from. */
void Heading(Writer& w, int topology, int notch, const char* analysis) {
  const DesignState& s = *w.s;
  Add(w, "tolvarin-sim: %s class-E amplifier%s, %s", TopologyTitle(topology),
      notch ? " with 2 x Fo trap" : "", analysis);
  Add(w, "* Design: %.4g MHz, %.4g W, Vcc %.4g V, QL %.4g, Rload %.4g ohm, Ron %.4g ohm",
      double(s.Freq), double(s.Power), double(s.Vcc), double(s.QL), double(s.Rload), double(s.Ron));
  if (w.lossy)
    Add(w, "* Losses at %.4g MHz: capacitors Q %.4g, coils their own Qu", double(s.Freq),
        double(s.Qcap));
  else
    Add(w, "* Lossless elements");
}

/* Supply, choke and switch. */
void SupplyAndSwitch(Writer& w, double driveHz) {
  const DesignState& s = *w.s;
  const CoilRecord& choke = s.Coils[kChokeLp1];
  const double lp1 = double(s.Lp1) * 1e-6;
  const double idc = double(s.Power) / double(s.Vcc);
  const double period = 1.0 / driveHz;
  const double ramp = kSwitchRamp * period;
  const double ron = double(s.Ron) < kMinRon ? kMinRon : double(s.Ron);
  Add(w, "* Supply and choke");
  Add(w, "Vsup vcc 0 DC %s", SpiceNumber(s.Vcc).c_str());
  const bool rdc = w.lossy && choke.Rdc > 0.0f;
  const char* chokeEnd = rdc ? "lp1_r" : kNodeSwitch;
  Add(w, "Lp1 vcc %s %s%s", chokeEnd, SpiceNumber(lp1).c_str(), InitialCurrent(w, idc).c_str());
  if (rdc) Resistor(w, "RLp1dc", "lp1_r", kNodeSwitch, choke.Rdc);
  if (w.lossy && choke.Qu > 0.0f)
    Resistor(w, "RLp1ac", "vcc", chokeEnd, double(choke.Qu) * w.w0 * lp1);
  Add(w, "* Switch: Ron %.4g ohm when on, 50 %% duty, ramps of %.3g %% of a period", ron,
      kSwitchRamp * 100.0);
  Add(w, "Vsw %s sw DC 0", kNodeSwitch);
  const double roff = std::max(kOffResistance, kOffToRo * double(s.Ro));
  Add(w, "Bsw sw 0 I=v(sw)*(%s+%s*v(drive))", SpiceNumber(1.0 / roff).c_str(),
      SpiceNumber(1.0 / ron - 1.0 / roff).c_str());
  Add(w, "Vdrive drive 0 PULSE(0 1 0 %s %s %s %s)", SpiceNumber(ramp).c_str(),
      SpiceNumber(ramp).c_str(), SpiceNumber(period / 2.0 - ramp).c_str(),
      SpiceNumber(period).c_str());
}

/* Integrators whose voltage rises by the average power over each drive
   period: a current equal to the power into a capacitance of one period. */
void Meters(Writer& w, double driveHz, double rload) {
  const std::string period = SpiceNumber(1.0 / driveHz);
  Add(w, "* Energy meters: each rises by the average power (W) of every period");
  Add(w, "Bein 0 %s I=-v(vcc)*i(Vsup)", kMeterIn);
  Add(w, "Beout 0 %s I=v(%s)*v(%s)/%s", kMeterOut, kNodeLoad, kNodeLoad,
      SpiceNumber(rload).c_str());
  Add(w, "Bedev 0 %s I=v(sw)*i(Vsw)", kMeterDevice);
  const char* meters[] = {kMeterIn, kMeterOut, kMeterDevice};
  for (const char* m : meters) {
    Add(w, "C%s %s 0 %s IC=0", m, m, period.c_str());
    Add(w, "R%s %s 0 1e15", m, m);
  }
}

}  // namespace

void BuildTransientNetlist(const DesignState& s, int topology, int notch, double driveHz,
                           int periods, std::vector<std::string>& lines) {
  lines.clear();
  Writer w{&lines, &s, kTwoPi * double(s.FreqHz), true, true};
  char analysis[64];
  std::snprintf(analysis, sizeof analysis, "driven at %.6g MHz", driveHz * 1e-6);
  Heading(w, topology, notch, analysis);
  SupplyAndSwitch(w, driveHz);
  OutputNetwork(w, topology, notch);
  Meters(w, driveHz, LoadResistance(s, topology));
  /* The default tolerance splits the energy of a hard turn-on between the
     switch and Cp1's loss resistance differently from run to run. */
  Add(w, ".options reltol=1e-4");
  const double step = 1.0 / driveHz / kStepsPerPeriod;
  Add(w, ".tran %s %s 0 %s UIC", SpiceNumber(step).c_str(), SpiceNumber(periods / driveHz).c_str(),
      SpiceNumber(step).c_str());
  Add(w, ".end");
}

void BuildAcNetlist(const DesignState& s, int topology, int notch, bool lossless, double fromHz,
                    double toHz, int points, std::vector<std::string>& lines) {
  lines.clear();
  Writer w{&lines, &s, kTwoPi * double(s.FreqHz), !lossless, false};
  Heading(w, topology, notch, "impedance seen by the switch");
  Add(w, "* 1 A into the switch node: v(%s) is the impedance", kNodeSwitch);
  Add(w, "Iac 0 %s DC 0 AC 1", kNodeSwitch);
  Add(w, "* DC path for the operating point only; 1e12 ohm is nothing at RF");
  Add(w, "Rbias %s 0 1e12", kNodeSwitch);
  OutputNetwork(w, topology, notch);
  Add(w, ".ac lin %d %s %s", points, SpiceNumber(fromHz).c_str(), SpiceNumber(toHz).c_str());
  Add(w, ".end");
}

double LoadResistance(const DesignState& s, int topology) {
  if (topology == kSimBasic) return s.RoBAS;
  if (topology == kSimPinet) return s.RoPI;
  return s.Rload;
}

std::string SpiceNumber(double v) {
  static const char* const kSuffix[] = {"f", "p", "n", "u", "m", "", "k", "meg", "g"};
  if (v == 0.0 || !std::isfinite(v)) return "0";
  int group = static_cast<int>(std::floor(std::log10(std::fabs(v)) / 3.0));
  if (group < -5) group = -5;
  if (group > 3) group = 3;
  char buf[48];
  /* Ten digits: the drive period is summed over hundreds of periods, and
     the measurements must find the switch edges where the netlist put them. */
  std::snprintf(buf, sizeof buf, "%.10g%s", v / std::pow(10.0, 3 * group), kSuffix[group + 5]);
  return buf;
}
