/*
** sim_design.cpp: the design the simulator works on comes from the
** calculator itself: the same start values, the same passes, the same
** coils.  Entering the inputs here does what the main menu's entries do
** (a new Freq resets the coil forms and the sweep plan), so the circuit
** is the one the calculator's screens show for these inputs.
*/
#include "sim/sim_design.h"

#include <algorithm>

#include "app/design_pass.h"
#include "coils/coil_model.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"
#include "topologies/transformer_matching.h"

void DesignForSimulation(const SimOptions& o, DesignState& s) {
  s = DesignState{};
  SetStartValues(s);
  s.Freq = o.Freq;
  s.Power = o.Power;
  s.Vcc = o.Vcc;
  s.QL = o.QL;
  s.Rload = o.Rload;
  s.Ron = o.Ron;
  SetDefaultCoilForm(s);
  PlanSweep(s, s.Freq);
  ResetTurnsRatios(s);
  s.TchNotch = o.Notch;
  ComputePass(s, kFullPass);
  /* The choke's DC loss reads the DC current of the pass before. */
  ComputePass(s, kLightPass);
  ComputeAllSweeps(s);
}

TuneSettings SettingsFor(const SimOptions& o) {
  TuneSettings t;
  t.ChokeUh = o.ChokeUh;
  t.Device.Coss = o.CossPf * 1e-12;
  t.Device.CossVolts = o.CossVolts;
  t.Device.Grading = o.CossVolts > 0.0 ? o.CossM : 0.0;
  t.Device.BodyDiode = o.Diode != 0;
  return t;
}

DesignState CalculatorAsBuilt(const DesignState& s, const SimOptions& o) {
  const TuneSettings t = SettingsFor(o);
  DesignState d = ChokeHeld(s, t);
  /* The calculator's Cp1 is the whole shunt capacitance, the device's
     included: the capacitor to solder is the rest, if any is left. */
  const double coss = t.Device.Coss > 0.0 ? CossAt(t.Device, s.Vcc) * 1e12 : 0.0;
  d.Cp1 = static_cast<float>(std::max(0.0, double(s.Cp1) - coss));
  return d;
}

void CalculatorCircuit(const DesignState& s, const SimOptions& o, Circuit& c) {
  const TuneSettings t = SettingsFor(o);
  TunedCircuit(CalculatorAsBuilt(s, o), o.Topology, o.Notch, t, t.Device, c);
}
