/*
** power_estimate.cpp: the design power is booked as generated; the coils,
** the capacitors and the device take their losses out of it.  The device
** loses a fixed switching share of the DC input plus its on-resistance
** loss at the DC current.
**
** Every named result is stored as float before the next formula reads it;
** the arithmetic between stores is double.
*/
#include "engine/power_estimate.h"

#include <cassert>

#include "engine/single_precision.h"

namespace {

/* The coils in circuit: the choke, and the tuning and matching inductors
   wound as one coil when in series (step up) or as two (step down).  With
   no EL network only the tuning coil is left besides the choke. */
float CoilLossSum(const DesignState& s) {
  const double choke = s.Coils[kChokeLp1].Pdiss;
  if (s.MatchEL == kElStepUp) return F(choke + double(s.Coils[kLs2PlusLs3].Pdiss));
  if (s.MatchEL == kElStepDown)
    return F(choke + double(s.Coils[kTuneLs2].Pdiss) + double(s.Coils[kMatchLs3].Pdiss));
  return F(choke + double(s.Coils[kTuneLs2].Pdiss));
}

/* Adds the loss of capacitor cPf carrying irms, at the common Q. */
float AddCapacitorLoss(const DesignState& s, float w, float sum, float cPf, float irms) {
  const float x = F(1.0 / (double(w) * double(cPf)));
  const float esr = F(double(x) / double(s.Qcap));
  const float loss = F(double(esr) * double(irms) * double(irms));
  return F(double(sum) + double(loss));
}

}  // namespace

float CapacitorLossSum(const DesignState& s) {
  const float w = F(kTwoPi * double(s.FreqHz) * 1e-12);
  float sum = 0.0f;
  sum = AddCapacitorLoss(s, w, sum, s.Cp1, s.ICp1);
  sum = AddCapacitorLoss(s, w, sum, s.Cs2, s.ICs2);
  /* With no EL network there is no Cp3 (it is 0 pF, not a short). */
  if (s.MatchEL != kElNone) sum = AddCapacitorLoss(s, w, sum, s.Cp3, s.ICp3);
  return sum;
}

void EstimatePower(DesignState& s) {
  assert(IsElArrangement(s.MatchEL));
  s.Pcoils = CoilLossSum(s);
  s.Pcaps = CapacitorLossSum(s);
  s.Pdc = s.Power;
  s.Idc = F(double(s.Pdc) / double(s.Vcc));
  s.DevIpk = F(3.56 * double(s.Idc));
  s.DevDiss = F((1.0 - double(s.SwitchEff)) * double(s.Pdc) +
                double(s.Idc) * double(s.Idc) * double(s.Ron));
  s.PwrOut = F(double(s.Pdc) - double(s.Pcoils) - double(s.Pcaps) - double(s.DevDiss));
  s.OverallEff = F(double(s.PwrOut) / double(s.Pdc));
}

float DeviceEfficiency(const DesignState& s) {
  return F(1.0 - double(s.DevDiss) / double(s.Power));
}

bool LossesExceedPgen(const DesignState& s) {
  return s.PwrOut < 0.0f;
}
