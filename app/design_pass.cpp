/*
** design_pass.cpp: start-up values and the passes of the calculation.
**
** A full pass follows start-up and every edit of an input; it re-derives
** the choke and all four coils, the filter and the sweep plan.  Every
** other key (a page, Space) makes a light pass, which keeps the coil
** shapes the user set in the coil editor.
*/
#include "app/design_pass.h"

#include <cassert>

#include "app/design_inputs.h"
#include "coils/coil_model.h"
#include "engine/basic_synthesis.h"
#include "engine/el_match.h"
#include "engine/power_estimate.h"
#include "sweep/sweep_plan.h"
#include "topologies/norton.h"
#include "topologies/tchebychev.h"
#include "topologies/transformer_matching.h"

void SetStartValues(DesignState& s) {
  s.FullRecalc = 1;
  for (const DesignInputSpec& in : kDesignInputs) s.*in.field = in.start;
  s.Qcap = 500.0f;
  s.Safety = 0.8f;
  s.SwitchEff = 0.97f;
  SetDefaultCoilForm(s);
  PlanSweep(s, s.Freq);
  ResetTurnsRatios(s);
  s.TchNotch = 0;
}

void RequestFullPass(DesignState& s) {
  s.FullRecalc = 1;
}

PassKind NextPass(const DesignState& s) {
  return s.FullRecalc == 1 ? kFullPass : kLightPass;
}

/* The part of a pass that only a full pass makes: everything that a
   light pass must leave alone so coil edits survive. */
static void ComputeFullPassPart(DesignState& s) {
  ComputeTchebychevFilter(s);
  PlanSweep(s, s.Freq);
  s.Lp1 = static_cast<float>(10.0 * double(s.Ls2));
  s.Coils[kChokeLp1].Uhy = s.Lp1;
  DesignCoil(s, s.Coils[kChokeLp1]);
  s.Coils[kTuneLs2].Uhy = s.Ls2;
  DesignCoil(s, s.Coils[kTuneLs2]);
  s.Coils[kMatchLs3].Uhy = s.Ls3;
  DesignCoil(s, s.Coils[kMatchLs3]);
  s.Coils[kLs2PlusLs3].Uhy = static_cast<float>(double(s.Ls2) + double(s.Ls3));
  DesignCoil(s, s.Coils[kLs2PlusLs3]);
  s.FullRecalc = 0;
  /* The first loss estimate of a full pass, from the element currents of
     the previous pass; the pass estimates again once they are new. */
  EstimateCoilLosses(s);
  ComputeFilterResponse(s, s.TchNotch);
}

/* A full pass follows an edit, and the DC current the previous pass left
   may belong to another design (back from 100 W to 2.5 W at 12 V, the
   start design's choke of 0.42 ohm would be charged 8.3 A, 29 W).  So a
   full pass starts with it unknown, as the first pass after start-up
   does: its screen shows the choke without its DC loss, and the next
   pass adds it. */
static void StartFullPass(DesignState& s) {
  s.FullRecalc = 1;
  s.Idc = 0.0f;
}

void ComputePass(DesignState& s, PassKind kind) {
  assert(kind == kFullPass || s.FullRecalc == 0);
  if (kind == kFullPass) StartFullPass(s);
  SynthesizeBasic(s);
  s.MatchEL = ComputeELMatch(s);
  ComputeTransformerMatching(s);
  if (kind == kFullPass) ComputeFullPassPart(s);
  EstimateElementStresses(s);
  /* Reads Idc as the previous pass left it (zero on a full pass): the
     power estimate below computes it afterwards, so the choke's DC loss
     lags one pass. */
  EstimateCoilLosses(s);
  EstimatePower(s);
  ComputeNortonTransform(s);
}
