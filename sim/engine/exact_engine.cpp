/*
** exact_engine.cpp: the periodic steady state of the switched circuit.
**
** A period is cut into segments of constant switch conductance: the on
** and off halves, and each ramp as kRampSteps steps.  On a segment of
** length h the state obeys x' = A x + b, and one exponential of
**
**        | A  0  b |
**    N = | I  0  0 | h,    exp(N) = | Phi    0  psi   |
**        | 0  0  0 |                | Gamma  I  gamma |
**                                   | 0      0  1     |
**
** gives both the state at its end, Phi x + psi, and the integral of the
** state over it, Gamma x + gamma (Van Loan's block exponential).  The
** integral of x x^T over a segment solves A X + X A^T = x1 x1^T - x0 x0^T
** - b m^T - m b^T (m the integral of x), which is how every dissipated
** power comes out exactly, whatever the stiffness of the closed switch.
**
** The turn-on voltage and its slope are read at the end of the off
** segment, where the switch is still open; the waveforms are sampled at
** kPeriodSamples uniform instants for the plot, the CSV and the
** harmonics, and the peak is refined between samples by Newton's method
** on the exact derivative.
*/
#include "sim/engine/exact_engine.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <unsupported/Eigen/MatrixFunctions>

#include "engine/single_precision.h"
#include "sim/engine/lyapunov.h"
#include "sim/engine/measure.h"
#include "sim/engine/state_space.h"

const int kRampSteps = 8;

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

struct Segment {
  double start, length, g;
  StateSpace ss;
  MatrixXd phi, gamma; /* end state and integral of the state, from the start state */
  VectorXd psi, gam;
  VectorXd x; /* state at the start, once solved */
};

/* The segments of one period T: conductance as the drive pulse gives it. */
Status CutPeriod(const Circuit& c, double period, std::vector<Segment>& segs) {
  const double gOn = 1.0 / c.Switch.Ron, gOff = 1.0 / c.Switch.Roff;
  const double ramp = c.Switch.Ramp * period;
  const int steps = ramp > 0.0 ? kRampSteps : 0;
  segs.clear();
  auto add = [&](double start, double length, double g) {
    segs.push_back(Segment{start, length, g, {}, {}, {}, {}, {}, {}});
  };
  for (int k = 0; k < steps; k++)
    add(k * ramp / steps, ramp / steps, gOff + (gOn - gOff) * (k + 0.5) / steps);
  add(ramp, period / 2.0 - ramp, gOn);
  for (int k = 0; k < steps; k++)
    add(period / 2.0 + k * ramp / steps, ramp / steps, gOn - (gOn - gOff) * (k + 0.5) / steps);
  add(period / 2.0 + ramp, period / 2.0 - ramp, gOff);
  std::vector<double> g;
  for (const Segment& s : segs) g.push_back(s.g);
  std::vector<StateSpace> systems;
  const Status built = BuildStateSpaces(c, g, systems);
  for (size_t k = 0; k < segs.size() && built.Ok(); k++) segs[k].ss = std::move(systems[k]);
  return built;
}

/* Phi, psi, Gamma and gamma of a segment from one block exponential. */
void Propagators(Segment& s) {
  const Eigen::Index n = s.ss.A.rows();
  MatrixXd block = MatrixXd::Zero(2 * n + 1, 2 * n + 1);
  block.topLeftCorner(n, n) = s.ss.A;
  block.block(0, 2 * n, n, 1) = s.ss.B;
  block.block(n, 0, n, n) = MatrixXd::Identity(n, n);
  const MatrixXd e = (block * s.length).exp();
  s.phi = e.topLeftCorner(n, n);
  s.psi = e.block(0, 2 * n, n, 1);
  s.gamma = e.block(n, 0, n, n);
  s.gam = e.block(n, 2 * n, n, 1);
}

/* x(t) = E x(start) + e at tau after a segment's start: the exponential
   of [A b; 0 0] tau. */
void Advance(const StateSpace& ss, double tau, MatrixXd& e, VectorXd& f) {
  const Eigen::Index n = ss.A.rows();
  MatrixXd block = MatrixXd::Zero(n + 1, n + 1);
  block.topLeftCorner(n, n) = ss.A * tau;
  block.block(0, n, n, 1) = ss.B * tau;
  const MatrixXd m = block.exp();
  e = m.topLeftCorner(n, n);
  f = m.block(0, n, n, 1);
}

double Value(const Eigen::RowVectorXd& row, const VectorXd& x) {
  const Eigen::Index n = x.size();
  return row.head(n).dot(x) + row(n);
}

/* The integrals of one segment once its start state is known. */
struct Moments {
  double h;
  VectorXd m;  /* integral of x */
  MatrixXd xx; /* integral of x x^T */
};

/* A segment short against its own rates (a ramp step) takes Van Loan's
   block exponential for the integral of z z^T, z = [x; 1]: with
   M = [A b; 0 0], exp([M Z; 0 -M^T] h) holds X in its upper right, and
   the integral is X exp(M h)^T.  Its -M^T grows as exp(|A| h), which
   costs digits beyond a few units; a longer segment takes the Lyapunov
   equation, which no stiffness troubles. */
const double kVanLoanReach = 4.0;

bool ShortSegment(const Segment& s) {
  return s.ss.A.lpNorm<1>() * s.length <= kVanLoanReach;
}

MatrixXd VanLoanMoment(const Segment& s) {
  const Eigen::Index n = s.ss.A.rows(), m = n + 1;
  MatrixXd mz = MatrixXd::Zero(m, m);
  mz.topLeftCorner(n, n) = s.ss.A;
  mz.block(0, n, n, 1) = s.ss.B;
  VectorXd z(m);
  z << s.x, 1.0;
  MatrixXd block = MatrixXd::Zero(2 * m, 2 * m);
  block.topLeftCorner(m, m) = mz;
  block.topRightCorner(m, m) = z * z.transpose();
  block.bottomRightCorner(m, m) = -mz.transpose();
  const MatrixXd e = (block * s.length).exp();
  return e.topRightCorner(m, m) * e.topLeftCorner(m, m).transpose();
}

Moments SegmentMoments(const Segment& s) {
  Moments mo;
  mo.h = s.length;
  mo.m = s.gamma * s.x + s.gam;
  if (ShortSegment(s)) {
    const Eigen::Index n = s.x.size();
    const MatrixXd zz = VanLoanMoment(s);
    mo.xx = 0.5 * (zz.topLeftCorner(n, n) + zz.topLeftCorner(n, n).transpose());
    return mo;
  }
  const VectorXd x1 = s.phi * s.x + s.psi;
  const MatrixXd r = x1 * x1.transpose() - s.x * s.x.transpose() - s.ss.B * mo.m.transpose() -
                     mo.m * s.ss.B.transpose();
  mo.xx = SolveLyapunov(s.ss.A, 0.5 * (r + r.transpose()));
  return mo;
}

/* The integral of (row z)^2 and of row z over a segment. */
double Square(const Eigen::RowVectorXd& row, const Moments& mo) {
  const Eigen::Index n = mo.m.size();
  const Eigen::RowVectorXd rx = row.head(n);
  const double rc = row(n);
  return rx * mo.xx * rx.transpose() + 2.0 * rc * rx.dot(mo.m) + rc * rc * mo.h;
}

double Linear(const Eigen::RowVectorXd& row, const Moments& mo) {
  const Eigen::Index n = mo.m.size();
  return row.head(n).dot(mo.m) + row(n) * mo.h;
}

/* The change of the state over a segment, x1 - x0 = A m + b h with m
   the integral of the state: D x0 + d.  Read from the integral, a slow
   state's change keeps its own precision; as Phi - I it would drown in
   the rounding of Phi's unit diagonal (a large choke changes by a
   millionth a period). */
void Change(const Segment& s, MatrixXd& d, VectorXd& e) {
  d = s.ss.A * s.gamma;
  e = s.ss.A * s.gam + s.ss.B * s.length;
}

/* The periodic state at the start of the period, and of every segment:
   the one state whose changes over the segments sum to zero. */
Status SolvePeriod(std::vector<Segment>& segs) {
  const Eigen::Index n = segs[0].ss.A.rows();
  MatrixXd p = MatrixXd::Identity(n, n), total = MatrixXd::Zero(n, n), d;
  VectorXd q = VectorXd::Zero(n), rest = VectorXd::Zero(n), e;
  for (const Segment& s : segs) {
    /* The segment starts at p x0 + q. */
    Change(s, d, e);
    total += d * p;
    rest += d * q + e;
    q = s.phi * q + s.psi;
    p = s.phi * p;
  }
  const Eigen::FullPivLU<MatrixXd> lu(total);
  if (!lu.isInvertible())
    return Status::Failed("the circuit has no periodic steady state (an undamped mode)");
  VectorXd x = lu.solve(-rest);
  for (Segment& s : segs) {
    s.x = x;
    Change(s, d, e);
    x += d * x + e;
  }
  return Status::Done();
}

/* The segment that instant t of the period belongs to; an instant on a
   boundary belongs to the segment that ends there, so t = 0 is the end
   of the period, with the switch still open. */
int SegmentAt(const std::vector<Segment>& segs, double t, double period) {
  if (t <= 0.0) t = period;
  for (size_t k = 0; k < segs.size(); k++)
    if (t <= segs[k].start + segs[k].length) return static_cast<int>(k);
  return static_cast<int>(segs.size()) - 1;
}

/* The state at instant t, 0 < t <= period or t = 0. */
VectorXd StateAt(const std::vector<Segment>& segs, int k, double t, double period) {
  const Segment& s = segs[k];
  const double tau = (t <= 0.0 ? period : t) - s.start;
  MatrixXd e;
  VectorXd f;
  Advance(s.ss, tau, e, f);
  return e * s.x + f;
}

void Sample(const std::vector<Segment>& segs, double period, SimResult& r) {
  r.Vsw.assign(kPeriodSamples, 0.0);
  r.Isw.assign(kPeriodSamples, 0.0);
  r.Vload.assign(kPeriodSamples, 0.0);
  const double dt = period / double(kPeriodSamples);
  int k = -1;           /* segment of the sample before, -1 for none */
  bool stepped = false; /* step and stepF hold k's propagator over dt */
  MatrixXd step;
  VectorXd stepF, x;
  for (int i = 0; i < kPeriodSamples; i++) {
    const double t = i * dt;
    const int at = SegmentAt(segs, t, period);
    const StateSpace& ss = segs[at].ss;
    /* Within one segment each sample follows from the one before; the
       propagator is made when a segment holds a second sample. */
    if (at == k) {
      if (!stepped) Advance(ss, dt, step, stepF);
      stepped = true;
      x = step * x + stepF;
    } else {
      x = StateAt(segs, at, t, period);
      k = i == 0 ? -1 : at; /* t = 0 belongs to the last segment */
      stepped = false;
    }
    r.Vsw[i] = Value(ss.SwitchVoltage, x);
    r.Isw[i] = Value(ss.SwitchCurrent, x);
    r.Vload[i] = Value(ss.LoadVoltage, x);
  }
}

/* The peak of the switch voltage: the largest sample, refined within a
   sample either side by Newton's method on the voltage's Taylor series
   about it (to the fourth derivative, which a 360th of a period leaves
   exact to a few parts in 10^9). */
double Peak(const std::vector<Segment>& segs, double period, const std::vector<double>& v) {
  const int n = static_cast<int>(v.size());
  const int best = static_cast<int>(std::max_element(v.begin(), v.end()) - v.begin());
  const double dt = period / n;
  if (best == 0) return v[best];
  const int k = SegmentAt(segs, best * dt, period);
  const Segment& s = segs[k];
  if ((best - 1) * dt < s.start || (best + 1) * dt > s.start + s.length) return v[best];
  const Eigen::Index ns = s.ss.A.rows();
  const Eigen::RowVectorXd c = s.ss.SwitchVoltage.head(ns);
  /* d[j]: the j-th derivative of the voltage at the sample. */
  VectorXd x = StateAt(segs, k, best * dt, period), dx = s.ss.A * x + s.ss.B;
  double d[5] = {v[best], c.dot(dx), 0.0, 0.0, 0.0};
  for (int j = 2; j < 5; j++) {
    dx = s.ss.A * dx;
    d[j] = c.dot(dx);
  }
  auto at = [&](double tau, int from) {
    double sum = 0.0, term = 1.0;
    for (int j = from; j < 5; j++) {
      sum += d[j] * term;
      term *= tau / (j - from + 1);
    }
    return sum;
  };
  double tau = 0.0;
  for (int it = 0; it < 8; it++) {
    const double slope = at(tau, 1), curve = at(tau, 2);
    if (!(curve < 0.0)) break;
    const double next = tau - slope / curve;
    if (!(std::fabs(next) < dt)) break;
    const bool done = std::fabs(next - tau) < 1e-9 * dt;
    tau = next;
    if (done) break;
  }
  return std::max(v[best], at(tau, 0));
}

void Powers(const Circuit& c, const std::vector<Segment>& segs, double period, SimResult& r) {
  double pdc = 0.0, pout = 0.0, pdev = 0.0, ploss = 0.0;
  for (const Segment& s : segs) {
    const Moments mo = SegmentMoments(s);
    pdc += c.Vcc * Linear(s.ss.SupplyCurrent, mo);
    for (const Dissipator& d : s.ss.Dissipators) {
      const double e = d.Weight * Square(d.Row, mo);
      if (d.Part < 0)
        pdev += e;
      else if (d.Part == c.Load)
        pout += e;
      else
        ploss += e;
    }
  }
  r.Pdc = pdc / period;
  r.Pout = pout / period;
  r.Pdev = pdev / period;
  r.Ploss = ploss / period;
  r.Eff = r.Pdc > 0.0 ? r.Pout / r.Pdc : 0.0;
}

/* Over a steady period the supply's energy, a linear integral, must
   equal what the load, the switch and the losses take, each a quadratic
   one.  The quadratic integrals lose digits when a closed switch of a few
   microohms shorts a lossless capacitor (a rate of 10^14 per second)
   beside an almost lossless choke; a result that no longer balances to a
   thousandth of the input is refused, not printed. */
const double kBalanceTolerance = 1e-3;

bool Balances(const SimResult& r) {
  const double rest = r.Pdc - r.Pout - r.Pdev - r.Ploss;
  return std::fabs(rest) <= kBalanceTolerance * std::fabs(r.Pdc) + 1e-15;
}

}  // namespace

void ExactSteadyState(const Circuit& c, double driveMHz, SimResult& r, std::vector<double>* start) {
  r = SimResult{};
  r.DriveMHz = driveMHz;
  r.Engine = kEngineExact;
  if (IsNonlinear(c)) {
    r.Run = Status::Failed(
        "the device is nonlinear (a graded capacitance or a body diode): ngspice only");
    return;
  }
  const double period = 1.0 / (driveMHz * 1e6);
  std::vector<Segment> segs;
  r.Run = CutPeriod(c, period, segs);
  if (!r.Run.Ok()) return;
  for (Segment& s : segs) Propagators(s);
  r.Run = SolvePeriod(segs);
  if (!r.Run.Ok()) return;
  Powers(c, segs, period, r);
  if (!Balances(r)) {
    r.Run = Status::Failed(
        "the circuit is too stiff for the exact engine: its energy does not balance");
    return;
  }
  Sample(segs, period, r);
  r.Vpeak = Peak(segs, period, r.Vsw);
  /* Turn-on: the end of the off segment, the switch still open. */
  const Segment& off = segs.back();
  const VectorXd x0 = segs.front().x;
  r.Von = Value(off.ss.SwitchVoltage, x0);
  r.ZvsError = r.Vpeak != 0.0 ? r.Von / r.Vpeak : 0.0;
  const Eigen::Index n = x0.size();
  const double dvdt = off.ss.SwitchVoltage.head(n).dot(off.ss.A * x0 + off.ss.B);
  r.Slope = dvdt / (kTwoPi * driveMHz * 1e6 * c.Vcc);
  const double h1 = HarmonicAmplitude(r.Vload, 1);
  r.H2dBc = Dbc(HarmonicAmplitude(r.Vload, 2), h1);
  r.H3dBc = Dbc(HarmonicAmplitude(r.Vload, 3), h1);
  if (start) {
    const VectorXd full = off.ss.Full * x0;
    start->assign(c.Parts.size(), 0.0);
    for (Eigen::Index k = 0; k < full.size(); k++) (*start)[off.ss.StatePart[k]] = full(k);
  }
  r.Steady = true;
  r.Run = std::isfinite(r.Pout) && std::isfinite(r.Vpeak)
              ? Status::Done()
              : Status::Failed("the steady state is not finite");
}
