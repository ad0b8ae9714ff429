/*
** sim_design.h: the calculator's design of the circuit to simulate.
*/
#ifndef TOLVARIN_SIM_SIM_DESIGN_H
#define TOLVARIN_SIM_SIM_DESIGN_H

#include "app/design_state.h"
#include "sim/sim_types.h"

/* Start values, the six inputs of o, the notch setting, then the
   calculator's design passes (a full one and a light one, so the loss
   estimate is complete) and the six topology sweeps. */
void DesignForSimulation(const SimOptions& o, DesignState& s);

#endif
