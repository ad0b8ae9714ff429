/*
** e24.cpp: the preferred-number series of IEC 60063 (E12 and E24 with
** two significant digits, E96 with three), and the choice of parts for a
** capacitance.  A parallel pair is searched over every value of the
** series below the target as the larger part, each with the value
** nearest the remainder.
*/
#include "sim/design/e24.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace {

const double kE12[] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};

const double kE24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                       3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};

const double kE96[] = {
    1.00, 1.02, 1.05, 1.07, 1.10, 1.13, 1.15, 1.18, 1.21, 1.24, 1.27, 1.30, 1.33, 1.37, 1.40, 1.43,
    1.47, 1.50, 1.54, 1.58, 1.62, 1.65, 1.69, 1.74, 1.78, 1.82, 1.87, 1.91, 1.96, 2.00, 2.05, 2.10,
    2.15, 2.21, 2.26, 2.32, 2.37, 2.43, 2.49, 2.55, 2.61, 2.67, 2.74, 2.80, 2.87, 2.94, 3.01, 3.09,
    3.16, 3.24, 3.32, 3.40, 3.48, 3.57, 3.65, 3.74, 3.83, 3.92, 4.02, 4.12, 4.22, 4.32, 4.42, 4.53,
    4.64, 4.75, 4.87, 4.99, 5.11, 5.23, 5.36, 5.49, 5.62, 5.76, 5.90, 6.04, 6.19, 6.34, 6.49, 6.65,
    6.81, 6.98, 7.15, 7.32, 7.50, 7.68, 7.87, 8.06, 8.25, 8.45, 8.66, 8.87, 9.09, 9.31, 9.53, 9.76};

struct SeriesRow {
  const char* name;
  const double* values; /* one decade, 1 <= v < 10, rising */
  int count;
};

const SeriesRow kSeries[kSeriesCount] = {{"E12", kE12, 12}, {"E24", kE24, 24}, {"E96", kE96, 96}};

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

const SeriesRow& Row(int series) {
  assert(series >= 0 && series < kSeriesCount);
  return kSeries[series];
}

}  // namespace

const char* SeriesName(int series) {
  return Row(series).name;
}

int SeriesByName(const std::string& name) {
  for (int s = 0; s < kSeriesCount; s++)
    if (name == kSeries[s].name) return s;
  return -1;
}

std::string SeriesNameList() {
  std::string out;
  for (int s = 0; s < kSeriesCount; s++) out += std::string(s ? ", " : "") + kSeries[s].name;
  return out;
}

double NearestIn(int series, double v) {
  assert(v > 0.0);
  const SeriesRow& row = Row(series);
  const double decade = std::pow(10.0, std::floor(std::log10(v)));
  double best = row.values[0] * decade, bestLog = 1e300;
  for (int d = 0; d <= 1; d++)
    for (int i = 0; i < row.count; i++) {
      const double c = row.values[i] * decade * (d ? 10.0 : 1.0);
      const double dist = std::fabs(std::log(c / v));
      if (dist < bestLog) {
        bestLog = dist;
        best = c;
      }
    }
  return best;
}

double AtLeastIn(int series, double v) {
  assert(v > 0.0);
  const SeriesRow& row = Row(series);
  const double decade = std::pow(10.0, std::floor(std::log10(v)));
  for (int d = 0; d <= 1; d++)
    for (int i = 0; i < row.count; i++) {
      const double c = row.values[i] * decade * (d ? 10.0 : 1.0);
      if (c >= v * (1.0 - 1e-12)) return c; /* a value the series holds is its own */
    }
  return 10.0 * decade;
}

E24Choice ChooseParts(int series, double pf) {
  assert(pf > 0.0);
  const SeriesRow& row = Row(series);
  E24Choice best{NearestIn(series, pf), 0.0};
  double bestError = Error(best.First, pf);
  const double top = std::pow(10.0, std::floor(std::log10(pf)));
  for (int d = 0; d <= kPairDecades; d++)
    for (int i = 0; i < row.count; i++) {
      const double a = row.values[i] * top / std::pow(10.0, d);
      if (a >= pf) continue;
      const double b = NearestIn(series, pf - a);
      if (b > a || b < kSmallestPart) continue; /* each pair once, the larger part first */
      const double e = Error(a + b, pf);
      if (e <= kPairTolerance && e < bestError) {
        best = E24Choice{a, b};
        bestError = e;
      }
    }
  return best;
}

double NearestE24(double v) {
  return NearestIn(kSeriesE24, v);
}

E24Choice ChooseE24(double pf) {
  return ChooseParts(kSeriesE24, pf);
}

double E24Value(const E24Choice& c) {
  return c.First + c.Second;
}

namespace {

/* Up to four significant digits, and never an exponent: 75000, not 7.5e+04. */
std::string PartText(double pf) {
  char buf[32];
  std::snprintf(buf, sizeof buf, pf >= 1e4 ? "%.0f" : "%.4g", pf);
  return buf;
}

}  // namespace

std::string E24Text(const E24Choice& c) {
  return c.Second > 0.0 ? PartText(c.First) + "+" + PartText(c.Second) : PartText(c.First);
}
