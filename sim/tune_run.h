/*
** tune_run.h: a whole tuning as the program runs it: the calculator's
** design, the tuned one, the one to build, and ngspice's confirmation of
** the last two.
*/
#ifndef TOLVARIN_SIM_TUNE_RUN_H
#define TOLVARIN_SIM_TUNE_RUN_H

#include "sim/built_design.h"
#include "sim/sim_design.h"
#include "sim/sim_types.h"
#include "sim/tune.h"

struct TuneRun {
  TuneSettings Settings;
  TunedDesign Calculator; /* its circuit and steady state, device and choke in */
  TuneOutcome Outcome;    /* Outcome.Ok false: nothing below holds */
  BuiltDesign Built;
  std::string BuildError; /* "" or why the built design did not simulate */
  bool Confirmed;         /* ngspice ran the tuned and built designs */
  SimResult TunedByNgspice, BuiltByNgspice;
};

/* The tuning the options ask for, of the calculator's design calc. */
void RunTuning(const DesignState& calc, const SimOptions& o, TuneRun& run);

/* The engine that gives a circuit's figures: the one asked for, or
   ngspice for a nonlinear device. */
int EngineFor(const Circuit& c, int asked);

#endif
