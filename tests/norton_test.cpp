/*
** norton_test.cpp: the Norton transform keeps the impedance the device
** sees, steps Ro and Ls2 down by n squared, and reads nothing but the
** basic network.
*/
#include "topologies/norton.h"

#include <gtest/gtest.h>

#include <complex>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

using Cplx = std::complex<double>;
const double kPi = 3.14159265358979323846;

DesignState Design(float freq, float power, float vcc, float ql) {
  DesignState s = StartDesign();
  s.Freq = freq;
  s.Power = power;
  s.Vcc = vcc;
  s.QL = ql;
  ComputePass(s, kFullPass);
  return s;
}

/* Shunt Cp1, then series Cs2, Ls2 and Ro. */
Cplx BasicImpedance(const DesignState& s, double w) {
  const Cplx j(0.0, 1.0);
  const Cplx branch =
      1.0 / (j * w * double(s.Cs2) * 1e-12) + j * w * double(s.Ls2) * 1e-6 + double(s.Ro);
  return 1.0 / (j * w * double(s.Cp1) * 1e-12 + 1.0 / branch);
}

/* Series Cs1, then shunt Cp2 across Ls2N in series with Rt. */
Cplx NortonImpedance(const DesignState& s, double w) {
  const Cplx j(0.0, 1.0);
  const Cplx branch = j * w * double(s.Ls2N) * 1e-6 + double(s.Rt);
  return 1.0 / (j * w * double(s.Cs1) * 1e-12) +
         1.0 / (j * w * double(s.Cp2N) * 1e-12 + 1.0 / branch);
}

TEST(Norton, DeviceSeesTheSameImpedanceAtEveryFrequency) {
  for (float ql : {1.8f, 2.5f, 5.0f, 20.0f}) {
    const DesignState s = Design(3.8f, 2.5f, 12.0f, ql);
    for (double scale : {0.3, 1.0, 2.0, 3.0, 10.0}) {
      const double w = 2.0 * kPi * double(s.FreqHz) * scale;
      const Cplx a = BasicImpedance(s, w), b = NortonImpedance(s, w);
      EXPECT_NEAR(std::abs(b - a) / std::abs(a), 0.0, 1e-5) << "QL " << ql << " x" << scale;
    }
  }
}

TEST(Norton, RtAndCs1GiveBackRoAndCs2) {
  for (float ql : {1.8f, 2.5f, 10.0f}) {
    const DesignState s = Design(14.0f, 100.0f, 48.0f, ql);
    const double n = double(s.Cp1) / double(s.Cs2) + 1.0;
    EXPECT_GT(n, 1.0);
    EXPECT_NEAR(double(s.Rt) * n * n / double(s.Ro), 1.0, 1e-6);
    EXPECT_NEAR(double(s.Ls2N) * n * n / double(s.Ls2), 1.0, 1e-6);
    EXPECT_NEAR(double(s.Cs1) / n / double(s.Cs2), 1.0, 1e-6);
    EXPECT_NEAR(double(s.Cp2N) / n / double(s.Cp1), 1.0, 1e-6);
  }
}

TEST(Norton, IgnoresLoadAndTurnsRatios) {
  const DesignState ref = StartDesign();
  DesignState s = ref;
  s.Rload = 7.0f;
  s.NTBAS = 4.0f;
  s.NTPI = 0.3f;
  ComputePass(s, kFullPass);
  EXPECT_EQ(s.Cs1, ref.Cs1);
  EXPECT_EQ(s.Cp2N, ref.Cp2N);
  EXPECT_EQ(s.Ls2N, ref.Ls2N);
  EXPECT_EQ(s.Rt, ref.Rt);
}

}  // namespace
