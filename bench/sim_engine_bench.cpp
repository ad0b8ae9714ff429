/*
** sim_engine_bench.cpp: one periodic steady state of the built-in
** example per topology, and a sweep of 201 drive frequencies, with the
** exact engine and with ngspice, side by side in one run.  ngspice's
** runs take seconds: run them alone with
**   ./build/tolvarin_sim_bench --benchmark_filter=Ngspice
*/
#include <benchmark/benchmark.h>

#include "bench/previous/previous_engine.h"
#include "sim/circuit/circuit.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/ngspice_runner.h"

namespace {

/* The built-in example's circuit in topology t (the trap on when t is
   the filter row and `notch`). */
Circuit Example(int t, int notch) {
  SimOptions o;
  DefaultOptions(o);
  o.Design.Topology = t;
  o.Design.Notch = notch;
  DesignState s;
  DesignForSimulation(o.Design, s);
  Circuit c;
  BuildCircuit(s, t, notch, kPowerCircuit, c);
  return c;
}

/* The circuit of benchmark argument `row`: a topology, or past the last
   row the filter row again, with its trap. */
Circuit RowCircuit(benchmark::State& state) {
  const bool trap = state.range(0) >= kTopologyCount;
  const int t = trap ? TopologyByName("pinet-el-tch") : static_cast<int>(state.range(0));
  const int notch = trap ? 1 : 0;
  state.SetLabel(std::string(Topology(t).Name) + (notch ? " --notch" : ""));
  return Example(t, notch);
}

void SteadyState(benchmark::State& state, int engine) {
  const Circuit c = RowCircuit(state);
  if (engine == kEngineNgspice && !SimulatorAvailable()) state.SkipWithError("no ngspice");
  for (auto _ : state) {
    SimResult r;
    SimulateDrive(c, engine, 0, 3.8, r);
    benchmark::DoNotOptimize(r.Pout);
  }
}

/* 201 drive frequencies from 2.85 to 4.85 MHz, the exact engine's
   circuit prepared once for all of them as the program's sweep does. */
void Sweep(benchmark::State& state, int engine) {
  const Circuit c = Example(0, 0);
  if (engine == kEngineNgspice && !SimulatorAvailable()) state.SkipWithError("no ngspice");
  for (auto _ : state) {
    ExactWorkspace w;
    if (engine == kEngineExact) PrepareExact(c, w);
    for (int i = 0; i <= 200; i++) {
      SimResult r;
      SimulateDrive(c, engine, 0, 2.85 + 0.01 * i, r, nullptr, kDetailFull, &w);
      benchmark::DoNotOptimize(r.Pout);
    }
  }
}

/* One steady state of a circuit prepared before: the figures alone (as
   an analysis's sample takes them) or with the waveforms. */
void PreparedSteadyState(benchmark::State& state, int detail) {
  const Circuit c = RowCircuit(state);
  ExactWorkspace w;
  PrepareExact(c, w);
  SimResult r;
  for (auto _ : state) {
    SolveExact(w, 3.8, detail, r);
    benchmark::DoNotOptimize(r.Pout);
  }
}

void PreviousExactSteadyState(benchmark::State& state) {
  const Circuit c = RowCircuit(state);
  for (auto _ : state) {
    SimResult r;
    previous::ExactSteadyState(c, 3.8, r);
    benchmark::DoNotOptimize(r.Pout);
  }
}

void PreviousExactSweep201(benchmark::State& state) {
  const Circuit c = Example(0, 0);
  for (auto _ : state)
    for (int i = 0; i <= 200; i++) {
      SimResult r;
      previous::ExactSteadyState(c, 2.85 + 0.01 * i, r);
      benchmark::DoNotOptimize(r.Pout);
    }
}

void ExactPreparedFigures(benchmark::State& state) {
  PreparedSteadyState(state, kDetailFigures);
}
void ExactPreparedFull(benchmark::State& state) {
  PreparedSteadyState(state, kDetailFull);
}

void ExactSteadyState(benchmark::State& state) {
  SteadyState(state, kEngineExact);
}
void NgspiceSteadyState(benchmark::State& state) {
  SteadyState(state, kEngineNgspice);
}
void ExactSweep201(benchmark::State& state) {
  Sweep(state, kEngineExact);
}
void NgspiceSweep201(benchmark::State& state) {
  Sweep(state, kEngineNgspice);
}

BENCHMARK(PreviousExactSteadyState)
    ->DenseRange(0, kTopologyCount, 1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ExactSteadyState)->DenseRange(0, kTopologyCount, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExactPreparedFull)->DenseRange(0, kTopologyCount, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExactPreparedFigures)->DenseRange(0, kTopologyCount, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PreviousExactSweep201)->Unit(benchmark::kMillisecond);
BENCHMARK(ExactSweep201)->Unit(benchmark::kMillisecond);
BENCHMARK(NgspiceSteadyState)
    ->DenseRange(0, kTopologyCount, 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(NgspiceSweep201)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
