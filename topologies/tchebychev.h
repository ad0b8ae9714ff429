/*
** tchebychev.h: the 0.4 dB three-element low-pass filter at Rload and its
** second-harmonic trap.
*/
#ifndef TOLVARIN_TOPOLOGIES_TCHEBYCHEV_H
#define TOLVARIN_TOPOLOGIES_TCHEBYCHEV_H

#include "app/design_state.h"

void ComputeTchebychevFilter(DesignState& s);

#endif
