/*
** Solenoid coil model: wire diameters against published AWG tables,
** Wheeler's formula in both directions and its scaling law, the gauge
** search at and around each gauge's diameter and for pitches no wire fits,
** the DC resistance against published copper wire resistance, and the
** loss estimate's choice of currents.
*/
#include "coils/coil_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

CoilRecord Coil(float uhy, float dia, float len) {
  CoilRecord c{};
  c.Uhy = uhy;
  c.Dia = dia;
  c.Len = len;
  return c;
}

DesignState AtFreq(float freq) {
  DesignState s{};
  s.Freq = freq;
  return s;
}

}  // namespace

TEST(WireDia, MatchesPublishedAwgDiameters) {
  /* Bare diameters in inches from the AWG standard table. */
  const struct {
    int gauge;
    double inches;
  } table[] = {{0, 0.3249}, {10, 0.1019}, {18, 0.0403}, {22, 0.0253}, {30, 0.0100}, {40, 0.003145}};
  for (const auto& row : table)
    EXPECT_NEAR(WireDia(row.gauge), row.inches, 0.005 * row.inches) << "AWG " << row.gauge;
}

TEST(MinGauge, ThickestGaugeStrictlyBelowThePitch) {
  for (int g = 0; g <= 60; ++g) {
    const float d = WireDia(g);
    EXPECT_EQ(MinGauge(d), g + 1) << "pitch equal to gauge " << g;
    EXPECT_EQ(MinGauge(std::nextafter(d, 1.0f)), g) << "pitch just above gauge " << g;
  }
  EXPECT_EQ(MinGauge(1.0f), 0);
  EXPECT_EQ(MinGauge(std::numeric_limits<float>::infinity()), 0);
}

/* A pitch no wire fits ends the search with the impossible gauge 99. */
TEST(MinGauge, NoWireFitsEndsWithGauge99) {
  EXPECT_EQ(MinGauge(0.0f), 99);
  EXPECT_EQ(MinGauge(-0.05f), 99);
  EXPECT_EQ(MinGauge(std::nanf("")), 99);
  EXPECT_EQ(MinGauge(-std::numeric_limits<float>::infinity()), 99);
  EXPECT_EQ(MinGauge(1e-30f), 99);
}

TEST(DesignCoil, TenMicrohenriesOnAnInchFormAt3p8MHz) {
  CoilRecord c = Coil(10.0f, 1.0f, 1.0f);
  DesignCoil(AtFreq(3.8f), c);
  /* Wheeler: 10 = N^2 / (18 + 40), so N = sqrt(580). */
  EXPECT_NEAR(c.Nturns, std::sqrt(580.0), 1e-4);
  EXPECT_NEAR(c.Pitch, 1.0 / std::sqrt(580.0), 1e-6);
  /* AWG 17 is 0.0453 in, above the 0.0415 in pitch; AWG 18 is 0.0403. */
  EXPECT_EQ(c.AWGMIN, 18);
  EXPECT_EQ(c.AWGMIN + 4, 22);
  /* 143 * 1 * sqrt(3.8) / 1.45 by hand. */
  EXPECT_NEAR(c.Qu, 192.2471, 1e-3);
}

TEST(DesignCoil, WheelerBothWaysAndScaling) {
  const struct {
    float uhy, dia, len;
  } coils[] = {{10.0f, 1.0f, 1.0f}, {26.3f, 1.0f, 2.0f}, {0.5f, 0.25f, 0.5f}, {250.0f, 4.0f, 3.0f}};
  for (const auto& k : coils) {
    const float n = TurnsForInductance(k.dia, k.uhy, k.len);
    /* The turns put back into Wheeler's formula give the inductance... */
    const double l = double(k.dia) * k.dia * n * n / (18.0 * k.dia + 40.0 * k.len);
    EXPECT_NEAR(l, k.uhy, 1e-5 * k.uhy);
    /* ...and the length for those turns is the starting length. */
    EXPECT_NEAR(LengthForTurns(k.dia, k.uhy, n), k.len, 1e-5 * k.len);
    /* Four and nine times the inductance: twice and three times the
       turns on the same form, with the same Q. */
    CoilRecord base = Coil(k.uhy, k.dia, k.len), x4 = Coil(4 * k.uhy, k.dia, k.len),
               x9 = Coil(9 * k.uhy, k.dia, k.len);
    const DesignState s = AtFreq(7.0f);
    DesignCoil(s, base);
    DesignCoil(s, x4);
    DesignCoil(s, x9);
    EXPECT_NEAR(x4.Nturns, 2 * base.Nturns, 1e-5 * x4.Nturns);
    EXPECT_NEAR(x9.Nturns, 3 * base.Nturns, 1e-5 * x9.Nturns);
    EXPECT_EQ(x4.Qu, base.Qu);
    EXPECT_EQ(x9.Qu, base.Qu);
  }
}

TEST(CoilRdc, MatchesPublishedCopperResistance) {
  /* 24.08 turns of AWG 22 (USE for AWGMIN 18) on a 1-inch form.  AWG 22
     is 16.14 ohm per 1000 ft at 20 C; a turn through the wire centres is
     pi * sqrt(1.0253^2 + 0.0253^2) inches. */
  const double turn = 3.14159265 * std::sqrt(1.0253 * 1.0253 + 0.0253 * 0.0253);
  const double expected = 16.14 / 12000.0 * turn * 24.08;
  EXPECT_NEAR(CoilRdc(18.0f, 1.0f, 24.08f), expected, 0.01 * expected);
  EXPECT_EQ(CoilRdc(0.0f, 1.0f, 0.0f), 0.0f);
}

/* Figures from an independent python re-computation of the written
   formulas with float32 stores; the choke's Rdc also checks against AWG 26
   at 40.81 ohm per 1000 ft: 39.06 turns of pi * 1.0159 in is 0.424 ohm. */
TEST(EstimateCoilLosses, StartDesignCoils) {
  DesignState s = StartDesign();
  const CoilRecord& choke = s.Coils[kChokeLp1];
  EXPECT_NEAR(choke.Nturns, 39.0598526, 1e-4);
  EXPECT_EQ(choke.AWGMIN, 22);
  EXPECT_NEAR(choke.Qu, 192.247116, 1e-3);
  EXPECT_NEAR(choke.XL, 628.053528, 1e-3);
  EXPECT_NEAR(choke.Rdc, 0.4235307, 1e-6);
  /* First pass: no DC current known yet, so only the RF loss. */
  EXPECT_EQ(choke.PdissDc, 0.0f);
  EXPECT_NEAR(choke.Pdiss, 0.00188726606, 1e-8);
  const CoilRecord& both = s.Coils[kLs2PlusLs3];
  EXPECT_NEAR(both.Uhy, 3.6775286, 1e-6);
  EXPECT_NEAR(both.Nturns, 14.6046791, 1e-4);
  EXPECT_EQ(both.AWGMIN, 14);
  EXPECT_NEAR(both.Rdc, 0.0253927, 1e-6);
  EXPECT_NEAR(both.Pdiss, 0.045451, 1e-6);

  ComputePass(s, kLightPass);
  /* The DC loss is Idc^2 Rdc on top of the RF loss. */
  EXPECT_NEAR(choke.PdissDc, (2.5 / 12.0) * (2.5 / 12.0) * 0.4235307, 1e-7);
  EXPECT_NEAR(choke.Pdiss, 0.0202696752, 1e-7);
}

TEST(EstimateCoilLosses, CombinedCoilCarriesTheTuningCurrent) {
  DesignState s = StartDesign();
  s.ILs2 = 1.0f;
  s.ILs3 = 3.0f;
  EstimateCoilLosses(s);
  const CoilRecord& both = s.Coils[kLs2PlusLs3];
  EXPECT_NEAR(both.Pdiss, both.Rac * 1.0, 1e-7);
  EXPECT_NEAR(s.Coils[kMatchLs3].Pdiss, s.Coils[kMatchLs3].Rac * 9.0, 1e-6);
  /* Only the choke's dissipation includes a DC part. */
  s.Idc = 1.0f;
  EstimateCoilLosses(s);
  EXPECT_NEAR(both.Pdiss, both.Rac * 1.0, 1e-7);
}

/* With no EL network the matching coil has no inductance: no turns, an
   infinite pitch (not printed), gauge 0, and no loss. */
TEST(EstimateCoilLosses, ZeroInductanceCoil) {
  DesignState s = StartDesign();
  s.Rload = s.Ro;
  ComputePass(s, kFullPass);
  const CoilRecord& m = s.Coils[kMatchLs3];
  EXPECT_EQ(m.Uhy, 0.0f);
  EXPECT_EQ(m.Nturns, 0.0f);
  EXPECT_TRUE(std::isinf(m.Pitch));
  EXPECT_EQ(m.AWGMIN, 0);
  EXPECT_EQ(m.XL, 0.0f);
  EXPECT_EQ(m.Rac, 0.0f);
  EXPECT_EQ(m.Rdc, 0.0f);
  EXPECT_EQ(m.Pdiss, 0.0f);
}
