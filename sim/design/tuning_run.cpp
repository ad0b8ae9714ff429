/*
** tuning_run.cpp: the steps of --tune in order.  Every design is simulated
** at the design frequency by the engine that can (the exact one, or
** ngspice when the device is nonlinear); the tuned and built designs are
** then run through ngspice as well unless asked not to.
*/
#include "sim/design/tuning_run.h"

#include "sim/engine/drive.h"

void RunTuning(const DesignState& calc, const TuningRequest& r, TuningRun& run) {
  run = TuningRun{};
  run.Settings = r.Settings;
  const double mhz = double(calc.FreqHz) * 1e-6;
  SimulatedDesign& c = run.Calculator;
  c.Design = CalculatorAsBuilt(calc, r.Settings);
  CalculatorCircuit(calc, r.Design, r.Settings, c.Power);
  c.CossPf = run.Settings.Device.Coss > 0.0 ? CossAt(run.Settings.Device, calc.Vcc) * 1e12 : 0.0;
  c.Cp1TotalPf = double(c.Design.Cp1) + c.CossPf;
  SimulateDrive(c.Power, EngineFor(c.Power, kEngineExact), 0, mhz, c.Point);

  const int topology = r.Design.Topology;
  TuneDesign(calc, topology, r.Design.Notch, run.Settings, run.Outcome);
  if (!run.Outcome.Tuning.Ok()) return;
  run.BuildRun =
      BuildWithParts(run.Outcome.Tuned, topology, r.Design.Notch, run.Settings, run.Built);
  if (!r.Confirm) return;
  SimulateDrive(run.Outcome.Tuned.Power, kEngineNgspice, r.Periods, mhz, run.TunedByNgspice);
  SimulateDrive(run.Built.Built.Power, kEngineNgspice, r.Periods, mhz, run.BuiltByNgspice);
  run.Confirmed = true;
}
