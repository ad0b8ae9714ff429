/*
** parts_build.cpp: from tuned values to parts.  The capacitors are the
** external Cp1, the network's Cs2 or Cp2, the match's CM and the filter's;
** the coils are the tuned Ls2 and match coil (one coil for both where the
** calculator winds them as one) and the choke.  The built circuit takes
** the new coils' Qu, so its losses are those of what will be wound.
*/
#include "sim/design/parts_build.h"

#include <cmath>

#include "engine/single_precision.h"
#include "sim/circuit/topology_table.h"
#include "sim/design/coil_winding.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"

namespace {

/* Where a row keeps a capacitor's value, by the circuit's name for it. */
struct CapacitorField {
  const char* name;
  float DesignState::*field;
};

const CapacitorField kFilterCapacitors[] = {
    {"Cpin", &DesignState::Cpin}, {"Cpout", &DesignState::Cpout}, {"CsTrap", &DesignState::CsTrap}};

/* The filter's input capacitor is always there; the trap's capacitor
   takes the output capacitor's place when the notch is on. */
bool FilterHas(const CapacitorField& f, bool notch) {
  if (f.field == &DesignState::CsTrap) return notch;
  if (f.field == &DesignState::Cpout) return !notch;
  return true;
}

void Choose(DesignState& s, int series, const char* name, float DesignState::*field,
            std::vector<BuiltCapacitor>& out) {
  const double pf = s.*field;
  if (!(pf > 0.0)) return;
  const BuiltCapacitor c{name, pf, ChooseParts(series, pf)};
  s.*field = F(E24Value(c.Parts));
  out.push_back(c);
}

void Wind(DesignState& s, const CoilChoice& choice, CoilIndex index, const char* name, double uh,
          double amps, std::vector<WoundCoil>& out) {
  CoilRecord c = s.Coils[index];
  c.Uhy = F(uh);
  ToroidWinding t;
  WindCoilAs(s, choice, amps, c, &t);
  s.Coils[index] = c;
  out.push_back({name, c, t});
}

}  // namespace

void WindTunedCoils(const DesignState& tuned, int topology, const CoilChoice& choice,
                    DesignState& out, std::vector<WoundCoil>& coils) {
  const TopologyRow& row = Topology(topology);
  out = tuned;
  coils.clear();
  /* The choke is wound already (ChokeHeld); its core is found again to
     be shown. */
  ToroidWinding choke;
  if (choice.On == kCoilsToroid)
    WindToroid(double(out.Coils[kChokeLp1].Uhy), double(out.FreqHz) * 1e-6,
               std::fabs(double(out.Idc)), choice, choke);
  coils.push_back({"Lp1", out.Coils[kChokeLp1], choke});
  const double ls2 = out.*row.Tuned.Ls2, lm = out.*row.Match.Lm;
  const int arrangement = out.*row.Match.Arrangement;
  const bool matched = TopologyDrivesRload(topology) && arrangement != kElNone;
  if (matched && row.SharedTuneCoil && arrangement == kElStepUp) {
    Wind(out, choice, kLs2PlusLs3, "Ls2+LM", ls2 + lm, out.ILs2, coils);
    return;
  }
  Wind(out, choice, kTuneLs2, "Ls2", ls2, out.ILs2, coils);
  if (matched) Wind(out, choice, kMatchLs3, "LM", lm, out.ILs3, coils);
}

Status BuildWithParts(const SimulatedDesign& tuned, int topology, bool notch,
                      const TuneSettings& settings, PartsBuild& out) {
  const TopologyRow& row = Topology(topology);
  out = PartsBuild{};
  DesignState s;
  WindTunedCoils(tuned.Design, topology, settings.Coils, s, out.Coils);
  const int series = settings.Series;
  Choose(s, series, "Cp1", &DesignState::Cp1, out.Capacitors);
  Choose(s, series, row.Tuned.Form == kSeriesForm ? "Cs2" : "Cp2", row.Tuned.Cap, out.Capacitors);
  if (TopologyDrivesRload(topology) && s.*row.Match.Arrangement != kElNone)
    Choose(s, series, "CM", row.Match.Cm, out.Capacitors);
  if (TopologyHasFilter(topology))
    for (const CapacitorField& f : kFilterCapacitors)
      if (FilterHas(f, notch)) Choose(s, series, f.name, f.field, out.Capacitors);
  SimulatedDesign& b = out.Built;
  b.Design = s;
  b.CossPf = tuned.CossPf;
  b.Cp1TotalPf = double(s.Cp1) + tuned.CossPf;
  TunedCircuit(s, topology, notch, settings, settings.Device, b.Power);
  SimulateDrive(b.Power, kEngineExact, 0, double(s.FreqHz) * 1e-6, b.Point);
  return b.Point.Run;
}
