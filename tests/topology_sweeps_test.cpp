/*
** topology_sweeps_test.cpp: the six swept network variants against a
** direct complex-arithmetic model of the same circuits, and the figures
** that follow from the physics of the networks.
*/
#include "sweep/topology_sweeps.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sweep/sweep_plan.h"
#include "tests/sweep_reference.h"
#include "tests/test_support.h"

using namespace sweepref;

namespace {

/* 143 x sqrt(3.8) / 1.45: a coil on the 1-inch form used at 3.8 MHz. */
const double kStartQu = 192.247;

/* The start design with turns ratios nb, np, the other modules' values
   by hand, the filter for notch and all six columns swept. */
DesignState Swept(double nb, double np, int notch, double qu = kStartQu) {
  DesignState s = StartDesign();
  FillNetworksByHand(s, nb, np, qu);
  ComputeFilterResponse(s, notch);
  ComputeAllSweeps(s);
  return s;
}

const SweepColumn& Column(const DesignState& s, Variant v) {
  const SweepColumn* c[] = {&s.SweepBAS, &s.SweepBASEL, &s.SweepBASELTCH,
                            &s.SweepPI,  &s.SweepPIEL,  &s.SweepPIELTCH};
  return *c[v];
}

Z Device(const SweepColumn& c, int k) {
  return Parallel(c.Rp[k], c.Xp[k]);
}

}  // namespace

/* The ladder walker against the circuit computed directly, for every
   variant, both notch settings, and turns ratios that put both matches
   in arrangement 1 (ratios below 1) or arrangement 2 (above). */
TEST(TopologySweeps, LadderMatchesTheCircuitAtEveryPoint) {
  for (double n : {1.0, 0.2, 0.5, 1.5, 2.0, 3.0, 5.0}) {
    for (int notch = 0; notch < 2; notch++) {
      const DesignState s = Swept(n, n, notch);
      for (int v = kBas; v <= kPiElTch; v++) {
        for (int k = 0; k < kSweepPoints; k++) {
          const Z got = Device(Column(s, Variant(v)), k);
          const double off = Off(got, RefDevice(s, Variant(v), notch, k));
          if (off < 2e-5) continue;
          /* Only an exact resonance of a matched arrangement-2 network,
             which happens at Fo, may take the 1e6 ohm stand-in. */
          const bool matched = v == kBasEl || v == kPiEl;
          const int match = v == kBasEl ? s.MatchBAS : s.MatchPI;
          EXPECT_TRUE(matched && match == 2 && k == kSweepDesignPoint)
              << "n " << n << " notch " << notch << " variant " << v << " point " << k << " off "
              << off;
          EXPECT_LT(Off(got, RefDevice(s, Variant(v), notch, k, true)), 2e-5)
              << "n " << n << " variant " << v << " point " << k;
        }
      }
    }
  }
}

TEST(TopologySweeps, DesignFrequencyAgreesWithBasic) {
  const DesignState s = Swept(1.0, 1.0, 0);
  /* Pwr scales Power by RpRef / Rp, and RpRef is BASIC's own Rp[10]. */
  EXPECT_EQ(s.SweepBAS.Pwr[10], s.Power);
  EXPECT_EQ(s.SweepBAS.Pwr[10], 2.5f);
  /* The EL match turns Rload into Ro at Fo, and the pi-net is the series
     network's equivalent at Fo. */
  for (Variant v : {kBasEl, kPi, kPiEl}) {
    const SweepColumn& c = Column(s, v);
    EXPECT_NEAR(c.Rp[10], s.SweepBAS.Rp[10], 1e-4 * s.SweepBAS.Rp[10]) << v;
    EXPECT_NEAR(c.Xp[10], s.SweepBAS.Xp[10], 1e-4 * std::fabs(s.SweepBAS.Xp[10])) << v;
    EXPECT_NEAR(c.Pwr[10], 2.5, 1e-3) << v;
  }
  /* The filter, designed at Rload, keeps the matched load near Ro. */
  EXPECT_NEAR(s.SweepBASELTCH.Pwr[10], 2.5, 0.01);
  EXPECT_NEAR(s.SweepPIELTCH.Pwr[10], 2.5, 0.01);
}

TEST(TopologySweeps, HarmonicFigures) {
  const DesignState off = Swept(1.0, 1.0, 0), on = Swept(1.0, 1.0, 1);
  for (int v = kBas; v <= kPiElTch; v++) {
    const SweepColumn& c = Column(off, Variant(v));
    EXPECT_NEAR(c.Db2xFo, 10.0 * std::log10(c.Pwr[23] / 2.5), 1e-4) << v;
    EXPECT_NEAR(c.Db3xFo, 10.0 * std::log10(c.Pwr[24] / 2.5), 1e-4) << v;
    /* Every network is a low-pass: the harmonics come out below Power. */
    EXPECT_LT(c.Db2xFo, 0.0f);
    EXPECT_LT(c.Db3xFo, 0.0f);
  }
  /* The trap takes close to 20 dB more off the second harmonic. */
  EXPECT_NEAR(on.SweepBASELTCH.Db2xFo - off.SweepBASELTCH.Db2xFo, -20.0, 3.0);
  EXPECT_NEAR(on.SweepPIELTCH.Db2xFo - off.SweepPIELTCH.Db2xFo, -20.0, 3.0);
  /* Only the two filter-terminated columns see the notch. */
  for (Variant v : {kBas, kBasEl, kPi, kPiEl})
    for (int k = 0; k < kSweepPoints; k++) {
      EXPECT_EQ(Column(on, v).Rp[k], Column(off, v).Rp[k]);
      EXPECT_EQ(Column(on, v).Xp[k], Column(off, v).Xp[k]);
    }
}

TEST(TopologySweeps, NoMatchLeavesThePlainNetwork) {
  /* Rload set to exactly the network's resistance: arrangement 0. */
  DesignState s = StartDesign();
  FillNetworksByHand(s, 1.0, 1.0, kStartQu);
  s.Rload = s.RoBAS;
  FillNetworksByHand(s, 1.0, 1.0, kStartQu);
  ASSERT_EQ(s.MatchBAS, 0);
  ComputeFilterResponse(s, 0);
  ComputeSweepBAS(s);
  ComputeSweepBASEL(s);
  ComputeSweepBASELTCH(s);
  bool filterShows = false;
  for (int k = 0; k < kSweepPoints; k++) {
    EXPECT_EQ(s.SweepBASEL.Rp[k], s.SweepBAS.Rp[k]);
    EXPECT_EQ(s.SweepBASEL.Xp[k], s.SweepBAS.Xp[k]);
    EXPECT_EQ(s.SweepBASEL.Pwr[k], s.SweepBAS.Pwr[k]);
    EXPECT_LT(Off(Device(s.SweepBASELTCH, k), RefDevice(s, kBasElTch, 0, k)), 2e-5);
    if (std::fabs(s.SweepBASELTCH.Rp[k] / s.SweepBAS.Rp[k] - 1) > 0.01) filterShows = true;
  }
  EXPECT_TRUE(filterShows);

  s.Rload = s.RoPI;
  FillNetworksByHand(s, 1.0, 1.0, kStartQu);
  ASSERT_EQ(s.MatchPI, 0);
  for (int notch = 0; notch < 2; notch++) {
    ComputeFilterResponse(s, notch);
    ComputeSweepBAS(s);
    ComputeSweepPI(s);
    ComputeSweepPIEL(s);
    ComputeSweepPIELTCH(s);
    for (int k = 0; k < kSweepPoints; k++) {
      EXPECT_EQ(s.SweepPIEL.Rp[k], s.SweepPI.Rp[k]);
      EXPECT_EQ(s.SweepPIEL.Xp[k], s.SweepPI.Xp[k]);
      EXPECT_LT(Off(Device(s.SweepPIELTCH, k), RefDevice(s, kPiElTch, notch, k)), 2e-5) << k;
    }
  }
}

TEST(TopologySweeps, TurnsRatioCancelsInThePlainNetworks) {
  /* Every impedance of the plain ladders scales by ZT and the closing
     division undoes it; the matches change with the referred R. */
  const DesignState one = Swept(1.0, 1.0, 0), two = Swept(2.0, 2.0, 0);
  ASSERT_EQ(two.MatchBAS, 2);
  for (int k = 0; k < kSweepPoints; k++) {
    EXPECT_LT(Off(Device(two.SweepBAS, k), Device(one.SweepBAS, k)), 1e-5) << k;
    EXPECT_LT(Off(Device(two.SweepPI, k), Device(one.SweepPI, k)), 1e-5) << k;
  }
  EXPECT_GT(Off(Device(two.SweepBASEL, 0), Device(one.SweepBASEL, 0)), 1e-3);
}
