/*
** sim_segment_chain_test.cpp: the integral of z z^T over a segment,
** summed over one or two starts on one chain of doublings, against the
** closed forms of circuits whose solution is known: a first-order
** relaxation (an RC charging towards its source) from gentle to stiff,
** and a lossless LC ring.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sim/engine/segment_chain.h"

namespace {

/* |a - b| within `rel` of the larger magnitude of the pair. */
void ExpectClose(double a, double b, double rel, const char* what) {
  EXPECT_NEAR(a, b, rel * std::max(std::fabs(a), std::fabs(b))) << what;
}

/* The moment of M over h from the starts, through the chain. */
ChainMatrix Moment(const ChainMatrix& m, double h, const ChainVector* z0, int starts) {
  const int levels = ChainLevels(m, h);
  double chain[(64 + 1) * kMaxAugmented * kMaxAugmented];
  EXPECT_LE(levels, 64);
  ChainMatrix f, w;
  ChainExpm1(m, h, levels, f, chain);
  ChainMoment(m, h, levels, chain, z0, starts, w);
  return w;
}

/* x' = -a x + b: x(t) = c + d e^(-a t), c = b / a, d = x0 - c, so over
   0 .. h the integral of x is c h + d (1 - e^(-a h)) / a and of x^2
   c^2 h + 2 c d (1 - e^(-a h)) / a + d^2 (1 - e^(-2 a h)) / (2 a). */
TEST(SimSegmentChain, RelaxationMomentsSumTheClosedForms) {
  struct Case {
    double a, b, h, x0, x1;
    int starts;
  };
  const Case cases[] = {
      {1e3, 2e3, 1e-5, 0.5, 0.0, 1},   /* a h = 0.01: the series alone */
      {1e3, 2e3, 1e-3, 0.5, 3.0, 2},   /* a h = 1: a few doublings */
      {5e6, -1e7, 1e-5, 4.0, -1.0, 2}, /* a h = 50 */
      {1e9, 1e9, 1e-5, 12.0, 0.3, 2},  /* a h = 1e4: a closed switch, stiff */
  };
  for (const Case& k : cases) {
    ChainMatrix m(2, 2);
    m << -k.a, k.b, 0.0, 0.0;
    ChainVector z0[2] = {ChainVector(2), ChainVector(2)};
    z0[0] << k.x0, 1.0;
    z0[1] << k.x1, 1.0;
    const ChainMatrix w = Moment(m, k.h, z0, k.starts);
    const double c = k.b / k.a, e1 = -std::expm1(-k.a * k.h), e2 = -std::expm1(-2 * k.a * k.h);
    double ix = 0.0, ixx = 0.0;
    for (int s = 0; s < k.starts; s++) {
      const double d = z0[s](0) - c;
      ix += c * k.h + d * e1 / k.a;
      ixx += c * c * k.h + 2 * c * d * e1 / k.a + d * d * e2 / (2 * k.a);
    }
    ExpectClose(w(0, 0), ixx, 1e-11, "integral of x^2");
    ExpectClose(w(0, 1), ix, 1e-11, "integral of x");
    ExpectClose(w(1, 0), ix, 1e-11, "symmetry");
    ExpectClose(w(1, 1), k.starts * k.h, 1e-12, "integral of 1");
  }
}

/* x' = -w y, y' = w x from (x0, y0): a rotation at w.  Over 0 .. h, with
   S = sin(2 w h) / (4 w) and C = (1 - cos(2 w h)) / (4 w), the integral
   of x^2 is x0^2 (h/2 + S) - 2 x0 y0 C + y0^2 (h/2 - S), of y^2
   x0^2 (h/2 - S) + 2 x0 y0 C + y0^2 (h/2 + S), and of x y
   (x0^2 - y0^2) C + 2 x0 y0 S. */
TEST(SimSegmentChain, RingMomentsOverManyTurnsSumTheClosedForms) {
  const double omega = 6.283185307179586 * 3.8e6;
  const double lengths[] = {1e-9, 0.37 / 3.8e6, 25.3 / 3.8e6};
  const double starts[2][2] = {{1.5, -0.25}, {-0.75, 2.0}};
  for (double h : lengths) {
    ChainMatrix m = ChainMatrix::Zero(3, 3);
    m(0, 1) = -omega;
    m(1, 0) = omega;
    ChainVector z0[2] = {ChainVector(3), ChainVector(3)};
    for (int s = 0; s < 2; s++) z0[s] << starts[s][0], starts[s][1], 1.0;
    const ChainMatrix w = Moment(m, h, z0, 2);
    const double sn = std::sin(2 * omega * h) / (4 * omega);
    const double cs = (1 - std::cos(2 * omega * h)) / (4 * omega);
    double xx = 0.0, yy = 0.0, xy = 0.0;
    for (const auto& p : starts) {
      const double x0 = p[0], y0 = p[1];
      xx += x0 * x0 * (h / 2 + sn) - 2 * x0 * y0 * cs + y0 * y0 * (h / 2 - sn);
      yy += x0 * x0 * (h / 2 - sn) + 2 * x0 * y0 * cs + y0 * y0 * (h / 2 + sn);
      xy += (x0 * x0 - y0 * y0) * cs + x0 * y0 * 2 * sn;
    }
    /* Lossless: x^2 + y^2 holds, its integral is h (x0^2 + y0^2). */
    const double energy = h * (1.5 * 1.5 + 0.25 * 0.25 + 0.75 * 0.75 + 2.0 * 2.0);
    ExpectClose(w(0, 0) + w(1, 1), energy, 1e-10, "the ring's energy");
    ExpectClose(w(0, 0), xx, 1e-9, "integral of x^2");
    ExpectClose(w(1, 1), yy, 1e-9, "integral of y^2");
    EXPECT_NEAR(w(0, 1), xy, 1e-9 * energy) << "integral of x y";
  }
}

}  // namespace
