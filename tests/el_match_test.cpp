/*
** EL match and element stresses: the L network must really transform the
** load to Ro at the design frequency (checked with complex impedances),
** and the stresses must follow circuit laws: power in each resistance,
** Ohm's law on each reactance, the L network's current and voltage
** magnification by Qmatch.
*/
#include "engine/el_match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

using Z = std::complex<double>;

DesignState WithRload(float rload) {
  DesignState s{};
  SetStartValues(s);
  s.Rload = rload;
  ComputePass(s, kFullPass);
  return s;
}

Z Parallel(Z a, Z b) {
  return a * b / (a + b);
}

/* Reactances of the EL elements at the design frequency. */
Z Inductor(const DesignState& s, double uh) {
  return Z(0, kExactTwoPi * s.FreqHz * uh * 1e-6);
}
Z Capacitor(const DesignState& s, double pf) {
  return Z(0, -1.0 / (kExactTwoPi * s.FreqHz * pf * 1e-12));
}

}  // namespace

TEST(ElMatch, StartDesignSeriesInductorThenShuntCapacitor) {
  const DesignState s = StartDesign();
  ASSERT_EQ(s.MatchEL, 1);
  EXPECT_NEAR(s.Qmatch, std::sqrt(50.0 / s.Ro - 1.0), 1e-6);
  /* Seen from the network: Ls3 in series with Cp3 across Rload is Ro. */
  const Z seen = Inductor(s, s.Ls3) + Parallel(Capacitor(s, s.Cp3), Z(s.Rload, 0));
  EXPECT_NEAR(seen.real(), s.Ro, 1e-5 * s.Ro);
  EXPECT_NEAR(seen.imag(), 0.0, 1e-5 * s.Ro);
}

TEST(ElMatch, LoadBelowRoTakesShuntCapacitorThenSeriesInductor) {
  const DesignState s = WithRload(10.0f);
  ASSERT_EQ(s.MatchEL, 2);
  /* Seen from the load: Ls3 in series with Cp3 across Ro is Rload. */
  const Z seen = Inductor(s, s.Ls3) + Parallel(Capacitor(s, s.Cp3), Z(s.Ro, 0));
  EXPECT_NEAR(seen.real(), 10.0, 1e-5 * 10.0);
  EXPECT_NEAR(seen.imag(), 0.0, 1e-5 * 10.0);
}

TEST(ElementStresses, StartDesignFollowsCircuitLaws) {
  const DesignState s = StartDesign();
  const double w = kExactTwoPi * s.FreqHz;
  const double tol = 1e-5;
  /* All of the power reaches Ro and the load. */
  EXPECT_NEAR(double(s.VRload) * s.IRload, 2.5, 2.5 * tol);
  EXPECT_NEAR(double(s.VRo) * s.IRo, 2.5, 2.5 * tol);
  EXPECT_NEAR(s.VRload / s.IRload, 50.0, 50.0 * tol);
  /* The series branch carries IRo through Cs2 and Ls2. */
  EXPECT_EQ(s.ICs2, s.IRo);
  EXPECT_EQ(s.ILs2, s.IRo);
  EXPECT_NEAR(s.VCs2, s.ICs2 / (w * s.Cs2 * 1e-12), s.VCs2 * tol);
  EXPECT_NEAR(s.VLs2, s.ILs2 * w * s.Ls2 * 1e-6, s.VLs2 * tol);
  /* Choke and shunt capacitor: peak switch voltage 3.56 Vcc over 2.83. */
  EXPECT_NEAR(s.VLp1, 3.56 * 12.0 / 2.83, 1e-4);
  EXPECT_EQ(s.VLp1, s.VCp1);
  EXPECT_NEAR(s.ILp1, s.VLp1 / (w * s.Lp1 * 1e-6), s.ILp1 * tol);
  EXPECT_NEAR(s.ICp1, 0.5 * s.ICs2, s.ICp1 * tol);
  /* EL network, inductor next to the network: the load's shunt
     capacitor takes Qmatch times the load current, and the inductor the
     sum of the two in quadrature, which is the network's current. */
  EXPECT_EQ(s.ILs3, s.ILs2);
  EXPECT_EQ(s.VCp3, s.VRload);
  EXPECT_NEAR(s.ICp3, s.Qmatch * s.IRload, s.ICp3 * tol);
  EXPECT_NEAR(std::hypot(s.IRload, s.ICp3), s.ILs3, s.ILs3 * tol);
  EXPECT_NEAR(s.VLs3, s.ILs3 * w * s.Ls3 * 1e-6, s.VLs3 * tol);
}

TEST(ElementStresses, LoadBelowRoPutsRoAcrossTheCapacitor) {
  const DesignState s = WithRload(10.0f);
  const double tol = 1e-5;
  EXPECT_EQ(s.VCp3, s.VRo);
  EXPECT_EQ(s.ILs3, s.IRload);
  /* Across Ro the capacitor takes Qmatch times Ro's current; the load's
     inductor drops Qmatch times the load voltage. */
  EXPECT_NEAR(s.ICp3, s.Qmatch * s.IRo, s.ICp3 * tol);
  EXPECT_NEAR(s.VLs3, s.Qmatch * s.VRload, s.VLs3 * tol);
}

TEST(ElementStresses, EqualResistancesLeaveTheElFieldsAlone) {
  DesignState s = StartDesign();
  const DesignState before = s;
  s.Rload = s.Ro;
  ComputePass(s, kFullPass);
  ASSERT_EQ(s.MatchEL, 0);
  EXPECT_EQ(s.Ls3, 0.0f);
  EXPECT_EQ(s.Cp3, 0.0f);
  EXPECT_EQ(s.VLs3, before.VLs3);
  EXPECT_EQ(s.ILs3, before.ILs3);
  EXPECT_EQ(s.VCp3, before.VCp3);
  EXPECT_EQ(s.ICp3, before.ICp3);
}
