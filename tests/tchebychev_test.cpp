/*
** tchebychev_test.cpp: the separate low-pass filter and its trap, checked
** against the closed-form Chebyshev prototype and by circuit analysis
** with Rload on the filter's output.
*/
#include "topologies/tchebychev.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "app/design_pass.h"
#include "tests/test_support.h"

namespace {

using Cplx = std::complex<double>;
const double kPi = 3.14159265358979323846;

DesignState FilterFor(float freqMHz, float rload) {
  DesignState s = StartDesign();
  s.Freq = freqMHz;
  s.Rload = rload;
  ComputePass(s, kFullPass);
  return s;
}

/* The cutoff the prototype is scaled to: 1.1548556 times the design
   frequency. */
double CutoffOmega(const DesignState& s) {
  return 2.0 * kPi * double(s.FreqHz) * 1.1548556;
}

/* Closed-form Chebyshev low-pass prototype, n elements, ripple in dB. */
double Prototype(double rippleDb, int n, int k) {
  const double beta = std::log(1.0 / std::tanh(rippleDb / 17.37));
  const double gamma = std::sinh(beta / (2.0 * n));
  auto a = [&](int i) { return std::sin((2.0 * i - 1.0) * kPi / (2.0 * n)); };
  auto b = [&](int i) { return gamma * gamma + std::pow(std::sin(i * kPi / n), 2); };
  double g = 2.0 * a(1) / gamma;
  for (int i = 2; i <= k; ++i) g = 4.0 * a(i - 1) * a(i) / (b(i - 1) * g);
  return g;
}

/* Impedance of the filter's input with rload on its output; the output
   element is Cpout or, with trap set, the series LsTrap + CsTrap. */
Cplx InputImpedance(const DesignState& s, double w, bool trap) {
  const Cplx j(0.0, 1.0);
  const Cplx load = double(s.Rload);
  const Cplx out = trap ? j * w * double(s.LsTrap) * 1e-6 + 1.0 / (j * w * double(s.CsTrap) * 1e-12)
                        : 1.0 / (j * w * double(s.Cpout) * 1e-12);
  const Cplx afterOut = 1.0 / (1.0 / load + 1.0 / out);
  const Cplx afterL = afterOut + j * w * double(s.LsTCH) * 1e-6;
  return 1.0 / (1.0 / afterL + j * w * double(s.Cpin) * 1e-12);
}

TEST(Tchebychev, ElementsAreTheChebyshevPrototypeFor04DbRipple) {
  for (float f : {0.5f, 3.8f, 27.0f, 500.0f}) {
    for (float rl : {5.0f, 50.0f, 300.0f}) {
      const DesignState s = FilterFor(f, rl);
      const double wc = CutoffOmega(s);
      const double g1 = double(s.Cpin) * 1e-12 * double(s.Rload) * wc;
      const double g2 = double(s.LsTCH) * 1e-6 * wc / double(s.Rload);
      const double g3 = double(s.Cpout) * 1e-12 * double(s.Rload) * wc;
      /* The prototype values are quoted to four digits: 1.491, 1.118. */
      EXPECT_NEAR(g1, Prototype(0.4, 3, 1), 5e-4) << f << " MHz " << rl << " ohm";
      EXPECT_NEAR(g2, Prototype(0.4, 3, 2), 5e-4) << f << " MHz " << rl << " ohm";
      EXPECT_NEAR(g3, Prototype(0.4, 3, 3), 5e-4) << f << " MHz " << rl << " ohm";
    }
  }
}

TEST(Tchebychev, DesignFrequencySitsOnARippleZero) {
  /* The cutoff scale puts the design frequency where the filter is
     matched: the device side sees Rload itself, with or without the
     trap in place of Cpout. */
  for (float f : {1.0f, 3.8f, 144.0f}) {
    const DesignState s = FilterFor(f, 50.0f);
    const double w = 2.0 * kPi * double(s.FreqHz);
    for (bool trap : {false, true}) {
      const Cplx z = InputImpedance(s, w, trap);
      EXPECT_NEAR(z.real(), 50.0, 0.05) << f << " trap " << trap;
      EXPECT_NEAR(z.imag(), 0.0, 0.05) << f << " trap " << trap;
    }
  }
}

TEST(Tchebychev, TrapResonatesAtSecondHarmonicAndStandsInForCpout) {
  for (float f : {0.5f, 3.8f, 50.0f, 500.0f}) {
    for (float rl : {1.0f, 50.0f, 600.0f}) {
      const DesignState s = FilterFor(f, rl);
      const double l = double(s.LsTrap) * 1e-6, c = double(s.CsTrap) * 1e-12;
      const double fres = 1.0 / (2.0 * kPi * std::sqrt(l * c));
      EXPECT_NEAR(fres / double(s.FreqHz), 2.0, 2e-6) << f << " MHz " << rl << " ohm";

      const double w = 2.0 * kPi * double(s.FreqHz);
      const double xTrap = w * l - 1.0 / (w * c);
      const double xCpout = -1.0 / (w * double(s.Cpout) * 1e-12);
      EXPECT_NEAR(xTrap / xCpout, 1.0, 2e-6) << f << " MHz " << rl << " ohm";
      EXPECT_EQ(s.Cpout, s.Cpin);
    }
  }
}

TEST(Tchebychev, DoublingRloadHalvesCapacitorsAndDoublesInductors) {
  for (float f : {0.5f, 3.8f, 500.0f}) {
    const DesignState a = FilterFor(f, 37.5f);
    const DesignState b = FilterFor(f, 75.0f);
    EXPECT_NEAR(b.Cpin / a.Cpin, 0.5, 1e-6);
    EXPECT_NEAR(b.Cpout / a.Cpout, 0.5, 1e-6);
    EXPECT_NEAR(b.CsTrap / a.CsTrap, 0.5, 1e-6);
    EXPECT_NEAR(b.LsTCH / a.LsTCH, 2.0, 2e-6);
    EXPECT_NEAR(b.LsTrap / a.LsTrap, 2.0, 2e-6);
  }
}

TEST(Tchebychev, DependsOnNothingButFreqAndRload) {
  const DesignState ref = FilterFor(7.1f, 50.0f);
  DesignState s = StartDesign();
  s.Freq = 7.1f;
  s.Power = 40.0f;
  s.Vcc = 28.0f;
  s.QL = 7.0f;
  s.Ron = 1.5f;
  s.NTBAS = 3.0f;
  s.NTPI = 0.4f;
  ComputePass(s, kFullPass);
  EXPECT_EQ(s.Cpin, ref.Cpin);
  EXPECT_EQ(s.LsTCH, ref.LsTCH);
  EXPECT_EQ(s.Cpout, ref.Cpout);
  EXPECT_EQ(s.CsTrap, ref.CsTrap);
  EXPECT_EQ(s.LsTrap, ref.LsTrap);
}

}  // namespace
