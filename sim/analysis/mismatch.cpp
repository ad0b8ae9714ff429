/*
** mismatch.cpp: the loads of a VSWR circle put into the circuit.  The
** series reactance goes on the network's side of the load resistor, so
** the load node still carries the voltage across the resistor alone, as
** both engines measure the output there.
*/
#include "sim/analysis/mismatch.h"

#include <cassert>
#include <cmath>

#include "sim/engine/drive.h"

const double kMaxVswr = 100.0;

namespace {

const double kPi = 3.14159265358979323846;

/* Between the network and the reactance of a complex load. */
const char* const kReactanceNode = "xload";

/* A capacitor in series with the load leaves the charge between it and
   the network's own series capacitor with nowhere to go: the circuit
   would have no single steady state.  A leak across it, of this times
   X^2 / R, settles that charge and takes this share of the output. */
const double kLeakRatio = 1e5;

/* cos and sin of an angle in degrees, exact at the quarter turns, so a
   phase of 180 degrees is a resistive load. */
void CosSin(double deg, double* c, double* s) {
  const double turn = std::fmod(deg, 360.0) / 90.0;
  if (turn == std::floor(turn)) {
    static const double kCos[4] = {1.0, 0.0, -1.0, 0.0}, kSin[4] = {0.0, 1.0, 0.0, -1.0};
    const int q = (static_cast<int>(turn) % 4 + 4) % 4;
    *c = kCos[q];
    *s = kSin[q];
    return;
  }
  *c = std::cos(deg * kPi / 180.0);
  *s = std::sin(deg * kPi / 180.0);
}

bool Inverted(int figure) {
  return figure == kFigPout || figure == kFigEff;
}

bool Magnitude(int figure) {
  return figure == kFigZvs || figure == kFigSlope;
}

}  // namespace

void LoadOnCircle(double r, double vswr, double phaseDeg, double* loadR, double* loadX) {
  assert(r > 0.0 && vswr >= 1.0);
  const double g = (vswr - 1.0) / (vswr + 1.0);
  double c = 0.0, s = 0.0;
  CosSin(phaseDeg, &c, &s);
  /* (1 + G) / (1 - G) = (1 - g^2 + 2 j g sin) / (1 + g^2 - 2 g cos) */
  const double den = 1.0 + g * g - 2.0 * g * c;
  *loadR = r * (1.0 - g * g) / den;
  *loadX = r * 2.0 * g * s / den;
}

Circuit MismatchedCircuit(const Circuit& nominal, double loadR, double loadX) {
  assert(loadR > 0.0);
  Circuit c = nominal;
  CircuitPart& load = c.Parts[c.Load];
  assert(load.NodeA == kNodeLoad && load.NodeB == kNodeGround);
  load.Value = loadR;
  if (loadX == 0.0) return c;
  for (CircuitPart& p : c.Parts) {
    if (&p == &c.Parts[c.Load]) continue;
    if (p.NodeA == kNodeLoad) p.NodeA = kReactanceNode;
    if (p.NodeB == kNodeLoad) p.NodeB = kReactanceNode;
  }
  const double w = 2.0 * kPi * c.DesignHz;
  std::vector<CircuitPart> x;
  if (loadX > 0.0) {
    x.push_back({"Lx", kCoil, kReactanceNode, kNodeLoad, loadX / w, 0.0, 0.0, 0.0});
  } else {
    x.push_back({"Cx", kCapacitor, kReactanceNode, kNodeLoad, 1.0 / (w * -loadX), 0.0, 0.0, 0.0});
    x.push_back({"Rxleak", kResistor, kReactanceNode, kNodeLoad, kLeakRatio * loadX * loadX / loadR,
                 0.0, 0.0, 0.0});
  }
  c.Parts.insert(c.Parts.begin() + c.Load, x.begin(), x.end());
  c.Load += static_cast<int>(x.size());
  return c;
}

bool WorseFigure(int figure, double a, double b) {
  if (Magnitude(figure)) return std::fabs(a) > std::fabs(b);
  return Inverted(figure) ? a < b : a > b;
}

void RunMismatch(const Circuit& c, double vswr, int engine, int periods, double driveMHz,
                 MismatchRun& out, const AnalysisProgress& progress) {
  assert(vswr >= 1.0 && vswr <= kMaxVswr);
  out = MismatchRun{};
  out.Vswr = vswr;
  out.Engine = engine;
  out.DriveMHz = driveMHz;
  out.NominalR = LoadResistance(c);
  out.LoadName = c.Parts[c.Load].Name;
  SimulateDrive(c, engine, periods, driveMHz, out.Nominal, nullptr, kDetailFigures);
  out.Stopped = progress && !progress(0, kMismatchPhases);
  for (int k = 0; k < kMismatchPhases && !out.Stopped; k++) {
    MismatchPoint p{30.0 * k, 0.0, 0.0, SimResult{}};
    LoadOnCircle(out.NominalR, vswr, p.PhaseDeg, &p.LoadR, &p.LoadX);
    SimulateDrive(MismatchedCircuit(c, p.LoadR, p.LoadX), engine, periods, driveMHz, p.Result,
                  nullptr, kDetailFigures);
    out.Points.push_back(p);
    out.Stopped = progress && !progress(k + 1, kMismatchPhases);
  }
  const int done = static_cast<int>(out.Points.size());
  for (int f = 0; f < kFigureCount; f++) {
    int& worst = out.Worst[f] = -1;
    for (int k = 0; k < done; k++) {
      const SimResult& r = out.Points[k].Result;
      if (!r.Run.Ok()) continue;
      if (worst < 0 ||
          WorseFigure(f, FiguresOf(r).Of[f], FiguresOf(out.Points[worst].Result).Of[f]))
        worst = k;
    }
  }
}
