/*
** coil_winding.h: a coil of the simulator's designs wound by the
** calculator's coil model, so the built circuit carries the loss of what
** will be wound.
*/
#ifndef TOLVARIN_SIM_DESIGN_COIL_WINDING_H
#define TOLVARIN_SIM_DESIGN_COIL_WINDING_H

#include "app/design_state.h"

/* Turns, pitch, gauge, Qu, Rdc and Rac of coil c wound to c.Uhy on its
   form, as the calculator winds a coil. */
void WindCoil(const DesignState& s, CoilRecord& c);

#endif
