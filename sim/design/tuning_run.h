/*
** tuning_run.h: a whole tuning as the program runs it: the calculator's
** design, the tuned one, the one to build, and ngspice's confirmation of
** the last two.
*/
#ifndef TOLVARIN_SIM_DESIGN_TUNING_RUN_H
#define TOLVARIN_SIM_DESIGN_TUNING_RUN_H

#include "sim/design/calculator_circuit.h"
#include "sim/design/parts_build.h"
#include "sim/design/tune.h"
#include "sim/engine/steady_state.h"

/* What a tuning is asked for. */
struct TuningRequest {
  DesignRequest Design;
  TuneSettings Settings;
  bool Confirm = false; /* run the tuned and built designs through ngspice too */
  int Periods;          /* of those ngspice runs; 0: until steady */
};

struct TuningRun {
  TuneSettings Settings;
  SimulatedDesign Calculator; /* its circuit and steady state, device and choke in */
  TuneOutcome Outcome;        /* Outcome.Tuning failed: nothing below holds */
  PartsBuild Built;
  Status BuildRun;        /* the built design's steady state */
  bool Confirmed = false; /* ngspice ran the tuned and built designs */
  SimResult TunedByNgspice, BuiltByNgspice;
};

/* The tuning of the calculator's design calc that r asks for. */
void RunTuning(const DesignState& calc, const TuningRequest& r, TuningRun& run);

#endif
