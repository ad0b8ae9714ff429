/*
** sim_example.h: what the analysis tests start from: the built-in
** example's calculator circuit and its tuned circuit, and the exact
** engine's agreement with ngspice.
*/
#ifndef TOLVARIN_TESTS_SIM_EXAMPLE_H
#define TOLVARIN_TESTS_SIM_EXAMPLE_H

#include <algorithm>
#include <cmath>

#include "sim/design/calculator_circuit.h"
#include "sim/design/tune.h"

/* The built-in example's design with `change` made to its inputs first
   (a callable taking DesignRequest&). */
template <typename Change>
DesignState ExampleWith(Change change) {
  DesignRequest r = ExampleRequest();
  change(r);
  DesignState s;
  DesignForSimulation(r, s);
  return s;
}

/* The built-in example's design in topology t. */
inline DesignState ExampleDesign(int topology = 0) {
  return ExampleWith([topology](DesignRequest& r) { r.Topology = topology; });
}

/* Its circuit as the calculator designs it. */
inline Circuit ExampleCircuit(int topology = 0) {
  Circuit c;
  BuildCircuit(ExampleDesign(topology), topology, 0, kPowerCircuit, c);
  return c;
}

/* Its BASIC circuit tuned to class E (Cp1 374.7 pF). */
inline Circuit TunedExample() {
  TuneOutcome out;
  TuneDesign(ExampleDesign(), 0, 0, TuneSettings{}, out);
  return out.Tuned.Power;
}

/* Within rel of the larger, or within an absolute floor. */
inline bool Near(double a, double b, double rel, double floor) {
  return std::fabs(a - b) <= std::max(floor, rel * std::max(std::fabs(a), std::fabs(b)));
}

/* The exact engine's agreement with ngspice: powers within 0.5 % or
   1 mW, the peak within 0.2 %, the ZVS error within 0.002, the slope
   within 0.01. */
inline bool AgreesWithNgspice(double pout, double pdev, double eff, double vpk, double zvs,
                              double slope, const SimResult& ng) {
  return Near(pout, ng.Pout, 5e-3, 1e-3) && Near(pdev, ng.Pdev, 5e-3, 1e-3) &&
         Near(pout / eff, ng.Pdc, 5e-3, 1e-3) && Near(vpk, ng.Vpeak, 2e-3, 0.0) &&
         std::fabs(zvs - ng.ZvsError) <= 0.002 && std::fabs(slope - ng.Slope) <= 0.01;
}

#endif
