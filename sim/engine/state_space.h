/*
** state_space.h: a circuit with its switch held at one conductance, as
** the linear system x' = A x + b.
**
** The full state holds every coil's current and every capacitor's
** voltage, in the order of the circuit's parts; the system's own state x
** is that, less the coil currents that others fix (coils in series):
** full = Full x.  Everything else the engine needs is an output: a row r
** over z = [x; 1], whose value is r z.
**
** Built with the injection, the system has one input more: a current u
** drawn from the switch node to ground, where a nonlinear device (a
** graded capacitance, a body diode) sits; x' = A x + b + Inject u, and
** every row is over [x; 1; u].
*/
#ifndef TOLVARIN_SIM_ENGINE_STATE_SPACE_H
#define TOLVARIN_SIM_ENGINE_STATE_SPACE_H

#include <Eigen/Dense>
#include <cstddef>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"

/* Where a power is dissipated: Weight x (Row z)^2 watts. */
struct Dissipator {
  int Part; /* index in the circuit's parts, -1 for the switch */
  double Weight;
  Eigen::RowVectorXd Row;
};

struct StateSpace {
  Eigen::MatrixXd A;
  Eigen::VectorXd B;
  Eigen::VectorXd Inject;              /* x' per ampere drawn from the switch node; empty without */
  Eigen::MatrixXd Full;                /* the full state from x */
  std::vector<int> StatePart;          /* the part each full state belongs to */
  Eigen::RowVectorXd SwitchVoltage;    /* across the switch (and Cp1) */
  Eigen::RowVectorXd SwitchCurrent;    /* into the switch */
  Eigen::RowVectorXd SupplyCurrent;    /* delivered by the supply */
  Eigen::RowVectorXd LoadVoltage;      /* across the load resistor */
  std::vector<Dissipator> Dissipators; /* the switch first, then every resistance */
};

/* The system of circuit c with the switch at conductance g (siemens).
   Fails, saying why, when there is none (a loop of lossless capacitors,
   a node fed by coils alone). */
Status BuildStateSpace(const Circuit& c, double g, StateSpace& ss);

/* What VisitStateSpaces calls with each system in turn: its index in g
   and the record, valid until the next call. */
using StateSpaceVisit = void (*)(std::size_t i, const StateSpace& ss, void* context);

/* The systems at each conductance of g (all above zero), in order, each
   handed to visit(i, ss, context) in one record whose room the next one
   reuses: a caller that keeps the systems in its own form (the exact
   engine) allocates nothing per system.  Fails as BuildStateSpace does,
   before any call. */
Status VisitStateSpaces(const Circuit& c, const std::vector<double>& g, bool injection,
                        StateSpaceVisit visit, void* context);

/* The systems at each conductance of g (all above zero), in order. */
Status BuildStateSpaces(const Circuit& c, const std::vector<double>& g,
                        std::vector<StateSpace>& out, bool injection = false);

#endif
