/* engine/el_match.cpp: not built yet; its owner replaces this file. */
#include "engine/el_match.h"
int ElMatchRule(float, float, float, float*, float*, float*) { return 0; }
int ComputeELMatch(DesignState&) { return 0; }
void EstimateElementStresses(DesignState&, int) {}
