/*
** analysis_report.cpp: the mismatch table and the sensitivity table.
** Lines stay within 80 columns; a run that failed says why in its row.
*/
#include "sim/analysis_report.h"

#include <cmath>

#include "sim/options.h"
#include "sim/report.h"

using nlohmann::json;

namespace {

/* The mismatch table's figure columns: width of each, before its mark. */
const int kFigureWidth[kFigureCount] = {7, 6, 7, 7, 8, 8};

std::string Pad(const std::string& s, int width) {
  return std::string(s.size() < size_t(width) ? width - s.size() : 0, ' ') + s;
}

std::string MismatchHeading(const MismatchRun& run) {
  std::string out =
      Format("\nLoad mismatch: VSWR %g around %s %.2f ohm at %.6g MHz (%s engine):\n", run.Vswr,
             run.LoadName.c_str(), run.NominalR, run.DriveMHz, EngineName(run.Engine));
  out += "phase 0 is R x VSWR, 180 is R / VSWR, 90 inductive; a reactance is in series.\n";
  out += "Phase  Load R  Load X     Pout    Eff     Pdev      Vpk      ZVS    Slope\n";
  out += "  deg     ohm     ohm        W      %        W        V      err\n";
  return out;
}

std::string MismatchRow(const MismatchRun& run, int k) {
  const MismatchPoint& p = run.Points[k];
  std::string row = Format("%5.0f %7.2f %7.2f", p.PhaseDeg, p.LoadR, p.LoadX);
  if (!p.Result.Ok)
    return row + "  " + (run.Engine == kEngineExact ? "exact engine" : "ngspice") +
           " failed: " + p.Result.Error + "\n";
  const Figures f = FiguresOf(p.Result);
  for (int i = 0; i < kFigureCount; i++)
    row += " " + Pad(FigureText(i, f.Of[i]), kFigureWidth[i]) + (run.Worst[i] == k ? "*" : " ");
  while (row.back() == ' ') row.pop_back();
  return row + "\n";
}

std::string WorstLines(const MismatchRun& run) {
  static const char* const kHow[kFigureCount] = {"lowest",  "lowest",  "highest",
                                                 "highest", "largest", "largest"};
  std::string out = "Worst cases (marked *):\n";
  for (int i = 0; i < kFigureCount; i++) {
    if (run.Worst[i] < 0) continue;
    const MismatchPoint& p = run.Points[run.Worst[i]];
    std::string label = std::string("  ") + kHow[i] + " " + kFigures[i].Label;
    label.resize(26, ' ');
    out += label + Pad(FigureText(i, FiguresOf(p.Result).Of[i]), 9) +
           Format("  at %3.0f deg, load %.2f %c j%.2f ohm\n", p.PhaseDeg, p.LoadR,
                  p.LoadX < 0.0 ? '-' : '+', std::fabs(p.LoadX));
  }
  return out;
}

std::string Signed(double v, int decimals) {
  return Format("%+.*f", decimals, v);
}

}  // namespace

std::string MismatchReport(const MismatchRun& run) {
  std::string out = MismatchHeading(run);
  for (int k = 0; k < static_cast<int>(run.Points.size()); k++) out += MismatchRow(run, k);
  return out + WorstLines(run);
}

json MismatchJson(const MismatchRun& run) {
  json points = json::array();
  for (int k = 0; k < static_cast<int>(run.Points.size()); k++) {
    const MismatchPoint& p = run.Points[k];
    json j;
    j["vswr"] = run.Vswr;
    j["phase_deg"] = p.PhaseDeg;
    j["load_r_ohm"] = p.LoadR;
    j["load_x_ohm"] = p.LoadX;
    j["ok"] = p.Result.Ok != 0;
    if (!p.Result.Ok) {
      j["error"] = p.Result.Error;
      points.push_back(j);
      continue;
    }
    const Figures f = FiguresOf(p.Result);
    json worst = json::array();
    for (int i = 0; i < kFigureCount; i++) {
      j[kFigures[i].Key] = f.Of[i];
      if (run.Worst[i] == k) worst.push_back(kFigures[i].Key);
    }
    j["worst_of"] = worst;
    points.push_back(j);
  }
  return points;
}

std::string SensitivityReport(const SensitivityRun& run) {
  std::string out = Format("\nSensitivity: each element alone +%g %%, at %.6g MHz (%s engine).\n",
                           100.0 * kSensitivityStep, run.DriveMHz, EngineName(run.Engine));
  if (!run.Nominal.Ok)
    return out + "The nominal design has no steady state: " + run.Nominal.Error + "\n";
  out += Format("Nominal: Pout %.3f W, Vpk %.2f V, ZVS err %.4f.  Largest effect first.\n",
                run.Nominal.Pout, run.Nominal.Vpeak, run.Nominal.ZvsError);
  out += "Element          Value   dPout %    dVpk %      dZVS\n";
  for (const ElementEffect& e : run.Effects) {
    std::string name = e.Element;
    name.resize(8, ' ');
    /* Four digits, but no exponent: a 69180 pF DC block stays a number. */
    const char* format = std::fabs(e.Value) >= 1e4 ? "%.0f %s" : "%.4g %s";
    std::string row = name + Pad(Format(format, e.Value, e.Unit.c_str()), 14);
    if (!e.Ok)
      row += "  failed: " + e.Error;
    else
      row += Pad(Signed(e.DPoutPct, 3), 10) + Pad(Signed(e.DVpkPct, 3), 10) +
             Pad(Signed(e.DZvs, 5), 10);
    out += row + "\n";
  }
  return out + "dZVS: change of the switch voltage at turn-on, as a fraction of the peak.\n";
}

json SensitivityJson(const SensitivityRun& run) {
  json out = json::array();
  for (const ElementEffect& e : run.Effects) {
    json j;
    j["element"] = e.Element;
    j["value"] = e.Value;
    j["unit"] = e.Unit;
    j["ok"] = e.Ok;
    if (!e.Ok) {
      j["error"] = e.Error;
    } else {
      j["dpout_pct"] = e.DPoutPct;
      j["dvpk_pct"] = e.DVpkPct;
      j["dzvs"] = e.DZvs;
    }
    out.push_back(j);
  }
  return out;
}
