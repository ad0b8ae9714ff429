/*
** coil_model.cpp: the single-layer air-wound solenoid.  Wheeler's formula
** L = Dia^2 N^2 / (18 Dia + 40 Len) (uH, inches) gives the turns for an
** inductance or the length for a number of turns; the unloaded Q depends
** on the form and the frequency only.  The close-wound wire is the
** thickest AWG gauge that fits the pitch; the coil is wound four gauges
** thinner (USE), which fills about 60 % of the winding length.
**
** Every named result is stored as float before the next formula reads it;
** the arithmetic between stores is double.
*/
#include "coils/coil_model.h"

#include <cmath>

#include "engine/single_precision.h"

namespace {

const double kPi = 3.14159265;
const double kCopperOhmInch = 6.787795275590551e-7; /* annealed copper, 20 C */
const double kGaugeStep = 0.11592146552553575;      /* log ratio of one AWG step */

/* The gauge search stops here: every gauge up to it is tried, so the
   answer equals the open-ended search for every pitch down to the
   diameter of this gauge (about 0.000004 in, far finer than any wire
   drawn).  A finer pitch, and one that is zero, negative or not a number,
   fits no gauge at all and gets kNoGauge. */
const int kFinestGaugeSearched = kNoGauge - 1;

}  // namespace

float WireDia(int gauge) {
  return F(std::exp(-kGaugeStep * (double(gauge) + 9.69875)));
}

int MinGauge(float pitch) {
  for (int g = 0; g <= kFinestGaugeSearched; ++g)
    if (WireDia(g) < pitch) return g;
  return kNoGauge;
}

float TurnsForInductance(float dia, float uhy, float len) {
  const double d = dia;
  return F(std::sqrt((18.0 * d + 40.0 * double(len)) * double(uhy) / (d * d)));
}

float LengthForTurns(float dia, float uhy, float nturns) {
  const double d = dia;
  const double n = nturns;
  return F((n * n * d * d / double(uhy) - 18.0 * d) * 0.025);
}

float CoilQu(float dia, float len, float freq) {
  const double d = dia;
  return F(143.0 * d * std::sqrt(double(freq)) / (1.0 + 0.45 * d / double(len)));
}

void DesignCoil(const DesignState& s, CoilRecord& r) {
  r.Nturns = TurnsForInductance(r.Dia, r.Uhy, r.Len);
  r.Qu = CoilQu(r.Dia, r.Len, s.Freq);
  r.Pitch = F(double(r.Len) / double(r.Nturns));
  r.AWGMIN = MinGauge(r.Pitch);
}

/* The turn length is pi * sqrt(D^2 + w^2): the axial advance of one wire
   diameter per turn is taken together with the circumference. */
float OhmsPerInch(float dia) {
  const float area = F(kPi * double(dia) * double(dia) * 0.25);
  return F(kCopperOhmInch / double(area));
}

float CoilRdc(float awgmin, float dia, float nturns) {
  const float w = WireDia(static_cast<int>(double(awgmin) + 4.0)); /* the USE wire */
  const float ohmsPerInch = OhmsPerInch(w);
  const float d = F(double(dia) + double(w)); /* through the wire centres */
  const float turnLength = F(kPi * std::sqrt(double(d) * double(d) + double(w) * double(w)));
  return F(double(ohmsPerInch) * double(turnLength) * double(nturns));
}

namespace {

/* RF loss of a coil carrying irms at the reactance of uhy; Rdc is shown
   but only the choke's DC current makes it a loss. */
void EstimateRfLoss(const DesignState& s, CoilRecord& c, float uhy, float irms) {
  c.XL = F(kTwoPi * double(s.FreqHz) * double(uhy) * 1e-6);
  c.Rac = F(double(c.XL) / double(c.Qu));
  c.Pdiss = F(double(c.Rac) * double(irms) * double(irms));
  c.Rdc = CoilRdc(float(c.AWGMIN), c.Dia, c.Nturns);
}

}  // namespace

void EstimateCoilLosses(DesignState& s) {
  CoilRecord& choke = s.Coils[kChokeLp1];
  choke.XL = F(kTwoPi * double(s.FreqHz) * double(s.Lp1) * 1e-6);
  choke.Rac = F(double(choke.XL) / double(choke.Qu));
  choke.Rdc = CoilRdc(float(choke.AWGMIN), choke.Dia, choke.Nturns);
  choke.PdissDc = F(double(s.Idc) * double(s.Idc) * double(choke.Rdc));
  choke.Pdiss = F(double(choke.Rac) * double(s.ILp1) * double(s.ILp1));
  choke.Pdiss = F(double(choke.Pdiss) + double(choke.PdissDc));

  EstimateRfLoss(s, s.Coils[kTuneLs2], s.Ls2, s.ILs2);
  EstimateRfLoss(s, s.Coils[kMatchLs3], s.Ls3, s.ILs3);
  /* The combined coil sits in the tuning branch: it carries ILs2. */
  const float sum = F(double(s.Ls2) + double(s.Ls3));
  EstimateRfLoss(s, s.Coils[kLs2PlusLs3], sum, s.ILs2);
}
