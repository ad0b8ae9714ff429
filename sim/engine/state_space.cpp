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
#include <numeric>
#include <string>
#include <string_view>

namespace {

using Eigen::MatrixXd;
using Eigen::RowVectorXd;

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

/* Node numbers, ground -1, given once by name and then kept as integers
   in each part's table: a circuit has a dozen nodes, so a linear search
   of their names is cheaper than a map and never allocates per lookup.
   The names are views of the circuit's strings (and of the constant
   names), which outlive the build.  A coil's internal node (between the
   inductance with its shunt resistance and the series one) has no name:
   its number is its own. */
struct Nodes {
  std::vector<std::string_view> name;
  std::vector<char> named; /* 0 for an internal node */
  int count = 0;
  int Find(std::string_view n) const {
    for (int i = 0; i < count; i++)
      if (named[i] && name[i] == n) return i;
    return -1;
  }
  int Add(std::string_view n) {
    if (n == kNodeGround) return -1;
    const int at = Find(n);
    return at >= 0 ? at : New(n, 1);
  }
  int New(std::string_view n, char isNamed) {
    name.push_back(n);
    named.push_back(isNamed);
    return count++;
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

/* Everything the build shares: the numbering, the nodal solution at the
   first conductance and the room each system is derived in, sized once
   so that deriving the next system allocates nothing. */
struct Build {
  const Circuit* c;
  Nodes nodes;
  int supply = -1, sw = -1; /* the supply's and the switch's nodes */
  std::vector<int> island;  /* of each node, -1: reaches ground */
  int islands = 0;
  std::vector<int> states;                     /* part of each full state */
  std::vector<int> nodeA, nodeB, inner;        /* each part's nodes; inner -1 when none */
  std::vector<int> sourceOf;                   /* unknown of a lossless capacitor's current */
  int size = 0;                                /* unknowns */
  int n = 0;                                   /* full states */
  int inputs = 0;                              /* 1: a current drawn from the switch node */
  int Width() const { return n + 1 + inputs; } /* of a row over [x; 1; u] */
  /* The nodal solution u0 = G0^-1 F at the first conductance, and
     w = G0^-1 e_switch for the rank-one change to any other. */
  MatrixXd u0;
  Eigen::VectorXd w, column; /* and s w, the rank-one term's column */
  /* The reduction x = T y, y from x, and T as rows over z. */
  MatrixXd t, left, tz;
  /* Room of one system: u (every unknown, then a zero row that ground's
     -1 reads), the derivatives over z, the reduced ones, one row. */
  MatrixXd u, ab, leftAb, reduced;
  RowVectorXd row;
  /* Row of node `node` of u, ground's the zero row. */
  int At(int node) const { return node >= 0 ? node : size; }
};

/* Island number of every node (-1: reaches ground) and how many. */
int FindIslands(const Circuit& c, Build& b) {
  const int ground = b.nodes.count;
  Islands u;
  u.parent.resize(ground + 1);
  std::iota(u.parent.begin(), u.parent.end(), 0);
  u.Join(b.sw, -1, ground);     /* the switch */
  u.Join(b.supply, -1, ground); /* the supply */
  for (size_t i = 0; i < c.Parts.size(); i++) {
    if (!BareCoil(c.Parts[i])) u.Join(b.nodeA[i], b.nodeB[i], ground);
    if (b.inner[i] >= 0) u.Join(b.nodeA[i], b.inner[i], ground);
  }
  /* Numbered in the order of their lowest node. */
  std::vector<int> number(ground + 1, -1);
  int islands = 0;
  b.island.assign(ground, -1);
  for (int i = 0; i < ground; i++) {
    const int root = u.Find(i);
    if (root == u.Find(ground)) continue;
    if (number[root] < 0) number[root] = islands++;
    b.island[i] = number[root];
  }
  return islands;
}

/* The nodal system G u = F z while it is being filled.  A row over z
   with one entry, `value` at column k, is written as that entry alone. */
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
  /* A current of value z(k) from a through the source to b. */
  void Current(int a, int b, int k, double value) {
    if (a >= 0) f(a, k) -= value;
    if (b >= 0) f(b, k) += value;
  }
  /* The voltage source in unknown j: v(a) - v(b) = value z(k). */
  void Voltage(int j, int a, int b, int k, double value) {
    if (a >= 0) {
      g(a, j) += 1.0;
      g(j, a) += 1.0;
    }
    if (b >= 0) {
      g(b, j) -= 1.0;
      g(j, b) -= 1.0;
    }
    f(j, k) = value;
  }
};

void Fill(const Build& b, double g, Nodal& nod) {
  const Circuit& c = *b.c;
  const int firstIsland = b.size - b.islands;
  nod.g = MatrixXd::Zero(b.size, b.size);
  nod.f = MatrixXd::Zero(b.size, b.Width());
  nod.Conductance(b.sw, -1, g);
  if (b.inputs) nod.Current(b.sw, -1, b.n + 1, 1.0);
  nod.Voltage(b.nodes.count, b.supply, -1, b.n, c.Vcc);
  for (int k = 0; k < b.n; k++) {
    const int part = b.states[k];
    const CircuitPart& p = c.Parts[part];
    const int na = b.nodeA[part], nb = b.nodeB[part];
    if (p.Kind == kCapacitor) {
      if (IsSource(p)) {
        nod.Voltage(b.sourceOf[part], na, nb, k, 1.0);
      } else {
        nod.Conductance(na, nb, 1.0 / p.SeriesLoss);
        nod.Current(na, nb, k, -1.0 / p.SeriesLoss);
      }
      continue;
    }
    const int m = b.inner[part] >= 0 ? b.inner[part] : nb;
    nod.Current(na, m, k, 1.0);
    if (p.ShuntLoss > 0.0) nod.Conductance(na, m, 1.0 / p.ShuntLoss);
    if (b.inner[part] >= 0) nod.Conductance(m, nb, 1.0 / p.SeriesLoss);
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
  for (size_t i = 0; i < c.Parts.size(); i++)
    if (c.Parts[i].Kind == kResistor)
      nod.Conductance(b.nodeA[i], b.nodeB[i], 1.0 / c.Parts[i].Value);
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
    const int part = b.states[k];
    if (!BareCoil(b.c->Parts[part])) continue;
    const int na = b.nodeA[part], nb = b.nodeB[part];
    const int ia = na >= 0 ? b.island[na] : -1, ib = nb >= 0 ? b.island[nb] : -1;
    if (ia == ib) continue;
    if (ia >= 0) ties(ia, k) -= 1.0;
    if (ib >= 0) ties(ib, k) += 1.0;
  }
  return Eigen::FullPivLU<MatrixXd>(ties).kernel();
}

/* The nodes, islands and states of circuit c: every name looked up here,
   once. */
void Number(const Circuit& c, Build& b) {
  b.c = &c;
  b.supply = b.nodes.Add(kNodeSupply);
  b.sw = b.nodes.Add(kNodeSwitch);
  b.sourceOf.assign(c.Parts.size(), -1);
  for (size_t i = 0; i < c.Parts.size(); i++) {
    const CircuitPart& p = c.Parts[i];
    b.nodeA.push_back(b.nodes.Add(p.NodeA));
    b.nodeB.push_back(b.nodes.Add(p.NodeB));
    b.inner.push_back(HasInner(p) ? b.nodes.New({}, 0) : -1);
    if (p.Kind != kResistor) b.states.push_back(static_cast<int>(i));
  }
  int sources = 1; /* the supply */
  for (size_t i = 0; i < c.Parts.size(); i++)
    if (IsSource(c.Parts[i])) b.sourceOf[i] = b.nodes.count + sources++;
  b.n = static_cast<int>(b.states.size());
  b.islands = FindIslands(c, b);
  b.size = b.nodes.count + sources + b.islands;
}

/* `to` = the row `r` over z, or over [y; 1; u] when the state is
   reduced.  Every row goes through b.row so that the product with T
   reads a plain vector: no temporary. */
template <class Row>
void Put(Build& b, const Row& r, RowVectorXd& to) {
  if (b.islands == 0) {
    to = r;
    return;
  }
  b.row = r;
  to.noalias() = b.row * b.tz;
}

/* The next dissipator of ss, in the room a system before left. */
void Dissipate(Build& b, std::size_t& at, int part, double weight, StateSpace& ss) {
  if (ss.Dissipators.size() == at) ss.Dissipators.emplace_back();
  Dissipator& d = ss.Dissipators[at++];
  d.Part = part;
  d.Weight = weight;
  Put(b, b.row, d.Row);
}

/* The derivative of every full state (ab) and every dissipator from the
   nodal solution b.u at switch conductance g. */
void Rates(Build& b, double g, StateSpace& ss) {
  const Circuit& c = *b.c;
  const auto volt = [&](int node) { return b.u.row(b.At(node)); };
  const auto across = [&](int part) { return volt(b.nodeA[part]) - volt(b.nodeB[part]); };
  std::size_t at = 0;
  b.row = volt(b.sw);
  Dissipate(b, at, -1, g, ss);
  for (int k = 0; k < b.n; k++) {
    const int part = b.states[k];
    const CircuitPart& p = c.Parts[part];
    if (p.Kind == kCapacitor) {
      if (IsSource(p)) {
        b.ab.row(k) = b.u.row(b.sourceOf[part]) / p.Value;
      } else {
        b.row = across(part); /* the current through the loss */
        b.row(k) -= 1.0;
        b.row /= p.SeriesLoss;
        b.ab.row(k) = b.row / p.Value;
        Dissipate(b, at, part, p.SeriesLoss, ss);
      }
    } else if (b.inner[part] >= 0) {
      b.row = volt(b.nodeA[part]) - volt(b.inner[part]);
      b.ab.row(k) = b.row / p.Value;
      Dissipate(b, at, part, 1.0 / p.ShuntLoss, ss);
      b.row = volt(b.inner[part]) - volt(b.nodeB[part]);
      Dissipate(b, at, part, 1.0 / p.SeriesLoss, ss);
    } else {
      b.ab.row(k) = across(part);
      b.ab(k, k) -= p.SeriesLoss;
      b.ab.row(k) /= p.Value;
      if (p.SeriesLoss > 0.0) {
        b.row.setZero();
        b.row(k) = 1.0;
        Dissipate(b, at, part, p.SeriesLoss, ss);
      }
      if (p.ShuntLoss > 0.0) {
        b.row = across(part);
        Dissipate(b, at, part, 1.0 / p.ShuntLoss, ss);
      }
    }
  }
  for (size_t i = 0; i < c.Parts.size(); i++)
    if (c.Parts[i].Kind == kResistor) {
      b.row = across(static_cast<int>(i));
      Dissipate(b, at, static_cast<int>(i), 1.0 / c.Parts[i].Value, ss);
    }
  ss.Dissipators.resize(at);
}

/* System ss at switch conductance g from the nodal solution b.u: its
   record's room is reused when it already has the sizes. */
void Derive(Build& b, double g, StateSpace& ss) {
  const Circuit& c = *b.c;
  Rates(b, g, ss);
  ss.Full = b.t;
  ss.StatePart = b.states;
  Put(b, b.u.row(b.At(b.sw)), ss.SwitchVoltage);
  Put(b, -b.u.row(b.nodes.count), ss.SupplyCurrent);
  Put(b, b.u.row(b.At(b.nodeA[c.Load])) - b.u.row(b.At(b.nodeB[c.Load])), ss.LoadVoltage);
  if (b.islands == 0) { /* every full state is a state */
    ss.A = b.ab.leftCols(b.n);
    ss.B = b.ab.col(b.n);
    if (b.inputs) ss.Inject = b.ab.col(b.n + 1);
  } else {
    /* Rows over [x; 1] become rows over [y; 1] with x = T y. */
    const Eigen::Index r = b.t.cols();
    b.leftAb.noalias() = b.left * b.ab;
    b.reduced.noalias() = b.leftAb * b.tz;
    ss.A = b.reduced.leftCols(r);
    ss.B = b.reduced.col(r);
    if (b.inputs) ss.Inject = b.reduced.col(r + 1);
  }
  ss.SwitchCurrent = g * ss.SwitchVoltage;
}

/* A node other than the supply, ground and the switch's that joins coils
   alone (the drain pin when the device's capacitance took the whole of
   Cp1) holds its voltage only through the coils' shunt losses: a mode
   of picoseconds the period's exponentials do not resolve.  The first
   such node by name is told. */
Status NoCoilsOnlyNode(const Build& b) {
  const Circuit& c = *b.c;
  std::vector<char> other(b.nodes.count, 0); /* joined by something else than a coil */
  for (size_t i = 0; i < c.Parts.size(); i++)
    for (const int node : {b.nodeA[i], b.nodeB[i]})
      if (node >= 0) other[node] |= c.Parts[i].Kind != kCoil;
  int first = -1;
  for (int i = 0; i < b.nodes.count; i++) {
    if (other[i] || !b.nodes.named[i] || i == b.supply || i == b.sw) continue;
    if (first < 0 || b.nodes.name[i] < b.nodes.name[first]) first = i;
  }
  if (first >= 0)
    return Status::Failed("no capacitor at node " + std::string(b.nodes.name[first]) +
                          ": --engine ngspice solves it");
  return Status::Done();
}

/* Everything but the systems themselves: the numbering, one nodal
   factorisation at g0 and the reduction. */
Status Prepare(const Circuit& c, double g0, bool injection, Build& b) {
  Number(c, b);
  const Status nodes = NoCoilsOnlyNode(b);
  if (!nodes.Ok()) return nodes;
  b.inputs = injection ? 1 : 0;
  Nodal nod;
  Fill(b, g0, nod);
  const Eigen::FullPivLU<MatrixXd> lu(nod.g);
  if (!lu.isInvertible()) return Status::Failed("the circuit has a loop of lossless capacitors");
  b.u0 = lu.solve(nod.f);
  b.w = lu.solve(Eigen::VectorXd::Unit(b.size, b.sw));
  b.t = Reduction(b);
  b.left = (b.t.transpose() * b.t).ldlt().solve(b.t.transpose()); /* y from x */
  const Eigen::Index r = b.t.cols();
  b.tz = MatrixXd::Zero(b.Width(), r + 1 + b.inputs);
  b.tz.topLeftCorner(b.n, r) = b.t;
  b.tz(b.n, r) = 1.0;
  if (b.inputs) b.tz(b.n + 1, r + 1) = 1.0;
  b.u = MatrixXd::Zero(b.size + 1, b.Width());
  b.ab.resize(b.n, b.Width());
  b.row.resize(b.Width());
  return Status::Done();
}

/* The nodal solution at conductance g into b.u: the first one's plus a
   rank-one term (Sherman and Morrison), in place. */
void Solution(Build& b, double g0, double g) {
  const int d = b.sw;
  const double extra = g - g0;
  const double s = extra / (1.0 + extra * b.w(d));
  b.column = s * b.w;
  b.u.topRows(b.size) = b.u0;
  b.u.topRows(b.size).noalias() -= b.column * b.u0.row(d);
}

}  // namespace

/* The switch is one conductance from its node to ground, so the nodal
   matrix at any conductance is the first one's plus a rank-one term:
   one factorisation serves every segment. */
Status VisitStateSpaces(const Circuit& c, const std::vector<double>& g, bool injection,
                        StateSpaceVisit visit, void* context) {
  assert(!g.empty());
  Build b;
  const Status prepared = Prepare(c, g[0], injection, b);
  if (!prepared.Ok()) return prepared;
  StateSpace ss;
  for (size_t i = 0; i < g.size(); i++) {
    assert(g[i] > 0.0);
    Solution(b, g[0], g[i]);
    Derive(b, g[i], ss);
    visit(i, ss, context);
  }
  return Status::Done();
}

Status BuildStateSpaces(const Circuit& c, const std::vector<double>& g,
                        std::vector<StateSpace>& out, bool injection) {
  out.resize(g.size());
  return VisitStateSpaces(
      c, g, injection,
      [](std::size_t i, const StateSpace& ss, void* to) {
        (*static_cast<std::vector<StateSpace>*>(to))[i] = ss;
      },
      &out);
}

Status BuildStateSpace(const Circuit& c, double g, StateSpace& ss) {
  std::vector<StateSpace> one;
  const Status built = BuildStateSpaces(c, {g}, one);
  if (built.Ok()) ss = one[0];
  return built;
}
