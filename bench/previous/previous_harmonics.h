/*
** previous_harmonics.h: the emission limit of one steady state as the
** tolerance run applied it before: every harmonic amplitude a Fourier sum
** whose table index was a division per sample, the fundamental worked
** once for its power and again for the levels.
*/
#ifndef TOLVARIN_BENCH_PREVIOUS_PREVIOUS_HARMONICS_H
#define TOLVARIN_BENCH_PREVIOUS_PREVIOUS_HARMONICS_H

#include "sim/analysis/emission_mask.h"
#include "sim/circuit/circuit.h"

namespace previous {

/* The limit m at designMHz applied to steady state r of circuit c. */
MaskResult ApplyMaskTo(const Circuit& c, const SimResult& r, const MaskChoice& m, double designMHz);

}  // namespace previous

#endif
