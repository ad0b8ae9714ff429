/*
** impedance.h: element reactances and the conversions between the series
** and parallel forms of one impedance, shared by the filter response and
** every topology sweep.
**
** Reactances are positive when inductive.  Each conversion rounds every
** named intermediate to float, as the rest of the program does, so the
** sweeps see the same values whichever caller converts.
*/
#ifndef TOLVARIN_SWEEP_IMPEDANCE_H
#define TOLVARIN_SWEEP_IMPEDANCE_H

/* One impedance: (r, x) in series form, or (rp, xp) in parallel form. */
struct ImpedancePair {
  float r;
  float x;
};

/* Guard that replaces an exactly zero series reactance before it is
   divided into: 1e-6 ohm in the networks, 1e-9 ohm inside the trap. */
const float kNetworkGuard = 1e-6f;
const float kTrapGuard = 1e-9f;

/* Reactance of c pF, or of l uH, at w rad/s. */
float CapReactance(float cPf, float w);
float IndReactance(float lUh, float w);

/* Series (r, x) to parallel (rp, xp); an x of exactly 0 becomes guard. */
ImpedancePair SeriesToParallel(float r, float x, float guard);

/* Parallel (rp, xp) to series (r, x). */
ImpedancePair ParallelToSeries(float rp, float xp);

/* Two reactances in parallel; 1e6 ohm (open) when they cancel exactly. */
float ParallelReactance(float xa, float xb);

#endif
