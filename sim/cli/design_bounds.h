/*
** design_bounds.h: what tolvarin-sim refuses to simulate, before any
** engine runs: a design the calculator would refuse, or whose output
** power it estimates at zero or less; a supply, a load or an element
** value outside what the engines resolve; drive frequencies far outside
** the design's band.  Each refusal is one line for the caller to print
** (status 2).
*/
#ifndef TOLVARIN_SIM_CLI_DESIGN_BOUNDS_H
#define TOLVARIN_SIM_CLI_DESIGN_BOUNDS_H

#include <string>

#include "app/design_state.h"
#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"
#include "sim/cli/sim_options.h"

/* Drive frequencies a run may ask for, as multiples of the design
   frequency. */
extern const double kLowestDrive, kHighestDrive;

/* The lowest supply voltage the simulator takes (V). */
extern const double kLowestSupply;

/* Done when every drive frequency of o is within the design's band;
   failed, naming --sweep, when not. */
Status CheckDriveBand(const SimOptions& o);

/* Done when the calculator's design s is one to simulate: every printed
   value finite, an output power estimate above zero, a supply of at least
   kLowestSupply.  s must have been computed by a pass. */
Status CheckCalculatorDesign(const DesignState& s);

/* Done when every part of circuit c is 0 or within its kind's bounds;
   failed naming the first that is not. */
Status CheckCircuit(const Circuit& c);

/* The bounds, as --help states them: lines of at most 80 columns. */
std::string DesignBoundsHelp();

#endif
