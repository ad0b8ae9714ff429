/*
** previous_engine.cpp: the exact engine as it was before it was rebuilt
** for speed (the nodal state spaces, the Van Loan and Lyapunov moments,
** the 360-sample waveform), kept word for word in its own namespace so
** that one benchmark run measures both engines side by side, and so that
** the table of its answers (tests/data/exact_engine_reference.csv) can be
** made again.  Nothing in the program links it.
*/
#include "bench/previous/previous_engine.h"

#include <Eigen/Dense>
#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <numeric>
#include <string>
#include <unsupported/Eigen/MatrixFunctions>
#include <vector>

#include "engine/single_precision.h"
#include "sim/engine/measure.h"

namespace previous {

/* Where a power is dissipated: Weight x (Row z)^2 watts. */
struct Dissipator {
  int Part; /* index in the circuit's parts, -1 for the switch */
  double Weight;
  Eigen::RowVectorXd Row;
};

struct StateSpace {
  Eigen::MatrixXd A;
  Eigen::VectorXd B;
  Eigen::MatrixXd Full;                /* the full state from x */
  std::vector<int> StatePart;          /* the part each full state belongs to */
  Eigen::RowVectorXd SwitchVoltage;    /* across the switch (and Cp1) */
  Eigen::RowVectorXd SwitchCurrent;    /* into the switch */
  Eigen::RowVectorXd SupplyCurrent;    /* delivered by the supply */
  Eigen::RowVectorXd LoadVoltage;      /* across the load resistor */
  std::vector<Dissipator> Dissipators; /* the switch first, then every resistance */
};

/* The systems at each conductance of g (all above zero), in order. */
Status BuildStateSpaces(const Circuit& c, const std::vector<double>& g,
                        std::vector<StateSpace>& out);

/* X for a real A whose eigenvalues all have negative real parts (no two
   of them sum to zero) and a real R.  The equation is brought to
   triangular form by A's complex Schur decomposition (Bartels and
   Stewart), so a stiff A costs no accuracy. */
Eigen::MatrixXd SolveLyapunov(const Eigen::MatrixXd& a, const Eigen::MatrixXd& r);

Eigen::MatrixXd SolveLyapunov(const Eigen::MatrixXd& a, const Eigen::MatrixXd& r) {
  assert(a.rows() == a.cols() && r.rows() == a.rows() && r.cols() == a.cols());
  const Eigen::Index n = a.rows();
  const Eigen::ComplexSchur<Eigen::MatrixXd> schur(a);
  const Eigen::MatrixXcd& u = schur.matrixU();
  const Eigen::MatrixXcd& t = schur.matrixT();
  const Eigen::MatrixXcd rt = u.adjoint() * r * u;
  Eigen::MatrixXcd y(n, n);
  Eigen::MatrixXcd shifted = t;
  for (Eigen::Index j = n - 1; j >= 0; j--) {
    Eigen::VectorXcd rhs = rt.col(j);
    for (Eigen::Index k = j + 1; k < n; k++) rhs -= std::conj(t(j, k)) * y.col(k);
    shifted.diagonal() = t.diagonal().array() + std::conj(t(j, j));
    y.col(j) = shifted.triangularView<Eigen::Upper>().solve(rhs);
  }
  return (u * y * u.adjoint()).real();
}

namespace {

using Eigen::MatrixXd;
using Eigen::RowVectorXd;

/* The internal node of a coil with a shunt loss and a series loss:
   between the inductance (with its shunt resistance) and the series one. */
std::string Inner(const CircuitPart& p) {
  return p.Name + "#";
}

bool HasInner(const CircuitPart& p) {
  return p.Kind == kCoil && p.ShuntLoss > 0.0 && p.SeriesLoss > 0.0;
}

bool IsSource(const CircuitPart& p) {
  return p.Kind == kCapacitor && p.SeriesLoss == 0.0;
}

/* A coil that is a bare current source between its two nodes: nothing
   resistive across it. */
bool BareCoil(const CircuitPart& p) {
  return p.Kind == kCoil && p.ShuntLoss == 0.0;
}

/* Node numbers: ground is -1. */
struct Nodes {
  std::map<std::string, int> index;
  int count = 0;
  void Add(const std::string& name) {
    if (name != kNodeGround && !index.count(name)) index[name] = count++;
  }
  int operator()(const std::string& name) const {
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
  }
};

/* Components of the resistive network; ground is component `count`. */
struct Islands {
  std::vector<int> parent;
  int Find(int i) { return parent[i] == i ? i : parent[i] = Find(parent[i]); }
  void Join(int a, int b, int ground) {
    parent[Find(a < 0 ? ground : a)] = Find(b < 0 ? ground : b);
  }
};

/* Island number of every node (-1: reaches ground) and how many. */
int FindIslands(const Circuit& c, const Nodes& nodes, std::vector<int>& island) {
  const int ground = nodes.count;
  Islands u;
  u.parent.resize(ground + 1);
  std::iota(u.parent.begin(), u.parent.end(), 0);
  u.Join(nodes(kNodeSwitch), -1, ground); /* the switch */
  u.Join(nodes(kNodeSupply), -1, ground); /* the supply */
  for (const CircuitPart& p : c.Parts) {
    if (!BareCoil(p)) u.Join(nodes(p.NodeA), nodes(p.NodeB), ground);
    if (HasInner(p)) u.Join(nodes(p.NodeA), nodes(Inner(p)), ground);
  }
  std::map<int, int> number;
  island.assign(ground, -1);
  for (int i = 0; i < ground; i++) {
    const int root = u.Find(i);
    if (root == u.Find(ground)) continue;
    if (!number.count(root)) {
      const int next = static_cast<int>(number.size());
      number[root] = next;
    }
    island[i] = number[root];
  }
  return static_cast<int>(number.size());
}

/* The nodal system G u = F z while it is being filled. */
struct Nodal {
  MatrixXd g, f;
  void Conductance(int a, int b, double y) {
    if (a >= 0) g(a, a) += y;
    if (b >= 0) g(b, b) += y;
    if (a >= 0 && b >= 0) {
      g(a, b) -= y;
      g(b, a) -= y;
    }
  }
  /* A current of (row z) from a through the source to b. */
  void Current(int a, int b, const RowVectorXd& row) {
    if (a >= 0) f.row(a) -= row;
    if (b >= 0) f.row(b) += row;
  }
  /* The voltage source in unknown j: v(a) - v(b) = row z. */
  void Voltage(int j, int a, int b, const RowVectorXd& row) {
    if (a >= 0) {
      g(a, j) += 1.0;
      g(j, a) += 1.0;
    }
    if (b >= 0) {
      g(b, j) -= 1.0;
      g(j, b) -= 1.0;
    }
    f.row(j) = row;
  }
};

/* Everything the build shares. */
struct Build {
  const Circuit* c;
  Nodes nodes;
  std::vector<int> island;
  int islands = 0;
  std::vector<int> states;              /* part of each full state */
  std::vector<int> nodeA, nodeB, inner; /* each part's nodes; inner -1 when none */
  std::vector<int> sourceOf;            /* unknown of a lossless capacitor's current */
  int size = 0;                         /* unknowns */
  int n = 0;                            /* full states */
  RowVectorXd Unit(int k) const {
    RowVectorXd e = RowVectorXd::Zero(n + 1);
    e(k) = 1.0;
    return e;
  }
};

void Fill(Build& b, double g, Nodal& nod) {
  const Circuit& c = *b.c;
  const int firstIsland = b.size - b.islands;
  nod.g = MatrixXd::Zero(b.size, b.size);
  nod.f = MatrixXd::Zero(b.size, b.n + 1);
  nod.Conductance(b.nodes(kNodeSwitch), -1, g);
  nod.Voltage(b.nodes.count, b.nodes(kNodeSupply), -1, c.Vcc * b.Unit(b.n));
  for (int k = 0; k < b.n; k++) {
    const CircuitPart& p = c.Parts[b.states[k]];
    const int na = b.nodes(p.NodeA), nb = b.nodes(p.NodeB);
    if (p.Kind == kCapacitor) {
      if (IsSource(p)) {
        nod.Voltage(b.sourceOf[b.states[k]], na, nb, b.Unit(k));
      } else {
        nod.Conductance(na, nb, 1.0 / p.SeriesLoss);
        nod.Current(na, nb, -b.Unit(k) / p.SeriesLoss);
      }
      continue;
    }
    const int m = HasInner(p) ? b.nodes(Inner(p)) : nb;
    nod.Current(na, m, b.Unit(k));
    if (p.ShuntLoss > 0.0) nod.Conductance(na, m, 1.0 / p.ShuntLoss);
    if (HasInner(p)) nod.Conductance(m, nb, 1.0 / p.SeriesLoss);
    if (!BareCoil(p)) continue;
    /* The tie of each island the coil leaves (sign -1) or enters (+1):
       the sum of its coils' di/dt, v_L / L, is zero. */
    const int ia = na >= 0 ? b.island[na] : -1, ib = nb >= 0 ? b.island[nb] : -1;
    if (ia == ib) continue;
    for (const auto& [isl, sign] : {std::pair<int, double>{ia, -1.0}, {ib, 1.0}}) {
      if (isl < 0) continue;
      const int row = firstIsland + isl;
      if (na >= 0) nod.g(row, na) += sign / p.Value;
      if (nb >= 0) nod.g(row, nb) -= sign / p.Value;
      nod.f(row, k) += sign * p.SeriesLoss / p.Value;
    }
  }
  for (const CircuitPart& p : c.Parts)
    if (p.Kind == kResistor) nod.Conductance(b.nodes(p.NodeA), b.nodes(p.NodeB), 1.0 / p.Value);
  /* Each island's potential: a current into its first node. */
  std::vector<bool> placed(b.islands, false);
  for (int i = 0; i < static_cast<int>(b.island.size()); i++) {
    const int isl = b.island[i];
    if (isl < 0 || placed[isl]) continue;
    nod.g(i, firstIsland + isl) = 1.0;
    placed[isl] = true;
  }
}

/* The ties between coil currents, one row per island: x restricted to
   their null space, x = T y. */
MatrixXd Reduction(const Build& b) {
  if (b.islands == 0) return MatrixXd::Identity(b.n, b.n);
  MatrixXd ties = MatrixXd::Zero(b.islands, b.n);
  for (int k = 0; k < b.n; k++) {
    const CircuitPart& p = b.c->Parts[b.states[k]];
    if (!BareCoil(p)) continue;
    const int na = b.nodes(p.NodeA), nb = b.nodes(p.NodeB);
    const int ia = na >= 0 ? b.island[na] : -1, ib = nb >= 0 ? b.island[nb] : -1;
    if (ia == ib) continue;
    if (ia >= 0) ties(ia, k) -= 1.0;
    if (ib >= 0) ties(ib, k) += 1.0;
  }
  return Eigen::FullPivLU<MatrixXd>(ties).kernel();
}

/* The nodes, islands and states of circuit c. */
void Number(const Circuit& c, Build& b) {
  b.c = &c;
  b.nodes.Add(kNodeSupply);
  b.nodes.Add(kNodeSwitch);
  b.sourceOf.assign(c.Parts.size(), -1);
  for (size_t i = 0; i < c.Parts.size(); i++) {
    const CircuitPart& p = c.Parts[i];
    b.nodes.Add(p.NodeA);
    b.nodes.Add(p.NodeB);
    if (HasInner(p)) b.nodes.Add(Inner(p));
    if (p.Kind != kResistor) b.states.push_back(static_cast<int>(i));
  }
  int sources = 1; /* the supply */
  for (size_t i = 0; i < c.Parts.size(); i++)
    if (IsSource(c.Parts[i])) b.sourceOf[i] = b.nodes.count + sources++;
  b.n = static_cast<int>(b.states.size());
  b.islands = FindIslands(c, b.nodes, b.island);
  b.size = b.nodes.count + sources + b.islands;
  for (const CircuitPart& p : c.Parts) {
    b.nodeA.push_back(b.nodes(p.NodeA));
    b.nodeB.push_back(b.nodes(p.NodeB));
    b.inner.push_back(HasInner(p) ? b.nodes(Inner(p)) : -1);
  }
}

/* The system from the nodal solution u (every unknown as a row over z)
   at switch conductance g. */
void Derive(const Build& b, const MatrixXd& u, double g, const MatrixXd& t, const MatrixXd& left,
            StateSpace& ss) {
  const Circuit& c = *b.c;
  const RowVectorXd zero = RowVectorXd::Zero(b.n + 1);
  auto volt = [&](int node) -> RowVectorXd { return node >= 0 ? u.row(node) : zero; };
  auto across = [&](int part) -> RowVectorXd { return volt(b.nodeA[part]) - volt(b.nodeB[part]); };

  MatrixXd ab(b.n, b.n + 1);
  std::vector<Dissipator> full;
  const int d = b.nodes(kNodeSwitch);
  full.push_back({-1, g, volt(d)});
  for (int k = 0; k < b.n; k++) {
    const int part = b.states[k];
    const CircuitPart& p = c.Parts[part];
    if (p.Kind == kCapacitor) {
      if (IsSource(p)) {
        ab.row(k) = u.row(b.sourceOf[part]) / p.Value;
      } else {
        const RowVectorXd current = (across(part) - b.Unit(k)) / p.SeriesLoss;
        ab.row(k) = current / p.Value;
        full.push_back({part, p.SeriesLoss, current});
      }
    } else if (b.inner[part] >= 0) {
      const RowVectorXd vl = volt(b.nodeA[part]) - volt(b.inner[part]);
      ab.row(k) = vl / p.Value;
      full.push_back({part, 1.0 / p.ShuntLoss, vl});
      full.push_back({part, 1.0 / p.SeriesLoss, volt(b.inner[part]) - volt(b.nodeB[part])});
    } else {
      ab.row(k) = (across(part) - p.SeriesLoss * b.Unit(k)) / p.Value;
      if (p.SeriesLoss > 0.0) full.push_back({part, p.SeriesLoss, b.Unit(k)});
      if (p.ShuntLoss > 0.0) full.push_back({part, 1.0 / p.ShuntLoss, across(part)});
    }
  }
  for (size_t i = 0; i < c.Parts.size(); i++)
    if (c.Parts[i].Kind == kResistor) {
      const int part = static_cast<int>(i);
      full.push_back({part, 1.0 / c.Parts[i].Value, across(part)});
    }

  ss.Full = t;
  ss.StatePart = b.states;
  ss.SwitchVoltage = volt(d);
  ss.SupplyCurrent = -u.row(b.nodes.count);
  ss.LoadVoltage = across(c.Load);
  ss.Dissipators = std::move(full);
  if (b.islands == 0) { /* every full state is a state */
    ss.A = ab.leftCols(b.n);
    ss.B = ab.col(b.n);
  } else {
    /* Rows over [x; 1] become rows over [y; 1] with x = T y. */
    const Eigen::Index r = t.cols();
    MatrixXd tz = MatrixXd::Zero(b.n + 1, r + 1);
    tz.topLeftCorner(b.n, r) = t;
    tz(b.n, r) = 1.0;
    const MatrixXd reduced = left * ab * tz;
    ss.A = reduced.leftCols(r);
    ss.B = reduced.col(r);
    for (RowVectorXd* row : {&ss.SwitchVoltage, &ss.SupplyCurrent, &ss.LoadVoltage})
      *row = *row * tz;
    for (Dissipator& dis : ss.Dissipators) dis.Row = dis.Row * tz;
  }
  ss.SwitchCurrent = g * ss.SwitchVoltage;
}

}  // namespace

/* The switch is one conductance from its node to ground, so the nodal
   matrix at any conductance is the first one's plus a rank-one term:
   one factorisation serves every segment (Sherman and Morrison). */
Status BuildStateSpaces(const Circuit& c, const std::vector<double>& g,
                        std::vector<StateSpace>& out) {
  assert(!g.empty());
  Build b;
  Number(c, b);
  Nodal nod;
  Fill(b, g[0], nod);
  const Eigen::FullPivLU<MatrixXd> lu(nod.g);
  if (!lu.isInvertible()) return Status::Failed("the circuit has a loop of lossless capacitors");
  const MatrixXd u0 = lu.solve(nod.f);
  const int d = b.nodes(kNodeSwitch);
  const Eigen::VectorXd w = lu.solve(Eigen::VectorXd::Unit(b.size, d));
  const MatrixXd t = Reduction(b);
  const MatrixXd left = (t.transpose() * t).ldlt().solve(t.transpose()); /* y from x */
  out.resize(g.size());
  for (size_t i = 0; i < g.size(); i++) {
    assert(g[i] > 0.0);
    const double extra = g[i] - g[0];
    const double s = extra / (1.0 + extra * w(d));
    Derive(b, u0 - s * w * u0.row(d), g[i], t, left, out[i]);
  }
  return Status::Done();
}

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

}  // namespace previous
