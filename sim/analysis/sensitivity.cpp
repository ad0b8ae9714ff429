/*
** sensitivity.cpp: one steady state per element, each with that element
** alone 1 % up, against the nominal.  The ranking is stable: elements of
** equal effect keep the circuit's order.
*/
#include "sim/analysis/sensitivity.h"

#include <algorithm>
#include <cmath>

#include "sim/analysis/variation.h"
#include "sim/engine/drive.h"

const double kSensitivityStep = 0.01;

double EffectSize(const ElementEffect& e) {
  if (!e.Run.Ok()) return -1.0;
  return std::max({std::fabs(e.DPoutPct), std::fabs(e.DVpkPct), 100.0 * std::fabs(e.DZvs)});
}

void RunSensitivity(const Circuit& c, int engine, int periods, double driveMHz, SensitivityRun& out,
                    const AnalysisProgress& progress) {
  out = SensitivityRun{};
  out.Engine = engine;
  out.DriveMHz = driveMHz;
  SimulateDrive(c, engine, periods, driveMHz, out.Nominal, nullptr, kDetailFigures);
  if (!out.Nominal.Run.Ok()) return;
  const SimResult& n = out.Nominal;
  const std::vector<std::string> elements = CircuitElements(c);
  out.Elements = static_cast<int>(elements.size());
  out.Stopped = progress && !progress(0, out.Elements);
  for (const std::string& element : elements) {
    if (out.Stopped) break;
    Circuit changed = c;
    ChangeElement(changed, element, kSensitivityStep);
    SimResult r;
    SimulateDrive(changed, engine, periods, driveMHz, r, nullptr, kDetailFigures);
    ElementEffect e{
        element, ElementDisplayValue(c, element), ElementDisplayUnit(c, element), r.Run, 0.0, 0.0,
        0.0};
    if (e.Run.Ok()) {
      e.DPoutPct = n.Pout > 0.0 ? 100.0 * (r.Pout / n.Pout - 1.0) : 0.0;
      e.DVpkPct = n.Vpeak > 0.0 ? 100.0 * (r.Vpeak / n.Vpeak - 1.0) : 0.0;
      e.DZvs = r.ZvsError - n.ZvsError;
    }
    out.Effects.push_back(e);
    out.Stopped = progress && !progress(static_cast<int>(out.Effects.size()), out.Elements);
  }
  std::stable_sort(
      out.Effects.begin(), out.Effects.end(),
      [](const ElementEffect& a, const ElementEffect& b) { return EffectSize(a) > EffectSize(b); });
}
