/* engine/power_estimate.cpp: not built yet; its owner replaces this file. */
#include "engine/power_estimate.h"
void EstimatePower(DesignState&, int) {}
float CapacitorLossSum(const DesignState&) { return 0; }
