/*
** coil_model.h: the single-layer air-wound solenoid used for every
** inductor: Wheeler's formula for turns and length, unloaded Q, the wire
** gauge that fits the pitch, and the loss estimate of the four coils.
*/
#ifndef TOLVARIN_COILS_COIL_MODEL_H
#define TOLVARIN_COILS_COIL_MODEL_H

#include "app/design_state.h"

/* What MinGauge answers when no wire fits the pitch: not a gauge any
   wire is drawn to, so the coil table shows it as "#99 (#103)". */
enum { kNoGauge = 99 };

/* Bare diameter of solid AWG wire, inches. */
float WireDia(int gauge);
/* Thickest gauge whose bare wire is thinner than the pitch. */
int MinGauge(float pitch);
float TurnsForInductance(float dia, float uhy, float len);
float LengthForTurns(float dia, float uhy, float nturns);
float CoilQu(float dia, float len, float freq);
void DesignCoil(const DesignState& s, CoilRecord& r);
/* Resistance of one inch of solid copper wire of bare diameter dia
   (inches), annealed, at 20 degC (68 degF). */
float OhmsPerInch(float dia);
float CoilRdc(float awgmin, float dia, float nturns);
void EstimateCoilLosses(DesignState& s);

/* Form diameter and winding length of all four coils from Freq. */
void SetDefaultCoilForm(DesignState& s);

#endif
