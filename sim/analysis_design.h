/*
** analysis_design.h: which design the per-drive table and the analyses
** (tolerance, load mismatch, sensitivity) work on: the calculator's, the
** tuned one or the one to build, and the frequency they are made at.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_DESIGN_H
#define TOLVARIN_SIM_ANALYSIS_DESIGN_H

#include <string>

#include "app/design_state.h"
#include "sim/circuit.h"
#include "sim/sim_types.h"
#include "sim/tolerance.h"
#include "sim/tune_run.h"

enum AnalysisDesign { kDesignCalculator = 0, kDesignTuned, kDesignBuilt, kDesignCount };

/* The design's name as --design spells it, and the design of a name
   (-1 for none). */
const char* AnalysisDesignName(int design);
int AnalysisDesignByName(const std::string& name);

/* "calculator, tuned, built", for the help and the errors. */
std::string AnalysisDesignNames();

/* The design o asks for: its --design, or without one the built design
   with --tune (what gets soldered) and the calculator's otherwise. */
int AnalysedDesign(const SimOptions& o);

/* The circuit of that design.  calc is the calculator's design; run is
   the tuning, which a tuned or built design needs done (o.Tune). */
void AnalysedCircuit(const DesignState& calc, const SimOptions& o, const TuneRun& run, Circuit& c);

/* The design frequency as typed, MHz: where the analyses drive. */
double AnalysisMHz(const SimOptions& o);

/* The tolerance run o asks for with `engine`; the device rating is the
   calculator's Dev-BV unless --vmax gives one. */
ToleranceSettings ToleranceSettingsFor(const SimOptions& o, const DesignState& calc, int engine);

#endif
