/*
** el_match.cpp: the EL (two-element L) match from a network resistance to
** the load.  The series inductor always sits on the low-resistance side
** and the shunt capacitor across the high one.
*/
#include "engine/el_match.h"

#include <cmath>

namespace {

const double kTwoPi = 6.283185307;

float F(double v) { return static_cast<float>(v); }

}  // namespace

int ElMatchRule(float r, float rload, float freqHz, float* q, float* lUh, float* cPf) {
  const double w = kTwoPi * double(freqHz);
  if (rload > r) {
    *q = F(std::sqrt(double(rload) / double(r) - 1.0));
    *lUh = F(double(r) * double(*q) / w);
    *lUh = F(double(*lUh) * 1000000.0);
    *cPf = F(1.0 / (w * (double(rload) / double(*q))));
    *cPf = F(double(*cPf) * 1e12);
    return 1;
  }
  if (rload < r) {
    *q = F(std::sqrt(double(r) / double(rload) - 1.0));
    *lUh = F(double(rload) * double(*q) / w);
    *lUh = F(double(*lUh) * 1000000.0);
    *cPf = F(1.0 / (w * (double(r) / double(*q))));
    *cPf = F(double(*cPf) * 1e12);
    return 2;
  }
  return 0;
}

int ComputeELMatch(DesignState& s) {
  const int arrangement = ElMatchRule(s.Ro, s.Rload, s.FreqHz, &s.Qmatch, &s.Ls3, &s.Cp3);
  if (arrangement == 0) {
    /* Equal resistances: no network; Qmatch is not used. */
    s.Ls3 = 0.0f;
    s.Cp3 = 0.0f;
  }
  return arrangement;
}

/* Not built yet: its owner fills it in. */
void EstimateElementStresses(DesignState&, int) {}
