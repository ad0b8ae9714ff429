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

/* The output networks the tool can simulate. */
enum SimTopology {
  kSimBasic = 0,      /* Cp1, Ls2, Cs2 into Ro */
  kSimBasicEl = 1,    /* the same, EL-matched to Rload */
  kSimPinet = 2,      /* Cp1, Ls2, Cp2 into the pi-net resistance */
  kSimPinetEl = 3,    /* the same, EL-matched to Rload */
  kSimPinetElTch = 4, /* the same with the Tchebychev filter before Rload */
  kSimTopologyCount = 5
};

struct SimOptions {
  /* The six design inputs, as the calculator takes them. */
  float Freq; /* MHz */
  float Power;
  float Vcc;
  float QL;
  float Rload;
  float Ron;
  int Topology; /* SimTopology */
  int Notch;    /* 1: the filter's output capacitor becomes the 2 x Fo trap */
  /* Drive frequencies, MHz: the design frequency alone unless Sweep. */
  int Sweep;
  double SweepFrom, SweepTo, SweepStep;
  int Periods;   /* drive periods to simulate; 0: until steady */
  int Impedance; /* 1: also show the AC impedance the device sees */
  std::string CsvPath;
  std::string NetlistPath;
};

/* Samples of one drive period taken uniformly for the plot, the CSV
   file, the harmonics and the steady-state comparison. */
enum { kPeriodSamples = 360 };

/* What one transient simulation at one drive frequency gave.  Powers in
   W, voltages in V, currents in A; all over the last simulated period. */
struct SimResult {
  double DriveMHz;
  int Ok;            /* 0: the simulator failed, Error says why */
  std::string Error; /* one line */
  int Periods;       /* drive periods simulated */
  int Steady;        /* 1: Settle is within kSteadyTolerance */
  double Settle;     /* change of the last period against the one before and the middle one */
  double Pout;       /* into the load resistor */
  double Pdc;        /* from the supply */
  double Eff;        /* Pout / Pdc */
  double Pdev;       /* dissipated in the switch */
  double Ploss;      /* the rest: coil and capacitor losses */
  double Vpeak;      /* peak switch voltage */
  double Von;        /* switch voltage when the switch starts to turn on */
  double ZvsError;   /* Von / Vpeak */
  double H2dBc;      /* second harmonic at the load, dB below the fundamental */
  double H3dBc;
  std::vector<double> Vsw;   /* switch voltage, kPeriodSamples over the last period */
  std::vector<double> Isw;   /* switch current into the switch */
  std::vector<double> Vload; /* voltage across the load */
};

#endif
