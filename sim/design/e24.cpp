/*
** e24.cpp: the E24 series (IEC 60063), 24 values a decade from 1.0 to
** 9.1, and the choice of parts for a capacitance.  A parallel pair is
** searched over every E24 value below the target as the larger part,
** each with the E24 value nearest the remainder.
*/
#include "sim/design/e24.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace {

const double kSeries[24] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                            3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};

/* A pair is worth two parts only when it comes this close. */
const double kPairTolerance = 0.01;

/* Decades searched for the larger part of a pair, below the target's. */
const int kPairDecades = 3;

/* No part of a pair below 1 pF: a sub-picofarad capacitor is the board's
   stray capacitance, not a part to solder. */
const double kSmallestPart = 1.0;

double Error(double value, double target) {
  return std::fabs(value - target) / target;
}

}  // namespace

double NearestE24(double v) {
  assert(v > 0.0);
  const double decade = std::pow(10.0, std::floor(std::log10(v)));
  double best = kSeries[0] * decade, bestLog = 1e300;
  for (int d = 0; d <= 1; d++)
    for (double m : kSeries) {
      const double c = m * decade * (d ? 10.0 : 1.0);
      const double dist = std::fabs(std::log(c / v));
      if (dist < bestLog) {
        bestLog = dist;
        best = c;
      }
    }
  return best;
}

E24Choice ChooseE24(double pf) {
  assert(pf > 0.0);
  E24Choice best{NearestE24(pf), 0.0};
  double bestError = Error(best.First, pf);
  const double top = std::pow(10.0, std::floor(std::log10(pf)));
  for (int d = 0; d <= kPairDecades; d++)
    for (double m : kSeries) {
      const double a = m * top / std::pow(10.0, d);
      if (a >= pf) continue;
      const double b = NearestE24(pf - a);
      if (b > a || b < kSmallestPart) continue; /* each pair once, the larger part first */
      const double e = Error(a + b, pf);
      if (e <= kPairTolerance && e < bestError) {
        best = E24Choice{a, b};
        bestError = e;
      }
    }
  return best;
}

double E24Value(const E24Choice& c) {
  return c.First + c.Second;
}

std::string E24Text(const E24Choice& c) {
  char buf[64];
  if (c.Second > 0.0)
    std::snprintf(buf, sizeof buf, "%.4g+%.4g", c.First, c.Second);
  else
    std::snprintf(buf, sizeof buf, "%.4g", c.First);
  return buf;
}
