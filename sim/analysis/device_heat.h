/*
** device_heat.h: the device's junction temperature in the steady state,
** and the on-resistance it has there.
**
** The channel's RDS(on) rises with temperature, the dissipation with it,
** and the temperature with the dissipation: TJ = Ta + Pdev(TJ) Rth, Rth
** from junction to ambient.  It is solved by iteration over steady
** states of the circuit at the design frequency, through whichever
** engine the circuit needs.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_DEVICE_HEAT_H
#define TOLVARIN_SIM_ANALYSIS_DEVICE_HEAT_H

#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

struct HeatRequest {
  double RonOhm = 0.0;     /* at 25 C */
  double TempcoPerK = 0.0; /* RDS(on) rises by this share per kelvin */
  double RthKPerW = 0.0;   /* junction to ambient */
  double AmbientC = 25.0;  /* C */
  int Engine = 0;          /* SimEngine asked for; a nonlinear device takes its own */
  int Periods = 0;         /* ngspice: as SimulateDrive takes them */
  double DriveMHz = 0.0;   /* the design frequency */
};

struct HeatOutcome {
  Status Solved;     /* failed: no steady state, or no temperature the heat settles at */
  double TjC = 0.0;  /* the junction temperature */
  double RonHot = 0; /* RDS(on) there, ohm */
  int SteadyStates = 0;
  SimResult Point; /* the circuit's steady state at TjC */
};

/* How close TJ must come to Ta + Pdev(TJ) Rth, K. */
extern const double kHeatTolerance;

/* RDS(on) at tjC. */
double RonAt(const HeatRequest& h, double tjC);

/* The junction temperature of circuit c with its switch's Ron made
   RonAt(h, TJ). */
void SolveHeat(const Circuit& c, const HeatRequest& h, HeatOutcome& out);

#endif
