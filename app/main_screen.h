/*
** main_screen.h: the main design screen, printed once per pass.
*/
#ifndef TOLVARIN_APP_MAIN_SCREEN_H
#define TOLVARIN_APP_MAIN_SCREEN_H

#include "app/design_state.h"

/* Clears the screen and prints the whole main design screen, ending with
   the notice line when one is pending. */
void PrintMainScreen(const DesignState& s);

#endif
