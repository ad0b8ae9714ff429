/*
** netlist.h: the designed amplifier as an ngspice netlist.
*/
#ifndef TOLVARIN_SIM_NETLIST_H
#define TOLVARIN_SIM_NETLIST_H

#include <string>
#include <vector>

#include "app/design_state.h"

/* Node and vector names the measurements read. */
extern const char* const kNodeSwitch; /* switch voltage */
extern const char* const kNodeLoad;   /* voltage across the load resistor */
extern const char* const kSwitchCurrent;
extern const char* const kMeterIn; /* energy meters, see BuildTransientNetlist */
extern const char* const kMeterOut;
extern const char* const kMeterDevice;

/* Fraction of a drive period that each turn-on and turn-off ramp of the
   switch takes; the switch starts to turn on at every whole period. */
extern const double kSwitchRamp;

/* The whole amplifier at one drive frequency: supply, choke Lp1, the
   switch (Ron when on, driven at 50 % duty), the chosen output network
   and its load, with coil and capacitor losses, for `periods` drive
   periods from a start near the steady state.  Three integrator nodes
   (kMeterIn, kMeterOut, kMeterDevice) rise by the average DC input,
   load and switch power over each drive period. */
void BuildTransientNetlist(const DesignState& s, int topology, int notch, double driveHz,
                           int periods, std::vector<std::string>& lines);

/* The output network alone (Cp1 to the load, no choke, no switch), fed
   by a 1 A AC current at the switch node, so the voltage there is the
   impedance the device sees: `points` frequencies from fromHz to toHz.
   lossless drops the coil and capacitor loss resistors. */
void BuildAcNetlist(const DesignState& s, int topology, int notch, bool lossless, double fromHz,
                    double toHz, int points, std::vector<std::string>& lines);

/* The resistance the output power is delivered into: the network's own
   resistance for basic and pinet, Rload otherwise. */
double LoadResistance(const DesignState& s, int topology);

/* A value in SPICE notation with a scale suffix ("2.63u", "1.688n"). */
std::string SpiceNumber(double v);

#endif
