/*
** main_loop.h: start-up, the passes of the main loop, and the whole run.
*/
#ifndef TOLVARIN_APP_MAIN_LOOP_H
#define TOLVARIN_APP_MAIN_LOOP_H

#include "app/design_state.h"

/* Start values, default coil forms, sweep plan, 1:1 transformers, notch
   off; the first pass will be full.  Touches no console. */
void SetStartValues(DesignState& s);

/* The computations of one pass (full when FullRecalc is 1); prints
   nothing. */
void ComputePass(DesignState& s);

/* Compute, print the main design screen, take one menu key; repeat until
   the exit key or the end of input.  The console must be open. */
void RunMainLoop(DesignState& s);

/* The whole program: open the console, run, restore; returns the exit
   status (1 when standard output could not be written). */
int RunProgram();

#endif
