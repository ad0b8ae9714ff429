/*
** mismatch.h: the amplifier into a load that is not the one it was
** designed for.  The loads lie on one VSWR circle around the design load
** R at the design frequency, at 12 phases 30 degrees apart: reflection
** coefficient G = |G| e^(j phase), |G| = (VSWR - 1) / (VSWR + 1), load
** R (1 + G) / (1 - G).  Phase 0 is the resistive load above (R x VSWR),
** 180 the one below (R / VSWR), 90 inductive.  A complex load is the
** load resistor with a lossless coil or capacitor in series, of that
** reactance at the design frequency.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_MISMATCH_H
#define TOLVARIN_SIM_ANALYSIS_MISMATCH_H

#include <string>
#include <vector>

#include "sim/analysis/variation.h"
#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

enum { kMismatchPhases = 12 };

/* The most VSWR a mismatch run takes. */
extern const double kMaxVswr;

/* The load on the circle of `vswr` around r at phaseDeg: resistance and
   series reactance (ohm, positive inductive). */
void LoadOnCircle(double r, double vswr, double phaseDeg, double* loadR, double* loadX);

/* Circuit c with its load resistor made loadR and, when loadX is not 0,
   the series coil "Lx" or capacitor "Cx" of reactance loadX at c's design
   frequency between the network and the load resistor, which stays the
   part whose power is the output.  The capacitor has a leak "Rxleak"
   across it that takes 10^-5 of the output. */
Circuit MismatchedCircuit(const Circuit& c, double loadR, double loadX);

struct MismatchPoint {
  double PhaseDeg, LoadR, LoadX;
  SimResult Result;
};

struct MismatchRun {
  double Vswr;
  int Engine;      /* SimEngine */
  double DriveMHz; /* the design frequency */
  double NominalR; /* the design load, ohm */
  std::string LoadName;
  SimResult Nominal;
  std::vector<MismatchPoint> Points; /* phase 0, 30, ... 330 */
  /* The phase at which each figure is worst (index into Points, -1 when
     none ran): lowest Pout and efficiency, highest device dissipation
     and Vpk, largest |ZVS err| and |slope|. */
  int Worst[kFigureCount];
  bool Stopped = false; /* the progress stopped it: Points holds the phases done */
};

/* Whether a figure of a is worse than that figure of b. */
bool WorseFigure(int figure, double a, double b);

/* Circuit c at driveMHz with its load on the circle of `vswr`. */
void RunMismatch(const Circuit& c, double vswr, int engine, int periods, double driveMHz,
                 MismatchRun& out, const AnalysisProgress& progress = nullptr);

#endif
