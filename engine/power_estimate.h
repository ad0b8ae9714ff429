/*
** power_estimate.h: generated power less the coil, capacitor and device
** losses; the DC input and the device's current and dissipation.
*/
#ifndef TOLVARIN_ENGINE_POWER_ESTIMATE_H
#define TOLVARIN_ENGINE_POWER_ESTIMATE_H

#include "app/design_state.h"

/* Pcoils, Pcaps, Pdc, Idc, DevIpk, DevDiss, PwrOut, OverallEff, with the
   coils and capacitors of the arrangement MatchEL. */
void EstimatePower(DesignState& s);

/* The device efficiency the main screen shows, 1 - DevDiss / Power: not
   stored, worked out where it is printed. */
float DeviceEfficiency(const DesignState& s);

/* True when the losses the last estimate booked exceed the generated
   power: PwrOut below zero, a design that by its own estimate delivers
   nothing.  The design stands; the main screen says so. */
bool LossesExceedPgen(const DesignState& s);

/* Total loss of Cp1, Cs2 and (when MatchEL has it) Cp3 at Qcap, in
   watts. */
float CapacitorLossSum(const DesignState& s);

#endif
