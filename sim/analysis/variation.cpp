/*
** variation.cpp: elements and figures of the analyses.  Ron is the
** switch's, every other element a part of the circuit record; changing a
** part goes through SetPartValue so its loss follows its reactance.
*/
#include "sim/analysis/variation.h"

#include <cassert>

#include "sim/circuit/format.h"

const char* const kRonElement = "Ron";
const char* const kDeviceCapacitance = "Coss";

const FigureInfo kFigures[kFigureCount] = {
    {"Pout W", "pout_W", 1.0, 3},         {"Efficiency %", "eff", 100.0, 1},
    {"Device diss. W", "pdev_W", 1.0, 4}, {"Vpk V", "vpk_V", 1.0, 2},
    {"ZVS err", "zvs_err", 1.0, 4},       {"Slope", "slope", 1.0, 4},
};

std::vector<std::string> CircuitElements(const Circuit& c) {
  std::vector<std::string> out;
  for (const CircuitPart& p : c.Parts)
    if (p.Kind != kResistor) out.push_back(p.Name);
  out.push_back(kRonElement);
  return out;
}

double ElementDisplayValue(const Circuit& c, const std::string& element) {
  if (element == kRonElement) return c.Switch.Ron;
  const CircuitPart* p = FindPart(c, element);
  assert(p != nullptr);
  return DisplayValue(*p);
}

const char* ElementDisplayUnit(const Circuit& c, const std::string& element) {
  if (element == kRonElement) return "ohm";
  const CircuitPart* p = FindPart(c, element);
  assert(p != nullptr);
  return DisplayUnit(*p);
}

void ChangeElement(Circuit& c, const std::string& element, double fraction) {
  assert(fraction > -1.0);
  if (element == kRonElement) {
    c.Switch.Ron *= 1.0 + fraction;
    return;
  }
  const CircuitPart* p = FindPart(c, element);
  if (p == nullptr && element == kDeviceCapacitance) {
    /* A graded capacitance, one point or a table, scaled at every voltage. */
    c.Device.Coss *= 1.0 + fraction;
    for (CossPoint& q : c.Device.Table) q.Farads *= 1.0 + fraction;
    return;
  }
  assert(p != nullptr && p->Kind != kResistor);
  SetPartValue(c, element, p->Value * (1.0 + fraction));
}

std::string FigureText(int figure, double value) {
  const FigureInfo& f = kFigures[figure];
  return Format("%.*f", f.Decimals, f.Scale * value);
}
