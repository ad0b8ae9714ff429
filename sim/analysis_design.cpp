/*
** analysis_design.cpp: the design under analysis.  The calculator's
** circuit is built from its design with the options' choke and device;
** with --tune all three are the tuning's.
*/
#include "sim/analysis_design.h"

#include <cassert>

#include "sim/json_report.h"
#include "sim/options.h"
#include "sim/sim_design.h"

namespace {

const char* const kDesignNames[kDesignCount] = {"calculator", "tuned", "built"};

/* Where a tuning keeps each design. */
const TunedDesign& Kept(const TuneRun& run, int design) {
  if (design == kDesignTuned) return run.Outcome.Tuned;
  if (design == kDesignBuilt) return run.Built.Built;
  return run.Calculator;
}

}  // namespace

const char* AnalysisDesignName(int design) {
  assert(design >= 0 && design < kDesignCount);
  return kDesignNames[design];
}

int AnalysisDesignByName(const std::string& name) {
  for (int d = 0; d < kDesignCount; d++)
    if (name == kDesignNames[d]) return d;
  return -1;
}

std::string AnalysisDesignNames() {
  std::string out;
  for (int d = 0; d < kDesignCount; d++) out += std::string(d ? ", " : "") + kDesignNames[d];
  return out;
}

int AnalysedDesign(const SimOptions& o) {
  if (o.Design >= 0) return o.Design;
  return o.Tune ? kDesignBuilt : kDesignCalculator;
}

void AnalysedCircuit(const DesignState& calc, const SimOptions& o, const TuneRun& run, Circuit& c) {
  const int design = AnalysedDesign(o);
  assert(design == kDesignCalculator || (o.Tune && run.Outcome.Ok));
  if (o.Tune)
    c = Kept(run, design).Power;
  else
    CalculatorCircuit(calc, o, c);
}

double AnalysisMHz(const SimOptions& o) {
  SimOptions single = o;
  single.Sweep = 0;
  std::vector<double> mhz;
  DriveFrequencies(single, mhz);
  return mhz[0];
}

ToleranceSettings ToleranceSettingsFor(const SimOptions& o, const DesignState& calc, int engine) {
  ToleranceSettings t;
  t.CapPct = o.CapTol;
  t.CoilPct = o.CoilTol;
  t.RonPct = o.RonTol;
  t.Samples = o.Samples;
  t.Seed = o.Seed;
  t.Engine = engine;
  t.Periods = o.Periods;
  t.DriveMHz = AnalysisMHz(o);
  t.Vmax = o.Vmax > 0.0 ? o.Vmax : Typed(calc.DevBV); /* as the calculator prints it */
  t.PdevMax = o.PdevMax;
  return t;
}
