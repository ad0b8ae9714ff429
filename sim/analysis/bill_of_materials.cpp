/*
** bill_of_materials.cpp: the rows of the bill of materials.
**
** Stresses are the steady state's (part_stress.h).  A coil wound for Ls2
** and the match coil at once (a series-first match the calculator books
** as one coil) is one row: it carries Ls2's current, and its voltage is
** the two coils' together, as when the series capacitor between them is
** moved to one side (series parts commute).
**
** Every resonant capacitor wants a stable, low-loss dielectric: C0G/NP0
** ceramic or mica (their capacitance does not move with voltage or
** temperature as X7R's does).  The DC block is the exception: its
** reactance is 1 % of the resistance after it, so even X7R's dissipation
** factor of a few % takes a negligible share of the power there.
*/
#include "sim/analysis/bill_of_materials.h"

#include <cassert>
#include <cmath>

#include "engine/single_precision.h"
#include "sim/circuit/topology_table.h"
#include "sim/design/coil_winding.h"

const double kRatingMargin = 1.5;

namespace {

/* Voltage ratings capacitors are commonly sold in (ceramic and mica). */
const double kRatings[] = {50, 100, 200, 250, 500, 630, 1000, 2000, 3000, 5000, 10000};

const char* const kResonantDielectric = "C0G/NP0 or mica";
const char* const kBlockDielectric = "X7R or C0G/NP0";

/* Which coil record's form a coil of the circuit is wound on. */
struct CoilForm {
  const char* name;
  CoilIndex form;
};

const CoilForm kCoilForms[] = {
    {"Lp1", kChokeLp1}, {"Ls2", kTuneLs2}, {"LM", kMatchLs3}, {"Ls2+LM", kLs2PlusLs3}};

/* The filter's coils are wound on the form whose Qu the sweep gives them. */
CoilIndex FilterForm(const DesignState& s) {
  if (s.MatchEL == kElStepUp) return kLs2PlusLs3;
  if (s.MatchEL == kElStepDown) return kMatchLs3;
  return kTuneLs2;
}

CoilIndex FormOf(const DesignState& s, const std::string& name) {
  for (const CoilForm& f : kCoilForms)
    if (name == f.name) return f.form;
  return FilterForm(s);
}

bool SharedCoil(const Circuit& c, const DesignState& s) {
  const TopologyRow& row = Topology(c.Topology);
  return row.SharedTuneCoil && s.*row.Match.Arrangement == kElStepUp && FindPart(c, "Ls2") &&
         FindPart(c, "LM");
}

double QOf(const CircuitPart& p, double w) {
  if (p.Kind == kCoil && p.ShuntLoss > 0.0) return p.ShuntLoss / (w * p.Value);
  if (!(p.SeriesLoss > 0.0)) return 0.0;
  return p.Kind == kCoil ? w * p.Value / p.SeriesLoss : 1.0 / (w * p.Value * p.SeriesLoss);
}

/* The parts a build chose for the capacitor, when it chose them for
   this value. */
const E24Choice* Chosen(const std::vector<BuiltCapacitor>* chosen, const CircuitPart& p) {
  if (!chosen) return nullptr;
  for (const BuiltCapacitor& b : *chosen)
    if (b.Name == p.Name &&
        std::fabs(E24Value(b.Parts) - p.Value * 1e12) <= 1e-6 * E24Value(b.Parts))
      return &b.Parts;
  return nullptr;
}

BomRow CapacitorRow(const CircuitPart& p, const PartStress& st, int series, double w,
                    const E24Choice* chosen) {
  const double pf = p.Value * 1e12;
  const bool block = p.Name == "Cblk";
  BomRow r{};
  r.Name = p.Name;
  r.Kind = kBomCapacitor;
  r.Value = pf;
  /* A DC block only needs to be large enough. */
  r.Parts = chosen  ? *chosen
            : block ? E24Choice{AtLeastIn(series, pf), 0.0}
                    : ChooseParts(series, pf);
  r.Vpk = st.Vpk;
  r.Irms = st.Irms;
  r.Pdiss = st.Pdiss;
  r.Q = QOf(p, w);
  r.RatingV = StandardRating(kRatingMargin * st.Vpk);
  r.Dielectric = block ? kBlockDielectric : kResonantDielectric;
  return r;
}

BomRow CoilRow(const DesignState& s, const BomCoils& coils, const std::string& name,
               const CircuitPart& p, double uh, double vpk, double irms, double pdiss, double w) {
  BomRow r{};
  r.Name = name;
  r.Kind = p.NodeA == kNodeSupply ? kBomChoke : kBomCoil;
  r.Value = uh;
  r.Vpk = vpk;
  r.Irms = irms;
  r.Pdiss = pdiss;
  r.Q = QOf(p, w);
  r.Dielectric = "";
  if (r.Kind == kBomChoke) r.ChokeRdc = p.SeriesLoss;
  r.Bought = r.Kind == kBomChoke && coils.BoughtChoke;
  if (r.Bought) return r;
  r.OnToroid = coils.Choice.On == kCoilsToroid;
  if (r.OnToroid) {
    WindToroid(uh, w / kTwoPi * 1e-6, irms, coils.Choice, r.Toroid);
    return r;
  }
  r.Coil = s.Coils[FormOf(s, name)];
  r.Coil.Uhy = F(uh);
  WindCoil(s, r.Coil);
  return r;
}

double Peak(const std::vector<double>& a, const std::vector<double>& b) {
  double peak = 0.0;
  for (size_t i = 0; i < a.size(); i++) peak = std::max(peak, std::fabs(a[i] + b[i]));
  return peak;
}

}  // namespace

const char* BomKindName(int kind) {
  static const char* const kNames[] = {"capacitor", "coil", "choke"};
  assert(kind >= 0 && kind <= kBomChoke);
  return kNames[kind];
}

double StandardRating(double volts) {
  for (double v : kRatings)
    if (v >= volts) return v;
  return 0.0;
}

Status BuildBom(const Circuit& c, const SimResult& r, const DesignState& s, int series,
                std::vector<BomRow>& out, const std::vector<BuiltCapacitor>* chosen,
                const BomCoils& coils) {
  out.clear();
  std::vector<PartStress> st;
  const Status ok = PartStresses(c, r, st);
  if (!ok.Ok()) return ok;
  const double w = kTwoPi * c.DesignHz;
  const bool shared = SharedCoil(c, s);
  for (size_t i = 0; i < c.Parts.size(); i++) {
    const CircuitPart& p = c.Parts[i];
    if (p.Kind == kResistor || IsDevicePart(p)) continue;
    if (p.Kind == kCapacitor) {
      out.push_back(CapacitorRow(p, st[i], series, w, Chosen(chosen, p)));
      continue;
    }
    if (shared && p.Name == "LM") continue; /* in the Ls2+LM row */
    if (shared && p.Name == "Ls2") {
      const PartStress& lm = *FindStress(st, "LM");
      const CircuitPart& m = *FindPart(c, "LM");
      out.push_back(CoilRow(s, coils, "Ls2+LM", p, (p.Value + m.Value) * 1e6, Peak(st[i].V, lm.V),
                            st[i].Irms, st[i].Pdiss + lm.Pdiss, w));
      continue;
    }
    out.push_back(
        CoilRow(s, coils, p.Name, p, p.Value * 1e6, st[i].Vpk, st[i].Irms, st[i].Pdiss, w));
  }
  return Status::Done();
}
