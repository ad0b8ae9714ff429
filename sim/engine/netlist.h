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

/* The whole amplifier (a kPowerCircuit) driven at driveHz for `periods`
   drive periods from the parts' initial values.  Three integrator nodes
   (kMeterIn, kMeterOut, kMeterDevice) rise by the average DC input, load
   and switch power over each drive period. */
void BuildTransientNetlist(const Circuit& c, double driveHz, int periods,
                           std::vector<std::string>& lines);

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
