/*
** design_bounds.cpp: the bounds of what tolvarin-sim simulates, and why.
**
** The drive band, a quarter to four times the design frequency: the
** calculator's own sweep reads 0.75 to 3 times, and both engines were run
** to agree at both ends of this band for every topology, loaded Q 1.8 and
** 20, at 0.5 and 500 MHz.  Far beyond it the circuit is no longer the
** amplifier designed, and ngspice's time step can shrink without end (a
** 0.5 MHz design driven at 1000 MHz advances a picosecond in ten seconds).
**
** The supply and the parts.  ngspice resolves voltages to 1 uV and
** currents to 1 pA besides its relative tolerance (1e-4 here), so a
** supply below 0.1 V would be measured in its noise.  The load the
** switch drives (Ro, or Rload behind a match) within 1 mohm to 100 kohm:
** the closed switch is never below 1 mohm, and above 100 kohm the open
** switch (10^4 x Ro) nears the conductances ngspice takes for nothing,
** while the exact engine finds the circuit too stiff at 0.77 Mohm; both
** engines agree within 0.5 % or 1 mW at these ends, at 0.5 and 500 MHz.
** Every coil and capacitor of a design whose loads are within those
** bounds lies between 0.8 aF and 32 mF, 0.08 fH and 6.4 H (the smallest
** in a match between two loads equal but for float's last digits, at
** 500 MHz; the largest the pi-net's DC block at 1 mohm and the choke at
** 100 kohm, both at 0.5 MHz); the bounds of the parts lie beyond, a guard
** on each element however the circuit came to hold it.
*/
#include "sim/cli/design_bounds.h"

#include <vector>

#include "app/design_check.h"
#include "sim/circuit/format.h"
#include "sim/cli/options.h"

const double kLowestDrive = 0.25, kHighestDrive = 4.0;
const double kLowestSupply = 0.1;

namespace {

struct PartRange {
  PartKind Kind;
  double Low, High; /* ohm, F or H */
  const char* Unit;
  const char* Kinds; /* as the messages name them */
};

/* Parts of a kind without a row here are not bounded; a capacitor or a
   coil of 0 stands for none (the device's own capacitance may take all of
   Cp1's). */
const PartRange kPartRanges[] = {
    {kResistor, 1e-3, 1e5, "ohm", "loads"},
    {kCapacitor, 1e-19, 1.0, "F", "capacitors"},
    {kCoil, 1e-17, 100.0, "H", "coils"},
};

/* Relative slack for a sweep's points, summed in steps, that end on the band's ends. */
const double kBandSlack = 1e-9;

std::string RangeText(const PartRange& r) {
  return Format("%s %g to %g %s", r.Kinds, r.Low, r.High, r.Unit);
}

}  // namespace

Status CheckDriveBand(const SimOptions& o) {
  std::vector<double> mhz;
  DriveFrequencies(o, mhz);
  const double design = DesignMHz(o);
  const double low = kLowestDrive * design, high = kHighestDrive * design;
  const bool inside =
      mhz.front() >= low * (1.0 - kBandSlack) && mhz.back() <= high * (1.0 + kBandSlack);
  if (inside) return Status::Done();
  return Status::Failed(Format("--sweep goes past %g to %g MHz (%g to %g x the design frequency)",
                               low, high, kLowestDrive, kHighestDrive));
}

Status CheckCalculatorDesign(const DesignState& s) {
  if (!DesignPrintsFinite(s))
    return Status::Failed("these inputs give no finite design (the calculator refuses them too)");
  if (!(double(s.Vcc) >= kLowestSupply))
    return Status::Failed(Format("--vcc %g is below %g V, the lowest supply the simulator resolves",
                                 double(s.Vcc), kLowestSupply));
  if (!(s.PwrOut > 0.0f))
    return Status::Failed(
        Format("these inputs leave no output power (the calculator's estimate: %.4g W)",
               double(s.PwrOut)));
  return Status::Done();
}

Status CheckCircuit(const Circuit& c) {
  for (const CircuitPart& p : c.Parts)
    for (const PartRange& r : kPartRanges)
      if (p.Kind == r.Kind && p.Value != 0.0 && !(p.Value >= r.Low && p.Value <= r.High))
        return Status::Failed(p.Name + Format(" would be %.4g ", p.Value) + r.Unit +
                              ", outside what the simulator takes (" + RangeText(r) + ")");
  return Status::Done();
}

std::string DesignBoundsHelp() {
  std::string text = Format("  drive frequencies %g to %g x the design frequency, Vcc from %g V,\n",
                            kLowestDrive, kHighestDrive, kLowestSupply);
  text += "  " + RangeText(kPartRanges[0]) + ", " + RangeText(kPartRanges[1]) + ", " +
          RangeText(kPartRanges[2]) + ",\n";
  return text + "  and a calculator output power estimate above 0 W\n";
}
