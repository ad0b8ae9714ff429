/*
** tune.cpp: the three conditions of class E met in the circuit as built,
** by Powell's hybrid method (Eigen's HybridNonLinearSolver, MINPACK's
** hybrd) on the steady state of the circuit.
**
** The unknowns are the logarithms of the three values relative to where
** they start, so each stays positive and a step means the same at any
** scale.  Tuning goes in stages, each starting where the one before
** ended:
**   1. the whole shunt capacitance as one capacitor (the device in it),
**      with the exact engine: how much the circuit needs;
**   2. with a device capacitance, the external capacitor beside it (a
**      graded one at its value at Vcc), still exact;
**   3. with a graded capacitance or a body diode, the device itself, its
**      steady states shot by the exact engine and the solver's Jacobian
**      taken from the linearised circuit.
** A device that alone has more capacitance than stage 1 found ends it.
*/
#include "sim/design/tune.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unsupported/Eigen/NonLinearOptimization>

#include "engine/el_match.h"
#include "engine/single_precision.h"
#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/design/coil_winding.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"

namespace {

/* How close the conditions must come: the exact engine is smooth to its
   float-held values, its shooting for a nonlinear device to its closure. */
const double kExactTolerance[3] = {3e-4, 3e-3, 3e-4};

/* A series-equivalent capacitor that grows this many times has become a
   short: the series branch wants inductive reactance that a loaded Q this
   low does not leave it. */
const double kRunaway = 20.0;

/* The values a stage moves: Cp1 (external), the series-equivalent
   capacitor, Ro. */
struct Values {
  double v[3];
};

struct Stage {
  const DesignState* calc;
  int topology, notch;
  const TuneSettings* settings;
  DeviceModel device; /* what stands beside Cp1 */
  Values start;
  double chokeScale = 1.0; /* the choke of the circuit times this (continuation) */
  int evaluations = 0;
  /* Where every exact steady state of the tuning is solved: each
     evaluation changes values only, so the state space is built again
     but the memory of the solves stays. */
  ExactWorkspace* workspace = nullptr;

  Values At(const Eigen::VectorXd& x) const {
    Values out;
    for (int i = 0; i < 3; i++) out.v[i] = start.v[i] * std::exp(x(i));
    return out;
  }

  /* The exact steady state of circuit c, as much as `detail` asks. */
  void Exact(const Circuit& c, double mhz, int detail, SimResult& r) {
    PrepareExact(c, *workspace);
    SolveExact(*workspace, mhz, detail, r);
  }

  /* The circuit and its steady state at the values v (in d.Point): the
     figures the residuals read, or with `detail` everything. */
  bool Evaluate(const Values& v, SimulatedDesign& d, int detail = kDetailFigures) {
    evaluations++;
    if (settings->Progress) settings->Progress(evaluations);
    ApplyTunedValues(*calc, topology, v.v[0], v.v[1], v.v[2], d.Design, &d.Exact);
    TunedCircuit(d.Design, topology, notch, *settings, device, d.Power, &d.Exact);
    if (chokeScale != 1.0)
      SetPartValue(d.Power, "Lp1", FindPart(d.Power, "Lp1")->Value * chokeScale);
    Exact(d.Power, double(calc->FreqHz) * 1e-6, detail, d.Point);
    return d.Point.Run.Ok();
  }
};

/* The residuals of a stage at x. */
bool Within(const SimResult& r, const DesignState& calc, const double tol[3]);

int Residuals(Stage& stage, const Eigen::VectorXd& x, Eigen::VectorXd& f) {
  SimulatedDesign d;
  if (!stage.Evaluate(stage.At(x), d)) return -1;
  double r[3];
  TuneResiduals(d.Point, stage.calc->Vcc, stage.calc->Power, r);
  for (int i = 0; i < 3; i++) f(i) = r[i];
  return 0;
}

Stage MakeStage(const DesignState& calc, int topology, bool notch, const TuneSettings& settings,
                const DeviceModel& device, const Values& start, ExactWorkspace& workspace) {
  Stage s;
  s.workspace = &workspace;
  s.calc = &calc;
  s.topology = topology;
  s.notch = notch;
  s.settings = &settings;
  s.device = device;
  s.start = start;
  return s;
}

/* The solver's view of a stage.  A nonlinear device's stage takes its
   Jacobian from the circuit with the device linearised (`linear`): close
   enough for the solver, whose rank-one updates mend the rest, and three
   piecewise-linear steady states cost less than one shooting. */
struct Functor {
  Stage* stage;
  Stage* linear; /* null: differences of the stage itself */
  int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& f) const {
    return Residuals(*stage, x, f);
  }
  int df(const Eigen::VectorXd& x, Eigen::MatrixXd& jac) const {
    const double h = 1e-4;
    Eigen::VectorXd f0(3), f1(3);
    if (Residuals(*linear, x, f0) < 0) return -1;
    for (int j = 0; j < 3; j++) {
      Eigen::VectorXd xj = x;
      xj(j) += h;
      if (Residuals(*linear, xj, f1) < 0) return -1;
      jac.col(j) = (f1 - f0) / h;
    }
    return 0;
  }
};

bool Within(const SimResult& r, const DesignState& calc, const double tol[3]) {
  double res[3];
  TuneResiduals(r, calc.Vcc, calc.Power, res);
  for (int i = 0; i < 3; i++)
    if (!(std::fabs(res[i]) <= tol[i])) return false;
  return true;
}

/* Runs one stage from its start; d receives where it ended. */
Status Solve(Stage& stage, SimulatedDesign& d) {
  Stage linear = stage;
  linear.device = LinearisedDevice(stage.device, stage.calc->Vcc);
  const bool nonlinear = IsGradedCoss(stage.device) || stage.device.BodyDiode;
  Functor f{&stage, &linear};
  Eigen::HybridNonLinearSolver<Functor> solver(f);
  solver.parameters.epsfcn = 1e-8; /* difference steps of 1e-4: above the engine's noise */
  solver.parameters.xtol = 1e-9;
  solver.parameters.factor = 0.5; /* the first step at most halves or doubles a value */
  solver.parameters.maxfev = 200;
  Eigen::VectorXd x = Eigen::VectorXd::Zero(3);
  if (nonlinear)
    solver.solve(x);
  else
    solver.solveNumericalDiff(x);
  if (!stage.Evaluate(stage.At(x), d, kDetailFull))
    return Status::Failed("the circuit could not be simulated while tuning: " + d.Point.Run.Why());
  if (Within(d.Point, *stage.calc, kExactTolerance)) return Status::Done();
  if (x(1) > std::log(kRunaway)) {
    return Status::Failed(
        Format("no class-E tuning at QL %.3g: the network needs more series inductance than Ls2 "
               "gives (its capacitor grew past %.0f times the start); try a higher QL",
               double(stage.calc->QL), kRunaway));
  }
  double r[3];
  TuneResiduals(d.Point, stage.calc->Vcc, stage.calc->Power, r);
  return Status::Failed(
      Format("tuning did not converge (turn-on %.3g x Vcc, slope %.3g, power %+.2g %% off) after "
             "%d steady states",
             r[0], r[1], 100.0 * r[2], stage.evaluations));
}

/* The calculator's values start well where its equations hold, with an
   all but infinite choke; a small choke can move the answer out of the
   solver's reach from there.  Then the stage is solved along a path:
   first with the choke kContinuationSpan times larger, then smaller by
   equal factors, each step from the answer of the one before. */
const double kContinuationSpan = 100.0;
const int kContinuationSteps = 8;

Values Read(const DesignState& s, int topology);

Status ChokeContinuation(Stage& stage, SimulatedDesign& d, int* evaluations) {
  Stage step = stage;
  for (int k = 0; k <= kContinuationSteps; k++) {
    step.chokeScale = std::pow(kContinuationSpan, 1.0 - double(k) / kContinuationSteps);
    step.evaluations = 0;
    const Status solved = Solve(step, d);
    *evaluations += step.evaluations;
    if (!solved.Ok()) return solved;
    step.start = Read(d.Design, stage.topology);
  }
  return Status::Done();
}

/* The three values of a design record as a tuning reads them back. */
Values Read(const DesignState& s, int topology) {
  const TunedFields& f = Topology(topology).Tuned;
  const double w = kTwoPi * double(s.FreqHz);
  Values v;
  v.v[0] = s.Cp1;
  if (f.Form == kSeriesForm) {
    v.v[1] = s.*f.Cap;
    v.v[2] = s.*f.Ro;
  } else {
    /* Cp2 across the pi-net resistance, as its series equivalent. */
    const double rp = s.*f.Ro, q = w * double(s.*f.Cap) * 1e-12 * rp;
    const double rs = rp / (1.0 + q * q);
    v.v[1] = 1e12 / (w * rs * q);
    v.v[2] = rs;
  }
  return v;
}

/* The limits a too large device capacitance leaves: the design frequency
   the needed capacitance scales down to it (as 1 / f), and the supply it
   scales down to it at this frequency (as 1 / Vcc^2; a graded capacitance
   grows as the supply falls, so that one is found by iteration). */
std::string DeviceTooLargeText(const DesignState& calc, const DeviceModel& d, double needPf) {
  const double coss = CossAt(d, calc.Vcc) * 1e12;
  const double fmax = double(calc.Freq) * needPf / coss;
  double vmax = calc.Vcc;
  for (int i = 0; i < 50; i++)
    vmax = double(calc.Vcc) * std::sqrt(needPf / (CossAt(d, vmax) * 1e12));
  return Format(
      "class E is impossible here: the device's %.4g pF alone exceeds the %.4g pF the circuit "
      "needs; it fits up to %.4g MHz at %.4g V, or up to %.3g V at %.4g MHz",
      coss, needPf, fmax, double(calc.Vcc), vmax, double(calc.Freq));
}

}  // namespace

void ApplySwitch(const TuneSettings& settings, Circuit& c) {
  if (settings.Ron > 0.0) c.Switch.Ron = std::max(settings.Ron, kMinRon);
  c.Switch.Ramp = std::max(kSwitchRamp, settings.EdgeSeconds * c.DesignHz);
  c.Switch.Duty = settings.Duty;
}

void TuneResiduals(const SimResult& r, double vcc, double power, double out[3]) {
  out[0] = r.Von / vcc;
  out[1] = r.Slope;
  out[2] = r.Pout / power - 1.0;
}

void ApplyTunedValues(const DesignState& calc, int topology, double cp1Pf, double capPf,
                      double roOhm, DesignState& out, ExactValues* exact) {
  const TopologyRow& row = Topology(topology);
  const TunedFields& f = row.Tuned;
  const double w = kTwoPi * double(calc.FreqHz);
  ExactValues e{cp1Pf, double(calc.QL) * roOhm / w * 1e6, capPf, roOhm};
  if (f.Form == kPiForm) {
    /* The calculator's pi conversion of the series pair. */
    const double qc = 1.0 / (w * capPf * 1e-12 * roOhm);
    e.RoOhm = (qc * qc + 1.0) * roOhm;
    e.CapPf = qc * qc / (qc * qc + 1.0) * capPf;
  }
  out = calc;
  out.Cp1 = F(e.Cp1Pf);
  out.*f.Ls2 = F(e.Ls2Uh);
  out.*f.Cap = F(e.CapPf);
  out.*f.Ro = F(e.RoOhm);
  if (exact) *exact = e;
  float q = 0.0f, lm = 0.0f, cm = 0.0f;
  const int arrangement = ElMatchRule(out.*f.Ro, out.Rload, out.FreqHz, &q, &lm, &cm);
  out.*row.Match.Arrangement = arrangement;
  out.*row.Match.Lm = arrangement == kElNone ? 0.0f : lm;
  out.*row.Match.Cm = arrangement == kElNone ? 0.0f : cm;
}

void TunedCircuit(const DesignState& s, int topology, bool notch, const TuneSettings& settings,
                  const DeviceModel& device, Circuit& c, const ExactValues* exact) {
  BuildCircuit(s, topology, notch, kPowerCircuit, c);
  if (exact) {
    const TopologyRow& row = Topology(topology);
    if (exact->Cp1Pf > 0.0) SetPartValue(c, "Cp1", exact->Cp1Pf * 1e-12);
    SetPartValue(c, "Ls2", exact->Ls2Uh * 1e-6);
    SetPartValue(c, row.Tuned.Form == kSeriesForm ? "Cs2" : "Cp2", exact->CapPf * 1e-12);
    if (!TopologyDrivesRload(topology)) SetPartValue(c, row.LoadName, exact->RoOhm);
  }
  ApplySwitch(settings, c);
  AddDevice(c, device);
  if (settings.PackageHenry > 0.0) AddPackage(c, settings.PackageHenry);
  if (settings.Adjust) settings.Adjust(c);
}

DesignState ChokeHeld(const DesignState& calc, const TuneSettings& settings) {
  DesignState s = calc;
  if (settings.ChokeUh > 0.0) {
    s.Lp1 = F(settings.ChokeUh);
    CoilRecord choke = s.Coils[kChokeLp1];
    choke.Uhy = s.Lp1;
    WindCoil(s, choke);
    s.Coils[kChokeLp1] = choke;
  }
  WindCoilsAs(settings.Coils, s);
  if (settings.ChokeRdc > 0.0) s.Coils[kChokeLp1].Rdc = F(settings.ChokeRdc);
  if (settings.ChokeQ > 0.0) s.Coils[kChokeLp1].Qu = F(settings.ChokeQ);
  return s;
}

void TuneDesign(const DesignState& calc, int topology, bool notch, const TuneSettings& settings,
                TuneOutcome& out) {
  out = TuneOutcome{};
  const DesignState base = ChokeHeld(calc, settings);
  const DeviceModel& device = settings.Device;
  const double cossPf = device.Coss > 0.0 ? CossAt(device, base.Vcc) * 1e12 : 0.0;
  ExactWorkspace workspace;

  /* 1: the shunt capacitance the circuit needs. */
  Stage lumped =
      MakeStage(base, topology, notch, settings, DeviceModel{}, Read(base, topology), workspace);
  SimulatedDesign d;
  out.Tuning = Solve(lumped, d);
  out.Evaluations = lumped.evaluations;
  if (!out.Tuning.Ok()) {
    /* A failed path says less than the direct attempt did. */
    if (ChokeContinuation(lumped, d, &out.Evaluations).Ok()) out.Tuning = Status::Done();
  }
  if (!out.Tuning.Ok()) return;
  const double needPf = d.Design.Cp1;
  if (cossPf >= needPf) {
    out.DeviceTooLarge = true;
    out.Tuning = Status::Failed(DeviceTooLargeText(base, device, needPf));
    return;
  }
  /* 2: the external capacitor beside a linear (or linearised) device. */
  if (cossPf > 0.0) {
    DeviceModel linear;
    linear.Coss = cossPf * 1e-12;
    Stage beside =
        MakeStage(base, topology, notch, settings, linear, Read(d.Design, topology), workspace);
    beside.start.v[0] = needPf - cossPf;
    out.Tuning = Solve(beside, d);
    out.Evaluations += beside.evaluations;
    if (!out.Tuning.Ok()) return;
  }
  /* 3: the nonlinear device itself, its graded capacitance first without
     the body diode: at the class-E answer the switch voltage never falls
     below zero and the diode carries nothing, but on the way there it
     clamps the turn-on voltage, which then no longer tells the solver
     which way to go. */
  const bool nonlinear = IsGradedCoss(device) || device.BodyDiode;
  if (IsGradedCoss(device) && device.BodyDiode) {
    DeviceModel withoutDiode = device;
    withoutDiode.BodyDiode = false;
    Stage graded = MakeStage(base, topology, notch, settings, withoutDiode,
                             Read(d.Design, topology), workspace);
    SimulatedDesign g;
    if (Solve(graded, g).Ok()) d = g;
    out.Evaluations += graded.evaluations;
  }
  if (nonlinear) {
    Stage real =
        MakeStage(base, topology, notch, settings, device, Read(d.Design, topology), workspace);
    out.Tuning = Solve(real, d);
    out.Evaluations += real.evaluations;
    out.Shooting = true;
    if (!out.Tuning.Ok()) return;
  }
  d.CossPf = cossPf;
  d.Cp1TotalPf = double(d.Design.Cp1) + cossPf;
  out.Tuned = d;
  out.Tuning = Status::Done();
}
