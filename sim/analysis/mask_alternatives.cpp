/*
** mask_alternatives.cpp: each other network of the same inputs as the
** calculator designs it.  The exact engine is used whatever the run's
** engine: this is a pointer to a network, not its final figure, and it
** takes a millisecond a network.
*/
#include "sim/analysis/mask_alternatives.h"

#include "sim/circuit/topology_table.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/drive.h"

std::vector<MaskAlternative> OtherNetworks(const DesignRequest& r, const TuneSettings& settings,
                                           const MaskChoice& mask) {
  std::vector<MaskAlternative> out;
  for (int t = 0; t < kTopologyCount; t++)
    for (bool notch : {false, true}) {
      if ((notch && !TopologyHasFilter(t)) || (t == r.Topology && notch == r.Notch)) continue;
      DesignRequest other = r;
      other.Topology = t;
      other.Notch = notch;
      DesignState s;
      DesignForSimulation(other, s);
      Circuit c;
      CalculatorCircuit(s, other, settings, c);
      if (IsNonlinear(c)) c = Linearised(c);
      SimResult point;
      SimulateDrive(c, kEngineExact, 0, double(s.FreqHz) * 1e-6, point);
      MaskAlternative a{t, notch, point.Run.Ok(), MaskResult{}};
      if (a.Ran)
        a.Mask = ApplyMask(mask, double(s.FreqHz) * 1e-6,
                           FundamentalPower(point, LoadResistance(c)), LoadHarmonics(point));
      out.push_back(a);
    }
  return out;
}
