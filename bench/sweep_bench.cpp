/*
** sweep_bench.cpp: the broadband sweep as the B key runs it: the filter
** response and the six topology sweeps of the start design.
*/
#include <benchmark/benchmark.h>

#include "app/design_pass.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"

namespace {

void SixSweepsWithFilterResponse(benchmark::State& state) {
  static DesignState s;
  SetStartValues(s);
  ComputePass(s, kFullPass);
  for (auto _ : state) {
    ComputeFilterResponse(s, s.TchNotch);
    ComputeAllSweeps(s);
    benchmark::DoNotOptimize(s.SweepPIELTCH.Db2xFo);
  }
}
BENCHMARK(SixSweepsWithFilterResponse);

}  // namespace
