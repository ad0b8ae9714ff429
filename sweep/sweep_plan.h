/*
** sweep_plan.h: the 25 sweep frequencies, the impedance conversions every
** sweep uses, and the input impedance of the Tchebychev filter.
*/
#ifndef TOLVARIN_SWEEP_SWEEP_PLAN_H
#define TOLVARIN_SWEEP_SWEEP_PLAN_H

#include "app/design_state.h"

void PlanSweep(DesignState& s, float freq);
void ComputeFilterResponse(DesignState& s, int notch);

#endif
