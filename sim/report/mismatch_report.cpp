/*
** mismatch_report.cpp: the load-mismatch table, a row per phase with the
** worst of each figure marked, then the worst cases one per line.  Lines
** stay within 80 columns; a run that failed says why in its row.
*/
#include "sim/report/mismatch_report.h"

#include <cmath>

#include "sim/circuit/format.h"

using nlohmann::json;

namespace {

/* The mismatch table's figure columns: width of each, before its mark. */
const int kFigureWidth[kFigureCount] = {7, 6, 7, 7, 8, 8};

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
  if (!p.Result.Run.Ok())
    return row + "  " + (run.Engine == kEngineExact ? "exact engine" : "ngspice") +
           " failed: " + p.Result.Run.Why() + "\n";
  const Figures f = FiguresOf(p.Result);
  for (int i = 0; i < kFigureCount; i++)
    row += " " + PadLeft(FigureText(i, f.Of[i]), kFigureWidth[i]) + (run.Worst[i] == k ? "*" : " ");
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
    out += label + PadLeft(FigureText(i, FiguresOf(p.Result).Of[i]), 9) +
           Format("  at %3.0f deg, load %.2f %c j%.2f ohm\n", p.PhaseDeg, p.LoadR,
                  p.LoadX < 0.0 ? '-' : '+', std::fabs(p.LoadX));
  }
  return out;
}

}  // namespace

std::string MismatchReport(const MismatchRun& run) {
  std::string out = MismatchHeading(run);
  for (int k = 0; k < static_cast<int>(run.Points.size()); k++) out += MismatchRow(run, k);
  if (run.Stopped)
    out += Format("Stopped after %zu of the %d phases.\n", run.Points.size(), kMismatchPhases);
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
    j["ok"] = p.Result.Run.Ok();
    if (!p.Result.Run.Ok()) {
      j["error"] = p.Result.Run.Why();
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
