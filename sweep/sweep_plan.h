/*
** sweep_plan.h: the 25 sweep frequencies and the input impedance of the
** Tchebychev filter over them.  The impedance conversions the sweeps
** share are in sweep/impedance.h.
*/
#ifndef TOLVARIN_SWEEP_SWEEP_PLAN_H
#define TOLVARIN_SWEEP_SWEEP_PLAN_H

#include "app/design_state.h"

/* SweepFreq and SweepOmega for the design frequency freq (MHz). */
void PlanSweep(DesignState& s, float freq);

/* FilterRp/FilterXp and FilterRs/FilterXs at every sweep point, with the
   second-harmonic trap in place of the load-end capacitor when notch is
   1.  PlanSweep must have run for the current Freq. */
void ComputeFilterResponse(DesignState& s, int notch);

#endif
