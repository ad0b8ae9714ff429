/*
** netlist.cpp: a circuit record written as an ngspice netlist.
**
** A part with a series loss becomes the element and its loss resistor
** "R<name>" through a node of its own; the choke's shunt loss is
** "R<name>ac" across the inductance and its winding resistance
** "R<name>dc".  The switch is a conductance driven between 1/Roff and
** 1/Ron by a 0..1 pulse with linear ramps: a hard switch would dump the
** charge left on Cp1 at turn-on within one time step and lose that energy
** from the books; with a ramp the simulator resolves the discharge and
** the switch is charged with it.  The transient starts from the parts'
** initial values (near the steady state), which only shortens the
** settling, and keeps only the vectors the measurements read.
**
** The netlist a user exports also carries a .control block that runs the
** transient and prints the figures the report gives, measured as
** sim/measure.cpp measures them, so "ngspice -b" on the file reproduces
** the report's ngspice figures.  The program's own runs leave it out:
** they measure in process.
*/
#include "sim/engine/netlist.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "engine/single_precision.h"
#include "sim/circuit/topology_table.h"
#include "sim/engine/measure.h"

const char* const kSwitchCurrent = "vsw#branch";
const char* const kMeterIn = "ein";
const char* const kMeterOut = "eout";
const char* const kMeterDevice = "edev";
const double kRunPastEnd = 0.01;

namespace {

const int kStepsPerPeriod = 400; /* largest time step: a 400th of a period */

struct Writer {
  std::vector<std::string>* lines;
  bool initial; /* initial conditions in (transient) */
};

__attribute__((format(printf, 2, 3))) void Add(Writer& w, const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  w.lines->push_back(buf);
}

std::string Lower(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

/* The end of a part's own element: the node of its series loss, or B. */
std::string ElementEnd(const CircuitPart& p) {
  return p.SeriesLoss > 0.0 ? Lower(p.Name) + "_r" : p.NodeB;
}

void Resistor(Writer& w, const std::string& name, const std::string& a, const std::string& b,
              double ohm) {
  Add(w, "%s %s %s %s", name.c_str(), a.c_str(), b.c_str(), SpiceNumber(ohm).c_str());
}

void Part(Writer& w, const CircuitPart& p) {
  if (p.Kind == kResistor) {
    Resistor(w, p.Name, p.NodeA, p.NodeB, p.Value);
    return;
  }
  const bool lossy = p.SeriesLoss > 0.0;
  const std::string end = ElementEnd(p);
  const std::string ic = w.initial ? " IC=" + SpiceNumber(p.Initial) : "";
  Add(w, "%s %s %s %s%s", p.Name.c_str(), p.NodeA.c_str(), end.c_str(),
      SpiceNumber(p.Value).c_str(), ic.c_str());
  const bool shunt = p.ShuntLoss > 0.0;
  if (shunt) Resistor(w, "R" + p.Name + "ac", p.NodeA, end, p.ShuntLoss);
  if (lossy) Resistor(w, "R" + p.Name + (shunt ? "dc" : ""), end, p.NodeB, p.SeriesLoss);
}

void Heading(Writer& w, const Circuit& c, const char* analysis) {
  Add(w, "tolvarin-sim: %s class-E amplifier%s, %s", Topology(c.Topology).Title,
      c.Notch ? " with 2 x Fo trap" : "", analysis);
  Add(w, "* Design: %s", c.Origin.c_str());
  bool lossy = false;
  for (const CircuitPart& p : c.Parts) lossy = lossy || p.SeriesLoss > 0.0 || p.ShuntLoss > 0.0;
  if (lossy)
    Add(w, "* Losses at %.4g MHz: capacitors X / Qcap, coils XL / Qu", c.DesignHz * 1e-6);
  else
    Add(w, "* Lossless elements");
}

void Parts(Writer& w, const Circuit& c) {
  Add(w, "* Choke, shunt capacitor, output network (%s), load", Topology(c.Topology).Title);
  for (const CircuitPart& p : c.Parts) Part(w, p);
}

/* The body diode's model: a junction with series resistance and no
   stored charge, of the device's record or a fast silicon one. */
std::string BodyDiodeModel(const DeviceModel& d) {
  char buf[128];
  std::snprintf(buf, sizeof buf, ".model dbody D(IS=%.6g N=%.6g RS=%.6g)", d.DiodeIs, d.DiodeN,
                d.DiodeRs);
  return buf;
}

/* Points of the piecewise-linear curve ngspice is given within each
   interval of a capacitance table: the power law between the datasheet's
   points is drawn as that many straight pieces. */
const int kTablePieces = 8;

/* Beyond the table the capacitance keeps its end values; the curve
   reaches out this far so ngspice never extrapolates it. */
const double kTableReach = 1e5;

/* "pwl(v(d), v0, c0, v1, c1, ...)" of a capacitance table. */
std::string TableExpression(const DeviceModel& d) {
  std::string e = "pwl(v(" + std::string(kNodeSwitch) + ")";
  auto point = [&](double v) { e += "," + SpiceNumber(v) + "," + SpiceNumber(CossAt(d, v)); };
  const std::vector<CossPoint>& t = d.Table;
  point(std::min(-kTableReach, t.front().Volts - 1.0));
  for (size_t i = 0; i + 1 < t.size(); i++) {
    const double a = t[i].Volts, b = t[i + 1].Volts;
    for (int k = 0; k < kTablePieces; k++) {
      const double f = double(k) / kTablePieces;
      /* Geometric steps along a power law, even steps from 0 V. */
      point(a > 0.0 ? a * std::pow(b / a, f) : a + (b - a) * f);
    }
  }
  point(t.back().Volts);
  point(std::max(kTableReach, t.back().Volts + 1.0));
  return e + ")";
}

/* The device's nonlinear part: a graded output capacitance across the
   switch, held at its value at -Vj / 2 below that, or a table's curve,
   and the body diode behind a 0 V source that meters its current. */
void Device(Writer& w, const Circuit& c) {
  const DeviceModel& d = c.Device;
  if (IsGradedCoss(d)) {
    /* Its loss is that of every capacitor, at its value at Vcc. */
    const double esr = c.Qcap > 0.0 ? 1.0 / (kTwoPi * c.DesignHz * CossAt(d, c.Vcc) * c.Qcap) : 0.0;
    const bool lossy = esr > 0.0;
    if (d.Table.size() > 1) {
      Add(w, "* Device output capacitance, a table of %zu points, %.4g pF at %.4g V",
          d.Table.size(), d.Coss * 1e12, d.CossVolts);
      w.lines->push_back("Ccoss " + std::string(kNodeSwitch) + " " + (lossy ? "coss_r" : "0") +
                         " C='" + TableExpression(d) + "'");
    } else {
      const double cj = CossAt(d, 0.0);
      Add(w, "* Device output capacitance, %.4g pF at %.4g V, graded with M %.3g", d.Coss * 1e12,
          d.CossVolts, d.Grading);
      Add(w, "Ccoss %s %s C='%s*(1+max(v(%s),%s)/%s)^(-%s)'", kNodeSwitch, lossy ? "coss_r" : "0",
          SpiceNumber(cj).c_str(), kNodeSwitch, SpiceNumber(-0.5 * kJunctionPotential).c_str(),
          SpiceNumber(kJunctionPotential).c_str(), SpiceNumber(d.Grading).c_str());
    }
    if (lossy) Resistor(w, "RCcoss", "coss_r", "0", esr);
  }
  if (d.BodyDiode) {
    Add(w, "* Body diode across the switch");
    Add(w, "Vdio %s dio DC 0", kNodeSwitch);
    Add(w, "Dbody 0 dio dbody");
    w.lines->push_back(BodyDiodeModel(d));
  }
}

void SupplyAndSwitch(Writer& w, const Circuit& c, double driveHz) {
  const double period = 1.0 / driveHz;
  const double ramp = c.Switch.Ramp * period, on = c.Switch.Duty * period;
  Add(w, "* Supply");
  Add(w, "Vsup %s 0 DC %s", kNodeSupply, SpiceNumber(c.Vcc).c_str());
  Add(w, "* Switch: Ron %.4g ohm when on, %.4g %% duty, ramps of %.3g %% of a period", c.Switch.Ron,
      c.Switch.Duty * 100.0, c.Switch.Ramp * 100.0);
  Add(w, "Vsw %s sw DC 0", kNodeSwitch);
  const double gOff = 1.0 / c.Switch.Roff, gOn = 1.0 / c.Switch.Ron;
  Add(w, "Bsw sw 0 I=v(sw)*(%s+%s*v(drive))", SpiceNumber(gOff).c_str(),
      SpiceNumber(gOn - gOff).c_str());
  Add(w, "Vdrive drive 0 PULSE(0 1 0 %s %s %s %s)", SpiceNumber(ramp).c_str(),
      SpiceNumber(ramp).c_str(), SpiceNumber(on - ramp).c_str(), SpiceNumber(period).c_str());
}

/* The voltage from node a to node b as a B-source expression. */
std::string Across(const std::string& a, const std::string& b) {
  if (b == kNodeGround) return "v(" + a + ")";
  return "(v(" + a + ")-v(" + b + "))";
}

/* Integrators whose voltage rises by the average power over each drive
   period: a current equal to the power into a capacitance of one period. */
void Meters(Writer& w, const Circuit& c, double driveHz) {
  const CircuitPart& load = c.Parts[c.Load];
  const std::string period = SpiceNumber(1.0 / driveHz);
  Add(w, "* Energy meters: each rises by the average power (W) of every period");
  Add(w, "Bein 0 %s I=-v(%s)*i(Vsup)", kMeterIn, kNodeSupply);
  const std::string v = Across(load.NodeA, load.NodeB);
  Add(w, "Beout 0 %s I=%s*%s/%s", kMeterOut, v.c_str(), v.c_str(), SpiceNumber(load.Value).c_str());
  /* The device dissipates in its channel and in its body diode. */
  Add(w, "Bedev 0 %s I=v(sw)*i(Vsw)%s", kMeterDevice, c.Device.BodyDiode ? "+v(d)*i(Vdio)" : "");
  for (const char* m : {kMeterIn, kMeterOut, kMeterDevice}) {
    Add(w, "C%s %s 0 %s IC=0", m, m, period.c_str());
    Add(w, "R%s %s 0 1e15", m, m);
  }
}

/* The time of the end of the run, as .tran gives it: a little past the
   last period. */
std::string StopTime(double driveHz, int periods) {
  return SpiceNumber((periods + kRunPastEnd) / driveHz);
}

/* dst = the value of vector v at time `at`, linearly between its points.
   The time is a number, not a vector: meas reads a vector's value as
   ngspice prints it, to seven digits, which can put the end of the last
   period past the end of the run ("out of interval") and moves its start
   off the switch's edge. */
void FindAt(Writer& w, const char* dst, const char* v, const std::string& at) {
  Add(w, "meas tran %s find %s at=%s", dst, v, at.c_str());
}

/* slope = dv/dt of the switch voltage just before tlast: the least-
   squares cubic through the points of the window before it, in
   u = (time - tlast) / window, by its normal equations solved here.  The
   mask keeps the points of the window. */
void SlopeFit(Writer& w) {
  Add(w, "let win = period*%.10g", kSlopeWindow);
  Add(w, "let inwin = (time ge tlast - win) and (time le tlast)");
  Add(w, "let u = (time - tlast)/win");
  const char* const powers[] = {
      "inwin",         "inwin*u",         "inwin*u*u",        "inwin*u*u*u",
      "inwin*u*u*u*u", "inwin*u*u*u*u*u", "inwin*u*u*u*u*u*u"};
  for (int k = 0; k < 7; k++) Add(w, "let m%d = mean(%s)*length(time)", k, powers[k]);
  for (int k = 0; k < 4; k++)
    Add(w, "let r%d = mean(%s*v(%s))*length(time)", k, powers[k], kNodeSwitch);
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) Add(w, "let a%d%d = m%d", i, j, i + j);
  for (int k = 0; k < 4; k++)
    for (int i = k + 1; i < 4; i++) {
      Add(w, "let f = a%d%d/a%d%d", i, k, k, k);
      for (int j = k + 1; j < 4; j++) Add(w, "let a%d%d = a%d%d - f*a%d%d", i, j, i, j, k, j);
      Add(w, "let r%d = r%d - f*r%d", i, i, k);
    }
  Add(w, "let c3 = r3/a33");
  Add(w, "let c2 = (r2 - a23*c3)/a22");
  Add(w, "let c1 = (r1 - a12*c2 - a13*c3)/a11");
}

/* The .control block: the run, then each figure of the report over the
   last period.  Powers are the meters' rise over it; the peak and the
   voltage at turn-on come from the raw points; the harmonics from
   ngspice's Fourier analysis, which reads the last period's length before
   the end of the run on a grid of as many points as the report samples:
   that ends kRunPastEnd later than the last period, which moves the
   harmonics' phases and not their levels in a steady run. */
void Measurements(Writer& w, const Circuit& c, double driveHz, int periods) {
  const std::string tlast = SpiceNumber((periods - 1) / driveHz);
  const std::string tend = SpiceNumber(periods / driveHz);
  Add(w, "* The figures tolvarin-sim reports, over the last drive period:");
  Add(w, "* ngspice -b <this file> prints them");
  Add(w, ".control");
  Add(w, "run");
  Add(w, "let period = %s", SpiceNumber(1.0 / driveHz).c_str());
  Add(w, "let tlast = %s", tlast.c_str());
  for (const char* m : {kMeterIn, kMeterOut, kMeterDevice}) {
    char a[16], b[16], v[16];
    std::snprintf(a, sizeof a, "%s_a", m);
    std::snprintf(b, sizeof b, "%s_b", m);
    std::snprintf(v, sizeof v, "v(%s)", m);
    FindAt(w, a, v, tlast);
    FindAt(w, b, v, tend);
  }
  Add(w, "let pdc = %s_b - %s_a", kMeterIn, kMeterIn);
  Add(w, "let pout = %s_b - %s_a", kMeterOut, kMeterOut);
  Add(w, "let pdev = %s_b - %s_a", kMeterDevice, kMeterDevice);
  Add(w, "meas tran vpk max v(%s) from=%s to=%s", kNodeSwitch, tlast.c_str(), tend.c_str());
  FindAt(w, "von", ("v(" + std::string(kNodeSwitch) + ")").c_str(), tlast);
  Add(w, "let zvs = von/vpk");
  SlopeFit(w);
  Add(w, "let slope = c1/win*period/(2*pi*%s)", SpiceNumber(c.Vcc).c_str());
  Add(w, "set fourgridsize=%d", int(kPeriodSamples));
  Add(w, "fourier %s v(%s)", SpiceNumber(driveHz).c_str(), kNodeLoad);
  Add(w, "let h2 = db(fourier11[1][2]/fourier11[1][1])");
  Add(w, "let h3 = db(fourier11[1][3]/fourier11[1][1])");
  Add(w, "echo \"Last of %d periods at %.6g MHz:\"", periods, driveHz * 1e-6);
  const char* const figures[][3] = {
      {"Pout", "pout", " W"}, {"Pdc", "pdc", " W"}, {"Pdev", "pdev", " W"},
      {"Vpk", "vpk", " V"},   {"Von", "von", " V"}, {"ZVS err", "zvs", ""},
      {"Slope", "slope", ""}, {"H2", "h2", " dBc"}, {"H3", "h3", " dBc"}};
  for (const auto& f : figures) Add(w, "echo \"%s $&%s%s\"", f[0], f[1], f[2]);
  Add(w, "quit");
  Add(w, ".endc");
}

}  // namespace

void StateProbes(const Circuit& c, std::vector<StateProbe>& probes) {
  probes.assign(c.Parts.size(), StateProbe{});
  for (size_t i = 0; i < c.Parts.size(); i++) {
    const CircuitPart& p = c.Parts[i];
    const std::string end = ElementEnd(p);
    if (p.Kind == kCoil) probes[i].Current = Lower(p.Name) + "#branch";
    if (p.Kind != kCapacitor) continue;
    probes[i].Plus = p.NodeA == kNodeGround ? "" : Lower(p.NodeA);
    probes[i].Minus = end == kNodeGround ? "" : Lower(end);
  }
}

namespace {

/* The .save line: what the measurements read, and each part's state. */
void Save(Writer& w, const Circuit& c, bool states) {
  std::string line = ".save v(" + std::string(kNodeSwitch) + ") i(Vsw) v(" + kNodeLoad + ") v(" +
                     kMeterIn + ") v(" + kMeterOut + ") v(" + kMeterDevice + ")";
  if (states) {
    std::vector<StateProbe> probes;
    StateProbes(c, probes);
    for (size_t i = 0; i < probes.size(); i++) {
      if (!probes[i].Current.empty()) line += " i(" + c.Parts[i].Name + ")";
      for (const std::string& node : {probes[i].Plus, probes[i].Minus})
        if (!node.empty()) line += " v(" + node + ")";
    }
  }
  w.lines->push_back(line);
}

}  // namespace

void BuildTransientNetlist(const Circuit& c, double driveHz, int periods,
                           std::vector<std::string>& lines, bool saveStates) {
  lines.clear();
  Writer w{&lines, true};
  char analysis[64];
  std::snprintf(analysis, sizeof analysis, "driven at %.6g MHz", driveHz * 1e-6);
  Heading(w, c, analysis);
  SupplyAndSwitch(w, c, driveHz);
  Parts(w, c);
  Device(w, c);
  Meters(w, c, driveHz);
  /* The default tolerance splits the energy of a hard turn-on between the
     switch and Cp1's loss resistance differently from run to run. */
  Add(w, ".options reltol=1e-4");
  const double step = 1.0 / driveHz / kStepsPerPeriod;
  Add(w, ".tran %s %s 0 %s UIC", SpiceNumber(step).c_str(), StopTime(driveHz, periods).c_str(),
      SpiceNumber(step).c_str());
  Save(w, c, saveStates);
  Add(w, ".end");
}

void BuildExportedNetlist(const Circuit& c, double driveHz, int periods,
                          std::vector<std::string>& lines) {
  BuildTransientNetlist(c, driveHz, periods, lines);
  lines.pop_back(); /* ".end" */
  Writer w{&lines, true};
  Measurements(w, c, driveHz, periods);
  Add(w, ".end");
}

void BuildAcNetlist(const Circuit& c, double fromHz, double toHz, int points,
                    std::vector<std::string>& lines) {
  lines.clear();
  Writer w{&lines, false};
  Heading(w, c, "impedance seen by the switch");
  Add(w, "* 1 A into the switch node: v(%s) is the impedance", kNodeSwitch);
  Add(w, "Iac 0 %s DC 0 AC 1", kNodeSwitch);
  Add(w, "* DC path for the operating point only; 1e12 ohm is nothing at RF");
  Add(w, "Rbias %s 0 1e12", kNodeSwitch);
  Parts(w, c);
  Add(w, ".ac lin %d %s %s", points, SpiceNumber(fromHz).c_str(), SpiceNumber(toHz).c_str());
  Add(w, ".end");
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
