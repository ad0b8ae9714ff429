/*
** sim_analysis_bench.cpp: the analyses of the built-in example with the
** exact engine: a tolerance run of 1000 samples, the mismatch run of 12
** loads and the sensitivity of every element, each timed as process CPU
** time.
*/
#include <benchmark/benchmark.h>

#include "sim/analysis/mismatch.h"
#include "sim/analysis/sensitivity.h"
#include "sim/analysis/tolerance.h"
#include "sim/circuit/circuit.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"

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
BENCHMARK(Mismatch12)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sensitivity)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
