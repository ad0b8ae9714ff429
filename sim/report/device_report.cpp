/*
** device_report.cpp: the device's figures as text and JSON, and the
** library as a list.  Unknown values print as "n/a" and go into the JSON
** as null, never as a number.
*/
#include "sim/report/device_report.h"

#include "sim/circuit/format.h"
#include "sim/design/device_library.h"

namespace {

/* A figure with its unit, or "n/a". */
std::string Value(double v, const char* unit) {
  if (!Known(v)) return "n/a";
  return Format("%.4g %s", v, unit);
}

nlohmann::json Number(double v) {
  if (!Known(v)) return nullptr;
  return v;
}

/* The record's Coss at one voltage: its last point, "n/a" without one. */
std::string CossText(const DeviceRecord& r) {
  if (r.Coss.empty()) return "n/a";
  const CossPoint& p = r.Coss.size() == 1 ? r.Coss[0] : r.Coss.back();
  return Format("%.4g pF at %.4g V%s", p.Farads * 1e12, p.Volts,
                r.Coss.size() > 1 ? Format(" (%zu points)", r.Coss.size()).c_str() : "");
}

/* `text` as lines of at most kColumns, the first after `first`, the rest
   after `rest`. */
const size_t kColumns = 80;

std::string Wrapped(const std::string& first, const std::string& rest, const std::string& text) {
  std::string out, line = first;
  size_t at = 0;
  bool empty = true;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    if (!empty && line.size() + 1 + word.size() > kColumns) {
      out += line + "\n";
      line = rest;
      empty = true;
    }
    line += (empty ? "" : " ") + word;
    empty = false;
    at = end + 1;
  }
  return out + line + "\n";
}

}  // namespace

std::string DeviceText(const DeviceFigures& f, const std::vector<std::string>& notes) {
  std::string out = "\nDevice " + f.Name + ":\n";
  out += "  V(BR)DSS " + Value(f.VdsMaxV, "V") + ", peak switch voltage " + Value(f.VpkV, "V") +
         ", margin " + Value(f.MarginV, "V") + "\n";
  out += "  switch current: peak " + Value(f.IpkA, "A") + ", RMS " + Value(f.IrmsA, "A") + "\n";
  out += "  dissipation: conduction " + Value(f.ConductionW, "W") + ", edges " +
         Value(f.EdgesW, "W") + ", body diode " + Value(f.ReverseW, "W") + "\n";
  out += "  gate drive: " + Value(f.GateW, "W") + ", in the driver (Qg Vgs f)\n";
  out += "  junction " + Value(f.TjC, "C") + " (TJ max " + Value(f.TjMaxC, "C") + "): Rth " +
         Value(f.RthKPerW, "K/W") + ", ambient " + Value(f.AmbientC, "C") + "\n";
  out += "  RDS(on) at the junction's temperature: " + Value(f.RonHotOhm, "ohm") + "\n";
  for (const std::string& n : notes) out += Wrapped("  ", "    ", n);
  for (const std::string& w : f.Warnings) out += Wrapped("  Warning: ", "    ", w);
  return out;
}

nlohmann::json DeviceJson(const DeviceFigures& f) {
  nlohmann::json j;
  j["name"] = f.Name;
  j["vds_max_V"] = Number(f.VdsMaxV);
  j["vpk_V"] = f.VpkV;
  j["margin_V"] = Number(f.MarginV);
  j["ipk_A"] = f.IpkA;
  j["irms_A"] = f.IrmsA;
  j["pdev_conduction_W"] = f.ConductionW;
  j["pdev_edges_W"] = f.EdgesW;
  j["pdev_reverse_W"] = f.ReverseW;
  j["pgate_W"] = Number(f.GateW);
  j["tj_C"] = Number(f.TjC);
  j["tj_max_C"] = Number(f.TjMaxC);
  j["ron_hot_ohm"] = f.RonHotOhm;
  j["warnings"] = f.Warnings;
  return j;
}

std::string DeviceListText() {
  std::string out;
  for (int i = 0; i < DeviceLibraryCount(); i++) {
    const DeviceRecord& r = DeviceLibraryRow(i);
    out += Format("%s  %s, %s\n", r.Name.c_str(), DeviceKindName(r.Kind), r.Maker.c_str());
    out += "  V(BR)DSS " + Value(r.VdsMaxV, "V") + ", RDS(on) " + Value(r.RonOhm, "ohm") +
           ", Coss " + CossText(r) + "\n";
    out += "  " + r.Source + "\n";
  }
  return out;
}

std::string DiodeHint(const SimResult& r, bool bodyDiode) {
  if (bodyDiode || !r.Run.Ok()) return "";
  const double low = LowestSwitchVoltage(r);
  if (!(low < kDiodeConducts)) return "";
  return Format("Switch voltage down to %.3g V: a real MOSFET's body diode conducts (--diode).\n",
                low);
}
