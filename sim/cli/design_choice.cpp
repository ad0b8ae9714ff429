/*
** design_choice.cpp: the design under analysis.  The calculator's
** circuit is built from its design with the options' choke and device;
** with --tune all three are the tuning's.
*/
#include "sim/cli/design_choice.h"

#include <cassert>

#include "sim/circuit/format.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"

namespace {

const char* const kDesignNames[kDesignCount] = {"calculator", "tuned", "built"};

/* Where a tuning keeps each design. */
const SimulatedDesign& Kept(const TuningRun& run, int design) {
  if (design == kDesignTuned) return run.Outcome.Tuned;
  if (design == kDesignBuilt) return run.Built.Built;
  return run.Calculator;
}

}  // namespace

const char* DesignChoiceName(int design) {
  assert(design >= 0 && design < kDesignCount);
  return kDesignNames[design];
}

int DesignChoiceByName(const std::string& name) {
  for (int d = 0; d < kDesignCount; d++)
    if (name == kDesignNames[d]) return d;
  return -1;
}

std::string DesignChoiceNames() {
  std::string out;
  for (int d = 0; d < kDesignCount; d++) out += std::string(d ? ", " : "") + kDesignNames[d];
  return out;
}

int ChosenDesign(const SimOptions& o) {
  if (o.Analysed >= 0) return o.Analysed;
  return o.Tune ? kDesignBuilt : kDesignCalculator;
}

TuneSettings SettingsFor(const SimOptions& o) {
  TuneSettings t;
  t.ChokeUh = o.ChokeUh;
  t.ChokeRdc = o.ChokeRdc;
  t.ChokeQ = o.ChokeQ;
  t.Coils = CoilChoice{o.Coils, o.Core, o.CoilQ};
  t.Device.Coss = o.CossPf * 1e-12;
  t.Device.CossVolts = o.CossVolts;
  t.Device.Grading = o.CossVolts > 0.0 ? o.CossM : 0.0;
  t.Device.BodyDiode = o.Diode;
  if (o.HasDevice) {
    /* The record's capacitance unless --coss gives one; its diode
       unless --no-diode, and a GaN part's only when its file gives a
       reverse drop. */
    const bool diode = !o.NoDiode && (o.Device.Kind != kGan || o.Device.HasDiode);
    DeviceModel d = DeviceModelOf(o.Device, diode);
    if (o.CossPf > 0.0) {
      d.Coss = t.Device.Coss;
      d.CossVolts = t.Device.CossVolts;
      d.Grading = t.Device.Grading;
      d.Table.clear();
    }
    t.Device = d;
    if (Known(o.Device.LeadNh)) t.PackageHenry = o.Device.LeadNh * 1e-9;
  }
  t.EdgeSeconds = o.EdgeNs >= 0.0 ? o.EdgeNs * 1e-9
                  : o.HasDevice   ? RecordEdgeSeconds(o.Device)
                                  : 0.0;
  t.Duty = o.Duty;
  t.Series = o.Series;
  return t;
}

TuningRequest TuningRequestFor(const SimOptions& o) {
  return TuningRequest{o.Design, SettingsFor(o), !o.NoConfirm, o.Periods};
}

void ChosenCircuit(const DesignState& calc, const SimOptions& o, const TuningRun& run, Circuit& c) {
  const int design = ChosenDesign(o);
  assert(design == kDesignCalculator || (o.Tune && run.Outcome.Tuning.Ok()));
  if (o.Tune)
    c = Kept(run, design).Power;
  else
    CalculatorCircuit(calc, o.Design, SettingsFor(o), c);
}

const DesignState& ChosenRecord(const DesignState& calc, const SimOptions& o,
                                const TuningRun& run) {
  return o.Tune ? Kept(run, ChosenDesign(o)).Design : calc;
}

ToleranceSettings ToleranceSettingsFor(const SimOptions& o, const DesignState& calc, int engine) {
  ToleranceSettings t;
  t.CapPct = o.CapTol;
  t.CoilPct = o.Coils == kCoilsToroid ? ToroidTolerancePct(SettingsFor(o).Coils) : o.CoilTol;
  t.RonPct = o.RonTol;
  t.CossPct = o.CossTol;
  t.Samples = o.Samples;
  t.Seed = o.Seed;
  t.Engine = engine;
  t.Periods = o.Periods;
  t.DriveMHz = DesignMHz(o);
  t.Vmax = o.Vmax > 0.0 ? o.Vmax : Typed(calc.DevBV); /* as the calculator prints it */
  t.PdevMax = o.PdevMax;
  t.Mask = o.Mask;
  return t;
}
