/*
** json_report.cpp: the JSON document of a run.  The keys carry their
** units (pout_W, Cp1_pF) so a script reading it needs no table; the README
** lists them.  Figures are in SI-like units as the text report prints
** them: MHz, W, V, uH, pF, ohm.
*/
#include "sim/json_report.h"

#include <cstdio>
#include <cstdlib>

#include "sim/options.h"
#include "sim/topology_table.h"

using nlohmann::json;

double Typed(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7g", double(v));
  return std::strtod(buf, nullptr);
}

json PointJson(const SimResult& r) {
  json p;
  p["drive_MHz"] = r.DriveMHz;
  p["ok"] = r.Ok != 0;
  if (!r.Ok) {
    p["error"] = r.Error;
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
  p["steady"] = r.Steady != 0;
  if (r.Engine == kEngineNgspice) p["periods"] = r.Periods;
  return p;
}

json PointsJson(const std::vector<SimResult>& results) {
  json points = json::array();
  for (const SimResult& r : results) points.push_back(PointJson(r));
  return points;
}

json ElementsJson(const Circuit& c) {
  json e = json::object();
  for (const CircuitPart& p : c.Parts) e[p.Name + "_" + DisplayUnit(p)] = DisplayValue(p);
  return e;
}

json RunJson(const SimOptions& o, const Circuit& c, const std::vector<SimResult>& points,
             const std::vector<SimResult>* confirm) {
  json doc;
  doc["engine"] = EngineName(o.Engine);
  doc["topology"] = Topology(o.Topology).Name;
  doc["inputs"] = {{"freq_MHz", Typed(o.Freq)},   {"power_W", Typed(o.Power)},
                   {"vcc_V", Typed(o.Vcc)},       {"ql", Typed(o.QL)},
                   {"rload_ohm", Typed(o.Rload)}, {"ron_ohm", Typed(o.Ron)},
                   {"notch", o.Notch != 0}};
  doc["elements"] = ElementsJson(c);
  doc["points"] = PointsJson(points);
  if (confirm) doc["confirm"] = PointsJson(*confirm);
  return doc;
}
