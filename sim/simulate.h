/*
** simulate.h: one drive frequency through the simulator, and the
** impedance the device sees by AC analysis.
*/
#ifndef TOLVARIN_SIM_SIMULATE_H
#define TOLVARIN_SIM_SIMULATE_H

#include <string>
#include <vector>

#include "app/design_state.h"
#include "sim/sim_types.h"

/* Drive periods of the automatic run lengths, tried in turn until the
   last two periods agree. */
extern const int kAutoPeriods[];
extern const int kAutoPeriodsCount;

/* One transient run of the design in the given topology at driveMHz for
   exactly `periods` periods; fills r.  *netlist receives the netlist
   when given. */
void SimulateFor(const DesignState& s, int topology, int notch, double driveMHz, int periods,
                 SimResult& r, std::vector<std::string>* netlist = nullptr);

/* As SimulateFor with o's topology and notch, for o.Periods periods, or
   when that is 0 for the shortest automatic length that is steady (the
   longest when none is). */
void SimulateDrive(const DesignState& s, const SimOptions& o, double driveMHz, SimResult& r,
                   std::vector<std::string>* netlist = nullptr);

/* The impedance the switch sees at each frequency (Hz), in parallel form
   (Rp, and Xp positive when inductive), Cp1 included, no choke.  Returns
   "" or the reason it failed. */
std::string DeviceImpedance(const DesignState& s, int topology, int notch, bool lossless,
                            const std::vector<double>& hz, std::vector<double>& rp,
                            std::vector<double>& xp);

#endif
