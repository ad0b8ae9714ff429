/*
** sim_shooting_test.cpp: the steady state of a nonlinear device (a graded
** output capacitance, a body diode) found in-house, against ngspice's
** transient runs of the same circuit; against the exact engine where
** there is nothing nonlinear to integrate; and the diode's clamp.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "sim/circuit/circuit.h"
#include "sim/circuit/topology_table.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/measure.h"
#include "sim/engine/ngspice_runner.h"
#include "sim/engine/shooting_engine.h"
#include "tests/sim_example.h"

namespace {

bool Near(double a, double b, double rel, double floor) {
  return std::fabs(a - b) <= std::max(floor, rel * std::max(std::fabs(a), std::fabs(b)));
}

/* The example at `mhz` and `ql` in topology t, its device a graded
   capacitance of `share` of the shunt capacitance at Vcc (Cp1 keeping
   the rest), grading m, with or without the body diode. */
Circuit Graded(double mhz, double ql, int t, bool notch, double share, double m, bool diode) {
  const DesignState s = ExampleWith([&](DesignRequest& r) {
    r.Freq = static_cast<float>(mhz);
    r.QL = static_cast<float>(ql);
  });
  Circuit c;
  BuildCircuit(s, t, notch, kPowerCircuit, c);
  const double cp1 = FindPart(c, "Cp1")->Value;
  SetPartValue(c, "Cp1", cp1 * (1.0 - share));
  DeviceModel d;
  d.Coss = cp1 * share;
  d.CossVolts = c.Vcc;
  d.Grading = m;
  d.BodyDiode = diode;
  AddDevice(c, d);
  return c;
}

/* One design a row: the grading, the share and the diode turn with the
   row so that each frequency's rows cover them all. */
struct Row {
  int topology;
  bool notch;
  double ql, share, m;
  bool diode;
};

const Row kRows[] = {
    {0, false, 2.5, 0.5, 0.5, false}, {1, false, 5.0, 0.9, 0.3, true},
    {2, false, 1.8, 0.1, 0.5, true},  {3, false, 10.0, 0.5, 0.3, false},
    {4, true, 5.0, 0.1, 0.3, true},   {4, false, 2.5, 0.9, 0.5, true},
};

/* ngspice from a cold start, as the program runs it, until steady: its
   graded capacitance has no initial value to seed it with.  Every figure
   within the agreement the exact engine keeps with ngspice. */
class SimShootingAgreement : public testing::TestWithParam<double> {};

TEST_P(SimShootingAgreement, AgreesWithNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  const double mhz = GetParam();
  for (const Row& row : kRows) {
    const Circuit c = Graded(mhz, row.ql, row.topology, row.notch, row.share, row.m, row.diode);
    for (double k : {0.9, 1.0, 1.1}) {
      SimResult a, b;
      SimulateDrive(c, kEngineExact, 0, mhz * k, a);
      SimulateDrive(c, kEngineNgspice, 0, mhz * k, b);
      const std::string what = std::string(Topology(row.topology).Title) +
                               (row.notch ? "+trap" : "") + " " + std::to_string(mhz) + " MHz QL " +
                               std::to_string(row.ql) + " M " + std::to_string(row.m) + " share " +
                               std::to_string(row.share) + (row.diode ? " diode" : "") +
                               " drive x" + std::to_string(k);
      ASSERT_TRUE(a.Run.Ok()) << what << ": " << a.Run.Why();
      ASSERT_EQ(a.Method, kMethodShooting) << what;
      ASSERT_TRUE(b.Run.Ok() && b.Steady) << what << ": " << b.Run.Why();
      /* Where the diode holds the switch at turn-on (near its full drop),
         ngspice's slope is a fit over a knee of its raw points: there
         both must only be flat against the unclamped slopes' scale of 1. */
      const bool clamped = row.diode && b.Von < -0.5;
      const bool slopeOk = std::fabs(a.Slope - b.Slope) <= 0.01 ||
                           (clamped && std::fabs(a.Slope) < 0.1 && std::fabs(b.Slope) < 0.1);
      EXPECT_TRUE(Near(a.Pout, b.Pout, 5e-3, 1e-3) && Near(a.Pdc, b.Pdc, 5e-3, 1e-3) &&
                  Near(a.Pdev, b.Pdev, 5e-3, 1e-3) && Near(a.Vpeak, b.Vpeak, 2e-3, 0.0) &&
                  std::fabs(a.ZvsError - b.ZvsError) <= 0.002 && slopeOk)
          << what << "\n  Pout " << a.Pout << " " << b.Pout << "  Pdc " << a.Pdc << " " << b.Pdc
          << "  Pdev " << a.Pdev << " " << b.Pdev << "\n  Vpk " << a.Vpeak << " " << b.Vpeak
          << "  ZVS " << a.ZvsError << " " << b.ZvsError << "  slope " << a.Slope << " " << b.Slope;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DesignFrequencies, SimShootingAgreement,
                         testing::Values(0.5, 3.8, 30.0, 144.0));

/* With no nonlinear current the steps are the exact propagators: shot as
   if nonlinear, every topology's linear circuit gives the exact engine's
   figures.  And a grading of almost nothing gives those of the linear
   capacitance of that value. */
TEST(SimShooting, WithNothingNonlinearEqualsTheExactEngine) {
  for (int t = 0; t < kTopologyCount; t++) {
    const Circuit c = Graded(3.8, 5.0, t, false, 0.5, 0.0, false);
    SimResult exact, shot;
    ExactSteadyState(c, 3.8 * 1.05, exact);
    ShootingWorkspace w;
    PrepareShooting(c, w);
    SolveShooting(w, 3.8 * 1.05, kDetailFull, shot);
    ASSERT_TRUE(exact.Run.Ok() && shot.Run.Ok()) << shot.Run.Why();
    /* Powers within a millionth of the supply's: the switch's own
       dissipation, a hundredth of it, rests on its edges' quadrature. */
    for (auto [a, b] :
         {std::pair{exact.Pout, shot.Pout}, {exact.Pdc, shot.Pdc}, {exact.Pdev, shot.Pdev}})
      EXPECT_NEAR(a, b, 1e-6 * exact.Pdc) << Topology(t).Title;
    EXPECT_NEAR(exact.Vpeak, shot.Vpeak, 1e-6 * exact.Vpeak) << Topology(t).Title;
    EXPECT_NEAR(exact.ZvsError, shot.ZvsError, 1e-6) << Topology(t).Title;
    EXPECT_NEAR(exact.Slope, shot.Slope, 1e-6) << Topology(t).Title;
  }
  SimResult linear, graded;
  ExactSteadyState(Graded(3.8, 2.5, 0, false, 0.5, 0.0, false), 3.8, linear);
  ExactSteadyState(Graded(3.8, 2.5, 0, false, 0.5, 1e-7, false), 3.8, graded);
  ASSERT_EQ(graded.Method, kMethodShooting);
  EXPECT_NEAR(graded.Pout, linear.Pout, 1e-5 * linear.Pout);
  EXPECT_NEAR(graded.Vpeak, linear.Vpeak, 1e-5 * linear.Vpeak);
}

/* With its load a quarter of the design's (a VSWR of 4), the example
   rings far below zero before turn-on; with the body diode the switch
   voltage stays above minus a junction drop and its series resistance's
   drop at the currents of the switch node. */
TEST(SimShooting, TheBodyDiodeClampsTheSwitchVoltage) {
  SimResult r[2];
  for (int diode = 0; diode <= 1; diode++) {
    Circuit c = Graded(3.8, 2.5, 0, false, 0.1, 0.3, diode);
    const CircuitPart load = c.Parts[c.Load];
    SetPartValue(c, load.Name, load.Value / 4.0);
    ExactSteadyState(c, 3.8, r[diode]);
    ASSERT_TRUE(r[diode].Run.Ok()) << r[diode].Run.Why();
  }
  const double bare = *std::min_element(r[0].Vsw.begin(), r[0].Vsw.end());
  const double clamped = *std::min_element(r[1].Vsw.begin(), r[1].Vsw.end());
  ASSERT_LT(bare, -3.0) << "the mismatched switch must swing well below zero";
  /* A silicon junction at amperes: IS 1e-12 A gives 0.72 V at 1 A, 0.78 V
     at 10 A (kT/q 25.9 mV); RS 0.01 ohm adds 0.1 V at 10 A. */
  EXPECT_GT(clamped, -(0.78 + 0.1));
  EXPECT_LT(clamped, -0.5) << "the diode conducts";
}

}  // namespace
