/*
** report.cpp: the text of tolvarin-sim.  Everything is built as strings
** and printed by main, so the tests can read what a run would print.
** Lines stay within 80 columns.
*/
#include "sim/report.h"

#include <cmath>
#include <cstdio>

#include "sim/netlist.h"
#include "sim/options.h"

namespace {

std::string Format(const char* format, double a, double b = 0.0, double c = 0.0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

/* "name value unit" items, wrapped at 80 columns under a lead text. */
struct ItemLine {
  std::string text;
  std::string line;
};

void AddItem(ItemLine& l, const char* name, double value, const char* unit) {
  char buf[64];
  /* Four digits, but no exponent: a 100800 pF Cs2 stays a number. */
  if (std::fabs(value) >= 1e4)
    std::snprintf(buf, sizeof buf, "  %s %.0f %s", name, value, unit);
  else
    std::snprintf(buf, sizeof buf, "  %s %.4g %s", name, value, unit);
  if (l.line.size() + std::char_traits<char>::length(buf) > 79) {
    l.text += l.line + "\n";
    l.line = "        ";
  }
  l.line += buf;
}

void AddCoil(ItemLine& l, const char* name, double uh) {
  AddItem(l, name, uh, "uH");
}
void AddCap(ItemLine& l, const char* name, double pf) {
  AddItem(l, name, pf, "pF");
}

void AddMatch(ItemLine& l, int match, double lm, double cm) {
  if (match == 0) return;
  AddCoil(l, "LM", lm);
  AddCap(l, "CM", cm);
}

std::string Elements(const DesignState& s, int topology, int notch) {
  ItemLine l;
  l.line = "Circuit:";
  AddCoil(l, "Lp1", s.Lp1);
  AddCap(l, "Cp1", s.Cp1);
  if (topology == kSimBasic || topology == kSimBasicEl) {
    AddCoil(l, "Ls2", s.Ls2BAS);
    AddCap(l, "Cs2", s.Cs2BAS);
    if (topology == kSimBasicEl) AddMatch(l, s.MatchBAS, s.LMBAS, s.CMBAS);
  } else {
    AddCoil(l, "Ls2", s.Ls2PI);
    AddCap(l, "Cp2", s.Cp2PI);
    if (topology != kSimPinet) AddMatch(l, s.MatchPI, s.LMPI, s.CMPI);
    if (topology == kSimPinetElTch) {
      AddCap(l, "Cpin", s.Cpin);
      AddCoil(l, "LsTCH", s.LsTCH);
      if (notch) {
        AddCoil(l, "LsTrap", s.LsTrap);
        AddCap(l, "CsTrap", s.CsTrap);
      } else {
        AddCap(l, "Cpout", s.Cpout);
      }
    }
  }
  const bool own = topology == kSimBasic || topology == kSimPinet;
  AddItem(l, own ? "Ro" : "Rload", LoadResistance(s, topology), "ohm");
  return l.text + l.line + "\n";
}

}  // namespace

std::string Fixed(double v, int width, int decimals) {
  if (!std::isfinite(v)) v = 0.0;
  const double mag = std::fabs(v);
  int digits = mag >= 1.0 ? static_cast<int>(std::floor(std::log10(mag))) + 1 : 1;
  if (v < 0.0) digits++;
  int d = width - digits - 1;
  if (d > decimals) d = decimals;
  if (d < 0) d = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, d, v);
  return buf;
}

std::string ReportHeading(const DesignState& s, const SimOptions& o) {
  std::string out = std::string("tolvarin-sim: ") + TopologyTitle(o.Topology) +
                    (o.Notch ? " with 2 x Fo trap" : "") + ", ngspice transient analysis\n";
  out += Format("Design: %.4g MHz, %.4g W, ", s.Freq, s.Power) +
         Format("Vcc %.4g V, QL %.4g, ", s.Vcc, s.QL) +
         Format("Rload %.4g ohm, Ron %.4g ohm\n", s.Rload, s.Ron);
  out += Elements(s, o.Topology, o.Notch);
  out += Format("Losses: capacitors Q %.4g; coils Qu %.4g (choke %.4g)", s.Qcap,
                s.Coils[kTuneLs2].Qu, s.Coils[kChokeLp1].Qu) +
         Format(", choke Rdc %.3g ohm\n", s.Coils[kChokeLp1].Rdc);
  out += Format("Calculator: Pout %.3f W, device %.3f W, ", s.PwrOut, s.DevDiss) +
         Format("Vpk %.2f V (3.56 x Vcc)\n", s.Vpk);
  return out;
}

namespace {

/* The table's columns: heading, unit, width (a space goes before each
   column but the first). */
struct Column {
  const char* name;
  const char* unit;
  int width;
};

const Column kColumns[] = {{"Drive", "MHz", 5}, {"Pout", "W", 6},   {"Pdc", "W", 6},
                           {"Eff", "%", 5},     {"Pdev", "W", 6},   {"Ploss", "W", 6},
                           {"Vpk", "V", 6},     {"Vpk/", "Vcc", 5}, {"ZVS", "err", 6},
                           {"H2", "dBc", 6},    {"H3", "dBc", 6},   {"Per", "", 4}};

std::string Cell(const std::string& text, int width) {
  return std::string(text.size() < size_t(width) ? width - text.size() : 0, ' ') + text;
}

}  // namespace

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
  if (!r.Ok) return row + "  simulation failed: " + r.Error + "\n";
  row += " " + Fixed(r.Pout, 6, 3) + " " + Fixed(r.Pdc, 6, 3) + " " + Fixed(r.Eff * 100.0, 5, 1);
  row += " " + Fixed(r.Pdev, 6, 3) + " " + Fixed(r.Ploss, 6, 3) + " " + Fixed(r.Vpeak, 6, 2);
  row += " " + Fixed(vcc > 0.0 ? r.Vpeak / vcc : 0.0, 5, 2) + " " + Fixed(r.ZvsError, 6, 3);
  row += " " + Fixed(r.H2dBc, 6, 1) + " " + Fixed(r.H3dBc, 6, 1) + " " + Fixed(r.Periods, 4, 0);
  return row + (r.Steady ? "" : "*") + "\n";
}

std::string ReportNotes(const std::vector<SimResult>& results) {
  std::string out =
      "Pdev: dissipated in the switch; Ploss: coil and capacitor losses; ZVS err:\n"
      "switch voltage at turn-on / peak; Per: drive periods simulated (* not steady).\n";
  for (const SimResult& r : results)
    if (r.Ok && !r.Steady)
      out += Format(
          "* %.4g MHz: not steady, the last two periods differ by %.2f %% from earlier ones\n",
          r.DriveMHz, r.Settle * 100.0);
  return out;
}

const SweepColumn& SweepColumnFor(const DesignState& s, int topology) {
  switch (topology) {
    case kSimBasicEl: return s.SweepBASEL;
    case kSimPinet: return s.SweepPI;
    case kSimPinetEl: return s.SweepPIEL;
    case kSimPinetElTch: return s.SweepPIELTCH;
    default: return s.SweepBAS;
  }
}

std::string ReportImpedance(const DesignState& s, const SimOptions& o,
                            const std::vector<double>& mhz, const std::vector<double>& rp0,
                            const std::vector<double>& xp0, const std::vector<double>& rp,
                            const std::vector<double>& xp) {
  std::string out =
      "\nImpedance seen by the device, parallel form (AC analysis of Cp1 and the\n"
      "network, no choke):\n"
      "Drive   lossless          with losses\n"
      "  MHz     Rp ohm   Xp ohm     Rp ohm   Xp ohm\n";
  for (size_t i = 0; i < mhz.size(); i++)
    out += Fixed(mhz[i], 5, 3) + " " + Fixed(rp0[i], 10, 3) + " " + Fixed(xp0[i], 8, 2) + " " +
           Fixed(rp[i], 10, 3) + " " + Fixed(xp[i], 8, 2) + "\n";
  const SweepColumn& c = SweepColumnFor(s, o.Topology);
  out += Format("Calculator's sweep model at %.4g MHz: Rp %.3f ohm, ", s.Freq,
                c.Rp[kSweepDesignPoint]) +
         Format("Xp %.2f ohm\n", c.Xp[kSweepDesignPoint]);
  return out;
}

std::string CsvText(const std::vector<SimResult>& results) {
  std::string out = "drive_mhz,time_ns,v_switch,i_switch,v_load\n";
  char buf[160];
  for (const SimResult& r : results) {
    if (!r.Ok) continue;
    const int n = static_cast<int>(r.Vsw.size());
    for (int i = 0; i < n; i++) {
      std::snprintf(buf, sizeof buf, "%.6g,%.6g,%.6g,%.6g,%.6g\n", r.DriveMHz,
                    1e3 / r.DriveMHz * i / n, r.Vsw[i], r.Isw[i], r.Vload[i]);
      out += buf;
    }
  }
  return out;
}
