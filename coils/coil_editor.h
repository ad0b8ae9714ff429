/*
** coil_editor.h: the page that re-shapes a coil or re-sizes the choke.
*/
#ifndef TOLVARIN_COILS_COIL_EDITOR_H
#define TOLVARIN_COILS_COIL_EDITOR_H

#include "app/design_state.h"

/* Values of DesignState::CoilSelection, kept from one visit to the next.
   A menu value means the menu was shown but no coil was chosen from it. */
enum CoilEditorSelection {
  kSelectNone = 0,     /* start of the run: the editor has not been opened */
  kSelectSeparateMenu, /* Choke, Tune, Match: the EL inductor stands apart */
  kSelectCombinedMenu, /* Choke, Ls2+Ls3: tuning and EL inductor in series */
  kSelectChoke,
  kSelectTune,
  kSelectMatch,
  kSelectLs2PlusLs3,
};

/* Asks for a coil and one of its parameters, reads the new value and
   redesigns the coil at its inductance (the choke's inductance may change
   too).  An entry that would make the coil degenerate or not finite is
   refused with a notice in s.Notice; the coil then keeps all its values.
   Returns -1 after the exit key or an inductance entry, 0 otherwise. */
int CoilEditor(DesignState& s);

#endif
