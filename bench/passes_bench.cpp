/*
** passes_bench.cpp: the cost of one full pass, one light pass, and of
** rendering the main design screen into memory.
*/
#include <benchmark/benchmark.h>

#include "app/design_pass.h"
#include "app/main_screen.h"
#include "console/console.h"

namespace {

DesignState Computed() {
  DesignState s{};
  SetStartValues(s);
  ComputePass(s, kFullPass);
  return s;
}

void FullPass(benchmark::State& state) {
  DesignState s = Computed();
  for (auto _ : state) {
    ComputePass(s, kFullPass);
    benchmark::DoNotOptimize(s.PwrOut);
  }
}
BENCHMARK(FullPass);

void LightPass(benchmark::State& state) {
  DesignState s = Computed();
  for (auto _ : state) {
    ComputePass(s, kLightPass);
    benchmark::DoNotOptimize(s.PwrOut);
  }
}
BENCHMARK(LightPass);

void RenderMainScreen(benchmark::State& state) {
  DesignState s = Computed();
  static char out[1 << 16];
  for (auto _ : state) {
    ConsoleUseMemory("", 0, out, sizeof out);
    PrintMainScreen(s);
    benchmark::DoNotOptimize(out[0]);
  }
  state.counters["bytes"] = double(ConsoleOutputLength());
}
BENCHMARK(RenderMainScreen);

}  // namespace
