/*
** previous_tune.cpp: the exact stages of the tuning as they were, each
** evaluation preparing its circuit anew (see previous_tune.h).  Stage 1
** finds the shunt capacitance, along the choke's continuation when the
** direct attempt fails; stage 2 puts a linear device capacitance beside
** the external capacitor.
*/
#include "bench/previous/previous_tune.h"

#include <Eigen/Dense>
#include <cmath>
#include <unsupported/Eigen/NonLinearOptimization>

#include "engine/single_precision.h"
#include "sim/circuit/topology_table.h"

namespace previous {
namespace {

const double kExactTolerance[3] = {3e-4, 3e-3, 3e-4};
const double kContinuationSpan = 100.0;
const int kContinuationSteps = 8;

struct Values {
  double v[3];
};

struct Stage {
  const DesignState* calc;
  int topology, notch;
  const TuneSettings* settings;
  DeviceModel device;
  Values start;
  SteadyStateFunction steady;
  double chokeScale = 1.0;
  int evaluations = 0;

  Values At(const Eigen::VectorXd& x) const {
    Values out;
    for (int i = 0; i < 3; i++) out.v[i] = start.v[i] * std::exp(x(i));
    return out;
  }

  bool Evaluate(const Values& v, SimulatedDesign& d) {
    evaluations++;
    ApplyTunedValues(*calc, topology, v.v[0], v.v[1], v.v[2], d.Design, &d.Exact);
    TunedCircuit(d.Design, topology, notch, *settings, device, d.Power, &d.Exact);
    if (chokeScale != 1.0)
      SetPartValue(d.Power, "Lp1", FindPart(d.Power, "Lp1")->Value * chokeScale);
    steady(d.Power, double(calc->FreqHz) * 1e-6, d.Point);
    return d.Point.Run.Ok();
  }
};

struct Functor {
  Stage* stage;
  int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& f) const {
    SimulatedDesign d;
    if (!stage->Evaluate(stage->At(x), d)) return -1;
    double r[3];
    TuneResiduals(d.Point, stage->calc->Vcc, stage->calc->Power, r);
    for (int i = 0; i < 3; i++) f(i) = r[i];
    return 0;
  }
};

bool Within(const SimResult& r, const DesignState& calc) {
  double res[3];
  TuneResiduals(r, calc.Vcc, calc.Power, res);
  for (int i = 0; i < 3; i++)
    if (!(std::fabs(res[i]) <= kExactTolerance[i])) return false;
  return true;
}

Status Solve(Stage& stage, SimulatedDesign& d) {
  Functor f{&stage};
  Eigen::HybridNonLinearSolver<Functor> solver(f);
  solver.parameters.epsfcn = 1e-8;
  solver.parameters.xtol = 1e-9;
  solver.parameters.factor = 0.5;
  solver.parameters.maxfev = 200;
  Eigen::VectorXd x = Eigen::VectorXd::Zero(3);
  solver.solveNumericalDiff(x);
  if (!stage.Evaluate(stage.At(x), d)) return Status::Failed(d.Point.Run.Why());
  return Within(d.Point, *stage.calc) ? Status::Done() : Status::Failed("did not converge");
}

Values Read(const DesignState& s, int topology) {
  const TunedFields& f = Topology(topology).Tuned;
  const double w = kTwoPi * double(s.FreqHz);
  Values v;
  v.v[0] = s.Cp1;
  if (f.Form == kSeriesForm) {
    v.v[1] = s.*f.Cap;
    v.v[2] = s.*f.Ro;
  } else {
    const double rp = s.*f.Ro, q = w * double(s.*f.Cap) * 1e-12 * rp;
    const double rs = rp / (1.0 + q * q);
    v.v[1] = 1e12 / (w * rs * q);
    v.v[2] = rs;
  }
  return v;
}

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

}  // namespace

void TuneDesign(const DesignState& calc, int topology, bool notch, const TuneSettings& settings,
                SteadyStateFunction steady, TuneOutcome& out) {
  out = TuneOutcome{};
  const DesignState base = ChokeHeld(calc, settings);
  const DeviceModel& device = settings.Device;
  const double cossPf = device.Coss > 0.0 ? CossAt(device, base.Vcc) * 1e12 : 0.0;
  Stage lumped{&base, topology, notch, &settings, DeviceModel{}, Read(base, topology), steady};
  SimulatedDesign d;
  out.Tuning = Solve(lumped, d);
  out.Evaluations = lumped.evaluations;
  if (!out.Tuning.Ok() && ChokeContinuation(lumped, d, &out.Evaluations).Ok())
    out.Tuning = Status::Done();
  if (!out.Tuning.Ok()) return;
  if (cossPf > 0.0) {
    const DeviceModel linear{cossPf * 1e-12, 0.0, 0.0, false};
    Stage beside{&base, topology, notch, &settings, linear, Read(d.Design, topology), steady};
    beside.start.v[0] = double(d.Design.Cp1) - cossPf;
    out.Tuning = Solve(beside, d);
    out.Evaluations += beside.evaluations;
    if (!out.Tuning.Ok()) return;
  }
  d.CossPf = cossPf;
  d.Cp1TotalPf = double(d.Design.Cp1) + cossPf;
  out.Tuned = d;
}

}  // namespace previous
