/*
** netlist.h: a circuit written as an ngspice netlist, one string per line.
*/
#ifndef TOLVARIN_SIM_ENGINE_NETLIST_H
#define TOLVARIN_SIM_ENGINE_NETLIST_H

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"

/* Vector names the measurements read. */
extern const char* const kSwitchCurrent;
extern const char* const kMeterIn; /* energy meters, see BuildTransientNetlist */
extern const char* const kMeterOut;
extern const char* const kMeterDevice;

/* How far a run goes past the end of its last period, in periods: a
   run's last time point may fall short of its stop time by rounding, and
   what is measured at the end of the last period must lie inside it. */
extern const double kRunPastEnd;

/* The whole amplifier (a kPowerCircuit) driven at driveHz for `periods`
   drive periods (and kRunPastEnd beyond) from the parts' initial values.
   Three integrator nodes (kMeterIn, kMeterOut, kMeterDevice) rise by the
   average DC input, load and switch power over each drive period. */
void BuildTransientNetlist(const Circuit& c, double driveHz, int periods,
                           std::vector<std::string>& lines, bool saveStates = false);

/* Where a transient shows each part's state, what its Initial sets: a
   coil's current is the vector Current; a capacitor's voltage is vector
   Plus less vector Minus (an empty name is ground); a resistor has none
   (all empty).  A netlist built with saveStates keeps these vectors. */
struct StateProbe {
  std::string Current, Plus, Minus;
};
void StateProbes(const Circuit& c, std::vector<StateProbe>& probes);

/* The same netlist with a .control block that runs it and prints the
   report's figures of its last period ("ngspice -b file" does it all):
   what --netlist writes. */
void BuildExportedNetlist(const Circuit& c, double driveHz, int periods,
                          std::vector<std::string>& lines);

/* The output network alone (a kNetworkOnly circuit) fed by a 1 A AC
   current at the switch node, so the voltage there is the impedance the
   device sees: `points` frequencies from fromHz to toHz. */
void BuildAcNetlist(const Circuit& c, double fromHz, double toHz, int points,
                    std::vector<std::string>& lines);

/* A value in SPICE notation with a scale suffix ("2.63u", "1.688n"). */
std::string SpiceNumber(double v);

#endif
