/*
** sim_analysis_bench.cpp: the analyses of the built-in example with the
** exact engine: a tolerance run of 1000 samples, the mismatch run of 12
** loads and the sensitivity of every element, each timed as process CPU
** time; and the tolerance run's 1000 sample circuits through the exact
** engine as it was before it was rebuilt for speed, through today's as
** the run once used it (a workspace prepared afresh for every sample)
** and as it uses it now.
**
** Where a sample's time goes is told by runs that each do one step more
** than the one before: the sample circuits alone, and their state
** spaces, the prepared workspace, the solve of the figures, the solve in
** full, the emission limit applied.  Each step costs the difference.
*/
#include <benchmark/benchmark.h>

#include "bench/previous/previous_engine.h"
#include "bench/previous/previous_harmonics.h"
#include "sim/analysis/mismatch.h"
#include "sim/analysis/sensitivity.h"
#include "sim/analysis/tolerance.h"
#include "sim/circuit/circuit.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/state_space.h"

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
  ToleranceSettings t{5.0, 3.0, 20.0, 1000, 1, kEngineExact, 0, 3.8, 53.4, 0.0, MaskChoice{}};
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

/* The emission limit of the tolerance run on one sample's steady state:
   as it is worked now, and as it was. */
double MaskMargin(const Circuit& c, const SimResult& r) {
  const LoadAmplitudes a = LoadAmplitudesOf(r);
  const MaskResult m =
      ApplyMask(MaskChoice{}, 3.8, FundamentalPowerOf(a, LoadResistance(c)), HarmonicsOf(a));
  return m.Margin[m.Worst];
}
double PreviousMaskMargin(const Circuit& c, const SimResult& r) {
  const MaskResult m = previous::ApplyMaskTo(c, r, MaskChoice{}, 3.8);
  return m.Margin[m.Worst];
}

void ToleranceSamples1000Previous(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) { previous::ExactSteadyState(c, 3.8, r); });
}

/* As the tolerance run used the engine: a workspace prepared afresh. */
void ToleranceSamples1000FreshWorkspace(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) {
    ExactWorkspace w;
    PrepareExact(c, w);
    SolveExact(w, 3.8, kDetailFigures, r);
  });
}

/* As it does now: one workspace for every sample. */
void ToleranceSamples1000(benchmark::State& state) {
  ExactWorkspace w;
  Samples1000(state, [&w](const Circuit& c, SimResult& r) {
    PrepareExact(c, w);
    SolveExact(w, 3.8, kDetailFigures, r);
  });
}

/* The same with the emission limit, which needs the load's waveform:
   the engine as it was, a fresh workspace, one workspace. */
void ToleranceMaskSamples1000Previous(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) {
    previous::ExactSteadyState(c, 3.8, r);
    benchmark::DoNotOptimize(PreviousMaskMargin(c, r));
  });
}

void ToleranceMaskSamples1000FreshWorkspace(benchmark::State& state) {
  Samples1000(state, [](const Circuit& c, SimResult& r) {
    ExactWorkspace w;
    PrepareExact(c, w);
    SolveExact(w, 3.8, kDetailFull, r);
    benchmark::DoNotOptimize(PreviousMaskMargin(c, r));
  });
}

/* As the run does now: one workspace, the load's harmonics worked once. */
void ToleranceMaskSamples1000(benchmark::State& state) {
  ExactWorkspace w;
  Samples1000(state, [&w](const Circuit& c, SimResult& r) {
    PrepareExact(c, w);
    SolveExact(w, 3.8, kDetailFull, r);
    benchmark::DoNotOptimize(MaskMargin(c, r));
  });
}

/* The steps of a sample, each run doing one more (see the top). */
enum SampleStep {
  kStepCircuit = 0,
  kStepStateSpaces,
  kStepPrepare,
  kStepSolveFigures,
  kStepSolveFull,
  kStepMask,
  kStepCount
};
const char* const kStepNames[kStepCount] = {"sample circuits",   "+ state spaces",
                                            "+ prepare (fresh)", "+ solve figures",
                                            "+ solve full",      "+ emission limit"};

void ToleranceSteps1000(benchmark::State& state) {
  const int step = static_cast<int>(state.range(0));
  state.SetLabel(kStepNames[step]);
  const Circuit c = Example();
  const std::vector<ElementRange> ranges = ToleranceRanges(c, 5.0, 3.0, 20.0);
  std::vector<std::vector<double>> deviations;
  DrawDeviations(ranges, 1000, 1, deviations);
  /* The conductances PrepareExact builds systems at: the ramp's steps,
     on, off. */
  std::vector<double> g;
  const double gOn = 1.0 / c.Switch.Ron, gOff = 1.0 / c.Switch.Roff;
  for (int k = 0; k < kRampSteps; k++) g.push_back(gOff + (gOn - gOff) * (k + 0.5) / kRampSteps);
  g.push_back(gOn);
  g.push_back(gOff);
  SimResult r;
  for (auto _ : state)
    for (const std::vector<double>& d : deviations) {
      const Circuit sample = SampleCircuit(c, ranges, d);
      if (step == kStepStateSpaces) {
        std::vector<StateSpace> systems;
        benchmark::DoNotOptimize(BuildStateSpaces(sample, g, systems).Ok());
      }
      if (step < kStepPrepare) continue;
      ExactWorkspace w;
      PrepareExact(sample, w);
      if (step >= kStepSolveFigures)
        SolveExact(w, 3.8, step >= kStepSolveFull ? kDetailFull : kDetailFigures, r);
      if (step >= kStepMask) benchmark::DoNotOptimize(MaskMargin(sample, r));
      benchmark::DoNotOptimize(r.Vpeak);
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
BENCHMARK(ToleranceSamples1000Previous)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceSamples1000FreshWorkspace)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceSamples1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceMaskSamples1000Previous)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceMaskSamples1000FreshWorkspace)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceMaskSamples1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ToleranceSteps1000)
    ->DenseRange(0, kStepCount - 1, 1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Mismatch12)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sensitivity)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
