/*
** coil_editor.h: the page that re-shapes a coil or re-sizes the choke.
*/
#ifndef TOLVARIN_COILS_COIL_EDITOR_H
#define TOLVARIN_COILS_COIL_EDITOR_H

#include "app/design_state.h"

/* -1 after the exit key or an inductance entry, 0 otherwise. */
int CoilEditor(DesignState& s);

#endif
