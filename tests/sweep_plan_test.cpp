/*
** sweep_plan_test.cpp: the sweep frequency plan, the impedance
** conversions and the filter response against hand figures and a direct
** complex-arithmetic model of the filter.
*/
#include "sweep/sweep_plan.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sweep/impedance.h"
#include "tests/sweep_reference.h"
#include "tests/test_support.h"

using namespace sweepref;

namespace {

/* Relative difference, for comparing with the double-precision model. */
double Rel(double got, double want) {
  return std::fabs(got / want - 1.0);
}

/* Start design with the other modules' values filled in by hand; the
   coil Q 192.247 is 143 x sqrt(3.8) / 1.45, a 1-inch form at 3.8 MHz. */
DesignState HandDesign(double qu = 192.247) {
  DesignState s = StartDesign();
  FillNetworksByHand(s, 1.0, 1.0, qu);
  return s;
}

}  // namespace

TEST(SweepPlan, FollowsTheDesignFrequency) {
  DesignState s{};
  PlanSweep(s, 3.8f);
  /* 0.75 F, F, 1.25 F, 1.5 F, 1.75 F, 2 F, 3 F for F = 3.8 MHz. */
  const int point[] = {0, 10, 20, 21, 22, 23, 24};
  const double mhz[] = {2.85, 3.8, 4.75, 5.7, 6.65, 7.6, 11.4};
  for (int i = 0; i < 7; i++) {
    EXPECT_NEAR(s.SweepFreq[point[i]], mhz[i], 1e-5) << "point " << point[i];
    EXPECT_NEAR(s.SweepOmega[point[i]], mhz[i] * 2e6 * M_PI, 2e-6 * mhz[i] * 2e6 * M_PI);
  }
  EXPECT_EQ(s.SweepFreq[10], 3.8f);
  EXPECT_FLOAT_EQ(s.SweepFreq[23], 2.0f * s.SweepFreq[10]);
  EXPECT_FLOAT_EQ(s.SweepFreq[24], 3.0f * s.SweepFreq[10]);
  /* Points 0 to 20 step by 2.5 % of F. */
  for (int i = 1; i <= 20; i++) EXPECT_NEAR(s.SweepFreq[i] - s.SweepFreq[i - 1], 0.095, 1e-5);

  PlanSweep(s, 0.5f);
  EXPECT_NEAR(s.SweepFreq[0], 0.375, 1e-7);
  EXPECT_NEAR(s.SweepFreq[24], 1.5, 1e-6);
}

TEST(Conversions, HandFigures) {
  /* 100 pF at 1e7 rad/s is -1000 ohm; 10 uH at 1e6 rad/s is 10 ohm. */
  EXPECT_FLOAT_EQ(CapReactance(100.0f, 1e7f), -1000.0f);
  EXPECT_FLOAT_EQ(IndReactance(10.0f, 1e6f), 10.0f);

  /* 50 + j50 in series is 100 ohm in parallel with j100 (q = 1). */
  ImpedancePair p = SeriesToParallel(50.0f, 50.0f, kNetworkGuard);
  EXPECT_FLOAT_EQ(p.r, 100.0f);
  EXPECT_FLOAT_EQ(p.x, 100.0f);
  ImpedancePair z = ParallelToSeries(100.0f, -100.0f);
  EXPECT_FLOAT_EQ(z.r, 50.0f);
  EXPECT_FLOAT_EQ(z.x, -50.0f);
  /* 30 - j40: |z|^2 = 2500, so rp = 2500/30 and xp = -2500/40. */
  p = SeriesToParallel(30.0f, -40.0f, kNetworkGuard);
  EXPECT_FLOAT_EQ(p.r, 2500.0f / 30.0f);
  EXPECT_FLOAT_EQ(p.x, -62.5f);

  EXPECT_FLOAT_EQ(ParallelReactance(100.0f, 100.0f), 50.0f);
  EXPECT_FLOAT_EQ(ParallelReactance(300.0f, -100.0f), -150.0f);
}

TEST(Conversions, GuardsAgainstExactZeros) {
  /* A pure resistance: the guard reactance stands in, so the parallel
     form is the resistance beside a reactance of r^2 / guard. */
  ImpedancePair p = SeriesToParallel(50.0f, 0.0f, kNetworkGuard);
  EXPECT_FLOAT_EQ(p.r, 50.0f);
  EXPECT_NEAR(p.x, 2500.0 / 1e-6, 2500.0 / 1e-6 * 1e-6);
  p = SeriesToParallel(2.0f, 0.0f, kTrapGuard);
  EXPECT_FLOAT_EQ(p.r, 2.0f);
  EXPECT_NEAR(p.x, 4.0 / 1e-9, 4.0 / 1e-9 * 1e-6);
  /* Parallel resonance: an open circuit, shown as 1e6 ohm. */
  EXPECT_EQ(ParallelReactance(123.5f, -123.5f), 1e6f);
}

TEST(FilterResponse, MatchesTheCircuitAtEveryPoint) {
  for (int notch = 0; notch < 2; notch++) {
    DesignState s = HandDesign();
    ComputeFilterResponse(s, notch);
    for (int k = 0; k < kSweepPoints; k++) {
      const Z z = RefFilter(s, notch, k);
      /* Near Fo the filter is almost a pure resistance, so its reactance
         is a small difference: the complex distance is the fair measure.
         A few dozen float roundings, some amplified by the L-C
         cancellations, stay well below 1e-5. */
      EXPECT_LT(Off(Series(s.FilterRs[k], s.FilterXs[k]), z), 1e-5)
          << "notch " << notch << " point " << k;
      EXPECT_LT(Off(Parallel(s.FilterRp[k], s.FilterXp[k]), z), 1e-5)
          << "notch " << notch << " point " << k;
      /* The two forms describe one impedance. */
      const Z back = Parallel(s.FilterRp[k], s.FilterXp[k]);
      EXPECT_LT(Rel(back.real(), s.FilterRs[k]), 1e-6) << "point " << k;
      EXPECT_LT(std::fabs(back.imag() - s.FilterXs[k]), 1e-6 * std::abs(back)) << "point " << k;
    }
  }
}

TEST(FilterResponse, TrapActsAtTheSecondHarmonic) {
  DesignState off = HandDesign(), on = HandDesign(), better = HandDesign(2 * 192.247);
  ComputeFilterResponse(off, 0);
  ComputeFilterResponse(on, 1);
  ComputeFilterResponse(better, 1);
  /* At Fo the trap has the reactance of the capacitor it replaces; only
     its loss (about Rload / 1000 here) adds. */
  const Z zOff = Parallel(off.FilterRp[10], off.FilterXp[10]);
  EXPECT_LT(Off(Parallel(on.FilterRp[10], on.FilterXp[10]), zOff), 3e-3);
  EXPECT_GT(Off(Parallel(on.FilterRp[10], on.FilterXp[10]), zOff), 1e-4);
  /* At 2 Fo it nearly shorts the load end: the input resistance soars,
     and halving the trap's loss roughly doubles it. */
  EXPECT_GT(on.FilterRp[23], 20.0 * off.FilterRp[23]);
  EXPECT_NEAR(better.FilterRp[23] / on.FilterRp[23], 2.0, 0.1);
  /* Without the trap no coil plays a part. */
  DesignState other = HandDesign(17.0);
  ComputeFilterResponse(other, 0);
  for (int k = 0; k < kSweepPoints; k++) EXPECT_EQ(other.FilterRp[k], off.FilterRp[k]);
}

TEST(FilterResponse, TrapCoilFollowsTheMatchArrangement) {
  /* Give each coil its own Q; the circuit model picks the coil by
     arrangement (the combined coil, the match coil, or the tuning coil
     when there is no match). */
  for (int arrangement = 0; arrangement < 3; arrangement++) {
    DesignState s = HandDesign();
    s.Coils[kTuneLs2].Qu = 150.0f;
    s.Coils[kMatchLs3].Qu = 90.0f;
    s.Coils[kLs2PlusLs3].Qu = 250.0f;
    s.MatchEL = arrangement;
    ComputeFilterResponse(s, 1);
    const double q[] = {150.0, 250.0, 90.0};
    const double xl = s.SweepOmega[23] * double(s.LsTrap) * 1e-6;
    const Z end = xl / q[arrangement] + Z(0, xl) + Cap(s.CsTrap, s.SweepOmega[23]);
    const Z z = Par(Par(double(s.Rload), end) + Ind(s.LsTCH, s.SweepOmega[23]),
                    Cap(s.Cpin, s.SweepOmega[23]));
    EXPECT_LT(Off(Parallel(s.FilterRp[23], s.FilterXp[23]), z), 1e-5)
        << "arrangement " << arrangement;
  }
}

TEST(FilterResponse, ExactTrapResonanceUsesTheTrapGuard) {
  /* Tune the trap so that its reactance at point 23 is exactly zero in
     single precision: then the trap is its loss resistance alone and the
     load end is Rload beside it. */
  DesignState s = HandDesign();
  const float w = s.SweepOmega[23];
  bool found = false;
  for (int i = 0; i < 2000 && !found; i++) {
    if (double(IndReactance(s.LsTrap, w)) + double(CapReactance(s.CsTrap, w)) == 0.0)
      found = true;
    else
      s.LsTrap = std::nextafter(
          s.LsTrap, IndReactance(s.LsTrap, w) > -CapReactance(s.CsTrap, w) ? 0.0f : 1e9f);
  }
  ASSERT_TRUE(found);
  ComputeFilterResponse(s, 1);
  const double rt = w * double(s.LsTrap) * 1e-6 / 192.247;
  const Z z = Par(Par(double(s.Rload), rt) + Ind(s.LsTCH, w), Cap(s.Cpin, w));
  EXPECT_LT(Off(Parallel(s.FilterRp[23], s.FilterXp[23]), z), 1e-5);
}
