/*
** sim_tune_bench.cpp: tuning the built-in example to class E, with the
** exact engine and, for a graded device capacitance, with ngspice in the
** loop.  Beside today's exact tuning, the same search as it was
** (bench/previous/previous_tune.h: every evaluation prepared afresh and
** solved in full) on the engine as it was and on today's.
*/
#include <benchmark/benchmark.h>

#include "bench/previous/previous_engine.h"
#include "bench/previous/previous_tune.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/design/tune.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/ngspice_runner.h"

namespace {

void Tune(benchmark::State& state, bool graded) {
  SimOptions o;
  DefaultOptions(o);
  if (graded) {
    o.CossPf = 150.0;
    o.CossVolts = 12.0;
    o.CossM = 0.5;
    if (!SimulatorAvailable()) state.SkipWithError("no ngspice");
  }
  DesignState s;
  DesignForSimulation(o.Design, s);
  const TuneSettings t = SettingsFor(o);
  int evaluations = 0;
  for (auto _ : state) {
    TuneOutcome out;
    TuneDesign(s, o.Design.Topology, 0, t, out);
    if (!out.Tuning.Ok()) state.SkipWithError(out.Tuning.Why().c_str());
    evaluations = out.Evaluations;
  }
  state.counters["steady_states"] = evaluations;
}

void PreviousTune(benchmark::State& state, previous::SteadyStateFunction steady) {
  SimOptions o;
  DefaultOptions(o);
  DesignState s;
  DesignForSimulation(o.Design, s);
  const TuneSettings t = SettingsFor(o);
  int evaluations = 0;
  for (auto _ : state) {
    TuneOutcome out;
    previous::TuneDesign(s, o.Design.Topology, 0, t, steady, out);
    if (!out.Tuning.Ok()) state.SkipWithError(out.Tuning.Why().c_str());
    evaluations = out.Evaluations;
  }
  state.counters["steady_states"] = evaluations;
}

void TuneExactPreviousEngine(benchmark::State& state) {
  PreviousTune(state, [](const Circuit& c, double mhz, SimResult& r) {
    previous::ExactSteadyState(c, mhz, r);
  });
}
void TuneExactFreshWorkspace(benchmark::State& state) {
  PreviousTune(state,
               [](const Circuit& c, double mhz, SimResult& r) { ExactSteadyState(c, mhz, r); });
}
void TuneExact(benchmark::State& state) {
  Tune(state, false);
}
void TuneGradedCossNgspice(benchmark::State& state) {
  Tune(state, true);
}

BENCHMARK(TuneExactPreviousEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(TuneExactFreshWorkspace)->Unit(benchmark::kMillisecond);
BENCHMARK(TuneExact)->Unit(benchmark::kMillisecond);
BENCHMARK(TuneGradedCossNgspice)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
