/*
** norton.h: Norton transform of the basic circuit's Cp1 and Cs2.
*/
#ifndef TOLVARIN_TOPOLOGIES_NORTON_H
#define TOLVARIN_TOPOLOGIES_NORTON_H

#include "app/design_state.h"

void ComputeNortonTransform(DesignState& s);

#endif
