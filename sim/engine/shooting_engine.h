/*
** shooting_engine.h: the periodic steady state of a circuit whose device
** is nonlinear (a graded output capacitance, a body diode), in-house.
**
** The device's nonlinear part draws one current u from the switch node;
** the rest is the piecewise-linear circuit of the exact engine with u as
** one more input.  A period is integrated in steps.  Over a step the
** linear part is exact for a current u linear in time (one exponential
** of the system augmented with u and its slope, per kind of step); the
** capacitance's charge follows the trapezoidal rule, or backward Euler
** on the first step after a switch event, where its current jumps and
** the trapezoidal rule would ring.  Shooting-Newton finds the state that
** a period maps onto itself, the period map's Jacobian carried along the
** steps, started from the steady state of the circuit with its device
** linearised at Vcc.  With no nonlinear current (u = 0) every step is the
** exact propagator, so the method adds no error of its own to a linear
** circuit.
*/
#ifndef TOLVARIN_SIM_ENGINE_SHOOTING_ENGINE_H
#define TOLVARIN_SIM_ENGINE_SHOOTING_ENGINE_H

#include <Eigen/Dense>
#include <memory>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/state_space.h"
#include "sim/engine/steady_state.h"

/* Steps a drive period is cut into, about; each switch segment takes at
   least one. */
extern const int kShootingSteps;

/* The circuit at one switch conductance, with the injection input; rows
   are over [x; 1; u]. */
struct ShootingSystem {
  ChainMatrix M; /* over w = [x; 1; u; du/dt] */
  Eigen::MatrixXd A;
  Eigen::VectorXd B, Inject;
  Eigen::RowVectorXd SwitchVoltage, SwitchCurrent, SupplyCurrent, LoadVoltage;
  std::vector<Dissipator> Device, Load, Loss; /* the switch's channel; the load; the rest */
};

/* One kind of step: a system, a length and a rule, with what a step of
   it needs from the exponential: x_end = p + Beta u_end, where
   p = x + Fxz [x; 1] + Gamma u_start, and the switch voltage at the end
   v = Vx p + V1 + K u_end. */
struct ShootingKind {
  int System = 0;
  double Length = 0.0;
  bool Euler = false; /* u held at its end value over the step */
  /* The capacitance by backward Euler: on the first step after a switch
     event, and where the switch node has no capacitor of its own and the
     step outlasts twice the node's time constant, where the trapezoid
     would ring from step to step. */
  bool Damped = false;
  ChainMatrix Fxz;
  ChainVector Gamma, Beta;
  ChainRow Vx;
  double V1 = 0.0, K = 0.0;
};

/* One circuit prepared, and the room its solves reuse. */
struct ShootingWorkspace {
  Status Built;
  int States = 0;
  int Parts = 0;
  double Vcc = 0.0, Ramp = 0.0, Duty = 0.5;
  int RampSteps = 0;
  DeviceModel Device;
  double CossEsr = 0.0;      /* ohm in series with the graded capacitance */
  double CossJunction = 0.0; /* F, its value at 0 V */
  /* The switch node holds no capacitance of the linear circuit (the graded
     capacitance sits behind a package inductance): its voltage is known
     where the device equations are solved, at the steps' ends, and not
     between them, where the circuit's rows would read the off resistance
     times the error of a current taken linear over the step. */
  bool SwitchNodeAlgebraic = false;
  double CossLargest = 0.0; /* F, the graded capacitance at 0 V */
  std::vector<ShootingSystem> Systems;
  Eigen::MatrixXd Full;
  std::vector<int> StatePart;
  std::vector<std::string> PartNames;
  /* The circuit with its device linearised, where Newton starts. */
  std::unique_ptr<ExactWorkspace> Linear;
  int LinearCoss = -1; /* index of the linearised capacitance in its parts, -1 for none */
  std::vector<std::string> LinearNames;
  /* Room of the solves. */
  std::vector<ShootingKind> Kinds;
  std::vector<int> Steps; /* the kind of each step of the period */
  std::vector<double> Time, Vsw, Isw, Vload, Ein, Eout, Edev;
};

void PrepareShooting(const Circuit& c, ShootingWorkspace& w);

/* As SolveExact, for a circuit prepared by PrepareShooting. */
void SolveShooting(ShootingWorkspace& w, double driveMHz, int detail, SimResult& r,
                   std::vector<double>* start = nullptr);

#endif
