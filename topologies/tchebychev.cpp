/*
** tchebychev.cpp: the separate low-pass filter (shunt C, series L, shunt
** C) at Rload, and the trap that can replace its output capacitor.
**
** The filter is the 0.4 dB-ripple three-element prototype scaled to Rload
** and to a cutoff a little above the design frequency.  The trap is a
** series L-C to ground tuned to the second harmonic, with C three
** quarters of Cpout: at the design frequency its reactance equals that of
** Cpout, so the filter is unchanged there.
*/
#include "topologies/tchebychev.h"

#include "engine/single_precision.h"

namespace {

/* Prototype values and cutoff scale, held as single-precision constants. */
const float kShuntProto = 1.491f;
const float kSeriesProto = 1.118f;
const float kCutoffScale = 1.1548556f;

}  // namespace

void ComputeTchebychevFilter(DesignState& s) {
  const double rload = s.Rload;
  const float wc = F(kTwoPi * double(s.FreqHz) * double(kCutoffScale));
  s.Cpin = F(double(kShuntProto) / (rload * double(wc)) * 1e12);
  s.LsTCH = F(rload * double(kSeriesProto) / double(wc) * 1e6);
  s.Cpout = s.Cpin;

  s.CsTrap = F(0.75 * double(s.Cpout));
  const float w = F(kTwoPi * double(s.FreqHz));
  s.LsTrap = F(1e6 / (4.0 * double(w) * double(w) * double(s.CsTrap) * 1e-12));
}
