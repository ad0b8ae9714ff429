/*
** sweep_plan.cpp: the 25-point frequency plan around the design
** frequency, and the input impedance of the Tchebychev filter over it.
**
** Points 0..20 step by 2.5 % of F from 0.75 F to 1.25 F, then 1.5 F,
** 1.75 F, 2 F (the second harmonic) and 3 F (the third).  The filter is
** walked from its load towards the amplifier; with the notch on, a
** lossy series L-C trap tuned to 2 F takes the place of the load-end
** capacitor.
*/
#include "sweep/sweep_plan.h"

#include <cassert>

#include "engine/single_precision.h"
#include "sweep/impedance.h"

namespace {

/* The load end of the filter at w, as a parallel pair. */
ImpedancePair FilterLoadEnd(const DesignState& s, int notch, float w) {
  ImpedancePair p;
  if (notch == 0) {
    p.r = s.Rload;
    p.x = CapReactance(s.Cpout, w);
    return p;
  }
  const float xl = IndReactance(s.LsTrap, w);
  const float rt = F(double(xl) / double(TrapCoilQ(s)));
  const float xt = F(double(xl) + double(CapReactance(s.CsTrap, w)));
  const ImpedancePair trap = SeriesToParallel(rt, xt, kTrapGuard);
  p.r = F(1.0 / (1.0 / double(trap.r) + 1.0 / double(s.Rload)));
  p.x = trap.x;
  return p;
}

}  // namespace

float TrapCoilQ(const DesignState& s) {
  assert(IsElArrangement(s.MatchEL));
  if (s.MatchEL == kElStepUp) return s.Coils[kLs2PlusLs3].Qu;
  if (s.MatchEL == kElStepDown) return s.Coils[kMatchLs3].Qu;
  return s.Coils[kTuneLs2].Qu;
}

/* Two step sizes.  Near F the pages ask whether Rp and Xp stay within
   about 10 % of their design values, the band in which the class-E
   waveform holds, so that band wants points 2.5 % of F apart; beyond
   1.25 F only the way the power falls off towards the harmonics is of
   interest, and steps of 25 % of F reach 2 F in three points.  The fine
   steps start afresh from F itself, so that point 10 is F exactly rather
   than 0.75 F plus ten rounded steps: the design-frequency row, the
   BASIC reference of every power figure and the 3 F point read it. */
void PlanSweep(DesignState& s, float freq) {
  const double f = freq;
  const float fine = static_cast<float>(0.025 * f);
  const float low = static_cast<float>(0.75 * f);
  for (int i = 0; i < 10; i++) s.SweepFreq[i] = static_cast<float>(i * double(fine) + low);
  for (int i = 10; i < 20; i++) s.SweepFreq[i] = static_cast<float>((i - 10) * double(fine) + f);
  const float coarse = static_cast<float>(0.25 * f);
  const float start = static_cast<float>(1.25 * f);
  for (int i = 20; i < 24; i++)
    s.SweepFreq[i] = static_cast<float>((i - 20) * double(coarse) + start);
  s.SweepFreq[24] = static_cast<float>(3.0 * double(s.SweepFreq[10]));
  for (int k = 0; k < kSweepPoints; k++)
    s.SweepOmega[k] = static_cast<float>(double(s.SweepFreq[k]) * kTwoPiPerMHz);
}

void ComputeFilterResponse(DesignState& s, int notch) {
  assert(s.SweepFreq[kSweepDesignPoint] == s.Freq); /* the plan is for this Freq */
  assert(notch == 0 || notch == 1);
  for (int k = 0; k < kSweepPoints; k++) {
    const float w = s.SweepOmega[k];
    const ImpedancePair end = FilterLoadEnd(s, notch, w);
    ImpedancePair z = ParallelToSeries(end.r, end.x);
    z.x = F(double(z.x) + double(IndReactance(s.LsTCH, w)));
    ImpedancePair p = SeriesToParallel(z.r, z.x, kNetworkGuard);
    p.x = ParallelReactance(p.x, CapReactance(s.Cpin, w));
    s.FilterRp[k] = p.r;
    s.FilterXp[k] = p.x;
    const ImpedancePair series = ParallelToSeries(p.r, p.x);
    s.FilterRs[k] = series.r;
    s.FilterXs[k] = series.x;
  }
}
