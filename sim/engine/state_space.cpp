/*
** state_space.cpp: the state equations of a circuit by nodal analysis.
**
** Each capacitor stands in for a voltage source of its state's value
** (behind its series loss, when it has one) and each coil for a current
** source of its state's value; what remains is a resistive network, which
** one modified nodal analysis solves for every node voltage as a linear
** function of the states and the supply.  The capacitor currents and the
** coil voltages of that solution are the derivatives of the states.
**
** Coils in series through capacitors alone (Ls2, Cs2 and the match coil
** of a series-first BASIC match) leave the nodes between them floating:
** an island of the resistive network that only coils reach.  The island's
** KCL ties those coils' currents together, so their voltages must keep
** the tie: the nodal system gets one more unknown per island (its
** potential, through a current into one of its nodes that the solution
** makes zero) and one more equation (the coil currents' sum does not
** change).  The tied currents are then not all states: the state is
** reduced to the null space of the ties, so the period has a unique
** steady state.
**
** Unknowns: the voltage of every node but ground, then the current of
** every voltage source (the supply first, then each lossless capacitor),
** counted from its first node through it to its second, then one per
** island.
*/
#include "sim/engine/state_space.h"

#include <cassert>
#include <map>
#include <numeric>
#include <string>

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
  std::vector<int> states;                     /* part of each full state */
  std::vector<int> nodeA, nodeB, inner;        /* each part's nodes; inner -1 when none */
  std::vector<int> sourceOf;                   /* unknown of a lossless capacitor's current */
  int size = 0;                                /* unknowns */
  int n = 0;                                   /* full states */
  int inputs = 0;                              /* 1: a current drawn from the switch node */
  int Width() const { return n + 1 + inputs; } /* of a row over [x; 1; u] */
  RowVectorXd Unit(int k) const {
    RowVectorXd e = RowVectorXd::Zero(Width());
    e(k) = 1.0;
    return e;
  }
};

void Fill(Build& b, double g, Nodal& nod) {
  const Circuit& c = *b.c;
  const int firstIsland = b.size - b.islands;
  nod.g = MatrixXd::Zero(b.size, b.size);
  nod.f = MatrixXd::Zero(b.size, b.Width());
  nod.Conductance(b.nodes(kNodeSwitch), -1, g);
  if (b.inputs) nod.Current(b.nodes(kNodeSwitch), -1, b.Unit(b.n + 1));
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
  const RowVectorXd zero = RowVectorXd::Zero(b.Width());
  auto volt = [&](int node) -> RowVectorXd { return node >= 0 ? u.row(node) : zero; };
  auto across = [&](int part) -> RowVectorXd { return volt(b.nodeA[part]) - volt(b.nodeB[part]); };

  MatrixXd ab(b.n, b.Width());
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
    if (b.inputs) ss.Inject = ab.col(b.n + 1);
  } else {
    /* Rows over [x; 1] become rows over [y; 1] with x = T y. */
    const Eigen::Index r = t.cols();
    MatrixXd tz = MatrixXd::Zero(b.Width(), r + 1 + b.inputs);
    tz.topLeftCorner(b.n, r) = t;
    tz(b.n, r) = 1.0;
    if (b.inputs) tz(b.n + 1, r + 1) = 1.0;
    const MatrixXd reduced = left * ab * tz;
    ss.A = reduced.leftCols(r);
    ss.B = reduced.col(r);
    if (b.inputs) ss.Inject = reduced.col(r + 1);
    for (RowVectorXd* row : {&ss.SwitchVoltage, &ss.SupplyCurrent, &ss.LoadVoltage})
      *row = *row * tz;
    for (Dissipator& dis : ss.Dissipators) dis.Row = dis.Row * tz;
  }
  ss.SwitchCurrent = g * ss.SwitchVoltage;
}

/* A node other than the supply, ground and the switch's that joins coils
   alone (the drain pin when the device's capacitance took the whole of
   Cp1) holds its voltage only through the coils' shunt losses: a mode
   of picoseconds the period's exponentials do not resolve. */
Status NoCoilsOnlyNode(const Circuit& c) {
  std::map<std::string, bool> other; /* node: joined by something else than a coil */
  for (const CircuitPart& p : c.Parts)
    for (const std::string& node : {p.NodeA, p.NodeB}) other[node] |= p.Kind != kCoil;
  for (const auto& [node, joined] : other)
    if (!joined && node != kNodeGround && node != kNodeSupply && node != kNodeSwitch)
      return Status::Failed("no capacitor at node " + node + ": --engine ngspice solves it");
  return Status::Done();
}

}  // namespace

/* The switch is one conductance from its node to ground, so the nodal
   matrix at any conductance is the first one's plus a rank-one term:
   one factorisation serves every segment (Sherman and Morrison). */
Status BuildStateSpaces(const Circuit& c, const std::vector<double>& g,
                        std::vector<StateSpace>& out, bool injection) {
  assert(!g.empty());
  const Status nodes = NoCoilsOnlyNode(c);
  if (!nodes.Ok()) return nodes;
  Build b;
  Number(c, b);
  b.inputs = injection ? 1 : 0;
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

Status BuildStateSpace(const Circuit& c, double g, StateSpace& ss) {
  std::vector<StateSpace> one;
  const Status built = BuildStateSpaces(c, {g}, one);
  if (built.Ok()) ss = one[0];
  return built;
}
