/*
** coil_winding.h: a coil of the simulator's designs wound by the
** calculator's coil model, or on a toroid core, so the built circuit
** carries the loss of what will be wound.
*/
#ifndef TOLVARIN_SIM_DESIGN_COIL_WINDING_H
#define TOLVARIN_SIM_DESIGN_COIL_WINDING_H

#include "app/design_state.h"
#include "sim/design/toroid_winding.h"

/* Turns, pitch, gauge, Qu, Rdc and Rac of coil c wound to c.Uhy on its
   form, as the calculator winds a coil. */
void WindCoil(const DesignState& s, CoilRecord& c);

/* Coil c wound to c.Uhy as the choice asks, carrying amps RMS: on air
   as WindCoil, or on a toroid (into *toroid when given), whose Q and DC
   resistance then replace the air coil's Qu, Rac and Rdc; a coil no
   listed core takes stays on air. */
void WindCoilAs(const DesignState& s, const CoilChoice& choice, double amps, CoilRecord& c,
                ToroidWinding* toroid = nullptr);

/* Every coil record of s wound as the choice asks, at the currents the
   calculator found for it (the choke at its DC current); nothing changes
   for air coils, which the calculator has wound already. */
void WindCoilsAs(const CoilChoice& choice, DesignState& s);

#endif
