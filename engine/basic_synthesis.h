/*
** basic_synthesis.h: the class-E output network from the design inputs.
*/
#ifndef TOLVARIN_ENGINE_BASIC_SYNTHESIS_H
#define TOLVARIN_ENGINE_BASIC_SYNTHESIS_H

#include "app/design_state.h"

/* From Freq, Power, Vcc, QL and Safety: FreqHz, Vpk, DevBV, Ro, Ls2, Cp1,
   Cs2, QC and the pi-net reference RoPiRef, Cp2PiRef. */
void SynthesizeBasic(DesignState& s);

#endif
