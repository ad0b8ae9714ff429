/*
** previous_engine.h: the exact engine as it was before it was rebuilt
** for speed, for the benchmarks' side-by-side runs and for making the
** reference table of its answers again.
*/
#ifndef TOLVARIN_BENCH_PREVIOUS_PREVIOUS_ENGINE_H
#define TOLVARIN_BENCH_PREVIOUS_PREVIOUS_ENGINE_H

#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

namespace previous {

/* Fills r for circuit c driven at driveMHz, as the engine did. */
void ExactSteadyState(const Circuit& c, double driveMHz, SimResult& r,
                      std::vector<double>* start = nullptr);

}  // namespace previous

#endif
