/*
** coil_winding.cpp: a coil wound as the calculator winds one, with the
** resistances its loss is made of.
*/
#include "sim/design/coil_winding.h"

#include "coils/coil_model.h"
#include "engine/single_precision.h"

void WindCoil(const DesignState& s, CoilRecord& c) {
  DesignCoil(s, c);
  c.Rdc = CoilRdc(float(c.AWGMIN), c.Dia, c.Nturns);
  c.XL = F(kTwoPi * double(s.FreqHz) * double(c.Uhy) * 1e-6);
  c.Rac = c.Qu > 0.0f ? F(double(c.XL) / double(c.Qu)) : 0.0f;
}
