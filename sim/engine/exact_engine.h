/*
** exact_engine.h: the periodic steady state of a circuit, solved.
**
** Between two switch events the circuit is linear, so one drive period
** is a product of matrix exponentials and its steady state is the one
** state x0 that the period maps onto itself: x0 = Phi x0 + psi, one linear
** solve, with no settling.  Powers are integrated over the period in
** closed form, not from samples.
**
** A circuit is prepared once (its state space at every switch
** conductance of the period, which the drive frequency does not change)
** and then solved at any number of drive frequencies; after the first
** solve of a prepared circuit a solve allocates no memory.
*/
#ifndef TOLVARIN_SIM_ENGINE_EXACT_ENGINE_H
#define TOLVARIN_SIM_ENGINE_EXACT_ENGINE_H

#include <Eigen/Dense>
#include <cstddef>
#include <memory>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/segment_chain.h"
#include "sim/engine/steady_state.h"
#include "sim/engine/uninitialised_room.h"

/* Constant-conductance steps each switch ramp is cut into; the ramp's
   linear conductance is met at the middle of each step. */
extern const int kRampSteps;

/* How much of a steady state a run needs. */
enum ExactDetail {
  kDetailFigures = 0, /* the figures an analysis compares: no waveforms, no harmonics */
  kDetailFull = 1     /* and the harmonics and the sampled waveforms */
};

/* The circuit with its switch at one conductance, over z = [x; 1]. */
struct ExactSystem {
  ChainMatrix M; /* z' = M z: [A b; 0 0] */
  ChainRow SwitchVoltage, SwitchCurrent, SupplyCurrent, LoadVoltage;
  /* Dissipation as sums of Weight Row^T Row: the switch, the load, the
     rest.  Sized to the state, not to the largest one as M must be (the
     chains take a ChainMatrix): a record of 2.7 KB, not 8.8, keeps a
     fresh workspace's room under glibc's 128 KB trim threshold, which a
     prepared-and-solved steady state otherwise paid in page faults. */
  Eigen::MatrixXd Device, Load, Loss;
};

/* A stretch of the period at one conductance. */
struct ExactSegment {
  double Start, Length; /* s */
  int System;           /* in ExactWorkspace::Systems */
};

struct ShootingWorkspace;

/* One circuit prepared for the engine, and the room its solves reuse. */
struct ExactWorkspace {
  Status Built; /* done when prepared; else why there is no steady state */
  std::shared_ptr<ShootingWorkspace> Nonlinear; /* a nonlinear device's circuit: solved by
                                                   shooting (shooting_engine.h) */
  int States = 0;                               /* n, the size of x */
  int RampSteps = 0;                            /* kRampSteps, or 0 without ramps */
  double Vcc = 0.0;                             /* V */
  double Ramp = 0.0;                            /* each ramp's share of the period */
  double Duty = 0.5;                            /* the share of the period the switch is on */
  int Parts = 0;                                /* parts of the circuit */
  std::vector<ExactSystem> Systems;             /* the ramp steps rising, fully on, fully off */
  Eigen::MatrixXd Full;                         /* every part's state from x */
  std::vector<int> StatePart;                   /* the part of each full state */
  /* Room of the solves. */
  UninitialisedRoom Chain;            /* each system's chain of doublings, written by
                                         ChainExpm1 before it is read */
  std::vector<std::size_t> ChainAt;   /* where each system's chain starts */
  std::vector<int> Levels;            /* and its doublings */
  std::vector<ExactSegment> Segments; /* of the period being solved */
  std::vector<ChainVector> Start;     /* z at the start of each segment */
  std::vector<double> SwitchSamples;  /* the switch voltage when no waveform is kept */
};

/* Prepares w for circuit c; w.Built says whether it has a steady state
   to solve for. */
void PrepareExact(const Circuit& c, ExactWorkspace& w);

/* Fills r (DriveMHz included) for the prepared circuit driven at
   driveMHz, as much as `detail` asks; r.Run fails, saying why, when
   there is no steady state.  *start, when given, receives each part's
   state at the start of the steady period (a coil's current, a
   capacitor's voltage; 0 for a resistor), in the order of the circuit's
   parts: where a transient simulation can start steady. */
void SolveExact(ExactWorkspace& w, double driveMHz, int detail, SimResult& r,
                std::vector<double>* start = nullptr);

/* Prepares c and solves it once, in full. */
void ExactSteadyState(const Circuit& c, double driveMHz, SimResult& r,
                      std::vector<double>* start = nullptr);

#endif
