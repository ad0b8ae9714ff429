/*
** reference_table.cpp: writes the previous exact engine's answers over
** the grid the rebuilt engine must reproduce: every topology (the filter
** with and without its trap), loaded Q 1.8 to 20, design frequencies 0.5
** to 500 MHz, each driven at its design frequency and 10 % either side.
** The table it made is tests/data/exact_engine_reference.csv:
**   ./build/tolvarin_sim_reference > tests/data/exact_engine_reference.csv
** Figures print with 17 significant digits, which read back to the same
** doubles.
*/
#include <cstdio>

#include "bench/previous/previous_engine.h"
#include "sim/circuit/topology_table.h"
#include "sim/design/calculator_circuit.h"

int main() {
  std::printf(
      "topology,notch,ql,mhz,drive_mhz,ok,pout,pdc,pdev,ploss,vpeak,von,zvs_error,slope,h2_dbc,"
      "h3_dbc,vsw_90,isw_45,vload_135\n");
  for (double mhz : {0.5, 3.8, 30.0, 144.0, 500.0})
    for (double ql : {1.8, 2.5, 5.0, 10.0, 20.0}) {
      DesignRequest q = ExampleRequest();
      q.Freq = static_cast<float>(mhz);
      q.QL = static_cast<float>(ql);
      DesignState s;
      DesignForSimulation(q, s);
      for (int t = 0; t < kTopologyCount; t++)
        for (int notch = 0; notch <= (TopologyHasFilter(t) ? 1 : 0); notch++) {
          Circuit c;
          BuildCircuit(s, t, notch, kPowerCircuit, c);
          for (double k : {0.9, 1.0, 1.1}) {
            SimResult r;
            previous::ExactSteadyState(c, mhz * k, r);
            const bool ok = r.Run.Ok();
            std::printf("%s,%d,%.17g,%.17g,%.17g,%d", Topology(t).Name, notch, ql, mhz, mhz * k,
                        ok ? 1 : 0);
            const double f[] = {r.Pout,
                                r.Pdc,
                                r.Pdev,
                                r.Ploss,
                                r.Vpeak,
                                r.Von,
                                r.ZvsError,
                                r.Slope,
                                r.H2dBc,
                                r.H3dBc,
                                ok ? r.Vsw[90] : 0.0,
                                ok ? r.Isw[45] : 0.0,
                                ok ? r.Vload[135] : 0.0};
            for (double v : f) std::printf(",%.17g", ok ? v : 0.0);
            std::printf("\n");
          }
        }
    }
  return 0;
}
