/*
** sim_design.cpp: the design the simulator works on comes from the
** calculator itself: the same start values, the same passes, the same
** coils.  Entering the inputs here does what the main menu's entries do
** (a new Freq resets the coil forms and the sweep plan), so the circuit
** is the one the calculator's screens show for these inputs.
*/
#include "sim/sim_design.h"

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
