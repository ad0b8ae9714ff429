/*
** topology_sweeps.h: the six swept output-network variants.
*/
#ifndef TOLVARIN_SWEEP_TOPOLOGY_SWEEPS_H
#define TOLVARIN_SWEEP_TOPOLOGY_SWEEPS_H

#include "app/design_state.h"

/* Each but ComputeSweepBAS scales its power by the BASIC column's
   design-frequency point, so ComputeSweepBAS must have run for the design
   as it stands (asserted). */
void ComputeSweepBAS(DesignState& s);
void ComputeSweepBASEL(DesignState& s);
void ComputeSweepBASELTCH(DesignState& s);
void ComputeSweepPI(DesignState& s);
void ComputeSweepPIEL(DesignState& s);
void ComputeSweepPIELTCH(DesignState& s);

/* All six, BASIC first (the others read its design-frequency point), with
   the filter response as it stands. */
void ComputeAllSweeps(DesignState& s);

#endif
