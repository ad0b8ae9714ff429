/*
** norton.cpp: Norton transform of the basic circuit.  The shunt Cp1 and
** series Cs2 at the device become a series Cs1 and a shunt Cp2, and
** everything beyond them is stepped down by n squared.  The input
** impedance the device sees is the same at every frequency.
*/
#include "topologies/norton.h"

#include "engine/single_precision.h"

void ComputeNortonTransform(DesignState& s) {
  const float n = F(double(s.Cp1) / double(s.Cs2) + 1.0);
  const float n2 = F(double(n) * double(n));
  s.Cs1 = F(double(n) * double(s.Cs2));
  s.Cp2N = F(double(n) * double(s.Cp1));
  s.Rt = F(double(s.Ro) / double(n2));
  s.Ls2N = F(double(s.Ls2) / double(n2));
}
