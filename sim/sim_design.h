/*
** sim_design.h: the calculator's design of the circuit to simulate.
*/
#ifndef TOLVARIN_SIM_SIM_DESIGN_H
#define TOLVARIN_SIM_SIM_DESIGN_H

#include "app/design_state.h"
#include "sim/circuit.h"
#include "sim/sim_types.h"
#include "sim/tune.h"

/* Start values, the six inputs of o, the notch setting, then the
   calculator's design passes (a full one and a light one, so the loss
   estimate is complete) and the six topology sweeps. */
void DesignForSimulation(const SimOptions& o, DesignState& s);

/* The choke and the device the options ask for. */
TuneSettings SettingsFor(const SimOptions& o);

/* The calculator's design as it would be built with the options' choke
   and device: Cp1 less the device's capacitance. */
DesignState CalculatorAsBuilt(const DesignState& s, const SimOptions& o);

/* Its circuit. */
void CalculatorCircuit(const DesignState& s, const SimOptions& o, Circuit& c);

#endif
