/*
** el_match.h: the two-element L network from a resistance to Rload, and
** the RMS voltage and current estimate of every element.
*/
#ifndef TOLVARIN_ENGINE_EL_MATCH_H
#define TOLVARIN_ENGINE_EL_MATCH_H

#include "app/design_state.h"

/* The EL-match rule, written once for the main match and the transformer-
   referred BASIC and PINET matches.  Steps resistance r to rload at
   freqHz; returns the ElArrangement: kElStepUp when rload > r, kElStepDown
   when rload < r, kElNone when exactly equal (no network: *q, *lUh and
   *cPf are left as they are). */
int ElMatchRule(float r, float rload, float freqHz, float* q, float* lUh, float* cPf);

/* The main EL match from Ro to Rload: writes Qmatch, Ls3, Cp3 (Ls3 and Cp3
   are 0 for kElNone) and returns the arrangement for MatchEL. */
int ComputeELMatch(DesignState& s);

/* Element voltage and current estimate for the arrangement MatchEL. */
void EstimateElementStresses(DesignState& s);

#endif
