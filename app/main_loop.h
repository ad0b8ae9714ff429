/*
** main_loop.h: the loop of the program, and the whole run.
*/
#ifndef TOLVARIN_APP_MAIN_LOOP_H
#define TOLVARIN_APP_MAIN_LOOP_H

#include "app/design_state.h"

/* Compute the pass the design asks for, print the main design screen,
   take one menu key; repeat until the exit key or the end of input.  The
   console must be open. */
void RunMainLoop(DesignState& s);

/* The whole program: open the console, run, restore; returns the exit
   status (1 when standard output could not be written). */
int RunProgram();

#endif
