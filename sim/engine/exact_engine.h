/*
** exact_engine.h: the periodic steady state of a circuit, solved.
**
** Between two switch events the circuit is linear, so one drive period
** is a product of matrix exponentials and its steady state is the one
** state x0 that the period maps onto itself: x0 = Phi x0 + psi, one linear
** solve, with no settling.  Powers are integrated over the period in
** closed form, not from samples.
*/
#ifndef TOLVARIN_SIM_ENGINE_EXACT_ENGINE_H
#define TOLVARIN_SIM_ENGINE_EXACT_ENGINE_H

#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

/* Constant-conductance steps each switch ramp is cut into; the ramp's
   linear conductance is met at the middle of each step. */
extern const int kRampSteps;

/* Fills r (DriveMHz included) for circuit c driven at driveMHz; r.Run
   fails, saying why, when there is no steady state.  *start, when
   given, receives each part's state at the start of the steady period
   (a coil's current, a capacitor's voltage; 0 for a resistor), in the
   order of c.Parts: where a transient simulation can start steady. */
void ExactSteadyState(const Circuit& c, double driveMHz, SimResult& r,
                      std::vector<double>* start = nullptr);

#endif
