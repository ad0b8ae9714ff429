/*
** design_pass.h: the design from its inputs, in passes.  Start-up values,
** and one pass of the calculation, full or light; everything that wants
** a design computed (the main loop, the pages, a trial, the simulator)
** comes here.  Nothing here prints.
*/
#ifndef TOLVARIN_APP_DESIGN_PASS_H
#define TOLVARIN_APP_DESIGN_PASS_H

#include "app/design_state.h"

/* A full pass re-derives the choke, all four coils, the filter and the
   sweep plan from the inputs; a light pass keeps them, so the coil shapes
   set in the coil editor survive it. */
enum PassKind { kLightPass, kFullPass };

/* Start values of the inputs and the model constants, default coil forms,
   sweep plan, 1:1 transformers, notch off; asks for a full pass. */
void SetStartValues(DesignState& s);

/* Asks for a full pass next: every edit of an input does. */
void RequestFullPass(DesignState& s);

/* The pass the design asks for: full after start-up or RequestFullPass
   until one has run, light otherwise. */
PassKind NextPass(const DesignState& s);

/* The computations of one pass.  A full pass holds FullRecalc at 1 while
   it runs and leaves it at 0; a light pass must not be asked for while a
   full one is due (the coils would not be derived).  A full pass takes
   the DC current as unknown (zero): the choke's DC loss comes in with the
   next pass, as after start-up. */
void ComputePass(DesignState& s, PassKind kind);

#endif
