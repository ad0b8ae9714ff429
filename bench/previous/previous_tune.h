/*
** previous_tune.h: tuning to class E as it was before its evaluations
** shared one prepared workspace: every steady state the solver asks for
** prepared its circuit afresh and gave everything (waveforms and
** harmonics).  Its exact stages only (a linear device), for the
** benchmarks' side-by-side runs; the steady state is the caller's, so the
** same search runs on the engine as it was and on today's.
*/
#ifndef TOLVARIN_BENCH_PREVIOUS_PREVIOUS_TUNE_H
#define TOLVARIN_BENCH_PREVIOUS_PREVIOUS_TUNE_H

#include "sim/design/tune.h"

namespace previous {

/* One full steady state of circuit c at driveMHz. */
using SteadyStateFunction = void (*)(const Circuit& c, double driveMHz, SimResult& r);

/* TuneDesign of a design whose device is linear, each evaluation through
   `steady`. */
void TuneDesign(const DesignState& calc, int topology, bool notch, const TuneSettings& settings,
                SteadyStateFunction steady, TuneOutcome& out);

}  // namespace previous

#endif
