/* sweep/topology_sweeps.cpp: not built yet; its owner replaces this file. */
#include "sweep/topology_sweeps.h"
void ComputeSweepBAS(DesignState&) {}
void ComputeSweepBASEL(DesignState&) {}
void ComputeSweepBASELTCH(DesignState&) {}
void ComputeSweepPI(DesignState&) {}
void ComputeSweepPIEL(DesignState&) {}
void ComputeSweepPIELTCH(DesignState&) {}
