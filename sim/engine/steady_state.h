/*
** steady_state.h: what an engine gives for one circuit at one drive
** frequency: the figures of one steady period, and its waveforms.
*/
#ifndef TOLVARIN_SIM_ENGINE_STEADY_STATE_H
#define TOLVARIN_SIM_ENGINE_STEADY_STATE_H

#include <vector>

#include "sim/circuit/status.h"

/* How a steady state is found. */
enum SimEngine {
  kEngineExact = 0,   /* the periodic steady state of the piecewise-linear circuit, solved */
  kEngineNgspice = 1, /* an ngspice transient run until the periods repeat */
  kEngineCount = 2
};

/* An engine's name as the command line and the JSON spell it. */
const char* EngineName(int engine);

/* The engine of that name, or -1. */
int EngineByName(const char* name);

/* How the exact engine found a steady state. */
enum SteadyMethod {
  kMethodPwlExact = 0, /* the piecewise-linear circuit's period, solved in closed form */
  kMethodShooting = 1  /* a nonlinear device: the period integrated, its closure found by Newton */
};

/* The method's name as the report and the JSON spell it. */
const char* MethodName(int method);

/* Samples of one drive period taken uniformly for the plot, the CSV
   file, the harmonics and the steady-state comparison. */
enum { kPeriodSamples = 360 };

/* What one engine gave at one drive frequency.  Powers in W, voltages in
   V, currents in A; all over one steady period. */
struct SimResult {
  double DriveMHz = 0;
  int Engine = 0;      /* SimEngine */
  Status Run;          /* failed: the engine found no steady state, and why */
  int Method = 0;      /* exact engine: SteadyMethod */
  double Closure = 0;  /* shooting: how far one period is from closing, relative to each
                          state's swing */
  int Periods = 0;     /* ngspice: drive periods simulated; exact: 0 */
  bool Steady = false; /* Settle is within kSteadyTolerance (always, for the exact engine) */
  double Settle = 0;   /* change of the last period against the one before and the middle one */
  double Pout = 0;     /* into the load resistor */
  double Pdc = 0;      /* from the supply */
  double Eff = 0;      /* Pout / Pdc */
  double Pdev = 0;     /* dissipated in the switch */
  double Ploss = 0;    /* the rest: coil and capacitor losses */
  double Vpeak = 0;    /* peak switch voltage */
  double Von = 0;      /* switch voltage when the switch starts to turn on */
  double ZvsError = 0; /* Von / Vpeak */
  double Slope = 0;    /* dv/dt of the switch voltage at turn-on / (w Vcc), w the drive's */
  double H2dBc = 0;    /* second harmonic at the load, dB below the fundamental */
  double H3dBc = 0;
  std::vector<double> Vsw;   /* switch voltage, kPeriodSamples over the period */
  std::vector<double> Isw;   /* switch current into the switch */
  std::vector<double> Vload; /* voltage across the load */
};

#endif
