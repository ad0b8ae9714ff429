/*
** tune.h: the element values that make the real circuit class E.
**
** The calculator's equations assume an infinite choke, lossless parts
** and no device capacitance.  Tuning keeps the circuit as it will be built
** (the choke, the losses, Ron, the switch ramps, the device) and moves
** three values until the switch turns on at zero voltage with zero slope
** and the load takes the design power: the shunt capacitance Cp1, the
** network's capacitor (Cs2, or Cp2 through the pi conversion) and the
** resistance Ro the network sees (through the EL match to Rload where
** there is one); Ls2 follows from Ro at the design's loaded Q.
*/
#ifndef TOLVARIN_SIM_DESIGN_TUNE_H
#define TOLVARIN_SIM_DESIGN_TUNE_H

#include <functional>
#include <string>

#include "app/design_state.h"
#include "sim/circuit/circuit.h"
#include "sim/design/e24.h"
#include "sim/design/toroid_winding.h"
#include "sim/engine/steady_state.h"

struct TuneSettings {
  double ChokeUh = 0.0;  /* the choke held fixed at this; 0: the designed one */
  double ChokeRdc = 0.0; /* a bought choke's DC resistance, ohm; 0: as the coil model winds it */
  double ChokeQ = 0.0;   /* a bought choke's Q at the design frequency; 0: as wound */
  CoilChoice Coils{};    /* what the coils are wound on */
  DeviceModel Device{};  /* the device's capacitance and body diode */
  double Ron = 0.0;      /* the switch's on-resistance, ohm; 0: the design's Ron */
  /* How long the switch takes to turn on and off, s; the engines' ramp is
     never shorter than kSwitchRamp of a period, which resolves the
     turn-on of a hard switch. */
  double EdgeSeconds = 0.0;
  double Duty = 0.5;         /* the share of the period the switch is driven on */
  double PackageHenry = 0.0; /* the device's lead inductance before the die; 0 for none */
  int Series = kSeriesE24;   /* PreferredSeries the built design's capacitors come from */
  std::function<void(Circuit&)> Adjust; /* applied to every circuit tried (tests idealise) */
  std::function<void(int)> Progress;    /* told the steady states found so far */
};

/* The tuned values in double precision, in the terms of the row's fields:
   the design record holds them as floats, which at a high loaded Q would
   blur the small difference of Ls2's and Cs2's large reactances. */
struct ExactValues {
  double Cp1Pf, Ls2Uh, CapPf, RoOhm;
};

/* One design: the calculator's record with the row's values replaced,
   its circuit and what it does at the design frequency. */
struct SimulatedDesign {
  DesignState Design; /* Cp1 holds the external capacitor */
  ExactValues Exact;  /* the values Design holds as floats */
  Circuit Power;      /* the power circuit, device and adjustment in */
  double CossPf;      /* the device's share of the shunt capacitance (at Vcc if graded) */
  double Cp1TotalPf;  /* external plus device */
  SimResult Point;    /* at the design frequency */
};

struct TuneOutcome {
  Status Tuning;               /* failed: why there is no tuned design */
  bool DeviceTooLarge = false; /* the device's capacitance alone is more than the circuit needs */
  SimulatedDesign Tuned;
  int Evaluations;       /* steady states the solver asked for */
  bool Shooting = false; /* the last stage shot the nonlinear device's steady states */
};

/* What is left of the three conditions, each near 0 when tuned:
   Von / Vcc, the slope at turn-on, Pout / Power - 1. */
void TuneResiduals(const SimResult& r, double vcc, double power, double out[3]);

/* The calculator's design with the coils and the choke of the settings:
   the coils wound as the settings ask, the choke held at its inductance
   and wound so, or with a bought choke's DC resistance and Q. */
DesignState ChokeHeld(const DesignState& calc, const TuneSettings& settings);

/* Tunes the calculator's design calc in topology t. */
void TuneDesign(const DesignState& calc, int topology, bool notch, const TuneSettings& settings,
                TuneOutcome& out);

/* The record of a design with the three values: Cp1 external and the
   series-equivalent capacitor in pF, Ro in ohm (inductances from Ro and
   QL, the match recomputed by the calculator's EL rule). */
void ApplyTunedValues(const DesignState& calc, int topology, double cp1Pf, double capPf,
                      double roOhm, DesignState& out, ExactValues* exact = nullptr);

/* The switch of the settings in circuit c: its Ron when given, the ramp
   of its edges at the design frequency, its duty. */
void ApplySwitch(const TuneSettings& settings, Circuit& c);

/* The power circuit of a design with the device and the adjustment in;
   with `exact`, its tuned parts take those values. */
void TunedCircuit(const DesignState& s, int topology, bool notch, const TuneSettings& settings,
                  const DeviceModel& device, Circuit& c, const ExactValues* exact = nullptr);

#endif
