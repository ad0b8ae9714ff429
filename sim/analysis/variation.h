/*
** variation.h: what the analyses share: the elements of a circuit that
** they vary, one element changed by a fraction, and the six figures of a
** steady state that each of them reports.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_VARIATION_H
#define TOLVARIN_SIM_ANALYSIS_VARIATION_H

#include <functional>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

/* Told how far an analysis is after each of its steady states (done of
   total); it returns false to stop the analysis there, which then holds
   what was done. */
using AnalysisProgress = std::function<bool(int done, int total)>;

/* The switch's on-resistance, named as an element. */
extern const char* const kRonElement;

/* The output capacitance of the device when it is a part of the circuit. */
extern const char* const kDeviceCapacitance;

/* Every coil and capacitor of c in the order of its parts, then Ron. */
std::vector<std::string> CircuitElements(const Circuit& c);

/* The element's value in the unit the report gives it (uH, pF, ohm). */
double ElementDisplayValue(const Circuit& c, const std::string& element);
const char* ElementDisplayUnit(const Circuit& c, const std::string& element);

/* Element `element` of c made 1 + fraction times its value; a coil or a
   capacitor keeps its Q. */
void ChangeElement(Circuit& c, const std::string& element, double fraction);

/* The figures an analysis reports of one steady state. */
enum Figure { kFigPout = 0, kFigEff, kFigPdev, kFigVpk, kFigZvs, kFigSlope, kFigureCount };

struct FigureInfo {
  const char* Label; /* in a table: "Pout W" */
  const char* Key;   /* in the JSON: "pout_W" */
  double Scale;      /* the table shows Scale x the value (efficiency in %) */
  int Decimals;      /* in the table */
};

extern const FigureInfo kFigures[kFigureCount];

struct Figures {
  double Of[kFigureCount];
};

/* Inline: the pictures' module (plot_module.h) reads a run's figures
   without the rest of this file. */
inline Figures FiguresOf(const SimResult& r) {
  return Figures{{r.Pout, r.Eff, r.Pdev, r.Vpeak, r.ZvsError, r.Slope}};
}

/* A figure as a table shows it. */
std::string FigureText(int figure, double value);

#endif
