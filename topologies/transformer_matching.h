/*
** transformer_matching.h: the BASIC and PINET networks referred through
** an ideal transformer after Cp1, each with its EL match to Rload.
*/
#ifndef TOLVARIN_TOPOLOGIES_TRANSFORMER_MATCHING_H
#define TOLVARIN_TOPOLOGIES_TRANSFORMER_MATCHING_H

#include "app/design_state.h"

/* NTBAS, ZTBAS, NTPI and ZTPI back to 1:1. */
void ResetTurnsRatios(DesignState& s);
void ComputeTransformerMatching(DesignState& s);

#endif
