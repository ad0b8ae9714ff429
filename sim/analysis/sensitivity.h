/*
** sensitivity.h: the tuning guide of the bench: for each element of the
** circuit, what +1 % of it does to the output power, the peak switch
** voltage and the switch voltage at turn-on.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_SENSITIVITY_H
#define TOLVARIN_SIM_ANALYSIS_SENSITIVITY_H

#include <string>
#include <vector>

#include "sim/analysis/variation.h"
#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

/* The change each element is given. */
extern const double kSensitivityStep;

struct ElementEffect {
  std::string Element;
  double Value;     /* before the change, in Unit */
  std::string Unit; /* uH, pF, ohm */
  Status Run;       /* failed: the changed circuit did not run */
  double DPoutPct;  /* change of Pout, % of the nominal */
  double DVpkPct;   /* change of Vpk, % of the nominal */
  double DZvs;      /* change of the ZVS error (a fraction of the peak) */
};

struct SensitivityRun {
  int Engine;      /* SimEngine */
  double DriveMHz; /* the design frequency */
  SimResult Nominal;
  std::vector<ElementEffect> Effects; /* largest effect first */
  int Elements;                       /* the circuit's elements, all of them asked for */
  bool Stopped = false;               /* the progress stopped it: Effects holds the elements done */
};

/* How large an effect is, to rank by: the largest of |dPout %|,
   |dVpk %| and |dZVS| in % of the peak. */
double EffectSize(const ElementEffect& e);

/* Every coil and capacitor of c and Ron, each alone +1 %, at driveMHz.
   A nominal that fails leaves no effects. */
void RunSensitivity(const Circuit& c, int engine, int periods, double driveMHz, SensitivityRun& out,
                    const AnalysisProgress& progress = nullptr);

#endif
