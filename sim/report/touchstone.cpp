/*
** touchstone.cpp: the Touchstone 1.1 text.  Numbers carry 12 significant
** digits so a reader recovers the network to far better than any
** measurement it is compared with.
*/
#include "sim/report/touchstone.h"

#include "sim/circuit/format.h"

std::string TouchstoneText(const std::string& origin, const std::vector<SParameters>& s,
                           double ref) {
  std::string out =
      "! tolvarin-sim output network: port 1 the switch node (shunt capacitance\n"
      "! included), port 2 the load's node; no choke, no DC block\n";
  out += "! " + origin + "\n";
  out += Format("# MHZ S RI R %.12g\n", ref);
  for (const SParameters& p : s)
    out += Format("%.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g\n", p.Hz * 1e-6,
                  p.S11.real(), p.S11.imag(), p.S21.real(), p.S21.imag(), p.S12.real(),
                  p.S12.imag(), p.S22.real(), p.S22.imag());
  return out;
}
