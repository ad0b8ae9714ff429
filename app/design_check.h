/*
** design_check.h: does a design print without "nan" or "inf"?
**
** An entry is accepted only when the design it produces passes this
** check; otherwise the previous inputs stay and a notice says why.
*/
#ifndef TOLVARIN_APP_DESIGN_CHECK_H
#define TOLVARIN_APP_DESIGN_CHECK_H

#include "app/design_state.h"

/* True when every value that a screen prints from s is finite.  s must
   have been computed by a pass. */
bool DesignPrintsFinite(const DesignState& s);

#endif
