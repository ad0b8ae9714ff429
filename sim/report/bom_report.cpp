/*
** bom_report.cpp: the bill of materials in the three forms.  An air coil's
** winding is the calculator's air-wound solenoid: turns, form diameter,
** winding length and the wire it is wound with (the gauge four finer
** than the thickest that fits the pitch, as the coil table's USE).  A
** toroid coil's is its core, whole turns and the wire sized for its
** current; a bought choke is its datasheet's DC resistance and Q.
*/
#include "sim/report/bom_report.h"

#include <algorithm>
#include <cmath>

#include "coils/coil_model.h"
#include "sim/circuit/format.h"

using nlohmann::json;

namespace {

const double kMmPerInch = 25.4;

/* The gauge the coil is wound with, or kNoGauge. */
int UseGauge(const CoilRecord& c) {
  return c.AWGMIN == kNoGauge ? kNoGauge : c.AWGMIN + 4;
}

std::string AirWinding(const CoilRecord& c) {
  const int g = UseGauge(c);
  const std::string wire = g == kNoGauge
                               ? "no wire fits its pitch"
                               : Format("AWG %d (%.2f mm)", g, double(WireDia(g)) * kMmPerInch);
  return Format("%.1f turns on a %.2f in form, %.2f in long, %s", double(c.Nturns), double(c.Dia),
                double(c.Len), wire.c_str());
}

std::string Wire(const ToroidWinding& t) {
  return t.Gauge < 0 ? "no gauge carries the current"
                     : Format("AWG %d (%.2f mm)", t.Gauge, t.WireMm);
}

std::string MaterialText(const ToroidCore& c) {
  const ToroidMaterial& m = kToroidMaterials[c.Material];
  return std::string(m.Kind == kIronPowder ? "iron powder " : "ferrite ") + m.Name;
}

/* One line: the core, turns and wire, or why there is none. */
std::string ToroidText(const ToroidWinding& t) {
  if (t.Core < 0) return "no listed core for this frequency takes " + Wire(t) + " in one layer";
  const ToroidCore& c = kToroidCores[t.Core];
  const std::string what =
      Format("%d turn%s of %s on %s", t.Turns, t.Turns == 1 ? "" : "s", Wire(t).c_str(), c.Name);
  if (!t.Fits) return what + ": they do not fit one layer";
  return what + ", " + MaterialText(c);
}

/* The second line of a toroid coil: what it is as wound. */
std::string ToroidFigures(const ToroidWinding& t) {
  return Format("%.4g uH as wound, Q %.0f (%s), Rdc %.3g ohm", t.Uh, t.Q,
                t.QDefault ? "the default; --coil-q" : "--coil-q", t.RdcOhm);
}

const char* Unit(const BomRow& r) {
  return r.Kind == kBomCapacitor ? "pF" : "uH";
}

/* The dielectric in a table cell. */
std::string ShortDielectric(const BomRow& r) {
  const std::string d = r.Dielectric;
  if (d == "C0G/NP0 or mica") return "C0G/mica";
  if (d == "X7R or C0G/NP0") return "X7R/C0G";
  return d;
}

std::string Rating(const BomRow& r) {
  if (r.Kind != kBomCapacitor) return "";
  return r.RatingV > 0.0 ? Format("%.0f V", r.RatingV) : "> 10 kV";
}

std::string Value(const BomRow& r) {
  return (r.Value >= 1e4 ? Format("%.0f", r.Value) : Format("%.4g", r.Value)) + " " + Unit(r);
}

/* One line of the table, within 80 columns, trailing blanks dropped. */
std::string Row(const std::string& name, const std::string& value, const std::string& buy,
                const std::string& vpk, const std::string& irms, const std::string& pdiss,
                const std::string& q, const std::string& rating, const std::string& dielectric) {
  std::string line = Format("%-7s %10s %-10s %7s %7s %7s %5s %7s %s", name.c_str(), value.c_str(),
                            buy.c_str(), vpk.c_str(), irms.c_str(), pdiss.c_str(), q.c_str(),
                            rating.c_str(), dielectric.c_str());
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + "\n";
}

json ToroidJson(const ToroidWinding& t) {
  json j = {{"form", "toroid"},
            {"core", nullptr},
            {"awg", t.Gauge < 0 ? json(nullptr) : json(t.Gauge)},
            {"wire_mm", t.Gauge < 0 ? json(nullptr) : json(t.WireMm)},
            {"q", t.Q},
            {"q_default", t.QDefault}};
  if (t.Core < 0) return j;
  const ToroidCore& c = kToroidCores[t.Core];
  j["core"] = c.Name;
  j["material"] = MaterialText(c);
  j["al_nh_per_turn2"] = AlNh(c);
  j["od_mm"] = c.OdMm;
  j["id_mm"] = c.IdMm;
  j["height_mm"] = c.HeightMm;
  j["forced"] = t.Forced;
  j["turns"] = t.Turns;
  j["fits"] = t.Fits;
  j["uh_wound"] = t.Uh;
  j["rdc_ohm"] = t.RdcOhm;
  return j;
}

}  // namespace

std::string BomParts(const BomRow& r) {
  if (r.Kind == kBomCapacitor) return E24Text(r.Parts);
  if (r.Bought) return "bought choke";
  if (r.OnToroid) return ToroidText(r.Toroid);
  return r.Coil.Nturns > 0.0f ? AirWinding(r.Coil) : "";
}

std::string BomText(const std::vector<BomRow>& rows, int series, double designMHz) {
  std::string out = Format(
      "\nBill of materials: the steady state at %.6g MHz; capacitors from %s, rated at\n"
      "the next standard voltage at or above %.1f x their peak:\n",
      designMHz, SeriesName(series), kRatingMargin);
  out +=
      Row("Part", "Value", "Buy (pF)", "Vpk V", "Irms A", "Pdiss W", "Q", "Rating", "Dielectric");
  for (const BomRow& r : rows) {
    const bool cap = r.Kind == kBomCapacitor;
    out += Row(r.Name, Value(r), cap ? E24Text(r.Parts) : "wound", Format("%.1f", r.Vpk),
               Format("%.3f", r.Irms), Format("%.3f", r.Pdiss), Format("%.0f", r.Q), Rating(r),
               ShortDielectric(r));
  }
  out += "C0G/mica: C0G (NP0) ceramic or silver mica.  X7R/C0G: the block's loss is small.\n";
  for (const BomRow& r : rows)
    if (r.Kind == kBomCapacitor) {
      out += Format(
          "Capacitors' Q %.0f, as --cap-q sets it (500 unless given): no published Q of\n"
          "C0G/NP0 or mica is at hand to derive one from the dielectric.\n",
          r.Q);
      break;
    }
  const bool toroids = !rows.empty() && std::any_of(rows.begin(), rows.end(),
                                                    [](const BomRow& r) { return r.OnToroid; });
  out += toroids ? Format("Coils, on toroids (wire for %.0f A/mm2, one layer):\n", kAmpsPerMm2)
                 : "Coils, air-wound (the calculator's coil model):\n";
  for (const BomRow& r : rows) {
    if (r.Kind == kBomCapacitor) continue;
    out += Format("  %-8s %s\n", r.Name.c_str(), BomParts(r).c_str());
    if (r.Bought)
      out += Format("  %-8s Q %.0f; --choke-rdc and --choke-q give its figures\n", "", r.Q);
    else if (r.OnToroid && r.Toroid.Core >= 0)
      out += Format("  %-8s %s\n", "", ToroidFigures(r.Toroid).c_str());
    if (r.OnToroid && r.Toroid.Core >= 0 && !CoreCovers(kToroidCores[r.Toroid.Core], designMHz))
      out += Format("  %-8s its material has no band for %.4g MHz published: check its Q\n", "",
                    designMHz);
    /* The circuit's choke was wound for the calculator's estimate of the
       DC current, this one for the steady state's: their wire may differ. */
    if (r.Kind == kBomChoke && r.OnToroid)
      out += Format("  %-8s circuit's Rdc %.4g ohm; %.3f A RMS, the supply's DC in\n", "",
                    r.ChokeRdc, r.Irms);
    else if (r.Kind == kBomChoke)
      out += Format("  %-8s DC resistance %.4g ohm; %.3f A RMS through it, the supply's DC in\n",
                    "", r.ChokeRdc, r.Irms);
  }
  return out;
}

json BomJson(const std::vector<BomRow>& rows) {
  json list = json::array();
  for (const BomRow& r : rows) {
    json j;
    j["name"] = r.Name;
    j["kind"] = BomKindName(r.Kind);
    j["value"] = r.Value;
    j["unit"] = Unit(r);
    j["vpk_V"] = r.Vpk;
    j["irms_A"] = r.Irms;
    j["pdiss_W"] = r.Pdiss;
    j["q"] = r.Q;
    if (r.Kind == kBomCapacitor) {
      j["parts"] = json::array({r.Parts.First});
      if (r.Parts.Second > 0.0) j["parts"].push_back(r.Parts.Second);
      j["rating_V"] = r.RatingV > 0.0 ? json(r.RatingV) : json(nullptr);
      j["dielectric"] = r.Dielectric;
    } else if (r.Bought) {
      j["parts"] = BomParts(r);
      j["winding"] = {{"form", "bought"}, {"rdc_ohm", r.ChokeRdc}, {"q", r.Q}};
    } else if (r.OnToroid) {
      j["parts"] = BomParts(r);
      j["winding"] = ToroidJson(r.Toroid);
    } else {
      const CoilRecord& c = r.Coil;
      const int g = UseGauge(c);
      j["parts"] = BomParts(r);
      j["winding"] = {
          {"form", "air"},
          {"dia_in", double(c.Dia)},
          {"len_in", double(c.Len)},
          {"turns", double(c.Nturns)},
          {"awg", g == kNoGauge ? json(nullptr) : json(g)},
          {"wire_mm", g == kNoGauge ? json(nullptr) : json(double(WireDia(g)) * kMmPerInch)}};
      if (r.Kind == kBomChoke) j["rdc_ohm"] = r.ChokeRdc;
    }
    list.push_back(j);
  }
  return list;
}

std::string BomCsv(const std::vector<BomRow>& rows) {
  std::string out = "name,kind,value,unit,parts,vpk_V,irms_A,pdiss_W,q,rating_V,dielectric\n";
  for (const BomRow& r : rows) {
    const std::string rating =
        r.Kind == kBomCapacitor && r.RatingV > 0.0 ? Format("%.0f", r.RatingV) : "";
    out += Format("%s,%s,%.6g,%s,\"%s\",%.6g,%.6g,%.6g,%.6g,%s,%s\n", r.Name.c_str(),
                  BomKindName(r.Kind), r.Value, Unit(r), BomParts(r).c_str(), r.Vpk, r.Irms,
                  r.Pdiss, r.Q, rating.c_str(), r.Dielectric);
  }
  return out;
}
