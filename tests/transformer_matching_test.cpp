/*
** transformer_matching_test.cpp: the networks referred through an ideal
** transformer, and their EL matches checked by circuit analysis: each
** match must turn Rload into the referred resistance at the design
** frequency.
*/
#include "topologies/transformer_matching.h"

#include <gtest/gtest.h>

#include <complex>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

using Cplx = std::complex<double>;
const double kPi = 3.14159265358979323846;

DesignState WithRatios(float ntbas, float ntpi) {
  DesignState s = StartDesign();
  s.NTBAS = ntbas;
  s.NTPI = ntpi;
  ComputeTransformerMatching(s);
  return s;
}

/* What the referred network sees looking into the EL match with Rload on
   its far side. */
Cplx LookingIntoMatch(int arrangement, float lUh, float cPf, float rload, float freqHz) {
  const Cplx j(0.0, 1.0);
  const double w = 2.0 * kPi * double(freqHz);
  const Cplx zl = j * w * double(lUh) * 1e-6;
  const Cplx yc = j * w * double(cPf) * 1e-12;
  if (arrangement == 1) return zl + 1.0 / (1.0 / double(rload) + yc); /* L, then C across load */
  return 1.0 / (yc + 1.0 / (zl + double(rload)));                     /* C across network, then L */
}

void ExpectMatches(int arrangement, float r, float lUh, float cPf, const DesignState& s) {
  const Cplx z = LookingIntoMatch(arrangement, lUh, cPf, s.Rload, s.FreqHz);
  EXPECT_NEAR(z.real() / double(r), 1.0, 1e-5) << "R " << r << " arrangement " << arrangement;
  EXPECT_NEAR(z.imag() / double(r), 0.0, 1e-5) << "R " << r << " arrangement " << arrangement;
}

TEST(TransformerMatching, OneToOneLeavesTheBasicValues) {
  const DesignState s = StartDesign();
  EXPECT_EQ(s.ZTBAS, 1.0f);
  EXPECT_EQ(s.RoBAS, s.Ro);
  EXPECT_EQ(s.Cs2BAS, s.Cs2);
  EXPECT_EQ(s.Ls2BAS, s.Ls2);
  EXPECT_EQ(s.MatchBAS, 1); /* Ro near 25 ohms into 50 */
  EXPECT_EQ(s.RoPI, s.RoPiRef);
  EXPECT_EQ(s.Cp2PI, s.Cp2PiRef);
  EXPECT_EQ(s.MatchPI, 1);
  /* RoPiRef lies close to 50 ohms (49.61 by hand from Ro 25.12 and
     QC 0.9853), so QmatchPI = sqrt(50/49.61 - 1) = 0.089. */
  EXPECT_NEAR(s.QmatchPI, 0.089, 0.0005);
  /* The BASIC match is the main screen's match. */
  EXPECT_EQ(s.QmatchBAS, s.Qmatch);
  EXPECT_EQ(s.LMBAS, s.Ls3);
  EXPECT_EQ(s.CMBAS, s.Cp3);
}

TEST(TransformerMatching, RatioTwoQuadruplesImpedancesAndTurnsTheMatchesAround) {
  const DesignState one = StartDesign();
  const DesignState s = WithRatios(2.0f, 2.0f);
  EXPECT_EQ(s.ZTBAS, 4.0f);
  EXPECT_EQ(s.ZTPI, 4.0f);
  EXPECT_NEAR(s.Ls2BAS / one.Ls2BAS, 4.0, 1e-6);
  EXPECT_NEAR(s.RoBAS / one.RoBAS, 4.0, 1e-6);
  EXPECT_NEAR(s.Cs2BAS / one.Cs2BAS, 0.25, 1e-7);
  EXPECT_NEAR(s.Ls2PI / one.Ls2PI, 4.0, 1e-6);
  EXPECT_NEAR(s.RoPI / one.RoPI, 4.0, 1e-6);
  EXPECT_NEAR(s.Cp2PI / one.Cp2PI, 0.25, 1e-7);
  EXPECT_EQ(s.Cp1, one.Cp1);
  EXPECT_EQ(s.MatchBAS, 2); /* 100.5 and 198.4 ohms now exceed 50 */
  EXPECT_EQ(s.MatchPI, 2);
}

TEST(TransformerMatching, EachMatchPresentsTheReferredResistance) {
  for (float nt : {0.2f, 0.5f, 1.0f, 1.41f, 2.0f, 5.0f}) {
    const DesignState s = WithRatios(nt, 5.2f - nt);
    ASSERT_NE(s.MatchBAS, 0);
    ASSERT_NE(s.MatchPI, 0);
    EXPECT_EQ(s.MatchBAS, s.Rload > s.RoBAS ? 1 : 2);
    EXPECT_EQ(s.MatchPI, s.Rload > s.RoPI ? 1 : 2);
    ExpectMatches(s.MatchBAS, s.RoBAS, s.LMBAS, s.CMBAS, s);
    ExpectMatches(s.MatchPI, s.RoPI, s.LMPI, s.CMPI, s);
  }
}

TEST(TransformerMatching, EqualResistanceNeedsNoNetwork) {
  DesignState s = WithRatios(2.0f, 2.0f);
  /* Stale values from the previous ratios must not survive. */
  ASSERT_NE(s.LMBAS, 0.0f);
  ASSERT_NE(s.CMPI, 0.0f);
  s.NTBAS = 1.0f;
  s.NTPI = 1.0f;
  s.Rload = s.Ro;
  ComputeTransformerMatching(s);
  EXPECT_EQ(s.MatchBAS, 0);
  EXPECT_EQ(s.QmatchBAS, 0.0f);
  EXPECT_EQ(s.LMBAS, 0.0f);
  EXPECT_EQ(s.CMBAS, 0.0f);
  EXPECT_EQ(s.MatchPI, 2); /* RoPiRef is about twice Ro */

  s.Rload = s.RoPiRef;
  ComputeTransformerMatching(s);
  EXPECT_EQ(s.MatchPI, 0);
  EXPECT_EQ(s.QmatchPI, 0.0f);
  EXPECT_EQ(s.LMPI, 0.0f);
  EXPECT_EQ(s.CMPI, 0.0f);
  EXPECT_EQ(s.MatchBAS, 1);
}

}  // namespace
