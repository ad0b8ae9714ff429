/* coils/coil_table.cpp: not built yet; its owner replaces this file. */
#include "coils/coil_table.h"
void CoilTable(const DesignState&, CoilTableForm) {}
