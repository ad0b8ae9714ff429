/*
** run_report.cpp: the text of tolvarin-sim.  Everything is built as strings
** and printed by main, so the tests can read what a run would print.
** Lines stay within 80 columns.
*/
#include "sim/report/run_report.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "sim/circuit/topology_table.h"

namespace {

/* "name value unit" items, wrapped at 80 columns under a lead text. */
struct ItemLine {
  std::string text;
  std::string line;
};

void AddItem(ItemLine& l, const std::string& name, double value, const char* unit) {
  /* Four digits, but no exponent: a 100800 pF Cs2 stays a number. */
  const std::string item = std::fabs(value) >= 1e4
                               ? Format("  %s %.0f %s", name.c_str(), value, unit)
                               : Format("  %s %.4g %s", name.c_str(), value, unit);
  if (l.line.size() + item.size() > 79) {
    l.text += l.line + "\n";
    l.line = "        ";
  }
  l.line += item;
}

std::string Parts(const Circuit& c) {
  ItemLine l;
  l.line = "Circuit:";
  for (const CircuitPart& p : c.Parts) AddItem(l, p.Name, DisplayValue(p), DisplayUnit(p));
  return l.text + l.line + "\n";
}

/* The table's columns: heading, unit, width (a space goes before each
   column but the first). */
struct Column {
  const char* name;
  const char* unit;
  int width;
};

const Column kColumns[] = {
    {"Drive", "MHz", 5}, {"Pout", "W", 6}, {"Pdc", "W", 6},    {"Eff", "%", 4},   {"Pdev", "W", 5},
    {"Ploss", "W", 5},   {"Vpk", "V", 6},  {"Vpk/", "Vcc", 4}, {"ZVS", "err", 6}, {"Slope", "", 6},
    {"H2", "dBc", 5},    {"H3", "dBc", 5}, {"Run", "", 4}};

std::string Cell(const std::string& text, int width) {
  return std::string(text.size() < size_t(width) ? width - text.size() : 0, ' ') + text;
}

/* What the Run column says: "ex" for the exact engine, ngspice's drive
   periods otherwise, starred when not steady. */
std::string Run(const SimResult& r) {
  if (r.Engine == kEngineExact) return r.Method == kMethodShooting ? "sh" : "ex";
  return std::to_string(r.Periods) + (r.Steady ? "" : "*");
}

double Relative(double a, double b) {
  const double scale = std::max(std::fabs(a), std::fabs(b));
  return scale > 0.0 ? std::fabs(a - b) / scale : 0.0;
}

}  // namespace

std::string ReportTitle(const DesignRequest& d, int asked, bool confirm, int engine) {
  const char* how = engine != asked ? "ngspice transient analysis (the device is nonlinear)"
                    : confirm       ? "exact periodic steady state, confirmed by ngspice"
                    : engine == kEngineNgspice ? "ngspice transient analysis"
                                               : "exact periodic steady state";
  return std::string("tolvarin-sim: ") + Topology(d.Topology).Title +
         (d.Notch ? " with 2 x Fo trap" : "") + ", " + how + "\n";
}

std::string ReportHeading(const DesignState& s, const Circuit& c) {
  std::string out = "Design: " + c.Origin + "\n";
  out += Parts(c);
  const CircuitLosses l = LossesOf(c);
  out += Format("Losses: capacitors Q %.4g; coils Qu %.4g (choke %.4g), choke Rdc %.3g ohm\n",
                l.CapQ, l.CoilQ, l.ChokeQ, l.ChokeRdc);
  out += Format("Calculator: Pout %.3f W, device %.3f W, Vpk %.2f V (3.56 x Vcc)\n",
                double(s.PwrOut), double(s.DevDiss), double(s.Vpk));
  return out;
}

std::string ChokeLossWarning(const Circuit& c, const std::vector<SimResult>& results) {
  const double rdc = LossesOf(c).ChokeRdc;
  double worst = 0.0, loss = 0.0, mhz = 0.0;
  for (const SimResult& r : results) {
    if (!r.Run.Ok() || !(r.Pdc > 0.0)) continue;
    const double idc = r.Pdc / c.Vcc, watts = idc * idc * rdc;
    if (watts / r.Pdc > worst) {
      worst = watts / r.Pdc;
      loss = watts;
      mhz = r.DriveMHz;
    }
  }
  if (!(worst > kChokeLossShare)) return "";
  return Format("Choke: its %.3g ohm DC resistance takes %.1f %% of Pdc (%.3g W at %.4g MHz).\n",
                rdc, 100.0 * worst, loss, mhz);
}

std::string ShuntCapacitanceWarning(const Circuit& c, double cp1Pf) {
  if (FindPart(c, "Cp1") != nullptr) return "";
  const CircuitPart* coss = FindPart(c, "Coss");
  const double pf = (coss ? coss->Value : CossAt(c.Device, c.Vcc)) * 1e12;
  return Format(
      "Cp1: the device's own %.4g pF at Vcc is more than the whole shunt\n"
      "capacitance of the design, %.4g pF: no Cp1 is left and the circuit is not\n"
      "class E.  --tune finds the network that is, where one is.\n",
      pf, cp1Pf);
}

std::string ReportTableHeading() {
  std::string names, units;
  for (const Column& c : kColumns) {
    const std::string gap = names.empty() ? "" : " ";
    names += gap + Cell(c.name, c.width);
    units += gap + Cell(c.unit, c.width);
  }
  while (!units.empty() && units.back() == ' ') units.pop_back();
  return "\n" + names + "\n" + units + "\n";
}

std::string ReportRow(const SimResult& r, double vcc) {
  std::string row = Fixed(r.DriveMHz, 5, 3);
  if (!r.Run.Ok())
    return row + "  " + (r.Engine == kEngineExact ? "exact engine" : "ngspice") +
           " failed: " + r.Run.Why() + "\n";
  const double cells[] = {
      r.Pout,     r.Pdc,   r.Eff * 100.0, r.Pdev, r.Ploss, r.Vpeak, vcc > 0.0 ? r.Vpeak / vcc : 0.0,
      r.ZvsError, r.Slope, r.H2dBc,       r.H3dBc};
  const int decimals[] = {3, 3, 1, 3, 3, 2, 2, 3, 3, 1, 1};
  for (int i = 0; i < 11; i++) row += " " + Fixed(cells[i], kColumns[i + 1].width, decimals[i]);
  return row + " " + Cell(Run(r), kColumns[12].width) + "\n";
}

std::string ReportNotes(const std::vector<SimResult>& results) {
  std::string out =
      "Pdev: dissipated in the switch; Ploss: coil and capacitor losses; ZVS err:\n"
      "switch voltage at turn-on / peak; Slope: its dv/dt at turn-on / (w Vcc).\n"
      "Run: ex, the exact periodic steady state (sh: a nonlinear device's, by\n"
      "shooting); a number, the drive periods of an ngspice transient (* not\n"
      "steady).\n";
  for (const SimResult& r : results)
    if (r.Run.Ok() && !r.Steady)
      out += Format(
          "* %.4g MHz: not steady, the last two periods differ by %.2f %% from earlier ones\n",
          r.DriveMHz, r.Settle * 100.0);
  return out;
}

std::string ReportAgreement(const std::vector<SimResult>& exact,
                            const std::vector<SimResult>& ngspice) {
  static const char* const kNames[] = {"Pout", "Pdc", "Pdev", "Vpk"};
  double worst = 0.0, zvs = 0.0, slope = 0.0, db = 0.0;
  std::string what = "Pout", where;
  for (size_t i = 0; i < exact.size() && i < ngspice.size(); i++) {
    const SimResult &a = exact[i], &b = ngspice[i];
    if (!a.Run.Ok() || !b.Run.Ok()) continue;
    const double rel[] = {Relative(a.Pout, b.Pout), Relative(a.Pdc, b.Pdc),
                          Relative(a.Pdev, b.Pdev), Relative(a.Vpeak, b.Vpeak)};
    for (int k = 0; k < 4; k++)
      if (where.empty() || rel[k] > worst) {
        worst = rel[k];
        what = kNames[k];
        where = Format("%.4g MHz", a.DriveMHz);
      }
    zvs = std::max(zvs, std::fabs(a.ZvsError - b.ZvsError));
    slope = std::max(slope, std::fabs(a.Slope - b.Slope));
    db = std::max({db, std::fabs(a.H2dBc - b.H2dBc), std::fabs(a.H3dBc - b.H3dBc)});
  }
  if (where.empty()) return "Exact against ngspice: no drive frequency where both ran.\n";
  return Format("Exact against ngspice: largest relative difference %.2f %% (%s at %s);\n",
                worst * 100.0, what.c_str(), where.c_str()) +
         Format("ZVS err within %.4f, slope within %.4f, H2 and H3 within %.2f dB.\n", zvs, slope,
                db);
}

std::string ReportImpedance(const DesignState& s, int topology, const std::vector<double>& mhz,
                            const std::vector<double>& rp0, const std::vector<double>& xp0,
                            const std::vector<double>& rp, const std::vector<double>& xp) {
  std::string out =
      "\nImpedance seen by the device, parallel form (AC analysis of Cp1 and the\n"
      "network, no choke):\n"
      "Drive   lossless          with losses\n"
      "  MHz     Rp ohm   Xp ohm     Rp ohm   Xp ohm\n";
  for (size_t i = 0; i < mhz.size(); i++)
    out += Fixed(mhz[i], 5, 3) + " " + Fixed(rp0[i], 10, 3) + " " + Fixed(xp0[i], 8, 2) + " " +
           Fixed(rp[i], 10, 3) + " " + Fixed(xp[i], 8, 2) + "\n";
  const SweepColumn& c = s.*Topology(topology).Sweep;
  out += Format("Calculator's sweep model at %.4g MHz: Rp %.3f ohm, Xp %.2f ohm\n", double(s.Freq),
                double(c.Rp[kSweepDesignPoint]), double(c.Xp[kSweepDesignPoint]));
  return out;
}

std::string CsvText(const std::vector<SimResult>& results) {
  std::string out = "drive_mhz,time_ns,v_switch,i_switch,v_load\n";
  for (const SimResult& r : results) {
    if (!r.Run.Ok()) continue;
    const int n = static_cast<int>(r.Vsw.size());
    for (int i = 0; i < n; i++)
      out += Format("%.6g,%.6g,%.6g,%.6g,%.6g\n", r.DriveMHz, 1e3 / r.DriveMHz * i / n, r.Vsw[i],
                    r.Isw[i], r.Vload[i]);
  }
  return out;
}
