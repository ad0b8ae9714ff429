/*
** sim_mismatch_test.cpp: the loads of a VSWR circle against the
** reflection coefficient they must have, the nominal at VSWR 1, the
** physics of class E into a load below and above nominal, and a complex
** load (coil or capacitor in series) as ngspice simulates it.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "sim/analysis/mismatch.h"
#include "sim/engine/drive.h"
#include "sim/engine/ngspice_runner.h"
#include "sim_example.h"

namespace {

const double kPi = 3.14159265358979323846;

/* Every phase of a circle: G = (Z - R) / (Z + R) has the magnitude
   (S - 1) / (S + 1) and the angle of the phase; 0 is R S and 180 R / S
   exactly resistive. */
TEST(SimMismatch, LoadsLieOnTheCircleAtTheirPhase) {
  for (double s : {1.5, 2.0, 3.0}) {
    const double r = 27.06;
    for (int k = 0; k < kMismatchPhases; k++) {
      double lr = 0.0, lx = 0.0;
      LoadOnCircle(r, s, 30.0 * k, &lr, &lx);
      const std::complex<double> z(lr, lx), g = (z - r) / (z + r);
      EXPECT_NEAR(std::abs(g), (s - 1.0) / (s + 1.0), 1e-12) << s << " " << k;
      const std::complex<double> want = std::polar(1.0, 30.0 * k * kPi / 180.0);
      EXPECT_NEAR(std::abs(g / std::abs(g) - want), 0.0, 1e-12) << s << " " << k;
    }
    double lr = 0.0, lx = 1.0;
    LoadOnCircle(r, s, 0.0, &lr, &lx);
    EXPECT_NEAR(lr, r * s, 1e-12 * r * s);
    EXPECT_EQ(lx, 0.0);
    LoadOnCircle(r, s, 180.0, &lr, &lx);
    EXPECT_NEAR(lr, r / s, 1e-12 * r);
    EXPECT_EQ(lx, 0.0);
  }
}

TEST(SimMismatch, VswrOneIsTheNominalAtEveryPhase) {
  MismatchRun run;
  RunMismatch(TunedExample(), 1.0, kEngineExact, 0, 3.8, run);
  ASSERT_TRUE(run.Nominal.Run.Ok()) << run.Nominal.Run.Why();
  ASSERT_EQ(run.Points.size(), size_t(kMismatchPhases));
  const Figures nominal = FiguresOf(run.Nominal);
  for (const MismatchPoint& p : run.Points) {
    ASSERT_TRUE(p.Result.Run.Ok()) << p.Result.Run.Why();
    EXPECT_EQ(p.LoadR, run.NominalR);
    for (int f = 0; f < kFigureCount; f++)
      EXPECT_EQ(FiguresOf(p.Result).Of[f], nominal.Of[f]) << p.PhaseDeg << " " << f;
  }
}

/* Class E into less than its design resistance: the series branch's Q
   rises, more current charges Cp1 and the peak rises, the switch turning
   on with voltage left (the device dissipating more); into more, the
   peak falls.  BASIC, where the load is the resistance the class-E
   network sees (a pi-net or a match turns a lower load into a higher one
   at the network), calculated and tuned. */
TEST(SimMismatch, LoadBelowNominalRaisesThePeak) {
  for (const Circuit& c : {ExampleCircuit(0), TunedExample()}) {
    MismatchRun run;
    RunMismatch(c, 1.25, kEngineExact, 0, 3.8, run);
    ASSERT_TRUE(run.Nominal.Run.Ok() && run.Points[6].Result.Run.Ok() &&
                run.Points[0].Result.Run.Ok());
    EXPECT_GT(run.Points[6].Result.Vpeak, run.Nominal.Vpeak);
    EXPECT_GT(run.Points[6].Result.Pdev, run.Nominal.Pdev);
    EXPECT_LT(run.Points[0].Result.Vpeak, run.Nominal.Vpeak);
  }
}

/* A coil and a capacitor in series with the load, in both engines; the
   capacitor's leak takes 10^-5 of the output. */
TEST(SimMismatch, ComplexLoadsAgreeWithNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  const Circuit c = TunedExample();
  for (int k : {3, 8}) {
    double lr = 0.0, lx = 0.0;
    LoadOnCircle(LoadResistance(c), 2.0, 30.0 * k, &lr, &lx);
    const Circuit m = MismatchedCircuit(c, lr, lx);
    ASSERT_NE(FindPart(m, k == 3 ? "Lx" : "Cx"), nullptr);
    SimResult a, b;
    SimulateDrive(m, kEngineExact, 0, 3.8, a);
    SimulateDrive(m, kEngineNgspice, 0, 3.8, b);
    ASSERT_TRUE(a.Run.Ok() && b.Run.Ok() && b.Steady) << a.Run.Why() << b.Run.Why();
    EXPECT_TRUE(AgreesWithNgspice(a.Pout, a.Pdev, a.Eff, a.Vpeak, a.ZvsError, a.Slope, b))
        << "phase " << 30 * k << ": Pout " << a.Pout << " " << b.Pout << ", Vpk " << a.Vpeak << " "
        << b.Vpeak << ", ZVS " << a.ZvsError << " " << b.ZvsError;
  }
}

}  // namespace
