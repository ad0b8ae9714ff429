/*
** coil_table.h: the coil table of the main design screen.
*/
#ifndef TOLVARIN_COILS_COIL_TABLE_H
#define TOLVARIN_COILS_COIL_TABLE_H

#include "app/design_state.h"

enum CoilTableForm { kCoilTableCombined, kCoilTableSeparate };

void CoilTable(const DesignState& s, CoilTableForm form);

#endif
