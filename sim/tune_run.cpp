/*
** tune_run.cpp: the steps of --tune in order.  Every design is simulated
** at the design frequency by the engine that can (the exact one, or
** ngspice when the device is nonlinear); the tuned and built designs are
** then run through ngspice as well unless asked not to.
*/
#include "sim/tune_run.h"

#include "sim/simulate.h"

int EngineFor(const Circuit& c, int asked) {
  return IsNonlinear(c) ? kEngineNgspice : asked;
}

void RunTuning(const DesignState& calc, const SimOptions& o, TuneRun& run) {
  run = TuneRun{};
  run.Settings = SettingsFor(o);
  const double mhz = double(calc.FreqHz) * 1e-6;
  TunedDesign& c = run.Calculator;
  c.Design = CalculatorAsBuilt(calc, o);
  CalculatorCircuit(calc, o, c.Power);
  c.CossPf = run.Settings.Device.Coss > 0.0 ? CossAt(run.Settings.Device, calc.Vcc) * 1e12 : 0.0;
  c.Cp1TotalPf = double(c.Design.Cp1) + c.CossPf;
  SimulateDrive(c.Power, EngineFor(c.Power, kEngineExact), 0, mhz, c.Point);

  TuneDesign(calc, o.Topology, o.Notch, run.Settings, run.Outcome);
  if (!run.Outcome.Ok) return;
  run.BuildError =
      BuildTunedDesign(run.Outcome.Tuned, o.Topology, o.Notch, run.Settings, run.Built);
  if (o.NoConfirm) return;
  SimulateDrive(run.Outcome.Tuned.Power, kEngineNgspice, o.Periods, mhz, run.TunedByNgspice);
  SimulateDrive(run.Built.Built.Power, kEngineNgspice, o.Periods, mhz, run.BuiltByNgspice);
  run.Confirmed = true;
}
