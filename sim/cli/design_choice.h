/*
** design_choice.h: which design the per-drive table and the analyses
** (tolerance, load mismatch, sensitivity) work on: the calculator's, the
** tuned one or the one to build (--design), and what the options ask of
** the design layer: the choke and device, the tuning, the tolerances.
*/
#ifndef TOLVARIN_SIM_CLI_DESIGN_CHOICE_H
#define TOLVARIN_SIM_CLI_DESIGN_CHOICE_H

#include <string>

#include "app/design_state.h"
#include "sim/analysis/tolerance.h"
#include "sim/circuit/circuit.h"
#include "sim/cli/sim_options.h"
#include "sim/design/tuning_run.h"

enum DesignChoice { kDesignCalculator = 0, kDesignTuned, kDesignBuilt, kDesignCount };

/* The design's name as --design spells it, and the design of a name
   (-1 for none). */
const char* DesignChoiceName(int design);
int DesignChoiceByName(const std::string& name);

/* "calculator, tuned, built", for the help and the errors. */
std::string DesignChoiceNames();

/* The design o asks for: its --design, or without one the built design
   with --tune (what gets soldered) and the calculator's otherwise. */
int ChosenDesign(const SimOptions& o);

/* The choke and the device the options ask for. */
TuneSettings SettingsFor(const SimOptions& o);

/* The tuning the options ask for. */
TuningRequest TuningRequestFor(const SimOptions& o);

/* The circuit of the chosen design.  calc is the calculator's design;
   run is the tuning, which a tuned or built design needs done (o.Tune). */
void ChosenCircuit(const DesignState& calc, const SimOptions& o, const TuningRun& run, Circuit& c);

/* The design record of the chosen design (its coils as wound). */
const DesignState& ChosenRecord(const DesignState& calc, const SimOptions& o, const TuningRun& run);

/* The tolerance run o asks for with `engine`; the device rating is the
   calculator's Dev-BV unless --vmax gives one. */
ToleranceSettings ToleranceSettingsFor(const SimOptions& o, const DesignState& calc, int engine);

#endif
