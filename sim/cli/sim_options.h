/*
** sim_options.h: what the command line of tolvarin-sim asked for.
*/
#ifndef TOLVARIN_SIM_CLI_SIM_OPTIONS_H
#define TOLVARIN_SIM_CLI_SIM_OPTIONS_H

#include <cstdint>
#include <string>

#include "sim/analysis/emission_mask.h"
#include "sim/design/design_request.h"
#include "sim/design/device_record.h"

struct SimOptions {
  DesignRequest Design; /* the six inputs, the network and its trap */
  bool Help = false;
  bool Version = false;
  /* Drive frequencies, MHz: the design frequency alone unless Sweep. */
  bool Sweep = false;
  double SweepFrom, SweepTo, SweepStep;
  int Engine;             /* SimEngine */
  bool Confirm = false;   /* the exact engine's figures beside ngspice's */
  bool Json = false;      /* one JSON document instead of the text report */
  int Periods;            /* ngspice: drive periods to simulate; 0: until steady */
  bool Impedance = false; /* also show the AC impedance the device sees */
  bool Schematic = false; /* also draw the circuit's schematic in text */
  std::string CsvPath;
  std::string NetlistPath;
  std::string PlotDir;    /* --plot: the folder of the SVG plots */
  std::string ReportPath; /* --report: the HTML design report */
  /* Tuning and the device. */
  bool Tune = false;      /* tune the circuit to class E (--tune) */
  bool NoConfirm = false; /* no ngspice run of the tuned and built designs */
  double ChokeUh;         /* the choke held at this; 0: the designed one */
  double ChokeRdc;        /* a bought choke's DC resistance; 0: as wound */
  double ChokeQ;          /* a bought choke's Q; 0: as wound */
  double CossPf;          /* the device's output capacitance; 0: none */
  double CossVolts;       /* V of its datasheet point when graded; 0: linear */
  double CossM;           /* grading exponent of a graded capacitance */
  bool Diode = false;     /* the device's body diode in the circuit */
  /* The transistor (--device), its switching and its heat. */
  bool DeviceList = false; /* --device list: print the library */
  bool HasDevice = false;  /* Device holds the record --device named */
  DeviceRecord Device;
  bool NoDiode = false;  /* no body diode with --device */
  bool RonGiven = false; /* --ron typed: it overrides the record's */
  double EdgeNs = -1.0;  /* the switch's edges; below 0: the record's, else the shortest ramp */
  double Duty;           /* the share of the period the switch is on */
  double Rth;            /* K/W junction to ambient; 0: the record's with the assumed heatsink */
  double Ambient;        /* C */
  /* The analyses, at the design frequency, of the design chosen. */
  int Analysed;             /* DesignChoice; -1: built with --tune, calculator otherwise */
  bool Tolerance = false;   /* Monte Carlo over the parts' tolerances */
  int Samples;              /* Monte Carlo samples */
  std::uint64_t Seed;       /* of the random sequence */
  double CapTol;            /* %, every capacitor within +/- this */
  double CoilTol;           /* %, every coil */
  double RonTol;            /* %, Ron up to this much higher */
  double CossTol = 0.0;     /* %, the device's output capacitance within +/- this */
  double Vmax;              /* V the device is rated for; 0: the calculator's Dev-BV */
  double PdevMax;           /* W the device may dissipate; 0: not asked */
  double Mismatch;          /* VSWR of the load circle; 0: no mismatch run */
  bool Sensitivity = false; /* the change of each figure for +1 % of each element */
  /* What to build, and whether it is legal. */
  bool Bom = false;           /* the bill of materials in the text report */
  std::string BomCsvPath;     /* the bill of materials as a CSV file */
  int Series;                 /* PreferredSeries of the capacitors bought */
  int Coils = 0;              /* CoilsOn: what the coils are wound on */
  int Core = -1;              /* row of kToroidCores every coil is wound on; -1: chosen */
  double CoilQ = 0.0;         /* a toroid coil's Q; 0: the default */
  MaskChoice Mask;            /* the emission limit the harmonics are held to */
  std::string TouchstonePath; /* the output network as a Touchstone 1.1 two-port */
  double TouchstoneRef;       /* its reference resistance, ohm */
};

#endif
