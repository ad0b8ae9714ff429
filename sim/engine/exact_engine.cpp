/*
** exact_engine.cpp: the periodic steady state of the switched circuit.
**
** A period is cut into segments of constant switch conductance: the on
** and off halves, and each ramp as kRampSteps steps.  The rising and the
** falling ramp meet the same conductances, so one system, and one
** exponential, serves a step of each.  On a segment the augmented state
** z = [x; 1] obeys z' = M z, and the chain of segment_chain.h gives its
** change over the segment, exp(M h) - I = [D d; 0 0]: x1 - x0 = D x0 + d.
** The steady state is the one x0 whose changes over the segments sum to
** zero: one linear solve.  Then, along the same chains, the integral of
** z z^T over each segment, from which every dissipated power is an exact
** quadratic form and the supply's power a linear one.
**
** The turn-on voltage and its slope are read at the end of the off
** segment, where the switch is still open; the waveforms are sampled
** only as far as the run asks (period_samples.h).
*/
#include "sim/engine/exact_engine.h"

#include <cassert>
#include <cmath>

#include "engine/single_precision.h"
#include "sim/engine/measure.h"
#include "sim/engine/period_samples.h"
#include "sim/engine/shooting_engine.h"
#include "sim/engine/state_space.h"

const int kRampSteps = 8;

namespace {

/* Doublings the chain room is first made for, per system: a sweep of a
   prepared circuit then stays within it. */
const int kChainRoomLevels = 24;

/* s from the state space, in place: a workspace prepared again (a
   tolerance run's next sample) reuses the room of its systems, each a few
   kilobytes at the largest size. */
void SystemOf(const StateSpace& ss, int load, ExactSystem& s) {
  const Eigen::Index n = ss.A.rows(), m = n + 1;
  s.M.setZero(m, m);
  s.M.topLeftCorner(n, n) = ss.A;
  s.M.block(0, n, n, 1) = ss.B;
  s.SwitchVoltage = ss.SwitchVoltage;
  s.SwitchCurrent = ss.SwitchCurrent;
  s.SupplyCurrent = ss.SupplyCurrent;
  s.LoadVoltage = ss.LoadVoltage;
  s.Device.setZero(m, m);
  s.Load.setZero(m, m);
  s.Loss.setZero(m, m);
  /* Weight (Row^T Row), entry by entry: Eigen would hold the outer
     product of two dynamic rows in a heap temporary. */
  for (const Dissipator& d : ss.Dissipators) {
    Eigen::MatrixXd& to = d.Part < 0 ? s.Device : d.Part == load ? s.Load : s.Loss;
    for (Eigen::Index j = 0; j < m; j++)
      for (Eigen::Index i = 0; i < m; i++) to(i, j) += d.Weight * (d.Row(i) * d.Row(j));
  }
}

/* What PrepareExact's visit of the state spaces fills. */
struct Visit {
  ExactWorkspace* w;
  std::size_t count; /* systems */
  int load;
  bool fits; /* the states fit a ChainMatrix */
};

/* System i of the visit, straight into the workspace; the first one
   gives the state's size, and the full state's map. */
void TakeSystem(std::size_t i, const StateSpace& ss, void* context) {
  Visit& v = *static_cast<Visit*>(context);
  ExactWorkspace& w = *v.w;
  if (i == 0) {
    w.States = static_cast<int>(ss.A.rows());
    v.fits = w.States + 1 <= kMaxAugmented;
    w.Systems.resize(v.count);
    w.Full = ss.Full;
    w.StatePart = ss.StatePart;
  }
  if (v.fits) SystemOf(ss, v.load, w.Systems[i]);
}

/* The segments of one period: conductance as the drive pulse gives it,
   turning off at Duty of the period. */
void CutPeriod(ExactWorkspace& w, double period) {
  const double ramp = w.Ramp * period, on = w.Duty * period;
  const int steps = w.RampSteps;
  w.Segments.clear();
  for (int k = 0; k < steps; k++) w.Segments.push_back({k * ramp / steps, ramp / steps, k});
  w.Segments.push_back({ramp, on - ramp, steps});
  for (int k = 0; k < steps; k++)
    w.Segments.push_back({on + k * ramp / steps, ramp / steps, steps - 1 - k});
  w.Segments.push_back({on + ramp, period - on - ramp, steps + 1});
}

/* How long system i holds in each of its segments: a ramp step, the on
   stretch or the off one. */
double SystemLength(const ExactWorkspace& w, int i, double period) {
  const double ramp = w.Ramp * period;
  if (i < w.RampSteps) return ramp / w.RampSteps;
  if (i == w.RampSteps) return w.Duty * period - ramp;
  return (1.0 - w.Duty) * period - ramp;
}

/* Each system's chain over its segments' length. */
void Chains(ExactWorkspace& w, double period) {
  const Eigen::Index m = w.States + 1;
  const int systems = static_cast<int>(w.Systems.size());
  std::size_t need = 0;
  for (int i = 0; i < systems; i++) {
    w.Levels[i] = ChainLevels(w.Systems[i].M, SystemLength(w, i, period));
    w.ChainAt[i] = need;
    need += std::size_t(w.Levels[i] + 1) * m * m;
  }
  if (w.Chain.size() < need) w.Chain.resize(need);
  ChainMatrix f;
  for (int i = 0; i < systems; i++)
    ChainExpm1(w.Systems[i].M, SystemLength(w, i, period), w.Levels[i], f,
               w.Chain.data() + w.ChainAt[i]);
}

/* exp(M h) - I of system i: its chain's top. */
Eigen::Map<const Eigen::MatrixXd> Change(const ExactWorkspace& w, int i) {
  const Eigen::Index m = w.States + 1;
  return Eigen::Map<const Eigen::MatrixXd>(
      w.Chain.data() + w.ChainAt[i] + std::size_t(w.Levels[i]) * m * m, m, m);
}

/* The periodic state at the start of the period, and of every segment:
   the one state whose changes over the segments sum to zero. */
Status SolvePeriod(ExactWorkspace& w) {
  const Eigen::Index n = w.States;
  ChainMatrix p = ChainMatrix::Identity(n, n), total = ChainMatrix::Zero(n, n), dp;
  ChainVector q = ChainVector::Zero(n), rest = ChainVector::Zero(n), dq;
  for (const ExactSegment& s : w.Segments) {
    /* The segment starts at p x0 + q. */
    const auto f = Change(w, s.System);
    dp.noalias() = f.topLeftCorner(n, n) * p;
    dq.noalias() = f.topLeftCorner(n, n) * q;
    dq += f.block(0, n, n, 1);
    total += dp;
    rest += dq;
    p += dp;
    q += dq;
  }
  const Eigen::FullPivLU<ChainMatrix> lu(total);
  if (!lu.isInvertible())
    return Status::Failed("the circuit has no periodic steady state (an undamped mode)");
  ChainVector x = lu.solve(-rest), z(n + 1), dx(n);
  for (size_t k = 0; k < w.Segments.size(); k++) {
    z << x, 1.0;
    w.Start[k] = z;
    const auto f = Change(w, w.Segments[k].System);
    dx.noalias() = f.topRows(n) * z;
    x += dx;
  }
  return Status::Done();
}

/* The powers from the integral of z z^T over every segment.  A rising
   and a falling ramp step share their system and their length: their
   integrals are summed on one chain of doublings (segment_chain.h). */
void Powers(const ExactWorkspace& w, double period, SimResult& r) {
  double pdc = 0.0, pout = 0.0, pdev = 0.0, ploss = 0.0;
  const Eigen::Index n = w.States;
  const int systems = static_cast<int>(w.Systems.size());
  ChainMatrix moment;
  ChainVector z[2];
  for (int i = 0; i < systems; i++) {
    int starts = 0;
    double length = 0.0;
    for (size_t k = 0; k < w.Segments.size(); k++)
      if (w.Segments[k].System == i) {
        assert(starts < 2);
        z[starts++] = w.Start[k];
        length = w.Segments[k].Length;
      }
    if (starts == 0) continue;
    const ExactSystem& sys = w.Systems[i];
    ChainMoment(sys.M, length, w.Levels[i], w.Chain.data() + w.ChainAt[i], z, starts, moment);
    pdc += w.Vcc * sys.SupplyCurrent.dot(moment.col(n));
    pdev += sys.Device.cwiseProduct(moment).sum();
    pout += sys.Load.cwiseProduct(moment).sum();
    ploss += sys.Loss.cwiseProduct(moment).sum();
  }
  r.Pdc = pdc / period;
  r.Pout = pout / period;
  r.Pdev = pdev / period;
  r.Ploss = ploss / period;
  r.Eff = r.Pdc > 0.0 ? r.Pout / r.Pdc : 0.0;
}

/* Over a steady period the supply's energy, a linear integral, must
   equal what the load, the switch and the losses take, each a quadratic
   one.  A result that no longer balances to a thousandth of the input
   (the quadratic integrals of a closed switch of a few microohms across
   a lossless capacitor beside an almost lossless choke) is refused, not
   printed. */
const double kBalanceTolerance = 1e-3;

bool Balances(const SimResult& r) {
  const double rest = r.Pdc - r.Pout - r.Pdev - r.Ploss;
  return std::fabs(rest) <= kBalanceTolerance * std::fabs(r.Pdc) + 1e-15;
}

/* r as a fresh record, its vectors kept for their room. */
void Clear(SimResult& r, double driveMHz) {
  std::vector<double> vsw = std::move(r.Vsw), isw = std::move(r.Isw), vload = std::move(r.Vload);
  r = SimResult{};
  r.Vsw = std::move(vsw);
  r.Isw = std::move(isw);
  r.Vload = std::move(vload);
  r.Vsw.clear();
  r.Isw.clear();
  r.Vload.clear();
  r.DriveMHz = driveMHz;
  r.Engine = kEngineExact;
}

}  // namespace

void PrepareExact(const Circuit& c, ExactWorkspace& w) {
  w.Built = Status::Done();
  w.Nonlinear.reset();
  if (IsNonlinear(c)) {
    w.Nonlinear = std::make_shared<ShootingWorkspace>();
    PrepareShooting(c, *w.Nonlinear);
    w.Built = w.Nonlinear->Built;
    return;
  }
  const double gOn = 1.0 / c.Switch.Ron, gOff = 1.0 / c.Switch.Roff;
  w.RampSteps = c.Switch.Ramp > 0.0 ? kRampSteps : 0;
  w.Ramp = c.Switch.Ramp;
  w.Duty = c.Switch.Duty;
  w.Vcc = c.Vcc;
  w.Parts = static_cast<int>(c.Parts.size());
  /* The conductance of each rising step, then on, then off; a falling
     step meets a rising one's. */
  std::vector<double> g;
  for (int k = 0; k < w.RampSteps; k++) g.push_back(gOff + (gOn - gOff) * (k + 0.5) / w.RampSteps);
  g.push_back(gOn);
  g.push_back(gOff);
  Visit v{&w, g.size(), c.Load, false};
  w.Built = VisitStateSpaces(c, g, false, TakeSystem, &v);
  if (!w.Built.Ok()) return;
  if (!v.fits) {
    w.Built = Status::Failed("the circuit has more states than the exact engine holds");
    return;
  }
  const std::size_t count = g.size(), segments = 2 * w.RampSteps + 2;
  const std::size_t m = w.States + 1;
  w.Levels.assign(count, 0);
  w.ChainAt.assign(count, 0);
  w.Chain.resize(count * (kChainRoomLevels + 1) * m * m);
  w.Segments.reserve(segments);
  w.Start.resize(segments);
  w.SwitchSamples.reserve(kPeriodSamples);
}

void SolveExact(ExactWorkspace& w, double driveMHz, int detail, SimResult& r,
                std::vector<double>* start) {
  if (w.Nonlinear) {
    SolveShooting(*w.Nonlinear, driveMHz, detail, r, start);
    return;
  }
  Clear(r, driveMHz);
  r.Run = w.Built;
  if (!r.Run.Ok()) return;
  const double period = 1.0 / (driveMHz * 1e6);
  CutPeriod(w, period);
  Chains(w, period);
  r.Run = SolvePeriod(w);
  if (!r.Run.Ok()) return;
  Powers(w, period, r);
  if (!Balances(r)) {
    r.Run = Status::Failed(
        "the circuit is too stiff for the exact engine: its energy does not balance");
    return;
  }
  const bool full = detail == kDetailFull;
  std::vector<double>& vsw = full ? r.Vsw : w.SwitchSamples;
  SamplePeriod(w, period, vsw, full ? &r.Isw : nullptr, full ? &r.Vload : nullptr);
  r.Vpeak = PeakVoltage(w, period, vsw);
  /* Turn-on: the end of the off segment, the switch still open. */
  const ExactSystem& off = w.Systems[w.Segments.back().System];
  const ChainVector& z0 = w.Start.front();
  r.Von = off.SwitchVoltage.dot(z0);
  r.ZvsError = r.Vpeak != 0.0 ? r.Von / r.Vpeak : 0.0;
  const ChainVector dz = off.M * z0;
  r.Slope = off.SwitchVoltage.dot(dz) / (kTwoPi * driveMHz * 1e6 * w.Vcc);
  if (full) {
    const double h1 = HarmonicAmplitude(r.Vload, 1);
    r.H2dBc = Dbc(HarmonicAmplitude(r.Vload, 2), h1);
    r.H3dBc = Dbc(HarmonicAmplitude(r.Vload, 3), h1);
  }
  if (start) {
    const Eigen::VectorXd full = w.Full * z0.head(w.States);
    start->assign(w.Parts, 0.0);
    for (Eigen::Index k = 0; k < full.size(); k++) (*start)[w.StatePart[k]] = full(k);
  }
  r.Steady = true;
  r.Run = std::isfinite(r.Pout) && std::isfinite(r.Vpeak)
              ? Status::Done()
              : Status::Failed("the steady state is not finite");
}

void ExactSteadyState(const Circuit& c, double driveMHz, SimResult& r, std::vector<double>* start) {
  ExactWorkspace w;
  PrepareExact(c, w);
  SolveExact(w, driveMHz, kDetailFull, r, start);
}
