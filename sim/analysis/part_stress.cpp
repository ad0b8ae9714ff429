/*
** part_stress.cpp: each part's voltage and current over a steady period,
** from the switch voltage's harmonics and a nodal solve of the linear
** network at each harmonic.
**
** Why harmonics and not the state space: the engine's state space is
** being rewritten, and this needs only the switch voltage every engine
** publishes; and the switch node, where the only nonlinear parts sit, is
** a known voltage here, so the same code serves ngspice's results.
**
** The switch node and the supply are known voltages (the supply an AC
** ground); every other node is solved.  The choke's DC current is the
** supply's (Pdc / Vcc): at DC the choke is a short whose current the
** network does not fix.  At DC a capacitor is open, so a node reached
** only through capacitors floats; a leak of 1e-12 S to ground holds it at
** 0 V, which changes no current.
*/
#include "sim/analysis/part_stress.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <complex>
#include <map>
#include <unsupported/Eigen/MatrixFunctions>

#include "engine/single_precision.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/state_space.h"

namespace {

using Complex = std::complex<double>;

const double kFloatingLeak = 1e-12; /* S from every solved node to ground at DC */
const double kDcShort = 1e-9;       /* ohm: a lossless coil at DC */

/* Nodes whose voltage is given: ground, the supply, the switch node. */
bool Known(const std::string& node) {
  return node == kNodeGround || node == kNodeSupply || node == kNodeSwitch;
}

/* The turns of harmonic k at each sample of the period, e^(j 2 pi k t / n),
   computed once a harmonic for the switch voltage's phasor and every
   part's waveform: the sines and cosines were nine tenths of a plain
   run's time when each part took its own.  The phasor's turn is the
   conjugate, exactly the polar form of the negated angle (the sine is odd
   and the cosine even to the last bit). */
using Turns = std::array<Complex, kPeriodSamples>;

void HarmonicTurns(int k, Turns& turn) {
  const int n = kPeriodSamples;
  for (int t = 0; t < n; t++) turn[t] = std::polar(1.0, kTwoPi * k * t / n);
}

/* Harmonic k of one period of samples: the DC value for k 0, else the
   phasor whose real part is the cosine amplitude. */
Complex Phasor(const std::vector<double>& v, int k, const Turns& turn) {
  assert(v.size() == turn.size());
  const int n = static_cast<int>(v.size());
  Complex sum = 0.0;
  for (int i = 0; i < n; i++) sum += v[i] * std::conj(turn[i]);
  return k == 0 ? sum / double(n) : 2.0 * sum / double(n);
}

/* The part's impedance at angular frequency w (0: DC); a capacitor at DC
   is open (an infinite impedance, returned as 0 admittance by Admittance). */
Complex Impedance(const CircuitPart& p, double w) {
  switch (p.Kind) {
    case kResistor: return p.Value;
    case kCapacitor: return Complex(p.SeriesLoss, -1.0 / (w * p.Value));
    case kCoil: {
      if (w == 0.0) return std::max(p.SeriesLoss, kDcShort);
      const Complex xl(0.0, w * p.Value);
      const Complex inner = p.ShuntLoss > 0.0 ? xl * p.ShuntLoss / (xl + p.ShuntLoss) : xl;
      return p.SeriesLoss + inner;
    }
  }
  return 0.0;
}

Complex Admittance(const CircuitPart& p, double w) {
  return PartAdmittance(p, w);
}

/* The phasors of harmonic k of every node: known ones given, the rest
   solved.  False when the network's matrix is singular. */
bool SolveNodes(const Circuit& c, const std::map<std::string, int>& index, Complex vsw, Complex vcc,
                double w, std::vector<Complex>& node) {
  const int n = static_cast<int>(index.size());
  Eigen::MatrixXcd y = Eigen::MatrixXcd::Zero(n, n);
  Eigen::VectorXcd rhs = Eigen::VectorXcd::Zero(n);
  if (w == 0.0)
    for (int i = 0; i < n; i++) y(i, i) += kFloatingLeak;
  auto known = [&](const std::string& name) {
    if (name == kNodeSwitch) return vsw;
    return name == kNodeSupply ? vcc : Complex(0.0);
  };
  for (const CircuitPart& p : c.Parts) {
    const Complex g = Admittance(p, w);
    const bool ka = Known(p.NodeA), kb = Known(p.NodeB);
    const int a = ka ? -1 : index.at(p.NodeA), b = kb ? -1 : index.at(p.NodeB);
    if (a >= 0) y(a, a) += g;
    if (b >= 0) y(b, b) += g;
    if (a >= 0 && b >= 0) {
      y(a, b) -= g;
      y(b, a) -= g;
    }
    if (a >= 0 && kb) rhs(a) += g * known(p.NodeB);
    if (b >= 0 && ka) rhs(b) += g * known(p.NodeA);
  }
  Eigen::FullPivLU<Eigen::MatrixXcd> lu(y);
  if (n > 0 && !lu.isInvertible()) return false;
  const Eigen::VectorXcd v = n > 0 ? Eigen::VectorXcd(lu.solve(rhs)) : Eigen::VectorXcd();
  node.assign(n, 0.0);
  for (int i = 0; i < n; i++) node[i] = v(i);
  return true;
}

/* Harmonic k of the part's voltage and current, and the power its loss
   takes at that harmonic. */
struct Harmonic {
  Complex v, i;
  double p;
};

double LossPower(const CircuitPart& p, const Harmonic& h, double w, bool dc) {
  const double scale = dc ? 1.0 : 0.5; /* a phasor's power is half its amplitude's square */
  if (p.Kind == kResistor) return scale * std::norm(h.i) * p.Value;
  double loss = scale * std::norm(h.i) * p.SeriesLoss;
  if (p.Kind == kCoil && p.ShuntLoss > 0.0 && !dc) {
    const Complex inner = h.v - h.i * p.SeriesLoss; /* across the inductance and its shunt */
    loss += scale * std::norm(inner) / p.ShuntLoss;
    (void)w;
  }
  return loss;
}

void AddHarmonic(PartStress& s, const Harmonic& h, const Turns& turn) {
  const int n = kPeriodSamples;
  for (int t = 0; t < n; t++) {
    s.V[t] += (h.v * turn[t]).real();
    s.I[t] += (h.i * turn[t]).real();
  }
  s.Pdiss += h.p;
}

/* One stretch of the period at one switch conductance, cut as the exact
   engine cuts it. */
struct Stretch {
  double length, g;
};

std::vector<Stretch> Stretches(const Circuit& c, double period) {
  const double gOn = 1.0 / c.Switch.Ron, gOff = 1.0 / c.Switch.Roff;
  const double ramp = c.Switch.Ramp * period, on = c.Switch.Duty * period;
  const int steps = ramp > 0.0 ? kRampSteps : 0;
  std::vector<Stretch> out;
  for (int k = 0; k < steps; k++)
    out.push_back({ramp / steps, gOff + (gOn - gOff) * (k + 0.5) / steps});
  out.push_back({on - ramp, gOn});
  for (int k = 0; k < steps; k++)
    out.push_back({ramp / steps, gOn - (gOn - gOff) * (k + 0.5) / steps});
  out.push_back({period - on - ramp, gOff});
  return out;
}

/* Simpson steps a stretch is integrated in: fine beside the fastest time
   constant (a shunt capacitor discharged through the closing switch). */
const int kSimpsonSteps = 2048;

/* The power each part's series loss resistance (a resistor: the part)
   and its shunt loss take, integrated over the exact steady period. */
Status ExactLosses(const Circuit& c, double driveMHz, std::vector<double>& seriesPower,
                   std::vector<double>& shuntPower) {
  SimResult r;
  std::vector<double> start;
  ExactSteadyState(c, driveMHz, r, &start);
  if (!r.Run.Ok()) return r.Run;
  const double period = 1.0 / (driveMHz * 1e6);
  const std::vector<Stretch> st = Stretches(c, period);
  std::vector<double> g;
  for (const Stretch& s : st) g.push_back(s.g);
  std::vector<StateSpace> systems;
  const Status built = BuildStateSpaces(c, g, systems);
  if (!built.Ok()) return built;
  seriesPower.assign(c.Parts.size(), 0.0);
  shuntPower.assign(c.Parts.size(), 0.0);
  Eigen::VectorXd full(systems[0].Full.rows());
  for (Eigen::Index k = 0; k < full.size(); k++) full(k) = start[systems[0].StatePart[k]];
  for (size_t i = 0; i < st.size(); i++) {
    const StateSpace& ss = systems[i];
    const Eigen::Index n = ss.A.rows();
    Eigen::VectorXd z(n + 1);
    z.head(n) = ss.Full.colPivHouseholderQr().solve(full);
    z(n) = 1.0;
    const double h = st[i].length / kSimpsonSteps;
    Eigen::MatrixXd m = Eigen::MatrixXd::Zero(n + 1, n + 1);
    m.topLeftCorner(n, n) = ss.A * h;
    m.block(0, n, n, 1) = ss.B * h;
    const Eigen::MatrixXd step = m.exp();
    for (int k = 0; k <= kSimpsonSteps; k++) {
      const double weight = (k == 0 || k == kSimpsonSteps ? 1.0 : k % 2 ? 4.0 : 2.0) * h / 3.0;
      for (const Dissipator& d : ss.Dissipators) {
        if (d.Part < 0) continue;
        const double v = d.Row.dot(z);
        const CircuitPart& p = c.Parts[d.Part];
        /* A coil's shunt loss is told by its weight, 1 / ShuntLoss (the
           header gives a power as Weight x Row^2, the row a current or a
           voltage). */
        const bool shunt = p.ShuntLoss > 0.0 && d.Weight == 1.0 / p.ShuntLoss;
        (shunt ? shuntPower : seriesPower)[d.Part] += weight * d.Weight * v * v / period;
      }
      if (k < kSimpsonSteps) z = step * z;
    }
    full = ss.Full * z.head(n);
  }
  return Status::Done();
}

}  // namespace

Status PartStresses(const Circuit& c, const SimResult& r, std::vector<PartStress>& out) {
  out.clear();
  if (!r.Run.Ok() || r.Vsw.size() != size_t(kPeriodSamples) || !(r.DriveMHz > 0.0))
    return Status::Failed("no steady-state waveform to rate the parts from");
  std::map<std::string, int> index;
  for (const CircuitPart& p : c.Parts)
    for (const std::string* node : {&p.NodeA, &p.NodeB})
      if (!Known(*node) && !index.count(*node)) index.emplace(*node, int(index.size()));
  for (const CircuitPart& p : c.Parts)
    out.push_back(PartStress{p.Name, 0.0, 0.0, 0.0, std::vector<double>(kPeriodSamples, 0.0),
                             std::vector<double>(kPeriodSamples, 0.0)});
  const double w1 = kTwoPi * r.DriveMHz * 1e6;
  std::vector<Complex> node;
  Turns turn;
  for (int k = 0; k <= kStressHarmonics; k++) {
    const double w = k * w1;
    HarmonicTurns(k, turn);
    const Complex vsw = Phasor(r.Vsw, k, turn), vcc = k == 0 ? Complex(c.Vcc) : Complex(0.0);
    if (!SolveNodes(c, index, vsw, vcc, w, node))
      return Status::Failed("the output network cannot be solved at harmonic " + std::to_string(k));
    auto at = [&](const std::string& name) {
      if (name == kNodeSwitch) return vsw;
      if (name == kNodeSupply) return vcc;
      return name == kNodeGround ? Complex(0.0) : node[index.at(name)];
    };
    for (size_t q = 0; q < c.Parts.size(); q++) {
      const CircuitPart& p = c.Parts[q];
      Harmonic h{at(p.NodeA) - at(p.NodeB), 0.0, 0.0};
      const bool choke = p.NodeA == kNodeSupply || p.NodeB == kNodeSupply;
      if (k == 0 && choke)
        h.i = (p.NodeA == kNodeSupply ? 1.0 : -1.0) * r.Pdc / c.Vcc;
      else
        h.i = h.v * Admittance(p, w);
      h.p = LossPower(p, h, w, k == 0);
      AddHarmonic(out[q], h, turn);
    }
  }
  for (PartStress& s : out) {
    double sq = 0.0;
    for (int t = 0; t < kPeriodSamples; t++) {
      s.Vpk = std::max(s.Vpk, std::fabs(s.V[t]));
      sq += s.I[t] * s.I[t];
    }
    s.Irms = std::sqrt(sq / double(kPeriodSamples));
  }
  if (IsNonlinear(c) || r.Engine != kEngineExact) return Status::Done();
  /* The current of a part with a loss resistance, and so its loss, from
     the exact period: the harmonics cannot hold a shunt capacitor's
     discharge at a turn-on that is not at zero voltage. */
  std::vector<double> seriesPower, shuntPower;
  const Status exact = ExactLosses(c, r.DriveMHz, seriesPower, shuntPower);
  if (!exact.Ok()) return exact;
  for (size_t q = 0; q < c.Parts.size(); q++) {
    const CircuitPart& p = c.Parts[q];
    const double resistance = p.Kind == kResistor ? p.Value : p.SeriesLoss;
    if (!(resistance > 0.0)) continue;
    out[q].Irms = std::sqrt(seriesPower[q] / resistance);
    out[q].Pdiss = seriesPower[q] + shuntPower[q];
  }
  return Status::Done();
}

std::complex<double> PartAdmittance(const CircuitPart& p, double w) {
  if (p.Kind == kCapacitor && w == 0.0) return 0.0;
  return 1.0 / Impedance(p, w);
}

const PartStress* FindStress(const std::vector<PartStress>& s, const std::string& name) {
  for (const PartStress& p : s)
    if (p.Name == name) return &p;
  return nullptr;
}
