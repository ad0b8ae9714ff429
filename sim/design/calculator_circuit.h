/*
** calculator_circuit.h: the calculator's design of the circuit to
** simulate, as the calculator's own screens would show it, and that
** design as it would be built with a given choke and device.
*/
#ifndef TOLVARIN_SIM_DESIGN_CALCULATOR_CIRCUIT_H
#define TOLVARIN_SIM_DESIGN_CALCULATOR_CIRCUIT_H

#include "app/design_state.h"
#include "sim/circuit/circuit.h"
#include "sim/design/design_request.h"
#include "sim/design/tune.h"

/* Start values, the six inputs of r, the notch setting, then the
   calculator's design passes (a full one and a light one, so the loss
   estimate is complete) and the six topology sweeps. */
void DesignForSimulation(const DesignRequest& r, DesignState& s);

/* The calculator's design as it would be built with the settings' choke
   and device: Cp1 less the device's capacitance. */
DesignState CalculatorAsBuilt(const DesignState& s, const TuneSettings& settings);

/* Its circuit in the request's topology. */
void CalculatorCircuit(const DesignState& s, const DesignRequest& r, const TuneSettings& settings,
                       Circuit& c);

#endif
