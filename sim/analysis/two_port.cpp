/*
** two_port.cpp: the nodal admittance matrix of the network at each
** frequency, reduced to its two port nodes (the inner nodes eliminated,
** Kron's reduction), then S = (I + z0 Y)^-1 (I - z0 Y) for the same real
** reference z0 at both ports.
*/
#include "sim/analysis/two_port.h"

#include <Eigen/Dense>
#include <cassert>
#include <cmath>
#include <map>
#include <string>

#include "engine/single_precision.h"
#include "sim/analysis/part_stress.h"

namespace {

bool LeftOut(const CircuitPart& p, const Circuit& c, size_t index) {
  return int(index) == c.Load || p.NodeA == kNodeSupply || p.NodeB == kNodeSupply;
}

}  // namespace

Circuit OutputNetwork(const Circuit& power, bool keepBlock) {
  const Circuit c = IsNonlinear(power) ? Linearised(power) : power;
  Circuit n = c;
  n.Parts.clear();
  std::string blockA, blockB;
  for (size_t i = 0; i < c.Parts.size(); i++) {
    const CircuitPart& p = c.Parts[i];
    if (p.Name == "Cblk" && !keepBlock) {
      blockA = p.NodeA;
      blockB = p.NodeB;
      continue;
    }
    if (!LeftOut(p, c, i)) n.Parts.push_back(p);
  }
  /* The block shorted: its far node becomes its near one. */
  for (CircuitPart& p : n.Parts) {
    if (!blockB.empty() && p.NodeA == blockB) p.NodeA = blockA;
    if (!blockB.empty() && p.NodeB == blockB) p.NodeB = blockA;
  }
  const std::string load = blockB == kNodeLoad ? blockA : kNodeLoad;
  for (CircuitPart& p : n.Parts) {
    if (p.NodeA == load) p.NodeA = kNodeLoad;
    if (p.NodeB == load) p.NodeB = kNodeLoad;
  }
  n.Load = -1;
  return n;
}

std::vector<double> LogGrid(double a, double b, int n) {
  assert(a > 0.0 && b > a && n >= 2);
  std::vector<double> out;
  for (int i = 0; i < n; i++) out.push_back(a * std::pow(b / a, double(i) / double(n - 1)));
  out.back() = b;
  return out;
}

namespace {

/* The network's admittance matrix at hz reduced to its two ports. */
Status PortAdmittance(const Circuit& n, double hz, Eigen::Matrix2cd& yp) {
  using Complex = std::complex<double>;
  std::map<std::string, int> index{{kNodeSwitch, 0}, {kNodeLoad, 1}};
  for (const CircuitPart& p : n.Parts)
    for (const std::string* node : {&p.NodeA, &p.NodeB})
      if (*node != kNodeGround && !index.count(*node)) index.emplace(*node, int(index.size()));
  const int size = int(index.size());
  const double w = kTwoPi * hz;
  Eigen::MatrixXcd y = Eigen::MatrixXcd::Zero(size, size);
  for (const CircuitPart& p : n.Parts) {
    const Complex g = PartAdmittance(p, w);
    const int a = p.NodeA == kNodeGround ? -1 : index.at(p.NodeA);
    const int b = p.NodeB == kNodeGround ? -1 : index.at(p.NodeB);
    if (a >= 0) y(a, a) += g;
    if (b >= 0) y(b, b) += g;
    if (a >= 0 && b >= 0) {
      y(a, b) -= g;
      y(b, a) -= g;
    }
  }
  yp = y.topLeftCorner(2, 2);
  if (size > 2) {
    const Eigen::FullPivLU<Eigen::MatrixXcd> inner(y.bottomRightCorner(size - 2, size - 2));
    if (!inner.isInvertible()) return Status::Failed("the network's inner nodes float");
    yp -= y.topRightCorner(2, size - 2) * inner.solve(y.bottomLeftCorner(size - 2, 2));
  }
  return Status::Done();
}

}  // namespace

Status NetworkSParameters(const Circuit& n, const std::vector<double>& hz, double ref,
                          std::vector<SParameters>& out) {
  out.clear();
  for (double f : hz) {
    Eigen::Matrix2cd yp;
    const Status st = PortAdmittance(n, f, yp);
    if (!st.Ok()) return st;
    const Eigen::Matrix2cd id = Eigen::Matrix2cd::Identity();
    const Eigen::Matrix2cd s = (id + ref * yp).inverse() * (id - ref * yp);
    out.push_back(SParameters{f, s(0, 0), s(1, 0), s(0, 1), s(1, 1)});
  }
  return Status::Done();
}

Status InputAdmittance(const Circuit& n, double rload, double hz, std::complex<double>& y) {
  Eigen::Matrix2cd yp;
  const Status st = PortAdmittance(n, hz, yp);
  if (!st.Ok()) return st;
  y = yp(0, 0) - yp(0, 1) * yp(1, 0) / (yp(1, 1) + 1.0 / rload);
  return Status::Done();
}

/* The load's voltage over the switch node's at hz. */
Status Transfer(const Circuit& n, double rload, double hz, std::complex<double>& h) {
  Eigen::Matrix2cd yp;
  const Status st = PortAdmittance(n, hz, yp);
  if (!st.Ok()) return st;
  h = -yp(1, 0) / (yp(1, 1) + 1.0 / rload);
  return Status::Done();
}

Status NetworkTransferDb(const Circuit& n, double rload, double hz, int k, double& db) {
  std::complex<double> h1, hk;
  Status st = Transfer(n, rload, hz, h1);
  if (st.Ok()) st = Transfer(n, rload, k * hz, hk);
  if (!st.Ok()) return st;
  db = 20.0 * std::log10(std::abs(hk) / std::abs(h1));
  return Status::Done();
}
