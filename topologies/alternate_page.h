/*
** alternate_page.h: the page of alternate topologies and turns ratios.
*/
#ifndef TOLVARIN_TOPOLOGIES_ALTERNATE_PAGE_H
#define TOLVARIN_TOPOLOGIES_ALTERNATE_PAGE_H

#include "app/design_state.h"

/* Returns the key that left the page. */
int ShowAlternatePage(DesignState& s);

#endif
