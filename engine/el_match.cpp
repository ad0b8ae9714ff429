/*
** el_match.cpp: the EL (two-element L) match from a network resistance to
** the load.  The series inductor always sits on the low-resistance side
** and the shunt capacitor across the high one.
*/
#include "engine/el_match.h"

#include <cassert>
#include <cmath>

#include "engine/single_precision.h"

int ElMatchRule(float r, float rload, float freqHz, float* q, float* lUh, float* cPf) {
  const double w = kTwoPi * double(freqHz);
  if (rload > r) {
    *q = F(std::sqrt(double(rload) / double(r) - 1.0));
    *lUh = F(double(r) * double(*q) / w);
    *lUh = F(double(*lUh) * 1000000.0);
    *cPf = F(1.0 / (w * (double(rload) / double(*q))));
    *cPf = F(double(*cPf) * 1e12);
    return kElStepUp;
  }
  if (rload < r) {
    *q = F(std::sqrt(double(r) / double(rload) - 1.0));
    *lUh = F(double(rload) * double(*q) / w);
    *lUh = F(double(*lUh) * 1000000.0);
    *cPf = F(1.0 / (w * (double(r) / double(*q))));
    *cPf = F(double(*cPf) * 1e12);
    return kElStepDown;
  }
  return kElNone;
}

int ComputeELMatch(DesignState& s) {
  const int arrangement = ElMatchRule(s.Ro, s.Rload, s.FreqHz, &s.Qmatch, &s.Ls3, &s.Cp3);
  if (arrangement == kElNone) {
    /* Equal resistances: no network; Qmatch is not used. */
    s.Ls3 = 0.0f;
    s.Cp3 = 0.0f;
  }
  return arrangement;
}

/* The estimate takes all of Power as delivered to Ro and to the load (no
   losses), the shunt capacitor's current as half the series branch
   current, and the choke's voltage as the peak switch voltage over 2.83.
   X is a reactance in ohms, stored before use. */
void EstimateElementStresses(DesignState& s) {
  assert(IsElArrangement(s.MatchEL));
  const double w = kTwoPi * double(s.FreqHz);
  s.VRload = F(std::sqrt(double(s.Power) * double(s.Rload)));
  s.IRload = F(double(s.VRload) / double(s.Rload));
  s.VRo = F(std::sqrt(double(s.Power) * double(s.Ro)));
  s.IRo = F(double(s.VRo) / double(s.Ro));

  s.ICs2 = s.IRo;
  float x = F(1.0 / (w * double(s.Cs2) * 1e-12));
  s.VCs2 = F(double(s.ICs2) * double(x));
  s.ILs2 = s.IRo;
  x = F(w * double(s.Ls2) * 1e-6);
  s.VLs2 = F(double(s.ILs2) * double(x));

  s.VLp1 = F(double(s.Vpk) * (1.0 / 2.83));
  s.VCp1 = s.VLp1;
  x = F(w * double(s.Lp1) * 1e-6);
  s.ILp1 = F(double(s.VLp1) / double(x));
  s.ICp1 = F(double(s.ICs2) * 0.5);

  /* The EL inductor carries the network's current when it sits next to
     the network, the load's when it sits next to the load; the shunt
     capacitor sees the voltage of the side it stands across. */
  if (s.MatchEL == kElStepUp) {
    s.ILs3 = s.ILs2;
    s.VLs3 = F(w * double(s.Ls3) * 1e-6 * double(s.ILs3));
    s.VCp3 = s.VRload;
  } else if (s.MatchEL == kElStepDown) {
    s.ILs3 = s.IRload;
    s.VLs3 = F(double(s.ILs3) * (w * double(s.Ls3) * 1e-6));
    s.VCp3 = s.VRo;
  } else {
    return; /* no EL network: its fields keep their values, unshown */
  }
  s.ICp3 = F(double(s.VCp3) / (1.0 / (w * double(s.Cp3) * 1e-12)));
}
