/*
** sim_shooting_bench.cpp: one steady state of the built-in example with a
** nonlinear device (a graded output capacitance of 80 pF at 12 V, M 0.5,
** and the body diode), by the exact engine's shooting and by ngspice,
** side by side in one run; and the same circuit prepared once and solved
** again, as a sweep or a tuning solves it.
*/
#include <benchmark/benchmark.h>

#include "sim/circuit/circuit.h"
#include "sim/design/calculator_circuit.h"
#include "sim/design/design_request.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/ngspice_runner.h"

namespace {

Circuit NonlinearExample(bool diode) {
  DesignState s;
  DesignForSimulation(ExampleRequest(), s);
  Circuit c;
  BuildCircuit(s, 0, false, kPowerCircuit, c);
  DeviceModel d;
  d.Coss = 80e-12;
  d.CossVolts = 12.0;
  d.Grading = 0.5;
  d.BodyDiode = diode;
  SetPartValue(c, "Cp1", FindPart(c, "Cp1")->Value - 80e-12);
  AddDevice(c, d);
  return c;
}

void ShootingSteadyState(benchmark::State& state) {
  const Circuit c = NonlinearExample(state.range(0) != 0);
  for (auto _ : state) {
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, 3.8, r, nullptr, kDetailFigures);
    if (!r.Run.Ok()) state.SkipWithError(r.Run.Why().c_str());
    benchmark::DoNotOptimize(r.Pout);
  }
}
BENCHMARK(ShootingSteadyState)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void ShootingPrepared(benchmark::State& state) {
  const Circuit c = NonlinearExample(state.range(0) != 0);
  ExactWorkspace w;
  PrepareExact(c, w);
  for (auto _ : state) {
    SimResult r;
    SolveExact(w, 3.8, kDetailFigures, r);
    if (!r.Run.Ok()) state.SkipWithError(r.Run.Why().c_str());
    benchmark::DoNotOptimize(r.Pout);
  }
}
BENCHMARK(ShootingPrepared)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void NgspiceNonlinear(benchmark::State& state) {
  const Circuit c = NonlinearExample(state.range(0) != 0);
  if (!SimulatorAvailable()) state.SkipWithError("no ngspice");
  for (auto _ : state) {
    SimResult r;
    SimulateDrive(c, kEngineNgspice, 0, 3.8, r);
    benchmark::DoNotOptimize(r.Pout);
  }
}
BENCHMARK(NgspiceNonlinear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
