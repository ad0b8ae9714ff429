/*
** sim_types.h: the plain records of the circuit simulator tool: what the
** command line asked for, and what one simulated drive frequency gave.
**
** The simulator is a separate program beside the calculator; it designs
** with the calculator's own engine, so the design lives in a DesignState
** and only the simulation's own data are here.
*/
#ifndef TOLVARIN_SIM_SIM_TYPES_H
#define TOLVARIN_SIM_SIM_TYPES_H

#include <string>
#include <vector>

/* How a steady state is found. */
enum SimEngine {
  kEngineExact = 0,   /* the periodic steady state of the piecewise-linear circuit, solved */
  kEngineNgspice = 1, /* an ngspice transient run until the periods repeat */
  kEngineCount = 2
};

struct SimOptions {
  /* The six design inputs, as the calculator takes them. */
  float Freq; /* MHz */
  float Power;
  float Vcc;
  float QL;
  float Rload;
  float Ron;
  int Topology; /* row of the topology table */
  int Notch;    /* 1: the filter's output capacitor becomes the 2 x Fo trap */
  /* Drive frequencies, MHz: the design frequency alone unless Sweep. */
  int Sweep;
  double SweepFrom, SweepTo, SweepStep;
  int Engine;    /* SimEngine */
  int Confirm;   /* 1: the exact engine's figures beside ngspice's */
  int Json;      /* 1: one JSON document instead of the text report */
  int Periods;   /* ngspice: drive periods to simulate; 0: until steady */
  int Impedance; /* 1: also show the AC impedance the device sees */
  std::string CsvPath;
  std::string NetlistPath;
  /* Tuning and the device. */
  int Tune;         /* 1: tune the circuit to class E (--tune) */
  int NoConfirm;    /* 1: no ngspice run of the tuned and built designs */
  double ChokeUh;   /* the choke held at this; 0: the designed one */
  double CossPf;    /* the device's output capacitance; 0: none */
  double CossVolts; /* V of its datasheet point when graded; 0: linear */
  double CossM;     /* grading exponent of a graded capacitance */
  int Diode;        /* 1: the device's body diode in the circuit */
};

/* Samples of one drive period taken uniformly for the plot, the CSV
   file, the harmonics and the steady-state comparison. */
enum { kPeriodSamples = 360 };

/* What one engine gave at one drive frequency.  Powers in W, voltages in
   V, currents in A; all over one steady period. */
struct SimResult {
  double DriveMHz;
  int Engine;        /* SimEngine */
  int Ok;            /* 0: the engine failed, Error says why */
  std::string Error; /* one line */
  int Periods;       /* ngspice: drive periods simulated; exact: 0 */
  int Steady;        /* 1: Settle is within kSteadyTolerance (always, for the exact engine) */
  double Settle;     /* change of the last period against the one before and the middle one */
  double Pout;       /* into the load resistor */
  double Pdc;        /* from the supply */
  double Eff;        /* Pout / Pdc */
  double Pdev;       /* dissipated in the switch */
  double Ploss;      /* the rest: coil and capacitor losses */
  double Vpeak;      /* peak switch voltage */
  double Von;        /* switch voltage when the switch starts to turn on */
  double ZvsError;   /* Von / Vpeak */
  double Slope;      /* dv/dt of the switch voltage at turn-on / (w Vcc), w the drive's */
  double H2dBc;      /* second harmonic at the load, dB below the fundamental */
  double H3dBc;
  std::vector<double> Vsw;   /* switch voltage, kPeriodSamples over the period */
  std::vector<double> Isw;   /* switch current into the switch */
  std::vector<double> Vload; /* voltage across the load */
};

#endif
