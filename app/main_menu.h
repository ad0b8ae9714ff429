/*
** main_menu.h: the menu under the main design screen.
*/
#ifndef TOLVARIN_APP_MAIN_MENU_H
#define TOLVARIN_APP_MAIN_MENU_H

#include "app/design_state.h"

/* Prints the menu, takes one key and acts on it: -1 for the exit key (or
   the end of input), 0 for every other key. */
int MainMenu(DesignState& s);

#endif
