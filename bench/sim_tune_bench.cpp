/*
** sim_tune_bench.cpp: tuning the built-in example to class E, with the
** exact engine and, for a graded device capacitance, with ngspice in the
** loop.
*/
#include <benchmark/benchmark.h>

#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/design/tune.h"
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

void TuneExact(benchmark::State& state) {
  Tune(state, false);
}
void TuneGradedCossNgspice(benchmark::State& state) {
  Tune(state, true);
}

BENCHMARK(TuneExact)->Unit(benchmark::kMillisecond);
BENCHMARK(TuneGradedCossNgspice)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
