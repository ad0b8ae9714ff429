/*
** sim_analysis_bench.cpp: the analyses of the built-in example with the
** exact engine: a tolerance run of 1000 samples, the mismatch run of 12
** loads and the sensitivity of every element, each timed as process CPU
** time; and the tolerance run's 1000 sample circuits through the exact
** engine as it was before it was rebuilt for speed, and through today's.
*/
#include <benchmark/benchmark.h>

#include "bench/previous/previous_engine.h"
#include "sim/analysis/mismatch.h"
#include "sim/analysis/sensitivity.h"
#include "sim/analysis/tolerance.h"
#include "sim/circuit/circuit.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/exact_engine.h"

namespace {

Circuit Example() {
  SimOptions o;
  DefaultOptions(o);
  DesignState s;
  DesignForSimulation(o.Design, s);
  Circuit c;
  CalculatorCircuit(s, o.Design, SettingsFor(o), c);
  return c;
}

void Tolerance1000(benchmark::State& state) {
  const Circuit c = Example();
  ToleranceSettings t{5.0, 3.0, 20.0, 1000, 1, kEngineExact, 0, 3.8, 53.4, 0.0};
  for (auto _ : state) {
    ToleranceRun run;
    RunTolerance(c, t, run);
    benchmark::DoNotOptimize(run.Stats[kFigVpk].P95);
  }
}

/* The tolerance run's sample circuits alone, through one engine. */
template <typename Engine>
void Samples1000(benchmark::State& state, Engine engine) {
  const Circuit c = Example();
  const std::vector<ElementRange> ranges = ToleranceRanges(c, 5.0, 3.0, 20.0);
  std::vector<std::vector<double>> deviations;
  DrawDeviations(ranges, 1000, 1, deviations);
  for (auto _ : state)
    for (const std::vector<double>& d : deviations) {
      SimResult r;
      engine(SampleCircuit(c, ranges, d), r);
      benchmark::DoNotOptimize(r.Vpeak);
    }
}

void ToleranceSamples1000Previous(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) { previous::ExactSteadyState(c, 3.8, r); });
}

void ToleranceSamples1000(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) {
    ExactWorkspace w;
    PrepareExact(c, w);
    SolveExact(w, 3.8, kDetailFigures, r);
  });
}

void Mismatch12(benchmark::State& state) {
  const Circuit c = Example();
  for (auto _ : state) {
    MismatchRun run;
    RunMismatch(c, 2.0, kEngineExact, 0, 3.8, run);
    benchmark::DoNotOptimize(run.Worst[kFigVpk]);
  }
}

void Sensitivity(benchmark::State& state) {
  const Circuit c = Example();
  for (auto _ : state) {
    SensitivityRun run;
    RunSensitivity(c, kEngineExact, 0, 3.8, run);
    benchmark::DoNotOptimize(run.Effects.size());
  }
}

BENCHMARK(Tolerance1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceSamples1000Previous)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceSamples1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mismatch12)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sensitivity)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
