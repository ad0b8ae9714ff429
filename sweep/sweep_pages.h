/*
** sweep_pages.h: the BASIC and PINET power-versus-frequency pages.
*/
#ifndef TOLVARIN_SWEEP_SWEEP_PAGES_H
#define TOLVARIN_SWEEP_SWEEP_PAGES_H

#include "app/design_state.h"

void RunPowerEstimate(DesignState& s);
void ShowBasicSweepPage(const DesignState& s);
void ShowPinetSweepPage(const DesignState& s);

#endif
