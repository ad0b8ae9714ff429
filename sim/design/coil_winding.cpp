/*
** coil_winding.cpp: a coil wound as the calculator winds one, or on a
** toroid, with the resistances its loss is made of.
*/
#include "sim/design/coil_winding.h"

#include <cmath>

#include "coils/coil_model.h"
#include "engine/single_precision.h"

void WindCoil(const DesignState& s, CoilRecord& c) {
  DesignCoil(s, c);
  c.Rdc = CoilRdc(float(c.AWGMIN), c.Dia, c.Nturns);
  c.XL = F(kTwoPi * double(s.FreqHz) * double(c.Uhy) * 1e-6);
  c.Rac = c.Qu > 0.0f ? F(double(c.XL) / double(c.Qu)) : 0.0f;
}

void WindCoilAs(const DesignState& s, const CoilChoice& choice, double amps, CoilRecord& c,
                ToroidWinding* toroid) {
  ToroidWinding w;
  if (choice.On == kCoilsToroid)
    WindToroid(double(c.Uhy), double(s.FreqHz) * 1e-6, amps, choice, w);
  if (toroid) *toroid = w;
  if (w.Core < 0) {
    WindCoil(s, c);
    return;
  }
  c.XL = F(kTwoPi * double(s.FreqHz) * double(c.Uhy) * 1e-6);
  c.Qu = F(w.Q);
  c.Rac = F(double(c.XL) / w.Q);
  c.Rdc = F(w.RdcOhm);
  c.Nturns = F(w.Turns);
}

void WindCoilsAs(const CoilChoice& choice, DesignState& s) {
  if (choice.On != kCoilsToroid) return;
  const double amps[kCoilCount] = {std::fabs(double(s.Idc)), double(s.ILs2), double(s.ILs3),
                                   double(s.ILs2)};
  for (int i = 0; i < kCoilCount; i++)
    if (s.Coils[i].Uhy > 0.0f) WindCoilAs(s, choice, amps[i], s.Coils[i]);
}
