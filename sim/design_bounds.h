/*
** design_bounds.h: what tolvarin-sim refuses to simulate, before any
** engine runs: a design the calculator would refuse, or whose output
** power it estimates at zero or less; a supply, a load or an element
** value outside what the engines resolve; drive frequencies far outside
** the design's band.  Each refusal is one line for the caller to print
** (status 2).
*/
#ifndef TOLVARIN_SIM_DESIGN_BOUNDS_H
#define TOLVARIN_SIM_DESIGN_BOUNDS_H

#include <string>

#include "app/design_state.h"
#include "sim/circuit.h"
#include "sim/sim_types.h"

/* Drive frequencies a run may ask for, as multiples of the design
   frequency. */
extern const double kLowestDrive, kHighestDrive;

/* The lowest supply voltage the simulator takes (V). */
extern const double kLowestSupply;

/* "" when every drive frequency of o is within the design's band, or why
   not, naming --sweep. */
std::string CheckDriveBand(const SimOptions& o);

/* "" when the calculator's design s is one to simulate: every printed
   value finite, an output power estimate above zero, a supply of at least
   kLowestSupply.  s must have been computed by a pass. */
std::string CheckDesign(const DesignState& s);

/* "" when every part of circuit c is 0 or within its kind's bounds, or
   the first that is not. */
std::string CheckCircuit(const Circuit& c);

/* The bounds, as --help states them: lines of at most 80 columns. */
std::string DesignBoundsHelp();

#endif
