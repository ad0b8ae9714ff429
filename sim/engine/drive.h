/*
** drive.h: one drive frequency through either engine, and the
** impedance the device sees by AC analysis.
*/
#ifndef TOLVARIN_SIM_ENGINE_DRIVE_H
#define TOLVARIN_SIM_ENGINE_DRIVE_H

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/steady_state.h"

/* Drive periods of the automatic ngspice run lengths, tried in turn
   until the run is steady; each longer one continues the run before. */
extern const int kAutoPeriods[];
extern const int kAutoPeriodsCount;

/* One ngspice transient run of circuit c at driveMHz for exactly
   `periods` periods; fills r.  *netlist receives the netlist when given. */
void RunNgspiceTransient(const Circuit& c, double driveMHz, int periods, SimResult& r,
                         std::vector<std::string>* netlist = nullptr);

/* The engine that gives a circuit's figures: the one asked for, or
   ngspice for a nonlinear device. */
int EngineFor(const Circuit& c, int asked);

/* Circuit c at driveMHz with the given engine.  For ngspice, `periods`
   periods, or when that is 0 the shortest automatic length that is
   steady (the longest when none is); r.Periods counts every period run,
   from the parts' initial values.  *netlist receives the exported netlist
   of that length.  The exact engine gives what `detail` (ExactDetail)
   asks, ngspice everything; it solves c as *prepared holds it when given
   (PrepareExact of c, reused across drive frequencies), else prepares c
   itself. */
void SimulateDrive(const Circuit& c, int engine, int periods, double driveMHz, SimResult& r,
                   std::vector<std::string>* netlist = nullptr, int detail = kDetailFull,
                   ExactWorkspace* prepared = nullptr);

/* The impedance the switch sees at each frequency (Hz) in network n (a
   kNetworkOnly circuit), in parallel form (Rp, and Xp positive when
   inductive), Cp1 included, no choke. */
Status DeviceImpedance(const Circuit& n, const std::vector<double>& hz, std::vector<double>& rp,
                       std::vector<double>& xp);

#endif
