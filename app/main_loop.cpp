/*
** main_loop.cpp: start-up and the one loop that drives the program:
** recompute the design, print the main design screen, take one menu key.
**
** A full pass follows start-up and every edit of an input; it re-derives
** the choke and all four coils, the filter and the sweep plan.  Every
** other key (a page, Space) makes a light pass, which keeps the coil
** shapes the user set in the coil editor.
*/
#include "app/main_loop.h"

#include "app/main_menu.h"
#include "app/main_screen.h"
#include "app/page_rows.h"
#include "coils/coil_model.h"
#include "console/console.h"
#include "engine/basic_synthesis.h"
#include "engine/el_match.h"
#include "engine/power_estimate.h"
#include "sweep/sweep_plan.h"
#include "topologies/norton.h"
#include "topologies/tchebychev.h"
#include "topologies/transformer_matching.h"

void SetStartValues(DesignState& s) {
  s.FullRecalc = 1;
  s.Qcap = 500.0f;
  s.Rload = 50.0f;
  s.Freq = 3.8f;
  s.QL = 2.5f;
  s.Power = 2.5f;
  s.Vcc = 12.0f;
  s.Ron = 0.2f;
  s.Safety = 0.8f;
  s.SwitchEff = 0.97f;
  SetDefaultCoilForm(s);
  PlanSweep(s, s.Freq);
  ResetTurnsRatios(s);
  s.TchNotch = 0;
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

void ComputePass(DesignState& s) {
  SynthesizeBasic(s);
  s.MatchEL = ComputeELMatch(s);
  ComputeTransformerMatching(s);
  if (s.FullRecalc == 1) ComputeFullPassPart(s);
  EstimateElementStresses(s, s.MatchEL);
  /* Reads Idc as the previous pass left it: the power estimate below
     computes it afterwards, so the choke's DC loss lags one pass. */
  EstimateCoilLosses(s);
  EstimatePower(s, s.MatchEL);
  ComputeNortonTransform(s);
}

void RunMainLoop(DesignState& s) {
  for (;;) {
    ComputePass(s);
    PrintMainScreen(s);
    s.Notice[0] = '\0'; /* a notice is shown once */
    if (MainMenu(s) < 0) return;
  }
}

int RunProgram() {
  static DesignState state; /* the one design of the run */
  ConsoleOpen(kTallestPageRows);
  ClearScreen();
  SetStartValues(state);
  RunMainLoop(state);
  return ConsoleFinish();
}
