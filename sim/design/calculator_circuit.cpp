/*
** calculator_circuit.cpp: the design the simulator works on comes from the
** calculator itself: the same start values, the same passes, the same
** coils.  Entering the inputs here does what the main menu's entries do
** (a new Freq resets the coil forms and the sweep plan), so the circuit
** is the one the calculator's screens show for these inputs.
*/
#include "sim/design/calculator_circuit.h"

#include <algorithm>

#include "app/design_inputs.h"
#include "app/design_pass.h"
#include "coils/coil_model.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"
#include "topologies/transformer_matching.h"

float DesignRequest::*const kRequestInputs[kDesignInputCount] = {
    &DesignRequest::Freq, &DesignRequest::Power, &DesignRequest::Vcc,
    &DesignRequest::QL,   &DesignRequest::Rload, &DesignRequest::Ron};

DesignRequest ExampleRequest() {
  DesignRequest r{};
  for (int i = 0; i < kDesignInputCount; i++) r.*kRequestInputs[i] = kDesignInputs[i].start;
  r.Topology = 0;
  r.Notch = false;
  return r;
}

void DesignForSimulation(const DesignRequest& o, DesignState& s) {
  s = DesignState{};
  SetStartValues(s);
  for (int i = 0; i < kDesignInputCount; i++) s.*kDesignInputs[i].field = o.*kRequestInputs[i];
  if (o.CapQ > 0.0f) s.Qcap = o.CapQ; /* before the passes: their loss estimate reads it */
  SetDefaultCoilForm(s);
  PlanSweep(s, s.Freq);
  ResetTurnsRatios(s);
  s.TchNotch = o.Notch;
  ComputePass(s, kFullPass);
  /* The choke's DC loss reads the DC current of the pass before. */
  ComputePass(s, kLightPass);
  ComputeAllSweeps(s);
}

DesignState CalculatorAsBuilt(const DesignState& s, const TuneSettings& t) {
  DesignState d = ChokeHeld(s, t);
  /* The calculator's Cp1 is the whole shunt capacitance, the device's
     included: the capacitor to solder is the rest, if any is left. */
  const double coss = t.Device.Coss > 0.0 ? CossAt(t.Device, s.Vcc) * 1e12 : 0.0;
  d.Cp1 = static_cast<float>(std::max(0.0, double(s.Cp1) - coss));
  return d;
}

void CalculatorCircuit(const DesignState& s, const DesignRequest& r, const TuneSettings& t,
                       Circuit& c) {
  TunedCircuit(CalculatorAsBuilt(s, t), r.Topology, r.Notch, t, t.Device, c);
}
