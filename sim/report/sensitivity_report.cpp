/*
** sensitivity_report.cpp: the sensitivity table, largest effect first.
** Lines stay within 80 columns; an element whose run failed says why.
*/
#include "sim/report/sensitivity_report.h"

#include <cmath>

#include "sim/circuit/format.h"

using nlohmann::json;

namespace {

std::string Signed(double v, int decimals) {
  return Format("%+.*f", decimals, v);
}

}  // namespace

std::string SensitivityReport(const SensitivityRun& run) {
  std::string out = Format("\nSensitivity: each element alone +%g %%, at %.6g MHz (%s engine).\n",
                           100.0 * kSensitivityStep, run.DriveMHz, EngineName(run.Engine));
  if (!run.Nominal.Run.Ok())
    return out + "The nominal design has no steady state: " + run.Nominal.Run.Why() + "\n";
  out += Format("Nominal: Pout %.3f W, Vpk %.2f V, ZVS err %.4f.  Largest effect first.\n",
                run.Nominal.Pout, run.Nominal.Vpeak, run.Nominal.ZvsError);
  out += "Element          Value   dPout %    dVpk %      dZVS\n";
  for (const ElementEffect& e : run.Effects) {
    std::string name = e.Element;
    name.resize(8, ' ');
    /* Four digits, but no exponent: a 69180 pF DC block stays a number. */
    const char* format = std::fabs(e.Value) >= 1e4 ? "%.0f %s" : "%.4g %s";
    std::string row = name + PadLeft(Format(format, e.Value, e.Unit.c_str()), 14);
    if (!e.Run.Ok())
      row += "  failed: " + e.Run.Why();
    else
      row += PadLeft(Signed(e.DPoutPct, 3), 10) + PadLeft(Signed(e.DVpkPct, 3), 10) +
             PadLeft(Signed(e.DZvs, 5), 10);
    out += row + "\n";
  }
  if (run.Stopped)
    out += Format("Stopped after %zu of the %d elements.\n", run.Effects.size(), run.Elements);
  return out + "dZVS: change of the switch voltage at turn-on, as a fraction of the peak.\n";
}

json SensitivityJson(const SensitivityRun& run) {
  json out = json::array();
  for (const ElementEffect& e : run.Effects) {
    json j;
    j["element"] = e.Element;
    j["value"] = e.Value;
    j["unit"] = e.Unit;
    j["ok"] = e.Run.Ok();
    if (!e.Run.Ok()) {
      j["error"] = e.Run.Why();
    } else {
      j["dpout_pct"] = e.DPoutPct;
      j["dvpk_pct"] = e.DVpkPct;
      j["dzvs"] = e.DZvs;
    }
    out.push_back(j);
  }
  return out;
}
