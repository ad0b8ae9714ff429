/*
** Power and efficiency estimate: the device loss law (switching share plus
** conduction loss), the coils and capacitors of each arrangement, and the
** start design's balance against an independent re-computation.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

std::string Fixed2(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%3.2f", v);
  return buf;
}

DesignState Passes(DesignState s, int n) {
  for (int i = 0; i < n; ++i) ComputePass(s, NextPass(s));
  return s;
}

/* Loss of a capacitor of Q 500 carrying irms, by hand. */
double CapLoss(const DesignState& s, double pf, double irms) {
  const double x = 1.0 / (kExactTwoPi * s.FreqHz * pf * 1e-12);
  return x / 500.0 * irms * irms;
}

}  // namespace

TEST(PowerEstimate, DeviceLossIsSwitchingShareAndConduction) {
  DesignState s{};
  SetStartValues(s);
  s.Ron = 0.0f;
  s = Passes(s, 1);
  EXPECT_FLOAT_EQ(s.Pdc, 2.5f);
  EXPECT_NEAR(s.DevDiss, 0.03 * 2.5, 1e-6);
  EXPECT_EQ(Fixed2(1.0 - double(s.DevDiss) / s.Power), "0.97");

  const DesignState start = StartDesign();
  EXPECT_NEAR(start.Idc, 2.5 / 12.0, 1e-7);
  EXPECT_NEAR(start.DevIpk, 3.56 * 2.5 / 12.0, 1e-6);
  const double conduction = start.DevDiss - 0.075;
  EXPECT_NEAR(conduction, (2.5 / 12.0) * (2.5 / 12.0) * 0.2, 1e-6);
  EXPECT_EQ(Fixed2(1.0 - double(start.DevDiss) / start.Power), "0.97");

  /* Twice the supply at the same power: half the current, a quarter of
     the conduction loss. */
  DesignState twice{};
  SetStartValues(twice);
  twice.Vcc = 24.0f;
  twice = Passes(twice, 1);
  EXPECT_NEAR(twice.Idc, start.Idc / 2, 1e-7);
  EXPECT_NEAR(twice.DevDiss - 0.075, conduction / 4, 1e-6);
}

/* Expected figures from an independent re-computation of the written
   formulas in python, each stored value rounded to float32; the choke's
   DC loss enters only from the second pass. */
TEST(PowerEstimate, StartDesignBalanceOnFirstAndSecondPass) {
  const DesignState first = StartDesign();
  EXPECT_NEAR(first.Pcoils, 0.0473382287, 1e-8);
  EXPECT_NEAR(first.Pcaps, 0.0155888088, 1e-8);
  EXPECT_NEAR(first.DevDiss, 0.0836804807, 1e-8);
  EXPECT_NEAR(first.PwrOut, 2.35339260, 1e-6);
  EXPECT_NEAR(first.OverallEff, 0.941357017, 1e-7);
  const DesignState second = Passes(first, 1);
  EXPECT_NEAR(second.Pcoils, 0.0657206401, 1e-8);
  EXPECT_NEAR(second.PwrOut, 2.33501005, 1e-6);
  EXPECT_NEAR(second.OverallEff, 0.934004009, 1e-7);
  /* Pcoils is the choke plus the one coil wound for Ls2 + Ls3. */
  EXPECT_NEAR(second.Pcoils,
              double(second.Coils[kChokeLp1].Pdiss) + second.Coils[kLs2PlusLs3].Pdiss, 1e-8);
  /* Each capacitor at Q 500 with its own current. */
  EXPECT_NEAR(second.Pcaps,
              CapLoss(second, second.Cp1, second.ICp1) + CapLoss(second, second.Cs2, second.ICs2) +
                  CapLoss(second, second.Cp3, second.ICp3),
              1e-7);
}

/* An edit and back to the start inputs gives the start design's screens
   again: the first with the choke's RF loss only (0.00 W, Pwr Out 2.35, as
   hand-checked in the acceptance transcripts), after Space the figures
   above.  Charged the DC current of the design before, the choke lost
   8.33^2 A^2 x 0.4235 ohm = 29.41 W back from 100 W. */
TEST(PowerEstimate, FirstScreenAfterAnEditCarriesNoOtherDesignsCurrent) {
  const std::vector<std::string> start = Screens(RunSession(" x"));
  ASSERT_EQ(start.size(), 2u);
  EXPECT_NE(start[0].find("Choke-Lp1   26.30    1.00    1.00    39.1  #22 (#26)   192  3.27  0.42  "
                          "0.00\n"),
            std::string::npos);
  EXPECT_NE(start[0].find("Pwr Out = 2.35 watts=Pgen[2.50]-Pcoils[0.05]-Pcaps[0.02]-Pdev[0.08]"),
            std::string::npos);
  for (const char* trip :
       {"p100\n p2.5\n", "v5\n v12\n", "p1e9\n p500\n p2.5\n", "f30\n f3.8\n", "r10\n r50\n"}) {
    DesignState s;
    const std::vector<std::string> screens = Screens(RunSession(std::string(trip) + " x", &s));
    ASSERT_GE(screens.size(), 2u) << trip;
    EXPECT_EQ(screens[screens.size() - 2], start[0]) << trip;
    EXPECT_EQ(screens.back(), start[1]) << trip;
    EXPECT_NEAR(s.PwrOut, 2.33501005, 1e-6) << trip;
  }
}

TEST(PowerEstimate, SeparateCoilsWhenLoadIsBelowRo) {
  DesignState s{};
  SetStartValues(s);
  s.Rload = 10.0f;
  s = Passes(s, 2);
  ASSERT_EQ(s.MatchEL, 2);
  EXPECT_NEAR(s.Pcoils,
              double(s.Coils[kChokeLp1].Pdiss) + s.Coils[kTuneLs2].Pdiss + s.Coils[kMatchLs3].Pdiss,
              1e-7);
}

/* No EL network: only the tuning coil besides the choke, and no EL
   capacitor, so nothing divides by its zero capacitance. */
TEST(PowerEstimate, EqualResistancesCountOnlyTheElementsInCircuit) {
  DesignState s = StartDesign();
  s.Rload = s.Ro;
  RequestFullPass(s);
  s = Passes(s, 2);
  ASSERT_EQ(s.MatchEL, 0);
  EXPECT_NEAR(s.Pcoils, double(s.Coils[kChokeLp1].Pdiss) + s.Coils[kTuneLs2].Pdiss, 1e-8);
  EXPECT_NEAR(s.Pcaps, CapLoss(s, s.Cp1, s.ICp1) + CapLoss(s, s.Cs2, s.ICs2), 1e-7);
  EXPECT_TRUE(std::isfinite(s.PwrOut));
  EXPECT_TRUE(std::isfinite(s.OverallEff));
}
