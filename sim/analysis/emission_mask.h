/*
** emission_mask.h: the harmonics at the load against an emission limit.
**
** The harmonics H2 to H10 are those of the load voltage over one steady
** period, in dB relative to the fundamental (dBc), as the engine gives
** H2 and H3.  A mask gives each harmonic the highest level it may have:
** the amateur-service limit of 47 CFR 97.307 (by the band of the design
** frequency, the fundamental's power deciding the small-transmitter
** rule), one flat dBc figure, or none.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_EMISSION_MASK_H
#define TOLVARIN_SIM_ANALYSIS_EMISSION_MASK_H

#include <string>

#include "sim/engine/steady_state.h"

enum { kFirstMaskHarmonic = 2, kLastMaskHarmonic = 10, kMaskHarmonics = 9 };

/* H2 .. H10 of the load voltage, dBc, in order. */
struct Harmonics {
  double Dbc[kMaskHarmonics];
};

Harmonics LoadHarmonics(const SimResult& r);

/* The load voltage's amplitude at harmonics 1 .. kLastMaskHarmonic
   (Of[0] unused), V: what the harmonics and the fundamental's power come
   from, worked once for both. */
struct LoadAmplitudes {
  double Of[kLastMaskHarmonic + 1];
};

LoadAmplitudes LoadAmplitudesOf(const SimResult& r);

/* LoadHarmonics and FundamentalPower from the amplitudes. */
Harmonics HarmonicsOf(const LoadAmplitudes& a);
double FundamentalPowerOf(const LoadAmplitudes& a, double rload);

/* Which limit. */
enum MaskKind { kMaskFcc = 0, kMaskFlat, kMaskNone };

struct MaskChoice {
  int Kind = kMaskFcc;
  double FlatDbc = 0.0; /* kMaskFlat: every harmonic at least this far below, dB (> 0) */
};

/* What the limit asks of one design, and how it fares. */
struct MaskResult {
  std::string Name;              /* "fcc", "flat 50 dB", "none" */
  std::string Rule;              /* the rule that applied, one line */
  bool Applies = false;          /* false: no limit (none, or a band the rule gives no figure) */
  double Limit[kMaskHarmonics];  /* dBc: the highest level allowed */
  double Margin[kMaskHarmonics]; /* dB: the limit less the level; negative fails */
  bool Pass = false;             /* every margin >= 0 (true when no limit applies) */
  int Worst;                     /* index of the smallest margin */
};

/* The limit of choice m for a fundamental of p1 W at designMHz, applied
   to the harmonics h. */
MaskResult ApplyMask(const MaskChoice& m, double designMHz, double p1, const Harmonics& h);

/* The fundamental's mean power into the load, W, from the load voltage
   and the load resistance. */
double FundamentalPower(const SimResult& r, double rload);

#endif
