/*
** shooting_engine.cpp: the nonlinear device's steady state by shooting
** (see the header).
**
** The unknowns of a period are the linear circuit's state x and the
** voltage vc on the graded capacitance (its charge is Q(vc)).  At the end
** of each step two scalar equations hold: the switch voltage the linear
** circuit gives for the current u the device draws, and the body diode's
** junction behind its series resistance.  They are solved by Newton in
** (vc, vj), the junction's steps limited as a circuit simulator limits
** them, and the same two-by-two system, differentiated, carries the
** sensitivities of the step to the period's start.
*/
#include "sim/engine/shooting_engine.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "engine/single_precision.h"
#include "sim/engine/measure.h"
#include "sim/engine/state_space.h"

const int kShootingSteps = 1024;

namespace {

/* Steps of each switch segment at least: a switch ramp is a two-hundredth
   of a period, and the device's capacitance discharges within it when the
   switch turns on with voltage left across it. */
const int kMinSegmentSteps = 8;

}  // namespace

namespace {

/* Newton stops when the period closes to this share of each state's swing. */
const double kClosure = 1e-9;
/* Below this closure Newton keeps its Jacobian (see Shoot). */
const double kChordBelow = 1e-3;
const int kMaxNewton = 30;
const int kMaxDeviceIterations = 100;

/* Past this exponent the diode's exponential is continued by its tangent:
   a finite current far beyond any circuit's, with a finite slope. */
const double kMaxExponent = 80.0;

/* The diode's current and its slope at junction voltage vj. */
void DiodeAt(const DeviceModel& d, double vj, double* id, double* gd) {
  const double nvt = d.DiodeN * kThermalVolts;
  const double x = vj / nvt;
  if (x < -kMaxExponent) { /* reverse biased: the exponential is nothing */
    *id = -d.DiodeIs;
    *gd = 0.0;
    return;
  }
  if (x > kMaxExponent) {
    const double e = std::exp(kMaxExponent);
    *id = d.DiodeIs * (e * (1.0 + x - kMaxExponent) - 1.0);
    *gd = d.DiodeIs * e / nvt;
    return;
  }
  const double e = std::exp(x);
  *id = d.DiodeIs * (e - 1.0);
  *gd = d.DiodeIs * e / nvt;
}

/* A junction's step limited as circuit simulators do, so the exponential
   is never driven far past where it was. */
double LimitJunction(const DeviceModel& d, double vnew, double vold) {
  const double nvt = d.DiodeN * kThermalVolts;
  const double vcrit = nvt * std::log(nvt / (std::sqrt(2.0) * d.DiodeIs));
  if (vnew > vcrit && std::fabs(vnew - vold) > 2.0 * nvt) {
    if (vold > 0.0) {
      const double arg = 1.0 + (vnew - vold) / nvt;
      return arg > 0.0 ? vold + nvt * std::log(arg) : vcrit;
    }
    return nvt * std::log(vnew / nvt);
  }
  return vnew;
}

/* What one step's device equations need.  The capacitance's current is
   C(v) dvc/dt, C read at the switch node's voltage v and the rate that of
   its own voltage vc behind its series resistance, as ngspice's
   behavioural capacitor has it; the rate follows the integration rule,
   D = alpha (vc - vcn) - gamma Dn. */
struct DeviceStep {
  double a, k;  /* switch voltage v = a + k u at the step's end */
  double alpha; /* 2 / h for the trapezoidal rule, 1 / h for backward Euler */
  double gamma; /* 1 for the trapezoidal rule, 0 for backward Euler */
  double e;     /* the rule's history, alpha vcn + gamma Dn */
};

/* The device at the end of a step, and the 2 x 2 Jacobian of its
   equations in (v, vj) there. */
struct DeviceState {
  double v = 0.0, vj = 0.0;    /* switch node and junction voltages */
  double vc = 0.0, rate = 0.0; /* the capacitance's own voltage and its rate */
  double ic = 0.0, id = 0.0;   /* currents into the capacitance, out of the diode into the node */
  double u = 0.0;              /* the current drawn from the switch node */
  double dicdv = 0.0, dicde = 0.0, gd = 0.0;
  double c = 0.0, dc = 0.0; /* the capacitance and its slope at v */
  double j11 = 1.0, j12 = 0.0, j21 = 0.0, j22 = 1.0;
};

struct Solver {
  const ShootingWorkspace* w;
  bool graded, diode;
};

/* The graded capacitance and its slope at v, as CossAt gives it: for one
   datasheet point one power a call (a square root for M = 1/2), since the
   steps call it thousands of times a period; a table's from CossAt, its
   slope by a central difference. */
void GradedAt(const ShootingWorkspace& w, double v, double* c, double* dc) {
  if (!w.Device.Table.empty()) {
    const double h = 1e-4 * (1.0 + std::fabs(v));
    *c = CossAt(w.Device, v);
    *dc = (CossAt(w.Device, v + h) - CossAt(w.Device, v - h)) / (2.0 * h);
    return;
  }
  const double vj = kJunctionPotential, low = -0.5 * vj;
  const double at = std::max(v, low), x = 1.0 + at / vj;
  const double m = w.Device.Grading;
  *c = w.CossJunction * (m == 0.5 ? 1.0 / std::sqrt(x) : std::pow(x, -m));
  *dc = v < low ? 0.0 : -m * *c / (vj * x);
}

/* The capacitance's current at node voltage v: with D = (alpha v - e) / den
   and den = 1 + r alpha C(v), ic = C(v) D; and its slopes. */
void CapacitanceAt(const Solver& s, const DeviceStep& st, DeviceState& d) {
  if (!s.graded) {
    d.ic = d.dicdv = d.dicde = d.rate = 0.0;
    d.vc = d.v;
    return;
  }
  const double r = s.w->CossEsr;
  double c, dc;
  GradedAt(*s.w, d.v, &c, &dc);
  d.c = c;
  d.dc = dc;
  const double den = 1.0 + r * st.alpha * c;
  const double num = st.alpha * d.v - st.e;
  d.rate = num / den;
  d.ic = c * d.rate;
  d.vc = (d.v + r * c * st.e) / den;
  d.dicdv = ((dc * num + c * st.alpha) * den - c * num * r * st.alpha * dc) / (den * den);
  d.dicde = -c / den;
}

/* Evaluates the device equations at (v, vj); returns their residuals. */
void Residuals(const Solver& s, const DeviceStep& st, DeviceState& d, double* f1, double* f2) {
  CapacitanceAt(s, st, d);
  if (s.diode) {
    DiodeAt(s.w->Device, d.vj, &d.id, &d.gd);
  } else {
    d.id = d.gd = 0.0;
  }
  const double rs = s.w->Device.DiodeRs;
  d.u = d.ic - d.id;
  *f1 = d.v - st.a - st.k * d.u;
  *f2 = s.diode ? d.v + d.vj + rs * d.id : 0.0;
  d.j11 = 1.0 - st.k * d.dicdv;
  d.j12 = st.k * d.gd;
  d.j21 = s.diode ? 1.0 : 0.0;
  d.j22 = s.diode ? 1.0 + rs * d.gd : 1.0;
}

/* Solves the device equations of one step from the guess in d. */
bool SolveDevice(const Solver& s, const DeviceStep& st, DeviceState& d) {
  for (int it = 0; it < kMaxDeviceIterations; it++) {
    double f1, f2;
    Residuals(s, st, d, &f1, &f2);
    const double det = d.j11 * d.j22 - d.j12 * d.j21;
    if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
    const double dv = (f1 * d.j22 - f2 * d.j12) / det;
    const double dvj = (d.j11 * f2 - d.j21 * f1) / det;
    const double vj = s.diode ? LimitJunction(s.w->Device, d.vj - dvj, d.vj) : d.vj;
    const bool limited = s.diode && vj != d.vj - dvj;
    d.v -= dv;
    d.vj = vj;
    /* Newton's next change would be the square of this one's: below
       1e-9 the state evaluated next is exact to rounding. */
    if (!limited && std::fabs(dv) <= 1e-9 * (1.0 + std::fabs(d.v)) &&
        std::fabs(dvj) <= 1e-9 * (1.0 + std::fabs(vj))) {
      Residuals(s, st, d, &f1, &f2);
      return true;
    }
  }
  return false;
}

/* Sensitivities of the walk to the period's start (x0, vc0), as rows. */
struct Sensitivity {
  ChainMatrix dx;          /* n x m */
  ChainRow dvc, drate, du; /* 1 x m */
  ChainMatrix dp;          /* room */
  ChainRow da, de, dv, dvj, dic, rhs;
};

/* The state along the period. */
struct Walk {
  ChainVector x, z, p;
  DeviceState dev;
  double vBefore = 0.0; /* the switch voltage a step before */
  ChainVector swing;    /* the largest each state reaches over the period */
  double vswing = 0.0;
};

void MakeKinds(ShootingWorkspace& w, double period) {
  const double ramp = w.Ramp * period, on = w.Duty * period;
  const int rs = w.RampSteps;
  struct Segment {
    double length;
    int system;
  };
  std::vector<Segment> segs;
  for (int k = 0; k < rs; k++) segs.push_back({ramp / rs, k});
  segs.push_back({on - ramp, rs});
  for (int k = 0; k < rs; k++) segs.push_back({ramp / rs, rs - 1 - k});
  segs.push_back({period - on - ramp, rs + 1});
  const double target = period / kShootingSteps;
  const Eigen::Index n = w.States;
  w.Kinds.clear();
  w.Steps.clear();
  for (const Segment& seg : segs) {
    const int count = std::max(kMinSegmentSteps, int(std::ceil(seg.length / target - 1e-9)));
    const double h = seg.length / count;
    for (int euler = 1; euler >= 0; euler--) {
      if (!euler && count == 1) break;
      const ShootingSystem& sys = w.Systems[seg.system];
      ShootingKind k;
      k.System = seg.system;
      k.Length = h;
      k.Euler = euler;
      ChainMatrix f;
      ChainExpm1(sys.M, h, ChainLevels(sys.M, h), f);
      k.Fxz = f.topLeftCorner(n, n + 1);
      const ChainVector fu = f.block(0, n + 1, n, 1), fs = f.block(0, n + 2, n, 1);
      if (euler) {
        k.Gamma = ChainVector::Zero(n);
        k.Beta = fu;
      } else {
        k.Gamma = fu - fs / h;
        k.Beta = fs / h;
      }
      k.Vx = sys.SwitchVoltage.head(n);
      k.V1 = sys.SwitchVoltage(n);
      k.K = k.Vx.dot(k.Beta) + sys.SwitchVoltage(n + 1);
      k.Damped = euler || (w.SwitchNodeAlgebraic && h > 2.0 * std::fabs(k.K) * w.CossLargest);
      w.Kinds.push_back(k);
    }
    const int first = static_cast<int>(w.Kinds.size()) - (count == 1 ? 1 : 2);
    w.Steps.push_back(first);
    for (int i = 1; i < count; i++) w.Steps.push_back(first + 1);
  }
}

/* One step from the walk's state; with sens, carries the sensitivities. */
bool Step(const Solver& s, const ShootingKind& k, Walk& wk, Sensitivity* sens) {
  const Eigen::Index n = wk.x.size();
  wk.z.head(n) = wk.x;
  wk.z(n) = 1.0;
  wk.p.noalias() = k.Fxz * wk.z;
  wk.p += wk.x;
  if (!k.Euler) wk.p += k.Gamma * wk.dev.u;
  DeviceStep st;
  st.a = k.Vx.dot(wk.p) + k.V1;
  st.k = k.K;
  st.alpha = (k.Damped ? 1.0 : 2.0) / k.Length;
  st.gamma = k.Damped ? 0.0 : 1.0;
  st.e = st.alpha * wk.dev.vc + st.gamma * wk.dev.rate;
  DeviceState& d = wk.dev;
  /* Within a segment the voltage goes on as it went: a guess a step's
     curvature from the answer, not its slope. */
  const double vNow = d.v;
  if (!k.Euler) d.v += d.v - wk.vBefore;
  wk.vBefore = vNow;
  if (!SolveDevice(s, st, d)) return false;
  wk.x = wk.p + k.Beta * d.u;
  if (!sens) return true;
  Sensitivity& g = *sens;
  g.dp = g.dx;
  g.dp.noalias() += k.Fxz.leftCols(n) * g.dx;
  if (!k.Euler) g.dp.noalias() += k.Gamma * g.du;
  g.da.noalias() = k.Vx * g.dp;
  g.de = st.alpha * g.dvc + st.gamma * g.drate;
  /* J [dv; dvj] = [da + k dic/de de; 0]. */
  const double det = d.j11 * d.j22 - d.j12 * d.j21;
  g.rhs = g.da + (st.k * d.dicde) * g.de;
  g.dv = g.rhs * (d.j22 / det);
  g.dvj = g.rhs * (-d.j21 / det);
  g.dic = d.dicdv * g.dv + d.dicde * g.de;
  g.du = g.dic - d.gd * g.dvj;
  if (s.graded) {
    /* vc = (v + r C e) / den and D = (alpha v - e) / den, den = 1 + r alpha C. */
    const double r = s.w->CossEsr, c = d.c, dc = d.dc;
    const double den = 1.0 + r * st.alpha * c, dden = r * st.alpha * dc;
    const double vcNum = d.v + r * c * st.e, rateNum = st.alpha * d.v - st.e;
    const double vcV = ((1.0 + r * dc * st.e) * den - vcNum * dden) / (den * den);
    const double rateV = (st.alpha * den - rateNum * dden) / (den * den);
    g.dvc = vcV * g.dv + (r * c / den) * g.de;
    g.drate = rateV * g.dv - g.de / den;
  } else {
    g.dvc = g.dv;
    g.drate.setZero();
  }
  g.dx = g.dp;
  g.dx.noalias() += k.Beta * g.du;
  return true;
}

/* The walk at the period's start: the state x0, the capacitance at vc0
   and at rest. */
void StartWalk(const ChainVector& x0, double vc0, Walk& wk) {
  wk.x = x0;
  wk.z.resize(x0.size() + 1);
  wk.dev.vc = wk.dev.v = vc0;
  wk.dev.rate = wk.dev.ic = wk.dev.u = 0.0;
}

/* Integrates one period from (x0, vc0); with sens, its sensitivities. */
bool Period(const ShootingWorkspace& w, const Solver& s, const ChainVector& x0, double vc0,
            Walk& wk, Sensitivity* sens) {
  const Eigen::Index n = w.States;
  StartWalk(x0, vc0, wk);
  if (sens) {
    const Eigen::Index m = n + 1;
    sens->dx = ChainMatrix::Zero(n, m);
    sens->dx.leftCols(n).setIdentity();
    sens->dvc = ChainRow::Unit(m, n);
    sens->drate = sens->du = ChainRow::Zero(m);
  }
  wk.swing = x0.cwiseAbs();
  wk.vswing = std::fabs(vc0);
  for (int kind : w.Steps) {
    if (!Step(s, w.Kinds[kind], wk, sens)) return false;
    wk.swing = wk.swing.cwiseMax(wk.x.cwiseAbs());
    wk.vswing = std::max(wk.vswing, std::fabs(wk.dev.vc));
  }
  return wk.x.allFinite() && std::isfinite(wk.dev.vc);
}

}  // namespace

namespace {

/* A row over [x; 1; u] at a point, and its rate of change there. */
struct Point {
  const Eigen::VectorXd* x;  /* the state */
  const Eigen::VectorXd* dx; /* its derivative */
  double u, slope;           /* the device's current and its rate */
};

void RowAt(const Eigen::RowVectorXd& row, const Point& pt, double* y, double* dy) {
  const Eigen::Index n = pt.x->size();
  *y = row.head(n).dot(*pt.x) + row(n) + row(n + 1) * pt.u;
  *dy = row.head(n).dot(*pt.dx) + row(n + 1) * pt.slope;
}

/* The integral over a step of length h of a function known with its
   derivative at both ends: exact for a cubic. */
double Hermite(double h, double f0, double df0, double f1, double df1) {
  return h / 2.0 * (f0 + f1) + h * h / 12.0 * (df0 - df1);
}

double Dissipated(const std::vector<Dissipator>& group, const Point& a, const Point& b, double h) {
  double e = 0.0;
  for (const Dissipator& d : group) {
    double y0, dy0, y1, dy1;
    RowAt(d.Row, a, &y0, &dy0);
    RowAt(d.Row, b, &y1, &dy1);
    e += d.Weight * Hermite(h, y0 * y0, 2.0 * y0 * dy0, y1 * y1, 2.0 * y1 * dy1);
  }
  return e;
}

/* The switch's dissipation over a step where its node voltage is the
   device's own: from the solved voltages at the step's ends and the
   capacitance's rates there (the voltage behind its series loss moves
   with the node's); by the trapezoid where the capacitance's rate is
   backward Euler's, a step's mean rather than its end's. */
double DissipatedAtNode(const std::vector<Dissipator>& group, const ShootingKind& k,
                        const DeviceState& a, const DeviceState& b) {
  double e = 0.0;
  for (const Dissipator& d : group) {
    const double df0 = k.Damped ? 0.0 : 2.0 * a.v * a.rate;
    const double df1 = k.Damped ? 0.0 : 2.0 * b.v * b.rate;
    e += d.Weight * Hermite(k.Length, a.v * a.v, df0, b.v * b.v, df1);
  }
  return e;
}

/* What the recording pass adds up over the period (J). */
struct Energies {
  double in = 0.0, out = 0.0, dev = 0.0, loss = 0.0;
};

/* The steady period walked once more, its waveforms kept at every step's
   end and its energies integrated step by step. */
bool Record(ShootingWorkspace& w, const Solver& s, const ChainVector& x0, double vc0, Walk& wk,
            Energies& e, double* endRate) {
  const Eigen::Index n = w.States;
  StartWalk(x0, vc0, wk);
  const size_t steps = w.Steps.size();
  for (std::vector<double>* v : {&w.Time, &w.Vsw, &w.Isw, &w.Vload, &w.Ein, &w.Eout, &w.Edev})
    v->resize(steps + 1);
  Eigen::VectorXd xs(n), xe(n), dxs(n), dxe(n);
  double t = 0.0, pdiode = 0.0, pesr = 0.0;
  bool first = true;
  for (size_t i = 0; i < steps; i++) {
    const ShootingKind& k = w.Kinds[w.Steps[i]];
    const ShootingSystem& sys = w.Systems[k.System];
    xs = wk.x;
    const DeviceState start = wk.dev;
    const double uPrev = wk.dev.u;
    if (!Step(s, k, wk, nullptr)) return false;
    xe = wk.x;
    const double ue = wk.dev.u, h = k.Length;
    const double us = k.Euler ? ue : uPrev;
    const double slope = k.Euler ? 0.0 : (ue - uPrev) / h;
    dxs = sys.A * xs + sys.B + sys.Inject * us;
    dxe = sys.A * xe + sys.B + sys.Inject * ue;
    /* Where the switch node has no capacitor, the current held over a
       switch event's first step leaves the rates at its start those of a
       node voltage off by the off resistance times the current's jump:
       such a step's energies go by the trapezoid. */
    const bool trapezoid = w.SwitchNodeAlgebraic && k.Euler;
    if (trapezoid) dxs.setZero(), dxe.setZero();
    const double rate = trapezoid ? 0.0 : slope;
    const Point a{&xs, &dxs, us, rate}, b{&xe, &dxe, ue, rate};
    double y0, dy0, y1, dy1;
    RowAt(sys.SupplyCurrent, a, &y0, &dy0);
    RowAt(sys.SupplyCurrent, b, &y1, &dy1);
    e.in += w.Vcc * Hermite(h, y0, dy0, y1, dy1);
    e.out += Dissipated(sys.Load, a, b, h);
    const double channel = w.SwitchNodeAlgebraic ? DissipatedAtNode(sys.Device, k, start, wk.dev)
                                                 : Dissipated(sys.Device, a, b, h);
    e.loss += Dissipated(sys.Loss, a, b, h);
    /* The diode's and the capacitance's series loss, by the trapezoid:
       their currents are the device equations' own, known at the ends. */
    const double pd = wk.dev.id * (-wk.dev.v - w.Device.DiodeRs * wk.dev.id) +
                      w.Device.DiodeRs * wk.dev.id * wk.dev.id;
    const double pr = w.CossEsr * wk.dev.ic * wk.dev.ic;
    if (first) pdiode = pd, pesr = pr;
    const double ediode = h / 2.0 * (pdiode + pd), eesr = h / 2.0 * (pesr + pr);
    pdiode = pd;
    pesr = pr;
    first = false;
    e.dev += channel + ediode;
    e.loss += eesr;
    t += h;
    w.Time[i + 1] = t;
    w.Vsw[i + 1] = wk.dev.v;
    RowAt(sys.SwitchVoltage, b, &y1, endRate);
    RowAt(sys.SwitchCurrent, b, &y1, &dy1);
    w.Isw[i + 1] = y1;
    RowAt(sys.LoadVoltage, b, &y1, &dy1);
    w.Vload[i + 1] = y1;
    w.Ein[i + 1] = e.in;
    w.Eout[i + 1] = e.out;
    w.Edev[i + 1] = e.dev;
  }
  /* The period's start is its end. */
  w.Time[0] = 0.0;
  w.Vsw[0] = w.Vsw[steps];
  w.Isw[0] = w.Isw[steps];
  w.Vload[0] = w.Vload[steps];
  w.Ein[0] = w.Eout[0] = w.Edev[0] = 0.0;
  return true;
}

/* The peak of the switch voltage, refined by the parabola through the
   highest step end and its neighbours. */
double RefinedPeak(const std::vector<double>& t, const std::vector<double>& v) {
  const size_t i = std::max_element(v.begin(), v.end()) - v.begin();
  if (i == 0 || i + 1 >= v.size()) return v[i];
  const double h0 = t[i] - t[i - 1], h1 = t[i + 1] - t[i];
  const double d0 = (v[i] - v[i - 1]) / h0, d1 = (v[i + 1] - v[i]) / h1;
  const double curve = (d1 - d0) / (h0 + h1); /* half the second derivative */
  if (!(curve < 0.0)) return v[i];
  /* v(t) = v[i] + b (t - t[i]) + curve (t - t[i])^2 near the top. */
  const double b = d0 + curve * h0;
  return v[i] - b * b / (4.0 * curve);
}

/* Two copies of the steady period as a transient run, so the figures
   come from the measurements every run of the tool uses. */
void Measure(const ShootingWorkspace& w, double period, SimResult& r) {
  RawRun run;
  const size_t m = w.Time.size();
  for (int copy = 0; copy < 2; copy++)
    for (size_t i = copy ? 1 : 0; i < m; i++) {
      run.time.push_back(w.Time[i] + copy * period);
      run.vsw.push_back(w.Vsw[i]);
      run.isw.push_back(w.Isw[i]);
      run.vload.push_back(w.Vload[i]);
      run.ein.push_back(w.Ein[i] + copy * w.Ein[m - 1]);
      run.eout.push_back(w.Eout[i] + copy * w.Eout[m - 1]);
      run.edev.push_back(w.Edev[i] + copy * w.Edev[m - 1]);
    }
  MeasureRun(run, period, 2, w.Vcc, w.Device.BodyDiode, r);
  r.Vpeak = RefinedPeak(w.Time, w.Vsw);
  r.ZvsError = r.Vpeak != 0.0 ? r.Von / r.Vpeak : 0.0;
}

void Clear(SimResult& r, double driveMHz) {
  r = SimResult{};
  r.DriveMHz = driveMHz;
  r.Engine = kEngineExact;
  r.Method = kMethodShooting;
}

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

/* Where Newton starts: the linearised circuit's steady state, carried
   over part by part. */
Status StartingPoint(ShootingWorkspace& w, double driveMHz, ChainVector& x0, double* vc0) {
  SimResult lin;
  std::vector<double> parts;
  SolveExact(*w.Linear, driveMHz, kDetailFigures, lin, &parts);
  if (!lin.Run.Ok()) return lin.Run;
  Eigen::VectorXd full(w.StatePart.size());
  for (size_t k = 0; k < w.StatePart.size(); k++) {
    const int at = IndexOf(w.LinearNames, w.PartNames[w.StatePart[k]]);
    assert(at >= 0);
    full(k) = parts[at];
  }
  x0 = w.Full.colPivHouseholderQr().solve(full);
  *vc0 = w.LinearCoss >= 0 ? parts[w.LinearCoss] : lin.Von;
  return Status::Done();
}

/* How far the period is from closing: each state's change over it
   against the largest it reaches. */
double ClosureOf(const ChainVector& x0, double vc0, const Walk& wk) {
  double worst = std::fabs(wk.dev.vc - vc0) / std::max(wk.vswing, 1e-300);
  for (Eigen::Index i = 0; i < x0.size(); i++)
    worst = std::max(worst, std::fabs(wk.x(i) - x0(i)) / std::max(wk.swing(i), 1e-300));
  return worst;
}

/* Newton on the period map from (x0, vc0) until the period closes; the
   closure reached in *closure.  The Jacobian comes from the steps'
   sensitivities while the period is far from closing; near it the last
   one is kept (a chord step costs a plain period, a sixth of one with
   sensitivities) for as long as it still halves the closure. */
bool Shoot(const ShootingWorkspace& w, const Solver& s, ChainVector& x0, double* vc0, Walk& wk,
           double* closure) {
  const Eigen::Index n = w.States;
  Sensitivity sens;
  Eigen::FullPivLU<Eigen::MatrixXd> lu;
  Eigen::MatrixXd jac(n + 1, n + 1);
  Eigen::VectorXd residual(n + 1), delta(n + 1);
  bool haveJacobian = false;
  double before = 1e300;
  for (int it = 0; it < kMaxNewton; it++) {
    const bool fresh = !haveJacobian || before > kChordBelow;
    wk.dev.vj = std::min(-*vc0, 0.0);
    if (!Period(w, s, x0, *vc0, wk, fresh ? &sens : nullptr)) return false;
    *closure = ClosureOf(x0, *vc0, wk);
    if (*closure <= kClosure) return true;
    if (!fresh && *closure > 0.5 * before) {
      haveJacobian = false; /* the kept Jacobian no longer serves: a fresh one from here */
      before = 1e300;
      continue;
    }
    before = *closure;
    if (fresh) {
      jac.topRows(n) = sens.dx;
      jac.row(n) = sens.dvc;
      jac -= Eigen::MatrixXd::Identity(n + 1, n + 1);
      lu.compute(jac);
      haveJacobian = true;
    }
    residual.head(n) = wk.x - x0;
    residual(n) = wk.dev.vc - *vc0;
    delta = lu.solve(-residual);
    if (!delta.allFinite()) return false;
    x0 += delta.head(n);
    *vc0 += delta(n);
  }
  return false;
}

}  // namespace

void PrepareShooting(const Circuit& c, ShootingWorkspace& w) {
  w.Built = Status::Done();
  const double gOn = 1.0 / c.Switch.Ron, gOff = 1.0 / c.Switch.Roff;
  w.RampSteps = c.Switch.Ramp > 0.0 ? kRampSteps : 0;
  w.Ramp = c.Switch.Ramp;
  w.Duty = c.Switch.Duty;
  w.Vcc = c.Vcc;
  w.Device = c.Device;
  w.Parts = static_cast<int>(c.Parts.size());
  std::vector<double> g;
  for (int k = 0; k < w.RampSteps; k++) g.push_back(gOff + (gOn - gOff) * (k + 0.5) / w.RampSteps);
  g.push_back(gOn);
  g.push_back(gOff);
  std::vector<StateSpace> systems;
  w.Built = BuildStateSpaces(c, g, systems, true);
  if (!w.Built.Ok()) return;
  const Eigen::Index n = systems[0].A.rows();
  w.States = static_cast<int>(n);
  /* A current drawn from a node with a capacitor moves its voltage by no
     more than the capacitor's series loss; from a node without one, by the
     switch's own off resistance. */
  const StateSpace& off = systems.back();
  w.SwitchNodeAlgebraic = IsGradedCoss(c.Device) && off.SwitchVoltage.size() > n + 1 &&
                          std::fabs(off.SwitchVoltage(n + 1)) * gOff > 0.5;
  if (n + 3 > kMaxAugmented) {
    w.Built = Status::Failed("the circuit has more states than the shooting engine holds");
    return;
  }
  w.Systems.clear();
  for (const StateSpace& ss : systems) {
    ShootingSystem sys;
    sys.M = ChainMatrix::Zero(n + 3, n + 3);
    sys.M.topLeftCorner(n, n) = ss.A;
    sys.M.block(0, n, n, 1) = ss.B;
    sys.M.block(0, n + 1, n, 1) = ss.Inject;
    sys.M(n + 1, n + 2) = 1.0;
    sys.A = ss.A;
    sys.B = ss.B;
    sys.Inject = ss.Inject;
    sys.SwitchVoltage = ss.SwitchVoltage;
    sys.SwitchCurrent = ss.SwitchCurrent;
    sys.SupplyCurrent = ss.SupplyCurrent;
    sys.LoadVoltage = ss.LoadVoltage;
    for (const Dissipator& d : ss.Dissipators)
      (d.Part < 0 ? sys.Device : d.Part == c.Load ? sys.Load : sys.Loss).push_back(d);
    w.Systems.push_back(std::move(sys));
  }
  w.Full = systems.back().Full;
  w.StatePart = systems.back().StatePart;
  w.PartNames.clear();
  for (const CircuitPart& p : c.Parts) w.PartNames.push_back(p.Name);
  /* The graded capacitance's loss is every capacitor's, at its value at
     Vcc, as the netlist gives it. */
  w.CossJunction = IsGradedCoss(c.Device) ? CossAt(c.Device, 0.0) : 0.0;
  w.CossLargest = w.CossJunction;
  w.CossEsr = IsGradedCoss(c.Device) && c.Qcap > 0.0
                  ? 1.0 / (kTwoPi * c.DesignHz * CossAt(c.Device, c.Vcc) * c.Qcap)
                  : 0.0;
  const Circuit linear = Linearised(c);
  w.Linear = std::make_unique<ExactWorkspace>();
  PrepareExact(linear, *w.Linear);
  if (!w.Linear->Built.Ok()) {
    w.Built = w.Linear->Built;
    return;
  }
  w.LinearNames.clear();
  for (const CircuitPart& p : linear.Parts) w.LinearNames.push_back(p.Name);
  w.LinearCoss = IsGradedCoss(c.Device) ? IndexOf(w.LinearNames, "Coss") : -1;
}

void SolveShooting(ShootingWorkspace& w, double driveMHz, int detail, SimResult& r,
                   std::vector<double>* start) {
  Clear(r, driveMHz);
  r.Run = w.Built;
  if (!r.Run.Ok()) return;
  const double period = 1.0 / (driveMHz * 1e6);
  MakeKinds(w, period);
  const Eigen::Index n = w.States;
  ChainVector x0(n);
  double vc0 = 0.0;
  r.Run = StartingPoint(w, driveMHz, x0, &vc0);
  if (!r.Run.Ok()) return;
  const Solver s{&w, IsGradedCoss(w.Device), w.Device.BodyDiode};
  Walk wk;
  wk.dev.vj = std::min(-vc0, 0.0);
  const bool closed = Shoot(w, s, x0, &vc0, wk, &r.Closure);
  if (!closed) {
    r.Run =
        Status::Failed("the nonlinear circuit's period does not close (shooting did not converge)");
    return;
  }
  Energies e;
  double endRate = 0.0;
  wk.dev.vj = std::min(-vc0, 0.0);
  if (!Record(w, s, x0, vc0, wk, e, &endRate)) {
    r.Run = Status::Failed("the nonlinear device's equations have no solution on a step");
    return;
  }
  Measure(w, period, r);
  /* The slope at turn-on is the model's own dv/dt at the period's end,
     not a fit: flat where the diode clamps, as the switch sees it.  Behind
     a package inductance the die rings with the device's capacitance; the
     slope there is the fit over the period's last fiftieth that ngspice's
     runs give, the network's slope rather than the ring's. */
  if (!w.SwitchNodeAlgebraic) r.Slope = endRate / (kTwoPi * driveMHz * 1e6 * w.Vcc);
  r.Engine = kEngineExact;
  r.Method = kMethodShooting;
  r.Periods = 0;
  r.Steady = true;
  r.Settle = r.Closure;
  r.Pdc = e.in / period;
  r.Pout = e.out / period;
  r.Pdev = e.dev / period;
  r.Ploss = e.loss / period;
  r.Eff = r.Pdc > 0.0 ? r.Pout / r.Pdc : 0.0;
  if (detail != kDetailFull) r.H2dBc = r.H3dBc = 0.0;
  if (start) {
    const Eigen::VectorXd full = w.Full * x0;
    start->assign(w.Parts, 0.0);
    for (Eigen::Index k = 0; k < full.size(); k++) (*start)[w.StatePart[k]] = full(k);
  }
  r.Run = std::isfinite(r.Pout) && std::isfinite(r.Vpeak)
              ? Status::Done()
              : Status::Failed("the steady state is not finite");
}
