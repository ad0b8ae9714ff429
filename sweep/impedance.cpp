/*
** impedance.cpp: element reactances and series/parallel conversions.
**
** The guards keep an exact zero out of the divisors: a zero series
** reactance is nudged to the caller's guard before q = x / r is inverted,
** and two reactances that cancel in parallel give a large reactance that
** stands for an open circuit.
*/
#include "sweep/impedance.h"

#include "engine/single_precision.h"

float CapReactance(float cPf, float w) {
  return F(-1.0 / (double(cPf) * 1e-12 * double(w)));
}

float IndReactance(float lUh, float w) {
  return F(double(lUh) * 1e-6 * double(w));
}

ImpedancePair SeriesToParallel(float r, float x, float guard) {
  if (x == 0.0f) x = guard;
  const float q = F(double(x) / double(r));
  ImpedancePair p;
  p.r = F((double(q) * double(q) + 1.0) * double(r));
  p.x = F(double(p.r) / double(q));
  return p;
}

ImpedancePair ParallelToSeries(float rp, float xp) {
  const float q = F(double(rp) / double(xp));
  ImpedancePair p;
  p.r = F(double(rp) / (double(q) * double(q) + 1.0));
  p.x = F(double(p.r) * double(q));
  return p;
}

float ParallelReactance(float xa, float xb) {
  if (double(xa) + double(xb) == 0.0) return 1e6f;
  return F(1.0 / (1.0 / double(xa) + 1.0 / double(xb)));
}
