/*
** sim_measure_test.cpp: the figures of an ngspice run, on waveforms made
** here whose answers are known: sines of set amplitude, meters that rise
** at a set power, a transient that dies away too slowly to be seen
** between two neighbouring periods.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/engine/measure.h"

namespace {

const double kPi = 3.141592653589793;

/* A run of `periods` periods of 1 us on an uneven time grid (300 points
   a period, wobbling by a third of a step, every period start on the
   grid), with the switch voltage v(t) = 12 + 30 sin(2 pi t / T - 0.3),
   and meters rising at constant power within each period (the DC input
   short by `drift` x exp(-k / tau) in period k when tau > 0). */
RawRun MakeRun(int periods, double drift, double tau) {
  const double T = 1e-6;
  const int n = 300;
  RawRun run;
  double ein = 0.0;
  for (int k = 0; k <= periods; k++) {
    const double pin = 3.0 * (1.0 - (tau > 0.0 ? drift * std::exp(-k / tau) : 0.0));
    for (int j = 0; j < (k == periods ? 1 : n); j++) {
      const double f = (j + (j == 0 ? 0.0 : std::sin(j) / 3.0)) / n;
      const double t = k * T + f * T;
      run.time.push_back(t);
      run.vsw.push_back(12.0 + 30.0 * std::sin(2.0 * kPi * t / T - 0.3));
      run.isw.push_back(0.0);
      run.vload.push_back(10.0 * std::sin(2.0 * kPi * t / T) + std::sin(4.0 * kPi * t / T));
      run.ein.push_back(ein + pin * f);
      run.eout.push_back(2.5 * t / T);
      run.edev.push_back(0.1 * t / T);
    }
    ein += pin;
  }
  return run;
}

TEST(SimMeasure, InterpolationHoldsTheEnds) {
  const std::vector<double> t = {0.0, 1.0, 3.0}, v = {0.0, 10.0, 30.0};
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 2.0), 20.0);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 0.25), 2.5);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, -1.0), 0.0);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 9.0), 30.0);
  /* A repeated time point (a breakpoint) gives the later value, no
     division by zero. */
  const std::vector<double> t2 = {0.0, 1.0, 1.0, 2.0}, v2 = {0.0, 1.0, 5.0, 5.0};
  EXPECT_TRUE(std::isfinite(ValueAt(t2, v2, 1.0)));
  std::vector<double> out;
  Resample(t, v, 0.0, 2.0, 4, out);
  EXPECT_EQ(out, (std::vector<double>{0.0, 5.0, 10.0, 15.0}));
}

TEST(SimMeasure, HarmonicsOfKnownSines) {
  std::vector<double> p(kPeriodSamples);
  for (int i = 0; i < kPeriodSamples; i++) {
    const double x = 2.0 * kPi * i / double(kPeriodSamples);
    p[i] = 4.0 + 10.0 * std::cos(x + 1.0) + 1.0 * std::sin(2.0 * x) + 0.01 * std::cos(3.0 * x);
  }
  EXPECT_NEAR(HarmonicAmplitude(p, 1), 10.0, 1e-9);
  EXPECT_NEAR(HarmonicAmplitude(p, 2), 1.0, 1e-9);
  EXPECT_NEAR(Dbc(HarmonicAmplitude(p, 2), HarmonicAmplitude(p, 1)), -20.0, 1e-6);
  EXPECT_NEAR(Dbc(HarmonicAmplitude(p, 3), HarmonicAmplitude(p, 1)), -60.0, 1e-6);
  EXPECT_DOUBLE_EQ(Dbc(0.0, 1.0), -200.0);
  EXPECT_DOUBLE_EQ(Dbc(1.0, 0.0), 0.0);
}

TEST(SimMeasure, SteadyRunGivesItsPowersAndVoltages) {
  const RawRun run = MakeRun(20, 0.0, 0.0);
  SimResult r;
  MeasureRun(run, 1e-6, 20, 12.0, false, r);
  EXPECT_NEAR(r.Pdc, 3.0, 1e-9);
  EXPECT_NEAR(r.Pout, 2.5, 1e-9);
  EXPECT_NEAR(r.Pdev, 0.1, 1e-9);
  EXPECT_NEAR(r.Ploss, 0.4, 1e-9);
  EXPECT_NEAR(r.Eff, 2.5 / 3.0, 1e-9);
  /* Peak 12 + 30 from the raw points (within the grid's reach of the
     crest: steps under 1.7 / 300 of a period), turn-on value
     12 + 30 sin(-0.3). */
  EXPECT_NEAR(r.Vpeak, 42.0, 30.0 * (1.0 - std::cos(2.0 * kPi * 1.7 / 300.0)));
  EXPECT_NEAR(r.Von, 12.0 + 30.0 * std::sin(-0.3), 1e-9);
  EXPECT_NEAR(r.ZvsError, r.Von / r.Vpeak, 1e-12);
  /* dv/dt at turn-on is 30 (2 pi / T) cos(-0.3); over w Vcc that is
     30 cos(0.3) / 12, from raw points a few per cent of a period apart. */
  EXPECT_NEAR(r.Slope, 30.0 * std::cos(0.3) / 12.0, 1e-3);
  EXPECT_NEAR(r.H2dBc, -20.0, 0.01);
  EXPECT_LT(r.H3dBc, -60.0);
  EXPECT_EQ(r.Steady, 1);
  ASSERT_EQ(r.Vsw.size(), size_t(kPeriodSamples));
}

TEST(SimMeasure, SlowTransientIsNotSteadyThoughNeighboursAgree) {
  /* 5 % of the input dying away with a time constant of 50 periods:
     periods 58 and 59 differ by 0.15 (e^-58/50 - e^-59/50) / 3 = 0.03 %,
     periods 30 and 59 by 0.15 (e^-30/50 - e^-59/50) / 3 = 1.2 %. */
  const RawRun run = MakeRun(60, 0.05, 50.0);
  SimResult r;
  MeasureRun(run, 1e-6, 60, 12.0, false, r);
  EXPECT_EQ(r.Steady, 0);
  EXPECT_NEAR(r.Settle, 0.15 * (std::exp(-0.6) - std::exp(-1.18)) / r.Pdc, 1e-9);
  /* Long enough for it to die: steady. */
  const RawRun longer = MakeRun(600, 0.05, 50.0);
  MeasureRun(longer, 1e-6, 600, 12.0, false, r);
  EXPECT_EQ(r.Steady, 1);
  EXPECT_LT(r.Settle, kSteadyTolerance);
}

/* A body diode holding the switch at -0.67 V over the last 40 % of the
   fitting window before turn-on, after a fall at -400 V per period: the
   slope at turn-on is the clamp's, 0.  Without reverse conduction the
   fit over the whole window is not asked to know better. */
TEST(SimMeasure, SlopeOfAClampedTurnOnIsTheClamps) {
  const double T = 1e-6, window = kSlopeWindow * T;
  RawRun run = MakeRun(20, 0.0, 0.0);
  const double last = 19 * T;
  for (size_t i = 0; i < run.time.size(); i++) {
    const double before = last - run.time[i]; /* time left to turn-on */
    if (before < 0.0 || before > window) continue;
    const double clampAt = 0.4 * window;
    run.vsw[i] = before < clampAt ? -0.67 : -0.67 + 400.0 / T * (before - clampAt);
  }
  SimResult clamped, plain;
  MeasureRun(run, T, 20, 12.0, true, clamped);
  MeasureRun(run, T, 20, 12.0, false, plain);
  EXPECT_NEAR(clamped.Slope, 0.0, 1e-9);
  EXPECT_GT(std::fabs(plain.Slope), 0.5);
}

}  // namespace
