/*
** coil_model.h: the single-layer air-wound solenoid used for every
** inductor: Wheeler's formula for turns and length, unloaded Q, the wire
** gauge that fits the pitch, and the loss estimate of the four coils.
*/
#ifndef TOLVARIN_COILS_COIL_MODEL_H
#define TOLVARIN_COILS_COIL_MODEL_H

#include "app/design_state.h"

float WireDia(int gauge);
int MinGauge(float pitch);
float TurnsForInductance(float dia, float uhy, float len);
float LengthForTurns(float dia, float uhy, float nturns);
float CoilQu(float dia, float len, float freq);
void DesignCoil(const DesignState& s, CoilRecord& r);
float CoilRdc(float awgmin, float dia, float nturns);
void EstimateCoilLosses(DesignState& s);

/* Form diameter and winding length of all four coils from Freq. */
void SetDefaultCoilForm(DesignState& s);

#endif
