/*
** sweep_plan.h: the 25 sweep frequencies and the input impedance of the
** Tchebychev filter over them.  The impedance conversions the sweeps
** share are in sweep/impedance.h.
*/
#ifndef TOLVARIN_SWEEP_SWEEP_PLAN_H
#define TOLVARIN_SWEEP_SWEEP_PLAN_H

#include "app/design_state.h"

/* The unloaded Q of the trap's coil (and of the filter's, wherever the
   filter is given a loss): it is wound like the inductor that carries the
   tuning current into the load, so it takes that coil's Qu: the combined
   coil when the match is in series with Ls2 (kElStepUp), the match coil
   when it stands alone (kElStepDown), the tuning coil without a match. */
float TrapCoilQ(const DesignState& s);

/* SweepFreq and SweepOmega for the design frequency freq (MHz). */
void PlanSweep(DesignState& s, float freq);

/* FilterRp/FilterXp and FilterRs/FilterXs at every sweep point, with the
   second-harmonic trap in place of the load-end capacitor when notch is
   1.  PlanSweep must have run for the current Freq (asserted). */
void ComputeFilterResponse(DesignState& s, int notch);

#endif
