/*
** run_json.cpp: the JSON document of a run.  The keys carry their
** units (pout_W, Cp1_pF) so a script reading it needs no table; the README
** lists them.  Figures are in SI-like units as the text report prints
** them: MHz, W, V, uH, pF, ohm.
*/
#include "sim/report/run_json.h"

#include <cstdio>
#include <cstdlib>

#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/report/harmonics_report.h"

using nlohmann::json;

json PointJson(const SimResult& r) {
  json p;
  p["drive_MHz"] = r.DriveMHz;
  p["ok"] = r.Run.Ok();
  if (!r.Run.Ok()) {
    p["error"] = r.Run.Why();
    return p;
  }
  p["pout_W"] = r.Pout;
  p["pdc_W"] = r.Pdc;
  p["eff"] = r.Eff;
  p["pdev_W"] = r.Pdev;
  p["ploss_W"] = r.Ploss;
  p["vpk_V"] = r.Vpeak;
  p["von_V"] = r.Von;
  p["zvs_err"] = r.ZvsError;
  p["slope"] = r.Slope;
  p["h2_dBc"] = r.H2dBc;
  p["h3_dBc"] = r.H3dBc;
  p["harmonics_dBc"] = HarmonicsJson(LoadHarmonics(r));
  p["steady"] = r.Steady;
  if (r.Engine == kEngineNgspice) p["periods"] = r.Periods;
  if (r.Engine == kEngineExact) p["method"] = MethodName(r.Method);
  if (r.Engine == kEngineExact && r.Method == kMethodShooting) p["closure"] = r.Closure;
  return p;
}

json PointsJson(const std::vector<SimResult>& results) {
  json points = json::array();
  for (const SimResult& r : results) points.push_back(PointJson(r));
  return points;
}

json ElementsJson(const Circuit& c) {
  json e = json::object();
  for (const CircuitPart& p : c.Parts)
    e[p.Name + "_" + DisplayUnit(p)] = p.Single ? ShortestFloat(DisplayValue(p)) : DisplayValue(p);
  return e;
}

/* Every loss comes from the design record's float fields (the coil
   records' Qu and Rdc, Qcap), through the circuit's reactances. */
json LossesJson(const Circuit& c) {
  const CircuitLosses l = LossesOf(c);
  return {{"cap_q", ShortestFloat(l.CapQ)},
          {"coil_qu", ShortestFloat(l.CoilQ)},
          {"choke_qu", ShortestFloat(l.ChokeQ)},
          {"choke_rdc_ohm", ShortestFloat(l.ChokeRdc)}};
}

json RunJson(const DesignRequest& d, int engine, const Circuit& c,
             const std::vector<SimResult>& points, const std::vector<SimResult>* confirm) {
  json doc;
  doc["engine"] = EngineName(engine);
  doc["topology"] = Topology(d.Topology).Name;
  doc["inputs"] = {
      {"freq_MHz", Typed(d.Freq)}, {"power_W", Typed(d.Power)},   {"vcc_V", Typed(d.Vcc)},
      {"ql", Typed(d.QL)},         {"rload_ohm", Typed(d.Rload)}, {"ron_ohm", Typed(d.Ron)},
      {"notch", d.Notch}};
  doc["elements"] = ElementsJson(c);
  doc["losses"] = LossesJson(c);
  doc["points"] = PointsJson(points);
  if (confirm) doc["confirm"] = PointsJson(*confirm);
  return doc;
}
