/*
** sweep_plan.cpp: the 25-point frequency plan around the design
** frequency.  Points 0..20 step by 2.5 % of F from 0.75 F to 1.25 F, then
** 1.5 F, 1.75 F, 2 F (the second harmonic) and 3 F (the third).
*/
#include "sweep/sweep_plan.h"

void PlanSweep(DesignState& s, float freq) {
  const double f = freq;
  const float step = static_cast<float>(0.025 * f);
  const float low = static_cast<float>(0.75 * f);
  for (int i = 0; i < 10; i++) s.SweepFreq[i] = static_cast<float>(i * double(step) + low);
  for (int i = 10; i < 20; i++) {
    const float fine = static_cast<float>(0.025 * f);
    s.SweepFreq[i] = static_cast<float>((i - 10) * double(fine) + f);
  }
  for (int i = 20; i < 24; i++) {
    const float coarse = static_cast<float>(0.25 * f);
    const float start = static_cast<float>(1.25 * f);
    s.SweepFreq[i] = static_cast<float>((i - 20) * double(coarse) + start);
  }
  s.SweepFreq[24] = static_cast<float>(3.0 * double(s.SweepFreq[10]));
  for (int k = 0; k < kSweepPoints; k++)
    s.SweepOmega[k] = static_cast<float>(double(s.SweepFreq[k]) * 6283185.307);
}

/* Not built yet: its owner fills it in. */
void ComputeFilterResponse(DesignState&, int) {}
