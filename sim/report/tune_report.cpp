/*
** tune_report.cpp: the tuning table.  Rows are the elements, then what
** each design does at the design frequency, then the voltage rating its
** device needs; under each figure of the tuned and built designs, the
** same figure by ngspice.  Capacitors of the built design are written as
** the parts to solder ("330+27" for two in parallel).
*/
#include "sim/report/tune_report.h"

#include <cmath>

#include "sim/circuit/topology_table.h"
#include "sim/report/run_json.h"
#include "sim/report/run_report.h"

namespace {

const int kLabelWidth = 22, kColumnWidth = 13;

/* One figure of a steady state, as a row of the table shows it. */
struct Figure {
  const char* label;
  double (*value)(const SimResult& r, double vcc);
  int decimals;
};

const Figure kFigures[] = {
    {"Pout W", [](const SimResult& r, double) { return r.Pout; }, 3},
    {"Pdc W", [](const SimResult& r, double) { return r.Pdc; }, 3},
    {"Efficiency %", [](const SimResult& r, double) { return 100.0 * r.Eff; }, 1},
    {"Device dissipation W", [](const SimResult& r, double) { return r.Pdev; }, 3},
    {"Vpk V", [](const SimResult& r, double) { return r.Vpeak; }, 2},
    {"Vpk / Vcc", [](const SimResult& r, double vcc) { return r.Vpeak / vcc; }, 3},
    {"ZVS err", [](const SimResult& r, double) { return r.ZvsError; }, 4},
    {"Slope", [](const SimResult& r, double) { return r.Slope; }, 4},
    {"H2 dBc", [](const SimResult& r, double) { return r.H2dBc; }, 1},
    {"H3 dBc", [](const SimResult& r, double) { return r.H3dBc; }, 1},
};

std::string Row(const std::string& label, const std::string cells[3]) {
  std::string line = label;
  line.resize(kLabelWidth, ' ');
  for (int i = 0; i < 3; i++) {
    const std::string& c = cells[i];
    line += std::string(c.size() < size_t(kColumnWidth) ? kColumnWidth - c.size() : 1, ' ') + c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + "\n";
}

std::string Number(double v, int decimals) {
  if (!std::isfinite(v)) return "-";
  if (std::fabs(v) >= 1e4) return Format("%.0f", v);
  if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0; /* 0, not -0 */
  return Format("%.*f", decimals, v);
}

/* A part's value as the table shows it: four significant digits. */
std::string PartValue(const Circuit& c, const std::string& name) {
  const CircuitPart* p = FindPart(c, name);
  if (!p) return "";
  const double v = DisplayValue(*p);
  return std::fabs(v) >= 1e4 ? Format("%.0f", v) : Format("%.4g", v);
}

/* The parts every design shows, in circuit order: Cp1 and the device
   have rows of their own, the DC block is the simulation's. */
std::vector<const CircuitPart*> NetworkParts(const Circuit& c) {
  std::vector<const CircuitPart*> out;
  for (const CircuitPart& p : c.Parts)
    if (p.Name != "Cp1" && !IsDevicePart(p) && p.Name != "Cblk") out.push_back(&p);
  return out;
}

std::string Elements(const TuningRun& run) {
  const SimulatedDesign* d[3] = {&run.Calculator, &run.Outcome.Tuned, &run.Built.Built};
  std::string out;
  std::string cells[3];
  const bool device = run.Calculator.CossPf > 0.0;
  /* The built design's capacitors by the parts chosen. */
  auto built = [&](const std::string& name, const std::string& fallback) {
    for (const BuiltCapacitor& b : run.Built.Capacitors)
      if (b.Name == name) return E24Text(b.Parts);
    return fallback;
  };
  for (int i = 0; i < 3; i++) cells[i] = Format("%.4g", d[i]->Cp1TotalPf);
  if (!device) cells[2] = built("Cp1", cells[2]);
  out += Row(device ? "Cp1 total pF" : "Cp1 pF", cells);
  if (device) {
    for (int i = 0; i < 3; i++) cells[i] = Format("%.4g", d[i]->CossPf);
    out += Row(IsGradedCoss(run.Settings.Device) ? "  device, at Vcc pF" : "  device pF", cells);
    for (int i = 0; i < 3; i++) cells[i] = Format("%.4g", double(d[i]->Design.Cp1));
    cells[2] = built("Cp1", cells[2]);
    out += Row("  external: solder pF", cells);
  }
  for (const CircuitPart* p : NetworkParts(run.Outcome.Tuned.Power)) {
    for (int i = 0; i < 3; i++) cells[i] = PartValue(d[i]->Power, p->Name);
    if (p->Kind == kCapacitor) cells[2] = built(p->Name, cells[2]);
    const std::string label = p->Name == "Lp1" ? "Lp1 (choke) uH" : p->Name + " " + DisplayUnit(*p);
    out += Row(label, cells);
  }
  return out;
}

std::string Figures(const TuningRun& run, double vcc, double safety) {
  const SimResult* r[3] = {&run.Calculator.Point, &run.Outcome.Tuned.Point, &run.Built.Built.Point};
  const SimResult* ng[3] = {nullptr, &run.TunedByNgspice, &run.BuiltByNgspice};
  std::string out, cells[3];
  for (const Figure& f : kFigures) {
    for (int i = 0; i < 3; i++)
      cells[i] = r[i]->Run.Ok() ? Number(f.value(*r[i], vcc), f.decimals) : "-";
    out += Row(f.label, cells);
    if (!run.Confirmed) continue;
    for (int i = 0; i < 3; i++)
      cells[i] = ng[i] && ng[i]->Run.Ok() ? Number(f.value(*ng[i], vcc), f.decimals) : "";
    out += Row("  by ngspice", cells);
  }
  for (int i = 0; i < 3; i++) cells[i] = r[i]->Run.Ok() ? Number(r[i]->Vpeak / safety, 1) : "-";
  out += Row("Device rating V", cells);
  return out;
}

std::string AirCoilLine(const WoundCoil& w) {
  const CoilRecord& c = w.Coil;
  return Format("%-10s %7.3f %7.2f %7.2f %7.1f   #%d (#%d) %7.0f %6.3f %6.3f\n", w.Name.c_str(),
                double(c.Uhy), double(c.Dia), double(c.Len), double(c.Nturns), c.AWGMIN,
                c.AWGMIN + 4, double(c.Qu), double(c.Rac), double(c.Rdc));
}

std::string ToroidCoilLine(const WoundCoil& w) {
  const ToroidWinding& t = w.Toroid;
  const CoilRecord& c = w.Coil;
  return Format("%-10s %7.3f  %-10s %5d  #%-3d %5.2f %7.0f %6.3f %6.3f%s\n", w.Name.c_str(),
                double(c.Uhy), kToroidCores[t.Core].Name, t.Turns, t.Gauge, t.WireMm, double(c.Qu),
                double(c.Rac), double(c.Rdc), t.Fits ? "" : "  does not fit");
}

std::string CoilTable(const TuningRun& run) {
  bool toroids = false;
  for (const WoundCoil& w : run.Built.Coils) toroids = toroids || w.Toroid.Core >= 0;
  std::string out =
      toroids ? "\nCoils to wind on toroids (a coil no listed core takes stays air-wound), the\n"
                "wire for the calculator's estimate of the current (--bom: the steady state's):\n"
                "COIL          L-uH  Core        Turns  AWG  Wire-mm    Qu    Rac    Rdc\n"
              : "\nCoils to wind (the calculator's coil model, on the forms it chose):\n"
                "COIL          L-uH  Dia-in  Len-in   Turns  AWGMIN(USE)    Qu    Rac    Rdc\n";
  for (const WoundCoil& w : run.Built.Coils)
    out += w.Toroid.Core >= 0 ? ToroidCoilLine(w) : AirCoilLine(w);
  return out;
}

std::string Heading(const TuningRun& run) {
  const TuneOutcome& t = run.Outcome;
  std::string how =
      t.Shooting ? "the exact engine, shooting the nonlinear device's period" : "the exact engine";
  return Format("\nTuned to class E in the circuit as built (%d steady states by %s):\n",
                t.Evaluations, how.c_str()) +
         "switch on at zero voltage and zero slope, the design power into the load.\n\n";
}

nlohmann::json DesignJson(const SimulatedDesign& d, const SimResult* confirm) {
  nlohmann::json j;
  j["elements"] = ElementsJson(d.Power);
  j["elements"]["Cp1_pF"] = Typed(d.Design.Cp1) + d.CossPf; /* the record holds Cp1 as a float */
  j["elements"]["Cp1_ext_pF"] = Typed(d.Design.Cp1);
  j["point"] = PointJson(d.Point);
  if (confirm) j["confirm"] = PointJson(*confirm);
  return j;
}

}  // namespace

std::string TuneReport(const DesignState& calc, const TuningRun& run) {
  if (!run.Outcome.Tuning.Ok()) return "\nTuning: " + run.Outcome.Tuning.Why() + "\n";
  std::string cells[3] = {"Calculator", "Tuned", "Build"};
  std::string out = Heading(run) + Row("", cells);
  out += Elements(run);
  out += Figures(run, calc.Vcc, calc.Safety);
  out += Format("The calculator rates the device at Dev-BV %.1f V (Vpk / Safety %.2g).\n",
                double(calc.DevBV), double(calc.Safety));
  if (!run.BuildRun.Ok()) out += "The built design did not simulate: " + run.BuildRun.Why() + "\n";
  return out + CoilTable(run);
}

nlohmann::json DesignsJson(const TuningRun& run) {
  nlohmann::json j;
  j["calculator"] = DesignJson(run.Calculator, nullptr);
  if (!run.Outcome.Tuning.Ok()) {
    j["error"] = run.Outcome.Tuning.Why();
    return j;
  }
  j["tuned"] = DesignJson(run.Outcome.Tuned, run.Confirmed ? &run.TunedByNgspice : nullptr);
  j["built"] = DesignJson(run.Built.Built, run.Confirmed ? &run.BuiltByNgspice : nullptr);
  return j;
}
