/*
** coss_curve.cpp: the device's output capacitance against its voltage,
** and the charge it holds, in each of the three forms a DeviceModel
** takes: linear, graded from one datasheet point, or a table of points.
**
** The charge is integrated in closed form piece by piece, so Q(v) / v,
** the charge-equivalent capacitance a datasheet gives as Co(tr), comes
** from the same curve the simulation uses.
*/
#include <algorithm>
#include <cmath>

#include "sim/circuit/circuit.h"

const double kJunctionPotential = 0.7;

namespace {

/* The graded capacitance's zero-bias value Cj, from its datasheet point. */
double ZeroBias(const DeviceModel& d) {
  return d.Coss * std::pow(1.0 + d.CossVolts / kJunctionPotential, d.Grading);
}

/* Below this a graded capacitance keeps its value. */
double GradedFloor() {
  return -0.5 * kJunctionPotential;
}

/* The integral of Cj (1 + u / Vj)^-M from 0 to v, v at or above the floor. */
double GradedCharge(double cj, double m, double v) {
  const double x = 1.0 + v / kJunctionPotential;
  if (std::fabs(1.0 - m) < 1e-12) return cj * kJunctionPotential * std::log(x);
  return cj * kJunctionPotential / (1.0 - m) * (std::pow(x, 1.0 - m) - 1.0);
}

/* Between points a and b: a power law when both are above 0 V, else a
   straight line. */
bool PowerLaw(const CossPoint& a, const CossPoint& b) {
  return a.Volts > 0.0 && b.Volts > a.Volts;
}

double SegmentAt(const CossPoint& a, const CossPoint& b, double v) {
  if (PowerLaw(a, b)) {
    const double k = std::log(b.Farads / a.Farads) / std::log(b.Volts / a.Volts);
    return a.Farads * std::pow(v / a.Volts, k);
  }
  return a.Farads + (b.Farads - a.Farads) * (v - a.Volts) / (b.Volts - a.Volts);
}

/* The integral of the segment's capacitance from a.Volts to v. */
double SegmentCharge(const CossPoint& a, const CossPoint& b, double v) {
  if (PowerLaw(a, b)) {
    const double k = std::log(b.Farads / a.Farads) / std::log(b.Volts / a.Volts);
    if (std::fabs(k + 1.0) < 1e-12) return a.Farads * a.Volts * std::log(v / a.Volts);
    return a.Farads * a.Volts / (k + 1.0) * (std::pow(v / a.Volts, k + 1.0) - 1.0);
  }
  return 0.5 * (v - a.Volts) * (a.Farads + SegmentAt(a, b, v));
}

double TableAt(const std::vector<CossPoint>& t, double v) {
  if (v <= t.front().Volts) return t.front().Farads;
  for (size_t i = 0; i + 1 < t.size(); i++)
    if (v < t[i + 1].Volts) return SegmentAt(t[i], t[i + 1], v);
  return t.back().Farads;
}

/* The integral of the table's capacitance from its first point to v. */
double TableCharge(const std::vector<CossPoint>& t, double v) {
  if (v <= t.front().Volts) return t.front().Farads * (v - t.front().Volts);
  double q = 0.0;
  for (size_t i = 0; i + 1 < t.size(); i++) {
    if (v < t[i + 1].Volts) return q + SegmentCharge(t[i], t[i + 1], v);
    q += SegmentCharge(t[i], t[i + 1], t[i + 1].Volts);
  }
  return q + t.back().Farads * (v - t.back().Volts);
}

}  // namespace

bool IsGradedCoss(const DeviceModel& d) {
  return d.Coss > 0.0 && (d.Grading > 0.0 || d.Table.size() > 1);
}

double CossAt(const DeviceModel& d, double v) {
  if (d.Table.size() > 1) return TableAt(d.Table, v);
  if (d.Grading <= 0.0) return d.Coss;
  const double at = std::max(v, GradedFloor());
  return ZeroBias(d) * std::pow(1.0 + at / kJunctionPotential, -d.Grading);
}

double QossAt(const DeviceModel& d, double v) {
  if (d.Table.size() > 1) return TableCharge(d.Table, v) - TableCharge(d.Table, 0.0);
  if (d.Grading <= 0.0) return d.Coss * v;
  const double cj = ZeroBias(d);
  if (v >= GradedFloor()) return GradedCharge(cj, d.Grading, v);
  return GradedCharge(cj, d.Grading, GradedFloor()) + CossAt(d, v) * (v - GradedFloor());
}
